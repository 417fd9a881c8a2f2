// Two-digit years and YYMM dates, applicability bits, and area letters.
//
// Years: catalog records write years with two digits. The window places
// 00-50 in 2000-2050 and 51-99 in 1951-1999 (two blanks read as 0, so 2000).
//
// Applicability: a record says which variants a part applies to in a bit
// string; applicability numbers count its bits from 1, most significant bit
// of byte 0 first (1 is byte 0 mask 0x80, 8 is byte 0 mask 0x01, 9 is byte 1
// mask 0x80).
//
// Areas: the sales areas are numbered 0 to 3 and lettered "EGUJ" in that
// order; the letter is the first character of a disc id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zk::textutil {

// ---- years and dates ---------------------------------------------------------

inline constexpr std::int32_t kFirstYearOf1900s = 51;  // 51 and above: 19YY
inline constexpr std::int32_t kCentury19 = 1;          // check_2000: 19YY
inline constexpr std::int32_t kCentury20 = 2;          // check_2000: 20YY

inline constexpr std::size_t kYearWidth = 2;
inline constexpr std::size_t kYearMonthWidth = 4;  // YYMM

// Reads two characters of a year as a decimal number (see read_decimal) into
// `*year` when `year` is not null, and answers kCentury20 for a year below 51
// (including negative ones), kCentury19 otherwise.
std::int32_t check_2000(std::span<const char, kYearWidth> yy, std::int32_t* year = nullptr);

// Months counted from 1900 of a YYMM date: (YY + 100) * 12 + MM in the 20YY
// window, YY * 12 + MM otherwise; 0 when YY and MM both read as 0 (a date
// that was never set). "9901" gives 1189, "0001" 1201.
std::int32_t ad2i(std::span<const char, kYearMonthWidth> yymm);

// ---- applicability bits --------------------------------------------------------

inline constexpr std::size_t kApplicabilityWidth = 3;  // "001" to "999"

struct ApplicabilityBit {
  std::int32_t byte_index;
  std::uint8_t mask;

  friend bool operator==(const ApplicabilityBit&, const ApplicabilityBit&) = default;
};

// The byte and bit of an applicability number written in three characters
// (read with read_decimal). A number below 1 names no bit and gives byte 0
// with mask 0: testing that bit finds nothing, setting it changes nothing,
// and no caller indexes before its bit string.
ApplicabilityBit teki2bit(std::span<const char, kApplicabilityWidth> number);

// ---- areas -----------------------------------------------------------------------

inline constexpr std::string_view kAreaLetters = "EGUJ";
inline constexpr std::int32_t kAreaCount = static_cast<std::int32_t>(kAreaLetters.size());

// Area number 0-3 of an area letter (compared byte-wise: a lower-case letter
// is unknown), -1 for any other byte.
std::int32_t area_id(char letter);

// The same through an address; a null address gives -1.
std::int32_t area_id(const char* letter);

// The entry of a table with one entry per area: table + area number *
// entry_size, or null for a null letter address, a null table, an entry size
// below 1 or an unknown letter.
char* area_letter(const char* letter, char* table, std::int32_t entry_size);
const char* area_letter(const char* letter, const char* table, std::int32_t entry_size);

// The letter of an area number, or nothing for a number outside 0-3.
std::optional<char> GetAreaChar(std::int32_t area);

}  // namespace zk::textutil
