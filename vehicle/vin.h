// VIN and frame-number editing.
//
// A VIN is 17 single-byte characters, not terminated; positions are counted
// from 1 and a position is empty when its byte is 0x20 or less. The catalog
// keys vehicle information by the head of the VIN: 9 characters for the
// makes of the manufacturer table (manufacturer_table.h), 8 for all others,
// held in a 9-character key field padded with a blank. A frame number is 7
// characters: a letter or digit and six decimal digits. No check digit is
// computed or tested.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::vehicle {

inline constexpr size_t kVinKeySize = 9;
inline constexpr size_t kFrameNoSize = 7;

// 9 when the VIN's first three characters are in the manufacturer table,
// else 8 (also for a null VIN).
int32_t vin_key_length(const char* vin);
// '0' for a VIN of a listed make, else a blank.
char vin_fill_char(const char* vin);
// Fills the 9-byte key field with blanks and copies the first 8 or 9
// characters of the VIN into it; returns the length taken.
int32_t copy_vin(const char* vin, char* key);
// Completes positions 9 and 10 when the user left them empty but typed
// position 11.
void edit_vin(char* vin);
// 1 when the 7 bytes are a frame number, else 0.
int32_t valid_frameno(const char* frame_no);

}  // namespace zk::vehicle
