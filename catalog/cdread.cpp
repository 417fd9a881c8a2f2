// The read loop over the index walk and the data scan, and the functions
// that reposition, measure and close a file set.
//
// A read keeps its place in the handle: each call goes on from where the
// previous one stopped (the current level, every level's scan range, cursor,
// loaded block and last key taken), so repeated calls with the same key
// return the matching records one after another. A read with key length 0
// reads the data file in order from its first block, or from where cdseek
// or cdseek_key put it.
#include "catalog/cdread.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "catalog/block_io.h"
#include "catalog/cd_handle.h"
#include "catalog/data_scan.h"
#include "catalog/format.h"
#include "catalog/index_search.h"
#include "catalog/key_compare.h"

namespace zk::catalog {

namespace {

uint32_t blocks_from(uint32_t size, uint32_t block) { return block < size ? size - block : 0; }

// Walks down the index from the current level: each entry taken sends the
// search one level down, a level with nothing more for the key sends it back
// up, where that level's next entry is taken. Ends at the data level (0),
// with the top level's -1, or with a failure.
int descend(zkall_cd_handle& h, Walk& walk, int32_t& detail) {
  while (h.current_level < h.level_count) {
    const int r = search_index(h, &walk, detail);
    if (r == rc::kOk) {
      ++h.current_level;
      h.restart = 1;
    } else if (r == rc::kNotFound && h.current_level > 0) {
      --h.current_level;
    } else {
      return r;
    }
  }
  return rc::kOk;
}

}  // namespace

int cdread(zkall_cd_handle* h, void* buffer, const char* key, int32_t key_length, int32_t blocks,
           int32_t* blocks_read, int32_t* record_index, int32_t& detail) {
  detail = 0;
  HandleState* state = handle_state(h);
  if (state == nullptr) return refuse(detail, detail_code::kReadNoHandle);
  if (blocks_read != nullptr) *blocks_read = 0;
  if (record_index != nullptr) *record_index = 0;
  zkall_cd_level& data = h->levels[kDataLevel];
  if (data.size == 0) return rc::kNotFound;
  if (int r = initial_set(*h, key, key_length, nullptr, detail); r != rc::kOk) return r;
  if (int r = check_record_layout(*h, detail); r != rc::kOk) return r;

  // The status of the last step stands until cdreopen: after the end of a
  // search (-1) or a failure, every read answers it again, with its detail,
  // whatever key it is given.
  if (h->status != rc::kOk) {
    detail = state->status_detail;
    return h->status;
  }
  // "Keyed" means the caller gave a key: a key length of 0 reads in order,
  // even on a file whose index key length is 0.
  const bool keyed = h->data_key_len > 0;
  Walk walk(work_limit(*h));
  int32_t delivered = 0;
  h->found = 0;
  while (h->status == rc::kOk && !h->found) {
    if (!keyed && h->current_level == 0) {
      h->child_block = 0;
      h->child_count = data.size;
      h->restart = 1;
      h->current_level = kInOrderLevel;
    }
    h->status = descend(*h, walk, detail);
    if (h->status != rc::kOk) break;
    const int r = search_data(*h, buffer, blocks, &delivered, nullptr, &walk.budget, detail);
    if (r == rc::kNotFound && keyed && h->current_level > 0) {
      // The range is used up: the bottom level takes its next entry.
      --h->current_level;
    } else if (r != rc::kOk) {
      h->status = r;
    }
  }
  if (h->status != rc::kOk) {
    state->status_detail = detail;
    return h->status;
  }
  const bool block_mode = h->read_mode == kReadModeBlock;
  h->blocks_read = block_mode ? delivered : 0;
  h->record_index = 0;
  if (blocks_read != nullptr) *blocks_read = h->blocks_read;
  return rc::kOk;
}

int cdreopen(zkall_cd_handle* h, int32_t& detail) {
  detail = 0;
  HandleState* state = handle_state(h);
  if (state == nullptr) return refuse(detail, detail_code::kReopenNoHandle);
  state->status_detail = 0;
  for (zkall_cd_level& level : h->levels) {
    level.scan_start = 0;
    level.scan_count = 0;
    level.blocks_scanned = 0;
    level.entry_index = 0;
    level.loaded = 0;
    std::memset(level.last_key, 0, sizeof level.last_key);
  }
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
  zkall_cd_level& top = h->levels[kTopLevel];
  top.scan_start = top.base_block;
  top.scan_count = top.size;

  // Every read seeks first; these positions serve callers that read the
  // files themselves. A file shared by several levels is positioned once,
  // for the first of them.
  std::array<int32_t, kDescriptors> sought{};
  size_t count = 0;
  for (int level : {kDataLevel, 0, 1, 2}) {
    const int32_t fd = h->levels[level].fd;
    if (fd < 0 || std::find(sought.begin(), sought.begin() + static_cast<std::ptrdiff_t>(count), fd) !=
                      sought.begin() + static_cast<std::ptrdiff_t>(count))
      continue;
    sought[count++] = fd;
    if (int r = seek_block(*h, level, 0, detail); r != rc::kOk) return r;
  }
  return rc::kOk;
}

int cdseek(zkall_cd_handle* h, int32_t level, uint32_t block, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kSeekNoHandle);
  if (level != kDataLevel) return refuse(detail, detail_code::kSeekBadLevel);
  if (int r = cdreopen(h, detail); r != rc::kOk) return r;
  zkall_cd_level& data = h->levels[kDataLevel];
  data.scan_start = data.base_block;
  if (int r = seek_block(*h, kDataLevel, block, detail); r != rc::kOk) return r;
  data.scan_start = 0;
  h->child_block = block;
  h->child_count = blocks_from(data.size, block);
  h->restart = 1;
  h->current_level = kInOrderLevel;
  return rc::kOk;
}

int cdseek_key(zkall_cd_handle* h, const char* key, int32_t key_length, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h) || key_length < 1) return refuse(detail, detail_code::kSeekKeyRefused);
  if (int r = initial_set(*h, key, key_length, nullptr, detail); r != rc::kOk) return r;
  if (int r = check_record_layout(*h, detail); r != rc::kOk) return r;
  // Only an entry taken at the bottom level gives a child range to scan.
  if (h->current_level >= h->level_count) return rc::kNotFound;
  Walk walk(work_limit(*h));
  if (descend(*h, walk, detail) != rc::kOk || h->current_level != h->level_count) return rc::kNotFound;

  zkall_cd_level& data = h->levels[kDataLevel];
  const std::span<const uint8_t> search_key{reinterpret_cast<const uint8_t*>(h->data_key),
                                            static_cast<size_t>(h->data_key_len)};
  data.scan_start = data.base_block + h->child_block;
  data.scan_count = h->child_count;
  data.blocks_scanned = 0;
  data.entry_index = 0;
  data.loaded = 0;
  if (int r = seek_block(*h, kDataLevel, 0, detail); r != rc::kOk) return r;
  for (uint32_t b = 0; b < h->child_count; ++b) {
    if (int r = engine_read(*h, kDataLevel, data.buffer, 1, &walk.budget, detail); r != rc::kOk) return r;
    ++data.blocks_scanned;
    const ScanStop stop =
        scan_entries(search_key, static_cast<size_t>(h->key_offset), h->data_mask, {data.buffer, kBlockSize},
                     static_cast<size_t>(h->record_length), true);
    if (stop.outcome == 0) continue;
    data.scan_start = data.base_block + h->child_block + b;
    data.scan_count = blocks_from(data.size, h->child_block + b);
    data.blocks_scanned = 0;
    data.loaded = 0;
    h->restart = 0;
    return seek_block(*h, kDataLevel, 0, detail);
  }
  return rc::kNotFound;
}

uint32_t cdfilelen(const zkall_cd_handle* h) { return owns_handle(h) ? h->levels[kDataLevel].size : 0; }

int cdclose(zkall_cd_handle** handle, int32_t& detail) {
  detail = 0;
  if (handle == nullptr || *handle == nullptr) return rc::kOk;
  // A handle that is not the library's is refused untouched, and so is the
  // caller's pointer to it.
  if (!owns_handle(*handle)) return refuse(detail, detail_code::kCloseNotOwned);
  const int r = release_handle(*handle, detail);
  *handle = nullptr;
  return r;
}

}  // namespace zk::catalog
