// The search keys and the walk down the index levels.
#include "catalog/index_search.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "catalog/block_io.h"
#include "catalog/cd_handle.h"
#include "catalog/format.h"
#include "catalog/key_compare.h"

namespace zk::catalog {

namespace {

bool decimal(const uint8_t* digits, size_t count, uint32_t& value) {
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    if (digits[i] < '0' || digits[i] > '9') return false;
    value = value * 10 + static_cast<uint32_t>(digits[i] - '0');
  }
  return true;
}

// The entry layout must leave room for the key and the child pointer inside
// one block, and the key must fit the level's last-key field.
bool index_layout_ok(const zkall_cd_handle& h) {
  return h.entry_length >= 1 && h.entry_length <= static_cast<int32_t>(kBlockSize) && h.index_key_length >= 0 &&
         h.index_key_length <= static_cast<int32_t>(kLastKeySize) &&
         h.index_key_length + static_cast<int32_t>(kChildPointerSize) <= h.entry_length;
}

// Whether another entry follows the one at `index` in the loaded block.
bool entry_follows(const zkall_cd_level& level, uint32_t index, size_t entry_length) {
  return index < kBlockSize / entry_length && level.buffer[index * entry_length] != 0;
}

}  // namespace

int cdread_initial_set(zkall_cd_handle* h, const char* key, int32_t key_length, zkall_cd_level** levels,
                       int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kStepRefused);
  return initial_set(*h, key, key_length, levels, detail);
}

int cdread_search_index(zkall_cd_handle* h, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kStepRefused);
  return search_index(*h, nullptr, detail);
}

int initial_set(zkall_cd_handle& h, const char* key, int32_t key_length, zkall_cd_level** levels,
                int32_t& detail) {
  detail = 0;
  if (levels != nullptr) {
    for (int i = 0; i < kMaxLevels; ++i) levels[i] = &h.levels[i];
  }
  if (key_length > h.key_length) return refuse(detail, detail_code::kKeyTooLong);
  if (key_length < 0 || key_length > static_cast<int32_t>(kSearchKeySize) || (key_length > 0 && key == nullptr))
    return refuse(detail, detail_code::kBadSearchKey);

  std::memset(h.index_key, 0, sizeof h.index_key);
  std::memset(h.data_key, 0, sizeof h.data_key);
  const size_t length = static_cast<size_t>(key_length);
  if (length > 0) std::memcpy(h.data_key, key, length);
  h.data_key_len = key_length;

  if (drops_sixth_byte(h.file_kind) && length > kDroppedKeyByte) {
    std::memcpy(h.index_key, key, kDroppedKeyByte);
    std::memcpy(h.index_key + kDroppedKeyByte, key + kDroppedKeyByte + 1, length - kDroppedKeyByte - 1);
    h.index_key_len = key_length - 1;
  } else {
    const int32_t n = drops_sixth_byte(h.file_kind) ? key_length : std::clamp(h.index_key_length, 0, key_length);
    if (n > 0) std::memcpy(h.index_key, key, static_cast<size_t>(n));
    h.index_key_len = n;
  }
  return rc::kOk;
}

int search_index(zkall_cd_handle& h, Walk* walk, int32_t& detail) {
  detail = 0;
  if (h.level_count < 0 || h.level_count > kMaxLevels) return refuse(detail, detail_code::kBadLevelCount);
  const int32_t at = h.current_level;
  if (at < 0 || at >= h.level_count) return refuse(detail, detail_code::kStepRefused);
  if (!index_layout_ok(h)) return refuse(detail, detail_code::kBadIndexLayout);
  if (h.index_key_len < 0 || h.index_key_len > static_cast<int32_t>(kSearchKeySize))
    return refuse(detail, detail_code::kBadSearchKey);

  zkall_cd_level& level = h.levels[at];
  h.current = &level;
  const size_t key_length = static_cast<size_t>(h.index_key_len);
  const auto* search_key = reinterpret_cast<const uint8_t*>(h.index_key);

  // The entries come in key order: once the entry taken here lies beyond the
  // key (compared as stored, without folding), the key's range has ended.
  const int last_vs_key = std::memcmp(level.last_key, search_key, key_length);
  if (last_vs_key > 0) return rc::kNotFound;
  // An exact level holds one entry per key: taken once, nothing follows it.
  // Alternate index sets repeat a key for every block that holds it.
  if (h.index_key_length == h.index_key_len && level.match_mask == kMaskExact &&
      !is_alternate_kind(h.file_kind) && last_vs_key == 0)
    return rc::kNotFound;

  const size_t entry_length = static_cast<size_t>(h.entry_length);
  for (;;) {
    // A level is read only into its own buffer (none: 401, after the seek).
    if (!level.loaded || level.buffer == nullptr) {
      // The level is searched again only once everything below the entries
      // it took has been walked: the block it has left is done with.
      if (walk != nullptr && at != kTopLevel && level.blocks_scanned > 0)
        walk->left(at, uint64_t{level.scan_start} + level.blocks_scanned - 1);
      if (level.blocks_scanned >= level.scan_count) return rc::kNotFound;
      if (walk != nullptr && walk->passes_over(at, uint64_t{level.scan_start} + level.blocks_scanned)) {
        ++level.blocks_scanned;
        continue;
      }
      if (int r = read_index_block(h, at, level.blocks_scanned, walk != nullptr ? &walk->budget : nullptr, detail);
          r != rc::kOk)
        return r;
      if (walk != nullptr) walk->read(at, uint64_t{level.scan_start} + level.blocks_scanned);
      ++level.blocks_scanned;
      level.entry_index = 0;
      level.loaded = 1;
    }
    const size_t from = std::min<size_t>(static_cast<size_t>(level.entry_index) * entry_length, kBlockSize);
    const ScanStop stop = scan_entries({search_key, key_length}, 0, level.match_mask,
                                       {level.buffer + from, kBlockSize - from}, entry_length, true);
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
  uint32_t child_block = 0;
  uint32_t child_count = 0;
  if (!decimal(entry + index_key_length, kChildBlockDigits, child_block) ||
      !decimal(entry + index_key_length + kChildBlockDigits, kChildCountDigits, child_count))
    return refuse(detail, detail_code::kBadChildPointer);
  const int32_t child_level = at + 1 < h.level_count ? at + 1 : kDataLevel;
  zkall_cd_level& child = h.levels[child_level];
  const uint64_t child_end = static_cast<uint64_t>(child_block) + child_count;
  // A range must lie inside the level or data file it points into; an
  // absent index level has no run to check it against, and a read of it
  // fails at its seek.
  const bool absent_level = child_level != kDataLevel && child.size == 0;
  if ((!absent_level && child_end > child.size) || child.base_block + child_end > UINT32_MAX)
    return refuse(detail, detail_code::kChildRangePastEnd);

  std::memcpy(level.last_key, entry, index_key_length);
  h.child_block = child_block;
  h.child_count = child_count;
  if (child_level != kDataLevel) {
    // The next level searches its new range from the start; a block it still
    // holds from the previous range belongs to that range, not to this one.
    child.scan_start = child.base_block + child_block;
    child.scan_count = child_count;
    child.blocks_scanned = 0;
    child.entry_index = 0;
    child.loaded = 0;
  }

  ++level.entry_index;
  // The top level keeps its block: its next search there finds nothing more.
  if (at != kTopLevel && !entry_follows(level, level.entry_index, entry_length)) level.loaded = 0;
  return rc::kOk;
}

}  // namespace zk::catalog
