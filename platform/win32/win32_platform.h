// The Win32 implementation of the platform layer: the Windows runtime's
// streams and descriptors and the real kernel, user-interface, GDI and
// automation calls. Declared here so tests can derive from it to replace the
// clock or the sleep, as they do with the POSIX platform.
#pragma once

#include <string>

#include "platform/platform.h"

namespace zk::platform {

class Win32Platform : public Platform {
 public:
  LocalTime local_time() override;
  int64_t time_seconds() override;
  void sleep_ms(uint32_t ms) override;
  bool get_env(const char* name, std::string& value) override;
  WindowHandle active_window() override;
  intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
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
  int do_replace_file(const std::string& from, const std::string& to, int& error) override;
  bool do_delete_file(const std::string& path, uint32_t& error) override;
  bool do_exists(const std::string& path) override;
  bool do_file_id(const std::string& path, FileId& id) override;
  std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first, uint32_t& error) override;
  uint32_t do_drive_type(const std::string& root) override;
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override;
  bool do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) override;
  // CreateProcessA of the program in the current directory, then a wait
  // without limit for its end and GetExitCodeProcess.
  ProgramRun do_run_program(const std::string& program, const std::string& command_line) override;
  std::string do_current_directory() override;
  bool do_set_current_directory(const std::string& path) override;
  int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override;
};

}  // namespace zk::platform
