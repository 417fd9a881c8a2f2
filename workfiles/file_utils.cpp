// open_read, open_write, open_rdwr, direct_read, direct_write, file_copy and
// file_remove.
#include "workfiles/file_utils.h"

#include <cstring>

#include "platform/platform.h"
#include "startup/file_handles.h"

namespace zk::workfiles {

namespace {

int open_with(const std::string& path, int flags, int perm, int32_t& fd, int32_t& error) {
  int err = 0;
  fd = startup::open2(path, flags, perm, err);
  if (fd < 0) {
    error = err;
    return 11;
  }
  return 0;
}

bool seek_record(int32_t fd, int32_t record, int32_t length, int32_t& error) {
  int err = 0;
  const int64_t offset = static_cast<int64_t>(record) * length;
  if (offset < 0 || platform::current().lseek(fd, offset, platform::kSeekSet, err) < 0) {
    error = err ? err : platform::kErrnoInvalid;
    return false;
  }
  return true;
}

bool blank_or_control(const char* s) { return !s || static_cast<unsigned char>(s[0]) <= ' '; }

}  // namespace

int open_read(const std::string& path, int32_t& fd, int32_t& error) {
  return open_with(path, kReadFlags, 0, fd, error);
}

int open_write(const std::string& path, int32_t& fd, int32_t& error) {
  return open_with(path, kWriteFlags, kWritePerm, fd, error);
}

int open_rdwr(const std::string& path, int32_t& fd, int32_t& error) {
  return open_with(path, kReadWriteFlags, 0, fd, error);
}

int direct_read(int32_t fd, int32_t record, void* buf, int32_t length, int32_t& error) {
  error = 0;
  if (!seek_record(fd, record, length, error)) return 15;
  if (length < 0 || (!buf && length > 0)) return 14;
  int err = 0;
  const int64_t got = platform::current().read(fd, buf, static_cast<size_t>(length), err);
  if (got != length) {
    error = err;
    return 14;
  }
  return 0;
}

int direct_write(int32_t fd, int32_t record, const void* buf, int32_t length, int32_t& error) {
  if (!seek_record(fd, record, length, error)) return 15;
  if (length < 0 || (!buf && length > 0)) return 13;
  int err = 0;
  const int64_t put = platform::current().write(fd, buf, static_cast<size_t>(length), err);
  if (put != length) {
    error = err;
    return 13;
  }
  return 0;
}

int file_copy(const std::string& destination, const std::string& source, int32_t& error) {
  error = 0;
  auto& p = platform::current();
  // The destination is emptied before the source is read: a copy of a file
  // onto itself (under another spelling, in another case, through a link)
  // would lose it. The file already holds what a copy would put there, so
  // nothing is done.
  platform::FileId from, to;
  if (p.file_id(source, from) && p.file_id(destination, to) && from == to) return 0;

  platform::HeapBlock buffer;
  if (!p.allocate(kCopyBufferSize, buffer)) return 20;

  int32_t out = -1;
  int32_t in = -1;
  int result = open_write(destination, out, error);
  if (result == 0) result = open_read(source, in, error);
  while (result == 0) {
    int err = 0;
    const int64_t got = p.read(in, buffer.data(), buffer.size(), err);
    if (got < 0) {
      error = err;
      result = 14;
      break;
    }
    if (got == 0) break;
    const int64_t put = p.write(out, buffer.data(), static_cast<size_t>(got), err);
    if (put != got) {
      error = err;
      result = 13;
    }
  }
  // Both descriptors leave the handle table even when their close fails.
  // The destination's failed close may have lost what was written: 12,
  // unless the copy had already failed. The source's matters to nobody.
  int err = 0;
  if (out >= 0 && startup::release2(out, err) != 0 && result == 0) {
    error = err;
    result = 12;
  }
  if (in >= 0) startup::release2(in, err);
  return result;
}

int file_remove(const char* directory, const char* pattern) {
  if (blank_or_control(directory)) return 401;
  const size_t dir_len = std::strlen(directory);
  const size_t pat_len = pattern ? std::strlen(pattern) : 0;
  if (dir_len + pat_len >= kRemovePathLimit) return 402;

  std::string dir = directory;
  if (dir.back() != '\\') dir += '\\';
  const std::string search = dir + (blank_or_control(pattern) ? std::string("*.*") : std::string(pattern));

  auto& p = platform::current();
  platform::FindEntry e;
  uint32_t error = 0;
  auto finder = p.find_first(search, e, error);
  if (!finder) return 0;
  for (int n = 0; n < kMaxRemovedFiles; ++n) {
    uint32_t ignored = 0;
    // Directories (and "." and "..") fail to delete, as on Windows.
    p.delete_file(dir + e.name, ignored);
    if (!finder->next(e, error)) break;
  }
  return 0;
}

}  // namespace zk::workfiles
