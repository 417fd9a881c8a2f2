// The vehicle-information work file JOUHOU.TMP in the work directory: the
// candidate vehicles of a VIN or frame-number lookup, one 191-byte record
// each, no header (a shorter tail is ignored). The catalog's programs create
// and fill it; the narrowing steps (narrowing.h) sign the records that drop
// out.
//
//   offset  width  content
//   0       6      code compared by criterion 2
//   6       9      VIN key field (vin.h); criterion 1
//   15      15     code compared by criterion 4
//   30      4      production date from, YYMM
//   34      4      production date to, YYMM; all blanks: the one at 177
//   38      10     not used here
//   48      125    codes compared by criterion 8
//   173     4      not used here
//   177     4      second production date to, YYMM
//   181     4      value compared by criterion 32
//   185     4      value compared by criterion 64
//   189     1      not used here
//   190     1      sign: 0x20 or less while the record is a candidate, else
//                  the sign character of the step that excluded it
//
// A caller's file slot (zkall_jouhou_slot) refers to a stream of the
// library: it holds the address of that stream, on every build, and is only
// passed back to the library. The library keeps its open streams in a table
// and follows a slot only when it names one of them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "zkall.h"

namespace zk::vehicle {

inline constexpr size_t kJouhouRecordSize = 191;

namespace jouhou {
inline constexpr size_t kCode6 = 0;
inline constexpr size_t kVinKey = 6;
inline constexpr size_t kCode15 = 15;
inline constexpr size_t kDateFrom = 30;
inline constexpr size_t kDateTo = 34;
inline constexpr size_t kCodes125 = 48;
inline constexpr size_t kDateTo2 = 177;
inline constexpr size_t kValue32 = 181;
inline constexpr size_t kValue64 = 185;
inline constexpr size_t kSign = 190;
}  // namespace jouhou

// Open modes of v_open_jouhou_tmp.
inline constexpr int32_t kJouhouRead = 1;
inline constexpr int32_t kJouhouWrite = 2;      // created or emptied
inline constexpr int32_t kJouhouReadWrite = 3;  // an existing file

// Writes the full path of JOUHOU.TMP into the 80-byte buffer: 0, or -1 when
// it would be longer than 79 characters.
int make_jouhou_tmp_name(char* buffer);

// Closes the file in the slot, then opens JOUHOU.TMP in `mode` into it; the
// record count into *count when given. 0; the failure of the close (12) or
// of the path (-1, detail 0); 11 with the error number when the file cannot
// be opened, with 22 (EINVAL) for a mode other than 1, 2 or 3 or a null
// slot; 15 with the error number when the file's length cannot be had. The
// slot holds the open file or null on every return.
int open_jouhou_tmp(int32_t mode, zkall_jouhou_slot* slot, int32_t* count, int32_t& detail);

// Closes the file in the slot and empties the slot: 0, or 12 with the error
// number when the close fails (the stream is released all the same). An
// empty slot, or one that names no stream of the library, is emptied and
// answers 0.
int close_jouhou_tmp(zkall_jouhou_slot* slot, int32_t& detail);

// The library's stream behind a slot, or null: how the library's own C++
// callers (the tools) read and write the file they opened.
platform::Stream* slot_stream(const zkall_jouhou_slot* slot);

// Number of streams open in callers' slots (for tests).
size_t open_jouhou_streams();

}  // namespace zk::vehicle
