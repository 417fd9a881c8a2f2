// The record layouts the export knows, as named columns of a set's table:
// the fields of vehicle names, figure and part names, abbreviations, frame
// numbers, vehicle information, group headings, symbol codes and prices.
// A text field is a column when it begins inside the set's records (cut
// at the record's end), a number when it lies inside them whole; text
// fields lose their trailing blanks and NULs, numbers are 16-bit
// little-endian as the catalog's programs read them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zk::tool {

struct Field {
  const char* column;
  size_t offset;
  size_t width;
  bool int16 = false;  // a 16-bit little-endian number; else text
};

// The fields of the records of the file named `file` ("HINM01.DAT", the
// price file "KAKAKU.D"); empty when its layout is not known.
std::span<const Field> fields_of(std::string_view file);

// A field's value as text: the bytes, trailing blanks and NULs removed.
std::string field_text(std::string_view record, const Field& f);
// A 16-bit field's value.
int field_int16(std::string_view record, const Field& f);

}  // namespace zk::tool
