// Loading the message and screen texts and fetching them by number.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

std::string padded(const std::string& s) { return s + std::string(71 - s.size(), ' '); }
std::string text(const char* p) { return p ? p : "(none)"; }

class TextsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    c = get_ctop_addr();
    std::memcpy(c->menu_lang, "01", 3);
    std::memcpy(c->ecfil_path, "C:\\ZK", 6);
  }
  void TearDown() override {
    free_msg();
    free_scr();
  }
  void load_messages(const std::vector<std::string>& lines) {
    inst.write_messages(lines);
    ASSERT_EQ(set_msg(), 0);
  }
  void load_screens(const std::vector<std::string>& lines) {
    inst.write_screens(lines);
    ASSERT_EQ(set_scr(), 0);
  }
  Installation inst;
  zkall_ctop* c = nullptr;
};

// The menu language names the files. Message texts are blank-filled to 71
// characters, screen texts not; long lines keep their first characters;
// lines without leading digits are skipped.
TEST_F(TextsTest, LinesAndTheTextsTheyGive) {
  std::memcpy(c->menu_lang, "03", 3);
  inst.write('c', "ZK\\ZKDROM03.MSG", "001Insert the disc\n002" + std::string(76, 'm') + "\nx01bad\n01 bad\n\n003good\n");
  inst.write_cwd_file("ZKDROM03.SCR", "# 0001 comment\nabcd text\n12 short\n0007 seven\n0008\n1001 " + std::string(94, 's'));
  ASSERT_EQ(set_msg() + set_scr(), 0);
  EXPECT_EQ(+c->msg_count, 3);
  EXPECT_EQ(text(get_1stmsg_text(1)) + text(get_1stmsg_text(2)) + text(get_1stmsg_text(3)),
            padded("Insert the disc") + std::string(71, 'm') + padded("good"));
  EXPECT_EQ(+c->scr_count, 3);
  EXPECT_EQ(text(get_scr_text(7)) + "|" + text(get_scr_text(8)) + "|" + text(get_scr_text(1001)),
            "seven||" + std::string(70, 's'));
}

// A second line follows its first directly, and its memory is cleared once
// read; the lookup memories belong to the process, not to the tables:
// loading new files (as a restart does) keeps them.
TEST_F(TextsTest, SecondLineMustFollowDirectlyAndTheMemoryOutlivesTheTable) {
  const std::vector<std::string> files[] = {{"002First", "002Second", "002Third"},
                                            {"002First", "003Other", "002Second"},
                                            {"001Only"}};
  const char* second[] = {"Second", nullptr, nullptr};
  for (int i = 0; i < 3; ++i) {
    load_messages(files[i]);
    EXPECT_EQ(std::string(get_1stmsg_text(i == 2 ? 1 : 2)), padded(i == 2 ? "Only" : "First"));
    EXPECT_EQ(text(get_2ndmsg_text()), second[i] ? padded(second[i]) : "(none)") << i;
    EXPECT_EQ(get_2ndmsg_text(), nullptr);  // the memory was cleared, or there is nothing behind the table
  }
  load_messages({"001First", "001Second"});
  ASSERT_NE(get_1stmsg_text(1), nullptr);
  load_messages({"001Other", "001Again"});
  EXPECT_EQ(text(get_2ndmsg_text()), padded("Again"));
}

// Screen texts in order are taken without search: the sequential path does
// not compare numbers, also across a reload.
TEST_F(TextsTest, ScreenTextsInOrderAreTakenWithoutSearch) {
  load_screens({"1001 one", "1002 two", "1003 three", "1005 five"});
  std::string got;
  for (int number : {1002, 1003, 1004, 1001, 1009, 1002}) got += text(get_scr_text(number)) + "|";
  EXPECT_EQ(got, "two|three|five|one|(none)|two|");
  load_screens({"1001 uno", "2000 zwei", "1002 due"});
  got = text(get_scr_text(1001));
  EXPECT_EQ(got + text(get_scr_text(1002)), "unozwei");  // the record after 1001's, unsearched
}

// Freeing releases the tables but keeps the counts; a count a caller wrote
// over never reads past the table.
TEST_F(TextsTest, FreedTablesAndCorruptCountsGiveNoText) {
  load_screens({"0001 a"});
  free_scr();
  EXPECT_EQ(+c->scr_table * 10 + c->scr_count, 1u);
  EXPECT_EQ(get_scr_text(1), nullptr);
  load_messages({"001a"});
  c->msg_count = 30000;
  EXPECT_EQ(get_1stmsg_text(999), nullptr);
}

// The front end's strings: VBGetMsg joins the two lines and fills with NULs
// (never more than the 148-byte text; nothing for an unknown number),
// VBGetScr fills with NULs within the string's length.
TEST_F(TextsTest, FrontEndStringsAreFilledWithinTheirLength) {
  load_messages({"010Line one", "010Line two", "011Alone"});
  load_screens({"0020 Parts"});
  const std::string two = padded("Line one") + "\r\n" + padded("Line two");
  const std::string nuls(4, '\0');
  const struct { bool msg; int number; size_t size; int32_t rc; std::string want; } cases[] = {
      {true, 10, 148, 148, two + nuls}, {true, 10, 300, 148, two + nuls + std::string(152, '*')},
      {true, 11, 80, 80, padded("Alone") + std::string(9, '\0')}, {true, 99, 10, 0, std::string(10, '*')},
      {false, 20, 8, 0, std::string("Parts\0\0\0", 8)}, {false, 20, 3, 0, "Par"}, {false, 21, 4, 0, "****"}};
  for (const auto& k : cases) {
    platform::FrontEndString s(k.size, '*');
    int32_t rc = 0;
    if (k.msg) rc = VBGetMsg(k.number, s.get());
    else VBGetScr(k.number, s.get());
    EXPECT_EQ(rc, k.rc) << k.number;
    EXPECT_EQ(s.str(), k.want) << k.number << "/" << k.size;
  }
}

}  // namespace
}  // namespace zk::test
