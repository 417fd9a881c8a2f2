// The POSIX platform: Windows paths mapped through a Wine-style dosdevices
// directory, the Windows runtime's text mode, DOS patterns and attributes in
// directory listings, volume labels from ".windows-label", drives holding
// ISO 9660 disc images, a terminal message box and in-process list boxes.
#include "platform/posix/posix_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>

#include "platform/list_box.h"
#include "platform/raster.h"

namespace zk::platform {

namespace {

bool is_sep(char c) { return is_path_separator(c); }
std::vector<std::string> split_components(const std::string& s) { return split_path_components(s); }

// Finds `name` inside host directory `dir`: exact first, then without regard
// to case. Empty when there is no such entry.
std::string match_entry(const std::string& dir, const std::string& name) {
  std::string exact = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
  struct stat st;
  if (::lstat(exact.c_str(), &st) == 0) return name;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Appends components to a host base directory, matching case where entries
// exist; once a component is missing, the rest is kept as written.
std::string walk(std::string base, const std::vector<std::string>& parts) {
  bool matching = true;
  for (const auto& part : parts) {
    if (part == "." ) {
      if (base.empty()) base = ".";
      continue;
    }
    if (part == "..") {
      base = join(base, "..");
      continue;
    }
    std::string actual = part;
    if (matching) {
      std::string m = match_entry(base, part);
      if (m.empty())
        matching = false;
      else
        actual = m;
    }
    base = join(base, actual);
  }
  return base;
}

int host_errno() { return errno; }

// A file without the owner's write permission carries the read-only
// attribute, which Windows honours when deleting: such a file stays.
bool read_only_file(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
}

// Reads of a file inside a disc image: its extent, from the read position
// `pos` on, never past the file's length (a read past the image's end is
// short). The count read, or -1 with the errno.
int64_t read_extent(int image_fd, uint64_t offset, uint32_t size, int64_t& pos, void* buf, size_t n, int& error) {
  if (pos < 0 || static_cast<uint64_t>(pos) >= size) return 0;
  const size_t want = static_cast<size_t>(std::min<uint64_t>(n, size - static_cast<uint64_t>(pos)));
  size_t got = 0;
  auto* p = static_cast<char*>(buf);
  while (got < want) {
    const ssize_t r = ::pread(image_fd, p + got, want - got, static_cast<off_t>(offset + static_cast<uint64_t>(pos) + got));
    if (r < 0) {
      if (errno == EINTR) continue;
      error = errno;
      if (got == 0) return -1;
      break;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  pos += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

// A new read position from a seek within a file of `size` bytes; -1 for a
// position before the start.
int64_t seek_extent(int64_t pos, uint32_t size, int64_t offset, int origin) {
  const int64_t base = origin == kSeekCur ? pos : origin == kSeekEnd ? static_cast<int64_t>(size) : 0;
  if ((offset < 0 && base + offset < 0)) return -1;
  return base + offset;
}

// A stdio stream over a file inside a disc image (fopencookie), so the
// runtime stream, its text mode included, works on it unchanged.
struct ExtentCookie {
  int fd = -1;
  uint64_t offset = 0;
  uint32_t size = 0;
  int64_t pos = 0;
};

ssize_t cookie_read(void* c, char* buf, size_t n) {
  auto* x = static_cast<ExtentCookie*>(c);
  int error = 0;
  const int64_t got = read_extent(x->fd, x->offset, x->size, x->pos, buf, n, error);
  if (got < 0) errno = error;
  return static_cast<ssize_t>(got);
}

ssize_t cookie_write(void*, const char*, size_t) {
  errno = EBADF;
  return -1;
}

int cookie_seek(void* c, off64_t* where, int whence) {
  auto* x = static_cast<ExtentCookie*>(c);
  const int origin = whence == SEEK_CUR ? kSeekCur : whence == SEEK_END ? kSeekEnd : kSeekSet;
  const int64_t pos = seek_extent(x->pos, x->size, static_cast<int64_t>(*where), origin);
  if (pos < 0) {
    errno = EINVAL;
    return -1;
  }
  x->pos = pos;
  *where = static_cast<off64_t>(pos);
  return 0;
}

int cookie_close(void* c) {
  std::unique_ptr<ExtentCookie> owned(static_cast<ExtentCookie*>(c));
  return ::close(owned->fd);
}

// Whether an fopen mode asks to write (which a disc refuses).
bool writing_mode(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }

// A runtime stream over stdio, with the Windows runtime's text mode: CR LF
// reads as LF, a Ctrl-Z ends the input (until the next seek), and LF is
// written as CR LF.
class PosixStream final : public Stream {
 public:
  PosixStream(Platform& owner, std::string path, FILE* f, bool text)
      : Stream(owner, std::move(path)), f_(f), text_(text) {}
  ~PosixStream() override {
    if (f_) std::fclose(f_);
  }

 protected:
  bool do_gets(char* buf, int size) override {
    if (size <= 0) return false;
    int i = 0;
    while (i < size - 1) {
      const int c = next_char();
      if (c == EOF) break;
      buf[i++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    buf[i] = '\0';
    if (std::ferror(f_)) set_error(host_errno() ? host_errno() : kErrnoIo);
    return i > 0 && !std::ferror(f_);
  }
  size_t do_read(void* buf, size_t n) override {
    if (!text_) {
      size_t got = std::fread(buf, 1, n, f_);
      if (got < n && std::ferror(f_)) set_error(host_errno() ? host_errno() : kErrnoIo);
      return got;
    }
    auto* out = static_cast<char*>(buf);
    size_t got = 0;
    while (got < n) {
      const int c = next_char();
      if (c == EOF) break;
      out[got++] = static_cast<char>(c);
    }
    if (std::ferror(f_)) set_error(host_errno() ? host_errno() : kErrnoIo);
    return got;
  }
  size_t do_write(const void* buf, size_t n) override {
    const auto* in = static_cast<const char*>(buf);
    if (!text_) {
      size_t put = std::fwrite(in, 1, n, f_);
      if (put < n) set_error(host_errno() ? host_errno() : kErrnoIo);
      return put;
    }
    for (size_t i = 0; i < n; ++i) {
      if ((in[i] == '\n' && std::fputc('\r', f_) == EOF) || std::fputc(in[i], f_) == EOF) {
        set_error(host_errno() ? host_errno() : kErrnoIo);
        return i;
      }
    }
    return n;
  }
  int do_seek(int64_t offset, int origin) override {
    int whence = origin == kSeekCur ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
    if (::fseeko(f_, static_cast<off_t>(offset), whence) != 0) return host_errno();
    ended_ = false;
    return 0;
  }
  int64_t do_tell() override { return static_cast<int64_t>(::ftello(f_)); }
  int do_close() override {
    int rc = std::fclose(f_);
    f_ = nullptr;
    return rc == 0 ? 0 : host_errno();
  }

 private:
  static constexpr int kCtrlZ = 0x1A;

  // The next character as the text mode delivers it (every byte in binary
  // mode); EOF at the end, on an error or past a Ctrl-Z.
  int next_char() {
    if (ended_) return EOF;
    int c = std::getc(f_);
    if (!text_ || c == EOF) return c;
    if (c == kCtrlZ) {
      // The runtime leaves the Ctrl-Z unread and answers end of file.
      std::ungetc(c, f_);
      ended_ = true;
      return EOF;
    }
    if (c == '\r') {
      int d = std::getc(f_);
      if (d == '\n') return '\n';
      if (d != EOF) std::ungetc(d, f_);
    }
    return c;
  }

  FILE* f_;
  bool text_;
  bool ended_ = false;
};

// A listing of the entries found: file not found when there are none;
// otherwise in a stable order, "." and ".." first, then by name without
// regard to case, as an NTFS directory lists them.
std::unique_ptr<Finder> listing(std::vector<FindEntry> entries, FindEntry& first, uint32_t& error) {
  if (entries.empty()) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  std::sort(entries.begin(), entries.end(), [](const FindEntry& a, const FindEntry& b) {
    int c = ::strcasecmp(a.name.c_str(), b.name.c_str());
    return c != 0 ? c < 0 : a.name < b.name;
  });
  first = entries.front();
  return std::make_unique<ListedFinder>(std::move(entries));
}

}  // namespace

PosixPlatform::PosixPlatform(std::string dosdevices) : dosdevices_(std::move(dosdevices)) {}

std::string PosixPlatform::dosdevices_dir() const {
  if (!dosdevices_.empty()) return dosdevices_;
  if (const char* d = std::getenv("ZKALL_DOSDEVICES"); d && *d) return d;
  if (const char* w = std::getenv("WINEPREFIX"); w && *w) return std::string(w) + "/dosdevices";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.wine/dosdevices";
}

HostPath PosixPlatform::resolve(const std::string& path) const {
  HostPath out;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    std::string link = dosdevices_dir() + "/" +
                       static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))) + ":";
    struct stat st;
    if (::lstat(link.c_str(), &st) != 0) {
      out.error = kErrorPathNotFound;
      return out;
    }
    auto parts = split_components(path.substr(2));
    if (::stat(link.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      // A disc image in the drive: the library's path stays a path inside it.
      out.on_image = true;
      out.drive_root = parts.empty();
      out.path = link;
      out.image_parts = std::move(parts);
      return out;
    }
    if (::stat(link.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      out.error = kErrorNotReady;
      return out;
    }
    out.drive_root = parts.empty();
    out.path = walk(link, parts);
    return out;
  }
  if (!path.empty() && is_sep(path[0])) {
    out.path = walk("/", split_components(path));
    return out;
  }
  out.path = walk("", split_components(path));
  if (out.path.empty()) out.path = ".";
  return out;
}

StreamPtr PosixPlatform::do_fopen(const std::string& path, const char* mode, int& error) {
  HostPath hp = resolve(path);
  if (hp.error) {
    error = hp.error == kErrorNotReady ? kErrnoAccess : kErrnoNoEntry;
    return nullptr;
  }
  if (hp.on_image) {
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    if (writing_mode(mode) || !image_node(hp, volume, node) || (node && node->directory)) {
      error = kErrnoAccess;
      return nullptr;
    }
    if (!node) {
      error = kErrnoNoEntry;
      return nullptr;
    }
    auto cookie = std::make_unique<ExtentCookie>();
    cookie->fd = ::open(hp.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (cookie->fd < 0) {
      error = errno;
      return nullptr;
    }
    cookie->offset = node->offset;
    cookie->size = node->size;
    FILE* f = ::fopencookie(cookie.get(), "rb", {cookie_read, cookie_write, cookie_seek, cookie_close});
    if (!f) {
      error = kErrnoNoMemory;
      ::close(cookie->fd);
      return nullptr;
    }
    cookie.release();  // the stream owns it now: cookie_close frees it
    return std::make_unique<PosixStream>(*this, path, f, std::strchr(mode, 'b') == nullptr);
  }
  std::string m;
  bool text = true;
  for (const char* p = mode; *p; ++p) {
    if (*p == 't') continue;
    if (*p == 'b') text = false;
    m += *p;
  }
  if (m.find('b') == std::string::npos) m += 'b';
  m += 'e';  // close on exec
  FILE* f = std::fopen(hp.path.c_str(), m.c_str());
  if (!f) {
    error = errno;
    return nullptr;
  }
  struct stat st;
  if (::fstat(::fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    error = kErrnoAccess;
    return nullptr;
  }
  return std::make_unique<PosixStream>(*this, path, f, text);
}

int PosixPlatform::do_open(const std::string& path, int flags, int perm, int& error) {
  HostPath hp = resolve(path);
  if (hp.error) {
    error = hp.error == kErrorNotReady ? kErrnoAccess : kErrnoNoEntry;
    return -1;
  }
  if (hp.on_image) {
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    const bool writing = (flags & 3) != kOpenReadOnly || (flags & (kOpenCreate | kOpenTruncate | kOpenAppend));
    if (writing || !image_node(hp, volume, node) || (node && node->directory)) {
      error = kErrnoAccess;
      return -1;
    }
    if (!node) {
      error = kErrnoNoEntry;
      return -1;
    }
    const int fd = ::open(hp.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      error = errno;
      return -1;
    }
    image_fds_[fd] = ImageFile{node->offset, node->size, 0};
    return fd;
  }
  int f = O_CLOEXEC;
  switch (flags & 3) {
    case kOpenWriteOnly: f |= O_WRONLY; break;
    case kOpenReadWrite: f |= O_RDWR; break;
    default: f |= O_RDONLY; break;
  }
  if (flags & kOpenCreate) f |= O_CREAT;
  if (flags & kOpenTruncate) f |= O_TRUNC;
  if (flags & kOpenExclusive) f |= O_EXCL;
  if (flags & kOpenAppend) f |= O_APPEND;
  mode_t mode = (perm & kPermWrite) ? 0666 : 0444;
  int fd = ::open(hp.path.c_str(), f, mode);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = kErrnoAccess;
    return -1;
  }
  return fd;
}

int64_t PosixPlatform::do_read(int fd, void* buf, size_t n, int& error) {
  if (auto it = image_fds_.find(fd); it != image_fds_.end())
    return read_extent(fd, it->second.offset, it->second.size, it->second.pos, buf, n, error);
  size_t got = 0;
  auto* p = static_cast<char*>(buf);
  while (got < n) {
    ssize_t r = ::read(fd, p + got, n - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return got ? static_cast<int64_t>(got) : -1;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<int64_t>(got);
}

int64_t PosixPlatform::do_write(int fd, const void* buf, size_t n, int& error) {
  if (image_fds_.count(fd)) {
    error = kErrnoBadFile;  // opened read-only, as every file of a disc is
    return -1;
  }
  size_t put = 0;
  auto* p = static_cast<const char*>(buf);
  while (put < n) {
    ssize_t w = ::write(fd, p + put, n - put);
    if (w < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return put ? static_cast<int64_t>(put) : -1;
    }
    put += static_cast<size_t>(w);
  }
  return static_cast<int64_t>(put);
}

int64_t PosixPlatform::do_lseek(int fd, int64_t offset, int origin, int& error) {
  if (auto it = image_fds_.find(fd); it != image_fds_.end()) {
    const int64_t pos = seek_extent(it->second.pos, it->second.size, offset, origin);
    if (pos < 0) {
      error = kErrnoInvalid;
      return -1;
    }
    return it->second.pos = pos;
  }
  int whence = origin == kSeekCur ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
  off_t r = ::lseek(fd, static_cast<off_t>(offset), whence);
  if (r < 0) {
    error = errno;
    return -1;
  }
  return static_cast<int64_t>(r);
}

int PosixPlatform::do_close(int fd, int& error) {
  image_fds_.erase(fd);
  if (::close(fd) != 0) {
    error = errno;
    return -1;
  }
  return 0;
}

int64_t PosixPlatform::do_filelength(int fd, int& error) {
  if (auto it = image_fds_.find(fd); it != image_fds_.end()) return it->second.size;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    error = errno;
    return -1;
  }
  return static_cast<int64_t>(st.st_size);
}

int PosixPlatform::do_replace_file(const std::string& from, const std::string& to, int& error) {
  HostPath source = resolve(from);
  HostPath target = resolve(to);
  if (source.error || target.error) {
    error = kErrnoNoEntry;
    return -1;
  }
  // A disc image is read only, as a CD is.
  if (source.on_image || target.on_image) {
    error = kErrnoAccess;
    return -1;
  }
  // Windows refuses to replace a read-only file.
  if (read_only_file(target.path)) {
    error = kErrnoAccess;
    return -1;
  }
  if (std::rename(source.path.c_str(), target.path.c_str()) != 0) {
    error = errno;
    return -1;
  }
  return 0;
}

int PosixPlatform::do_remove(const std::string& path, int& error) {
  HostPath hp = resolve(path);
  if (hp.error) {
    error = kErrnoNoEntry;
    return -1;
  }
  if (hp.on_image) {
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    error = image_node(hp, volume, node) && !node ? kErrnoNoEntry : kErrnoAccess;
    return -1;
  }
  if (read_only_file(hp.path)) {
    error = kErrnoAccess;
    return -1;
  }
  if (std::remove(hp.path.c_str()) != 0) {
    error = errno;
    return -1;
  }
  return 0;
}

bool PosixPlatform::do_delete_file(const std::string& path, uint32_t& error) {
  HostPath hp = resolve(path);
  if (hp.error) {
    error = hp.error;
    return false;
  }
  if (hp.on_image) {
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    if (!image_node(hp, volume, node))
      error = kErrorNotReady;
    else
      error = node ? kErrorAccessDenied : kErrorFileNotFound;
    return false;
  }
  struct stat st;
  if (::lstat(hp.path.c_str(), &st) != 0) {
    error = errno == ENOENT ? kErrorFileNotFound : kErrorPathNotFound;
    return false;
  }
  if (S_ISDIR(st.st_mode) || read_only_file(hp.path) || ::unlink(hp.path.c_str()) != 0) {
    error = kErrorAccessDenied;
    return false;
  }
  return true;
}

bool PosixPlatform::do_exists(const std::string& path) {
  HostPath hp = resolve(path);
  if (hp.error) return false;
  if (hp.on_image) {
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    return image_node(hp, volume, node) && node != nullptr;
  }
  return ::access(hp.path.c_str(), F_OK) == 0;
}

bool PosixPlatform::do_file_id(const std::string& path, FileId& id) {
  HostPath hp = resolve(path);
  if (!hp.error && hp.on_image) {
    // A file of an image: the image's identity (complemented, so it never
    // equals a host file's) and where its data lies.
    std::shared_ptr<const ImageVolume> volume;
    const iso::Node* node = nullptr;
    if (!image_node(hp, volume, node) || !node) return false;
    id.device = ~volume->device;
    id.file = (volume->inode << 32) ^ (node->offset / iso::kSectorSize);
    return true;
  }
  struct stat st;
  if (hp.error || ::stat(hp.path.c_str(), &st) != 0) return false;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.file = static_cast<uint64_t>(st.st_ino);
  return true;
}

std::unique_ptr<Finder> PosixPlatform::do_find_first(const std::string& pattern, FindEntry& first,
                                                     uint32_t& error) {
  // Split the pattern into its directory and its last component.
  size_t cut = pattern.find_last_of("\\/");
  std::string dir_part, name_part;
  if (cut == std::string::npos) {
    if (pattern.size() >= 2 && pattern[1] == ':') {
      dir_part = pattern.substr(0, 2) + "\\";
      name_part = pattern.substr(2);
    } else {
      name_part = pattern;
    }
  } else {
    dir_part = pattern.substr(0, cut + 1);
    name_part = pattern.substr(cut + 1);
  }
  HostPath hp = resolve(dir_part.empty() ? std::string(".") : dir_part);
  if (hp.error) {
    error = hp.error;
    return nullptr;
  }
  if (hp.on_image) return image_find_first(hp, name_part, first, error);
  DIR* d = ::opendir(hp.path.c_str());
  if (!d) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  const bool is_root = hp.drive_root || hp.path == "/";
  std::vector<FindEntry> entries;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (is_root && (name == "." || name == "..")) continue;
    if (!dos_pattern_match(name_part, name)) continue;
    FindEntry fe;
    fe.name = name;
    struct stat st;
    std::string full = join(hp.path, name);
    if (::stat(full.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) {
        fe.attributes = kAttrDirectory;
      } else {
        fe.attributes = kAttrArchive;
        fe.size = static_cast<uint64_t>(st.st_size);
      }
      if (!(st.st_mode & S_IWUSR)) fe.attributes |= kAttrReadOnly;
    } else {
      fe.attributes = kAttrArchive;
    }
    if (name[0] == '.' && name != "." && name != "..") fe.attributes |= kAttrHidden;
    entries.push_back(std::move(fe));
  }
  ::closedir(d);
  return listing(std::move(entries), first, error);
}

std::shared_ptr<const PosixPlatform::ImageVolume> PosixPlatform::image_volume(const std::string& image) const {
  struct stat st;
  if (::stat(image.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  const int64_t mtime_ns = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  auto& cached = images_[image];
  if (cached && cached->device == st.st_dev && cached->inode == st.st_ino &&
      cached->size == static_cast<uint64_t>(st.st_size) && cached->mtime_ns == mtime_ns)
    return cached->volume->ok() ? cached : nullptr;
  // A few images at most are in drives at a time; forget the others.
  constexpr size_t kImagesKept = 32;
  if (images_.size() > kImagesKept) {
    images_.clear();
    return image_volume(image);
  }
  auto fresh = std::make_shared<ImageVolume>();
  fresh->device = st.st_dev;
  fresh->inode = st.st_ino;
  fresh->size = static_cast<uint64_t>(st.st_size);
  fresh->mtime_ns = mtime_ns;
  const int fd = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;  // not kept: the next look tries again
  const iso::ReadAt read_at = [fd](uint64_t offset, void* buf, size_t n) {
    int64_t pos = 0;
    int error = 0;
    const int64_t got = read_extent(fd, offset, static_cast<uint32_t>(n), pos, buf, n, error);
    return got < 0 ? size_t{0} : static_cast<size_t>(got);
  };
  fresh->volume = std::make_shared<const iso::Volume>(iso::Volume::read(read_at, fresh->size));
  ::close(fd);
  cached = fresh;
  return cached->volume->ok() ? cached : nullptr;
}

bool PosixPlatform::image_node(const HostPath& hp, std::shared_ptr<const ImageVolume>& volume,
                               const iso::Node*& node) const {
  volume = image_volume(hp.path);
  node = volume ? volume->volume->find(hp.image_parts) : nullptr;
  return volume != nullptr;
}

std::unique_ptr<Finder> PosixPlatform::image_find_first(const HostPath& dir, const std::string& pattern,
                                                        FindEntry& first, uint32_t& error) {
  std::shared_ptr<const ImageVolume> volume;
  const iso::Node* node = nullptr;
  if (!image_node(dir, volume, node)) {
    error = kErrorNotReady;
    return nullptr;
  }
  if (!node || !node->directory) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  std::vector<FindEntry> entries;
  if (node != &volume->volume->root()) {
    for (const char* dots : {".", ".."})
      if (dos_pattern_match(pattern, dots)) entries.push_back({dots, kAttrDirectory, 0});
  }
  for (uint32_t k : node->children) {
    const iso::Node& child = volume->volume->node(k);
    if (!dos_pattern_match(pattern, child.name)) continue;
    FindEntry e;
    e.name = child.name;
    e.attributes = (child.directory ? kAttrDirectory : kAttrReadOnly) | (child.hidden ? kAttrHidden : 0);
    e.size = child.directory ? 0 : child.size;
    entries.push_back(std::move(e));
  }
  return listing(std::move(entries), first, error);
}

uint32_t PosixPlatform::do_drive_type(const std::string& root) {
  if (root.size() < 2 || root[1] != ':' || !std::isalpha(static_cast<unsigned char>(root[0])))
    return kDriveNoRootDir;
  HostPath hp = resolve(root.substr(0, 2) + "\\");
  if (hp.error == kErrorPathNotFound) return kDriveNoRootDir;
  if (hp.error == kErrorNotReady || hp.on_image) return kDriveCdrom;
  return kDriveFixed;
}

bool PosixPlatform::do_volume_label(const std::string& root, std::string& label, uint32_t& error) {
  label.clear();
  if (root.size() < 2 || root[1] != ':') {
    error = kErrorBadPathName;
    return false;
  }
  HostPath hp = resolve(root.substr(0, 2) + "\\");
  if (hp.error) {
    error = hp.error;
    return false;
  }
  if (hp.on_image) {
    // What Windows reports for a CD: the volume identifier.
    const auto volume = image_volume(hp.path);
    if (!volume) {
      error = kErrorNotReady;
      return false;
    }
    label = volume->volume->label();
    return true;
  }
  FILE* f = std::fopen(join(hp.path, ".windows-label").c_str(), "rbe");
  if (!f) return true;  // no label file: an empty label
  char buf[256] = {};
  if (std::fgets(buf, sizeof buf, f)) {
    label = buf;
    while (!label.empty() && (label.back() == '\n' || label.back() == '\r')) label.pop_back();
  }
  std::fclose(f);
  return true;
}

bool PosixPlatform::do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) {
  if (root.size() < 2 || root[1] != ':') {
    error = kErrorPathNotFound;
    return false;
  }
  HostPath hp = resolve(root.substr(0, 2) + "\\");
  if (hp.error) {
    error = hp.error;
    return false;
  }
  if (hp.on_image) {
    // A CD: one 2048-byte sector a cluster, nothing free.
    const auto volume = image_volume(hp.path);
    if (!volume) {
      error = kErrorNotReady;
      return false;
    }
    out.bytes_per_sector = iso::kSectorSize;
    out.sectors_per_cluster = 1;
    out.free_clusters = 0;
    out.total_clusters = static_cast<uint32_t>(
        std::min<uint64_t>(volume->size / iso::kSectorSize, std::numeric_limits<uint32_t>::max()));
    return true;
  }
  struct statvfs vs;
  if (::statvfs(hp.path.c_str(), &vs) != 0) {
    error = kErrorNotReady;
    return false;
  }
  // Windows counts 512-byte sectors and clusters of the file system's
  // block size, each count held to 32 bits.
  constexpr uint64_t kSector = 512;
  const uint64_t block = vs.f_frsize ? vs.f_frsize : vs.f_bsize;
  const uint64_t cluster = std::max<uint64_t>(kSector, block - block % kSector);
  const auto clusters = [&](uint64_t blocks) {
    return static_cast<uint32_t>(std::min<uint64_t>(blocks * block / cluster, std::numeric_limits<uint32_t>::max()));
  };
  out.bytes_per_sector = static_cast<uint32_t>(kSector);
  out.sectors_per_cluster = static_cast<uint32_t>(cluster / kSector);
  out.free_clusters = clusters(vs.f_bavail);
  out.total_clusters = clusters(vs.f_blocks);
  return true;
}

ProgramRun PosixPlatform::do_run_program(const std::string& program, const std::string& command_line) {
  ProgramRun run;
  // The program file of the current directory, its name matched without
  // regard to case, as Windows finds it.
  const std::string file = match_entry(".", program);
  struct stat st;
  if (file.empty() || ::stat(file.c_str(), &st) != 0) {
    run.error = kErrorFileNotFound;
    return run;
  }
  if (!S_ISREG(st.st_mode)) {
    run.error = kErrorAccessDenied;
    return run;
  }
  // The arguments are the command line's words between single spaces, the
  // program's own name first.
  std::vector<std::string> words;
  size_t start = 0;
  for (;;) {
    const size_t space = command_line.find(' ', start);
    words.push_back(command_line.substr(start, space - start));
    if (space == std::string::npos) break;
    start = space + 1;
  }
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string path = "./" + file;
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    run.error = rc == ENOENT ? kErrorFileNotFound : rc == ENOEXEC ? kErrorBadExeFormat : kErrorAccessDenied;
    return run;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      run.error = kErrorAccessDenied;
      return run;
    }
  }
  run.started = true;
  // A program ended by a signal reports 128 plus its number, as a shell does.
  run.exit_code = WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status))
                                    : 128u + static_cast<uint32_t>(WTERMSIG(status));
  return run;
}

std::string PosixPlatform::do_current_directory() {
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return {};
  return buf;
}

bool PosixPlatform::do_set_current_directory(const std::string& path) {
  // SetCurrentDirectoryA refuses an empty path; resolving would make it ".".
  if (path.empty()) return false;
  HostPath hp = resolve(path);
  if (hp.error || hp.on_image) return false;  // the process's directory is a host directory
  return ::chdir(hp.path.c_str()) == 0;
}

LocalTime PosixPlatform::local_time() {
  time_t now = ::time(nullptr);
  struct tm tm {};
  ::localtime_r(&now, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

int64_t PosixPlatform::time_seconds() { return static_cast<int64_t>(::time(nullptr)); }

void PosixPlatform::sleep_ms(uint32_t ms) {
  struct timespec ts;
  ts.tv_sec = static_cast<time_t>(ms / 1000);
  ts.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
  while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

bool PosixPlatform::get_env(const char* name, std::string& value) {
  const char* v = std::getenv(name);
  if (!v) return false;
  value = v;
  return true;
}

intptr_t PosixPlatform::send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  ListBox* box = ListBox::from_handle(window);
  return box ? box->send(msg, wparam, lparam) : 0;
}

DeviceContext PosixPlatform::get_dc(WindowHandle window) { return raster_window_get_dc(window); }

int PosixPlatform::release_dc(WindowHandle window, DeviceContext dc) { return raster_window_release_dc(window, dc); }

bool PosixPlatform::bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                            int source_x, int source_y, uint32_t rop) {
  return raster_bit_blt(dest, x, y, width, height, source, source_x, source_y, rop);
}

int PosixPlatform::do_message_box(WindowHandle, const std::string& text, const std::string& title,
                                  uint32_t style) {
  const bool retry_cancel = (style & 0x0F) == kMbRetryCancel;
  if (!interactive()) return retry_cancel ? kIdCancel : 1;
  std::cerr << "\n[" << title << "]\n" << text << "\n";
  if (!retry_cancel) {
    std::cerr << "(press Enter) ";
    std::string line;
    std::getline(std::cin, line);
    return 1;
  }
  std::cerr << "Retry or Cancel? [r/C] " << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return kIdCancel;
  return (!line.empty() && (line[0] == 'r' || line[0] == 'R')) ? kIdRetry : kIdCancel;
}

bool PosixPlatform::interactive() const { return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO); }

// ---- the system platform and front-end strings -------------------------------------

Platform& system_platform() {
  static PosixPlatform platform;
  return platform;
}

uint32_t sys_string_byte_len(const char* s) {
  if (!s) return 0;
  uint32_t len;
  std::memcpy(&len, s - 4, 4);
  return len;
}

}  // namespace zk::platform
