// The process's pool of kept index blocks, found by open and block number,
// in the order of their last use.
#include "catalog/block_cache.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "catalog/format.h"
#include "startup/file_handles.h"

namespace zk::catalog {

namespace {

struct Key {
  uint64_t serial = 0;
  uint64_t block = 0;
  bool operator==(const Key&) const = default;
};

struct KeyHash {
  size_t operator()(const Key& k) const {
    return static_cast<size_t>(k.serial * 0x9E3779B97F4A7C15ull ^ (k.block + (k.block << 17)));
  }
};

constexpr uint32_t kNoSlot = UINT32_MAX;

struct Slot {
  Key key;
  int32_t fd = -1;
  uint32_t newer = kNoSlot;  // towards the block used last
  uint32_t older = kNoSlot;
  std::array<uint8_t, kBlockSize> bytes;
};

class Pool {
 public:
  const uint8_t* find(const Key& key) {
    const auto it = index_.find(key);
    if (it == index_.end()) return nullptr;
    touch(it->second);
    return slots_[it->second].bytes.data();
  }

  void keep(const Key& key, int32_t fd, const uint8_t* data) {
    uint32_t s = kNoSlot;
    if (const auto it = index_.find(key); it != index_.end()) {
      s = it->second;
    } else {
      s = take_slot();
      if (s == kNoSlot) return;
      try {
        index_.emplace(key, s);
      } catch (const std::bad_alloc&) {
        free_.push_back(s);
        return;
      }
      slots_[s].key = key;
      slots_[s].fd = fd;
    }
    std::memcpy(slots_[s].bytes.data(), data, kBlockSize);
    touch(s);
  }

  void drop_fd(int32_t fd) {
    for (uint32_t s = 0; s < slots_.size(); ++s) {
      if (slots_[s].fd == fd) release(s);
    }
  }

  size_t size() const { return index_.size(); }

 private:
  void unlink(uint32_t s) {
    Slot& x = slots_[s];
    if (x.newer != kNoSlot) slots_[x.newer].older = x.older; else newest_ = x.older;
    if (x.older != kNoSlot) slots_[x.older].newer = x.newer; else oldest_ = x.newer;
    x.newer = x.older = kNoSlot;
  }

  void touch(uint32_t s) {
    if (newest_ == s) return;
    if (slots_[s].newer != kNoSlot || slots_[s].older != kNoSlot || oldest_ == s) unlink(s);
    slots_[s].older = newest_;
    if (newest_ != kNoSlot) slots_[newest_].newer = s;
    newest_ = s;
    if (oldest_ == kNoSlot) oldest_ = s;
  }

  void release(uint32_t s) {
    unlink(s);
    index_.erase(slots_[s].key);
    slots_[s].fd = -1;
    slots_[s].key = Key{};
    free_.push_back(s);
  }

  // A free slot, a new one while the pool is below its size, else the slot
  // of the block used longest ago. kNoSlot when memory cannot be had.
  uint32_t take_slot() {
    try {
      if (!free_.empty()) {
        const uint32_t s = free_.back();
        free_.pop_back();
        return s;
      }
      if (slots_.size() < kBlockCacheBlocks) {
        // Reserved once, so the addresses handed out by find stay put.
        if (slots_.capacity() < kBlockCacheBlocks) slots_.reserve(kBlockCacheBlocks);
        slots_.emplace_back();
        return static_cast<uint32_t>(slots_.size() - 1);
      }
    } catch (const std::bad_alloc&) {
      return kNoSlot;
    }
    if (oldest_ == kNoSlot) return kNoSlot;
    const uint32_t s = oldest_;
    release(s);
    free_.pop_back();
    return s;
  }

  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
  std::unordered_map<Key, uint32_t, KeyHash> index_;
  uint32_t newest_ = kNoSlot;
  uint32_t oldest_ = kNoSlot;
};

// Never destroyed: a handle still open when the process ends may be closed
// by another static's destructor, after this one's would have run.
Pool& pool() {
  static Pool* const p = std::make_unique<Pool>().release();
  return *p;
}

bool g_on = true;

}  // namespace

const uint8_t* cached_block(int32_t fd, uint64_t block) {
  const uint64_t serial = startup::open_serial(fd);
  if (!g_on || serial == 0) return nullptr;
  return pool().find({serial, block});
}

void keep_block(int32_t fd, uint64_t block, const uint8_t* data) {
  const uint64_t serial = startup::open_serial(fd);
  if (!g_on || serial == 0) return;
  pool().keep({serial, block}, fd, data);
}

void drop_blocks(int32_t fd) {
  if (fd >= 0) pool().drop_fd(fd);
}

void set_block_cache(bool on) { g_on = on; }

bool block_cache_on() { return g_on; }

size_t cached_block_count() { return pool().size(); }

}  // namespace zk::catalog
