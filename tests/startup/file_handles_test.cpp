// The file-handle table, its bit helpers, date2, time2 and timer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

// A file is created only with the create bit; a failed open is -1 and
// registers nothing; a failed close keeps the bit, a second close is harmless.
TEST_F(FileHandlesTest, OpenRegistersCloseReleasesAndFailuresKeepTheTableRight) {
  EXPECT_EQ(open2("NEW.DAT", 0x8002, 0x0180) + open2(nullptr, 0x8000, 0), -2);
  EXPECT_EQ(*handle_flag(), 0u);
  EXPECT_EQ(close2(open2("NEW.DAT", 0x8302, 0x0180)), 0);
  int fd = open2("NEW.DAT", 0x8002, 0x0180);  // there now: opened
  ASSERT_TRUE(registered(fd));
  EXPECT_EQ(close2(fd), 0);
  EXPECT_EQ(*handle_flag(), 0u);
  EXPECT_EQ(close2(fd), 0);
  // closeall2 closes every registered descriptor.
  const int a = open2("A.DAT", 0x8000, 0), b = open2("A.DAT", 0x8000, 0);
  EXPECT_EQ(closeall2(), 0);
  EXPECT_EQ(registered(a) + registered(b), 0);
  fd = open2("A.DAT", 0x8000, 0);
  inst.platform().faults().add(platform::Op::Close, platform::kErrnoIo);
  EXPECT_EQ(close2(fd), -1);
  EXPECT_TRUE(registered(fd));
}

TEST(BitHelpersTest, SetAndResetWithinThirtyTwoBits) {
  uint32_t w = 0;
  EXPECT_EQ(b_setl(&w, 0) + b_setl(&w, 31) + b_resetl(&w, 0), 0);
  EXPECT_EQ(b_setl(&w, 32) + b_setl(&w, -1) + b_resetl(&w, 32) + b_setl(nullptr, 3), -4);
  EXPECT_EQ(w, 0x80000000u);
}

// The century comes from the year window (2051 reads as 1951); date2 and
// time2 write exactly their characters; timer waits for the calendar.
TEST(ClockTest, DateTimeAndTimer) {
  Installation inst;
  TestPlatform& p = inst.platform();
  const std::pair<int, const char*> years[] = {{1999, "1999"}, {2050, "2050"}, {2051, "1951"}};
  char buf[10];
  for (const auto& [year, want] : years) {
    p.now = {year, 3, 9, 7, 5, 59};
    std::memset(buf, '#', sizeof buf);
    date2(buf);
    EXPECT_EQ(std::string(buf, 10), want + std::string("0309##")) << year;
  }
  std::memset(buf, '#', sizeof buf);
  time2(buf);
  EXPECT_EQ(std::string(buf, 10), "070559####");
  p.seconds_step = 1;
  p.time_calls = 0;
  timer(3);
  EXPECT_EQ(p.time_calls, 4);  // start, then 1, 2, 3 seconds later
}

}  // namespace
}  // namespace zk::test
