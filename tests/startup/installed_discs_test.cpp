// The installed-disc check: which directories count, their order, the
// vehicle-name rule per area, the master-file headers, and the failures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

class InstalledDiscsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    c = get_ctop_addr();
    std::memcpy(c->ecmst_path, "C:\\CAT\\MST", 11);
    std::memcpy(c->framewld_path, "C:\\FRW", 7);
    std::memcpy(c->framejpn_path, "C:\\FRJ", 7);
  }
  // A catalog directory with its root master file (and the vehicle names).
  void catalog(const std::string& dir, const std::string& no, bool names = true, bool image = false,
               char drive = 'c') {
    const std::string date = "1999010" + no.substr(1);
    inst.write(drive, "CAT\\MST\\" + dir + "\\ZKROOTMF.MST", master_header(date, dir, no, 'Q') + "entries");
    if (names) inst.write(drive, "CAT\\MST\\" + dir + "\\SHAMEI.DAT", "");
    if (image) inst.write(drive, "CAT\\MST\\" + dir + "\\IMAGEF.DAT", "");
  }
  void frame(const std::string& dir, bool world, bool frkata = false) {
    const std::string base = world ? "FRW\\" : "FRJ\\";
    inst.write('c', base + dir + "\\ZKFRNOMF.MST", master_header("20010101", dir, "F1", 'Z'));
    if (frkata) inst.write('c', base + dir + "\\FRKATA.DAT", "");
  }
  std::vector<std::string> ids() {
    std::vector<std::string> out;
    for (int i = 0; i < c->disc_count; ++i) out.emplace_back(c->discs[i].disc_id, 2);
    return out;
  }
  Installation inst;
  zkall_ctop* c = nullptr;
};

// Plain directories with the right names count, in the order of their area
// (E, G, U, J, then frame numbers) and name; an area's directories lie on
// the drive ECMSTALL gives it.
TEST_F(InstalledDiscsTest, WhichDirectoriesCountAndTheirOrder) {
  inst.add_drive('f');
  c->ecmstall[2][0] = 'F';
  catalog("E2", "02");
  catalog("E1", "01");
  catalog("J1", "01");
  catalog("G1", "01");
  catalog("U1", "01", true, false, 'f');
  catalog("U2", "02", true, false, 'c');  // not on the area's drive: not seen
  frame("JA", false);
  inst.write('c', "CAT\\MST\\E3", "a file, not a directory");
  catalog("EX", "01");                  // area letter without a digit
  catalog("e4", "04");                  // lower-case area letter
  frame("E5", true);                    // frame directories need a letter
  inst.mkdir('c', "CAT\\MST\\E1X");    // a longer name counts by its first two
  EXPECT_EQ(setuped_cd_check(), 0);
  EXPECT_EQ(ids(), (std::vector<std::string>{"E1", "E1", "E2", "G1", "U1", "J1", "JA"}));
  EXPECT_EQ(c->setup_ok, 1);
}

TEST_F(InstalledDiscsTest, EntriesComeFromTheMasterHeaders) {
  catalog("E1", "07", true, true);
  frame("EB", true, true);
  frame("EA", true, false);
  ASSERT_EQ(setuped_cd_check(), 0);
  ASSERT_EQ(ids(), (std::vector<std::string>{"E1", "EA", "EB"}));
  // Id, number, date, '0', the header's byte 26 and the hard-disk flag
  // (IMAGEF.DAT or FRKATA.DAT is there).
  const char* want[] = {"E107199901070Q\1", "EAF1200101010Z\0", "EBF1200101010Z\1"};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(std::string(c->discs[i].disc_id, 15), std::string(want[i], 15)) << i;
  // A rerun clears the entries of directories that are gone.
  fs::remove_all(inst.drive_root('c') / "FRW" / "EB");
  ASSERT_EQ(setuped_cd_check(), 0);
  EXPECT_EQ(+c->disc_count, 2);
  EXPECT_EQ(c->discs[2].disc_id[0] + c->discs[2].date[0], 0);
}

TEST_F(InstalledDiscsTest, FirstDirectoryOfAnAreaDecidesThroughItsVehicleNames) {
  catalog("E1", "01", false);  // no SHAMEI.DAT: E1 and every later E directory are left out
  catalog("E2", "02", true);
  catalog("G1", "01", true);
  catalog("G2", "02", false);  // later directories need no SHAMEI.DAT of their own
  ASSERT_EQ(setuped_cd_check(), 0);
  EXPECT_EQ(ids(), (std::vector<std::string>{"G1", "G2"}));
  EXPECT_EQ(c->setup_ok, 1);
}

// Without a catalog directory, or in an unknown area, the installation is
// not usable.
TEST_F(InstalledDiscsTest, NoCatalogOrAnUnknownAreaMeansNotUsable) {
  frame("EA", true);
  ASSERT_EQ(setuped_cd_check(), 0);
  EXPECT_EQ(c->setup_ok, 0);
  catalog("E1", "01");
  c->current_area = -1;
  ASSERT_EQ(setuped_cd_check(), 0);
  EXPECT_EQ(c->disc_count * 10 + c->setup_ok, 20);
}

// A master file missing is 11; a header cut short is 14. The table keeps
// the candidates' count and what was read before; setup_ok stays.
TEST_F(InstalledDiscsTest, MasterFilesThatCannotBeReadWhole) {
  const std::string e2 = "CAT\\MST\\E2\\ZKROOTMF.MST";
  for (const auto& [missing, rc, tail] : {std::tuple{true, 11, ",(11)(2)(328)"}, {false, 14, ",(14)(0)(335)"}}) {
    catalog("E1", "01");
    catalog("E2", "02");
    if (missing) fs::remove(host_path(inst.drive_root('c'), e2));
    else inst.write('c', e2, std::string(31, '1'));
    fs::remove(inst.cwd() / "ZKERROR.LOG");
    c->setup_ok = 1;
    EXPECT_EQ(setuped_cd_check(), rc);
    EXPECT_EQ(c->disc_count * 10 + c->setup_ok, 21);
    EXPECT_EQ(std::string(c->discs[0].disc_id, 2), "E1");
    EXPECT_EQ(inst.log_reports(), std::vector<std::string>{"ZKSUBS01,setuped_cd_check,C:\\" + e2 + tail});
  }
}

TEST_F(InstalledDiscsTest, AListingFailureIsTwelveWithItsSite) {
  catalog("E1", "01");
  frame("EA", true);
  inst.platform().faults().add(platform::Op::List, 59, "FRW");
  EXPECT_EQ(setuped_cd_check(), 12);
  EXPECT_EQ(inst.log_reports(), std::vector<std::string>{"ZKSUBS01,setuped_cd_check,FindNextFile,(12)(0)(159)"});
}

}  // namespace
}  // namespace zk::test
