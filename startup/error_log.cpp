// Writing and removing the error log ZKERROR.LOG.
#include "startup/error_log.h"

#include <cstdio>

#include "platform/platform.h"
#include "startup/clock.h"

namespace zk::startup {

namespace {
constexpr const char* kLogName = "ZKERROR.LOG";
}

bool error_log_path(std::string& path) {
  auto& p = platform::current();
  std::string dir;
  if (!p.get_env("TMP", dir)) dir = ".\\";
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  path = dir + kLogName;
  return path.size() <= kLogPathMax;
}

void report(const char* module, const char* function, const char* call, int32_t n1, int32_t n2, int32_t n3) {
  std::string path;
  if (!error_log_path(path)) return;
  auto& p = platform::current();
  int err = 0;
  platform::StreamPtr f = p.fopen(path, "a+t", err);
  if (!f) return;
  const platform::LocalTime t = p.local_time();
  char date[9];
  char time[9];
  short_date_text(t, date);
  time_text(t, time);
  std::string line = "(";
  line += date;
  line += ' ';
  line += time;
  line += ')';
  line += module ? module : "";
  line += ',';
  line += function ? function : "";
  line += ',';
  line += call ? call : "";
  char numbers[48];
  std::snprintf(numbers, sizeof numbers, ",(%d)(%d)(%d)\n", static_cast<int>(n1), static_cast<int>(n2),
                static_cast<int>(n3));
  line += numbers;
  f->write(line.data(), line.size());
  f->close();
}

int init_error_log() {
  std::string path;
  if (!error_log_path(path)) return -1;
  int err = 0;
  return platform::current().remove(path, err) == 0 ? 0 : -1;
}

}  // namespace zk::startup
