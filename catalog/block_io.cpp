// Seeking and reading the blocks of a file set's files.
#include "catalog/block_io.h"

#include <algorithm>
#include <cstring>

#include "catalog/block_cache.h"
#include "catalog/cd_handle.h"
#include "catalog/format.h"
#include "platform/platform.h"

namespace zk::catalog {

namespace {

constexpr uint64_t kWorkFactor = 16;
constexpr uint64_t kWorkSlack = 64;

// Blocks the set's present files hold, each no more than its physical file
// holds behind its base block.
uint64_t measure_set(const zkall_cd_handle& h) {
  uint64_t total = 0;
  for (const zkall_cd_level& d : h.levels) {
    if (d.size == 0 || d.fd < 0) continue;
    int error = 0;
    const int64_t length = platform::current().filelength(d.fd, error);
    uint64_t there = d.size;
    if (length >= 0) {
      const uint64_t file_blocks = (static_cast<uint64_t>(length) + kBlockSize - 1) / kBlockSize;
      there = file_blocks > d.base_block ? file_blocks - d.base_block : 0;
    }
    total += std::min<uint64_t>(d.size, there);
  }
  return total;
}

}  // namespace

uint64_t work_limit(zkall_cd_handle& h) {
  HandleState* state = handle_state(&h);
  uint64_t blocks = 0;
  if (state == nullptr) {
    blocks = measure_set(h);
  } else {
    if (!state->measured) {
      state->set_blocks = measure_set(h);
      state->measured = true;
    }
    blocks = state->set_blocks;
  }
  return kWorkFactor * blocks + kWorkSlack;
}

int seek_block(zkall_cd_handle& h, int32_t level, uint32_t block, int32_t& detail) {
  detail = 0;
  if (level < 0 || level > kDataLevel) return refuse(detail, detail_code::kSeekOnlyBadLevel);
  const zkall_cd_level& d = h.levels[level];
  if (d.fd < 0) return refuse(detail, detail_code::kSeekOnlyNotOpen);
  const int64_t offset = (static_cast<int64_t>(d.scan_start) + block) * static_cast<int64_t>(kBlockSize);
  int error = 0;
  if (platform::current().lseek(d.fd, offset, platform::kSeekSet, error) < 0) {
    detail = error;
    return rc::kSeekFailed;
  }
  return rc::kOk;
}

int read_blocks(zkall_cd_handle& h, int32_t level, void* buffer, int32_t blocks, int32_t& detail) {
  detail = 0;
  if (level < 0 || level > kDataLevel || buffer == nullptr || blocks < 1 || blocks > kMaxBlocksPerRead ||
      h.levels[level].fd < 0)
    return refuse(detail, detail_code::kBadBlockRequest);
  const zkall_cd_level& d = h.levels[level];
  if (d.location_kind > kLocationInMaster) return rc::kOk;
  const size_t wanted = static_cast<size_t>(blocks) * kBlockSize;
  int error = 0;
  const int64_t got = platform::current().read(d.fd, buffer, wanted, error);
  if (got != static_cast<int64_t>(wanted)) {
    detail = error;
    return rc::kReadFailed;
  }
  return rc::kOk;
}

int engine_read(zkall_cd_handle& h, int32_t level, void* buffer, int32_t blocks, WorkBudget* budget,
                int32_t& detail) {
  detail = 0;
  if (level >= 0 && level <= kDataLevel && h.levels[level].location_kind > kLocationInMaster)
    return refuse(detail, detail_code::kUnreadableLocation);
  if (budget != nullptr && !budget->spend(static_cast<uint64_t>(std::max(blocks, 0))))
    return refuse(detail, detail_code::kWorkLimit);
  return read_blocks(h, level, buffer, blocks, detail);
}

int read_index_block(zkall_cd_handle& h, int32_t level, uint32_t block, WorkBudget* budget, int32_t& detail) {
  detail = 0;
  zkall_cd_level& d = h.levels[level];
  const uint64_t absolute = uint64_t{d.scan_start} + block;
  // Only what a read would have delivered is ever kept: a block of an open
  // file of a readable location kind, read into the level's own buffer.
  if (d.fd >= 0 && d.buffer != nullptr && d.location_kind <= kLocationInMaster) {
    if (const uint8_t* kept = cached_block(d.fd, absolute)) {
      if (budget != nullptr && !budget->spend(1)) return refuse(detail, detail_code::kWorkLimit);
      std::memcpy(d.buffer, kept, kBlockSize);
      return rc::kOk;
    }
  }
  if (int r = seek_block(h, level, block, detail); r != rc::kOk) return r;
  if (int r = engine_read(h, level, d.buffer, 1, budget, detail); r != rc::kOk) return r;
  if (d.buffer != nullptr) keep_block(d.fd, absolute, d.buffer);
  return rc::kOk;
}

int cdseek_only(zkall_cd_handle* h, int32_t level, uint32_t block, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kSeekOnlyNoHandle);
  return seek_block(*h, level, block, detail);
}

int cdread_read_block(zkall_cd_handle* h, int32_t level, void* buffer, int32_t blocks, int32_t& detail) {
  detail = 0;
  if (!owns_handle(h)) return refuse(detail, detail_code::kBadBlockRequest);
  return read_blocks(*h, level, buffer, blocks, detail);
}

}  // namespace zk::catalog
