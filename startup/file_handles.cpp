// The file-handle table and the opens and closes that keep it.
#include "startup/file_handles.h"

#include "platform/platform.h"

namespace zk::startup {

namespace {
uint32_t g_table = 0;

bool registered(int fd) { return fd >= 0 && fd < kTableBits && (g_table & (1u << fd)) != 0; }
}  // namespace

uint32_t* handle_table() { return &g_table; }

int b_setl(uint32_t* word, int32_t n) {
  if (!word || n < 0 || n >= kTableBits) return -1;
  *word |= 1u << n;
  return 0;
}

int b_resetl(uint32_t* word, int32_t n) {
  if (!word || n < 0 || n >= kTableBits) return -1;
  *word &= ~(1u << n);
  return 0;
}

int open2(const std::string& path, int flags, int perm, int& error) {
  const bool with_perm = (flags & platform::kOpenCreate) && perm != 0;
  int fd = platform::current().open(path, flags, with_perm ? perm : 0, error);
  if (fd != -1) b_setl(&g_table, fd);
  return fd;
}

int open2(const std::string& path, int flags, int perm) {
  int error = 0;
  return open2(path, flags, perm, error);
}

int close2(int fd, int& error) {
  error = 0;
  if (fd >= 0 && fd < kTableBits && !registered(fd)) return 0;
  if (fd < 0) return 0;
  int rc = platform::current().close(fd, error);
  if (rc != 0) return rc;
  b_resetl(&g_table, fd);
  return 0;
}

int close2(int fd) {
  int error = 0;
  return close2(fd, error);
}

int closeall2() {
  int result = 0;
  for (int fd = 0; fd < kTableBits; ++fd) {
    if (!registered(fd)) continue;
    int error = 0;
    if (platform::current().close(fd, error) == 0)
      b_resetl(&g_table, fd);
    else
      result = -1;
  }
  return result;
}

}  // namespace zk::startup
