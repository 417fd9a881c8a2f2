// The vehicle's symbol list VCLINF.TMP, built from the catalog's group
// headings (TOKUME.DAT) and symbol codes (KIGOUU.DAT) in the data language.
//
// Header (the caller's 133 bytes, written unchanged but for the count):
//   17   6   catalog code; a first byte of 0x20 or less means none
//   100  4   number of lines written (32-bit, native byte order)
// Lines (32 bytes, at most 250):
//   heading       "** " heading text " **" then blanks; 28-31 zero. A
//                 heading that begins with a blank is its 20 characters and
//                 gets the applies flag as a code line does
//   code          0-9 symbol code, 10-28 first piece of the explanation
//                 (up to 19 characters; 28 is 0 when there is none), 29 the
//                 applies flag, 30-31 zero
//   continuation  0-9 blanks, 10-28 the next piece, 29-31 zero
// An explanation is cut into pieces of up to 19 characters at blanks and
// commas (word wrapping). A code applies to the current vehicle when its
// first 10 bytes equal the first half of the first characteristic, or its
// first 5 bytes one of the first 21 second-characteristic codes.
//
// Catalog records read (in file order; other bytes are not used):
//   TOKUME.DAT  6 group number (16-bit), 8 language, 10 heading text (20)
//   KIGOUU.DAT  6 group number (16-bit), 8 symbol code (10), 18 language,
//               20 explanation (70)
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::vehicle {

inline constexpr int32_t kMaxVinfLines = 250;

// Builds VCLINF.TMP: 0, or -1 when reading the catalog failed (the header
// is then not written). Stops at the first failure of the record-file layer
// (-1). The caller's header is not changed.
int32_t pop_make_vclinf_tmp(zkall_vinf_control* block, const void* header);
// Deletes VCLINF.TMP: 0, or -1.
int32_t pop_del_vclinftmp();
// The full path of VCLINF.TMP into the 80-byte buffer, NUL-padded: 0, or -1
// when it would be too long (the buffer then holds the bare name).
int32_t vinf_get_path(char* buffer);

}  // namespace zk::vehicle
