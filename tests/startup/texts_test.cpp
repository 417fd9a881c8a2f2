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

// Message texts are blank-filled to 71 characters, screen texts not; long
// lines keep their first characters; lines without leading digits are
// skipped.
TEST_F(TextsTest, LinesAndTheTextsTheyGive) {
  load_messages({"001Insert the disc", "002" + std::string(76, 'm'), "x01bad", "01 bad", "", "003good"});
  EXPECT_EQ(+c->msg_count, 3);
  EXPECT_NE(+c->msg_table, 0u);
  EXPECT_EQ(std::string(get_1stmsg_text(1)), padded("Insert the disc"));
  EXPECT_EQ(std::string(get_1stmsg_text(2)), std::string(71, 'm'));
  EXPECT_EQ(std::string(get_1stmsg_text(3)), padded("good"));
  load_screens({"# 0001 comment", "abcd text", "12 short", "0007 seven", "0008", "1001 " + std::string(94, 's')});
  EXPECT_EQ(+c->scr_count, 3);
  EXPECT_EQ(std::string(get_scr_text(7)), "seven");
  EXPECT_EQ(std::string(get_scr_text(8)), "");
  EXPECT_EQ(std::string(get_scr_text(1001)), std::string(70, 's'));
}

TEST_F(TextsTest, AtMostFourHundredMessagesAndFiveHundredScreenTexts) {
  std::vector<std::string> msgs, scrs;
  for (int i = 0; i < 401; ++i) msgs.push_back(std::to_string(100 + i % 900).substr(0, 3) + "m" + std::to_string(i));
  for (int i = 0; i < 501; ++i) scrs.push_back(std::to_string(1000 + i) + " s" + std::to_string(i));
  load_messages(msgs);
  load_screens(scrs);
  EXPECT_EQ(+c->msg_count, 400);
  EXPECT_EQ(+c->scr_count, 500);
  EXPECT_EQ(get_scr_text(1500), nullptr);  // the 501st line was not loaded
  EXPECT_EQ(std::string(get_scr_text(1499)), "s499");
}

TEST_F(TextsTest, SecondLineMustFollowDirectly) {
  load_messages({"002First", "002Second", "002Third"});
  EXPECT_EQ(std::string(get_1stmsg_text(2)), padded("First"));
  EXPECT_EQ(std::string(get_2ndmsg_text()), padded("Second"));
  EXPECT_EQ(get_2ndmsg_text(), nullptr);  // the memory was cleared

  load_messages({"002First", "003Other", "002Second"});
  EXPECT_EQ(std::string(get_1stmsg_text(2)), padded("First"));
  EXPECT_EQ(get_2ndmsg_text(), nullptr);

  load_messages({"001Only"});  // nothing behind the end of the table
  ASSERT_NE(get_1stmsg_text(1), nullptr);
  EXPECT_EQ(get_2ndmsg_text(), nullptr);
  EXPECT_EQ(get_1stmsg_text(9), nullptr);
}

TEST_F(TextsTest, ScreenTextsInOrderAreTakenWithoutSearch) {
  load_screens({"1001 one", "1002 two", "1003 three", "1005 five"});
  EXPECT_EQ(std::string(get_scr_text(1002)), "two");    // a search
  EXPECT_EQ(std::string(get_scr_text(1003)), "three");  // the next record
  // The sequential path does not compare numbers: 1004 is the record after
  // 1003, which is 1005's.
  EXPECT_EQ(std::string(get_scr_text(1004)), "five");
  EXPECT_EQ(std::string(get_scr_text(1001)), "one");
  EXPECT_EQ(get_scr_text(1009), nullptr);
  EXPECT_EQ(std::string(get_scr_text(1002)), "two");  // a failed search left the memory alone
}

// The lookup memories belong to the process, not to the tables: loading new
// files (as a restart does) keeps them, and the new table is read at the
// remembered position.
TEST_F(TextsTest, LookupMemoriesOutliveTheTables) {
  load_messages({"001First", "001Second"});
  load_screens({"1001 one", "1002 two"});
  ASSERT_NE(get_1stmsg_text(1), nullptr);
  ASSERT_NE(get_scr_text(1001), nullptr);
  load_messages({"001Other", "001Again"});
  load_screens({"1001 uno", "2000 zwei", "1002 due"});
  EXPECT_EQ(std::string(get_2ndmsg_text()), padded("Again"));
  EXPECT_EQ(std::string(get_scr_text(1002)), "zwei");  // the record after 1001's, unsearched
}

TEST_F(TextsTest, MissingFilesAndMemoryFailuresGiveOne) {
  EXPECT_EQ(set_msg(), 1);
  EXPECT_EQ(set_scr(), 1);
  inst.write_messages({"001x"});
  inst.write_screens({"0001 x"});
  inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ(set_msg(), 1);
  EXPECT_EQ(+c->msg_table, 0u);
  inst.platform().faults().clear();
  inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ(set_scr(), 1);
  EXPECT_EQ(+c->scr_table, 0u);
  EXPECT_EQ(get_1stmsg_text(1), nullptr);
}

TEST_F(TextsTest, MenuLanguageChoosesTheFiles) {
  inst.write('c', "ZK\\ZKDROM03.MSG", "001Bonjour\n");
  inst.write_cwd_file("ZKDROM03.SCR", "0001 Ecran\n");
  std::memcpy(c->menu_lang, "03", 3);
  ASSERT_EQ(set_msg(), 0);
  ASSERT_EQ(set_scr(), 0);
  EXPECT_EQ(std::string(get_1stmsg_text(1)), padded("Bonjour"));
  EXPECT_EQ(std::string(get_scr_text(1)), "Ecran");
}

// Freeing releases the tables but keeps the counts; a count a caller wrote
// over never reads past the table.
TEST_F(TextsTest, FreedTablesAndCorruptCountsGiveNoText) {
  load_screens({"0001 a"});
  free_scr();
  EXPECT_EQ(+c->scr_table, 0u);
  EXPECT_EQ(+c->scr_count, 1);
  EXPECT_EQ(get_scr_text(1), nullptr);
  load_messages({"001a"});
  c->msg_count = 30000;
  EXPECT_EQ(get_1stmsg_text(999), nullptr);
  c->msg_count = -3;
  EXPECT_EQ(get_1stmsg_text(1), nullptr);
}

TEST_F(TextsTest, VBGetMsgJoinsTheTwoLines) {
  load_messages({"010Line one", "010Line two", "011Alone"});
  platform::FrontEndString s(148, '*');
  EXPECT_EQ(VBGetMsg(10, s.get()), 148);
  EXPECT_EQ(s.str(), padded("Line one") + "\r\n" + padded("Line two") + std::string(4, '\0'));
  platform::FrontEndString one(80, '*');
  EXPECT_EQ(VBGetMsg(11, one.get()), 80);
  EXPECT_EQ(one.str(), padded("Alone") + std::string(9, '\0'));
  platform::FrontEndString none(10, '*');
  EXPECT_EQ(VBGetMsg(99, none.get()), 0);
  EXPECT_EQ(none.str(), std::string(10, '*'));
  platform::FrontEndString huge(300, '*');
  EXPECT_EQ(VBGetMsg(10, huge.get()), 148);  // never more than the 148-byte text
  EXPECT_EQ(huge.str().substr(148), std::string(152, '*'));
}

TEST_F(TextsTest, VBGetScrFillsTheStringWithNuls) {
  load_screens({"0020 Parts"});
  platform::FrontEndString s(8, '*');
  VBGetScr(20, s.get());
  EXPECT_EQ(s.str(), std::string("Parts\0\0\0", 8));
  platform::FrontEndString shorter(3, '*');
  VBGetScr(20, shorter.get());
  EXPECT_EQ(shorter.str(), "Par");
  platform::FrontEndString untouched(4, '*');
  VBGetScr(21, untouched.get());
  EXPECT_EQ(untouched.str(), "****");
}

}  // namespace
}  // namespace zk::test
