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

#include "platform/platform.h"

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

class Win32Platform final : public Platform {
 public:
  LocalTime local_time() override {
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
  int64_t time_seconds() override { return static_cast<int64_t>(std::time(nullptr)); }
  void sleep_ms(uint32_t ms) override { Sleep(ms); }
  bool get_env(const char* name, std::string& value) override {
    const char* v = std::getenv(name);
    if (!v) return false;
    value = v;
    return true;
  }
  WindowHandle active_window() override { return GetActiveWindow(); }
  intptr_t send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override {
    return static_cast<intptr_t>(SendMessageA(static_cast<HWND>(window), msg, wparam, lparam));
  }
  DeviceContext get_dc(WindowHandle window) override { return GetDC(static_cast<HWND>(window)); }
  int release_dc(WindowHandle window, DeviceContext dc) override {
    return ReleaseDC(static_cast<HWND>(window), static_cast<HDC>(dc));
  }
  bool bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int source_x,
               int source_y, uint32_t rop) override {
    return BitBlt(static_cast<HDC>(dest), x, y, width, height, static_cast<HDC>(source), source_x, source_y,
                  rop) != FALSE;
  }

 protected:
  StreamPtr do_fopen(const std::string& path, const char* mode, int& error) override {
    FILE* f = std::fopen(path.c_str(), mode);
    if (!f) {
      error = errno;
      return nullptr;
    }
    return std::make_unique<Win32Stream>(*this, path, f);
  }
  int do_open(const std::string& path, int flags, int perm, int& error) override {
    int fd = perm ? _open(path.c_str(), flags, perm) : _open(path.c_str(), flags);
    if (fd < 0) error = errno;
    return fd;
  }
  int64_t do_read(int fd, void* buf, size_t n, int& error) override {
    int r = _read(fd, buf, static_cast<unsigned>(n));
    if (r < 0) error = errno;
    return r;
  }
  int64_t do_write(int fd, const void* buf, size_t n, int& error) override {
    int w = _write(fd, buf, static_cast<unsigned>(n));
    if (w < 0) error = errno;
    return w;
  }
  int64_t do_lseek(int fd, int64_t offset, int origin, int& error) override {
    int64_t r = _lseeki64(fd, offset, origin);
    if (r < 0) error = errno;
    return r;
  }
  int do_close(int fd, int& error) override {
    int r = _close(fd);
    if (r != 0) error = errno;
    return r;
  }
  int64_t do_filelength(int fd, int& error) override {
    int64_t r = _filelengthi64(fd);
    if (r < 0) error = errno;
    return r;
  }
  int do_remove(const std::string& path, int& error) override {
    int r = std::remove(path.c_str());
    if (r != 0) error = errno;
    return r;
  }
  bool do_delete_file(const std::string& path, uint32_t& error) override {
    if (DeleteFileA(path.c_str())) return true;
    error = GetLastError();
    return false;
  }
  bool do_exists(const std::string& path) override { return _access(path.c_str(), 0) == 0; }
  bool do_file_id(const std::string& path, FileId& id) override {
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
  std::unique_ptr<Finder> do_find_first(const std::string& pattern, FindEntry& first, uint32_t& error) override {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA(pattern.c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) {
      error = GetLastError();
      return nullptr;
    }
    Win32Finder::fill(d, first);
    return std::make_unique<Win32Finder>(h);
  }
  uint32_t do_drive_type(const std::string& root) override { return GetDriveTypeA(root.c_str()); }
  bool do_volume_label(const std::string& root, std::string& label, uint32_t& error) override {
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
  std::string do_current_directory() override {
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH) return {};
    return std::string(buf, n);
  }
  bool do_set_current_directory(const std::string& path) override {
    return SetCurrentDirectoryA(path.c_str()) != 0;
  }
  int do_message_box(WindowHandle owner, const std::string& text, const std::string& title,
                     uint32_t style) override {
    return MessageBoxA(static_cast<HWND>(owner), text.c_str(), title.c_str(), style);
  }
};

}  // namespace

Platform& system_platform() {
  static Win32Platform platform;
  return platform;
}

uint32_t sys_string_byte_len(const char* s) {
  return s ? SysStringByteLen(reinterpret_cast<BSTR>(const_cast<char*>(s))) : 0;
}

}  // namespace zk::platform
