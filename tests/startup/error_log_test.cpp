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
  syerr_message("ZKSUBM01", "disp_msgbox", "MessageBox", INT32_MIN, 2, INT32_MAX);
  syerr_message(nullptr, nullptr, nullptr, 0, 0, 0);
  EXPECT_EQ(inst.log_lines(), (std::vector<std::string>{
                                  "(12/31/99 23:59:58)ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)",
                                  "(01/02/05 03:04:05)ZKSUBM01,disp_msgbox,MessageBox,(-2147483648)(2)(2147483647)",
                                  "(01/02/05 03:04:05),,,(0)(0)(0)"}));
}

// The log lives in TMP, with or without its backslash, written in text mode
// (each line ends with a carriage return and a line feed); a TMP of 68
// characters, a backslash and 11 of name make 80, one too many: no line.
TEST_F(ErrorLogTest, LogLivesInTmpUnlessThePathIsTooLong) {
  const std::string longest = "C:\\" + std::string(64, 'T');
  for (const std::string& tmp : {std::string("C:\\TEMP"), std::string("C:\\TEMP\\"), longest + "T", longest}) {
    const std::string dir = tmp.substr(3, tmp.find_last_not_of('\\') - 2);
    fs::create_directories(host_path(inst.drive_root('c'), dir));
    p.env["TMP"] = tmp;
    syerr_message("M", "f", tmp.c_str(), 1, 2, 3);
    std::ifstream in(host_path(inst.drive_root('c'), dir + "\\ZKERROR.LOG"), std::ios::binary);
    std::string last, line;
    while (std::getline(in, line)) last = line;
    EXPECT_EQ(last.empty() ? "" : last.substr(19), tmp == longest + "T" ? "" : "M,f," + tmp + ",(1)(2)(3)\r") << tmp;
  }
  EXPECT_FALSE(fs::exists(inst.cwd() / "ZKERROR.LOG"));
}

// init_syerr_message removes the previous log (-1: there was none, or it
// could not be removed); a log that cannot be opened loses the line silently.
TEST_F(ErrorLogTest, InitRemovesThePreviousLogAndAnUnwritableLogLosesTheLine) {
  EXPECT_EQ(init_syerr_message(), -1);
  p.faults().add(platform::Op::Open, platform::kErrnoAccess, "ZKERROR.LOG");
  syerr_message("M", "f", "lost", 1, 2, 3);
  syerr_message("M", "f", "kept", 1, 2, 3);
  EXPECT_EQ(inst.log_reports(), std::vector<std::string>{"M,f,kept,(1)(2)(3)"});
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
