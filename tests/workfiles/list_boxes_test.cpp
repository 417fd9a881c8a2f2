// Filling the front end's list boxes from text and help files, and
// deselecting them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/list_box.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;

class ListBoxesTest : public ::testing::Test {
 protected:
  Installation inst;
  platform::ListBox box;
};

TEST_F(ListBoxesTest, TextFileLinesLoseTheirLastCharacter) {
  inst.write_cwd_file("LIST.TXT", "first\r\nsecond\n\nlast-without-lf");
  box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>("old line"));
  EXPECT_EQ(VBSetListBox(box.handle(), platform::FrontEndString("LIST.TXT").get()), 0);
  EXPECT_EQ(box.lines(), (Lines{"first", "second", "", "last-without-l"}));
  // The path is as long as the front end's string says, NUL or not.
  const uint32_t length = 8;
  std::vector<char> path(4 + 12);
  std::memcpy(path.data(), &length, 4);
  std::memcpy(path.data() + 4, "LIST.TXTjunk", 12);
  EXPECT_EQ(VBSetListBox(box.handle(), path.data() + 4), 0);
  EXPECT_EQ(box.lines().size(), 4u);
}

TEST_F(ListBoxesTest, LongTextLinesAreSplitAt127Characters) {
  const std::string line(130, 'a');
  inst.write_cwd_file("LONG.TXT", line + "b\n");
  EXPECT_EQ(VBSetListBox(box.handle(), platform::FrontEndString("LONG.TXT").get()), 0);
  // 127 characters read, the last of them dropped; then the rest with its
  // line feed dropped.
  EXPECT_EQ(box.lines(), (Lines{std::string(126, 'a'), "aaab"}));
}

TEST_F(ListBoxesTest, MissingTextFileIsLoggedAndEmptiesTheBox) {
  box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>("old line"));
  EXPECT_EQ(VBSetListBox(box.handle(), platform::FrontEndString("NONE.TXT").get()), 11);
  EXPECT_TRUE(box.lines().empty());
  EXPECT_EQ(inst.log_reports(), Lines{"ZKSUBD01,VBSetListBox,fopen,(11)(2)(48)"});
}

TEST_F(ListBoxesTest, ReadErrorOfATextFileIsFourteen) {
  inst.write_cwd_file("LIST.TXT", "one\ntwo\nthree\n");
  inst.platform().faults().add(platform::Op::Read, platform::kErrnoIo, "LIST.TXT", 3);
  EXPECT_EQ(VBSetListBox(box.handle(), platform::FrontEndString("LIST.TXT").get()), 14);
  EXPECT_EQ(box.lines(), (Lines{"one", "two"}));
  EXPECT_EQ(inst.log_reports(), Lines{"ZKSUBD01,VBSetListBox,fgets,(14)(5)(62)"});
}

TEST_F(ListBoxesTest, HelpFileOfTheMenuLanguage) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MAIN01.HLP", std::string(125, 'h') + "\nline two\n");
  box.send(platform::kLbSetHorizontalExtent, 640, 0);
  platform::FrontEndString topic("MAIN");
  EXPECT_EQ(VBReadHelpFile(box.handle(), topic.get()), 0);
  // 119 characters a piece, the last of each dropped.
  EXPECT_EQ(box.lines(), (Lines{std::string(118, 'h'), "hhhhhh", "line two"}));
  EXPECT_EQ(box.horizontal_extent(), 640);
  EXPECT_EQ(box.message_count(platform::kLbSetHorizontalExtent), 2);
}

TEST_F(ListBoxesTest, MissingHelpFileIsLoggedWithItsPath) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  platform::FrontEndString topic("PARTS");
  EXPECT_EQ(VBReadHelpFile(box.handle(), topic.get()), 11);
  EXPECT_EQ(inst.log_reports(), Lines{"ZKSUBH01,VBReadHelpFile,C:\\ZK\\PARTS01.HLP,(11)(2)(59)"});
}

TEST_F(ListBoxesTest, HelpFileReadErrorIsFourteen) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MAIN01.HLP", "a\nb\n");
  inst.platform().faults().add(platform::Op::Read, platform::kErrnoIo, "MAIN01.HLP", 2);
  platform::FrontEndString topic("MAIN");
  EXPECT_EQ(VBReadHelpFile(box.handle(), topic.get()), 14);
  EXPECT_EQ(inst.log_reports(), Lines{"ZKSUBH01,VBReadHelpFile,C:\\ZK\\MAIN01.HLP,(14)(5)(73)"});
}

TEST_F(ListBoxesTest, TopicIsTakenByItsByteLength) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MA01.HLP", "short topic\n");
  platform::FrontEndString topic("MAIN");
  // The front end's string says it is two bytes long: the topic is "MA".
  const uint32_t two = 2;
  std::memcpy(topic.get() - 4, &two, 4);
  EXPECT_EQ(VBReadHelpFile(box.handle(), topic.get()), 0);
  EXPECT_EQ(box.lines(), Lines{"short topic"});
}

TEST_F(ListBoxesTest, OverlongHelpTopicIsRefusedWithoutTouchingFiles) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  platform::FrontEndString topic(std::string(200, 'T'));
  EXPECT_EQ(VBReadHelpFile(box.handle(), topic.get()), 11);
  const Lines reports = inst.log_reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "ZKSUBH01,VBReadHelpFile," + std::string(200, 'T') + "01.HLP,(11)(22)(59)");
  // A topic that fits alone but not behind the directory is opened bare.
  inst.write_cwd_file(std::string(70, 'B') + "01.HLP", "bare\n");
  platform::FrontEndString fits(std::string(70, 'B'));
  EXPECT_EQ(VBReadHelpFile(box.handle(), fits.get()), 0);
  EXPECT_EQ(box.lines(), Lines{"bare"});
}

TEST_F(ListBoxesTest, ResetDeselectsEveryLine) {
  for (const char* l : {"a", "b", "c"}) box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>(l));
  box.send(platform::kLbSetSel, 1, -1);
  EXPECT_EQ(VBAllResetListBox(box.handle()), 0);
  EXPECT_FALSE(box.selected(0) || box.selected(1) || box.selected(2));
  EXPECT_EQ(box.message_count(platform::kLbSetSel), 4);  // one per line after the test's own
}

TEST_F(ListBoxesTest, ResetOfAnEmptyBoxAnswersItsCount) {
  EXPECT_EQ(VBAllResetListBox(box.handle()), 0);
  EXPECT_EQ(box.message_count(platform::kLbSetSel), 0);
  int not_a_box = 0;
  EXPECT_EQ(VBAllResetListBox(&not_a_box), 0);
}

}  // namespace
}  // namespace zk::test
