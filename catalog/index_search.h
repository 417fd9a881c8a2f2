// Preparing a search and the walk down the index levels: the search keys
// made from the caller's key, and taking the next entry for the key at one
// level, which sets the scan range of the level below.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_set>

#include "catalog/block_io.h"
#include "zkall.h"

namespace zk::catalog {

// Stores the data search key (the key itself) and the index search key
// (for file kinds 14 and 15 and keys of 6 bytes or more the key without its
// sixth byte; otherwise at most the index key length of it), and hands out
// the three index level descriptors top to bottom when `levels` is given.
// 0, or 128 with 404 (key longer than the file's key), 405 (negative, above
// 20 bytes, or null with a length) or 410 (no handle, or not one of the
// library's); a refusal changes nothing in the handle.
int cdread_initial_set(zkall_cd_handle* h, const char* key, int32_t key_length, zkall_cd_level** levels,
                       int32_t& detail);

// Takes the next entry for the index search key at the handle's current
// level and, above the bottom level, sets the next level's scan range to its
// child range. 0 when an entry was taken; -1 when the level has nothing
// (more) for the key, its scan range empty included; 14, 15 from reading;
// 128 with 406 (index layout), 407 (level count), 408 (child pointer not
// digits), 409 (child range past the end of the present level or data file
// it points into), 410 (no handle, not one of the library's, or no current
// index level), 411 (a level of an unknown location kind), 503 (a level to
// be read whose file is not open: the seek comes first), 401 (no buffer).
// An absent level (size 0) in the middle of the levels is given its child
// range like any other; reading it then fails at its seek (503).
int cdread_search_index(zkall_cd_handle* h, int32_t& detail);

// ---- inside the engine: the handle is known to be the library's ------------
int initial_set(zkall_cd_handle& h, const char* key, int32_t key_length, zkall_cd_level** levels, int32_t& detail);

// One read's walk down the index. Each entry taken for the key sends the
// walk through its child range, and a range may take in blocks an earlier
// range took in (real files share a block between neighbours; a damaged
// index may give every entry the whole level below). A block below the top
// that this call read and has left has had every entry for the key taken,
// and everything below them walked, without a match (a match ends the
// call): walking it again in the same call would take the same entries to
// the same end, so it is passed over unread. What is left is bounded by the
// budget: data scans that start afresh for every range (alternate index
// sets, block mode).
class Walk {
 public:
  explicit Walk(uint64_t limit) : budget(limit) { last_read_.fill(kNone); }
  WorkBudget budget;
  void read(int level, uint64_t block) { last_read_[static_cast<size_t>(level)] = block; }
  // A level leaves a block before it reads the next one, so a block left
  // that this call read is the last block the call read at that level.
  void left(int level, uint64_t block) {
    if (last_read_[static_cast<size_t>(level)] == block) left_[static_cast<size_t>(level)].insert(block);
  }
  bool passes_over(int level, uint64_t block) const { return left_[static_cast<size_t>(level)].count(block) != 0; }

 private:
  static constexpr uint64_t kNone = UINT64_MAX;
  std::array<uint64_t, 3> last_read_;
  std::array<std::unordered_set<uint64_t>, 3> left_;
};

// With a walk, the blocks read are taken from its budget (128/412 when used
// up) and blocks it has left are passed over.
int search_index(zkall_cd_handle& h, Walk* walk, int32_t& detail);

}  // namespace zk::catalog
