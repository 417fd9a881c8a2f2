// cdopen and fcdopen: the master lookup with its redirections, files on the
// disc, on the hard disk and inside a catalog master file, the drive search,
// and everything released when a lookup fails (failures of the files'
// operations are the fault-injection loop's).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "opening_support.h"
#include "tools/writer/master_writer.h"

namespace zk::test {
namespace {

class CdopenTest : public OpeningTest {
 protected:
  void SetUp() override {
    OpeningTest::SetUp();
    // Disc E1 (in drive D:): part names on the disc, a hard-disk copy, a set
    // living on disc E2, and a catalog 4711A0 with one set inside its master
    // file and one in its directory on the disc.
    writer::Disc e1 = disc("E1", "19990401", "01");
    e1.root_sets = {root("HINM01.DAT", 40), root("HINM04.DAT", 40, 1), root("HINM02.DAT", 10, 0, "G1")};
    e1.catalogs.push_back({"4711A0", {{writer::build_set(part_names("PARTS1.DAT", 30)), 2},
                                      {writer::build_set(part_names("PARTS2.DAT", 30)), 0}}});
    lay_out("E1", e1, 'd');
    // Disc G1, the main disc of area G (installed, in no drive): E1's entry
    // of HINM02.DAT sends the lookup to it.
    writer::Disc g1 = disc("G1", "19990501", "01");
    g1.root_sets = {root("HINM02.DAT", 10)};
    lay_out("G1", g1, 'f');  // drive F: is not linked: G1 is in no drive
  }
  static writer::RootSet root(const char* name, int count, uint8_t location = 0, const char* on_disc = "") {
    return {writer::build_set(part_names(name, count)), location, on_disc};
  }
  int open(const char* name, const char* code = nullptr, uint8_t kind = 7, int32_t disc = 0) {
    return cdopen(name, code, kind, 0, -1, disc, 700, &handle.h, &detail);
  }
  // The handle's disc numbers: requested, installed index, drive, catalog flag.
  static std::vector<int32_t> where(const zkall_cd_handle* h) {
    return {h->requested_disc, h->disc_index, h->drive_index, h->catalog_flag};
  }
  OpenHandle handle;
  int32_t detail = -1;
};

TEST_F(CdopenTest, FileOnTheDiscInADrive) {
  ASSERT_EQ(open("HINM01.DAT"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(std::string(h->file_name, 10) + std::string(h->disc_id, 2) + std::string(h->disc_no, 2) +
                std::string(h->disc_date, 8),
            "HINM01.DATE10119990401");
  EXPECT_EQ(where(h), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ((std::vector<int32_t>{detail, h->level_count, h->prompt_kind}), (std::vector<int32_t>{0, 3, 700}));
  EXPECT_EQ(read_one(h, "100007"), part_name_record(100007));
}

TEST_F(CdopenTest, HardDiskCopyNeedsNoDiscAndSharesTheTopLevelsFile) {
  inst.empty_drive('d');  // no disc anywhere: none is needed
  ASSERT_EQ(open("HINM04.DAT"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(h->drive_index, -1);
  const int32_t top = h->levels[0].fd;
  EXPECT_EQ((std::vector<bool>{top >= 0, h->levels[1].fd == top, h->levels[2].fd == top, h->levels[3].fd == top}),
            (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(read_one(h, "100273"), part_name_record(100273));
  EXPECT_TRUE(prompts.empty());
}

TEST_F(CdopenTest, EntryOfAnotherAreasDiscSendsTheLookupToItsMainDisc) {
  // G1 is in no drive: the prompt names it, Cancel releases everything.
  EXPECT_EQ(open("HINM02.DAT"), 4);
  EXPECT_EQ(handle.h, nullptr);
  EXPECT_EQ(detail, 0);
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_TRUE(nothing_open());
  // The user puts disc G1 (laid out below F's root) into drive E:.
  inst.alias_drive('e', 'f');
  inst.set_label('f', "19990501G1");
  ASSERT_EQ(open("HINM02.DAT"), 0);
  EXPECT_EQ(where(handle.h), (std::vector<int32_t>{0, 3, 1, 0}));  // G1, in E:
  EXPECT_EQ(read_one(handle.h, "100014"), part_name_record(100014));
}

TEST_F(CdopenTest, CatalogSetsInsideTheMasterFileAndInItsDirectory) {
  ASSERT_EQ(open("PARTS2.DAT", "4711A0"), 0);
  EXPECT_EQ(handle.h->drive_index, 0);
  EXPECT_EQ(read_one(handle.h, "100203"), part_name_record(100203));
  cdclose(&handle.h, nullptr);
  inst.empty_drive('d');
  ASSERT_EQ(open("PARTS1.DAT", "4711A0"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(where(h), (std::vector<int32_t>{0, 0, -1, 1}));
  EXPECT_EQ(std::string(h->catalog_code, 6), "4711A0");
  EXPECT_STREQ(h->master_name, "ZK4711A0.MST");
  EXPECT_EQ(h->levels[0].fd, h->levels[3].fd);  // one open master file
  EXPECT_EQ(read_one(h, "100070"), part_name_record(100070));
}

// A name listed twice is told apart by the file kind asked for; a catalog
// master file is always searched with file kind 1.
TEST_F(CdopenTest, SharedNamesAreToldApartByFileKind) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  writer::SetSpec one = part_names("TWICE.DAT", 5), two = one;
  one.kind = 1;
  two.kind = 2;
  two.level_suffix = "IS";
  two.records = {part_name_record(200000)};
  e1.catalogs.push_back({"4711A0", {{writer::build_set(two), 2}, {writer::build_set(one), 2}}});
  e1.root_sets = {{writer::build_set(one), 1, ""}, {writer::build_set(two), 1, ""}};
  lay_out("E1", e1, 'd');
  ASSERT_EQ(open("TWICE.DAT", "4711A0", 2), 0);
  EXPECT_EQ(handle.h->file_kind, 1);
  cdclose(&handle.h, nullptr);
  ASSERT_EQ(open("TWICE.DAT", nullptr, 2), 0);
  EXPECT_EQ(read_one(handle.h, "200000"), part_name_record(200000));
}

TEST_F(CdopenTest, EmptyDataFileOpensWithNothingOpen) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  e1.root_sets = {root("FILLER.DAT", 3), {writer::build_set(part_names("EMPTY1.DAT", 0, 0)), 0, ""}};
  lay_out("E1", e1, 'd');
  ASSERT_EQ(open("EMPTY1.DAT"), 0);
  // No data file open, no drive (nothing present on the disc), no blocks.
  EXPECT_EQ((std::vector<int64_t>{handle.h->levels[3].fd, handle.h->drive_index, cdfilelen(handle.h)}),
            (std::vector<int64_t>{-1, -1, 0}));
  EXPECT_EQ(read_one(handle.h, ""), "cdread -1/0");
}

// The lookups that fail; each row's change to the installation stays for
// the rows below it.
TEST_F(CdopenTest, LookupsThatFailGiveTheirCodeAndLeaveNothingOpen) {
  // Lays E1 (in D:) or E2 (in F:) out again: HINM01.DAT on disc `on_disc`,
  // and a second disc id in the root master file's header.
  const auto relay = [this](const char* id, const char* on_disc, const char* second = "") {
    const bool e1 = id[1] == '1';
    writer::Disc d;
    d.header = writer::master_header(e1 ? "19990401" : "19990701", id, e1 ? "01" : "02", '1', second);
    if (*on_disc) d.root_sets = {root("HINM01.DAT", 3, 0, on_disc)};
    lay_out(id, d, e1 ? 'd' : 'f');
  };
  // A root master file whose first four entries list HINM01.DAT.
  const auto data_entry_early = [this] {
    writer::MasterFile m(writer::master_header("19990401", "E1", "01"));
    const catalog::MasterEntry e{.name = {'H', 'I', 'N', 'M', '0', '1', '.', 'D', 'A', 'T'}, .kind = 7, .size = 1};
    m.add_entries({e, e, e, e});
    inst.write('c', "CAT\\MST\\E1\\ZKROOTMF.MST", m.bytes());
  };
  const struct { const char* what; std::function<void()> change; const char* name, *code; int32_t disc; const char* want; } cases[] = {
      {"EA, a frame-number disc, has no ZKROOTMF.MST", [] {}, "HINM01.DAT", nullptr, 2, "-1/2"},
      {"not listed", [] {}, "NOSUCH.DAT", nullptr, 0, "128/104"},
      {"no installed disc 17", [] {}, "HINM01.DAT", nullptr, 17, "128/102"},
      {"entry naming a letter with no installed disc", [&] { relay("E1", "U1"); }, "HINM01.DAT", nullptr, 0, "128/102"},
      // E1 hands over to discs[0], itself; then entries of E1 and E2 point at each other.
      {"a master that hands over to itself", [&] { relay("E1", "", "E9"); }, "HINM01.DAT", nullptr, 0, "128/106"},
      {"entries pointing at each other", [&] { relay("E2", "E1"); }, "HINM01.DAT", nullptr, 1, "128/106"},
      {"a data entry among the first three", data_entry_early, "HINM01.DAT", nullptr, 0, "128/105"},
      // With "\E1\ZKROOTMF.MST": 80 characters.
      {"master path too long", [] { std::memset(get_ctop_addr()->ecmst_path, 'X', 64); }, "HINM01.DAT", nullptr, 0, "128/101"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    EXPECT_EQ(rd(open(c.name, c.code, 7, c.disc), detail), c.want);
    EXPECT_EQ(handle.h, nullptr);
    EXPECT_TRUE(nothing_open());
  }
}

TEST_F(CdopenTest, RootMasterThatHandsOverToTheFirstDisc) {
  // E2's root master file names another disc in its second disc id: the
  // lookup turns to the first installed disc, E1.
  writer::Disc e2 = disc("E2", "19990701", "02");
  e2.header = writer::master_header("19990701", "E2", "02", '1', "E1");
  lay_out("E2", e2, 'f');
  ASSERT_EQ(open("HINM01.DAT", nullptr, 7, 1), 0);
  EXPECT_EQ(where(handle.h), (std::vector<int32_t>{1, 0, 0, 0}));
}

// ---- frame-number files --------------------------------------------------------

class FcdopenTest : public OpeningTest {
 protected:
  void lay_out_frames(const char* id, const char* date, const char* dir, const char* on_disc) {
    writer::Disc d = disc(id, date, "01");
    d.root_sets.push_back({writer::build_set(part_names("FRAMNO.DAT", 12)), 1, on_disc});
    writer::lay_out_disc(d, host_path(inst.drive_root('c'), std::string("FRAME\\") + dir + "\\" + id).string(),
                         inst.drive_root('d').string(), "ZKFRNOMF.MST");
  }
  int open() { return fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail); }
  OpenHandle h;
  int32_t detail = 0;
};

TEST_F(FcdopenTest, WorldAndDomesticFrameDirectories) {
  lay_out_frames("EA", "19990601", "WLD", "");
  ASSERT_EQ(open(), 0);
  EXPECT_EQ(h.h->catalog_flag * 10 + h.h->drive_index, -1);  // no catalog, no drive
  EXPECT_EQ(read_one(h.h, "100021"), part_name_record(100021));
  cdclose(&h.h, nullptr);
  // With current area J the domestic directory is read instead.
  get_ctop_addr()->current_area = 3;
  EXPECT_EQ(rd(open(), detail), "-1/2");
  lay_out_frames("EA", "19990601", "JPN", "");
  EXPECT_EQ(open(), 0);
}

TEST_F(FcdopenTest, EntryOfAnotherDiscTurnsToTheFirstInstalledDisc) {
  lay_out_frames("EA", "19990601", "WLD", "EB");
  // The first installed disc is E1: its frame-number master file is looked
  // for below FRAME\WLD\E1, where there is none until it is laid out.
  EXPECT_EQ(open(), -1);
  lay_out_frames("E1", "19990401", "WLD", "");
  ASSERT_EQ(open(), 0);
  EXPECT_EQ(h.h->requested_disc * 10 + h.h->disc_index, 20);
}

}  // namespace
}  // namespace zk::test
