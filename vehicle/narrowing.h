// A narrowing step over JOUHOU.TMP (v_jtmp_sign): the candidates are
// compared with the criteria the user answered, and every candidate that
// fails gets the sign character of the step.
//
// Criteria, a bit mask (a record matches when every selected one holds;
// comparisons are byte for byte, exact):
//   1   VIN key field (offset 6, 9 bytes) and the key built from the VIN
//   2   offset 0, 6 bytes         4   offset 15, 15 bytes
//   8   offset 48, 125 bytes      16  production period and a date CCYYMM
//   32  offset 181, 4 bytes and a 32-bit value (native byte order)
//   64  offset 185, 4 bytes and a 32-bit value
// The production period: each YYMM date gets its century from its year
// (below 51: 20, else 19). From = century + offset 30; To = century +
// offset 34, or + offset 177 when 34 is all blanks, or open when that is all
// blanks too. A date D matches when From <= D and (D <= To or To is open),
// comparing 6 bytes.
//
// The sign character: the step code of the current step (the ccar area's
// step codes, at its step number) chooses one of "vcmfdotln".
#pragma once

#include <cstdint>

namespace zk::vehicle {

inline constexpr char kSignCharacters[] = "vcmfdotln";
inline constexpr int32_t kStepCodes = 9;

// Result 0 when a candidate matched (every other record now carries the
// step's sign), 1 when none did (the file is unchanged), or a failure:
//   -1/11 the path cannot be built          11/errno the file cannot be opened
//   20/record count  no memory for the flags
//   14/12 a read of the first pass           15/13 positioning to read again
//   14/14 a read of the second pass          15/15 positioning to write
//   13/16 a write                            12/17 the close (no earlier error)
//   128/18 the current step number lies outside the 218 step codes, or its
//          code outside 0..8 (found before anything is signed)
// Arguments of criteria that are not selected are not read; a selected
// criterion with a null argument matches nothing.
int jtmp_sign(int32_t criteria, uint32_t value32, uint32_t value64, const char* vin, const char* code6,
              const char* code15, const char* codes125, const char* date6, int32_t& detail);

}  // namespace zk::vehicle
