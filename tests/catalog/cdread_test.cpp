// The engine's contract case by case: refusals of what is no handle of the
// library, a NUL record ending a block, the end of a search, the exact-entry
// shortcut, block mode with a key, data mask 3, the single top block, and
// closing. An empty data file and a set without index levels are read by
// the opening tests; reading by prefix with case folding, keys without
// their sixth byte (kinds 14 and 15), seeking and block mode from there are
// checked against a plain scan by the property tests.
#include <gtest/gtest.h>

#include <cstring>

#include "catalog_support.h"
#include "platform/platform.h"
#include "startup/file_handles.h"

namespace zk::test {
namespace {

using Records = std::vector<std::string>;

class CdreadTest : public CatalogTest {
 protected:
  std::string buf = std::string(2048 * 8, '\0');
  int32_t detail = -1;

  int read(zkall_cd_handle* h, const std::string& key, int32_t blocks = 0, int32_t* delivered = nullptr) {
    return cdread(buf.data(), key.data(), static_cast<int32_t>(key.size()), blocks, delivered, nullptr, h, &detail);
  }
  std::string record(size_t length = 24) const { return buf.substr(0, length); }
};

TEST_F(CdreadTest, ReadingInOrderStopsEachBlockAtItsFirstNulRecord) {
  writer::FileSet set = writer::build_set(simple_spec(200));  // 85 records a block
  ASSERT_EQ(set.blocks.size(), 3u);
  set.data[10 * 24] = '\0';  // record 10 of block 0 now ends that block
  Handle h = open(set);
  const Records all = Model(set).in_order();
  Records want(all.begin(), all.begin() + 10);
  want.insert(want.end(), all.begin() + 85, all.end());
  int last = 0;
  EXPECT_EQ(read_all(h.get(), "", 300, &last), want);
  EXPECT_EQ(last, -1);
  // Nor does a search by key look behind the NUL record.
  ASSERT_EQ(cdreopen(h.get(), &detail), 0);
  EXPECT_EQ(read(h.get(), "K020"), -1);
  ASSERT_EQ(cdreopen(h.get(), &detail), 0);
  EXPECT_EQ(read(h.get(), "K090"), 0);
  EXPECT_EQ(record(), set.blocks[1][5]);
}

// The status of the last step stands until cdreopen: a search that has
// ended, or failed, answers the same to every read, whatever its key.
TEST_F(CdreadTest, AnEndedOrFailedSearchAnswersTheSameUntilReopened) {
  Handle h = open(writer::build_set(simple_spec(60, 2)));
  ASSERT_EQ(read_all(h.get(), "K001", 5).size(), 1u);
  EXPECT_EQ((std::vector<int>{read(h.get(), "K002"), read(h.get(), "")}), (std::vector<int>{-1, -1}));
  ASSERT_EQ(cdreopen(h.get(), &detail), 0);
  EXPECT_EQ(read(h.get(), ""), 0);
  // A read that failed once (a scratch on the disc) is not tried again.
  platform_.faults().add(platform::Op::Read, platform::kErrnoIo, ".DAT");
  ASSERT_EQ(cdreopen(h.get(), &detail), 0);
  for (const char* key : {"K000", "K001"}) {
    EXPECT_EQ(rd(read(h.get(), key), detail), rd(14, platform::kErrnoIo));
  }
}

TEST_F(CdreadTest, AnExactBottomLevelAnswersTheSecondReadWithoutReadingAgain) {
  writer::SetSpec spec = simple_spec(300, 3, 4, 4);
  spec.level_masks = {3, 3, 2};
  const writer::FileSet set = writer::build_set(spec);
  Handle h = open(set);
  // In record mode the block count asked for is ignored and none delivered.
  int32_t delivered = 77;
  ASSERT_EQ(read(h.get(), "K121", 9, &delivered), 0);
  EXPECT_EQ(delivered * 1000 + detail, 0);
  EXPECT_EQ(record(), Model(set).in_order()[121]);
  platform_.reset_counts();
  EXPECT_EQ(read(h.get(), "K121"), -1);
  EXPECT_EQ(platform_.reads, 0);
}

// What is not a handle of the library (none, a caller's own record even
// when it copies a real one, a handle already closed) is refused untouched,
// with the detail each entry point gives a null handle: one row for the
// reads, their steps, each kind of seek, reopening and closing.
TEST_F(CdreadTest, RequestsWithoutAHandleAreRefusedWithTheirDetail) {
  const writer::FileSet set = writer::build_set(simple_spec(5));
  Handle h = open(set);
  // A key one byte too long leaves a search under way as it stands.
  ASSERT_EQ(read(h.get(), "K00"), 0);
  zkall_cd_handle copy = *h.get();
  const zkall_cd_handle before = copy;
  EXPECT_EQ(rd(read(h.get(), "K0001"), detail), "128/404");
  EXPECT_EQ(std::memcmp(&before, h.get(), sizeof before), 0);
  Handle closed = open(set);
  zkall_cd_handle* released = closed.get();
  ASSERT_EQ(cdclose(closed.address(), nullptr), 0);
  zkall_cd_handle* none = nullptr;
  char* const out = buf.data();
  const struct { const char* what; std::function<int(int32_t*)> call; int32_t detail; } cases[] = {
      {"cdread", [&](int32_t* d) { return cdread(out, "K", 1, 0, nullptr, nullptr, none, d); }, 400},
      {"read_block", [&](int32_t* d) { return cdread_read_block(3, out, 1, none, d); }, 401},
      {"search_index", [&](int32_t* d) { return cdread_search_index(none, d); }, 410},
      {"seek_only", [&](int32_t* d) { return cdseek_only(3, 0, none, d); }, 501},
      {"seek", [&](int32_t* d) { return cdseek(3, 0, none, d); }, 511},
      {"seek_key", [&](int32_t* d) { return cdseek_key("K", 1, none, d); }, 800},
      {"reopen", [&](int32_t* d) { return cdreopen(none, d); }, 601},
  };
  for (zkall_cd_handle* not_ours : {static_cast<zkall_cd_handle*>(nullptr), &copy, released}) {
    none = not_ours;
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (none == nullptr ? "" : none == &copy ? ", a copy" : ", closed"));
      int32_t d = -1;
      EXPECT_EQ(rd(c.call(&d), d), rd(128, c.detail));
      EXPECT_EQ(c.call(nullptr), 128);  // the detail may be left out
    }
    EXPECT_EQ(cdfilelen(none), 0u);
  }
  for (zkall_cd_handle* not_ours : {&copy, released}) {
    zkall_cd_handle* p = not_ours;
    int32_t d = -1;
    EXPECT_EQ(rd(cdclose(&p, &d), d), "128/900");
    EXPECT_EQ(p, not_ours);
  }
  EXPECT_EQ(std::memcmp(&copy, &before, sizeof copy), 0);  // untouched
  ASSERT_EQ(cdreopen(h.get(), &detail), 0);
  EXPECT_EQ(read(h.get(), "K003"), 0);  // the files the copy names are still open
}

TEST_F(CdreadTest, BlockModeWithAKeyDeliversTheRunOfBlocksHoldingTheKey) {
  writer::SetSpec spec = simple_spec(0, 1, 10);
  spec.level_masks = {2, 3, 3};  // one top entry per key
  for (int i = 0; i < 80; ++i)
    spec.records.push_back(record_with(24, 2, i >= 25 && i < 45 ? "KEYS" : (i < 25 ? "A" : "Z") + std::to_string(100 + i), i));
  const writer::FileSet set = writer::build_set(spec);  // "KEYS" fills blocks 2 (half), 3, 4 (half)
  Handle h = open(set, 0, 1);
  const auto deliver = [&](int32_t blocks) {
    int32_t delivered = 0;
    const int r = read(h.get(), "KEYS", blocks, &delivered);
    return r != 0 ? std::to_string(r) : buf.substr(0, static_cast<size_t>(delivered) * 2048);
  };
  // Asked for two at a time: the run comes in two deliveries.
  EXPECT_EQ(deliver(2), set.data.substr(2 * 2048, 2 * 2048));
  EXPECT_EQ(deliver(2), set.data.substr(4 * 2048, 2048));
  EXPECT_EQ(deliver(2), "-1");
}

TEST_F(CdreadTest, ADataMaskOfThreeStopsAtTheFirstRecordNotBelowTheKey) {
  writer::SetSpec spec = simple_spec(40, 2);
  spec.data_mask = 3;
  const writer::FileSet set = writer::build_set(spec);
  Handle h = open(set);
  ASSERT_EQ(read(h.get(), "K01:"), 0);  // ':' follows the digits
  EXPECT_EQ(record(), Model(set).in_order()[20]);
}

TEST_F(CdreadTest, TheTopLevelNeverReadsASecondBlock) {
  writer::FileSet set = writer::build_set(simple_spec(10, 1));
  // A second top block with an entry for a key the first block does not
  // reach: the search must not look there.
  set.levels[0] += "K999000000001" + std::string(2048 - 13, '\0');
  set.entries[0].size = 2;
  Handle h = open(set);
  platform_.reset_counts();
  EXPECT_EQ(read(h.get(), "K999"), -1);
  EXPECT_EQ(platform_.reads, 1);
}

// The files every level shares (a hard-disk copy's top levels, a master
// file holding them all) are closed once.
TEST_F(CdreadTest, CloseReleasesTheHandleClosingEachFileOnce) {
  const int closes[] = {4, 2, 1};
  for (uint8_t location : {0, 1, 2}) {
    SCOPED_TRACE(location);
    Handle h = open(writer::build_set(simple_spec(300, 3)), location);
    platform_.reset_counts();
    int32_t d = -1;
    EXPECT_EQ(rd(cdclose(h.address(), &d), d), "0/0");
    EXPECT_EQ(h.get(), nullptr);
    EXPECT_EQ(platform_.closes, closes[location]);
    EXPECT_EQ(*handle_flag(), 0u);
    EXPECT_EQ(cdclose(h.address(), &d), 0);  // a null handle is no error
  }
  EXPECT_EQ(cdclose(nullptr, nullptr), 0);
}

}  // namespace
}  // namespace zk::test
