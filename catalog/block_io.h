// The only place where the engine touches a file set's files: positioning a
// level's file on a block of its scan range and reading whole blocks, and
// the bound on the blocks one read may read.
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// One read never asks for more than this many blocks (the byte count must
// fit a signed 32-bit number on the 32-bit build).
inline constexpr int32_t kMaxBlocksPerRead = INT32_MAX / ZKALL_CD_BLOCK_SIZE;

// The entry points: each first asks the registry whether the handle is the
// library's (cd_handle.h), and refuses one that is not, untouched, with the
// detail of a null handle.

// Seeks the file of `level` (0..2 index levels, 3 data file) to `block`
// blocks behind the level's scan start block: 0; 15 with the error number;
// 128 with 501 (no handle), 502 (level outside 0..3), 503 (file not open).
int cdseek_only(zkall_cd_handle* h, int32_t level, uint32_t block, int32_t& detail);

// Reads `blocks` whole blocks of the level's file from its current position
// into `buffer`: 0; 14 with the error number when fewer bytes came (0 when
// the file simply ended); 128/401 for no handle, a level outside 0..3, a
// null buffer, a count outside 1..kMaxBlocksPerRead or a file not open. A
// file of a location kind other than 0, 1 or 2 is not read at all (0).
int cdread_read_block(zkall_cd_handle* h, int32_t level, void* buffer, int32_t blocks, int32_t& detail);

// ---- inside the engine: the handle is known to be the library's ------------

// The work one read by key or in order may do, counted in blocks read. A
// read by key in record mode reads each block of a set about once (the
// data scan never goes back, and the walk down the index passes over blocks
// it has been through, index_search.h), so the bound is a multiple of the
// blocks the set's files hold. It catches what that cannot: an index that
// sends data scans that start afresh for every range (alternate index sets,
// block mode) over the same blocks again and again. Reaching it ends the
// read with 128/412.
class WorkBudget {
 public:
  explicit WorkBudget(uint64_t limit) : left_(limit) {}
  // Takes `blocks` from what is left; false (and nothing taken) when they
  // are more.
  bool spend(uint64_t blocks) {
    if (blocks > left_) return false;
    left_ -= blocks;
    return true;
  }

 private:
  uint64_t left_;
};

// The budget of one read on `h`: sixteen times the blocks its present files
// hold, plus 64. A file's blocks are its size in blocks as the master
// file gives it, but no more than its physical file holds behind its base
// block (measured once per handle), so sizes that claim more than is there
// do not buy more work.
uint64_t work_limit(zkall_cd_handle& h);

// cdseek_only and cdread_read_block without the registry question.
int seek_block(zkall_cd_handle& h, int32_t level, uint32_t block, int32_t& detail);
int read_blocks(zkall_cd_handle& h, int32_t level, void* buffer, int32_t blocks, int32_t& detail);

// The engine's own reads: read_blocks, but a file of a location kind other
// than 0, 1 or 2 (which cdread_read_block answers 0 without reading) is
// refused with 128/411, so a scan over such a file cannot run on through
// blocks never read; and with a budget, the blocks are taken from it first
// (128/412 when they exceed what is left).
int engine_read(zkall_cd_handle& h, int32_t level, void* buffer, int32_t blocks, WorkBudget* budget,
                int32_t& detail);

// The walk's read of block `block` of an index level's scan range into the
// level's buffer: seek_block, then engine_read of one block, except that a
// block the index-block cache holds for the level's open file
// (block_cache.h) is copied from there, with neither seek nor read (its
// block still comes out of the budget). A block read whole is kept.
int read_index_block(zkall_cd_handle& h, int32_t level, uint32_t block, WorkBudget* budget, int32_t& detail);

}  // namespace zk::catalog
