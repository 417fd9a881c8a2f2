// The platform layer as the library sees it, on both builds: the POSIX
// layer must answer as Windows does (the Windows build of this program runs
// under Wine against the same installation). Drives and labels, deletes of
// read-only files, the runtime's text mode, listing patterns, free space and
// starting a program.
#include <gtest/gtest.h>

#include <algorithm>
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
  // The names a listing of `pattern` in C:\LIST gives, "." and ".." left out.
  std::set<std::string> listing(const std::string& pattern) {
    std::set<std::string> names;
    pf::FindEntry e;
    uint32_t err = 0;
    auto f = p.find_first("C:\\LIST\\" + pattern, e, err);
    if (!f) return names;
    do
      if (e.name != "." && e.name != "..") names.insert(e.name);
    while (f->next(e, err));
    return names;
  }
  Installation inst;
  TestPlatform& p = inst.platform();
};

TEST_F(PlatformTest, DrivesAndLabelsFollowTheInstallation) {
  inst.add_drive('d', "19990401E1 CATALOG");
  inst.empty_drive('e');
  // Root, type, and the label or the error when it cannot be read.
  const std::tuple<const char*, uint32_t, std::string> cases[] = {
      {"D:\\", pf::kDriveFixed, "19990401E1 CATALOG"},
      {"E:\\", pf::kDriveCdrom, std::to_string(pf::kErrorNotReady)},  // a drive without a disc
      {"Q:\\", pf::kDriveNoRootDir, std::to_string(pf::kErrorPathNotFound)},
  };
  auto label_or_error = [&](const char* root) {
    std::string label;
    uint32_t err = 0;
    return p.volume_label(root, label, err) ? label : std::to_string(err);
  };
  for (const auto& [root, type, want] : cases) {
    EXPECT_EQ(p.drive_type(root), type) << root;
    EXPECT_EQ(label_or_error(root), want) << root;
  }
  p.faults().add(pf::Op::Volume, pf::kErrorNotReady, "D:");
  EXPECT_EQ(label_or_error("D:\\"), std::to_string(pf::kErrorNotReady));
  inst.remove_drive('d');  // a drive taken away is no drive at all
  EXPECT_EQ(label_or_error("D:\\"), std::to_string(pf::kErrorPathNotFound));
}

TEST_F(PlatformTest, ReadOnlyFilesAreNeitherDeletedNorReplaced) {
  const fs::path old_file = inst.write('c', "WORK\\SEL.TMP", "old");
  inst.write('c', "WORK\\SEL.$$$", "new");
  int err = 0;
  uint32_t werr = 0;
  EXPECT_EQ(p.replace_file("C:\\WORK\\SEL.$$$", "C:\\WORK\\sel.tmp", err), 0);
  EXPECT_EQ(inst.read('c', "WORK\\SEL.TMP"), "new");
  EXPECT_FALSE(p.exists("C:\\WORK\\SEL.$$$"));
  EXPECT_EQ(p.replace_file("C:\\WORK\\SEL.$$$", "C:\\WORK\\SEL.TMP", err), -1);
  EXPECT_EQ(err, pf::kErrnoNoEntry);
  inst.write('c', "WORK\\SEL.$$$", "newer");
  set_read_only(old_file, true);
  EXPECT_EQ(p.replace_file("C:\\WORK\\SEL.$$$", "C:\\WORK\\SEL.TMP", err), -1);
  EXPECT_EQ(err, pf::kErrnoAccess);
  EXPECT_FALSE(p.delete_file("C:\\WORK\\SEL.TMP", werr));
  EXPECT_EQ(werr, pf::kErrorAccessDenied);
  EXPECT_EQ(p.remove("C:\\WORK\\SEL.TMP", err), -1);
  EXPECT_EQ(err, pf::kErrnoAccess);
  set_read_only(old_file, false);
  EXPECT_EQ(inst.read('c', "WORK\\SEL.TMP"), "new");
  EXPECT_TRUE(p.delete_file("C:\\WORK\\SEL.TMP", werr));
  EXPECT_FALSE(fs::exists(old_file));
}

TEST_F(PlatformTest, TextModeEndsAtCtrlZAndWritesCarriageReturns) {
  inst.write_cwd_file("Z.TXT", "ab\r\ncd\x1a" "ef\r\n");
  int err = 0;
  auto lines = p.fopen("Z.TXT", "rt", err);
  ASSERT_NE(lines, nullptr);
  char buf[16];
  ASSERT_TRUE(lines->gets(buf, sizeof buf));
  EXPECT_STREQ(buf, "ab\n");
  ASSERT_TRUE(lines->gets(buf, sizeof buf));
  EXPECT_STREQ(buf, "cd");  // the Ctrl-Z ends the line and the input
  EXPECT_FALSE(lines->gets(buf, sizeof buf));
  EXPECT_FALSE(lines->error());

  auto block = p.fopen("Z.TXT", "rt", err);
  EXPECT_EQ(block->read(buf, sizeof buf), 5u);
  EXPECT_EQ(std::string(buf, 5), "ab\ncd");
  auto binary = p.fopen("Z.TXT", "rb", err);
  EXPECT_EQ(binary->read(buf, sizeof buf), 11u);  // binary mode reads every byte

  auto out = p.fopen("W.TXT", "wt", err);
  ASSERT_NE(out, nullptr);
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
      {"*.*", {"Q.TM", "Q.TMP", "QTM", "AB", "E1.DAT", "A.B.TMP", "E1"}, false},
      {"E?", {"E1"}, false},
      {"Q.T?P", {"Q.TMP"}, false},
      {"*.XYZ", {}, false},
      {"*.TM?", {"Q.TM", "Q.TMP", "A.B.TMP"}, true},
      {"QTM?", {"QTM"}, true},
      {"Q?.TM", {"Q.TM"}, true},
      {"A?B", {}, true},  // not in the middle of a name
      {"*.", {"QTM", "AB", "E1"}, true},
      {"E1.*", {"E1", "E1.DAT"}, true},
  };
  for (const auto& [pattern, names, windows_only] : cases) {
    if (windows_only && under_wine()) continue;
    EXPECT_EQ(listing(pattern), names) << pattern;
  }
}

TEST_F(PlatformTest, FreeSpaceOfADrive) {
  pf::DiskSpace space;
  uint32_t err = 0;
  ASSERT_TRUE(p.disk_free_space("C:\\", space, err));
  EXPECT_EQ(space.bytes_per_sector, 512u);
  EXPECT_GE(space.sectors_per_cluster, 1u);
  EXPECT_GT(space.total_clusters, 0u);
  EXPECT_LE(space.free_clusters, space.total_clusters);

  inst.empty_drive('e');
  const std::pair<const char*, uint32_t> failures[] = {{"Q:\\", pf::kErrorPathNotFound},
                                                       {"E:\\", pf::kErrorNotReady}};
  for (const auto& [root, error] : failures) {
    EXPECT_FALSE(p.disk_free_space(root, space, err)) << root;
    EXPECT_EQ(err, error) << root;
  }
  p.faults().add(pf::Op::DiskSpace, 1117, "C:");
  EXPECT_FALSE(p.disk_free_space("C:\\", space, err));
  EXPECT_EQ(err, 1117u);
  EXPECT_EQ(space.total_clusters, 0u);
}

TEST_F(PlatformTest, ProgramsOfTheCurrentDirectoryRunToTheirExitCode) {
  fs::copy_file(ZKALL_TEST_EXIT_WITH, inst.cwd() / "zkintf.exe");  // found without regard to case
  for (uint32_t code : {0u, 2u, 255u}) {
    const pf::ProgramRun run = p.run_program("ZKINTF.EXE", "ZKINTF.EXE " + std::to_string(code) + " C:\\WORK\\ZKINTF.TMP");
    EXPECT_TRUE(run.started) << code << " error " << run.error;
    EXPECT_EQ(run.exit_code, code);
    EXPECT_EQ(read_file(inst.cwd() / "ARGS.TXT"), std::to_string(code) + "\nC:\\WORK\\ZKINTF.TMP\n");
  }
  const pf::ProgramRun missing = p.run_program("ZKOTHER.EXE", "ZKOTHER.EXE 1");
  EXPECT_FALSE(missing.started);
  EXPECT_EQ(missing.error, pf::kErrorFileNotFound);
  p.faults().add(pf::Op::Start, 8, "ZKINTF");  // ERROR_NOT_ENOUGH_MEMORY
  const pf::ProgramRun faulted = p.run_program("ZKINTF.EXE", "ZKINTF.EXE 1");
  EXPECT_FALSE(faulted.started);
  EXPECT_EQ(faulted.error, 8u);
}

}  // namespace
}  // namespace zk::test
