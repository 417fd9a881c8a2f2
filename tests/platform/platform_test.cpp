// The platform layer as the library sees it, on both builds: the POSIX
// layer must answer as Windows does (the Windows build of this program runs
// under Wine against the same installation; drives and labels are the disc
// tests'). Replacing and deleting read-only files, the runtime's text mode,
// listing patterns, free space and starting a program.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/installation.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
namespace pf = zk::platform;

bool under_wine() {
#ifdef _WIN32
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
#else
  return false;
#endif
}

class PlatformTest : public ::testing::Test {
 protected:
  Installation inst;
  TestPlatform& p = inst.platform();
};

TEST_F(PlatformTest, ReadOnlyFilesAreNeitherDeletedNorReplaced) {
  const fs::path old_file = inst.write('c', "WORK\\SEL.TMP", "old");
  inst.write('c', "WORK\\SEL.$$$", "new");
  int err = 0;
  uint32_t werr = 0;
  EXPECT_EQ(p.replace_file("C:\\WORK\\SEL.$$$", "C:\\WORK\\sel.tmp", err), 0);
  inst.write('c', "WORK\\SEL.$$$", "newer");
  set_read_only(old_file, true);
  EXPECT_EQ(p.replace_file("C:\\WORK\\SEL.$$$", "C:\\WORK\\SEL.TMP", err), -1);
  EXPECT_EQ(err, pf::kErrnoAccess);
  EXPECT_FALSE(p.delete_file("C:\\WORK\\SEL.TMP", werr));
  EXPECT_EQ(werr, pf::kErrorAccessDenied);
  EXPECT_EQ(inst.read('c', "WORK\\SEL.TMP"), "new");
}

TEST_F(PlatformTest, TextModeEndsAtCtrlZAndWritesCarriageReturns) {
  inst.write_cwd_file("Z.TXT", "ab\r\ncd\x1a" "ef\r\n");
  int err = 0;
  auto lines = p.fopen("Z.TXT", "rt", err);
  char buf[16];
  EXPECT_TRUE(lines->gets(buf, sizeof buf) && lines->gets(buf, sizeof buf));
  EXPECT_STREQ(buf, "cd");  // the Ctrl-Z ends the line and the input
  EXPECT_FALSE(lines->gets(buf, sizeof buf));
  EXPECT_EQ(p.fopen("Z.TXT", "rt", err)->read(buf, sizeof buf), 5u);
  auto out = p.fopen("W.TXT", "wt", err);
  EXPECT_EQ(out->write("a\nb\n", 4), 4u);
  EXPECT_EQ(out->close(), 0);
  EXPECT_EQ(read_file(inst.cwd() / "W.TXT"), "a\r\nb\r\n");
}

// Listings match DOS patterns without regard to case. A `?` also matches no
// character before a '.' or at the end of the name, and "*." asks for names
// without an extension, as Windows matches them (Wine 8 matches `?` as
// exactly one character and reads "*." as "*": those rows are left out under
// Wine).
TEST_F(PlatformTest, ListingsMatchDosPatterns) {
  for (const char* name : {"Q.TM", "Q.TMP", "QTM", "AB", "E1.DAT", "A.B.TMP"})
    inst.write('c', std::string("LIST\\") + name, "x");
  inst.mkdir('c', "LIST\\E1");
  const std::tuple<const char*, std::set<std::string>, bool> cases[] = {
      {"*.tmp", {"Q.TMP", "A.B.TMP"}, false},
      {"q*", {"Q.TM", "Q.TMP", "QTM"}, false},
      {"E?", {"E1"}, false},
      {"Q.T?P", {"Q.TMP"}, false},
      {"*.TM?", {"Q.TM", "Q.TMP", "A.B.TMP"}, true},
      {"QTM?", {"QTM"}, true},
      {"A?B", {}, true},  // not in the middle of a name
      {"*.", {"QTM", "AB", "E1"}, true},
      {"E1.*", {"E1", "E1.DAT"}, true},
  };
  for (const auto& [pattern, names, windows_only] : cases) {
    if (windows_only && under_wine()) continue;
    std::set<std::string> seen;
    pf::FindEntry e;
    uint32_t err = 0;
    auto f = p.find_first(std::string("C:\\LIST\\") + pattern, e, err);
    if (f) do seen.insert(e.name); while (f->next(e, err));
    seen.erase(".");
    seen.erase("..");
    EXPECT_EQ(seen, names) << pattern;
  }
}

TEST_F(PlatformTest, FreeSpaceOfADrive) {
  pf::DiskSpace space;
  uint32_t err = 0;
  ASSERT_TRUE(p.disk_free_space("C:\\", space, err));
  EXPECT_EQ(space.bytes_per_sector, 512u);
  EXPECT_TRUE(space.sectors_per_cluster >= 1 && space.total_clusters > 0);
  EXPECT_LE(space.free_clusters, space.total_clusters);
  inst.empty_drive('e');
  EXPECT_FALSE(p.disk_free_space("E:\\", space, err));
  EXPECT_EQ(err, pf::kErrorNotReady);
}

TEST_F(PlatformTest, ProgramsOfTheCurrentDirectoryRunToTheirExitCode) {
  fs::copy_file(ZKALL_TEST_EXIT_WITH, inst.cwd() / "zkintf.exe");  // found without regard to case
  const pf::ProgramRun run = p.run_program("ZKINTF.EXE", "ZKINTF.EXE 255 C:\\WORK\\ZKINTF.TMP");
  EXPECT_TRUE(run.started) << "error " << run.error;
  EXPECT_EQ(run.exit_code, 255u);
  EXPECT_EQ(read_file(inst.cwd() / "ARGS.TXT"), "255\nC:\\WORK\\ZKINTF.TMP\n");
  const pf::ProgramRun missing = p.run_program("ZKOTHER.EXE", "ZKOTHER.EXE 1");
  EXPECT_TRUE(!missing.started && missing.error == pf::kErrorFileNotFound);
}

}  // namespace
}  // namespace zk::test
