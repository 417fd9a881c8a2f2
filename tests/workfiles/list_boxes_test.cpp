// Filling the front end's list boxes from text and help files, and
// deselecting them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/list_box.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;
using std::tuple;

class ListBoxesTest : public ::testing::Test {
 protected:
  // A front-end string holding `text` whose length word says `length`.
  static platform::FrontEndString string_of(const std::string& text, uint32_t length) {
    platform::FrontEndString s(text);
    std::memcpy(s.get() - 4, &length, 4);
    return s;
  }
  Installation inst;
  platform::ListBox box;
};

// Each line loses its last character (the line feed, or the last one read
// when a line is cut at 127); a failure empties the box or keeps what was
// read, with one log line. The path is as long as the front end says.
TEST_F(ListBoxesTest, TextFileLinesLoseTheirLastCharacter) {
  inst.write_cwd_file("LIST.TXT", "first\r\nsecond\n\n" + std::string(130, 'a') + "b\nlast-without-lf");
  struct Case { std::string path; uint32_t length; int read_fault, rc; Lines lines, reports; } cases[] = {
      {"LIST.TXT", 8, 0, 0, {"first", "second", "", std::string(126, 'a'), "aaab", "last-without-l"}, {}},
      {"LIST.TXTjunk", 8, 0, 0, {"first", "second", "", std::string(126, 'a'), "aaab", "last-without-l"}, {}},
      {"NONE.TXT", 8, 0, 11, {}, {"ZKSUBD01,VBSetListBox,fopen,(11)(2)(48)"}},
      {"LIST.TXT", 8, 3, 14, {"first", "second"}, {"ZKSUBD01,VBSetListBox,fgets,(14)(5)(62)"}},
  };
  for (const Case& c : cases) {
    inst.write_cwd_file("ZKERROR.LOG", "");
    if (c.read_fault) inst.platform().faults().add(platform::Op::Read, platform::kErrnoIo, "LIST.TXT", c.read_fault);
    box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>("old line"));
    EXPECT_EQ((tuple{VBSetListBox(box.handle(), string_of(c.path, c.length).get()), box.lines(), inst.log_reports()}),
              (tuple{c.rc, c.lines, c.reports})) << c.path << " " << c.read_fault;
    inst.platform().faults().clear();
  }
}

// Help files of the menu language, 119 characters a piece; the topic is
// taken by its byte length, and one too long for the path is logged.
TEST_F(ListBoxesTest, HelpFileOfTheMenuLanguage) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MAIN01.HLP", std::string(125, 'h') + "\nline two\n");
  inst.write('c', "ZK\\MA01.HLP", "short topic\n");
  inst.write_cwd_file(std::string(70, 'B') + "01.HLP", "bare\n");  // fits alone, not behind the directory
  const std::string long_topic(200, 'T');
  struct Case { std::string topic; uint32_t length; int read_fault, rc; Lines lines; std::string report; } cases[] = {
      {"MAIN", 4, 0, 0, {std::string(118, 'h'), "hhhhhh", "line two"}, ""},
      {"MAIN", 2, 0, 0, {"short topic"}, ""},
      {std::string(70, 'B'), 70, 0, 0, {"bare"}, ""},
      {"PARTS", 5, 0, 11, {}, "ZKSUBH01,VBReadHelpFile,C:\\ZK\\PARTS01.HLP,(11)(2)(59)"},
      {"MAIN", 4, 2, 14, {std::string(118, 'h')}, "ZKSUBH01,VBReadHelpFile,C:\\ZK\\MAIN01.HLP,(14)(5)(73)"},
      {long_topic, 200, 0, 11, {}, "ZKSUBH01,VBReadHelpFile," + long_topic + "01.HLP,(11)(22)(59)"},
  };
  for (const Case& c : cases) {
    inst.write_cwd_file("ZKERROR.LOG", "");
    if (c.read_fault) inst.platform().faults().add(platform::Op::Read, platform::kErrnoIo, "MAIN01.HLP", c.read_fault);
    platform::ListBox help;
    help.send(platform::kLbSetHorizontalExtent, 640, 0);
    // The extent is sent again as it was, whatever the outcome.
    EXPECT_EQ((tuple{VBReadHelpFile(help.handle(), string_of(c.topic, c.length).get()), help.lines(),
                     inst.log_reports(), help.horizontal_extent(), help.message_count(platform::kLbSetHorizontalExtent)}),
              (tuple{c.rc, c.lines, c.report.empty() ? Lines{} : Lines{c.report}, 640, 2}))
        << c.topic << " " << c.length;
    inst.platform().faults().clear();
  }
}

TEST_F(ListBoxesTest, ResetDeselectsEveryLine) {
  EXPECT_EQ((tuple{VBAllResetListBox(box.handle()), box.message_count(platform::kLbSetSel)}), (tuple{0, 0}));  // empty
  for (const char* l : {"a", "b", "c"}) box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>(l));
  box.send(platform::kLbSetSel, 1, -1);
  EXPECT_EQ(VBAllResetListBox(box.handle()), 0);
  EXPECT_FALSE(box.selected(0) || box.selected(1) || box.selected(2));
  EXPECT_EQ(box.message_count(platform::kLbSetSel), 4);  // one per line after the test's own
  int not_a_box = 0;
  EXPECT_EQ(VBAllResetListBox(&not_a_box), 0);
}

}  // namespace
}  // namespace zk::test
