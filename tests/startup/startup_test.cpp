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

TEST_F(StartupTest, InitFillsTheInstalledDiscTableAndLoadsTheTexts) {
  std::ofstream(inst.cwd() / "ZKERROR.LOG") << "a line of the previous run\n";
  ASSERT_EQ(drom_init(), 0);
  const zkall_ctop* c = get_ctop_addr();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(+c->disc_count, 4);
  EXPECT_EQ(c->setup_ok, 1);
  const std::string expected[] = {"E10119990401" "0" "1", "E20219990701" "0" "1", "EA0119990601" "0" "1",
                                  "G10119990501" "0" "1"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(std::string(c->discs[i].disc_id, 14), expected[i]) << i;
    EXPECT_EQ(c->discs[i].hd_flag, 0) << i;
  }
  EXPECT_EQ(+c->msg_count, 6);
  EXPECT_EQ(+c->scr_count, 7);
  EXPECT_NE(+c->msg_table, 0u);
  EXPECT_FALSE(fs::exists(inst.cwd() / "ZKERROR.LOG"));  // the previous run's log is gone
  drom_term();
}

TEST_F(StartupTest, MissingMessageFileFailsWithOne) {
  fs::remove(inst.drive_root('c') / "ZK" / "ZKDROM01.MSG");
  std::ofstream(inst.cwd() / "ZKERROR.LOG") << "(01/01/24 00:00:00)OLD,line,x,(0)(0)(0)\n";
  EXPECT_EQ(drom_init(), 1);
  // The log of the previous run was not removed yet: start-up stopped before.
  EXPECT_EQ(inst.log_reports(), (Lines{"OLD,line,x,(0)(0)(0)", "ZKDROM,zkdrom,Invalid or not found MESSAGE FILE,(1)(0)(0)"}));
  const zkall_ctop* c = get_ctop_addr();
  ASSERT_NE(c, nullptr);  // the block stays
  EXPECT_EQ(+c->msg_table, 0u);
  EXPECT_EQ(+c->scr_table, 0u);
}

TEST_F(StartupTest, MissingScreenFileFailsWithOneAndReleasesTheMessages) {
  fs::remove(inst.cwd() / "ZKDROM01.SCR");
  EXPECT_EQ(drom_init(), 1);
  EXPECT_EQ(inst.log_reports(), Lines{"ZKDROM,zkdrom,Invalid or not found SCREEN FILE,(1)(0)(0)"});
  EXPECT_EQ(+get_ctop_addr()->msg_table, 0u);
  EXPECT_EQ(get_1stmsg_text(881), nullptr);
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

TEST_F(StartupTest, TermRemovesOnlyTheWorkDirectorysTmpFiles) {
  ASSERT_EQ(drom_init(), 0);
  for (const char* f : {"WORK\\SELECT.TMP", "WORK\\INTF.TMP", "WORK\\KEEP.DAT", "CAT\\MST\\OTHER.TMP"})
    inst.write('c', f, "x");
  inst.write_cwd_file("CWD.TMP", "x");
  drom_term();
  EXPECT_FALSE(inst.exists('c', "WORK\\SELECT.TMP"));
  EXPECT_FALSE(inst.exists('c', "WORK\\INTF.TMP"));
  EXPECT_TRUE(inst.exists('c', "WORK\\KEEP.DAT"));
  EXPECT_TRUE(inst.exists('c', "CAT\\MST\\OTHER.TMP"));
  EXPECT_TRUE(fs::exists(inst.cwd() / "CWD.TMP"));
  EXPECT_EQ(get_ctop_addr(), nullptr);
  EXPECT_EQ(get_1stmsg_text(881), nullptr);
}

TEST_F(StartupTest, TermWithoutAWorkDirectoryDeletesNothing) {
  inst.write_config({"ECFIL=C:\\ZK"});
  ASSERT_EQ(drom_init(), 0);
  inst.write_cwd_file("CWD.TMP", "x");
  drom_term();
  EXPECT_TRUE(fs::exists(inst.cwd() / "CWD.TMP"));
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
