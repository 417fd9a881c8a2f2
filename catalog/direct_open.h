// Opening a file set straight from a disc, without a master file: the
// layout comes from the built-in file table and the sizes from the file
// system (cdfile_get) or the caller. What reads the vehicle-name file of a
// disc before any master file is known.
//
// Results as cdopen's, with the details of this way of opening:
//   128/201 disc id missing or starting below a space
//   20/202  no memory for the handle; 20/203 for the data file's buffer;
//           20/205 for a level's buffer
//   128/204 the data file's path cannot be built; 128/206 a level's path
//   128/2102 cdfile_get without a place for the size; 128/2104 its path
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

namespace direct_detail {
inline constexpr int32_t kNoDiscId = 201;
inline constexpr int32_t kNoHandleMemory = 202;
inline constexpr int32_t kNoDataBuffer = 203;
inline constexpr int32_t kDataPath = 204;
inline constexpr int32_t kNoLevelBuffer = 205;
inline constexpr int32_t kLevelPath = 206;
inline constexpr int32_t kNoSizeOutput = 2102;
inline constexpr int32_t kSizePath = 2104;
}  // namespace direct_detail

// The size in blocks (rounded up) of `name` on the disc in `drive`, in the
// catalog directory `catalog_code` when one is given: 0; -1 when the file or
// its directory does not exist (detail: the system error 2, 3 or 18); 128
// with another system error or 2102 / 2104.
int cdfile_get(const char* name, const char* catalog_code, int32_t drive, int32_t& detail, uint32_t* size);

int cdopen_direct(const char* name, const char* catalog_code, uint8_t kind, int32_t read_mode, int32_t drive,
                  const char* disc_id, const char* disc_no, const char* disc_date, uint32_t base_block,
                  uint32_t size, int32_t prompt_kind, zkall_cd_handle** out, int32_t& detail);

}  // namespace zk::catalog
