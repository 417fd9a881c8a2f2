// The platform the tests install: the POSIX platform on a dosdevices
// directory of the test's own, with a clock the test sets, sleeps that are
// only counted, and an environment the test controls.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/posix_platform.h"

namespace zk::test {

class TestPlatform : public platform::PosixPlatform {
 public:
  explicit TestPlatform(std::string dosdevices) : PosixPlatform(std::move(dosdevices)) {}

  platform::LocalTime now{2024, 3, 9, 14, 5, 7};
  int64_t seconds = 1000000;     // calendar time answered by time_seconds
  int64_t seconds_step = 0;      // added after every time_seconds call
  int time_calls = 0;
  std::vector<uint32_t> sleeps;  // every sleep asked for, in milliseconds
  // Environment seen by the library; a variable not listed here is unset.
  std::map<std::string, std::string> env;

  platform::LocalTime local_time() override { return now; }
  int64_t time_seconds() override {
    ++time_calls;
    int64_t s = seconds;
    seconds += seconds_step;
    return s;
  }
  void sleep_ms(uint32_t ms) override { sleeps.push_back(ms); }
  // Nobody sits at a test's terminal: an unanswered message box is Cancel.
  bool interactive() const override { return false; }
  bool get_env(const char* name, std::string& value) override {
    auto it = env.find(name);
    if (it == env.end()) return false;
    value = it->second;
    return true;
  }
};

// Installs a platform for the life of the object.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(platform::Platform& p) { platform::install(&p); }
  ~ScopedPlatform() { platform::install(nullptr); }
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

}  // namespace zk::test
