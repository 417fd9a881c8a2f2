// The record-file layer of the vehicle-information list VCLINF.TMP in the
// work directory: a 133-byte header, then 32-byte lines (line n at
// 133 + 32 n). Every function works on the caller's control block
// (zkall_vinf_control), whose descriptor is -1 while the file is closed.
//
// A failure of the layer is logged (module ZKSUBV31, the function's own
// name, the failing call and the numbers below), closes the file and goes
// through the error exit: the block's error hook is called with the block
// and its answer returned (0 without a hook).
//   open2  (result of open2, 0, 0)
//   lseek  (descriptor, 0, 0)
//   read / write  (descriptor, bytes transferred, 0)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "zkall.h"

namespace zk::vehicle {

inline constexpr size_t kVinfHeaderSize = 133;
inline constexpr size_t kVinfLineSize = 32;

// The full path of VCLINF.TMP, or false when it would be too long.
bool vclinf_path(std::string& path);

// What a call of the layer did: whether it succeeded, and its answer (the
// descriptor, the bytes moved, or on failure the error exit's answer, which
// is whatever the hook returns).
struct VinfResult {
  bool ok;
  int32_t answer;
};

// Opens the file with the block's open flags (and its permission when they
// create); the answer is the descriptor.
VinfResult init_vinft(zkall_vinf_control* block);
// Header and line transfers; the answer is the bytes moved (133 or 32).
VinfResult get_hdr_vinft(zkall_vinf_control* block, void* header);
VinfResult put_hdr_vinft(zkall_vinf_control* block, const void* header);
VinfResult get_rec_vinft(zkall_vinf_control* block, int32_t line, void* buffer);
VinfResult put_rec_vinft(zkall_vinf_control* block, int32_t line, const void* buffer);
// Closes the file when open.
void term_vinft(zkall_vinf_control* block);
// 0 when VCLINF.TMP exists, -1 when not.
int32_t chk_ext_vinft();

}  // namespace zk::vehicle
