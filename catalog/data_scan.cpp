// Scanning the data file's child ranges for records and blocks.
//
// Block mode with a key (no caller of the catalog reads that way, so the
// rules are the engine's own): the first block of the range holding a
// matching record goes to the start of the caller's buffer; up to (blocks -
// 1) further blocks of the range are read behind it in the same read; the
// delivery then ends with the last of them that still holds a record equal
// to the key, and the cursor goes back to the block after it, so the next
// read with the key carries on there.
#include "catalog/data_scan.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "catalog/block_io.h"
#include "catalog/cd_handle.h"
#include "catalog/format.h"
#include "catalog/key_compare.h"

namespace zk::catalog {

namespace {

uint32_t blocks_from(uint32_t size, uint32_t block) { return block < size ? size - block : 0; }

// The record layout a read needs: whole records in a block, and a key field
// inside the record for every key it compares.
int record_layout(const zkall_cd_handle& h, bool block_mode, bool keyed, int32_t& detail) {
  if (!keyed && block_mode) return rc::kOk;
  if (h.record_length < 1 || h.record_length > static_cast<int32_t>(kBlockSize))
    return refuse(detail, detail_code::kBadRecordLength);
  if (!keyed) return rc::kOk;
  if (h.data_key_len > static_cast<int32_t>(kSearchKeySize)) return refuse(detail, detail_code::kBadSearchKey);
  if (h.key_offset < 0 || static_cast<int64_t>(h.key_offset) + h.data_key_len > h.record_length)
    return refuse(detail, detail_code::kKeyOutsideRecord);
  if (is_alternate_kind(h.file_kind) && !block_mode &&
      (h.index_key_length < 0 || h.index_key_length > static_cast<int32_t>(kLastKeySize) ||
       static_cast<int64_t>(h.key_offset) + h.index_key_length > h.record_length))
    return refuse(detail, detail_code::kKeyOutsideRecord);
  return rc::kOk;
}

struct Scan {
  zkall_cd_handle& h;
  zkall_cd_level& data;
  WorkBudget* budget;
  std::span<const uint8_t> key;
  size_t record_length;
  size_t key_offset;

  std::span<const uint8_t> block_from(const uint8_t* block, uint32_t index) const {
    const size_t from = std::min<size_t>(static_cast<size_t>(index) * record_length, kBlockSize);
    return {block + from, kBlockSize - from};
  }
  bool record_at(uint32_t index) const {
    return index < kBlockSize / record_length && data.buffer[index * record_length] != 0;
  }
  // Whether a block holds a record equal to the key.
  bool holds_key(const uint8_t* block) const {
    return scan_entries(key, key_offset, kMaskExact, {block, kBlockSize}, record_length, true).outcome != 0;
  }
};

// A new child range, or the position cdseek left: where the scan starts.
int take_up_range(zkall_cd_handle& h, bool block_mode, bool keyed, int32_t& detail) {
  zkall_cd_level& data = h.levels[kDataLevel];
  h.restart = 0;
  data.entry_index = 0;
  data.loaded = 0;
  const uint64_t first = static_cast<uint64_t>(data.base_block) + h.child_block;
  const uint64_t position = static_cast<uint64_t>(data.scan_start) + data.blocks_scanned;
  if (first > UINT32_MAX) return refuse(detail, detail_code::kChildRangePastEnd);
  if (!block_mode && keyed && !is_alternate_kind(h.file_kind) && position > first) {
    // Consecutive child ranges may share blocks: records already passed
    // are not read again.
    data.blocks_scanned = static_cast<uint32_t>(std::min<uint64_t>(position - first, UINT32_MAX));
    data.scan_start = static_cast<uint32_t>(first);
    data.scan_count = h.child_count;
  } else {
    data.scan_start = static_cast<uint32_t>(first);
    data.blocks_scanned = 0;
    data.scan_count = block_mode ? blocks_from(data.size, h.child_block) : h.child_count;
  }
  return seek_block(h, kDataLevel, data.blocks_scanned, detail);
}

// Block mode with a key, after a match in the block at the buffer's start.
int follow_matching_blocks(const Scan& s, uint8_t* buffer, int32_t wanted, int32_t& delivered,
                           int32_t& detail) {
  zkall_cd_level& data = s.data;
  const uint32_t room = static_cast<uint32_t>(std::min(wanted, kMaxBlocksPerRead) - 1);
  const uint32_t extra = std::min(room, data.scan_count - data.blocks_scanned);
  uint32_t last = 0;
  if (extra > 0) {
    if (int r = engine_read(s.h, kDataLevel, buffer + kBlockSize, static_cast<int32_t>(extra), s.budget, detail);
        r != rc::kOk)
      return r;
    data.blocks_scanned += extra;
    last = extra;
    while (last > 0 && !s.holds_key(buffer + static_cast<size_t>(last) * kBlockSize)) --last;
    if (last < extra) {
      data.blocks_scanned -= extra - last;
      if (int r = seek_block(s.h, kDataLevel, data.blocks_scanned, detail); r != rc::kOk) return r;
    }
  }
  delivered = static_cast<int32_t>(last + 1);
  return rc::kOk;
}

// Record mode, alternate index set: the records of the block are in the
// order of the main key, so every record whose index field equals the key
// of the index entry taken is a candidate, and a candidate is a match when
// its key field is the search key byte for byte.
bool next_alternate_match(const Scan& s) {
  zkall_cd_handle& h = s.h;
  zkall_cd_level& data = s.data;
  if (h.level_count < 1 || h.level_count > kMaxLevels) return false;
  const auto* entry_key = reinterpret_cast<const uint8_t*>(h.levels[h.level_count - 1].last_key);
  const std::span<const uint8_t> index_key{entry_key, static_cast<size_t>(h.index_key_length)};
  while (s.record_at(data.entry_index)) {
    const ScanStop stop = scan_entries(index_key, s.key_offset, h.data_mask,
                                       s.block_from(data.buffer, data.entry_index), s.record_length, true);
    if (stop.outcome == 0) return false;
    const uint32_t r = data.entry_index + stop.index;
    const uint8_t* field = data.buffer + static_cast<size_t>(r) * s.record_length + s.key_offset;
    if (std::memcmp(field, s.key.data(), s.key.size()) == 0) {
      data.entry_index = r;
      return true;
    }
    data.entry_index = r + 1;
  }
  return false;
}

}  // namespace

int check_record_layout(const zkall_cd_handle& h, int32_t& detail) {
  return record_layout(h, h.read_mode == kReadModeBlock, h.data_key_len > 0, detail);
}

int cdread_search_data(zkall_cd_handle* h, void* buffer, int32_t blocks, int32_t* blocks_read,
                       int32_t* record_index, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kStepRefused);
  return search_data(*h, buffer, blocks, blocks_read, record_index, nullptr, detail);
}

int search_data(zkall_cd_handle& h, void* buffer, int32_t blocks, int32_t* blocks_read, int32_t* record_index,
                WorkBudget* budget, int32_t& detail) {
  detail = 0;
  zkall_cd_level& data = h.levels[kDataLevel];
  h.found = 0;
  h.current = &data;
  const bool block_mode = h.read_mode == kReadModeBlock;
  const bool keyed = h.data_key_len > 0;
  if (int r = record_layout(h, block_mode, keyed, detail); r != rc::kOk) return r;
  if (buffer == nullptr || (!block_mode && data.buffer == nullptr))
    return refuse(detail, detail_code::kBadBlockRequest);
  if (record_index != nullptr) *record_index = 0;

  if (h.restart) {
    if (int r = take_up_range(h, block_mode, keyed, detail); r != rc::kOk) return r;
  } else if (block_mode) {
    data.entry_index = 0;
  }

  const Scan s{h, data, budget, {reinterpret_cast<const uint8_t*>(h.data_key), static_cast<size_t>(h.data_key_len)},
               static_cast<size_t>(std::max(h.record_length, 1)), static_cast<size_t>(std::max(h.key_offset, 0))};
  auto* out = static_cast<uint8_t*>(buffer);
  for (;;) {
    if (!data.loaded) {
      if (data.blocks_scanned >= data.scan_count) return rc::kNotFound;
      if (block_mode && !keyed) {
        const uint32_t n = std::min<uint32_t>(data.scan_count - data.blocks_scanned,
                                              static_cast<uint32_t>(std::clamp(blocks, 0, kMaxBlocksPerRead)));
        if (int r = engine_read(h, kDataLevel, out, static_cast<int32_t>(n), budget, detail); r != rc::kOk) return r;
        data.blocks_scanned += n;
        h.found = 1;
        if (blocks_read != nullptr) *blocks_read = static_cast<int32_t>(n);
        return rc::kOk;
      }
      // A block-mode read by key needs room for at least the one block.
      const int32_t one = block_mode && blocks < 1 ? 0 : 1;
      if (int r = engine_read(h, kDataLevel, block_mode ? out : data.buffer, one, budget, detail); r != rc::kOk)
        return r;
      ++data.blocks_scanned;
      if (blocks_read != nullptr) *blocks_read = 1;
      data.entry_index = 0;
      data.loaded = 1;
    }

    if (block_mode) {
      // The caller's buffer is overwritten by the next block either way.
      data.loaded = 0;
      if (scan_entries(s.key, s.key_offset, h.data_mask, {out, kBlockSize}, s.record_length, true).outcome == 0)
        continue;
      int32_t delivered = 0;
      if (int r = follow_matching_blocks(s, out, blocks, delivered, detail); r != rc::kOk) return r;
      h.found = 1;
      if (blocks_read != nullptr) *blocks_read = delivered;
      return rc::kOk;
    }

    bool match = false;
    if (!keyed) {
      match = s.record_at(data.entry_index);
    } else if (is_alternate_kind(h.file_kind)) {
      match = next_alternate_match(s);
    } else {
      const ScanStop stop = scan_entries(s.key, s.key_offset, h.data_mask, s.block_from(data.buffer, data.entry_index),
                                         s.record_length, true);
      if (stop.outcome != 0) {
        data.entry_index += stop.index;
        match = true;
      }
    }
    if (!match) {
      data.loaded = 0;
      data.entry_index = 0;
      continue;
    }

    h.found = 1;
    std::memcpy(out, data.buffer + static_cast<size_t>(data.entry_index) * s.record_length, s.record_length);
    ++data.entry_index;
    if (!s.record_at(data.entry_index)) {
      data.entry_index = 0;
      data.loaded = 0;
    }
    return rc::kOk;
  }
}

}  // namespace zk::catalog
