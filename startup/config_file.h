// The configuration file ZKDROM.SYS: one "KEY=value" line per setting of the
// ctop area, read once at start-up from the current directory.
//
// The key is everything before the first "=" and must equal a keyword
// exactly (upper case, no blanks); other keys are ignored. The value runs to
// the end of the line, line feed included, which is what the length limits
// count; values are upper-cased except EXPGPNHO and the scan of ECMSTALL.
// A line without "=" (a blank line too) is an error and ends reading.
//
// Every problem is logged as module "ZKDROM", function "kankyo_set"; reading
// then stops, settings applied so far stay, and the finishing steps (the
// installed-disc check, the price directories) are skipped. The logged text
// is the value or line without its line feed, so each report stays one line.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::startup {

inline constexpr int kConfigLineBuffer = 256;  // a line holds at most 255 characters

// Sets the defaults, reads "zkdrom.sys" and, when the whole file was read,
// runs the finishing steps. Returns 0 in every case.
int read_config_file();

// The path check of ECRAM, ECMST and ECFIL: at most 8 characters between two
// consecutive backslashes, every character 32..127.
bool config_path_ok(const char* value, size_t length);

}  // namespace zk::startup
