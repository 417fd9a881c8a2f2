// Numbers written as characters, part numbers and 8.3 file names in
// fixed-width fields.
#include "textutil/numbers.h"

#include <algorithm>
#include <array>
#include <limits>

#include "textutil/chars.h"

namespace zk::textutil {
namespace {

// The three groups of a part number, at their offsets in the plain and the
// edited form.
struct PartNumberGroup {
  std::size_t plain;
  std::size_t edited;
  std::size_t width;
};
inline constexpr std::array<PartNumberGroup, 3> kPartNumberGroups{{{0, 0, 5}, {5, 6, 5}, {10, 12, 2}}};
inline constexpr char kPartNumberHyphen = '-';

static_assert(kPartNumberGroups.back().plain + kPartNumberGroups.back().width == kPartNumberWidth);
static_assert(kPartNumberGroups.back().edited + kPartNumberGroups.back().width ==
              kEditedPartNumberWidth);

// Where the extension sits in the fixed and in the written form of a file
// name, and where the full stop goes.
inline constexpr std::size_t kFixedExtension = kFileNameWidth;
inline constexpr std::size_t kMovedExtension = kFixedExtension + kFileExtensionWidth;
inline constexpr std::size_t kFullStop = kMovedExtension - 1;
inline constexpr std::size_t kFileNameText = kFileNameBufferSize - 1;  // bytes before the NUL
static_assert(kMovedExtension + kFileExtensionWidth == kFileNameText);

std::uint32_t alnum_value(char c) {
  if (is_digit(c)) {
    return static_cast<std::uint32_t>(byte_value(c) - '0');
  }
  if (is_letter(c)) {
    return static_cast<std::uint32_t>(byte_value(c) - ('A' - 10));
  }
  return 0;
}

}  // namespace

void zeroedit(std::span<char> field) {
  if (field.size() > kMaxNumberWidth) {
    return;
  }
  // Working from the right, each kept byte lands at or behind where it was
  // read, so the move is done in place.
  std::size_t write = field.size();
  for (std::size_t read = field.size(); read-- > 0;) {
    if (!is_blank_like(field[read])) {
      field[--write] = field[read];
    }
  }
  std::fill_n(field.begin(), write, '0');
}

std::size_t erase_zero(std::span<char> field) {
  std::size_t n = 0;
  while (n < field.size() && (field[n] == '0' || field[n] == ',' || field[n] == kBlank)) {
    field[n++] = kBlank;
  }
  if (n != 0 && n == field.size()) {
    field[n - 1] = '0';
  }
  return n;
}

std::uint32_t cvt_alnum2ulong(std::span<const char> field) {
  if (field.size() > kMaxNumberWidth) {
    return 0;
  }
  std::uint32_t value = 0;
  for (char c : field) {
    value = value * 10U + alnum_value(c);
  }
  return value;
}

std::int32_t read_decimal(std::span<const char> field) {
  std::size_t i = 0;
  while (i < field.size() && is_blank_like(field[i])) {
    ++i;
  }
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; i < field.size() && is_digit(field[i]); ++i) {
    value = std::min(value * 10 + (field[i] - '0'), kLimit + 1);
  }
  if (negative) {
    return static_cast<std::int32_t>(-value);
  }
  return static_cast<std::int32_t>(std::min(value, kLimit));
}

void edit_hinban14(std::span<char, kEditedPartNumberWidth> dest,
                   std::span<const char, kPartNumberWidth> part_number) {
  std::array<char, kPartNumberWidth> plain{};
  std::copy(part_number.begin(), part_number.end(), plain.begin());
  if (std::all_of(plain.begin(), plain.end(), [](char c) { return c == kBlank; })) {
    std::fill(dest.begin(), dest.end(), kBlank);
    return;
  }
  std::fill(dest.begin(), dest.end(), kPartNumberHyphen);
  for (const PartNumberGroup& g : kPartNumberGroups) {
    std::copy_n(plain.begin() + g.plain, g.width, dest.begin() + g.edited);
  }
}

void edit_hinban12(std::span<char, kPartNumberWidth> dest,
                   std::span<const char, kEditedPartNumberWidth> edited) {
  std::array<char, kEditedPartNumberWidth> shown{};
  std::copy(edited.begin(), edited.end(), shown.begin());
  std::fill(dest.begin(), dest.end(), kBlank);
  for (const PartNumberGroup& g : kPartNumberGroups) {
    // A short part number ends where a group begins with a blank-like byte;
    // the first group is taken as it stands.
    if (g.edited != 0 && is_blank_like(shown[g.edited])) {
      break;
    }
    std::copy_n(shown.begin() + g.edited, g.width, dest.begin() + g.plain);
  }
}

void edit_filename(std::span<char, kFileNameBufferSize> buffer) {
  std::copy_n(buffer.begin() + kFixedExtension, kFileExtensionWidth, buffer.begin() + kMovedExtension);
  std::fill(buffer.begin() + kFixedExtension, buffer.begin() + kFullStop, kBlank);
  buffer[kFullStop] = '.';

  std::size_t write = 0;
  std::size_t read = 0;
  for (; read < kFileNameText && buffer[read] != '\0'; ++read) {
    if (buffer[read] != kBlank) {
      buffer[write++] = buffer[read];
    }
  }
  // What follows the scan (the NUL that stopped it, and the bytes behind)
  // moves left over the removed blanks; the bytes vacated at the end become
  // NUL. Bytes 8 and 9 are always blank, so a scan that reaches them leaves
  // the written form terminated.
  const auto tail = std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(read), buffer.end(),
                              buffer.begin() + static_cast<std::ptrdiff_t>(write));
  std::fill(tail, buffer.end(), '\0');
}

}  // namespace zk::textutil
