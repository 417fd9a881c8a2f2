// The POSIX platform: Windows paths matched without regard to case, the
// runtime's text mode and flag numbers, listing attributes, the fault plan,
// programs, list boxes and message boxes.
#include <gtest/gtest.h>

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

TEST_F(PosixPlatformTest, PathsMatchExistingComponentsWithoutRegardToCase) {
  inst.write('c', "Cat\\Mst\\e1\\ZkRootMf.mst", "root");
  inst.write('c', "DIR\\name.txt", "lower");
  inst.write('c', "DIR\\NAME.TXT", "upper");
  inst.write_cwd_file("ZKDROM.SYS", "x");
  inst.empty_drive('e');
  std::string abs = (inst.cwd() / "ZKDROM.SYS").string(), backslashed = abs;
  for (char& c : backslashed) c = c == '/' ? '\\' : c;
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\CAT\\MST\\E1\\ZKROOTMF.MST", "root"},
      {"C:\\DIR\\name.txt", "lower"},  // an exact match wins over one without regard to case
      {"c:\\dir\\NAME.TXT", "upper"}, {".\\zkdrom.sys", "x"}, {abs, "x"}, {backslashed, "x"},
      {"Q:\\X.DAT", "(error 2)"},   // no such drive
      {"E:\\X.DAT", "(error 13)"},  // a drive without a disc
  };
  for (const auto& [path, want] : cases) EXPECT_EQ(contents(path), want) << path;
  // A component that does not exist is kept as written, so new files get
  // the library's upper-case names inside the existing directories.
  int err = 0;
  ASSERT_NE(p.fopen("c:\\cat\\MST\\NEW.TMP", "wb", err), nullptr);
  EXPECT_TRUE(fs::exists(inst.drive_root('c') / "Cat" / "Mst" / "NEW.TMP"));
}

// Only the CR right before an LF goes; gets splits long lines as fgets does.
// Descriptors take the Windows runtime's flag numbers.
TEST_F(PosixPlatformTest, TextModeAndDescriptorsAsTheWindowsRuntime) {
  inst.write_cwd_file("T.TXT", "ab\r\ncd\r\r\nlone\rcr\nabcdefg\n");
  int err = 0;
  auto f = p.fopen("T.TXT", "rt", err);
  char buf[4];
  std::vector<std::string> pieces;
  while (f->gets(buf, sizeof buf)) pieces.emplace_back(buf);
  EXPECT_EQ(pieces, (std::vector<std::string>{"ab\n", "cd\r", "\n", "lon", "e\rc", "r\n", "abc", "def", "g\n"}));
  const int fd = p.open("T.TXT", 0x8000, 0, err);  // binary, read only
  EXPECT_EQ(p.read(fd, buf, 3, err), 3);
  EXPECT_EQ(p.write(fd, "x", 1, err), -1);
  p.close(fd, err);
  const std::tuple<const char*, int, int> refused[] = {{"MISSING.DAT", 0x8002, pf::kErrnoNoEntry},  // existing only
                                                       {".", 0x8000, pf::kErrnoAccess}};  // a directory
  for (const auto& [path, flags, error] : refused)
    EXPECT_TRUE(p.open(path, flags, 0, err) == -1 && err == error) << path;
}

// Hidden and read-only as Windows reports them; a drive root lists no "."
// and "..".
TEST_F(PosixPlatformTest, ListingsReportWindowsAttributesAndSizes) {
  inst.add_drive('d');
  inst.write('d', "SUB\\E2.DAT", std::string(3000, 'x'));
  inst.write('d', "SUB\\.hidden", "h");
  inst.mkdir('d', "SUB\\RO");
  fs::permissions(inst.drive_root('d') / "SUB" / "RO", fs::perms::owner_write, fs::perm_options::remove);
  pf::FindEntry e;
  uint32_t err = 0;
  auto f = p.find_first("d:\\sub\\*.*", e, err);
  std::vector<std::tuple<std::string, uint32_t, uint64_t>> seen;
  do seen.emplace_back(e.name, e.attributes, e.attributes & pf::kAttrDirectory ? 0 : e.size); while (f->next(e, err));
  fs::permissions(inst.drive_root('d') / "SUB" / "RO", fs::perms::owner_write, fs::perm_options::add);
  std::sort(seen.begin(), seen.end());
  const uint32_t dir = pf::kAttrDirectory;
  EXPECT_EQ(seen, (decltype(seen){{".", dir, 0}, {"..", dir, 0}, {".hidden", pf::kAttrArchive | pf::kAttrHidden, 1},
                                  {"E2.DAT", pf::kAttrArchive, 3000}, {"RO", dir | pf::kAttrReadOnly, 0}}));
  f = p.find_first("D:\\*.*", e, err);
  EXPECT_TRUE(f && e.name == "SUB" && !f->next(e, err));
}

// The fault plan fails the nth matching call with its error, or every one
// from it.
TEST_F(PosixPlatformTest, FaultPlanFailsTheNthMatchingCall) {
  inst.write_cwd_file("A.DAT", "abcdef");
  inst.write_cwd_file("B.DAT", "abcdef");
  p.faults().add(pf::Op::Open, pf::kErrnoAccess, "B.DAT", 2);
  int err = 0;
  EXPECT_NE(p.fopen("A.DAT", "rb", err), nullptr);  // other paths pass
  EXPECT_NE(p.fopen("B.DAT", "rb", err), nullptr);  // the first matching call passes
  EXPECT_TRUE(p.fopen("B.DAT", "rb", err) == nullptr && err == pf::kErrnoAccess);
  EXPECT_NE(p.fopen("B.DAT", "rb", err), nullptr);
  inst.mkdir('c', "D\\E1");
  p.faults().add(pf::Op::List, 59, "", 1, true);  // ERROR_UNEXP_NET_ERR while listing
  pf::FindEntry e;
  uint32_t werr = 0;
  auto f = p.find_first("C:\\D\\E*", e, werr);
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(f->next(e, werr) || f->next(e, werr));
  EXPECT_EQ(werr, 59u);
}

// A program that may not be run is not started; messages reach only live
// list boxes; without a user at a terminal and without an answerer, a
// message box is answered Cancel.
TEST_F(PosixPlatformTest, ProgramsListBoxesAndMessageBoxes) {
  inst.write_cwd_file("ZKINTF.EXE", "not a program");
  const pf::ProgramRun run = p.run_program("ZKINTF.EXE", "ZKINTF.EXE 1");
  EXPECT_TRUE(!run.started && run.error == pf::kErrorAccessDenied);
  pf::ListBox box;
  EXPECT_EQ(p.send_message(box.handle(), pf::kLbAddString, 0, reinterpret_cast<intptr_t>("x")), 0);
  int not_a_box = 0;
  EXPECT_EQ(p.send_message(&not_a_box, pf::kLbGetCount, 0, 0), 0);
  EXPECT_EQ(p.message_box(nullptr, "Insert", "Please Insert CD", pf::kMbRetryCancel | pf::kMbIconQuestion),
            pf::kIdCancel);
  p.set_message_box_answerer([&](const std::string&, const std::string&, uint32_t) { return pf::kIdRetry; });
  EXPECT_EQ(p.message_box(nullptr, "Insert", "Please Insert CD", 37), pf::kIdRetry);
}

}  // namespace
}  // namespace zk::test
