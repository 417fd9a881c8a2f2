// Failure paths through the platform's fault plan: every read, seek, close,
// open and allocation of the engine and of the opening helper is made to
// fail in turn; each failure comes back with its code and error number,
// leaves the handle usable (or, when opening, nothing behind), and a close
// that fails still releases everything.
#include <gtest/gtest.h>

#include "catalog/block_cache.h"
#include "catalog_support.h"
#include "platform/platform.h"
#include "startup/file_handles.h"
#include "tools/writer/open_set.h"

namespace zk::test {
namespace {

using platform::Op;
constexpr int kEio = 5;

writer::FileSet three_levels() { return writer::build_set(simple_spec(400, 3, 5, 6)); }

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
  std::string buf = std::string(2048 * 4, '\0');
  int32_t detail = -1;
};

// Fails the first, then the second ... call of `op` until the operation
// gets through; every failure must be `code` with the injected error.
template <class Operation>
int fail_each_call(CountingPlatform& p, Op op, int code, Operation operation) {
  int failures = 0;
  for (int nth = 1; nth < 100; ++nth) {
    p.faults().clear();
    p.faults().add(op, kEio, "", nth);
    int32_t detail = -1;
    const int r = operation(detail);
    p.faults().clear();
    if (r == 0) break;
    EXPECT_EQ(r, code) << "call " << nth;
    EXPECT_EQ(detail, kEio) << "call " << nth;
    ++failures;
  }
  return failures;
}

TEST_F(FaultTest, EveryReadOfAKeyedSearchCanFailWith14AndTheHandleRecovers) {
  const writer::FileSet set = three_levels();
  Handle h = open(set);
  for (Op op : {Op::Read, Op::ShortRead}) {
    const int failures = fail_each_call(platform_, op, 14, [&](int32_t& d) {
      cdreopen(h.get(), nullptr);
      return cdread(buf.data(), "K123", 4, 0, nullptr, nullptr, h.get(), &d);
    });
    EXPECT_EQ(failures, 4);  // top, middle, bottom, data
    EXPECT_EQ(buf.substr(0, 24), set.blocks[24][3]);
  }
}

TEST_F(FaultTest, EverySeekCanFailWith15) {
  Handle h = open(three_levels());
  // cdreopen positions four files, the read seeks once a level and once for
  // the data range.
  EXPECT_EQ(fail_each_call(platform_, Op::Seek, 15, [&](int32_t& d) {
              if (int r = cdreopen(h.get(), &d); r != 0) return r;
              return cdread(buf.data(), "K321", 4, 0, nullptr, nullptr, h.get(), &d);
            }),
            8);
  EXPECT_EQ(fail_each_call(platform_, Op::Seek, 15, [&](int32_t& d) { return cdseek(3, 7, h.get(), &d); }), 5);
  // cdseek_key answers a failure of the index walk with -1, and a failure
  // on the data (its range, then the block found) with 15.
  std::vector<int> results;
  for (int nth = 1; nth < 10; ++nth) {
    ASSERT_EQ(cdreopen(h.get(), &detail), 0);
    platform_.faults().add(Op::Seek, kEio, "", nth);
    results.push_back(cdseek_key("K200", 4, h.get(), &detail));
    platform_.faults().clear();
    if (results.back() == 0) break;
  }
  EXPECT_EQ(results, (std::vector<int>{-1, -1, -1, 15, 15, 0}));
}

TEST_F(FaultTest, BlockModeReadsFailWith14) {
  Handle h = open(three_levels(), 0, 1);
  ASSERT_EQ(cdseek(3, 3, h.get(), &detail), 0);
  platform_.faults().add(Op::ShortRead, kEio, "TEST.DAT");
  int32_t delivered = -1;
  EXPECT_EQ(cdread(buf.data(), nullptr, 0, 4, &delivered, nullptr, h.get(), &detail), 14);
  EXPECT_EQ(detail, kEio);
  EXPECT_EQ(delivered, 0);
}

TEST_F(FaultTest, AFailedCloseGives12AndStillReleasesEveryFile) {
  for (uint8_t location : {0, 1}) {
    SCOPED_TRACE(location);
    Handle h = open(three_levels(), location);
    const int32_t data_fd = h->levels[3].fd, top_fd = h->levels[0].fd, bottom_fd = h->levels[2].fd;
    platform_.faults().add(Op::Close, kEio, "TEST.DAT");
    platform_.reset_counts();
    int32_t d = -1;
    EXPECT_EQ(cdclose(h.address(), &d), 12);
    EXPECT_EQ(d, kEio);
    EXPECT_EQ(h.get(), nullptr);
    EXPECT_EQ(platform_.closes, location == 0 ? 4 : 2);
    EXPECT_EQ(*handle_flag() & (1u << top_fd | 1u << bottom_fd), 0u);
    // The failed close leaves the data file's bit set, as close2 does; the
    // descriptor is gone all the same.
    b_resetl(handle_flag(), data_fd);
    platform_.faults().clear();
  }
}

TEST_F(FaultTest, OpeningReleasesEverythingWhenAnAllocationOrAnOpenFails) {
  const writer::FileSet set = three_levels();
  const writer::PlacedSet placed = writer::place_set(set, 0);
  const std::string sub = (dir_.path() / "faults").string();
  writer::write_files(sub, placed.contents);
  const uint32_t table = *handle_flag();
  // Allocations: the handle, the data buffer, three level buffers.
  for (int nth = 1; nth <= 5; ++nth) {
    platform_.faults().clear();
    platform_.faults().add(Op::Alloc, platform::kErrnoNoMemory, "", nth);
    zkall_cd_handle* h = reinterpret_cast<zkall_cd_handle*>(1);
    int32_t d = -1;
    EXPECT_EQ(writer::open_placed_set(placed, sub, 0, &h, d), 20) << nth;
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(*handle_flag(), table);
  }
  for (const char* name : {"TEST.DAT", "TEST.IA1", "TEST.IA3"}) {
    platform_.faults().clear();
    platform_.faults().add(Op::Open, kEio, name);
    zkall_cd_handle* h = nullptr;
    int32_t d = -1;
    EXPECT_EQ(writer::open_placed_set(placed, sub, 0, &h, d), 11) << name;
    EXPECT_EQ(d, kEio);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(*handle_flag(), table) << name;
  }
}

}  // namespace
}  // namespace zk::test
