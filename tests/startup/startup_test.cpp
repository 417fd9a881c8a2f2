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
  EXPECT_EQ(c->disc_count * 10 + c->setup_ok, 41);
  std::string ids;
  for (int i = 0; i < 4; ++i) ids += std::string(c->discs[i].disc_id, 4) + char('0' + c->discs[i].hd_flag);
  EXPECT_EQ(ids, "E1010E2020EA010G1010");
  EXPECT_EQ(+c->msg_count * 10 + c->scr_count, 67);
  EXPECT_FALSE(fs::exists(inst.cwd() / "ZKERROR.LOG"));
  drom_term();
}

// The screen file missing: 1, the texts released and the block kept;
// start-up stopped before the previous run's log was removed.
TEST_F(StartupTest, AMissingTextFileFailsWithOne) {
  fs::remove(inst.cwd() / "ZKDROM01.SCR");
  std::ofstream(inst.cwd() / "ZKERROR.LOG") << "(01/01/24 00:00:00)OLD,line,x,(0)(0)(0)\n";
  EXPECT_EQ(drom_init(), 1);
  EXPECT_EQ(inst.log_reports(),
            (Lines{"OLD,line,x,(0)(0)(0)", "ZKDROM,zkdrom,Invalid or not found SCREEN FILE,(1)(0)(0)"}));
  ASSERT_NE(get_ctop_addr(), nullptr);
  EXPECT_EQ(get_1stmsg_text(881), nullptr);
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

TEST_F(StartupTest, CheckSetupAnswersFromTheInstalledDiscs) {
  ASSERT_EQ(drom_init(), 0);
  EXPECT_EQ(drom_check_setup(0), 0);
  EXPECT_EQ(drom_check_setup(5), 876);  // no saved list
  for (const char* d : {"E1", "E2", "G1"}) fs::remove_all(inst.drive_root('c') / "CAT" / "MST" / d);
  EXPECT_EQ(drom_check_setup(5), 891);
  EXPECT_EQ(+get_ctop_addr()->disc_count, 1);  // the frame-number disc alone
  drom_term();
}

}  // namespace
}  // namespace zk::test
