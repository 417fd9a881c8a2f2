// The parts of the platform layer common to every operating system: the fault
// plan consulted before each operation, the current-platform switch, and the
// front end's length-prefixed strings.
#include "platform/platform.h"

#include <cstring>
#include <new>

namespace zk::platform {

int FaultPlan::check(Op op, const std::string& path) {
  for (auto& r : rules_) {
    if (r.op != op) continue;
    if (!r.path_part.empty() && path.find(r.path_part) == std::string::npos) continue;
    ++r.seen;
    if (r.seen == r.nth || (r.sticky && r.seen > r.nth)) return r.error;
  }
  return 0;
}

// ---- Stream ---------------------------------------------------------------------

bool Stream::gets(char* buf, int size) {
  if (int e = owner_.fault(Op::Read, path_)) {
    error_ = e;
    return false;
  }
  return do_gets(buf, size);
}

size_t Stream::read(void* buf, size_t n) {
  if (int e = owner_.fault(Op::Read, path_)) {
    error_ = e;
    return 0;
  }
  if (int e = owner_.fault(Op::ShortRead, path_)) {
    size_t got = do_read(buf, n / 2);
    error_ = e;
    return got;
  }
  return do_read(buf, n);
}

size_t Stream::write(const void* buf, size_t n) {
  if (int e = owner_.fault(Op::Write, path_)) {
    error_ = e;
    return 0;
  }
  return do_write(buf, n);
}

int Stream::seek(int64_t offset, int origin) {
  if (int e = owner_.fault(Op::Seek, path_)) return e;
  return do_seek(offset, origin);
}

int64_t Stream::tell() { return do_tell(); }

int Stream::close() {
  if (closed_) return 0;
  closed_ = true;
  int rc = do_close();
  if (int e = owner_.fault(Op::Close, path_)) return e;
  return rc;
}

// ---- Platform ---------------------------------------------------------------------

std::string Platform::fd_path(int fd) const {
  auto it = fd_paths_.find(fd);
  return it == fd_paths_.end() ? std::string() : it->second;
}

StreamPtr Platform::fopen(const std::string& path, const char* mode, int& error) {
  error = 0;
  if (int e = fault(Op::Open, path)) {
    error = e;
    return nullptr;
  }
  return do_fopen(path, mode, error);
}

int Platform::open(const std::string& path, int flags, int perm, int& error) {
  error = 0;
  if (int e = fault(Op::Open, path)) {
    error = e;
    return -1;
  }
  int fd = do_open(path, flags, perm, error);
  if (fd >= 0) {
    fd_paths_[fd] = path;
    // A text-mode descriptor (the runtime's default without the binary
    // flag) delivers other bytes than it passes over, and an appending one
    // writes at the end: where they stand is not followed.
    if ((flags & kOpenBinary) != 0 && (flags & (kOpenText | kOpenAppend)) == 0)
      positions_[fd] = 0;
    else
      positions_.erase(fd);
  }
  return fd;
}

void Platform::moved(int fd, int64_t result, bool relative) {
  const auto it = positions_.find(fd);
  if (it == positions_.end()) return;
  if (result < 0)
    it->second = kUnknownPosition;
  else if (!relative)
    it->second = result;
  else if (it->second != kUnknownPosition)
    it->second += result;
}

int64_t Platform::read(int fd, void* buf, size_t n, int& error) {
  error = 0;
  const std::string path = faults_.empty() ? std::string() : fd_path(fd);
  if (int e = fault(Op::Read, path)) {
    error = e;
    return -1;
  }
  if (int e = fault(Op::ShortRead, path)) {
    int64_t got = do_read(fd, buf, n / 2, error);
    moved(fd, got, true);
    if (got >= 0) error = e;
    return got;
  }
  const int64_t got = do_read(fd, buf, n, error);
  moved(fd, got, true);
  return got;
}

int64_t Platform::write(int fd, const void* buf, size_t n, int& error) {
  error = 0;
  if (int e = fault(Op::Write, faults_.empty() ? std::string() : fd_path(fd))) {
    error = e;
    return -1;
  }
  const int64_t put = do_write(fd, buf, n, error);
  moved(fd, put, true);
  return put;
}

int64_t Platform::lseek(int fd, int64_t offset, int origin, int& error) {
  error = 0;
  if (faults_.empty() && origin == kSeekSet && offset >= 0) {
    const auto it = positions_.find(fd);
    if (it != positions_.end() && it->second == offset) return offset;
  }
  if (int e = fault(Op::Seek, faults_.empty() ? std::string() : fd_path(fd))) {
    error = e;
    return -1;
  }
  const int64_t at = do_lseek(fd, offset, origin, error);
  moved(fd, at, false);
  return at;
}

int Platform::close(int fd, int& error) {
  error = 0;
  const std::string path = fd_path(fd);
  int rc = do_close(fd, error);
  positions_.erase(fd);
  if (rc == 0) fd_paths_.erase(fd);
  if (int e = fault(Op::Close, path)) {
    // The descriptor is released all the same, as a failed close does.
    fd_paths_.erase(fd);
    error = e;
    return -1;
  }
  return rc;
}

int64_t Platform::filelength(int fd, int& error) {
  error = 0;
  if (int e = fault(Op::Length, faults_.empty() ? std::string() : fd_path(fd))) {
    error = e;
    return -1;
  }
  return do_filelength(fd, error);
}

int Platform::remove(const std::string& path, int& error) {
  error = 0;
  if (int e = fault(Op::Delete, path)) {
    error = e;
    return -1;
  }
  return do_remove(path, error);
}

int Platform::replace_file(const std::string& from, const std::string& to, int& error) {
  error = 0;
  if (int e = fault(Op::Rename, to)) {
    error = e;
    return -1;
  }
  return do_replace_file(from, to, error);
}

bool Platform::delete_file(const std::string& path, uint32_t& error) {
  error = 0;
  if (int e = fault(Op::Delete, path)) {
    error = static_cast<uint32_t>(e);
    return false;
  }
  return do_delete_file(path, error);
}

bool Platform::exists(const std::string& path) { return do_exists(path); }

namespace {
// Wraps a listing so that a fault rule can end it with an error.
class FaultyFinder final : public Finder {
 public:
  FaultyFinder(Platform& owner, std::string pattern, std::unique_ptr<Finder> inner)
      : owner_(owner), pattern_(std::move(pattern)), inner_(std::move(inner)) {}
  bool next(FindEntry& out, uint32_t& error) override {
    if (int e = owner_.fault(Op::List, pattern_)) {
      error = static_cast<uint32_t>(e);
      return false;
    }
    return inner_->next(out, error);
  }

 private:
  Platform& owner_;
  std::string pattern_;
  std::unique_ptr<Finder> inner_;
};
}  // namespace

std::unique_ptr<Finder> Platform::find_first(const std::string& pattern, FindEntry& first, uint32_t& error) {
  error = 0;
  if (int e = fault(Op::Open, pattern)) {
    error = static_cast<uint32_t>(e);
    return nullptr;
  }
  auto f = do_find_first(pattern, first, error);
  if (!f || faults_.empty()) return f;
  return std::make_unique<FaultyFinder>(*this, pattern, std::move(f));
}

bool Platform::volume_label(const std::string& root, std::string& label, uint32_t& error) {
  error = 0;
  if (int e = fault(Op::Volume, root)) {
    error = static_cast<uint32_t>(e);
    return false;
  }
  return do_volume_label(root, label, error);
}

bool Platform::disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) {
  error = 0;
  out = DiskSpace();
  if (int e = fault(Op::DiskSpace, root)) {
    error = static_cast<uint32_t>(e);
    return false;
  }
  return do_disk_free_space(root, out, error);
}

ProgramRun Platform::run_program(const std::string& program, const std::string& command_line) {
  if (int e = fault(Op::Start, program)) {
    ProgramRun run;
    run.error = static_cast<uint32_t>(e);
    return run;
  }
  return do_run_program(program, command_line);
}

bool Platform::allocate(size_t n, HeapBlock& block) {
  if (fault(Op::Alloc, std::string())) {
    block = HeapBlock();
    return false;
  }
  try {
    block = HeapBlock(n);
  } catch (const std::bad_alloc&) {
    block = HeapBlock();
    return false;
  } catch (const std::length_error&) {
    block = HeapBlock();
    return false;
  }
  return true;
}

int Platform::message_box(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style) {
  if (answerer_) return answerer_(text, title, style);
  return do_message_box(owner, text, title, style);
}

// ---- current platform ------------------------------------------------------------

namespace {
Platform* g_installed = nullptr;
}

Platform& current() { return g_installed ? *g_installed : system_platform(); }

void install(Platform* p) { g_installed = p; }

// ---- front-end strings -------------------------------------------------------------

std::string front_end_text(const char* s) {
  if (s == nullptr) return {};
  return std::string(s, strnlen(s, sys_string_byte_len(s)));
}

FrontEndString::FrontEndString(uint32_t byte_len, char fill) : storage_(byte_len + 6u, 0), len_(byte_len) {
  std::memcpy(storage_.data(), &len_, 4);
  std::memset(storage_.data() + 4, fill, byte_len);
}

FrontEndString::FrontEndString(const std::string& text)
    : storage_(text.size() + 6u, 0), len_(static_cast<uint32_t>(text.size())) {
  std::memcpy(storage_.data(), &len_, 4);
  std::memcpy(storage_.data() + 4, text.data(), text.size());
}

}  // namespace zk::platform
