// The POSIX implementation of the platform layer (Wine's conventions for
// drives, labels and paths). Declared here so tests can derive from it to
// replace the clock or the sleep.
#pragma once

#include <string>

#include "platform/dos_names.h"
#include "platform/platform.h"

namespace zk::platform {

// The outcome of turning one of the library's Windows paths into a host path.
struct HostPath {
  std::string path;        // the host path (valid when error is 0)
  uint32_t error = 0;      // Windows error: 3 no such drive, 21 drive not ready
  bool drive_root = false; // the path names a drive's root directory
};

class PosixPlatform : public Platform {
 public:
  // `dosdevices`: the directory of drive links; empty means the environment's
  // choice ($ZKALL_DOSDEVICES, $WINEPREFIX/dosdevices, ~/.wine/dosdevices),
  // looked up afresh on every call.
  explicit PosixPlatform(std::string dosdevices = {});

  // Resolves a Windows path (drive letter, relative, or POSIX absolute with
  // either separator), matching each existing component without regard to
  // case (an exact match first) and keeping missing components as written.
  HostPath resolve(const std::string& path) const;
  std::string dosdevices_dir() const;

  LocalTime local_time() override;
  int64_t time_seconds() override;
  void sleep_ms(uint32_t ms) override;
  bool get_env(const char* name, std::string& value) override;
  WindowHandle active_window() override { return nullptr; }
  intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
  // The windows and memory device contexts are the platform's rasters
  // (platform/raster.h); a handle that names none is refused.
  DeviceContext get_dc(WindowHandle window) override;
  int release_dc(WindowHandle window, DeviceContext dc) override;
  bool bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
               int source_y, uint32_t rop) override;

 protected:
  StreamPtr do_fopen(const std::string& path, const char* mode, int& error) override;
  int do_open(const std::string& path, int flags, int perm, int& error) override;
  int64_t do_read(int fd, void* buf, size_t n, int& error) override;
  int64_t do_write(int fd, const void* buf, size_t n, int& error) override;
  int64_t do_lseek(int fd, int64_t offset, int origin, int& error) override;
  int do_close(int fd, int& error) override;
  int64_t do_filelength(int fd, int& error) override;
  int do_remove(const std::string& path, int& error) override;
  bool do_delete_file(const std::string& path, uint32_t& error) override;
  bool do_exists(const std::string& path) override;
  bool do_file_id(const std::string& path, FileId& id) override;
  std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first, uint32_t& error) override;
  uint32_t do_drive_type(const std::string& root) override;
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override;
  bool do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) override;
  ProgramRun do_run_program(const std::string& program, const std::string& command_line) override;
  std::string do_current_directory() override;
  bool do_set_current_directory(const std::string& path) override;
  // Asks on the terminal when standard input and standard error are both
  // terminals; answers Cancel otherwise, so a script never hangs.
  int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override;
  // Whether a user can answer on the terminal (standard input and standard
  // error both terminals).
  virtual bool interactive() const;

 private:
  std::string dosdevices_;
};

}  // namespace zk::platform
