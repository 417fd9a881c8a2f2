// Failure paths through the platform's fault plan, and the index-block
// cache around them: a read that fails at any level comes back with 14 and
// its error number, leaves the handle usable and is never kept by the
// cache; a failed seek is -1 in cdseek_key's index walk and 15 on the data.
// Then what the cache never keeps and when it lets go (that it changes
// nothing a caller sees is the property test's; failures while opening,
// with nothing left behind, are the fault-injection loop's).
#include <gtest/gtest.h>

#include <string>

#include "catalog/block_cache.h"
#include "catalog_support.h"
#include "platform/platform.h"
#include "startup/file_handles.h"

namespace zk::test {
namespace {

using platform::Op;

class FaultTest : public CatalogTest {
 protected:
  void TearDown() override {
    platform_.faults().clear();
    catalog::set_block_cache(true);
  }
  // cdreopen, then cdread with the key: "result/detail/reads it took".
  std::string lookup(zkall_cd_handle* h, const std::string& key) {
    cdreopen(h, &detail);
    platform_.reset_counts();
    const int r = cdread(record.data(), key.data(), static_cast<int32_t>(key.size()), 0, nullptr, nullptr, h, &detail);
    return rd(r, detail) + "/" + std::to_string(platform_.reads);
  }
  const writer::FileSet set = writer::build_set(simple_spec(400, 3, 5, 6));
  std::string record = std::string(24, '\0');
  int32_t detail = -1;
};

TEST_F(FaultTest, AFailedReadGives14AndItsBlockIsReadAgainAndOnlyThen) {
  const struct { Op op; const char* file; int reads_after; } cases[] = {
      // The failed level and those below it are read again, and the data.
      {Op::Read, "TEST.IA1", 4}, {Op::ShortRead, "TEST.IA2", 3}, {Op::Read, "TEST.IA3", 2}, {Op::ShortRead, "TEST.DAT", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Handle h = open(set, 0, 0, nullptr, "fail");
    platform_.faults().add(c.op, platform::kErrnoIo, c.file);
    EXPECT_EQ(lookup(h.get(), "K123").substr(0, 5), "14/5/");
    platform_.faults().clear();
    EXPECT_EQ(lookup(h.get(), "K123"), "0/0/" + std::to_string(c.reads_after));
    EXPECT_EQ(record, set.blocks[24][3]);
    EXPECT_EQ(lookup(h.get(), "K124"), "0/0/1");
  }
}

TEST_F(FaultTest, ClosingOrOpeningAFileAgainStartsFromTheFile) {
  const size_t held_before = catalog::cached_block_count();
  Handle h = open(set, 0, 0, nullptr, "again");
  ASSERT_EQ(lookup(h.get(), "K123"), "0/0/4");
  ASSERT_EQ(lookup(h.get(), "K123"), "0/0/1");
  EXPECT_EQ(catalog::cached_block_count(), held_before + 3);
  // A caller closes the index files and opens them again into the handle:
  // the descriptors come back with the same numbers, the blocks are read
  // from the files again.
  for (int level = 0; level < 3; ++level) {
    const int fd = h->levels[level].fd;
    ASSERT_EQ(close2(fd), 0);
    const std::string path = (dir_.path() / "again" / ("TEST.IA" + std::to_string(level + 1))).string();
    ASSERT_EQ(open2(path.c_str(), platform::kOpenReadOnly | platform::kOpenBinary, 0), fd);
  }
  ASSERT_EQ(lookup(h.get(), "K123"), "0/0/4");
  cdclose(h.address(), nullptr);
  EXPECT_EQ(catalog::cached_block_count(), held_before);
}

TEST_F(FaultTest, AnIndexLargerThanTheCacheStillAnswersEveryKey) {
  // 2000 records with keys in record order, one a block, four entries an
  // index block: some 630 index blocks.
  writer::SetSpec spec = simple_spec(0, 3, 1, 4);
  const auto key_of = [](int i) { return std::string{'K', char('A' + i / 100), char('0' + i / 10 % 10), char('0' + i % 10)}; };
  for (int i = 0; i < 2000; ++i) spec.records.push_back(record_with(24, 2, key_of(i), static_cast<uint32_t>(i)));
  const writer::FileSet large = writer::build_set(spec);
  ASSERT_GT(large.entries[1].size + large.entries[2].size, catalog::kBlockCacheBlocks);
  Handle h = open(large);
  for (int i = 0; i < 4000; ++i) {
    ASSERT_EQ(lookup(h.get(), key_of(i % 2000)).substr(0, 4), "0/0/") << i;
    ASSERT_EQ(record, large.blocks[static_cast<size_t>(i % 2000)][0]) << i;
  }
  EXPECT_EQ(catalog::cached_block_count(), catalog::kBlockCacheBlocks);
  // The blocks used last took the place of those used longest ago.
  EXPECT_EQ(lookup(h.get(), key_of(1999)), "0/0/1");
}

}  // namespace
}  // namespace zk::test
