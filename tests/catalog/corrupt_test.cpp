// Corrupt files and handles: every damage gives a result code and never a
// read outside a buffer, a crash or an endless loop. Damaged child pointers,
// ranges past the end, truncated files and impossible layouts have their
// own detail codes; nonsense handle fields are survived with one of the
// documented results (random damage to the files themselves is the engine
// fuzz target's, whose corpus replays with the suite).
#include <gtest/gtest.h>

#include <random>
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
      {"NUL in the count", 0, 12, std::string(1, '\0'), 408},
      {"count past the next level", 0, 10, "999", 409},
      {"block past the next level", 0, 4, "000008", 409},
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

TEST_F(CorruptTest, TruncatedFilesGiveAShortReadWithTheErrorNumberZero) {
  for (int file : {1, 3}) {
    SCOPED_TRACE(file);
    writer::FileSet set = two_level_set();
    std::string& bytes = file == 3 ? set.data : set.levels[1];
    bytes.resize(bytes.size() - 2048 - 1000);  // the last block half there
    Handle h = open(set);
    EXPECT_EQ(rd(read(h.get(), "K295"), detail), "14/0");
    ASSERT_EQ(cdreopen(h.get(), &detail), 0);
    EXPECT_EQ(read(h.get(), "K005"), 0);  // the rest stays readable
  }
  writer::FileSet set = two_level_set();
  set.data.resize(set.data.size() - 1);
  Handle h = open(set, 0, 1);
  int32_t delivered = 0;
  EXPECT_EQ(cdread(buf.data(), nullptr, 0, 4, &delivered, nullptr, h.get(), &detail), 0);
  EXPECT_EQ(delivered, 4);
  ASSERT_EQ(cdseek(3, 28, h.get(), &detail), 0);
  EXPECT_EQ(cdread(buf.data(), nullptr, 0, 4, &delivered, nullptr, h.get(), &detail), 14);
}

// Refused before anything is read: 402, 405, 406, 407, 411. A level to be
// read fails at its seek when it is not open, whatever else it lacks; one
// whose scan range is empty has nothing to read. A file of an unknown
// location kind is never read: a scan over it would go on through blocks
// that were never there.
TEST_F(CorruptTest, ImpossibleLayoutsAreRefusedBeforeAnythingIsRead) {
  using H = zkall_cd_handle;
  const struct { const char* what; std::function<void(H&)> damage; std::string key; int result; int32_t detail; } cases[] = {
      {"entry length above a block", [](H& h) { h.entry_length = 2049; }, "K001", 128, 406},
      {"index key past the entry", [](H& h) { h.index_key_length = 5; }, "K001", 128, 406},
      {"index key above 32", [](H& h) { h.index_key_length = 33; h.entry_length = 42; }, "K001", 128, 406},
      {"search key above 20", [](H& h) { h.key_length = 30; }, std::string(21, 'K'), 128, 405},
      {"search key of 20", [](H& h) { h.key_length = 30; }, std::string(20, 'K'), -1, 0},
      {"record length 0", [](H& h) { h.record_length = 0; }, "", 128, 402},
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

TEST_F(CorruptTest, ALevelWhoseRangeIsEmptyHasNothingToRead) {
  writer::FileSet set = two_level_set();
  set.levels[0].replace(10, 3, "000");  // the first top entry leads to no block
  Handle h = open(set);
  h->levels[1].buffer = nullptr;  // nothing is read, so no buffer is needed
  EXPECT_EQ(rd(read(h.get(), "K000"), detail), "-1/0");
}

// An alternate set whose index key leaves the record (403), and steps called
// on a level that is no index level (410).
TEST_F(CorruptTest, StepsOnAnImpossibleLevelOrKeyAreRefused) {
  Handle h = open(two_level_set());
  ASSERT_EQ(cdread_initial_set("K001", 4, h.get(), nullptr, &detail), 0);
  for (int32_t level : {2, 3, 99, -1}) {
    h->current_level = level;
    EXPECT_EQ(rd(cdread_search_index(h.get(), &detail), detail), "128/410") << level;
  }
  h->file_kind = 2;
  h->index_key_length = 23;
  h->current_level = 2;
  EXPECT_EQ(rd(cdread_search_data(buf.data(), 1, nullptr, nullptr, h.get(), &detail), detail), "128/403");
}

// An index whose every entry carries the key and covers the whole level
// below would send the walk over the lower levels again for every entry
// above them. A read walks each index block once and answers; where its
// data scans start afresh for every range (an alternate index set) it stops
// after sixteen times the blocks the set holds, and 64 more, with 412.
TEST_F(CorruptTest, AnIndexThatSendsTheWalkRoundAndRoundIsCutShort) {
  const writer::FileSet clean = writer::build_set(simple_spec(30, 3, 10));  // 3 data blocks
  auto level = [](int blocks, const std::string& entry) {
    std::string block;
    while (block.size() + entry.size() <= 2048) block += entry;
    block.resize(2048, '\0');
    std::string bytes;
    for (int b = 0; b < blocks; ++b) bytes += block;
    return bytes;
  };
  constexpr int kSetBlocks = 1 + 2 + 2 + 3;
  const struct { const char* what; uint8_t kind; std::string bottom_key; int result; int32_t detail; int max_reads; } cases[] = {
      {"every entry leads to the data", 0, "J999", -1, 0, kSetBlocks},
      {"the bottom level leads nowhere", 0, "J998", -1, 0, kSetBlocks},
      {"alternate set", 2, "J999", 128, 412, 16 * kSetBlocks + 64},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writer::FileSet set = clean;
    set.levels = {level(1, "J999000000002"), level(2, "J999000000002"), level(2, c.bottom_key + "000000003")};
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

// Nonsense in the handle's fields: every way of reading, each bounded (a
// loop that does not end fails the test), answers within the documented
// results.
TEST_F(CorruptTest, NonsenseHandleFieldsAreSurvived) {
  static const std::set<int32_t> kDetails = {401, 402, 403, 404, 405, 406, 407, 408, 409, 410, 411, 412, 503};
  const auto documented = [&](int r) { return r == 0 || r == -1 || r == 14 || (r == 128 && kDetails.count(detail) == 1); };
  constexpr int kLimit = 30 * 2048 + 2;  // no read delivers more records than the data file holds bytes
  std::mt19937 rng(99);
  for (int i = 0; i < 200; ++i) {
    SCOPED_TRACE(i);
    Handle h = open(two_level_set(), static_cast<uint8_t>(i % 3));
    zkall_cd_handle& d = *h.get();
    const int32_t wild[] = {-5, 0, 1, 3, 4, 9, 13, 20, 24, 33, 2048, 2049, 70000};
    auto any = [&] { return wild[rng() % (sizeof wild / sizeof wild[0])]; };
    switch (i % 6) {
      case 0: d.entry_length = any(); d.index_key_length = any(); break;
      case 1: d.record_length = any(); d.key_offset = any(); break;
      case 2: d.level_count = any(); d.key_length = any(); break;
      case 3: d.file_kind = static_cast<uint8_t>(rng() % 16); d.index_key_length = any(); break;
      case 4: for (auto& l : d.levels) l.match_mask = static_cast<uint8_t>(rng()); break;
      default: d.levels[rng() % 4].base_block = static_cast<uint32_t>(rng()); d.levels[rng() % 4].size = static_cast<uint32_t>(any()); break;
    }
    int r = 0, calls = 0;
    for (const std::string key : {"K1", "K150", "K2", "\x01", ""}) {
      cdreopen(&d, nullptr);
      for (calls = 0; (r = read(&d, key)) == 0 && ++calls < kLimit;) {
      }
      EXPECT_LT(calls, kLimit) << key;
      EXPECT_TRUE(documented(r)) << key << ": " << r << "/" << detail;
      cdreopen(&d, nullptr);
      if (!key.empty()) { EXPECT_TRUE(documented(cdseek_key(key.data(), static_cast<int32_t>(key.size()), &d, &detail))) << detail; }
    }
    d.read_mode = 1;
    cdseek(3, static_cast<uint32_t>(rng() % 40), &d, nullptr);
    int32_t delivered = 0;
    for (calls = 0; (r = cdread(buf.data(), nullptr, 0, 4, &delivered, nullptr, &d, &detail)) == 0 && ++calls < 100;) {
    }
    EXPECT_LT(calls, 100);
    EXPECT_TRUE(documented(r)) << r << "/" << detail;
    d.read_mode = 0;
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace zk::test
