// Fuzz target of the CSV helpers: a line of any bytes split field by field
// with get_next_csv and each field copied with copy_csv_item, as the
// catalog's programs read their interface files.
//
// Input: the control piece is the line (a NUL is put behind it); its first
// byte is the size of the copy's destination.
//
// Checks: every field lies within the line (start at least 0, end below the
// line's end or -1 for an empty first field), the address given back is just
// behind a comma of the line and further on than the last one, the copy
// stays within its destination and gives back a position within first..last+1.
#include <algorithm>

#include "fuzz/fuzz_support.h"

using namespace zk::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = split_input(data, size);
  Control control(input.control);
  const int16_t dest_size = static_cast<int16_t>(control.byte() % 64);
  std::string line(control.take(input.control.size()));
  const size_t length = std::min(line.size(), strnlen(line.c_str(), line.size()));
  char* start_of_line = line.data();
  char* at = start_of_line;
  for (int fields = 0; at != nullptr && fields <= 4096; ++fields) {
    int16_t start = -9, end = -9;
    char* rest = get_next_csv(at, &start, &end);
    const auto offset = at - start_of_line;
    check(start >= 0 && end >= -1 && offset + start <= static_cast<ptrdiff_t>(length) + 1,
          "a field starts outside the line");
    check(offset + end < static_cast<ptrdiff_t>(length), "a field ends past the line");
    if (rest != nullptr) {
      check(rest > at && rest <= start_of_line + length && rest[-1] == ',', "the next field is not behind a comma");
    }
    Guarded dest(static_cast<size_t>(dest_size));
    const int16_t after = copy_csv_item(at, dest.data(), dest_size, start, end);
    dest.check_intact("copy_csv_item wrote past its destination");
    check(start > end ? after == start : after >= start && after <= end + 1, "copy_csv_item gave back another position");
    at = rest;
  }
  return 0;
}
