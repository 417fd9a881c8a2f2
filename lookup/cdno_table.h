// The disc-number table of a disc: the disc codes its vehicle names carry,
// read from SHAMEI.DAT straight from the disc (cdmake_cdno_table).
//
// Vehicle-name record (97 bytes), as read here:
//   offset  width  content
//   87      2      disc code: the disc of the vehicle's catalog (blank: none)
//
// Table entry (zkall_cdno_entry, 4 bytes): area letter (the first character
// of the disc id asked for), sequence digit, disc code. The entries are
// sorted by disc code and numbered from the second character of the first
// code on ("A1", "B2", "C3" give the digits 1, 2, 3).
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::lookup {

inline constexpr int kMaxDiscCodes = 10;
inline constexpr size_t kDiscCodeOffset = 87;
inline constexpr size_t kDiscCodeSize = 2;

inline constexpr int32_t kDetailNoTable = 3201;
inline constexpr int32_t kDetailNoTableGrowth = 3202;
inline constexpr int32_t kDetailTooManyCodes = 3203;

// 0 with the table (allocated with the C runtime's malloc: the caller frees
// it) and its count; otherwise null and 0, and the failure of the direct
// open, the read or the close, or 20/3201, 20/3202, 128/3203.
int cdmake_cdno_table(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date,
                      zkall_cdno_entry** table, int32_t* count, int32_t prompt_kind, int32_t& detail);

}  // namespace zk::lookup
