// The only place where the engine touches a file set's files: positioning a
// level's file on a block of its scan range and reading whole blocks.
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// One read never asks for more than this many blocks (the byte count must
// fit a signed 32-bit number on the 32-bit build).
inline constexpr int32_t kMaxBlocksPerRead = INT32_MAX / ZKALL_CD_BLOCK_SIZE;

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

}  // namespace zk::catalog
