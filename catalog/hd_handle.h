// The handles of hard-disk file sets: zkall_cd_handle records (the disc
// engine's layout) whose block buffers are of the set's block size. They
// are made and released here only, so the engine can tell its own handles
// from any other record and knows how large their buffers are.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// Makes a zero-filled handle: every file marked not open (descriptor -1),
// the ctop and ccar pointers of the common areas. Null when the memory
// cannot be had (the platform's fault plan can make it fail: Op::Alloc).
zkall_cd_handle* hd_new_handle();

// Gives descriptor `level` (0..3) a zero-filled buffer of `size` bytes, the
// handle's block size, which every buffer of a handle shares. False when the
// memory cannot be had or the handle is not one of hd_new_handle's.
bool hd_allocate_buffer(zkall_cd_handle& h, int level, size_t size);

// Closes every open file of the handle once (the index levels share the top
// level's file) through close2, frees the buffers and the handle. Close
// failures are not reported. A handle not made by hd_new_handle is left
// alone.
void hd_release_handle(zkall_cd_handle* h);

// The block size the handle's buffers were made for; 0 for a handle not
// made by hd_new_handle or one without buffers.
size_t hd_buffer_size(const zkall_cd_handle* h);

}  // namespace zk::catalog
