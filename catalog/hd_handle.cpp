// Making and releasing the handles of hard-disk file sets.
#include "catalog/hd_handle.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "catalog/format.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/file_handles.h"

namespace zk::catalog {

namespace {

struct OwnedHdHandle {
  zkall_cd_handle handle{};
  std::array<platform::HeapBlock, kDescriptors> buffers;
  size_t block_size = 0;
};

std::map<const zkall_cd_handle*, std::unique_ptr<OwnedHdHandle>>& owned() {
  static std::map<const zkall_cd_handle*, std::unique_ptr<OwnedHdHandle>> handles;
  return handles;
}

OwnedHdHandle* owner_of(const zkall_cd_handle* h) {
  auto it = owned().find(h);
  return it == owned().end() ? nullptr : it->second.get();
}

}  // namespace

zkall_cd_handle* hd_new_handle() {
  if (platform::current().fault(platform::Op::Alloc, std::string()) != 0) return nullptr;
  try {
    auto owner = std::make_unique<OwnedHdHandle>();
    zkall_cd_handle* h = &owner->handle;
    for (auto& level : h->levels) level.fd = -1;
    h->ctop = startup::ctop();
    h->ccar = startup::ccar();
    owned().emplace(h, std::move(owner));
    return h;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool hd_allocate_buffer(zkall_cd_handle& h, int level, size_t size) {
  OwnedHdHandle* owner = owner_of(&h);
  if (owner == nullptr || level < 0 || level >= kDescriptors || size == 0) return false;
  if (owner->block_size != 0 && owner->block_size != size) return false;
  platform::HeapBlock& block = owner->buffers[static_cast<size_t>(level)];
  if (!platform::current().allocate(size, block)) return false;
  owner->block_size = size;
  h.levels[level].buffer = block.data();
  return true;
}

void hd_release_handle(zkall_cd_handle* h) {
  if (owner_of(h) == nullptr) return;
  std::array<int32_t, kDescriptors> closed{};
  size_t count = 0;
  for (int i : {kDataLevel, 0, 1, 2}) {
    const int32_t fd = h->levels[i].fd;
    h->levels[i].fd = -1;
    const auto done = closed.begin() + static_cast<std::ptrdiff_t>(count);
    if (fd < 0 || std::find(closed.begin(), done, fd) != done) continue;
    closed[count++] = fd;
    startup::close2(fd);
  }
  owned().erase(h);
}

size_t hd_buffer_size(const zkall_cd_handle* h) {
  const OwnedHdHandle* owner = owner_of(h);
  return owner == nullptr ? 0 : owner->block_size;
}

}  // namespace zk::catalog
