// The file-handle table, its bit helpers, date2, time2 and timer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "startup/file_handles.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

class FileHandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    closeall2();
    *handle_flag() = 0;
    inst.write_cwd_file("A.DAT", "abc");
  }
  void TearDown() override { closeall2(); }
  bool registered(int fd) { return fd >= 0 && fd < 32 && (*handle_flag() & (1u << fd)); }
  Installation inst;
};

TEST_F(FileHandlesTest, OpenRegistersAndCloseReleases) {
  int fd = open2("A.DAT", 0x8000, 0);
  ASSERT_GE(fd, 0);
  ASSERT_LT(fd, 32);
  EXPECT_TRUE(registered(fd));
  EXPECT_EQ(close2(fd), 0);
  EXPECT_FALSE(registered(fd));
  EXPECT_EQ(close2(fd), 0);  // a second close is harmless
  fd = open2("A.DAT", 0x8000, 0);
  inst.platform().faults().add(platform::Op::Close, platform::kErrnoIo);
  EXPECT_EQ(close2(fd), -1);
  EXPECT_TRUE(registered(fd));  // a failed close keeps the bit
}

// close2 and closeall2 close descriptors open2 opened (those of 32 and above
// have no bit in the table word), and never one a caller opened itself.
TEST_F(FileHandlesTest, DescriptorsAbove31AreClosedOnlyWhenOpen2OpenedThem) {
  int err = 0;
  std::vector<int> theirs;
  while (theirs.empty() || theirs.back() < 32) theirs.push_back(inst.platform().open("A.DAT", 0x8000, 0, err));
  const int foreign = theirs.back();
  const int own = open2("A.DAT", 0x8000, 0);
  ASSERT_GT(own, 32);
  EXPECT_EQ(*handle_flag(), 0u);  // the word stays as it is
  char c;
  EXPECT_EQ(close2(foreign), 0);
  EXPECT_EQ(inst.platform().read(foreign, &c, 1, err), 1);  // still open
  EXPECT_EQ(closeall2(), 0);
  EXPECT_EQ(inst.platform().read(own, &c, 1, err), -1);  // closed
  EXPECT_EQ(inst.platform().read(foreign, &c, 1, err), 1);
  EXPECT_EQ(close2(own), 0);  // a second close is harmless
  EXPECT_EQ(close2(theirs[0]), 0);  // below 32 too: one close2 did not open stays open
  EXPECT_EQ(inst.platform().read(theirs[0], &c, 1, err), 1);
  EXPECT_EQ(close2(-1), 0);
  for (int fd : theirs) inst.platform().close(fd, err);
}

// A file is created only with the create bit; a failed open is -1 and
// registers nothing.
TEST_F(FileHandlesTest, CreateOnlyWithTheCreateBitAndFailuresRegisterNothing) {
  EXPECT_EQ(open2("NEW.DAT", 0x8002, 0x0180), -1);
  EXPECT_EQ(open2(nullptr, 0x8000, 0), -1);
  EXPECT_EQ(*handle_flag(), 0u);
  EXPECT_EQ(close2(open2("NEW.DAT", 0x8302, 0x0180)), 0);
  EXPECT_EQ(close2(open2("NEW.DAT", 0x8002, 0x0180)), 0);  // there now: opened
  EXPECT_EQ(*handle_flag(), 0u);
}

TEST_F(FileHandlesTest, CloseAllClosesEveryRegisteredDescriptorAndReportsAFailure) {
  EXPECT_EQ(closeall2(), 0);  // empty table
  for (int i = 0; i < 3; ++i) open2("A.DAT", 0x8000, 0);
  EXPECT_EQ(closeall2(), 0);
  EXPECT_EQ(*handle_flag(), 0u);

  int a = open2("A.DAT", 0x8000, 0);
  int b = open2("A.DAT", 0x8000, 0);
  inst.platform().faults().add(platform::Op::Close, platform::kErrnoIo);
  EXPECT_EQ(closeall2(), -1);
  EXPECT_EQ(registered(a) + registered(b), 1);  // the failed one keeps its bit
}

TEST(BitHelpersTest, SetAndResetWithinThirtyTwoBits) {
  uint32_t w = 0;
  EXPECT_EQ(b_setl(&w, 0), 0);
  EXPECT_EQ(b_setl(&w, 31), 0);
  EXPECT_EQ(w, 0x80000001u);
  EXPECT_EQ(b_setl(&w, 32), -1);
  EXPECT_EQ(b_setl(&w, -1), -1);
  EXPECT_EQ(w, 0x80000001u);
  EXPECT_EQ(b_resetl(&w, 31), 0);
  EXPECT_EQ(b_resetl(&w, 40), -1);
  EXPECT_EQ(b_resetl(&w, 32), -1);
  EXPECT_EQ(w, 1u);
  EXPECT_EQ(b_setl(nullptr, 3), -1);
}

class ClockTest : public ::testing::Test {
 protected:
  std::string date(int y, int m, int d) {
    inst.platform().now = {y, m, d, 0, 0, 0};
    char out[9] = {};
    date2(out);
    return out;
  }
  Installation inst;
};

// The century comes from the year window (2051 reads as 1951); date2 and
// time2 write exactly their characters.
TEST_F(ClockTest, DateAndTimeWriteExactlyTheirCharacters) {
  EXPECT_EQ(date(1999, 12, 31), "19991231");
  EXPECT_EQ(date(2000, 1, 1), "20000101");
  EXPECT_EQ(date(2050, 6, 15), "20500615");
  EXPECT_EQ(date(1951, 6, 15), "19510615");
  EXPECT_EQ(date(2051, 2, 3), "19510203");
  inst.platform().now = {2024, 3, 9, 7, 5, 59};
  char buf[10];
  std::memset(buf, '#', sizeof buf);
  date2(buf);
  EXPECT_EQ(std::string(buf, 10), "20240309##");
  std::memset(buf, '#', sizeof buf);
  time2(buf);
  EXPECT_EQ(std::string(buf, 10), "070559####");
}

TEST_F(ClockTest, TimerWaitsForTheCalendarToAdvance) {
  TestPlatform& p = inst.platform();
  p.seconds_step = 1;
  timer(3);
  EXPECT_EQ(p.time_calls, 4);  // start, then 1, 2, 3 seconds later
  p.time_calls = 0;
  timer(0);
  timer(-5);
  EXPECT_EQ(p.time_calls, 0);  // returns at once
}

}  // namespace
}  // namespace zk::test
