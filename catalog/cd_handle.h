// The record of an open indexed catalog file set (zkall_cd_handle, declared
// in zkall.h with its layout) and the helpers the opening functions use to
// make, fill and release one. A handle owns its block buffers and keeps its
// files open from the open to cdclose.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "catalog/format.h"
#include "catalog/master_file.h"
#include "zkall.h"

namespace zk::catalog {

// Makes a zero-filled handle: every file marked not open (descriptor -1),
// block size 2048, the ctop and ccar pointers of the common areas (null
// before set_table). Null when the memory cannot be had.
zkall_cd_handle* new_handle();

// Gives descriptor `level` (0..3) a zero-filled block buffer of `size`
// bytes unless it has one already. False when the memory cannot be had or
// the handle was not made by new_handle.
bool allocate_buffer(zkall_cd_handle& h, int level, size_t size = kBlockSize);

// Fills the layout of a handle from a file set's four master entries (top,
// middle, bottom level, data file): the data file's kind, match mask, key
// length and offset, record length and number of index levels; the index
// key length and entry length from the entry just before the data file's;
// each descriptor's name, attribute byte, base block, size, match mask and
// location kind; block size 2048; the top level's scan range is its run.
// Opens nothing and allocates nothing.
void fill_from_entries(zkall_cd_handle& h, std::span<const MasterEntry, kSetEntries> entries);

// Allocates the buffers of the data file and of every present level (size
// above 0). False when the memory cannot be had.
bool allocate_set_buffers(zkall_cd_handle& h);

// Closes the data file and then every level file not yet closed (a file
// shared by several descriptors once) through close2, frees the buffers and
// the handle. Handles not made by new_handle have their files closed and
// marked not open but are not freed. 0, or 12 with the error number of the
// last failed close in `error`; everything is released in any case.
int release_handle(zkall_cd_handle* h, int32_t& error);

// Opens the file at `path` read-only (registered in the file-handle table)
// as descriptor `level`: 0, or 11 with the error number in `detail`.
int open_level_path(zkall_cd_handle& h, int level, const std::string& path, int32_t& detail);
// The same for `name` completed with path kind `kind` for `index`; 128 with
// `path_detail` when the full path cannot be built.
int open_level_file(zkall_cd_handle& h, int level, uint32_t kind, int32_t index, const std::string& name,
                    int32_t path_detail, int32_t& detail);

// Ownership for the opening code: releases the handle (and closes its
// files) unless release() hands it over to the caller.
struct HandleReleaser {
  void operator()(zkall_cd_handle* h) const;
};
using HandlePtr = std::unique_ptr<zkall_cd_handle, HandleReleaser>;
inline HandlePtr make_handle() { return HandlePtr(new_handle()); }

}  // namespace zk::catalog
