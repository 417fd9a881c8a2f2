// The file-handle table and the opens and closes that keep it.
#include "startup/file_handles.h"

#include <array>
#include <map>
#include <set>

#include "platform/platform.h"

namespace zk::startup {

namespace {
uint32_t g_table = 0;

// Descriptors of 32 and above that open2 opened. The table word has no bit
// for them; keeping them here lets close2 and closeall2 close what the
// library opened, and nothing a caller opened elsewhere under such a number.
std::set<int>& high_handles() {
  static std::set<int> handles;
  return handles;
}

// The number of the open that gave each descriptor now open through open2,
// counted from 1 over the process's life, so a descriptor number given to
// another file later never names the earlier one.
uint64_t g_last_serial = 0;
std::array<uint64_t, kTableBits> g_low_serials{};
std::map<int, uint64_t>& high_serials() {
  static std::map<int, uint64_t> serials;
  return serials;
}

bool registered(int fd) {
  if (fd < 0) return false;
  if (fd < kTableBits) return (g_table & (1u << fd)) != 0;
  return high_handles().count(fd) != 0;
}

void enter(int fd) {
  if (fd < kTableBits) {
    g_table |= 1u << fd;
    g_low_serials[static_cast<size_t>(fd)] = ++g_last_serial;
  } else {
    high_handles().insert(fd);
    high_serials()[fd] = ++g_last_serial;
  }
}

// Takes a descriptor out of the table word or the registry.
void forget(int fd) {
  if (fd < 0) return;
  if (fd < kTableBits) {
    g_table &= ~(1u << fd);
    g_low_serials[static_cast<size_t>(fd)] = 0;
  } else {
    high_handles().erase(fd);
    high_serials().erase(fd);
  }
}

}  // namespace

uint32_t* handle_table() { return &g_table; }

uint64_t open_serial(int fd) {
  if (fd < 0) return 0;
  if (fd < kTableBits) return g_low_serials[static_cast<size_t>(fd)];
  const auto it = high_serials().find(fd);
  return it == high_serials().end() ? 0 : it->second;
}

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
  if (fd >= 0) enter(fd);
  return fd;
}

int open2(const std::string& path, int flags, int perm) {
  int error = 0;
  return open2(path, flags, perm, error);
}

int close2(int fd, int& error) {
  error = 0;
  if (!registered(fd)) return 0;
  int rc = platform::current().close(fd, error);
  if (rc != 0) return rc;
  forget(fd);
  return 0;
}

int close2(int fd) {
  int error = 0;
  return close2(fd, error);
}

int release2(int fd, int& error) {
  const int rc = close2(fd, error);
  forget(fd);
  return rc;
}

int closeall2() {
  int result = 0;
  auto close_one = [&result](int fd) {
    int error = 0;
    if (platform::current().close(fd, error) == 0)
      forget(fd);
    else
      result = -1;
  };
  for (int fd = 0; fd < kTableBits; ++fd) {
    if (registered(fd)) close_one(fd);
  }
  const std::set<int> high = high_handles();  // close_one changes the set
  for (int fd : high) close_one(fd);
  return result;
}

}  // namespace zk::startup
