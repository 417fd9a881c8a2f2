// Reading a hard-disk indexed file set: the walk down the index levels
// (binary child pointers, the master file's block size), the scan of the
// data file's child range, and the read loop over both, which keeps its
// place in the handle between calls as the disc engine's does.
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// Whether the handle's layout fields describe a set the engine can read
// (block size, record length, index layout, key field): 0, or 128 with 51,
// 52 or 53. Reads ask it every time: the fields are the caller's to see.
int hd_check_layout(const zkall_cd_handle& h, int32_t& detail);

// Clears the search state without seeking; the top level keeps its block.
// 0, or 128 for a null or foreign handle.
int hdropen(zkall_cd_handle* h);

// The next record for the key (or in file order with key_length 0) into
// `buffer`: 0; -1; 11, 14, 15; 20; 128 with a detail of hd_format.h.
int hdread(zkall_cd_handle* h, void* buffer, const char* key, int32_t key_length, int32_t& detail);

// The steps of hdread, as exported.
int hd_search_index(zkall_cd_handle* h, int32_t& detail);
int hd_search_data(zkall_cd_handle* h, void* buffer, int32_t& detail);

}  // namespace zk::catalog
