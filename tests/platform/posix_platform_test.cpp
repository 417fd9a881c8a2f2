// The POSIX platform: drive links and label files, Windows paths matched
// without regard to case, the runtime's text mode and flag numbers, DOS
// patterns and attributes, the fault plan, list boxes and message boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <map>
#include <tuple>

#include "platform/list_box.h"
#include "support/installation.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
namespace pf = zk::platform;

class PosixPlatformTest : public ::testing::Test {
 protected:
  // The bytes of `path` as fopen in `mode` reads them, or "(error N)".
  std::string contents(const std::string& path, const char* mode = "rb") {
    int err = 0;
    auto f = p.fopen(path, mode, err);
    if (!f) return "(error " + std::to_string(err) + ")";
    std::string out(64, '\0');
    out.resize(f->read(out.data(), out.size()));
    return out;
  }
  Installation inst;
  TestPlatform& p = inst.platform();
};

TEST_F(PosixPlatformTest, DrivesAreLinksAndTheLabelIsTheFirstLineOfTheLabelFile) {
  inst.add_drive('d');
  std::ofstream(inst.drive_root('d') / ".windows-label") << "19990101E1 CATALOG\r\nsecond line\n";
  inst.add_drive('f');  // no label file: an empty label
  const std::pair<const char*, const char*> labels[] = {{"d:\\", "19990101E1 CATALOG"}, {"F:\\", ""}};
  for (const auto& [root, want] : labels) {
    std::string label = "?";
    uint32_t err = 0;
    EXPECT_TRUE(p.volume_label(root, label, err) && label == want && p.drive_type(root) == pf::kDriveFixed) << root;
  }
  EXPECT_EQ(p.drive_type("1:\\"), pf::kDriveNoRootDir);
}

TEST_F(PosixPlatformTest, PathsMatchExistingComponentsWithoutRegardToCase) {
  inst.write('c', "Cat\\Mst\\e1\\ZkRootMf.mst", "root");
  inst.write('c', "DIR\\name.txt", "lower");
  inst.write('c', "DIR\\NAME.TXT", "upper");
  inst.write_cwd_file("ZKDROM.SYS", "x");
  inst.empty_drive('e');
  std::string abs = (inst.cwd() / "ZKDROM.SYS").string(), backslashed = abs;
  for (char& c : backslashed)
    if (c == '/') c = '\\';
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\CAT\\MST\\E1\\ZKROOTMF.MST", "root"},
      {"C:\\DIR\\name.txt", "lower"},  // an exact match wins over one without regard to case
      {"c:\\dir\\NAME.TXT", "upper"},
      {"zkdrom.sys", "x"},
      {".\\ZKDROM.SYS", "x"},
      {abs, "x"},
      {backslashed, "x"},
      {"Q:\\X.DAT", "(error 2)"},   // no such drive
      {"E:\\X.DAT", "(error 13)"},  // a drive without a disc
  };
  for (const auto& [path, want] : cases) EXPECT_EQ(contents(path), want) << path;

  // A component that does not exist is kept as written, so new files get
  // the library's upper-case names inside the existing directories.
  int err = 0;
  ASSERT_NE(p.fopen("c:\\cat\\MST\\NEW.TMP", "wb", err), nullptr);
  EXPECT_TRUE(fs::exists(inst.drive_root('c') / "Cat" / "Mst" / "NEW.TMP"));
  EXPECT_EQ(p.open("E:\\X.DAT", pf::kOpenBinary, 0, err), -1);
  EXPECT_EQ(err, pf::kErrnoAccess);
}

// Only the CR right before an LF goes; gets splits long lines as fgets does.
TEST_F(PosixPlatformTest, TextModeReadsCarriageReturnLineFeedAsLineFeed) {
  inst.write_cwd_file("T.TXT", "ab\r\ncd\r\r\nlone\rcr\nabcdefg\n");
  EXPECT_EQ(contents("T.TXT", "rt"), "ab\ncd\r\nlone\rcr\nabcdefg\n");
  EXPECT_EQ(contents("T.TXT", "rb"), "ab\r\ncd\r\r\nlone\rcr\nabcdefg\n");
  int err = 0;
  auto f = p.fopen("T.TXT", "rt", err);
  char buf[4];
  std::vector<std::string> pieces;
  while (f->gets(buf, sizeof buf)) pieces.emplace_back(buf);
  EXPECT_FALSE(f->error());
  EXPECT_EQ(pieces, (std::vector<std::string>{"ab\n", "cd\r", "\n", "lon", "e\rc", "r\n", "abc", "def", "g\n"}));
}

TEST_F(PosixPlatformTest, DescriptorsTakeTheWindowsRuntimeFlagNumbers) {
  int err = 0;
  int fd = p.open("NEW.DAT", 0x8302, 0x0180, err);  // binary, read-write, create, truncate
  ASSERT_GE(fd, 0);
  EXPECT_EQ(p.write(fd, "hello", 5, err), 5);
  EXPECT_EQ(p.lseek(fd, 1, pf::kSeekSet, err), 1);
  char buf[8] = {};
  EXPECT_EQ(p.read(fd, buf, 8, err), 4);
  EXPECT_STREQ(buf, "ello");
  EXPECT_EQ(p.filelength(fd, err), 5);
  EXPECT_EQ(p.close(fd, err), 0);

  fd = p.open("NEW.DAT", 0x8000, 0, err);  // read only
  ASSERT_GE(fd, 0);
  EXPECT_EQ(p.write(fd, "x", 1, err), -1);
  p.close(fd, err);

  const std::tuple<const char*, int, int> refused[] = {{"MISSING.DAT", 0x8002, pf::kErrnoNoEntry},  // existing only
                                                       {".", 0x8000, pf::kErrnoAccess}};  // a directory
  for (const auto& [path, flags, error] : refused) {
    EXPECT_EQ(p.open(path, flags, 0, err), -1) << path;
    EXPECT_EQ(err, error) << path;
  }
}

// What the listing tables of platform_test.cpp do not reach.
TEST(DosPatternTest, MatchesAsWindowsDoes) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {"*.TMP", "SELECT.TMPX", false}, {"*", "ANY.THING", true}, {"E?", "E12", false}, {"A*B*C", "AXXBYYC", true},
      {"ZK*.MST", "ZKROOTMF.MSX", false}, {"*.", ".", true}, {"*.TMP", ".", false}, {"", "X", false},
  };
  for (const auto& [pattern, name, match] : cases)
    EXPECT_EQ(pf::dos_pattern_match(pattern, name), match) << pattern << " vs " << name;
}

TEST_F(PosixPlatformTest, ListingsReportWindowsAttributesSizesAndErrors) {
  inst.mkdir('c', "CAT\\E1");
  inst.write('c', "CAT\\E2.DAT", std::string(3000, 'x'));
  inst.write('c', "CAT\\.hidden", "h");
  inst.mkdir('c', "CAT\\RO");
  fs::permissions(inst.drive_root('c') / "CAT" / "RO", fs::perms::owner_write, fs::perm_options::remove);
  pf::FindEntry e;
  uint32_t err = 0;
  auto f = p.find_first("C:\\cat\\*.*", e, err);
  ASSERT_NE(f, nullptr);
  std::map<std::string, std::pair<uint32_t, uint64_t>> seen;  // attributes and size
  do seen[e.name] = {e.attributes, e.name == "E2.DAT" ? e.size : 0};
  while (f->next(e, err));
  EXPECT_EQ(err, pf::kErrorNoMoreFiles);
  fs::permissions(inst.drive_root('c') / "CAT" / "RO", fs::perms::owner_write, fs::perm_options::add);
  const uint32_t dir = pf::kAttrDirectory;
  EXPECT_EQ(seen, (decltype(seen){{".", {dir, 0}}, {"..", {dir, 0}}, {"E1", {dir, 0}},
                                  {"RO", {dir | pf::kAttrReadOnly, 0}}, {"E2.DAT", {pf::kAttrArchive, 3000}},
                                  {".hidden", {pf::kAttrArchive | pf::kAttrHidden, 0}}}));

  inst.empty_drive('e');
  const std::pair<const char*, uint32_t> failures[] = {{"C:\\CAT\\E1\\*.TMP", pf::kErrorFileNotFound},
                                                       {"C:\\NOWHERE\\*.*", pf::kErrorPathNotFound},
                                                       {"E:\\*.*", pf::kErrorNotReady}};
  for (const auto& [pattern, error] : failures) {
    EXPECT_EQ(p.find_first(pattern, e, err), nullptr) << pattern;
    EXPECT_EQ(err, error) << pattern;
  }
  // A drive root lists no "." and "..".
  inst.add_drive('d');
  inst.write('d', "A.DAT", "a");
  f = p.find_first("D:\\*.*", e, err);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(e.name, "A.DAT");
  EXPECT_FALSE(f->next(e, err));
}

TEST_F(PosixPlatformTest, DeletesOfMissingFilesAndTheCurrentDirectory) {
  inst.write_cwd_file("A.TMP", "a");
  uint32_t werr = 0;
  EXPECT_TRUE(p.delete_file("a.tmp", werr));
  EXPECT_FALSE(p.delete_file("a.tmp", werr));
  EXPECT_EQ(werr, pf::kErrorFileNotFound);
  int err = 0;
  EXPECT_EQ(p.remove("A.TMP", err), -1);
  EXPECT_EQ(err, pf::kErrnoNoEntry);

  const std::string here = p.current_directory();
  EXPECT_EQ(fs::path(here), fs::current_path());
  inst.mkdir('c', "ELSEWHERE");
  ASSERT_TRUE(p.set_current_directory("C:\\ELSEWHERE"));
  EXPECT_EQ(fs::current_path().filename(), "ELSEWHERE");
  EXPECT_TRUE(p.set_current_directory(here));
  EXPECT_FALSE(p.set_current_directory("C:\\NOT-THERE"));
}

// ---- the fault plan --------------------------------------------------------------

TEST_F(PosixPlatformTest, FaultPlanFailsTheNthMatchingCallOrEveryOneFromIt) {
  inst.write_cwd_file("A.DAT", "abcdef");
  inst.write_cwd_file("B.DAT", "abcdef");
  p.faults().add(pf::Op::Open, pf::kErrnoAccess, "B.DAT", 2);
  int err = 0;
  EXPECT_NE(p.fopen("A.DAT", "rb", err), nullptr);  // other paths pass
  EXPECT_NE(p.fopen("B.DAT", "rb", err), nullptr);  // first matching call passes
  EXPECT_EQ(p.fopen("B.DAT", "rb", err), nullptr);  // second fails
  EXPECT_EQ(err, pf::kErrnoAccess);
  EXPECT_NE(p.fopen("B.DAT", "rb", err), nullptr);  // third passes again

  p.faults().add(pf::Op::Read, pf::kErrnoIo, "", 1, true);  // sticky
  auto f = p.fopen("A.DAT", "rb", err);
  char buf[6];
  EXPECT_EQ(f->read(buf, 6), 0u);
  EXPECT_EQ(f->read(buf, 6), 0u);
  EXPECT_EQ(f->error_number(), pf::kErrnoIo);
}

TEST_F(PosixPlatformTest, EachOperationFailsWithItsError) {
  inst.write_cwd_file("A.DAT", "abcdef");
  inst.write_cwd_file("B.DAT", "abcdef");
  p.faults().add(pf::Op::ShortRead, pf::kErrnoIo, "A.DAT");
  p.faults().add(pf::Op::Seek, pf::kErrnoInvalid, "B.DAT");
  p.faults().add(pf::Op::Write, pf::kErrnoNoSpace, "B.DAT");
  p.faults().add(pf::Op::Close, pf::kErrnoIo, "B.DAT");
  int err = 0;
  int a = p.open("A.DAT", pf::kOpenBinary | pf::kOpenReadWrite, 0, err);
  int b = p.open("B.DAT", pf::kOpenBinary | pf::kOpenReadWrite, 0, err);
  // The error of a call that answered -1, or what it answered.
  auto error_of = [&](int64_t r) { return r == -1 ? err : static_cast<int>(100 + r); };
  char buf[6];
  EXPECT_EQ(p.read(a, buf, 6, err), 3);  // a short read delivers half
  EXPECT_EQ(p.read(a, buf, 3, err), 3);  // only the first read is cut
  EXPECT_EQ(p.lseek(a, 2, pf::kSeekSet, err), 2);
  EXPECT_EQ(error_of(p.lseek(b, 2, pf::kSeekSet, err)), pf::kErrnoInvalid);
  EXPECT_EQ(error_of(p.write(b, "x", 1, err)), pf::kErrnoNoSpace);
  EXPECT_EQ(p.close(a, err), 0);
  EXPECT_EQ(error_of(p.close(b, err)), pf::kErrnoIo);
  EXPECT_EQ(error_of(p.close(b, err)), pf::kErrnoBadFile);  // the failed close released the descriptor all the same

  inst.mkdir('c', "D\\E1");
  inst.mkdir('c', "D\\E2");
  p.faults().add(pf::Op::List, 59);  // ERROR_UNEXP_NET_ERR while listing
  pf::FindEntry e;
  uint32_t werr = 0;
  auto f = p.find_first("C:\\D\\E*", e, werr);
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->next(e, werr));
  EXPECT_EQ(werr, 59u);

  pf::HeapBlock block;
  EXPECT_TRUE(p.allocate(16, block));
  EXPECT_EQ(block.size(), 16u);
  p.faults().add(pf::Op::Alloc, pf::kErrnoNoMemory);
  EXPECT_FALSE(p.allocate(16, block));
  EXPECT_TRUE(block.empty());
}

// A program that cannot be started because it may not be run.
TEST_F(PosixPlatformTest, ProgramsThatMayNotRunAreRefused) {
  inst.write_cwd_file("ZKINTF.EXE", "not a program");
  const pf::ProgramRun run = p.run_program("ZKINTF.EXE", "ZKINTF.EXE 1");
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.error, pf::kErrorAccessDenied);
}

// ---- front-end strings, list boxes, message boxes ----------------------------

TEST(FrontEndStringTest, ByteLengthIsStoredBeforeTheFirstByte) {
  pf::FrontEndString blank(12);
  EXPECT_EQ(pf::sys_string_byte_len(blank.get()), 12u);
  EXPECT_EQ(blank.str(), std::string(12, ' '));
  EXPECT_EQ(pf::sys_string_byte_len(nullptr), 0u);
}

TEST(ListBoxTest, AnswersListBoxMessagesAsWindowsDoes) {
  pf::ListBox box;
  auto send = [&](uint32_t m, uintptr_t w, intptr_t l) { return box.send(m, w, l); };
  EXPECT_EQ(send(pf::kLbAddString, 0, reinterpret_cast<intptr_t>("one")), 0);
  EXPECT_EQ(send(pf::kLbAddString, 0, reinterpret_cast<intptr_t>("three")), 1);
  EXPECT_EQ(send(pf::kLbInsertString, 1, reinterpret_cast<intptr_t>("two")), 1);
  EXPECT_EQ(send(pf::kLbInsertString, static_cast<uintptr_t>(-1), reinterpret_cast<intptr_t>("four")), 3);
  EXPECT_EQ(send(pf::kLbInsertString, 9, reinterpret_cast<intptr_t>("x")), pf::kLbErr);
  EXPECT_EQ(send(pf::kLbGetCount, 0, 0), 4);
  char text[16];
  EXPECT_EQ(send(pf::kLbGetText, 1, reinterpret_cast<intptr_t>(text)), 3);
  EXPECT_STREQ(text, "two");
  EXPECT_EQ(send(pf::kLbGetText, 4, reinterpret_cast<intptr_t>(text)), pf::kLbErr);
  EXPECT_EQ(send(pf::kLbSetSel, 1, 2), 0);
  EXPECT_EQ(send(pf::kLbGetSel, 2, 0), 1);
  EXPECT_EQ(send(pf::kLbGetSel, 0, 0), 0);
  EXPECT_EQ(send(pf::kLbSetSel, 1, 7), pf::kLbErr);
  EXPECT_EQ(send(pf::kLbGetSel, static_cast<uintptr_t>(-1), 0), pf::kLbErr);
  EXPECT_EQ(send(pf::kLbSetSel, 1, -1), 0);  // -1: every line
  EXPECT_TRUE(box.selected(0) && box.selected(3));
  EXPECT_EQ(send(pf::kLbDeleteString, 0, 0), 3);
  EXPECT_EQ(send(pf::kLbDeleteString, 3, 0), pf::kLbErr);
  EXPECT_EQ(send(pf::kLbSetHorizontalExtent, 300, 0), 0);
  EXPECT_EQ(send(pf::kLbGetHorizontalExtent, 0, 0), 300);
  EXPECT_EQ(send(pf::kLbResetContent, 0, 0), 0);
  EXPECT_EQ(send(pf::kLbGetCount, 0, 0), 0);
}

// Messages reach only live list boxes; without a user at a terminal and
// without an answerer, a message box is answered Cancel.
TEST_F(PosixPlatformTest, MessagesReachLiveListBoxesAndMessageBoxesTheirAnswerer) {
  pf::ListBox box;
  EXPECT_EQ(p.send_message(box.handle(), pf::kLbAddString, 0, reinterpret_cast<intptr_t>("x")), 0);
  EXPECT_EQ(box.lines().size(), 1u);
  int not_a_box = 0;
  EXPECT_EQ(p.send_message(&not_a_box, pf::kLbGetCount, 0, 0), 0);
  EXPECT_EQ(p.send_message(nullptr, pf::kLbGetCount, 0, 0), 0);

  std::istringstream typed("r\n");  // nobody is asked, whatever stands on the input
  auto* keyboard = std::cin.rdbuf(typed.rdbuf());
  EXPECT_EQ(p.message_box(nullptr, "Insert", "Please Insert CD", pf::kMbRetryCancel | pf::kMbIconQuestion),
            pf::kIdCancel);
  std::cin.rdbuf(keyboard);
  std::string seen;
  p.set_message_box_answerer([&](const std::string& text, const std::string&, uint32_t) {
    seen = text;
    return pf::kIdRetry;
  });
  EXPECT_EQ(p.message_box(nullptr, "Insert", "Please Insert CD", 37), pf::kIdRetry);
  EXPECT_EQ(seen, "Insert");
}

}  // namespace
}  // namespace zk::test
