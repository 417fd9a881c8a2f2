// The hard-disk twin of the disc engine's read: the same handle, level
// descriptors, key comparison and search walk, with blocks of the master
// file's size, binary child pointers and plain reads.
//
// A keyed read goes down from the current level taking an entry for the key
// at each level; the entry's child range becomes the next level's (below
// the bottom, the data file's) scan range. A level with nothing more for
// the key sends the walk one level up, where the next entry is taken; the
// top level's "nothing more" ends the read with -1. One search key serves
// the index and the data. Without a key the data file is read in order.
//
// One call reads at most twice the blocks the set holds (plus a few): a
// corrupt index whose overlapping child ranges lead the walk over the same
// blocks again and again is stopped there with 128/60 instead of running
// for the product of its ranges.
#include "catalog/hd_read.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "catalog/format.h"
#include "catalog/hd_format.h"
#include "catalog/hd_handle.h"
#include "catalog/key_compare.h"
#include "platform/platform.h"

namespace zk::catalog {

namespace {

// Blocks one read may still read; null for the exported steps.
using Budget = uint64_t;

uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
int32_t s16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)); }

// The layout check of every read, and what it needs beyond the fields: a
// handle of hd_new_handle's whose buffers are of its block size and exist
// for the data file and every level in use.
int check_handle(const zkall_cd_handle* h, int32_t& detail) {
  if (h == nullptr || hd_buffer_size(h) == 0) return refuse(detail, hd_detail::kRefusedHandle);
  if (int r = hd_check_layout(*h, detail); r != rc::kOk) return r;
  if (hd_buffer_size(h) != static_cast<size_t>(h->block_size)) return refuse(detail, hd_detail::kBadBlockSize);
  // A descriptor without its buffer (a caller's change) cannot be read into;
  // a file that is not open fails at its first seek or read.
  if (h->levels[kDataLevel].buffer == nullptr) return refuse(detail, hd_detail::kRefusedHandle);
  for (int i = 0; i < h->level_count; ++i) {
    if (h->levels[i].buffer == nullptr) return refuse(detail, hd_detail::kBadIndexLayout);
  }
  if (h->index_key_len < 0 || h->index_key_len > static_cast<int32_t>(kSearchKeySize) || h->data_key_len < 0 ||
      h->data_key_len > static_cast<int32_t>(kSearchKeySize))
    return refuse(detail, hd_detail::kBadSearchKey);
  return rc::kOk;
}

// Reads the block at the level's cursor into its buffer: 0, 15 when the seek
// fails, `short_code` with the error number when the block comes short.
int read_block(zkall_cd_handle& h, zkall_cd_level& level, bool seek, int short_code, Budget* budget,
               int32_t& detail) {
  if (budget != nullptr) {
    if (*budget == 0) return refuse(detail, hd_detail::kWalkTooLong);
    --*budget;
  }
  auto& p = platform::current();
  const size_t block = static_cast<size_t>(h.block_size);
  int error = 0;
  if (seek) {
    const int64_t at = (static_cast<int64_t>(level.scan_start) + level.blocks_scanned) * h.block_size;
    if (p.lseek(level.fd, at, platform::kSeekSet, error) < 0) {
      detail = error;
      return rc::kSeekFailed;
    }
  }
  if (p.read(level.fd, level.buffer, block, error) != static_cast<int64_t>(block)) {
    detail = error;
    return short_code;
  }
  return rc::kOk;
}

int search_index(zkall_cd_handle& h, Budget* budget, int32_t& detail) {
  const int32_t at = h.current_level;
  if (at < 0 || at >= h.level_count) return refuse(detail, hd_detail::kRefusedHandle);
  zkall_cd_level& level = h.levels[at];
  h.current = &level;
  const size_t key_length = static_cast<size_t>(h.index_key_len);
  const auto* key = reinterpret_cast<const uint8_t*>(h.index_key);

  // Entries come in key order: once the entry taken here lies beyond the
  // key, the key's range has ended at this level.
  if (std::memcmp(level.last_key, key, key_length) > 0) return rc::kNotFound;

  const size_t entry_length = static_cast<size_t>(h.entry_length);
  const uint32_t per_block = hd_per_block(h.block_size, h.entry_length);
  const size_t entries_end = per_block * entry_length;
  for (;;) {
    if (!level.loaded) {
      if (level.blocks_scanned >= level.scan_count) return rc::kNotFound;
      if (int r = read_block(h, level, true, rc::kReadFailed, budget, detail); r != rc::kOk) return r;
      ++level.blocks_scanned;
      level.entry_index = 0;
      level.loaded = 1;
    }
    const size_t from = std::min<size_t>(static_cast<size_t>(level.entry_index) * entry_length, entries_end);
    const ScanStop stop =
        scan_entries({key, key_length}, 0, level.match_mask, {level.buffer + from, entries_end - from}, entry_length,
                     true);
    if (stop.outcome != 0) {
      level.entry_index += stop.index;
      break;
    }
    // The top level is one block: a miss there ends the search.
    if (at == kTopLevel) return rc::kNotFound;
    level.loaded = 0;
  }

  const uint8_t* entry = level.buffer + static_cast<size_t>(level.entry_index) * entry_length;
  const size_t index_key_length = static_cast<size_t>(h.index_key_length);
  const uint32_t child_block = u32(entry + index_key_length);
  const int32_t child_count = s16(entry + index_key_length + 4);
  const int32_t child_level = at + 1 < h.level_count ? at + 1 : kDataLevel;
  zkall_cd_level& child = h.levels[child_level];
  const uint64_t child_end = static_cast<uint64_t>(child_block) + static_cast<uint64_t>(std::max(child_count, 0));
  if (child_count < 0 || child_end > child.size || child.base_block + child_end > UINT32_MAX)
    return refuse(detail, hd_detail::kChildRangePastEnd);

  std::memset(level.last_key, 0, sizeof level.last_key);
  std::memcpy(level.last_key, entry, index_key_length);
  h.child_block = child_block;
  h.child_count = static_cast<uint32_t>(child_count);
  // Every level sets its child's range, the bottom level the data file's.
  child.scan_start = child.base_block + child_block;
  child.scan_count = static_cast<uint32_t>(child_count);
  child.blocks_scanned = 0;
  child.entry_index = 0;
  child.loaded = 0;

  ++level.entry_index;
  // The top level keeps its block: its next search there finds nothing more.
  const bool follows =
      level.entry_index < per_block && level.buffer[static_cast<size_t>(level.entry_index) * entry_length] != 0;
  if (at != kTopLevel && !follows) level.loaded = 0;
  return rc::kOk;
}

int search_data(zkall_cd_handle& h, uint8_t* out, Budget* budget, int32_t& detail) {
  zkall_cd_level& data = h.levels[kDataLevel];
  h.found = 0;
  h.current = &data;
  if (h.restart) {
    data.scan_start = data.base_block + h.child_block;
    data.scan_count = h.child_count;
    data.blocks_scanned = 0;
    int error = 0;
    if (platform::current().lseek(data.fd, static_cast<int64_t>(data.scan_start) * h.block_size,
                                  platform::kSeekSet, error) < 0) {
      detail = error;
      return rc::kSeekFailed;
    }
    data.entry_index = 0;
    data.loaded = 0;
    h.restart = 0;
  }

  const size_t block = static_cast<size_t>(h.block_size);
  const size_t record_length = static_cast<size_t>(h.record_length);
  const uint32_t per_block = hd_per_block(h.block_size, h.record_length);
  const std::span<const uint8_t> key{reinterpret_cast<const uint8_t*>(h.data_key),
                                     static_cast<size_t>(h.data_key_len)};
  for (;;) {
    if (!data.loaded) {
      if (data.blocks_scanned >= data.scan_count) return rc::kNotFound;
      // A data block that comes short is an open failure here (11).
      if (int r = read_block(h, data, false, rc::kOpenFailed, budget, detail); r != rc::kOk) return r;
      ++data.blocks_scanned;
      data.entry_index = 0;
      data.loaded = 1;
    }
    if (!key.empty()) {
      const size_t from = std::min<size_t>(static_cast<size_t>(data.entry_index) * record_length, block);
      const ScanStop stop = scan_entries(key, static_cast<size_t>(h.key_offset), h.data_mask,
                                         {data.buffer + from, block - from}, record_length, false);
      if (stop.outcome == 0) {
        data.loaded = 0;
        continue;
      }
      data.entry_index += stop.index;
    } else if (data.entry_index >= per_block) {
      // In order, a record is taken as it stands: its first byte is not
      // looked at, only the count of records a block holds.
      data.loaded = 0;
      continue;
    }
    h.found = 1;
    std::memcpy(out, data.buffer + static_cast<size_t>(data.entry_index) * record_length, record_length);
    ++data.entry_index;
    data.loaded = data.entry_index < per_block &&
                  data.buffer[static_cast<size_t>(data.entry_index) * record_length] != 0;
    return rc::kOk;
  }
}

uint64_t walk_budget(const zkall_cd_handle& h) {
  uint64_t blocks = 0;
  for (const zkall_cd_level& level : h.levels) blocks += level.size;
  return 2 * blocks + 8;
}

}  // namespace

int hd_check_layout(const zkall_cd_handle& h, int32_t& detail) {
  const int32_t block = h.block_size;
  if (block < 1 || block > INT16_MAX || h.record_length < 1 || h.record_length > block ||
      block % h.record_length != 0)
    return refuse(detail, hd_detail::kBadBlockSize);
  if (h.level_count < 0 || h.level_count > kMaxLevels) return refuse(detail, hd_detail::kBadIndexLayout);
  if (h.level_count > 0) {
    if (h.index_key_length < 1 || h.index_key_length > static_cast<int32_t>(kLastKeySize) ||
        h.entry_length < h.index_key_length + static_cast<int32_t>(kHdChildPointerSize) || h.entry_length > block)
      return refuse(detail, hd_detail::kBadIndexLayout);
    for (int i = 0; i < h.level_count; ++i) {
      if (h.levels[i].size == 0) return refuse(detail, hd_detail::kBadIndexLayout);
    }
  }
  if (h.key_length < 0 || h.key_offset < 0 || static_cast<int64_t>(h.key_offset) + h.key_length > h.record_length)
    return refuse(detail, hd_detail::kKeyOutsideRecord);
  return rc::kOk;
}

int hdropen(zkall_cd_handle* h) {
  if (h == nullptr || hd_buffer_size(h) == 0) return rc::kRefused;
  for (int i = 0; i < kDescriptors; ++i) {
    zkall_cd_level& level = h->levels[i];
    level.scan_start = 0;
    level.scan_count = 0;
    level.blocks_scanned = 0;
    level.entry_index = 0;
    std::memset(level.last_key, 0, sizeof level.last_key);
    // The top level is one block: the one it holds stays valid.
    if (i != kTopLevel) level.loaded = 0;
  }
  zkall_cd_level& top = h->levels[kTopLevel];
  top.scan_start = top.base_block;
  top.scan_count = top.size;
  std::memset(h->index_key, 0, sizeof h->index_key);
  std::memset(h->data_key, 0, sizeof h->data_key);
  h->index_key_len = 0;
  h->data_key_len = 0;
  h->current_level = 0;
  h->status = rc::kOk;
  h->found = 0;
  h->record_index = 0;
  h->blocks_read = 0;
  h->restart = 0;
  h->child_block = 0;
  h->child_count = 0;
  h->current = nullptr;
  return rc::kOk;
}

int hd_search_index(zkall_cd_handle* h, int32_t& detail) {
  detail = 0;
  if (int r = check_handle(h, detail); r != rc::kOk) return r;
  return search_index(*h, nullptr, detail);
}

int hd_search_data(zkall_cd_handle* h, void* buffer, int32_t& detail) {
  detail = 0;
  if (int r = check_handle(h, detail); r != rc::kOk) return r;
  if (buffer == nullptr) return refuse(detail, hd_detail::kRefusedHandle);
  return search_data(*h, static_cast<uint8_t*>(buffer), nullptr, detail);
}

int hdread(zkall_cd_handle* h, void* buffer, const char* key, int32_t key_length, int32_t& detail) {
  detail = 0;
  if (int r = check_handle(h, detail); r != rc::kOk) return r;
  if (key_length > h->key_length) return refuse(detail, hd_detail::kKeyTooLong);
  if (key_length < 0 || key_length > static_cast<int32_t>(kSearchKeySize) || (key == nullptr && key_length > 0))
    return refuse(detail, hd_detail::kBadSearchKey);
  if (buffer == nullptr) return refuse(detail, hd_detail::kRefusedHandle);

  std::memset(h->index_key, 0, sizeof h->index_key);
  std::memset(h->data_key, 0, sizeof h->data_key);
  if (key_length > 0) {
    std::memcpy(h->index_key, key, static_cast<size_t>(key_length));
    std::memcpy(h->data_key, key, static_cast<size_t>(key_length));
  }
  h->index_key_len = key_length;
  h->data_key_len = key_length;

  const bool keyed = key_length > 0;
  auto* out = static_cast<uint8_t*>(buffer);
  Budget budget = walk_budget(*h);
  h->found = 0;
  h->status = rc::kOk;
  while (h->status == rc::kOk && !h->found) {
    if (!keyed && h->current_level == 0) {
      h->child_block = 0;
      h->child_count = h->levels[kDataLevel].size;
      h->restart = 1;
      h->current_level = kInOrderLevel;
    }
    while (h->status == rc::kOk && h->current_level < h->level_count) {
      const int r = search_index(*h, &budget, detail);
      if (r == rc::kOk) {
        ++h->current_level;
        h->restart = 1;
      } else if (r == rc::kNotFound && h->current_level > 0) {
        --h->current_level;
      } else {
        h->status = r;
      }
    }
    if (h->status != rc::kOk) break;
    const int r = search_data(*h, out, &budget, detail);
    if (r == rc::kNotFound && keyed && h->current_level > 0 && h->current_level != kInOrderLevel) {
      // The range is used up: the bottom level takes its next entry.
      --h->current_level;
    } else if (r != rc::kOk) {
      h->status = r;
    }
  }
  return h->status == rc::kOk && !h->found ? rc::kNotFound : h->status;
}

}  // namespace zk::catalog
