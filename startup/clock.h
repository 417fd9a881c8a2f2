// Date and time texts for the catalog's programs, and a busy wait.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace zk::startup {

// The platform's short date "MM/DD/YY" and time "HH:MM:SS", each 8
// characters and a NUL in `out`.
void short_date_text(const platform::LocalTime& t, char (&out)[9]);
void time_text(const platform::LocalTime& t, char (&out)[9]);

// Eight characters, no terminator: century, year, month, day ("19991231").
// The century comes from the two-digit year by the catalog's window (00-50
// are 20YY, 51-99 are 19YY).
void date2(char* out8);
// Six characters, no terminator: hours, minutes, seconds ("235958").
void time2(char* out6);
// Waits until the calendar time has advanced by `seconds` (busy, as the
// catalog's programs expect); 0 or less returns at once.
void timer(int32_t seconds);

}  // namespace zk::startup
