// Opening through the handle table, records by number, copying, and the
// pattern delete; filling the front end's list boxes from text and help
// files, and deselecting them.
#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/list_box.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
using platform::Op;
using std::tuple;

using Lines = std::vector<std::string>;

class FileUtilsTest : public ::testing::Test {
 protected:
  void TearDown() override { closeall2(); }
  std::string cwd_file(const char* name) const {
    std::ifstream in(inst.cwd() / name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }
  // A front-end string holding `text` whose length word says `length`.
  static platform::FrontEndString string_of(const std::string& text, uint32_t length) {
    platform::FrontEndString s(text);
    std::memcpy(s.get() - 4, &length, 4);
    return s;
  }
  Installation inst;
  platform::ListBox box;
};

TEST_F(FileUtilsTest, OpensRegisterTheirDescriptorsAndRecordsGoByNumber) {
  inst.write_cwd_file("R.DAT", "AAAABBBBCCCC");
  int32_t fd = -7, err = -7;
  ASSERT_EQ(open_read("R.DAT", &fd, &err), 0);
  EXPECT_EQ((tuple{(*handle_flag() >> fd) & 1u, err}), (tuple{1u, -7}));  // the error word is not cleared on success
  close2(fd);
  ASSERT_EQ(open_rdwr("R.DAT", &fd, &err), 0);
  char rec[4];
  EXPECT_EQ((tuple{direct_read(fd, 1, rec, 4, &err), std::string(rec, 4)}), (tuple{0, "BBBB"}));
  EXPECT_EQ(direct_write(fd, 1, "xy", 2, &err), 0);    // record 1 of 2 bytes: offset 2
  EXPECT_EQ(direct_write(fd, 3, "DDDD", 4, &err), 0);  // appends a record
  err = 99;
  // Beyond the end: the error word is cleared first, a short read is no system error.
  EXPECT_EQ((tuple{direct_read(fd, 4, rec, 4, &err), err}), (tuple{14, 0}));
  EXPECT_EQ((tuple{direct_read(fd, -1, rec, 4, &err), err}), (tuple{15, 22}));  // never reaches the file
  inst.platform().faults().add(Op::Write, platform::kErrnoNoSpace, "R.DAT");
  EXPECT_EQ((tuple{direct_write(fd, 0, "ZZZZ", 4, &err), err}), (tuple{13, platform::kErrnoNoSpace}));
  close2(fd);
  EXPECT_EQ(cwd_file("R.DAT"), "AAxyBBBBCCCCDDDD");
  ASSERT_EQ(open_write("B.DAT", &fd, &err), 0);  // created
  close2(fd);
  EXPECT_EQ((tuple{fs::exists(inst.cwd() / "B.DAT"), *handle_flag()}), (tuple{true, 0u}));

  EXPECT_EQ((tuple{open_read("MISSING.DAT", &fd, &err), fd, err}), (tuple{11, -1, 2}));
  // Read-write does not create.
  EXPECT_EQ((tuple{open_rdwr("MISSING.DAT", &fd, &err), fs::exists(inst.cwd() / "MISSING.DAT")}), (tuple{11, false}));
}

TEST_F(FileUtilsTest, CopyCopiesEveryByteAndFailuresCloseBothFiles) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += static_cast<char>(i * 7);
  inst.write_cwd_file("SRC.DAT", big);
  inst.write_cwd_file("EMPTY.DAT", "");
  // The destination is opened (emptied) first, so a missing source leaves it empty. A failed close of
  // the destination is a failure of the copy (its bytes may be lost), and releases the descriptor.
  struct Case { const char* source; bool close_fails; int rc, err; } cases[] = {
      {"SRC.DAT", false, 0, 0}, {"EMPTY.DAT", false, 0, 0}, {"MISSING.DAT", false, 11, 2}, {"SRC.DAT", true, 12, 5}};
  for (const Case& c : cases) {
    inst.write_cwd_file("DST.DAT", std::string(9000, 'x'));
    if (c.close_fails) inst.platform().faults().add(Op::Close, platform::kErrnoIo, "DST.DAT");
    int32_t err = -1;
    EXPECT_EQ((tuple{file_copy("DST.DAT", c.source, &err), err, *handle_flag()}), (tuple{c.rc, c.err, 0u})) << c.source;
    EXPECT_TRUE(c.close_fails || cwd_file("DST.DAT") == (c.rc ? "" : cwd_file(c.source))) << c.source;
    inst.platform().faults().clear();
  }
}

// A copy onto the same file, however it is named, would empty it before
// reading it: nothing is done and the file keeps its bytes.
TEST_F(FileUtilsTest, CopyOntoTheSameFileChangesNothing) {
  inst.write_cwd_file("SRC.DAT", "precious bytes");
  fs::create_hard_link(inst.cwd() / "SRC.DAT", inst.cwd() / "HARD.DAT");
  std::vector<const char*> destinations{"SRC.DAT", "src.dat", ".\\Src.Dat", "HARD.DAT"};
#ifndef _WIN32  // Wine has no symbolic links to files
  fs::create_symlink(inst.cwd() / "SRC.DAT", inst.cwd() / "LINK.DAT");
  destinations.push_back("LINK.DAT");
#endif
  for (const char* destination : destinations) {
    int32_t err = 5;
    EXPECT_EQ((tuple{file_copy(destination, "SRC.DAT", &err), err, *handle_flag(), cwd_file("SRC.DAT")}),
              (tuple{0, 0, 0u, "precious bytes"})) << destination;
  }
}

TEST_F(FileUtilsTest, RemoveDeletesMatchingFilesOnlyAndRefusesBadArguments) {
  inst.mkdir('c', "WORK\\SUB");
  const char* const files[] = {"SELECT.TMP", "a.tmp", "B.TMP", "KEEP.DAT", "TMP", "SUB\\DEEP.TMP"};
  for (const char* f : files) inst.write('c', std::string("WORK\\") + f, "x");
  // No directory or one starting with a blank: 401; more than 79 characters in all: 402.
  const std::string seventy = "C:\\WORK\\" + std::string(62, 'D');
  EXPECT_EQ((tuple{file_remove(nullptr, "*.TMP"), file_remove("", "*.TMP"), file_remove(" C:\\WORK", "*.TMP"),
                   file_remove("\tC:\\WORK", "*.TMP"), file_remove(seventy.c_str(), "0123456789"),
                   file_remove(seventy.c_str(), "012345678")}),
            (tuple{401, 401, 401, 401, 402, 0}));
  inst.platform().faults().add(Op::Delete, 5, "B.TMP");
  EXPECT_EQ(file_remove("C:\\WORK", "*.TMP"), 0);
  std::string left;
  for (const char* f : files) left += inst.exists('c', std::string("WORK\\") + f) ? "1" : "0";
  EXPECT_EQ(left, "001111");                         // a failed deletion is passed over; no subdirectory entered
  EXPECT_EQ(file_remove("C:\\WORK", "*.NONE"), 0);   // nothing matches
  EXPECT_EQ(file_remove("C:\\WORK\\", nullptr), 0);  // every file, the directory stays
  EXPECT_EQ((tuple{inst.exists('c', "WORK\\KEEP.DAT"), inst.exists('c', "WORK\\SUB\\DEEP.TMP")}), (tuple{false, true}));
}

// Each line loses its last character (the line feed, or the last one read
// when a line is cut at 127); the path is as long as the front end says.
TEST_F(FileUtilsTest, TextFileLinesLoseTheirLastCharacter) {
  inst.write_cwd_file("LIST.TXT", "first\r\nsecond\n\n" + std::string(130, 'a') + "b\nlast-without-lf");
  box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>("old line"));
  EXPECT_EQ((tuple{VBSetListBox(box.handle(), string_of("LIST.TXTjunk", 8).get()), box.lines()}),
            (tuple{0, Lines{"first", "second", "", std::string(126, 'a'), "aaab", "last-without-l"}}));
}

// Help files of the menu language, 119 characters a piece; the topic is
// taken by its byte length, and one too long for the path is logged.
TEST_F(FileUtilsTest, HelpFileOfTheMenuLanguage) {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.write('c', "ZK\\MAIN01.HLP", std::string(125, 'h') + "\nline two\n");
  inst.write('c', "ZK\\MA01.HLP", "short topic\n");
  inst.write_cwd_file(std::string(70, 'B') + "01.HLP", "bare\n");  // fits alone, not behind the directory
  const std::string long_topic(200, 'T');
  struct Case { std::string topic; uint32_t length; int rc; Lines lines; std::string report; } cases[] = {
      {"MAIN", 4, 0, {std::string(118, 'h'), "hhhhhh", "line two"}, ""}, {"MAIN", 2, 0, {"short topic"}, ""},
      {std::string(70, 'B'), 70, 0, {"bare"}, ""},
      {long_topic, 200, 11, {}, "ZKSUBH01,VBReadHelpFile," + long_topic + "01.HLP,(11)(22)(59)"}};
  for (const Case& c : cases) {
    inst.write_cwd_file("ZKERROR.LOG", "");
    platform::ListBox help;
    help.send(platform::kLbSetHorizontalExtent, 640, 0);
    // The extent is sent again as it was, whatever the outcome.
    EXPECT_EQ((tuple{VBReadHelpFile(help.handle(), string_of(c.topic, c.length).get()), help.lines(),
                     inst.log_reports(), help.horizontal_extent(), help.message_count(platform::kLbSetHorizontalExtent)}),
              (tuple{c.rc, c.lines, c.report.empty() ? Lines{} : Lines{c.report}, 640, 2}))
        << c.topic << " " << c.length;
  }
}

TEST_F(FileUtilsTest, ResetDeselectsEveryLine) {
  EXPECT_EQ((tuple{VBAllResetListBox(box.handle()), box.message_count(platform::kLbSetSel)}), (tuple{0, 0}));  // empty
  for (const char* l : {"a", "b", "c"}) box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>(l));
  box.send(platform::kLbSetSel, 1, -1);
  // One message per line after the test's own; something not a list box is left alone.
  int not_a_box = 0;
  EXPECT_EQ((tuple{VBAllResetListBox(box.handle()), box.selected(0) || box.selected(1) || box.selected(2),
                   box.message_count(platform::kLbSetSel), VBAllResetListBox(&not_a_box)}),
            (tuple{0, false, 4, 0}));
}

}  // namespace
}  // namespace zk::test
