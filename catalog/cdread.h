// Reading an open indexed file set: the read by key or in order (cdread),
// starting a search afresh (cdreopen), positioning on a block (cdseek) or on
// the first block holding a key (cdseek_key), the data file's size and the
// close. Results and detail codes as in zkall.h.
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// The next record (record mode) or run of blocks (block mode) for the key,
// or in file order with key_length 0. See zkall.h for the whole contract.
int cdread(zkall_cd_handle* h, void* buffer, const char* key, int32_t key_length, int32_t blocks,
           int32_t* blocks_read, int32_t* record_index, int32_t& detail);

// Clears the search state, sets the top level's scan range to its run and
// seeks every open file to the start of its scan range: 0; 15; 128/601.
int cdreopen(zkall_cd_handle* h, int32_t& detail);

// Positions the data file (level 3 only) so the next cdread without a key
// starts at `block`: 0; 15; 128/511, 512, 503.
int cdseek(zkall_cd_handle* h, int32_t level, uint32_t block, int32_t& detail);

// Positions the data file on the first block of the key's child range that
// holds a match: 0; -1 when the key leads to none; 14, 15; 128/800, 40x.
int cdseek_key(zkall_cd_handle* h, const char* key, int32_t key_length, int32_t& detail);

// Blocks of the data file; 0 for a null handle.
uint32_t cdfilelen(const zkall_cd_handle* h);

// Releases the handle and sets *handle to null: 0, or 12 with the error
// number of the last failed close.
int cdclose(zkall_cd_handle** handle, int32_t& detail);

}  // namespace zk::catalog
