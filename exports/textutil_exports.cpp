// C entry points of the text utilities: each turns the caller's address and
// length into a field (an empty one for a null address or a length below 1)
// and calls zk::textutil.
#include <cstdint>
#include <optional>
#include <span>

#include "textutil/dates_areas.h"
#include "textutil/fields.h"
#include "textutil/numbers.h"
#include "textutil/split.h"
#include "zkall.h"

namespace tu = zk::textutil;

namespace {

template <class Char, class Length>
std::span<Char> field(Char* address, Length length) {
  if (address == nullptr || length < 1) {
    return {};
  }
  return {address, static_cast<std::size_t>(length)};
}

// Fixed-width texts (years, dates, applicability numbers) at a null address
// read as blanks, as a field that was never set does.
constexpr char kBlankText[tu::kYearMonthWidth] = {' ', ' ', ' ', ' '};
static_assert(tu::kYearWidth <= tu::kYearMonthWidth && tu::kApplicabilityWidth <= tu::kYearMonthWidth);

template <std::size_t N>
std::span<const char, N> fixed_text(const char* address) {
  return std::span<const char, N>(address != nullptr ? address : kBlankText, N);
}

template <class Split>
int32_t split(Split next_piece, const char* source, int32_t source_length, char* dest,
              int32_t dest_length, int32_t* position) {
  if (position == nullptr || *position < 0 || (dest == nullptr && dest_length > 0)) {
    return -1;
  }
  std::size_t at = static_cast<std::size_t>(*position);
  const bool piece = next_piece(field(source, source_length), field(dest, dest_length), at);
  *position = static_cast<int32_t>(at);
  return piece ? 0 : -1;
}

int32_t truth(bool value) { return value ? 1 : 0; }

}  // namespace

// ---- justifying, copying and replacing ----------------------------------------

extern "C" ZKALL_API uint32_t memlft(char* field_address, char c, uint32_t length) {
  return static_cast<uint32_t>(tu::memlft(field(field_address, length), c));
}

extern "C" ZKALL_API uint32_t memlft2(char* dest, char* src, char c, char f, uint32_t length) {
  return static_cast<uint32_t>(tu::memlft2(field(dest, length), field(src, length), c, f));
}

extern "C" ZKALL_API int32_t strlft(char* text, char c) {
  return static_cast<int32_t>(tu::strlft(text, c));
}

extern "C" ZKALL_API void memrep(char* dest, const char* src, char a, char b, uint32_t length) {
  tu::memrep(field(dest, length), field(src, length), a, b);
}

extern "C" ZKALL_API int32_t strrep(char* text, char a, char b) {
  return static_cast<int32_t>(tu::strrep(text, a, b));
}

extern "C" ZKALL_API void memncpy(char* dest, const char* src, int32_t length) {
  tu::memncpy(field(dest, length), field(src, length));
}

extern "C" ZKALL_API void last_space2null(char* field_address, int32_t length) {
  tu::last_space2null(field(field_address, length));
}

// ---- tests and measures ---------------------------------------------------------

extern "C" ZKALL_API int32_t memall(const char* field_address, char c, int32_t length) {
  return truth(tu::memall(field(field_address, length), c));
}

extern "C" ZKALL_API int32_t memclen(const char* field_address, char c, int32_t length) {
  return static_cast<int32_t>(tu::memclen(field(field_address, length), c));
}

extern "C" ZKALL_API int32_t memlenf(const char* field_address, int32_t length) {
  return static_cast<int32_t>(tu::memlenf(field(field_address, length)));
}

extern "C" ZKALL_API int32_t memlenb(const char* field_address, int32_t length) {
  if (length < 1) {
    return length;  // a length below 1 comes back as it was given
  }
  return static_cast<int32_t>(tu::memlenb(field(field_address, length)));
}

extern "C" ZKALL_API int32_t memisdigit(const char* field_address, int32_t length) {
  return truth(tu::memisdigit(field(field_address, length)));
}

extern "C" ZKALL_API int32_t memisalnum(const char* field_address, int32_t length) {
  return truth(tu::memisalnum(field(field_address, length)));
}

extern "C" ZKALL_API int32_t memcatcheck(const char* field_address, int32_t length) {
  return truth(tu::memcatcheck(field(field_address, length)));
}

extern "C" ZKALL_API int32_t zkall_memmem(const void* area, int32_t area_length, const void* pattern,
                                          int32_t pattern_length) {
  return static_cast<int32_t>(tu::memmem(field(static_cast<const char*>(area), area_length),
                                         field(static_cast<const char*>(pattern), pattern_length)));
}

// ---- numbers, part numbers and file names -----------------------------------------

extern "C" ZKALL_API void zeroedit(char* field_address, int32_t length) {
  tu::zeroedit(field(field_address, length));
}

extern "C" ZKALL_API int32_t erase_zero(char* field_address, int32_t length) {
  return static_cast<int32_t>(tu::erase_zero(field(field_address, length)));
}

extern "C" ZKALL_API uint32_t cvt_alnum2ulong(const char* field_address, int32_t length) {
  return tu::cvt_alnum2ulong(field(field_address, length));
}

extern "C" ZKALL_API char* edit_hinban14(char* dest, const char* part_number) {
  if (dest != nullptr && part_number != nullptr) {
    tu::edit_hinban14(std::span<char, tu::kEditedPartNumberWidth>(dest, tu::kEditedPartNumberWidth),
                      std::span<const char, tu::kPartNumberWidth>(part_number, tu::kPartNumberWidth));
  }
  return dest;
}

extern "C" ZKALL_API char* edit_hinban12(char* dest, const char* edited) {
  if (dest != nullptr && edited != nullptr) {
    tu::edit_hinban12(std::span<char, tu::kPartNumberWidth>(dest, tu::kPartNumberWidth),
                      std::span<const char, tu::kEditedPartNumberWidth>(edited, tu::kEditedPartNumberWidth));
  }
  return dest;
}

extern "C" ZKALL_API void edit_filename(char* buffer) {
  if (buffer != nullptr) {
    tu::edit_filename(std::span<char, tu::kFileNameBufferSize>(buffer, tu::kFileNameBufferSize));
  }
}

// ---- splitting ----------------------------------------------------------------------

extern "C" ZKALL_API int32_t memory_edit_2_n_data(const char* source, int32_t source_length, char* dest,
                                                  int32_t dest_length, int32_t* position) {
  return split(tu::memory_edit_2_n_data, source, source_length, dest, dest_length, position);
}

extern "C" ZKALL_API int32_t memory_edit_2_n_data_by_scolon(const char* source, int32_t source_length,
                                                            char* dest, int32_t dest_length,
                                                            int32_t* position) {
  return split(tu::memory_edit_2_n_data_by_scolon, source, source_length, dest, dest_length, position);
}

// ---- dates, applicability bits and areas ------------------------------------------------

extern "C" ZKALL_API int32_t check_2000(const char* yy, int32_t* year) {
  return tu::check_2000(fixed_text<tu::kYearWidth>(yy), year);
}

extern "C" ZKALL_API int32_t ad2i(const char* yymm) {
  return tu::ad2i(fixed_text<tu::kYearMonthWidth>(yymm));
}

extern "C" ZKALL_API void teki2bit(const char* number, int32_t* byte_index, uint8_t* mask) {
  const tu::ApplicabilityBit bit = tu::teki2bit(fixed_text<tu::kApplicabilityWidth>(number));
  if (byte_index != nullptr) {
    *byte_index = bit.byte_index;
  }
  if (mask != nullptr) {
    *mask = bit.mask;
  }
}

extern "C" ZKALL_API int32_t area_id(const char* letter) { return tu::area_id(letter); }

extern "C" ZKALL_API char* area_letter(const char* letter, char* table, int32_t entry_size) {
  return tu::area_letter(letter, table, entry_size);
}

extern "C" ZKALL_API int32_t GetAreaChar(int32_t area, char* letter) {
  const std::optional<char> found = tu::GetAreaChar(area);
  if (!found) {
    return -1;
  }
  if (letter != nullptr) {
    *letter = *found;
  }
  return 0;
}
