// Splitting comma-separated lines as the catalog's interface files write
// them: fields separated by commas, a field may be quoted (a comma inside
// quotes belongs to it, a doubled quote inside stands for one quote), and a
// NUL or a line feed ends the line. Positions are 16-bit indexes, so a line
// is scanned up to 32767 characters.
#pragma once

#include <cstdint>

namespace zk::workfiles {

inline constexpr int16_t kCsvScanLimit = 32767;

// The field at the start of `line` spans start..end (without its quotes);
// returns the address behind its comma, or null at the end of the line.
const char* get_next_csv(const char* line, int16_t& start, int16_t& end);
// Copies source[first..last] into dest (at most `size`, no terminator), a
// doubled quote taken once; returns the index after the last taken.
int16_t copy_csv_item(const char* source, char* dest, int16_t size, int16_t first, int16_t last);

}  // namespace zk::workfiles
