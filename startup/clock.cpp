// date2, time2 and timer over the platform's clock.
#include "startup/clock.h"

#include <cstring>
#include <span>

#include "platform/platform.h"
#include "textutil/dates_areas.h"

namespace zk::startup {

namespace {
// Two decimal digits of a clock field (kept in 0..99).
void two_digits(char* out, int v) {
  v = ((v % 100) + 100) % 100;
  out[0] = static_cast<char>('0' + v / 10);
  out[1] = static_cast<char>('0' + v % 10);
}

void three_fields(char (&out)[9], int a, int b, int c, char sep) {
  two_digits(out, a);
  out[2] = sep;
  two_digits(out + 3, b);
  out[5] = sep;
  two_digits(out + 6, c);
  out[8] = '\0';
}
}  // namespace

void short_date_text(const platform::LocalTime& t, char (&out)[9]) {
  three_fields(out, t.month, t.day, t.year, '/');
}

void time_text(const platform::LocalTime& t, char (&out)[9]) { three_fields(out, t.hour, t.minute, t.second, ':'); }

void date2(char* out8) {
  if (!out8) return;
  const platform::LocalTime t = platform::current().local_time();
  // The platform's short date is MM/DD/YY; the century is placed by the
  // same year window the catalog uses everywhere.
  char text[9];
  short_date_text(t, text);
  int32_t year = 0;
  const bool twenties = textutil::check_2000(std::span<const char, 2>(text + 6, 2), &year) == 2;
  std::memcpy(out8, twenties ? "20" : "19", 2);
  std::memcpy(out8 + 2, text + 6, 2);
  std::memcpy(out8 + 4, text, 2);
  std::memcpy(out8 + 6, text + 3, 2);
}

void time2(char* out6) {
  if (!out6) return;
  const platform::LocalTime t = platform::current().local_time();
  char text[9];
  time_text(t, text);
  std::memcpy(out6, text, 2);
  std::memcpy(out6 + 2, text + 3, 2);
  std::memcpy(out6 + 4, text + 6, 2);
}

void timer(int32_t seconds) {
  if (seconds <= 0) return;
  auto& p = platform::current();
  const int64_t start = p.time_seconds();
  while (p.time_seconds() - start < seconds) {
  }
}

}  // namespace zk::startup
