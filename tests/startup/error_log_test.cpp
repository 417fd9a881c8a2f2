// ZKERROR.LOG: where it lives, the exact line, appending, and removal.
#include <gtest/gtest.h>

#include <cstring>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

class ErrorLogTest : public ::testing::Test {
 protected:
  Installation inst;
  TestPlatform& p = inst.platform();
};

// Each report is one line: the date and time, then the six fields; signed
// numbers, null texts written empty, appended in order.
TEST_F(ErrorLogTest, ReportsAppendOneLineEachWithDateTimeAndTheSixFields) {
  p.now = {1999, 12, 31, 23, 59, 58};
  syerr_message("ZKDROM", "kankyo_set", "Failed to open zkdrom.sys", 1, 0, 426);
  p.now = {2005, 1, 2, 3, 4, 5};
  syerr_message("ZKSUBM01", "disp_msgbox", "MessageBox", -4, 2, 298);
  syerr_message("M", "f", "c", INT32_MIN, INT32_MAX, 0);
  syerr_message(nullptr, nullptr, nullptr, 0, 0, 0);
  EXPECT_EQ(inst.log_lines(), (std::vector<std::string>{
                                  "(12/31/99 23:59:58)ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)",
                                  "(01/02/05 03:04:05)ZKSUBM01,disp_msgbox,MessageBox,(-4)(2)(298)",
                                  "(01/02/05 03:04:05)M,f,c,(-2147483648)(2147483647)(0)",
                                  "(01/02/05 03:04:05),,,(0)(0)(0)"}));
}

TEST_F(ErrorLogTest, LogLivesInTmpWithOrWithoutItsBackslash) {
  fs::create_directories(inst.drive_root('c') / "TEMP");
  for (const char* tmp : {"C:\\TEMP", "C:\\TEMP\\"}) {
    p.env["TMP"] = tmp;
    syerr_message("M", "f", tmp, 1, 2, 3);
  }
  // Written in text mode: each line ends with a carriage return and a line feed.
  std::ifstream in(inst.drive_root('c') / "TEMP" / "ZKERROR.LOG", std::ios::binary);
  std::string a, b;
  std::getline(in, a);
  std::getline(in, b);
  EXPECT_EQ(a.substr(19), "M,f,C:\\TEMP,(1)(2)(3)\r");
  EXPECT_EQ(b.substr(19), "M,f,C:\\TEMP\\,(1)(2)(3)\r");
  EXPECT_FALSE(fs::exists(inst.cwd() / "ZKERROR.LOG"));
}

TEST_F(ErrorLogTest, TooLongTmpWritesNoLine) {
  // 68 characters of directory, a backslash and 11 of name: 80, one too many.
  const std::string dir = "C:\\" + std::string(65, 'T');
  fs::create_directories(host_path(inst.drive_root('c'), dir.substr(3)));
  p.env["TMP"] = dir;
  syerr_message("M", "f", "c", 1, 2, 3);
  EXPECT_FALSE(fs::exists(host_path(inst.drive_root('c'), dir.substr(3) + "\\ZKERROR.LOG")));
  EXPECT_EQ(init_syerr_message(), -1);
  // One character less fits.
  p.env["TMP"] = dir.substr(0, dir.size() - 1);
  fs::create_directories(host_path(inst.drive_root('c'), dir.substr(3, dir.size() - 4)));
  syerr_message("M", "f", "c", 1, 2, 3);
  EXPECT_TRUE(fs::exists(host_path(inst.drive_root('c'), dir.substr(3, dir.size() - 4) + "\\ZKERROR.LOG")));
}

// init_syerr_message removes the previous log (-1: there was none, or it
// could not be removed); a log that cannot be opened loses the line silently.
TEST_F(ErrorLogTest, InitRemovesThePreviousLogAndAnUnwritableLogLosesTheLine) {
  EXPECT_EQ(init_syerr_message(), -1);
  p.faults().add(platform::Op::Open, platform::kErrnoAccess, "ZKERROR.LOG");
  syerr_message("M", "f", "lost", 1, 2, 3);
  syerr_message("M", "f", "kept", 1, 2, 3);
  EXPECT_EQ(inst.log_reports(), std::vector<std::string>{"M,f,kept,(1)(2)(3)"});
  p.faults().add(platform::Op::Delete, platform::kErrnoAccess, "ZKERROR.LOG");
  EXPECT_EQ(init_syerr_message(), -1);
  EXPECT_EQ(inst.log_lines().size(), 1u);
  EXPECT_EQ(init_syerr_message(), 0);
  EXPECT_TRUE(inst.log_lines().empty());
  EXPECT_EQ(init_syerr_message(), -1);
}

// Front-end reports go to the same log; a front-end string is as long as
// its prefix says, and no NUL need follow it.
TEST_F(ErrorLogTest, FrontEndTextsEndWhereTheirLengthSays) {
  const uint32_t length = 6;
  std::vector<char> module(4 + 8);  // "VBMAINxx" and the end of the allocation
  std::memcpy(module.data(), &length, 4);
  std::memcpy(module.data() + 4, "VBMAINxx", 8);
  platform::FrontEndString function("Load\0junk"), call(""), open("Open");
  VBsyerr_message(module.data() + 4, function.get(), call.get(), 1, 2, 3);
  VBsyerr_message(module.data() + 4, function.get(), open.get(), 7, 8, 9);
  EXPECT_EQ(inst.log_reports(), (std::vector<std::string>{"VBMAIN,Load,,(1)(2)(3)", "VBMAIN,Load,Open,(7)(8)(9)"}));
}

}  // namespace
}  // namespace zk::test
