// The index-block cache: index blocks of open file sets that have been read
// once, kept so that later lookups on the same open files take them from
// memory instead of the disc.
//
// Catalog files are read-only while they are open, so a block read whole
// from an open file stays what it was for as long as that file stays open.
// A block is kept under the open it was read through (the file-handle
// table's serial number of the descriptor, startup/file_handles.h) and its
// absolute block number in the physical file. Every open gets a new serial,
// so nothing kept for one open serves another: closing a set (cdclose
// drops its blocks at once), opening it again, a disc switch (which opens
// the files of the disc now in the drive) or a descriptor number given to
// another file all start from the disc again. Only whole blocks that were
// read without error are kept. The memory is one pool for the process,
// kBlockCacheBlocks blocks, the block used longest ago giving way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::catalog {

// 512 blocks of 2048 bytes: 1 MiB for the process. A three-level file set
// of a million records has about 300 index blocks.
inline constexpr size_t kBlockCacheBlocks = 512;

// The block `block` (absolute, in blocks from the file's start) of the file
// open as `fd`, or null when it is not kept (also for a descriptor that was
// not opened through open2, or while the cache is off). Valid until the
// next call of this module.
const uint8_t* cached_block(int32_t fd, uint64_t block);

// Keeps a copy of `data` (one whole block, read without error) as block
// `block` of the file open as `fd`. Nothing happens when the memory cannot
// be had, for a descriptor not opened through open2, or while the cache is
// off.
void keep_block(int32_t fd, uint64_t block, const uint8_t* data);

// Drops every block kept for the file open as `fd` (called before it is
// closed).
void drop_blocks(int32_t fd);

// For tests and benchmarks: while the cache is off every read goes to the
// file and nothing is kept (what is held stays, and is dropped with its
// files as always); the number of blocks held.
void set_block_cache(bool on);
bool block_cache_on();
size_t cached_block_count();

}  // namespace zk::catalog
