// The Win32 implementation of the platform layer: the Windows runtime's
// streams and descriptors and the real kernel, user-interface, GDI and
// automation calls.
#include <windows.h>
#include <oleauto.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/win32/win32_platform.h"

namespace zk::platform {

namespace {

// A runtime stream: the runtime's own text mode does the line-end work.
class Win32Stream final : public Stream {
 public:
  Win32Stream(Platform& owner, std::string path, FILE* f) : Stream(owner, std::move(path)), f_(f) {}
  ~Win32Stream() override {
    if (f_) std::fclose(f_);
  }

 protected:
  bool do_gets(char* buf, int size) override {
    if (std::fgets(buf, size, f_)) return true;
    if (std::ferror(f_)) set_error(errno ? errno : kErrnoIo);
    return false;
  }
  size_t do_read(void* buf, size_t n) override {
    size_t got = std::fread(buf, 1, n, f_);
    if (got < n && std::ferror(f_)) set_error(errno ? errno : kErrnoIo);
    return got;
  }
  size_t do_write(const void* buf, size_t n) override {
    size_t put = std::fwrite(buf, 1, n, f_);
    if (put < n) set_error(errno ? errno : kErrnoIo);
    return put;
  }
  int do_seek(int64_t offset, int origin) override {
    return _fseeki64(f_, offset, origin) == 0 ? 0 : errno;
  }
  int64_t do_tell() override { return _ftelli64(f_); }
  int do_close() override {
    int rc = std::fclose(f_);
    f_ = nullptr;
    return rc == 0 ? 0 : errno;
  }

 private:
  FILE* f_;
};

class Win32Finder final : public Finder {
 public:
  explicit Win32Finder(HANDLE h) : h_(h) {}
  ~Win32Finder() override { FindClose(h_); }
  bool next(FindEntry& out, uint32_t& error) override {
    WIN32_FIND_DATAA d;
    if (!FindNextFileA(h_, &d)) {
      error = GetLastError();
      return false;
    }
    fill(d, out);
    error = 0;
    return true;
  }
  static void fill(const WIN32_FIND_DATAA& d, FindEntry& out) {
    out.name = d.cFileName;
    out.attributes = d.dwFileAttributes;
    out.size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  }

 private:
  HANDLE h_;
};

}  // namespace

LocalTime Win32Platform::local_time() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  return t;
}

int64_t Win32Platform::time_seconds() { return static_cast<int64_t>(std::time(nullptr)); }

void Win32Platform::sleep_ms(uint32_t ms) { Sleep(ms); }

bool Win32Platform::get_env(const char* name, std::string& value) {
  const char* v = std::getenv(name);
  if (!v) return false;
  value = v;
  return true;
}

WindowHandle Win32Platform::active_window() { return GetActiveWindow(); }

intptr_t Win32Platform::send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  return static_cast<intptr_t>(SendMessageA(static_cast<HWND>(window), msg, wparam, lparam));
}

DeviceContext Win32Platform::get_dc(WindowHandle window) { return GetDC(static_cast<HWND>(window)); }

int Win32Platform::release_dc(WindowHandle window, DeviceContext dc) {
  return ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
}

bool Win32Platform::bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                            int source_x, int source_y, uint32_t rop) {
  return BitBlt(static_cast<HDC>(dest), x, y, width, height, static_cast<HDC>(source), source_x, source_y, rop) !=
         FALSE;
}

StreamPtr Win32Platform::do_fopen(const std::string& path, const char* mode, int& error) {
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) {
    error = errno;
    return nullptr;
  }
  return std::make_unique<Win32Stream>(*this, path, f);
}

int Win32Platform::do_open(const std::string& path, int flags, int perm, int& error) {
  int fd = perm ? _open(path.c_str(), flags, perm) : _open(path.c_str(), flags);
  if (fd < 0) error = errno;
  return fd;
}

int64_t Win32Platform::do_read(int fd, void* buf, size_t n, int& error) {
  int r = _read(fd, buf, static_cast<unsigned>(n));
  if (r < 0) error = errno;
  return r;
}

int64_t Win32Platform::do_write(int fd, const void* buf, size_t n, int& error) {
  int w = _write(fd, buf, static_cast<unsigned>(n));
  if (w < 0) error = errno;
  return w;
}

int64_t Win32Platform::do_lseek(int fd, int64_t offset, int origin, int& error) {
  int64_t r = _lseeki64(fd, offset, origin);
  if (r < 0) error = errno;
  return r;
}

int Win32Platform::do_close(int fd, int& error) {
  int r = _close(fd);
  if (r != 0) error = errno;
  return r;
}

int64_t Win32Platform::do_filelength(int fd, int& error) {
  int64_t r = _filelengthi64(fd);
  if (r < 0) error = errno;
  return r;
}

int Win32Platform::do_remove(const std::string& path, int& error) {
  int r = std::remove(path.c_str());
  if (r != 0) error = errno;
  return r;
}

int Win32Platform::do_replace_file(const std::string& from, const std::string& to, int& error) {
  // Windows refuses to replace a read-only file; Wine replaces it all the
  // same, so the attribute is asked first and both answer alike.
  const DWORD attributes = GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error = kErrnoAccess;
    return -1;
  }
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
  const DWORD e = GetLastError();
  error = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? kErrnoNoEntry : kErrnoAccess;
  return -1;
}

bool Win32Platform::do_delete_file(const std::string& path, uint32_t& error) {
  if (DeleteFileA(path.c_str())) return true;
  error = GetLastError();
  return false;
}

bool Win32Platform::do_exists(const std::string& path) { return _access(path.c_str(), 0) == 0; }

std::unique_ptr<Finder> Win32Platform::do_find_first(const std::string& pattern, FindEntry& first,
                                                     uint32_t& error) {
  WIN32_FIND_DATAA d;
  HANDLE h = FindFirstFileA(pattern.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return nullptr;
  }
  Win32Finder::fill(d, first);
  return std::make_unique<Win32Finder>(h);
}

uint32_t Win32Platform::do_drive_type(const std::string& root) { return GetDriveTypeA(root.c_str()); }

bool Win32Platform::do_volume_label(const std::string& root, std::string& label, uint32_t& error) {
  char name[64] = {};
  char fs[80] = {};
  DWORD serial = 0, max_len = 0, flags = 0;
  if (!GetVolumeInformationA(root.c_str(), name, sizeof name, &serial, &max_len, &flags, fs, sizeof fs)) {
    error = GetLastError();
    return false;
  }
  label = name;
  return true;
}

bool Win32Platform::do_file_id(const std::string& path, FileId& id) {
  // Opened for no access at all, so neither sharing nor a directory stands
  // in the way; the volume serial number and file index name the file.
  HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return false;
  id.device = info.dwVolumeSerialNumber;
  id.file = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool Win32Platform::do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) {
  DWORD sectors = 0, bytes = 0, free_clusters = 0, total_clusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectors, &bytes, &free_clusters, &total_clusters)) {
    error = GetLastError();
    return false;
  }
  out.sectors_per_cluster = sectors;
  out.bytes_per_sector = bytes;
  out.free_clusters = free_clusters;
  out.total_clusters = total_clusters;
  return true;
}

ProgramRun Win32Platform::do_run_program(const std::string& program, const std::string& command_line) {
  ProgramRun run;
  // The program is named by its full path in the current directory, so no
  // search along PATH or in the system directories can find another one.
  const std::string here = do_current_directory();
  const std::string application = here + (here.empty() || here.back() == '\\' ? "" : "\\") + program;
  std::string line = command_line;  // CreateProcessA may write into it
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);
  if (!CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    run.error = GetLastError();
    return run;
  }
  CloseHandle(pi.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(pi.hProcess, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &code)) {
    run.error = GetLastError();
    CloseHandle(pi.hProcess);
    return run;
  }
  CloseHandle(pi.hProcess);
  run.started = true;
  run.exit_code = code;
  return run;
}

std::string Win32Platform::do_current_directory() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n > MAX_PATH) return {};
  return std::string(buf, n);
}

bool Win32Platform::do_set_current_directory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) != 0;
}

int Win32Platform::do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                                  uint32_t style) {
  return MessageBoxA(static_cast<HWND>(owner), text.c_str(), title.c_str(), style);
}

Platform& system_platform() {
  static Win32Platform platform;
  return platform;
}

uint32_t sys_string_byte_len(const char* s) {
  return s ? SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(s))) : 0;
}

}  // namespace zk::platform
