// Wine's mount manager, as its configuration program drives it: one control
// request defines or removes a drive letter.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/wine_drives.h"

namespace zk::test::wine {

namespace {

// The request of Wine's mount manager that defines a drive from a host
// directory ("unix drive"): the record below, followed by the directory's
// host path (mount point) and optionally a device path, each NUL-ended and
// found by its offset from the record's start; a mount-point offset of 0
// removes the letter.
struct UnixDrive {
  ULONG size;           // the whole request, strings included
  ULONG type;           // DRIVE_FIXED, DRIVE_CDROM ...
  ULONG fs_type;
  DWORD serial;
  ULONGLONG unix_dev;
  WCHAR letter;         // 'a' to 'z'
  USHORT mount_point_offset;
  USHORT device_offset;
  USHORT label_offset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool send(char letter, const std::string& host_dir, std::string& why) {
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) {
    why = "no mount manager (error " + std::to_string(GetLastError()) + "): the Windows tests need Wine";
    return false;
  }
  std::vector<char> request(sizeof(UnixDrive) + host_dir.size() + 1, '\0');
  UnixDrive drive{};
  drive.size = static_cast<ULONG>(request.size());
  drive.type = DRIVE_FIXED;
  drive.letter = static_cast<WCHAR>(std::tolower(static_cast<unsigned char>(letter)));
  if (!host_dir.empty()) {
    drive.mount_point_offset = sizeof(UnixDrive);
    std::memcpy(request.data() + sizeof(UnixDrive), host_dir.c_str(), host_dir.size() + 1);
  }
  std::memcpy(request.data(), &drive, sizeof drive);
  const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                  nullptr, 0, nullptr, nullptr);
  if (!ok) why = "the mount manager refused drive " + std::string(1, letter) + ": error " + std::to_string(GetLastError());
  CloseHandle(manager);
  return ok != FALSE;
}

// The host path of a directory of this process (Wine's own conversion).
std::string host_path_of(const std::filesystem::path& dir) {
  using Convert = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Convert>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  char* host = convert(std::filesystem::absolute(dir).wstring().c_str());
  if (!host) return {};
  std::string out = host;
  HeapFree(GetProcessHeap(), 0, host);
  return out;
}

}  // namespace

void define_drive(char letter, const std::filesystem::path& root) {
  const std::string host = host_path_of(root);
  if (host.empty()) {
    ADD_FAILURE() << "no host path for " << root << ": the Windows tests need Wine";
    return;
  }
  std::string why;
  if (!send(letter, host, why)) ADD_FAILURE() << why;
}

void remove_drive(char letter) {
  std::string why;
  if (!send(letter, std::string(), why)) ADD_FAILURE() << why;
  // Wine keeps the letter's device name after the mount manager removed the
  // link (its volume then answers with an empty label); removing the name
  // too makes the letter no drive at all.
  const char name[3] = {static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':', '\0'};
  DefineDosDeviceA(DDD_REMOVE_DEFINITION, name, nullptr);
}

}  // namespace zk::test::wine
