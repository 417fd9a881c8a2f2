// Opening and closing a hard-disk indexed file set through its master file
// (PRICE.MST for path kind 2, LOCALP.MST for path kind 3).
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// Opens the set whose data entry carries the 11-character name `name`:
// 0 with *out; -1 (master file or data file missing, name not listed, no
// data); 11, 14, 20; 128 with 50, 51, 52, 53, 58, 59. See zkall.h.
int hdopen(const char* name, int32_t kind, zkall_cd_handle** out, int32_t& detail);

// Closes the files, frees the buffers and the handle, sets *handle to null;
// 0 always.
int hdclose(zkall_cd_handle** handle);

}  // namespace zk::catalog
