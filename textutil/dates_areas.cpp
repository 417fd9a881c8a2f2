// Two-digit years and YYMM dates, applicability bits, and area letters.
#include "textutil/dates_areas.h"

#include "textutil/numbers.h"

namespace zk::textutil {
namespace {

inline constexpr std::int32_t kMonthsPerYear = 12;
inline constexpr std::int32_t kYearsPerCentury = 100;
inline constexpr std::uint8_t kFirstBitMask = 0x80;
inline constexpr std::int32_t kBitsPerByte = 8;

}  // namespace

std::int32_t check_2000(std::span<const char, kYearWidth> yy, std::int32_t* year) {
  const std::int32_t value = read_decimal(yy);
  if (year != nullptr) {
    *year = value;
  }
  return value < kFirstYearOf1900s ? kCentury20 : kCentury19;
}

std::int32_t ad2i(std::span<const char, kYearMonthWidth> yymm) {
  std::int32_t year = 0;
  const std::int32_t century = check_2000(yymm.first<kYearWidth>(), &year);
  const std::int32_t month = read_decimal(yymm.last<kYearMonthWidth - kYearWidth>());
  if (year == 0 && month == 0) {
    return 0;
  }
  if (century == kCentury20) {
    year += kYearsPerCentury;
  }
  return year * kMonthsPerYear + month;
}

ApplicabilityBit teki2bit(std::span<const char, kApplicabilityWidth> number) {
  const std::int32_t n = read_decimal(number);
  if (n < 1) {
    return {0, 0};
  }
  const std::int32_t bit = n - 1;
  return {bit / kBitsPerByte, static_cast<std::uint8_t>(kFirstBitMask >> (bit % kBitsPerByte))};
}

std::int32_t area_id(char letter) {
  const std::size_t at = kAreaLetters.find(letter);
  return at == std::string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t area_id(const char* letter) { return letter == nullptr ? -1 : area_id(*letter); }

const char* area_letter(const char* letter, const char* table, std::int32_t entry_size) {
  const std::int32_t area = area_id(letter);
  if (table == nullptr || entry_size < 1 || area < 0) {
    return nullptr;
  }
  return table + static_cast<std::ptrdiff_t>(area) * entry_size;
}

char* area_letter(const char* letter, char* table, std::int32_t entry_size) {
  // The entry lies inside the caller's own writable table.
  return const_cast<char*>(area_letter(letter, static_cast<const char*>(table), entry_size));
}

std::optional<char> GetAreaChar(std::int32_t area) {
  if (area < 0 || area >= kAreaCount) {
    return std::nullopt;
  }
  return kAreaLetters[static_cast<std::size_t>(area)];
}

}  // namespace zk::textutil
