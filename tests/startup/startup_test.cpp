// drom_init, drom_term, drom_set_homedir and drom_check_setup on a complete
// installation, as the front end calls them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { inst.lay_out_standard(); }
  Installation inst;
};

// The previous run's log is removed once the texts are loaded.
TEST_F(StartupTest, InitFillsTheInstalledDiscTableAndLoadsTheTexts) {
  std::ofstream(inst.cwd() / "ZKERROR.LOG") << "a line of the previous run\n";
  ASSERT_EQ(drom_init(), 0);
  const zkall_ctop* c = get_ctop_addr();
  EXPECT_EQ(+c->disc_count, 4);
  EXPECT_EQ(c->setup_ok, 1);
  std::string ids;
  for (int i = 0; i < 4; ++i) ids += std::string(c->discs[i].disc_id, 4) + char('0' + c->discs[i].hd_flag);
  EXPECT_EQ(ids, "E1010E2020EA010G1010");
  EXPECT_EQ(+c->msg_count * 10 + c->scr_count, 67);
  EXPECT_NE(+c->msg_table, 0u);
  EXPECT_FALSE(fs::exists(inst.cwd() / "ZKERROR.LOG"));
  drom_term();
}

// A text file missing: 1, the texts released and the block kept; start-up
// stopped before the previous run's log was removed.
TEST_F(StartupTest, MissingTextFilesFailWithOne) {
  const std::pair<fs::path, const char*> cases[] = {{inst.drive_root('c') / "ZK" / "ZKDROM01.MSG", "MESSAGE"},
                                                    {inst.cwd() / "ZKDROM01.SCR", "SCREEN"}};
  for (const auto& [file, what] : cases) {
    fs::remove(file);
    std::ofstream(inst.cwd() / "ZKERROR.LOG") << "(01/01/24 00:00:00)OLD,line,x,(0)(0)(0)\n";
    EXPECT_EQ(drom_init(), 1);
    EXPECT_EQ(inst.log_reports(), (Lines{"OLD,line,x,(0)(0)(0)", std::string("ZKDROM,zkdrom,Invalid or not found ") +
                                                                     what + " FILE,(1)(0)(0)"}));
    ASSERT_NE(get_ctop_addr(), nullptr);
    EXPECT_EQ(get_ctop_addr()->msg_table + get_ctop_addr()->scr_table, 0u);
    EXPECT_EQ(get_1stmsg_text(881), nullptr);
    inst.lay_out_standard();
  }
}

TEST_F(StartupTest, MissingConfigurationIsLoggedAndStartUpGoesOn) {
  fs::remove(inst.cwd() / "ZKDROM.SYS");
  // Without ECFIL the message file is looked for in the current directory.
  inst.write_cwd_file("ZKDROM01.MSG", "001text\n");
  EXPECT_EQ(drom_init(), 0);
  const zkall_ctop* c = get_ctop_addr();
  EXPECT_EQ(+c->disc_count, 0);
  EXPECT_EQ(c->setup_ok, 0);
  // The log was removed by step 6, after the configuration reader wrote to it.
  EXPECT_TRUE(inst.log_lines().empty());
  drom_term();
}

// drom_term removes the work directory's .TMP files only (none without a
// work directory) and releases the block and the texts.
TEST_F(StartupTest, TermRemovesOnlyTheWorkDirectorysTmpFiles) {
  for (bool work : {true, false}) {
    if (!work) inst.write_config({"ECFIL=C:\\ZK"});
    ASSERT_EQ(drom_init(), 0);
    for (const char* f : {"WORK\\SELECT.TMP", "WORK\\INTF.TMP", "WORK\\KEEP.DAT", "CAT\\MST\\OTHER.TMP"})
      inst.write('c', f, "x");
    inst.write_cwd_file("CWD.TMP", "x");
    drom_term();
    EXPECT_EQ(inst.exists('c', "WORK\\SELECT.TMP") + inst.exists('c', "WORK\\INTF.TMP"), work ? 0 : 2);
    EXPECT_TRUE(inst.exists('c', "WORK\\KEEP.DAT") && inst.exists('c', "CAT\\MST\\OTHER.TMP"));
    EXPECT_TRUE(fs::exists(inst.cwd() / "CWD.TMP"));
    EXPECT_EQ(get_ctop_addr(), nullptr);
    EXPECT_EQ(get_1stmsg_text(881), nullptr);
  }
}

// The home directory is restored; one that is gone is not changed to.
TEST_F(StartupTest, HomeDirectoryIsRestoredWhileItIsThere) {
  ASSERT_EQ(drom_init(), 0);
  const fs::path elsewhere = inst.drive_root('c') / "WORK";
  fs::current_path(elsewhere);
  EXPECT_NE(drom_set_homedir(), 0);
  EXPECT_EQ(fs::current_path(), inst.cwd());
  fs::current_path(elsewhere);
  fs::rename(inst.cwd(), inst.root() / "moved");
  EXPECT_EQ(drom_set_homedir(), 0);
  EXPECT_EQ(fs::current_path(), elsewhere);
  fs::rename(inst.root() / "moved", inst.cwd());
  drom_term();
}

// A start in a directory of 256 characters or more saves no home (as
// GetCurrentDirectoryA with 256 bytes fills nothing): there is nothing to
// change to.
TEST_F(StartupTest, WithoutASavedHomeNothingIsChanged) {
  fs::path deep = inst.cwd();
  while (deep.string().size() < 300) deep /= std::string(60, 'd');
  fs::create_directories(deep);
  for (const char* f : {"ZKDROM.SYS", "ZKDROM01.SCR"}) fs::copy_file(inst.cwd() / f, deep / f);
  fs::current_path(deep);
  ASSERT_EQ(drom_init(), 0);
  fs::current_path(inst.cwd());
  EXPECT_EQ(drom_set_homedir(), 0);
  EXPECT_EQ(fs::current_path(), inst.cwd());
  drom_term();
}

TEST_F(StartupTest, CheckSetupAnswersFromTheInstalledDiscs) {
  ASSERT_EQ(drom_init(), 0);
  EXPECT_EQ(drom_check_setup(0), 0);
  EXPECT_EQ(drom_check_setup(5), 876);  // no saved list
  fs::remove_all(inst.drive_root('c') / "CAT" / "MST" / "E1");
  fs::remove_all(inst.drive_root('c') / "CAT" / "MST" / "E2");
  fs::remove_all(inst.drive_root('c') / "CAT" / "MST" / "G1");
  EXPECT_EQ(drom_check_setup(5), 891);
  EXPECT_EQ(+get_ctop_addr()->disc_count, 1);  // the frame-number disc alone
  drom_term();
}

}  // namespace
}  // namespace zk::test
