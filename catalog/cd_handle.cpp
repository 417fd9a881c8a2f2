// Making, filling and releasing the handle of an open indexed file set.
#include "catalog/cd_handle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <unordered_map>

#include "catalog/block_cache.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/file_handles.h"
#include "startup/path_names.h"
#include "workfiles/file_utils.h"

namespace zk::catalog {

// ---- the layout callers read at fixed offsets -------------------------------
// Offsets of the 32-bit DLL, and of 64-bit builds where pointers widen them.
namespace {
constexpr bool kWide = sizeof(void*) == 8;
constexpr size_t at(size_t narrow, size_t wide) { return kWide ? wide : narrow; }
}  // namespace

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
static_assert(offsetof(zkall_cd_level, file_name) == 0);
static_assert(offsetof(zkall_cd_level, attribute) == 10);
static_assert(offsetof(zkall_cd_level, fd) == 12);
static_assert(offsetof(zkall_cd_level, buffer) == 16);
static_assert(offsetof(zkall_cd_level, base_block) == at(20, 24));
static_assert(offsetof(zkall_cd_level, size) == at(24, 28));
static_assert(offsetof(zkall_cd_level, match_mask) == at(28, 32));
static_assert(offsetof(zkall_cd_level, location_kind) == at(29, 33));
static_assert(offsetof(zkall_cd_level, scan_start) == at(32, 36));
static_assert(offsetof(zkall_cd_level, scan_count) == at(36, 40));
static_assert(offsetof(zkall_cd_level, blocks_scanned) == at(40, 44));
static_assert(offsetof(zkall_cd_level, entry_index) == at(44, 48));
static_assert(offsetof(zkall_cd_level, loaded) == at(48, 52));
static_assert(offsetof(zkall_cd_level, last_key) == at(49, 53));
static_assert(sizeof(zkall_cd_level) == at(84, 88));

static_assert(offsetof(zkall_cd_handle, file_name) == 0);
static_assert(offsetof(zkall_cd_handle, disc_id) == 10);
static_assert(offsetof(zkall_cd_handle, disc_no) == 12);
static_assert(offsetof(zkall_cd_handle, disc_date) == 14);
static_assert(offsetof(zkall_cd_handle, requested_disc) == 24);
static_assert(offsetof(zkall_cd_handle, disc_index) == 28);
static_assert(offsetof(zkall_cd_handle, drive_index) == 32);
static_assert(offsetof(zkall_cd_handle, ctop) == at(36, 40));
static_assert(offsetof(zkall_cd_handle, ccar) == at(40, 48));
static_assert(offsetof(zkall_cd_handle, file_kind) == at(44, 56));
static_assert(offsetof(zkall_cd_handle, data_mask) == at(45, 57));
static_assert(offsetof(zkall_cd_handle, key_length) == at(48, 60));
static_assert(offsetof(zkall_cd_handle, index_key_length) == at(52, 64));
static_assert(offsetof(zkall_cd_handle, record_length) == at(56, 68));
static_assert(offsetof(zkall_cd_handle, entry_length) == at(60, 72));
static_assert(offsetof(zkall_cd_handle, level_count) == at(64, 76));
static_assert(offsetof(zkall_cd_handle, block_size) == at(68, 80));
static_assert(offsetof(zkall_cd_handle, key_offset) == at(72, 84));
static_assert(offsetof(zkall_cd_handle, catalog_flag) == at(76, 88));
static_assert(offsetof(zkall_cd_handle, direct_flag) == at(77, 89));
static_assert(offsetof(zkall_cd_handle, read_mode) == at(80, 92));
static_assert(offsetof(zkall_cd_handle, prompt_kind) == at(84, 96));
static_assert(offsetof(zkall_cd_handle, price_format) == at(88, 100));
static_assert(offsetof(zkall_cd_handle, catalog_code) == at(92, 104));
static_assert(offsetof(zkall_cd_handle, master_name) == at(98, 110));
static_assert(offsetof(zkall_cd_handle, levels) == at(116, 128));
static_assert(offsetof(zkall_cd_handle, index_key) == at(452, 480));
static_assert(offsetof(zkall_cd_handle, data_key) == at(472, 500));
static_assert(offsetof(zkall_cd_handle, index_key_len) == at(492, 520));
static_assert(offsetof(zkall_cd_handle, data_key_len) == at(496, 524));
static_assert(offsetof(zkall_cd_handle, current_level) == at(500, 528));
static_assert(offsetof(zkall_cd_handle, status) == at(504, 532));
static_assert(offsetof(zkall_cd_handle, found) == at(508, 536));
static_assert(offsetof(zkall_cd_handle, record_index) == at(512, 540));
static_assert(offsetof(zkall_cd_handle, blocks_read) == at(516, 544));
static_assert(offsetof(zkall_cd_handle, restart) == at(520, 548));
static_assert(offsetof(zkall_cd_handle, child_block) == at(524, 552));
static_assert(offsetof(zkall_cd_handle, child_count) == at(528, 556));
static_assert(offsetof(zkall_cd_handle, current) == at(532, 560));
static_assert(sizeof(zkall_cd_handle) == at(536, 568));
static_assert(sizeof(zkall_cd_level{}.file_name) == kMasterFileNameSize);
static_assert(sizeof(zkall_cd_handle{}.disc_id) == kMasterDiscIdSize);
static_assert(sizeof(zkall_cd_handle{}.disc_date) == kMasterDateSize);

// ---- the registry ------------------------------------------------------------
namespace {

// A handle made here, the block buffers it points into and what the engine
// keeps about it out of the callers' sight.
struct OwnedHandle {
  zkall_cd_handle handle{};
  std::array<platform::HeapBlock, kDescriptors> buffers;
  HandleEngine engine = HandleEngine::Disc;
  HandleState state;
};

// Every handle made by new_handle and not yet released, by address.
std::unordered_map<const zkall_cd_handle*, std::unique_ptr<OwnedHandle>>& owned() {
  static std::unordered_map<const zkall_cd_handle*, std::unique_ptr<OwnedHandle>> handles;
  return handles;
}

OwnedHandle* owner_of(const zkall_cd_handle* h, HandleEngine engine) {
  if (h == nullptr) return nullptr;
  auto it = owned().find(h);
  return it == owned().end() || it->second->engine != engine ? nullptr : it->second.get();
}

}  // namespace

zkall_cd_handle* new_handle(HandleEngine engine) {
  if (platform::current().fault(platform::Op::Alloc, std::string()) != 0) return nullptr;
  try {
    auto owner = std::make_unique<OwnedHandle>();
    owner->engine = engine;
    zkall_cd_handle* h = &owner->handle;
    for (auto& level : h->levels) level.fd = -1;
    h->block_size = static_cast<int32_t>(kBlockSize);
    h->ctop = startup::ctop();
    h->ccar = startup::ccar();
    owned().emplace(h, std::move(owner));
    return h;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool owns_handle(const zkall_cd_handle* h, HandleEngine engine) { return owner_of(h, engine) != nullptr; }

size_t live_handles() { return owned().size(); }

HandleState* handle_state(const zkall_cd_handle* h, HandleEngine engine) {
  OwnedHandle* owner = owner_of(h, engine);
  return owner == nullptr ? nullptr : &owner->state;
}

bool allocate_buffer(zkall_cd_handle& h, int level, size_t size) {
  auto it = owned().find(&h);
  OwnedHandle* owner = it == owned().end() ? nullptr : it->second.get();
  if (owner == nullptr || level < 0 || level >= kDescriptors) return false;
  if (h.levels[level].buffer != nullptr) return true;
  platform::HeapBlock& block = owner->buffers[static_cast<size_t>(level)];
  if (!platform::current().allocate(size, block)) return false;
  h.levels[level].buffer = block.data();
  return true;
}

void fill_from_entries(zkall_cd_handle& h, std::span<const MasterEntry, kSetEntries> entries) {
  const MasterEntry& data = entries[kDataLevel];
  const MasterEntry& before_data = entries[kDataLevel - 1];
  h.file_kind = data.kind;
  h.data_mask = data.mask;
  h.key_length = data.key_length;
  h.key_offset = data.key_offset;
  h.record_length = data.record_length;
  h.level_count = data.levels;
  h.index_key_length = before_data.key_length;
  h.entry_length = before_data.record_length;
  h.block_size = static_cast<int32_t>(kBlockSize);
  for (int i = 0; i < kDescriptors; ++i) {
    const MasterEntry& e = entries[static_cast<size_t>(i)];
    zkall_cd_level& d = h.levels[i];
    std::memcpy(d.file_name, e.name.data(), sizeof d.file_name);
    d.attribute = e.attribute;
    d.base_block = e.base_block;
    d.size = e.size;
    d.match_mask = e.mask;
    d.location_kind = e.location;
  }
  h.levels[kTopLevel].scan_start = h.levels[kTopLevel].base_block;
  h.levels[kTopLevel].scan_count = h.levels[kTopLevel].size;
}

bool allocate_set_buffers(zkall_cd_handle& h) {
  if (!allocate_buffer(h, kDataLevel)) return false;
  for (int i = 0; i < kMaxLevels; ++i) {
    if (h.levels[i].size > 0 && !allocate_buffer(h, i)) return false;
  }
  return true;
}

int release_handle(zkall_cd_handle* h, int32_t& error, HandleEngine engine) {
  error = 0;
  if (h == nullptr) return rc::kOk;
  if (!owns_handle(h, engine)) return refuse(error, detail_code::kCloseNotOwned);
  int result = rc::kOk;
  // The data file first, then the levels; a descriptor shared by several
  // files (hard-disk copies, files inside a master file) is closed once.
  std::array<int32_t, kDescriptors> closed{};
  size_t closed_count = 0;
  for (int i : {kDataLevel, 0, 1, 2}) {
    zkall_cd_level& d = h->levels[i];
    const int32_t fd = d.fd;
    d.fd = -1;
    if (fd < 0) continue;
    const auto done = closed.begin() + static_cast<std::ptrdiff_t>(closed_count);
    if (std::find(closed.begin(), done, fd) != done) continue;
    closed[closed_count++] = fd;
    drop_blocks(fd);
    int close_error = 0;
    if (startup::release2(fd, close_error) != 0) {
      result = rc::kCloseFailed;
      error = close_error;
    }
  }
  owned().erase(h);
  return result;
}

int open_level_path(zkall_cd_handle& h, int level, const std::string& path, int32_t& detail) {
  int32_t fd = -1;
  int32_t error = 0;
  if (workfiles::open_read(path, fd, error) != 0) {
    detail = error;
    return rc::kOpenFailed;
  }
  h.levels[level].fd = fd;
  return rc::kOk;
}

int open_level_file(zkall_cd_handle& h, int level, uint32_t kind, int32_t index, const std::string& name,
                    int32_t path_detail, int32_t& detail) {
  std::string path;
  if (startup::get_path_name(kind, index, name, path) != 0) return refuse(detail, path_detail);
  return open_level_path(h, level, path, detail);
}

void HandleReleaser::operator()(zkall_cd_handle* h) const {
  int32_t error = 0;
  release_handle(h, error, engine);
}

}  // namespace zk::catalog
