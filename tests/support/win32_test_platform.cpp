// The Windows test platform's drives without a disc and its message boxes.
#include <cctype>

#include "support/test_platform.h"

namespace zk::test {

namespace pf = zk::platform;

bool TestPlatform::on_empty_drive(const std::string& path) const {
  return path.size() >= 2 && path[1] == ':' &&
         empty_drives.count(static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) != 0;
}

// On a drive without a disc each call fails as Windows fails it: the
// runtime's calls with "access denied", the system's with "not ready".
pf::StreamPtr TestPlatform::do_fopen(const std::string& path, const char* mode, int& error) {
  if (on_empty_drive(path)) return error = pf::kErrnoAccess, nullptr;
  return Win32Platform::do_fopen(path, mode, error);
}

int TestPlatform::do_open(const std::string& path, int flags, int perm, int& error) {
  return on_empty_drive(path) ? (error = pf::kErrnoAccess, -1) : Win32Platform::do_open(path, flags, perm, error);
}

int TestPlatform::do_remove(const std::string& path, int& error) {
  return on_empty_drive(path) ? (error = pf::kErrnoAccess, -1) : Win32Platform::do_remove(path, error);
}

bool TestPlatform::do_delete_file(const std::string& path, uint32_t& error) {
  return on_empty_drive(path) ? (error = pf::kErrorNotReady, false) : Win32Platform::do_delete_file(path, error);
}

bool TestPlatform::do_exists(const std::string& path) {
  return !on_empty_drive(path) && Win32Platform::do_exists(path);
}

std::unique_ptr<pf::Finder> TestPlatform::do_find_first(const std::string& pattern, pf::FindEntry& first,
                                                        uint32_t& error) {
  if (on_empty_drive(pattern)) return error = pf::kErrorNotReady, nullptr;
  return Win32Platform::do_find_first(pattern, first, error);
}

uint32_t TestPlatform::do_drive_type(const std::string& root) {
  return on_empty_drive(root) ? pf::kDriveCdrom : Win32Platform::do_drive_type(root);
}

bool TestPlatform::do_volume_label(const std::string& root, std::string& label, uint32_t& error) {
  if (on_empty_drive(root)) return error = pf::kErrorNotReady, false;
  return Win32Platform::do_volume_label(root, label, error);
}

bool TestPlatform::do_disk_free_space(const std::string& root, pf::DiskSpace& out, uint32_t& error) {
  if (auto it = free_space.find(root); it != free_space.end()) return out = it->second, true;
  if (on_empty_drive(root)) return error = pf::kErrorNotReady, false;
  return Win32Platform::do_disk_free_space(root, out, error);
}

bool TestPlatform::do_set_current_directory(const std::string& path) {
  return !on_empty_drive(path) && Win32Platform::do_set_current_directory(path);
}

int TestPlatform::do_message_box(pf::WindowHandle, const std::string&, const std::string&, uint32_t style) {
  return (style & 0x0F) == pf::kMbRetryCancel ? pf::kIdCancel : 1;
}

}  // namespace zk::test
