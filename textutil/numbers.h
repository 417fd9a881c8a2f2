// Numbers written as characters, part numbers and 8.3 file names in
// fixed-width fields.
//
// Part numbers are 12 characters in records and 14 on screen, where two
// hyphens split them into groups of 5, 5 and 2:
//
//   plain   offset  0..4   5..9   10..11
//   edited  offset  0..4   6..10  12..13    (hyphens at 5 and 11)
//
// File names are kept in records in fixed form and written out for the file
// system through a 15-byte buffer:
//
//   offset  0..7   name, blank-padded
//           8..10  extension, blank-padded
//           11..13 room for the extension once it moves behind the full stop
//           14     NUL
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace zk::textutil {

// Widest field zeroedit and cvt_alnum2ulong accept: nine decimal digits, the
// most that always fit a 32-bit value.
inline constexpr std::size_t kMaxNumberWidth = 9;

inline constexpr std::size_t kPartNumberWidth = 12;
inline constexpr std::size_t kEditedPartNumberWidth = 14;

inline constexpr std::size_t kFileNameWidth = 8;
inline constexpr std::size_t kFileExtensionWidth = 3;
inline constexpr std::size_t kFileNameBufferSize = 15;

// Right-justifies the field's bytes above 0x20, in their order, and fills the
// left with "0"; blank-like bytes are dropped ("1 2" becomes "012", blanks
// become all "0"). A field wider than kMaxNumberWidth is left unchanged.
void zeroedit(std::span<char> field);

// Blanks the leading run of "0", "," and blank ("0,012" becomes "   12").
// When that blanks the whole field its last byte becomes "0", so a zero
// amount still shows. Returns the length of the run (the whole width in that
// case).
std::size_t erase_zero(std::span<char> field);

// The value of a field of digits and letters, each character weighing ten
// times its right neighbour (ten, not thirty-six, also for letters). A digit
// is worth its code - 48 and a letter its code - 55 (A-Z 10-35, a-z 42-67);
// any other byte is worth 0, so blank padding on the left reads like zeros.
// Arithmetic is unsigned 32-bit (it wraps). A field that is empty or wider
// than kMaxNumberWidth gives 0.
std::uint32_t cvt_alnum2ulong(std::span<const char> field);

// Reads a decimal number the way the catalog's date and applicability fields
// are read: leading blank-like bytes skipped, then an optional sign, then
// digits up to the first other byte or the end of the field. No digits read
// as 0. Values beyond the 32-bit range saturate.
std::int32_t read_decimal(std::span<const char> field);

// Formats a 12-character part number for display as 5-5-2 groups joined by
// hyphens; a part number of 12 blanks gives 14 blanks (only true blanks: a
// NUL-filled number is formatted like any other). `dest` and `part_number`
// may overlap.
void edit_hinban14(std::span<char, kEditedPartNumberWidth> dest,
                   std::span<const char, kPartNumberWidth> part_number);

// Undoes edit_hinban14: `dest` becomes blanks, then gets the first group;
// the second group only when the edited form's byte 6 is above 0x20, and the
// third only when, further, its byte 12 is. Bytes 5 and 11 of the edited
// form are skipped whatever they hold. `dest` and `edited` may overlap.
void edit_hinban12(std::span<char, kPartNumberWidth> dest,
                   std::span<const char, kEditedPartNumberWidth> edited);

// Turns the fixed form of an 8.3 name (see the table above) into its written
// form: name, full stop, extension, with every blank removed and NUL bytes
// behind. "AB      TXT" becomes "AB.TXT"; an empty extension leaves the full
// stop at the end ("AB."), an empty name gives ".TXT". Removing blanks stops
// at a NUL among the first 14 bytes, so a NUL-padded name keeps only what
// comes before its NUL. Every byte that the removal vacates becomes NUL.
void edit_filename(std::span<char, kFileNameBufferSize> buffer);

}  // namespace zk::textutil
