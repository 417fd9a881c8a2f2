// Failure paths through the platform's fault plan: every read and seek of
// the engine is made to fail in turn; each failure comes back with its code
// and error number and leaves the handle usable (a failing close is the
// close test's; failures while opening, with nothing left behind, are the
// fault-injection loop's).
#include <gtest/gtest.h>

#include "catalog/block_cache.h"
#include "catalog_support.h"
#include "platform/platform.h"

namespace zk::test {
namespace {

using platform::Op;
constexpr int kEio = 5;

// Each read of a search is failed in turn, so the index-block cache, which
// takes reads away between attempts, is off here (its own tests fail reads
// with it on).
class FaultTest : public CatalogTest {
 protected:
  void SetUp() override { catalog::set_block_cache(false); }
  void TearDown() override {
    platform_.faults().clear();
    catalog::set_block_cache(true);
  }
  // Fails the first, then the second ... call of `op` until `operation`
  // gets through; the results of the attempts, "code/error" each.
  template <class Operation>
  std::vector<std::string> fail_each_call(Op op, Operation operation) {
    std::vector<std::string> results;
    for (int nth = 1; nth < 100; ++nth) {
      platform_.faults().clear();
      platform_.faults().add(op, kEio, "", nth);
      int32_t detail = -1;
      const int r = operation(detail);
      platform_.faults().clear();
      results.push_back(std::to_string(r) + "/" + std::to_string(detail));
      if (r == 0) break;
    }
    return results;
  }
  std::string buf = std::string(2048 * 4, '\0');
  const writer::FileSet set = writer::build_set(simple_spec(400, 3, 5, 6));
};

std::vector<std::string> failing(int count, const std::string& failure, const std::string& last = "0/0") {
  std::vector<std::string> out(static_cast<size_t>(count), failure);
  out.push_back(last);
  return out;
}

TEST_F(FaultTest, EveryReadOfAKeyedSearchCanFailWith14AndTheHandleRecovers) {
  Handle h = open(set);
  for (Op op : {Op::Read, Op::ShortRead}) {
    EXPECT_EQ(fail_each_call(op, [&](int32_t& d) {
                cdreopen(h.get(), nullptr);
                return cdread(buf.data(), "K123", 4, 0, nullptr, nullptr, h.get(), &d);
              }),
              failing(4, "14/5"));  // top, middle, bottom, data
    EXPECT_EQ(buf.substr(0, 24), set.blocks[24][3]);
  }
  // In block mode as well, with nothing delivered.
  Handle blocks = open(set, 0, 1);
  ASSERT_EQ(cdseek(3, 3, blocks.get(), nullptr), 0);
  platform_.faults().add(Op::ShortRead, kEio, "TEST.DAT");
  int32_t delivered = -1, detail = -1;
  EXPECT_EQ(cdread(buf.data(), nullptr, 0, 4, &delivered, nullptr, blocks.get(), &detail), 14);
  EXPECT_EQ(detail * 10 + delivered, 50);
}

// cdseek_key answers a failure of the index walk with -1, and a failure on
// the data (its range, then the block found) with 15; cdseek fails with 15
// at each of its seeks.
TEST_F(FaultTest, AFailedSeekIsMinusOneInTheIndexAnd15OnTheData) {
  Handle h = open(set);
  EXPECT_EQ(fail_each_call(Op::Seek, [&](int32_t& d) { return cdseek(3, 7, h.get(), &d); }), failing(5, "15/5"));
  std::vector<int> results;
  for (int nth = 1; nth < 10; ++nth) {
    ASSERT_EQ(cdreopen(h.get(), nullptr), 0);
    platform_.faults().add(Op::Seek, kEio, "", nth);
    results.push_back(cdseek_key("K200", 4, h.get(), nullptr));
    platform_.faults().clear();
    if (results.back() == 0) break;
  }
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1, 15, 15, 0}));
}

}  // namespace
}  // namespace zk::test
