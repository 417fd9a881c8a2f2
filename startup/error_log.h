// The error log ZKERROR.LOG: one line per failure, appended and closed at
// once, removed at every start-up so it holds the failures of this run only.
//
// Line format: "(MM/DD/YY HH:MM:SS)MODULE,function,call,(n1)(n2)(n3)\n"
//   MODULE   source module of the report ("ZKDROM", "ZKSUBS01" ...)
//   function the reporting function ("kankyo_set", "disp_msgbox" ...)
//   call     the failing call, a message, or the refused value
//   n1 n2 n3 the result returned, a detail (error number or 0), and a number
//            fixed for the place of the report.
#pragma once

#include <cstdint>
#include <string>

namespace zk::startup {

inline constexpr size_t kLogPathMax = 79;  // the log path lives in an 80-byte buffer

// The log's full path: $TMP (or ".\" when TMP is unset), a backslash unless
// it ends with one, "ZKERROR.LOG". False when it would exceed 79 characters.
bool error_log_path(std::string& path);

// Appends one line; a log that cannot be built, opened or written loses the
// line silently (the log never reports about itself).
void report(const char* module, const char* function, const char* call, int32_t n1, int32_t n2, int32_t n3);

// Removes the log of the previous run: 0 when removed, -1 when not.
int init_error_log();

}  // namespace zk::startup
