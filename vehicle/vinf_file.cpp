// The record-file layer of VCLINF.TMP.
#include "vehicle/vinf_file.h"

#include <cstring>

#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/file_handles.h"
#include "startup/path_names.h"

namespace zk::vehicle {

// ---- the control block callers share ---------------------------------------
// Natural alignment; offsets of the 32-bit DLL, and of 64-bit builds where
// the three pointers widen it.
namespace {
constexpr bool kWide = sizeof(void*) == 8;
constexpr size_t at(size_t narrow, size_t wide) { return kWide ? wide : narrow; }
}  // namespace
static_assert(offsetof(zkall_vinf_control, tokume) == 0);
static_assert(offsetof(zkall_vinf_control, kigouu) == at(4, 8));
static_assert(offsetof(zkall_vinf_control, disc) == at(8, 16));
static_assert(offsetof(zkall_vinf_control, error_hook) == at(12, 24));
static_assert(offsetof(zkall_vinf_control, open_flags) == at(16, 32));
static_assert(offsetof(zkall_vinf_control, perm) == at(20, 36));
static_assert(offsetof(zkall_vinf_control, fd) == at(24, 40));
static_assert(sizeof(zkall_vinf_control) == at(28, 48));

namespace {

constexpr const char* kModule = "ZKSUBV31";
constexpr const char* kFileName = "VCLINF.TMP";

// The path init_VINFT and chk_ext_VINFT use: built once and kept while the
// work directory stays the one it was built from.
struct CachedPath {
  std::string ecram;
  std::string path;
  bool ok = false;
  bool built = false;
};

const std::string& cached_path() {
  static CachedPath cache;
  const zkall_ctop* c = startup::ctop();
  const std::string ecram = c != nullptr ? std::string(c->ecram_path, strnlen(c->ecram_path, sizeof c->ecram_path))
                                         : std::string();
  if (!cache.built || cache.ecram != ecram) {
    cache.ok = vclinf_path(cache.path);
    if (!cache.ok) cache.path.clear();
    cache.ecram = ecram;
    cache.built = true;
  }
  return cache.path;
}

VinfResult error_exit(zkall_vinf_control* block) {
  term_vinft(block);
  return {false, block->error_hook != nullptr ? block->error_hook(block) : 0};
}

// Positions at `offset` and moves `size` bytes in or out.
// A null block or buffer moves nothing and answers -1.
VinfResult transfer(zkall_vinf_control* block, const char* function, int64_t offset, void* in, const void* out,
                    size_t size) {
  if (block == nullptr || (in == nullptr && out == nullptr)) return {false, -1};
  auto& p = platform::current();
  int error = 0;
  const int32_t fd = block->fd;
  if (p.lseek(fd, offset, platform::kSeekSet, error) < 0) {
    startup::report(kModule, function, "lseek", fd, 0, 0);
    return error_exit(block);
  }
  const int64_t moved = in != nullptr ? p.read(fd, in, size, error) : p.write(fd, out, size, error);
  if (moved != static_cast<int64_t>(size)) {
    startup::report(kModule, function, in != nullptr ? "read" : "write", fd, static_cast<int32_t>(moved), 0);
    return error_exit(block);
  }
  return {true, static_cast<int32_t>(size)};
}

int64_t line_offset(int32_t line) {
  return static_cast<int64_t>(kVinfHeaderSize) + static_cast<int64_t>(kVinfLineSize) * line;
}

}  // namespace

bool vclinf_path(std::string& path) { return startup::get_path_name(startup::kPathWork, -1, kFileName, path) == 0; }

VinfResult init_vinft(zkall_vinf_control* block) {
  if (block == nullptr) return {false, -1};
  const int32_t flags = block->open_flags;
  const int32_t perm = (flags & platform::kOpenCreate) != 0 ? block->perm : 0;
  const int fd = startup::open2(cached_path(), flags, perm);
  block->fd = fd;
  if (fd < 0) {
    startup::report(kModule, "init_VINFT", "open2", fd, 0, 0);
    return error_exit(block);
  }
  return {true, fd};
}

VinfResult get_hdr_vinft(zkall_vinf_control* block, void* header) {
  return transfer(block, "get_hdr_VINFT", 0, header, nullptr, kVinfHeaderSize);
}

VinfResult put_hdr_vinft(zkall_vinf_control* block, const void* header) {
  return transfer(block, "put_hdr_VINFT", 0, nullptr, header, kVinfHeaderSize);
}

VinfResult get_rec_vinft(zkall_vinf_control* block, int32_t line, void* buffer) {
  return transfer(block, "get_rec_VINFT", line_offset(line), buffer, nullptr, kVinfLineSize);
}

VinfResult put_rec_vinft(zkall_vinf_control* block, int32_t line, const void* buffer) {
  return transfer(block, "put_rec_VINFT", line_offset(line), nullptr, buffer, kVinfLineSize);
}

void term_vinft(zkall_vinf_control* block) {
  if (block == nullptr || block->fd == -1) return;
  startup::close2(block->fd);
  block->fd = -1;
}

int32_t chk_ext_vinft() {
  const std::string& path = cached_path();
  return !path.empty() && platform::current().exists(path) ? 0 : -1;
}

}  // namespace zk::vehicle
