// The two comma-separated-line helpers.
#include "workfiles/csv.h"

namespace zk::workfiles {

namespace {
enum class Quote { Outside, Inside, After };
}

const char* get_next_csv(const char* line, int16_t& start, int16_t& end) {
  start = 0;
  end = -1;
  if (line == nullptr) return nullptr;
  Quote state = Quote::Outside;
  int32_t opened = 0;
  for (int32_t pos = 0;; ++pos) {
    const char c = pos < kCsvScanLimit ? line[pos] : '\0';
    if (c == '\0' || c == '\n') {
      if (end == -1) end = static_cast<int16_t>(pos - 1);
      return nullptr;
    }
    if (c == '"') {
      if (state == Quote::Outside) {
        state = Quote::Inside;
        opened = pos;
      } else if (pos + 1 < kCsvScanLimit && line[pos + 1] == '"') {
        ++pos;  // a doubled quote: part of the field
      } else {
        start = static_cast<int16_t>(opened + 1);
        end = static_cast<int16_t>(pos - 1);
        state = Quote::After;
      }
    } else if (c == ',' && state != Quote::Inside) {
      if (end == -1) end = static_cast<int16_t>(pos - 1);
      return line + pos + 1;
    }
  }
}

int16_t copy_csv_item(const char* source, char* dest, int16_t size, int16_t first, int16_t last) {
  if (first > last || source == nullptr || dest == nullptr || first < 0) return first;
  int32_t pos = first;
  int32_t copied = 0;
  bool after_quote = false;  // the last character copied was a quote
  while (pos <= last && copied < size && source[pos] != '\0') {
    if (source[pos] == '"' && after_quote && pos != last) ++pos;
    const char c = source[pos];
    if (c == '\0') break;
    dest[copied++] = c;
    after_quote = c == '"';
    ++pos;
  }
  return static_cast<int16_t>(pos);
}

}  // namespace zk::workfiles
