// cdopen and fcdopen: the master lookup with its redirections, location
// kinds, the drive search, and everything released on every failure path.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "opening_support.h"
#include "tools/writer/master_writer.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

class CdopenTest : public OpeningTest {
 protected:
  void SetUp() override {
    OpeningTest::SetUp();
    // Disc E1 (in drive D:): part names on the disc, a hard-disk copy, a set
    // living on disc E2, and a catalog 4711A0 with one set inside its master
    // file and one in its directory on the disc.
    writer::Disc e1 = disc("E1", "19990401", "01");
    e1.root_sets.push_back({writer::build_set(part_names("HINM01.DAT", 40)), 0, ""});
    e1.root_sets.push_back({writer::build_set(part_names("HINM04.DAT", 40)), 1, ""});
    e1.root_sets.push_back({writer::build_set(part_names("HINM02.DAT", 10)), 0, "G1"});
    writer::CatalogDir cat{"4711A0", {}};
    cat.sets.push_back({writer::build_set(part_names("PARTS1.DAT", 30)), 2});
    cat.sets.push_back({writer::build_set(part_names("PARTS2.DAT", 30)), 0});
    e1.catalogs.push_back(cat);
    lay_out("E1", e1, 'd');
    // Disc G1, the main disc of area G (installed, in no drive): E1's entry
    // of HINM02.DAT sends the lookup to it.
    writer::Disc g1 = disc("G1", "19990501", "01");
    g1.root_sets.push_back({writer::build_set(part_names("HINM02.DAT", 10)), 0, ""});
    lay_out("G1", g1, 'f');  // drive F: is not linked: G1 is in no drive
  }
  int open(const char* name, const char* code = nullptr, uint8_t kind = 7, int32_t disc = 0) {
    return cdopen(name, code, kind, 0, -1, disc, 700, &handle.h, &detail);
  }
  OpenHandle handle;
  int32_t detail = -1;
};

TEST_F(CdopenTest, FileOnTheDiscInADrive) {
  ASSERT_EQ(open("HINM01.DAT"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(detail, 0);
  EXPECT_EQ(std::string(h->file_name, 10), "HINM01.DAT");
  EXPECT_EQ(std::string(h->disc_id, 2), "E1");
  EXPECT_EQ(std::string(h->disc_no, 2), "01");
  EXPECT_EQ(std::string(h->disc_date, 8), "19990401");
  EXPECT_EQ(h->requested_disc, 0);
  EXPECT_EQ(h->disc_index, 0);
  EXPECT_EQ(h->drive_index, 0);
  EXPECT_EQ(h->catalog_flag, 0);
  EXPECT_EQ(h->level_count, 3);
  EXPECT_EQ(h->prompt_kind, 700);
  EXPECT_EQ(read_one(h, "100007"), part_name_record(100007));
  EXPECT_TRUE(prompts.empty());
}

TEST_F(CdopenTest, HardDiskCopyNeedsNoDiscAndSharesTheTopLevelsFile) {
  inst.empty_drive('d');  // no disc anywhere: none is needed
  ASSERT_EQ(open("HINM04.DAT"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(h->drive_index, -1);
  EXPECT_GE(h->levels[0].fd, 0);
  EXPECT_EQ(h->levels[1].fd, h->levels[0].fd);
  EXPECT_EQ(h->levels[2].fd, h->levels[0].fd);
  EXPECT_NE(h->levels[3].fd, h->levels[0].fd);
  EXPECT_EQ(read_one(h, "100273"), part_name_record(100273));
  EXPECT_TRUE(prompts.empty());
  cdclose(&handle.h, nullptr);
  EXPECT_TRUE(nothing_open());
}

TEST_F(CdopenTest, EntryOfAnotherAreasDiscSendsTheLookupToItsMainDisc) {
  // The user puts disc G1 (laid out below F's root) into drive E:.
  inst.alias_drive('e', 'f');
  inst.set_label('f', "19990501G1");
  ASSERT_EQ(open("HINM02.DAT"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(h->requested_disc, 0);
  EXPECT_EQ(h->disc_index, 3);  // G1
  EXPECT_EQ(std::string(h->disc_id, 2), "G1");
  EXPECT_EQ(h->drive_index, 1);
  EXPECT_EQ(read_one(h, "100014"), part_name_record(100014));
}

TEST_F(CdopenTest, CancelledPromptReleasesEverything) {
  EXPECT_EQ(open("HINM02.DAT"), 4);  // G1 is in no drive
  EXPECT_EQ(handle.h, nullptr);
  EXPECT_EQ(detail, 0);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].substr(153), "Gen.   01]");
  EXPECT_TRUE(nothing_open());
}

TEST_F(CdopenTest, CatalogSetInsideTheMasterFile) {
  inst.empty_drive('d');
  ASSERT_EQ(open("PARTS1.DAT", "4711A0"), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ(h->catalog_flag, 1);
  EXPECT_EQ(std::string(h->catalog_code, 6), "4711A0");
  EXPECT_STREQ(h->master_name, "ZK4711A0.MST");
  EXPECT_EQ(h->drive_index, -1);
  EXPECT_EQ(h->levels[0].fd, h->levels[3].fd);  // one open master file
  EXPECT_EQ(read_one(h, "100070"), part_name_record(100070));
}

TEST_F(CdopenTest, CatalogSetInItsDirectoryOnTheDisc) {
  ASSERT_EQ(open("PARTS2.DAT", "4711A0"), 0);
  EXPECT_EQ(handle.h->drive_index, 0);
  EXPECT_EQ(read_one(handle.h, "100203"), part_name_record(100203));
}

// In a catalog master file, a data file of any location kind but 2 is read
// from the catalog's directory through the drive found; with no disc needed
// there is no drive, and the name is taken relative to the current
// directory. A data file of an unknown kind is opened too, and reading it is
// refused at once, however many blocks its entry claims.
TEST_F(CdopenTest, CatalogDataFilesAreLookedForInTheCatalogDirectory) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  writer::CatalogDir cat{"4711A0", {}};
  cat.sets.push_back({writer::build_set(part_names("LOOSE1.DAT", 8, 0)), 0});
  cat.sets.push_back({writer::build_set(part_names("ODDKND.DAT", 8, 1)), 0});
  e1.catalogs.push_back(cat);
  lay_out("E1", e1, 'd');
  std::string master = inst.read('c', "CAT\\MST\\E1\\ZK4711A0.MST");
  for (size_t at = 32; at + 32 <= 2048; at += 32) {
    const std::string name = master.substr(at, 10);
    const uint32_t size = name == "ODDKND.DAT" ? 0xFFFFFFFF : 0;
    if (name == "LOOSE1.DAT") master[at + 27] = 1;  // a hard-disk copy: no disc needed
    if (size != 0) master[at + 27] = 3;
    for (int i = 0; size != 0 && i < 4; ++i) master[at + 20 + i] = '\xFF';
  }
  inst.write('c', "CAT\\MST\\E1\\ZK4711A0.MST", master);

  EXPECT_EQ(open("LOOSE1.DAT", "4711A0"), 11);
  EXPECT_EQ(detail, 2);
  fs::create_directory(inst.cwd() / "4711A0");
  fs::copy_file(inst.drive_root('d') / "4711A0" / "LOOSE1.DAT", inst.cwd() / "4711A0" / "LOOSE1.DAT");
  ASSERT_EQ(open("LOOSE1.DAT", "4711A0"), 0);
  EXPECT_EQ(handle.h->drive_index, -1);
  char rec[66];
  ASSERT_EQ(cdread(rec, nullptr, 0, 0, nullptr, nullptr, handle.h, &detail), 0);
  EXPECT_EQ(std::string(rec, 66), part_name_record(100000));
  cdclose(&handle.h, nullptr);

  ASSERT_EQ(open("ODDKND.DAT", "4711A0"), 0);
  EXPECT_EQ(handle.h->drive_index, 0);
  EXPECT_EQ(cdread(rec, nullptr, 0, 0, nullptr, nullptr, handle.h, &detail), 128);
  EXPECT_EQ(detail, 411);
}

TEST_F(CdopenTest, SharedNamesAreToldApartByFileKind) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  writer::SetSpec one = part_names("TWICE.DAT", 5);
  one.kind = 1;
  writer::SetSpec two = part_names("TWICE.DAT", 5);
  two.kind = 2;
  two.level_suffix = "IS";
  two.records = {part_name_record(200000)};
  writer::CatalogDir cat{"4711A0", {}};
  cat.sets.push_back({writer::build_set(two), 2});
  cat.sets.push_back({writer::build_set(one), 2});
  e1.root_sets.push_back({writer::build_set(one), 1, ""});
  e1.root_sets.push_back({writer::build_set(two), 1, ""});
  e1.catalogs.push_back(cat);
  lay_out("E1", e1, 'd');

  ASSERT_EQ(open("TWICE.DAT", nullptr, 2), 0);
  EXPECT_EQ(handle.h->file_kind, 2);
  EXPECT_EQ(read_one(handle.h, "200000"), part_name_record(200000));
  cdclose(&handle.h, nullptr);
  ASSERT_EQ(open("TWICE.DAT", nullptr, 1), 0);
  EXPECT_EQ(handle.h->file_kind, 1);
  cdclose(&handle.h, nullptr);
  EXPECT_EQ(open("TWICE.DAT", nullptr, 9), 128);
  EXPECT_EQ(detail, 104);
  // A catalog master file is always searched with file kind 1.
  ASSERT_EQ(open("TWICE.DAT", "4711A0", 2), 0);
  EXPECT_EQ(handle.h->file_kind, 1);
  cdclose(&handle.h, nullptr);
  // A name listed once is found whatever kind is asked for.
  ASSERT_EQ(open("HINM01.DAT", nullptr, 99), 128);  // the new E1 lists no HINM01
  EXPECT_EQ(detail, 104);
}

TEST_F(CdopenTest, ANameListedOnceIsFoundWhateverTheKind) {
  ASSERT_EQ(open("HINM01.DAT", nullptr, 99), 0);
  EXPECT_EQ(handle.h->file_kind, 7);
}

TEST_F(CdopenTest, EmptyDataFileOpensWithNothingOpen) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  writer::SetSpec empty = part_names("EMPTY1.DAT", 0, 0);
  e1.root_sets.push_back({writer::build_set(part_names("FILLER.DAT", 3)), 0, ""});
  e1.root_sets.push_back({writer::build_set(empty), 0, ""});
  lay_out("E1", e1, 'd');
  ASSERT_EQ(open("EMPTY1.DAT"), 0);
  EXPECT_EQ(handle.h->levels[3].fd, -1);
  EXPECT_EQ(handle.h->drive_index, -1);  // nothing present on the disc
  char rec[66];
  EXPECT_EQ(cdread(rec, "1", 1, 0, nullptr, nullptr, handle.h, &detail), -1);
  EXPECT_EQ(cdread(rec, nullptr, 0, 0, nullptr, nullptr, handle.h, &detail), -1);
}

TEST_F(CdopenTest, MissingOrShortMasterFiles) {
  EXPECT_EQ(open("HINM01.DAT", nullptr, 7, 2), -1);  // EA, a frame-number disc, has no ZKROOTMF.MST
  EXPECT_EQ(detail, 2);
  EXPECT_EQ(open("PARTS1.DAT", "9999Z9"), -1);
  EXPECT_EQ(detail, 2);
  const fs::path master = host_path(inst.drive_root('c'), "CAT\\MST\\E1\\ZK4711A0.MST");
  fs::resize_file(master, 2047);
  EXPECT_EQ(open("PARTS1.DAT", "4711A0"), 14);
  EXPECT_EQ(detail, 0);
  fs::resize_file(host_path(inst.drive_root('c'), "CAT\\MST\\E1\\ZKROOTMF.MST"), 31);
  EXPECT_EQ(open("HINM01.DAT"), 14);
  EXPECT_EQ(handle.h, nullptr);
  EXPECT_TRUE(nothing_open());
}

TEST_F(CdopenTest, NotListedAndNotInstalled) {
  EXPECT_EQ(open("NOSUCH.DAT"), 128);
  EXPECT_EQ(detail, 104);
  EXPECT_EQ(open("HINM01.DAT", nullptr, 7, 17), 128);  // no installed disc 17
  EXPECT_EQ(detail, 102);
  EXPECT_EQ(open("HINM01.DAT", nullptr, 7, -1), 128);
  EXPECT_EQ(detail, 102);
  // An entry naming a disc of a letter with no installed disc.
  writer::Disc e1 = disc("E1", "19990401", "01");
  e1.root_sets.push_back({writer::build_set(part_names("HINM01.DAT", 3)), 0, "U1"});
  lay_out("E1", e1, 'd');
  EXPECT_EQ(open("HINM01.DAT"), 128);
  EXPECT_EQ(detail, 102);
  EXPECT_TRUE(nothing_open());
}

TEST_F(CdopenTest, RootMasterThatHandsOverToTheFirstDisc) {
  // E2's root master file names another disc in its second disc id: the
  // lookup turns to the first installed disc, E1.
  writer::Disc e2 = disc("E2", "19990701", "02");
  e2.header = writer::master_header("19990701", "E2", "02", '1', "E1");
  lay_out("E2", e2, 'f');
  ASSERT_EQ(open("HINM01.DAT", nullptr, 7, 1), 0);
  EXPECT_EQ(handle.h->requested_disc, 1);
  EXPECT_EQ(handle.h->disc_index, 0);
}

TEST_F(CdopenTest, MasterFilesThatReferToEachOtherEndInAFailure) {
  writer::Disc e1 = disc("E1", "19990401", "01");
  e1.header = writer::master_header("19990401", "E1", "01", '1', "E9");  // hands over to discs[0]: itself
  lay_out("E1", e1, 'd');
  EXPECT_EQ(open("HINM01.DAT"), 128);
  EXPECT_EQ(detail, 106);
  // Two discs whose entries point at each other: E1 sends to E's main disc,
  // which is E1 again.
  writer::Disc e1b = disc("E1", "19990401", "01");
  e1b.root_sets.push_back({writer::build_set(part_names("HINM01.DAT", 3)), 0, "E2"});
  lay_out("E1", e1b, 'd');
  EXPECT_EQ(open("HINM01.DAT", nullptr, 7, 1), 128);  // E2 lists no HINM01 of its own
  EXPECT_EQ(detail, 104);
  writer::Disc e2 = disc("E2", "19990701", "02");
  e2.root_sets.push_back({writer::build_set(part_names("HINM01.DAT", 3)), 0, "E1"});
  lay_out("E2", e2, 'f');
  EXPECT_EQ(open("HINM01.DAT", nullptr, 7, 1), 128);
  EXPECT_EQ(detail, 106);
  EXPECT_TRUE(nothing_open());
}

TEST_F(CdopenTest, DataEntryAmongTheFirstThreeIsRefused) {
  writer::MasterFile m(writer::master_header("19990401", "E1", "01"));
  catalog::MasterEntry e{};
  std::memcpy(e.name.data(), "FIRST1.DAT", 10);
  e.kind = 7;
  e.size = 1;
  m.add_entries({e, e, e, e});
  inst.write('c', "CAT\\MST\\E1\\ZKROOTMF.MST", m.bytes());
  EXPECT_EQ(open("FIRST1.DAT"), 128);
  EXPECT_EQ(detail, 105);
}

TEST_F(CdopenTest, MasterPathTooLong) {
  zkall_ctop* c = get_ctop_addr();
  std::memset(c->ecmst_path, 'X', 64);  // with "\\E1\\ZKROOTMF.MST": 80 characters
  EXPECT_EQ(open("HINM01.DAT"), 128);
  EXPECT_EQ(detail, 101);
}

TEST_F(CdopenTest, FailuresAfterTheHandleReleaseEverything) {
  struct Case {
    platform::Op op;
    const char* path;
    int result;
  };
  const Case cases[] = {
      {platform::Op::Open, "ZKROOTMF.MST", 11}, {platform::Op::ShortRead, "ZKROOTMF.MST", 14},
      {platform::Op::Seek, "ZKROOTMF.MST", 15}, {platform::Op::Alloc, "", 20},
      {platform::Op::Open, "HINM01.IA2", 11},   {platform::Op::Open, "HINM01.DAT", 11},
  };
  for (const auto& k : cases) {
    inst.platform().faults().clear();
    inst.platform().faults().add(k.op, platform::kErrnoAccess, k.path);
    EXPECT_EQ(open("HINM01.DAT"), k.result) << k.path;
    EXPECT_EQ(handle.h, nullptr) << k.path;
    EXPECT_TRUE(nothing_open()) << k.path;
  }
  // Every allocation of the open, failed in turn: each is 20 with nothing
  // left open, until n passes the open's last allocation and it succeeds.
  bool opened = false;
  for (int n = 1; n <= 12; ++n) {
    inst.platform().faults().clear();
    inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory, "", n);
    const int rc = open("HINM01.DAT");
    EXPECT_EQ(rc, opened || (rc == 0 && n > 1) ? 0 : 20) << n;
    opened = rc == 0;
    EXPECT_EQ(handle.h == nullptr, rc != 0);
    cdclose(&handle.h, nullptr);
    EXPECT_TRUE(nothing_open()) << n;
  }
  EXPECT_TRUE(opened);
}

// ---- frame-number files --------------------------------------------------------

class FcdopenTest : public OpeningTest {};

TEST_F(FcdopenTest, WorldAndDomesticFrameDirectories) {
  writer::Disc ea = disc("EA", "19990601", "01");
  ea.root_sets.push_back({writer::build_set(part_names("FRAMNO.DAT", 12)), 1, ""});
  writer::lay_out_disc(ea, host_path(inst.drive_root('c'), "FRAME\\WLD\\EA").string(),
                       inst.drive_root('d').string(), "ZKFRNOMF.MST");
  OpenHandle h;
  int32_t detail = 0;
  ASSERT_EQ(fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail), 0);
  EXPECT_EQ(h.h->catalog_flag, 0);
  EXPECT_EQ(h.h->drive_index, -1);
  EXPECT_EQ(read_one(h.h, "100021"), part_name_record(100021));
  cdclose(&h.h, nullptr);
  // With current area J the domestic directory is read instead.
  get_ctop_addr()->current_area = 3;
  EXPECT_EQ(fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail), -1);
  EXPECT_EQ(detail, 2);
  writer::lay_out_disc(ea, host_path(inst.drive_root('c'), "FRAME\\JPN\\EA").string(),
                       inst.drive_root('d').string(), "ZKFRNOMF.MST");
  EXPECT_EQ(fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail), 0);
}

TEST_F(FcdopenTest, EntryOfAnotherDiscTurnsToTheFirstInstalledDisc) {
  writer::Disc ea = disc("EA", "19990601", "01");
  ea.root_sets.push_back({writer::build_set(part_names("FRAMNO.DAT", 12)), 1, "EB"});
  writer::lay_out_disc(ea, host_path(inst.drive_root('c'), "FRAME\\WLD\\EA").string(),
                       inst.drive_root('d').string(), "ZKFRNOMF.MST");
  OpenHandle h;
  int32_t detail = 0;
  // The first installed disc is E1: its frame-number master file is looked
  // for below FRAMEWLD\E1, where there is none.
  EXPECT_EQ(fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail), -1);
  writer::Disc e1 = disc("E1", "19990401", "01");
  e1.root_sets.push_back({writer::build_set(part_names("FRAMNO.DAT", 12)), 1, ""});
  writer::lay_out_disc(e1, host_path(inst.drive_root('c'), "FRAME\\WLD\\E1").string(),
                       inst.drive_root('d').string(), "ZKFRNOMF.MST");
  ASSERT_EQ(fcdopen("FRAMNO.DAT", nullptr, 7, 0, -1, 2, 700, &h.h, &detail), 0);
  EXPECT_EQ(h.h->requested_disc, 2);
  EXPECT_EQ(h.h->disc_index, 0);
}

}  // namespace
}  // namespace zk::test
