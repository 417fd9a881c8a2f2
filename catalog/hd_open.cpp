// hdopen and hdclose.
#include "catalog/hd_open.h"

#include <array>
#include <cstring>
#include <memory>
#include <span>
#include <string>

#include "catalog/cd_handle.h"
#include "catalog/format.h"
#include "catalog/hd_format.h"
#include "catalog/hd_handle.h"
#include "catalog/hd_read.h"
#include "platform/platform.h"
#include "startup/file_handles.h"
#include "startup/path_names.h"
#include "textutil/numbers.h"
#include "workfiles/file_utils.h"

namespace zk::catalog {

namespace {

constexpr int kNoSuchFile = platform::kErrnoNoEntry;

// Releases the handle unless the open hands it over.
struct HdReleaser {
  void operator()(zkall_cd_handle* h) const { hd_release_handle(h); }
};
using HdHandlePtr = std::unique_ptr<zkall_cd_handle, HdReleaser>;

// Closes a descriptor through close2 when it goes out of scope.
struct Descriptor {
  int32_t fd = -1;
  ~Descriptor() {
    if (fd >= 0) startup::close2(fd);
  }
};

// The written form of a fixed 8.3 name: "KAKAKU  D  " becomes "KAKAKU.D".
std::string written_name(const std::array<char, kHdNameSize>& fixed) {
  std::array<char, textutil::kFileNameBufferSize> buffer{};
  std::memcpy(buffer.data(), fixed.data(), kHdNameSize);
  textutil::edit_filename(buffer);
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// Opens a file of the set read-only: 0 with the descriptor; 128/50 when the
// path cannot be built; `missing` when the file does not exist, else 11,
// with the error number.
int open_file(const std::string& name, int32_t kind, int missing, int32_t& fd, int32_t& detail) {
  std::string path;
  if (startup::get_path_name(static_cast<uint32_t>(kind), -1, name, path) != 0)
    return refuse(detail, hd_detail::kNoPath);
  int32_t error = 0;
  if (workfiles::open_read(path, fd, error) != 0) {
    fd = -1;
    detail = error == kNoSuchFile && missing == rc::kNotFound ? 0 : error;
    return error == kNoSuchFile ? missing : rc::kOpenFailed;
  }
  return rc::kOk;
}

// Reads the four entries: 0; 14 with the error number (0 when the file
// simply ended before 128 bytes); 20 when the buffer cannot be had.
int read_master(int32_t fd, std::array<HdEntry, 4>& entries, int32_t& detail) {
  platform::HeapBlock bytes;
  if (!platform::current().allocate(kHdMasterSize, bytes)) {
    detail = 0;
    return rc::kNoMemory;
  }
  int error = 0;
  if (platform::current().read(fd, bytes.data(), kHdMasterSize, error) != static_cast<int64_t>(kHdMasterSize)) {
    detail = error;
    return rc::kReadFailed;
  }
  entries = decode_hd_master(std::span<const uint8_t, kHdMasterSize>(bytes.data(), kHdMasterSize));
  return rc::kOk;
}

void fill_level(zkall_cd_level& d, const HdEntry& e) {
  std::memcpy(d.file_name, e.name.data(), sizeof d.file_name);
  d.attribute = static_cast<uint8_t>(e.name[sizeof d.file_name]);
  d.base_block = e.base_block;
  d.size = e.size;
  d.match_mask = e.mask;
  d.location_kind = e.location;
}

// The handle's layout from the four entries.
void fill_handle(zkall_cd_handle& h, const char* name, const std::array<HdEntry, 4>& entries) {
  // The wanted name has 11 characters: the eleventh lands in the first byte
  // of the disc id, which hard-disk handles do not use.
  std::memcpy(h.file_name, name, sizeof h.file_name);
  h.disc_id[0] = name[sizeof h.file_name];
  const HdEntry& data = entries[kDataLevel];
  const HdEntry& bottom = entries[kBottomLevel];
  h.file_kind = data.kind;
  h.data_mask = data.mask;
  h.key_length = data.key_length;
  h.key_offset = data.key_offset;
  h.record_length = data.record_length;
  h.level_count = data.levels;
  h.block_size = data.block_size;
  h.index_key_length = bottom.key_length;
  h.entry_length = bottom.record_length;
  h.requested_disc = -1;
  h.disc_index = -1;
  h.drive_index = -1;
  for (int i = 0; i < kDescriptors; ++i) fill_level(h.levels[i], entries[static_cast<size_t>(i)]);
  zkall_cd_level& top = h.levels[kTopLevel];
  top.scan_start = top.base_block;
  top.scan_count = top.size;
  if (h.level_count == 0) {
    zkall_cd_level& d = h.levels[kDataLevel];
    d.scan_start = d.base_block;
    d.scan_count = d.size;
  }
}

// Buffers: the data file's, then the bottom, middle and top level's where
// present; each failure has its own detail.
int allocate_buffers(zkall_cd_handle& h, int32_t& detail) {
  const size_t block = static_cast<size_t>(h.block_size);
  if (!hd_allocate_buffer(h, kDataLevel, block)) {
    detail = 1;
    return rc::kNoMemory;
  }
  for (int level = kBottomLevel; level >= kTopLevel; --level) {
    if (h.levels[level].size == 0) continue;
    if (!hd_allocate_buffer(h, level, block)) {
      detail = 2 + level;
      return rc::kNoMemory;
    }
  }
  return rc::kOk;
}

}  // namespace

int hdopen(const char* name, int32_t kind, zkall_cd_handle** out, int32_t& detail) {
  detail = 0;
  if (out == nullptr) return refuse(detail, hd_detail::kRefusedHandle);
  *out = nullptr;
  const char* master_name = kind == static_cast<int32_t>(startup::kPathPrice)       ? kPriceMasterName
                            : kind == static_cast<int32_t>(startup::kPathLocalPrice) ? kLocalPriceMasterName
                                                                                     : nullptr;
  if (master_name == nullptr) return refuse(detail, hd_detail::kBadPathKind);
  if (name == nullptr) return refuse(detail, hd_detail::kRefusedHandle);

  std::array<HdEntry, 4> entries{};
  {
    Descriptor master;
    if (int r = open_file(master_name, kind, rc::kNotFound, master.fd, detail); r != rc::kOk) return r;
    if (int r = read_master(master.fd, entries, detail); r != rc::kOk) return r;
  }
  const HdEntry& data = entries[kDataLevel];
  if (std::memcmp(data.name.data(), name, kHdNameSize) != 0 || data.size == 0) return rc::kNotFound;

  HdHandlePtr h(hd_new_handle());
  if (!h) return rc::kNoMemory;
  fill_handle(*h, name, entries);
  if (int r = hd_check_layout(*h, detail); r != rc::kOk) return r;
  if (int r = allocate_buffers(*h, detail); r != rc::kOk) return r;

  if (int r = open_file(written_name(data.name), kind, rc::kNotFound, h->levels[kDataLevel].fd, detail); r != rc::kOk)
    return r;
  zkall_cd_level& top = h->levels[kTopLevel];
  if (top.size > 0) {
    if (int r = open_file(written_name(entries[kTopLevel].name), kind, rc::kOpenFailed, top.fd, detail); r != rc::kOk)
      return r;
    // The middle and bottom levels lie in the top level's file.
    for (int level = 1; level <= kBottomLevel; ++level) {
      if (h->levels[level].size > 0) h->levels[level].fd = top.fd;
    }
  }
  *out = h.release();
  return rc::kOk;
}

int hdclose(zkall_cd_handle** handle) {
  if (handle == nullptr || *handle == nullptr) return rc::kOk;
  if (!owns_handle(*handle, HandleEngine::HardDisk)) return rc::kOk;
  hd_release_handle(*handle);
  *handle = nullptr;
  return rc::kOk;
}

}  // namespace zk::catalog
