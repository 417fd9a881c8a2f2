// The platform the tests install: the operating system's own platform (POSIX
// on a dosdevices directory of the test's own, or Win32) with a clock the
// test sets, sleeps that are only counted, and an environment the test
// controls.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/win32_platform.h"
#else
#include "platform/posix/posix_platform.h"
#endif

namespace zk::test {

#ifdef _WIN32
using SystemPlatformBase = platform::Win32Platform;
#else
using SystemPlatformBase = platform::PosixPlatform;
#endif

class TestPlatform : public SystemPlatformBase {
 public:
  // `dosdevices`: the directory of drive links of the POSIX platform; Windows
  // finds its drives through the mount manager instead.
#ifdef _WIN32
  explicit TestPlatform(const std::string&) {}
#else
  explicit TestPlatform(std::string dosdevices) : PosixPlatform(std::move(dosdevices)) {}
#endif

  platform::LocalTime now{2024, 3, 9, 14, 5, 7};
  int64_t seconds = 1000000;     // calendar time answered by time_seconds
  int64_t seconds_step = 0;      // added after every time_seconds call
  int time_calls = 0;
  std::vector<uint32_t> sleeps;  // every sleep asked for, in milliseconds
  // Environment seen by the library; a variable not listed here is unset.
  std::map<std::string, std::string> env;
  // Free space answered for a drive root ("C:\\") in place of the system's.
  std::map<std::string, platform::DiskSpace> free_space;

  platform::LocalTime local_time() override { return now; }
  int64_t time_seconds() override {
    ++time_calls;
    int64_t s = seconds;
    seconds += seconds_step;
    return s;
  }
  void sleep_ms(uint32_t ms) override { sleeps.push_back(ms); }
  bool get_env(const char* name, std::string& value) override {
    auto it = env.find(name);
    if (it == env.end()) return false;
    value = it->second;
    return true;
  }

#ifdef _WIN32
  // Drive letters (upper case) whose drive holds no disc. Wine has no drive
  // without a medium (it answers an empty label for a CD drive whose root is
  // missing), so the test platform answers for these drives as Windows
  // answers for an empty CD-ROM drive: type CD-ROM, "not ready" (21) for
  // the label, listings, free space and deletes, and no file to open.
  std::set<char> empty_drives;

 protected:
  bool on_empty_drive(const std::string& path) const;
  platform::StreamPtr do_fopen(const std::string& path, const char* mode, int& error) override;
  int do_open(const std::string& path, int flags, int perm, int& error) override;
  int do_remove(const std::string& path, int& error) override;
  bool do_delete_file(const std::string& path, uint32_t& error) override;
  bool do_exists(const std::string& path) override;
  std::unique_ptr<platform::Finder> do_find_first(const std::string& pattern, platform::FindEntry& first,
                                                  uint32_t& error) override;
  uint32_t do_drive_type(const std::string& root) override;
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override;
  bool do_disk_free_space(const std::string& root, platform::DiskSpace& out, uint32_t& error) override;
  bool do_set_current_directory(const std::string& path) override;
  // Nobody sits at a test's screen: an unanswered box is Cancel (OK for a
  // box without Retry).
  int do_message_box(platform::WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override;
#else
  // Nobody sits at a test's terminal: an unanswered message box is Cancel.
  bool interactive() const override { return false; }

 protected:
  bool do_disk_free_space(const std::string& root, platform::DiskSpace& out, uint32_t& error) override {
    if (auto it = free_space.find(root); it != free_space.end()) return out = it->second, true;
    return PosixPlatform::do_disk_free_space(root, out, error);
  }
#endif
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
