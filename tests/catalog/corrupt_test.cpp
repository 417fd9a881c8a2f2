// Corrupt files and handles: every damage gives a result code and never a
// read outside a buffer, a crash or an endless loop. Damaged child pointers,
// ranges past the end and impossible layouts have their own detail codes
// (random damage to the files themselves, truncated ones among them, is the
// engine fuzz target's, whose corpus replays with the suite).
#include <gtest/gtest.h>

#include <set>

#include "catalog_support.h"

namespace zk::test {
namespace {

// 300 records in 30 data blocks, two levels of 4-entry blocks (index key 4
// bytes, entry 13 bytes): the top has 8 entries over 8 bottom blocks.
writer::FileSet two_level_set() { return writer::build_set(simple_spec(300, 2, 10, 4)); }

class CorruptTest : public CatalogTest {
 protected:
  std::string buf = std::string(2048 * 4, '\0');
  int32_t detail = -1;
  int read(zkall_cd_handle* h, const std::string& key) {
    return cdread(buf.data(), key.data(), static_cast<int32_t>(key.size()), 1, nullptr, nullptr, h, &detail);
  }
};

// A child pointer is a 6-digit block and a 3-digit count behind the 4-byte
// key of a 13-byte entry.
TEST_F(CorruptTest, DamagedChildPointersAreRefused) {
  const struct { const char* what; int level; size_t at; std::string put; int32_t detail; } cases[] = {
      {"letter in the block number", 0, 6, "x", 408},
      {"count past the next level", 0, 10, "999", 409},
      {"range past the data file", 1, 4, "000029002", 409},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writer::FileSet set = two_level_set();
    set.levels[static_cast<size_t>(c.level)].replace(c.at, c.put.size(), c.put);
    Handle h = open(set);
    EXPECT_EQ(rd(read(h.get(), "K000"), detail), rd(128, c.detail));
  }
}

// Refused before anything is read: 402, 405, 406, 407, 411. A level to be
// read fails at its seek when it is not open, whatever else it lacks; one
// whose scan range is empty has nothing to read. A file of an unknown
// location kind is never read: a scan over it would go on through blocks
// that were never there.
TEST_F(CorruptTest, ImpossibleLayoutsAreRefusedBeforeAnythingIsRead) {
  using H = zkall_cd_handle;
  const struct { const char* what; std::function<void(H&)> damage; std::string key; int result; int32_t detail; } cases[] = {
      {"index key past the entry", [](H& h) { h.index_key_length = 5; }, "K001", 128, 406},
      {"search key above 20", [](H& h) { h.key_length = 30; }, std::string(21, 'K'), 128, 405},
      {"search key of 20", [](H& h) { h.key_length = 30; }, std::string(20, 'K'), -1, 0},
      {"keyed, record length above a block", [](H& h) { h.record_length = 2049; }, "K001", 128, 402},
      {"key past the record", [](H& h) { h.key_offset = 21; }, "K001", 128, 403},
      {"four levels", [](H& h) { h.level_count = 4; }, "K001", 128, 407},
      {"no top level", [](H& h) { h.levels[0].size = 0; h.levels[0].scan_count = 0; }, "K001", -1, 0},
      {"bottom level absent, as an open leaves it", [](H& h) { close2(h.levels[1].fd); h.levels[1] = {}; h.levels[1].fd = -1; }, "K001", 128, 503},
      {"bottom level without buffer", [](H& h) { h.levels[1].buffer = nullptr; }, "K001", 128, 401},
      {"data of an unknown location kind", [](H& h) { h.levels[3].location_kind = 3; h.levels[3].size = 0xFFFFFFFF; }, "", 128, 411},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Handle h = open(two_level_set());
    c.damage(*h.get());
    platform_.reset_counts();
    EXPECT_EQ(rd(read(h.get(), c.key), detail), rd(c.result, c.detail));
    if (std::set<int32_t>{402, 405, 406, 407, 411}.count(c.detail) == 1) { EXPECT_EQ(platform_.reads, 0); }
  }
}

// An index whose every entry carries the key and covers the whole level
// below would send the walk over the lower levels again for every entry
// above them. A read walks each index block once and answers; where its
// data scans start afresh for every range (an alternate index set) it stops
// after sixteen times the blocks the set holds, and 64 more, with 412.
TEST_F(CorruptTest, AnIndexThatSendsTheWalkRoundAndRoundIsCutShort) {
  const writer::FileSet clean = writer::build_set(simple_spec(30, 3, 10));  // 3 data blocks
  auto level = [](size_t blocks, const std::string& entry) {
    std::string block;
    while (block.size() + entry.size() <= 2048) block += entry;
    block.resize(2048, '\0');
    return blocks == 1 ? block : block + block;
  };
  constexpr int kSetBlocks = 1 + 2 + 2 + 3;
  const struct { const char* what; uint8_t kind; int result; int32_t detail; int max_reads; } cases[] = {
      {"every entry leads to the data", 0, -1, 0, kSetBlocks}, {"alternate set", 2, 128, 412, 16 * kSetBlocks + 64}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writer::FileSet set = clean;
    set.levels = {level(1, "J999000000002"), level(2, "J999000000002"), level(2, "J999000000003")};
    for (int i = 0; i < 3; ++i) set.entries[i].size = i == 0 ? 1 : 2;
    Handle h = open(set);
    h->file_kind = c.kind;
    platform_.reset_counts();
    EXPECT_EQ(rd(read(h.get(), "J999"), detail), rd(c.result, c.detail));
    EXPECT_LE(platform_.reads, c.max_reads);
    ASSERT_EQ(cdreopen(h.get(), &detail), 0);
    platform_.reset_counts();
    EXPECT_EQ(cdseek_key("J999", 4, h.get(), &detail), -1);
    EXPECT_LE(platform_.reads, c.max_reads);
  }
}

}  // namespace
}  // namespace zk::test
