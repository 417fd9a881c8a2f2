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

// The engines that hand out cd_handles: the disc engine (cdopen,
// cdopen_direct, fcdopen; read with cdread) and the hard-disk engine
// (hdopen; read with hdread). A handle is read only by the engine that made
// it: their files differ in block size and child pointers.
enum class HandleEngine : uint8_t { Disc, HardDisk };

// State of a handle that callers do not see: kept beside the handle in the
// library's registry, not in the record callers share.
struct HandleState {
  int32_t status_detail = 0;  // the detail that went with a non-zero status
  bool measured = false;      // set_blocks holds the measured size
  uint64_t set_blocks = 0;    // blocks the set's files hold (see work_limit)
  size_t buffer_size = 0;     // hard-disk handles: the size every buffer was made with
};

// Makes a zero-filled handle for `engine` and enters it in the registry:
// every file marked not open (descriptor -1), block size 2048, the ctop and
// ccar pointers of the common areas (null before set_table). Null when the
// memory cannot be had.
zkall_cd_handle* new_handle(HandleEngine engine = HandleEngine::Disc);

// The registry: whether `h` is a handle that `engine` made and that has not
// been released since, and its hidden state (null when it is not). Every
// entry point of an engine asks before it touches a handle, so a caller's own
// record, or a pointer to a handle already closed, is refused untouched. (An
// address that a later open is given again names that new handle.)
bool owns_handle(const zkall_cd_handle* h, HandleEngine engine = HandleEngine::Disc);
HandleState* handle_state(const zkall_cd_handle* h, HandleEngine engine = HandleEngine::Disc);
// The handles of both engines made and not released yet (for leak checks).
size_t live_handles();

// Gives descriptor `level` (0..3) a zero-filled block buffer of `size`
// bytes unless it has one already. False when the memory cannot be had or
// the handle is not in the registry.
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
// shared by several descriptors once), frees the buffers and the handle and
// takes it out of the registry. 0 (also for null), or 12 with the error
// number of the last failed close in `error`; everything is released in any
// case, and a descriptor whose close failed leaves the file-handle table
// too. A handle not in the registry (for `engine`) is not touched: 128 with
// detail 900.
int release_handle(zkall_cd_handle* h, int32_t& error, HandleEngine engine = HandleEngine::Disc);

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
  HandleEngine engine = HandleEngine::Disc;
  void operator()(zkall_cd_handle* h) const;
};
using HandlePtr = std::unique_ptr<zkall_cd_handle, HandleReleaser>;
inline HandlePtr make_handle(HandleEngine engine = HandleEngine::Disc) {
  return HandlePtr(new_handle(engine), HandleReleaser{engine});
}

}  // namespace zk::catalog
