// The group list, its list-box lines and the group files ZKGRPMEI.D and
// ZKGRPPNC.D: limits, part names read from a disc, the file layouts, the
// remake thresholds, the direct readers and every report through the fault
// seam.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/list_box.h"
#include "support/catalog_fixture.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Op;
using Lines = std::vector<std::string>;
using std::tuple;

class GroupTest : public CatalogFixture {
 protected:
  void SetUp() override {
    CatalogFixture::SetUp();
    writer::Disc e1 = disc("E1", "19990401", "01");
    e1.root_sets.push_back({writer::build_set(record_set({"HINM01.DAT", 7, 66, 0, 6, {"6", "60"},
                                                          {"100010|CYLINDER HEAD", "100120|OIL FILTER",
                                                           "200300|SPARK PLUG"}})),
                            0, ""});
    lay_out("E1", e1, 'd');
    ASSERT_EQ(drom_check_setup(0), 0);
    get_ctop_addr()->current_area = 0;
    get_ccar_addr()->catalog_disc = 0;
  }
  void TearDown() override {
    VBTermGrpTmp();
    CatalogFixture::TearDown();
  }
  std::string file(const char* name) const { return inst.read('c', std::string("CAT\\MST\\") + name); }
  void put(const char* name, const std::string& bytes) const { inst.write('c', std::string("CAT\\MST\\") + name, bytes); }
  static int set(const char* code, const std::string& name) {
    platform::FrontEndString s(name);
    return VBSetGrpCd(code, s.get());
  }
  static std::string slots(const char* code) { return std::string(search_grptmp(code)->data.pnc[0], 600); }
  static std::string padded(std::string s, size_t n, char c = ' ') { return s.resize(n, c), s; }
  std::string last_log() const { return log().empty() ? "" : log().back(); }
};

TEST_F(GroupTest, AThousandGroupsFillTheListAndNamesArePadded) {
  char code[4];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(code, sizeof code, "%03d", i);
    ASSERT_EQ(set(code, "G"), 0);
  }
  EXPECT_EQ(VBGetGrpNum(), 1000);
  EXPECT_EQ(set("XYZ", "NEW"), 1);                 // full
  EXPECT_EQ(set("500", "TEN BYTES!"), 0);          // renaming still works
  EXPECT_EQ((tuple{VBCheckGrpCd("500"), VBCheckGrpCd("XYZ")}), (tuple{1, 0}));
  platform::FrontEndString out(12, '#');
  EXPECT_EQ((tuple{VBGetGrpName("500", out.get()), out.str()}), (tuple{1, "TEN BYTES!  "}));
  EXPECT_EQ(std::string(search_grptmp("500")->data.name, 60), padded("TEN BYTES!", 60));
  EXPECT_EQ(VBGetGrpName("XYZ", out.get()), 0);
  VBDelGrpCd("500");
  EXPECT_EQ((tuple{VBGetGrpNum(), VBCheckGrpCd("500")}), (tuple{999, 0}));
}

TEST_F(GroupTest, PartCodesAreAppendedReplacedAndRefused) {
  ASSERT_EQ(set("A01", "ENGINE"), 0);
  platform::ListBox box;
  const auto codes = [&box] {
    std::string out;  // the codes of the box's lines
    for (const std::string& l : box.lines()) out += l.substr(0, 6) + " ";
    return out;
  };
  // group, code, index before and after; the box's codes; slots 0 and 1.
  struct Case { const char *group, *pnc; int16_t index_in, index_out; std::string lines, first_slots; } cases[] = {
      {"A01", "100120", -1, 0, "100120 ", "100120      "},
      {"A01", "1000", -1, 1, "100120 ", "100120      "},  // not in the file: nothing stored
      {"A01", "100010", -1, 0, "100120 100010 ", "100120100010"},
      {"A01", "200300", 0, 0, "200300 100010 ", "200300100010"},  // replaces line and slot 0
      {"A01", "100010", 100, -1, "200300 100010 ", "200300100010"},
      {"A01", "100010", -2, -1, "200300 100010 ", "200300100010"},
      {"ZZZ", "100010", -1, -1, "200300 100010 ", "200300100010"}};  // a missing group leaves the index alone
  for (const Case& c : cases) {
    int16_t index = c.index_in;
    EXPECT_EQ(VBSetGrpPnc(box.handle(), c.group, c.pnc, &index), 0);
    EXPECT_EQ((tuple{index, codes(), slots("A01").substr(0, 12)}), (tuple{c.index_out, c.lines, c.first_slots})) << c.pnc;
  }
  EXPECT_EQ(box.lines()[0], padded("200300  SPARK PLUG", 68));
  // The 101st code is refused.
  std::memset(search_grptmp("A01")->data.pnc, 'X', 600);
  int16_t index = -1;
  EXPECT_EQ(VBSetGrpPnc(box.handle(), "A01", "100010", &index), 0);
  EXPECT_EQ((tuple{index, slots("A01")}), (tuple{-1, std::string(600, 'X')}));
}

TEST_F(GroupTest, SelectedLinesAreDeletedWithTheirCodes) {
  ASSERT_EQ(set("A01", "ENGINE"), 0);
  std::memcpy(search_grptmp("A01")->data.pnc, "100010100120200300", 18);
  platform::ListBox box;
  for (const char* l : {"100120  X", "999999  NOT IN THE GROUP", "100010  Y", "200300  Z"})
    box.send(platform::kLbAddString, 0, reinterpret_cast<intptr_t>(l));
  for (int line : {0, 1, 3}) box.send(platform::kLbSetSel, 1, line);
  EXPECT_EQ(VBDelGrpPnc(box.handle(), "A01"), 0);
  EXPECT_EQ((tuple{box.lines(), slots("A01")}), (tuple{Lines{"100010  Y"}, "100010" + std::string(594, ' ')}));
  inst.platform().faults().add(Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ(VBDelGrpPnc(box.handle(), "A01"), 20);
  EXPECT_EQ(log().back(), "ZKSUBG02,VBDelGrpPnc,malloc,(20)(0)(631)");
}

TEST_F(GroupTest, ListBoxLinesOfGroupsAndOfTheirParts) {
  ASSERT_EQ(set("A01", "ENGINE"), 0);
  ASSERT_EQ(set("B02", "EMPTY"), 0);
  std::memcpy(search_grptmp("A01")->data.pnc, "100120777777", 12);
  platform::ListBox groups;
  VBMakeListGrpMei(groups.handle());
  EXPECT_EQ(groups.lines(), (Lines{padded("  A01     ENGINE", 70), padded("  B02     EMPTY", 70)}));

  const Lines parts{padded("100120  OIL FILTER", 68), padded("777777", 68)};
  struct Case { const char* code; int16_t flag_in; int32_t area; bool read_fails; int rc; int16_t flag_out;
                Lines lines; std::string report; } cases[] = {
      {"A01", 0, 0, false, 0, 0, parts, ""},
      {"A01", 1, 0, false, 0, 0, parts, ""},
      {"B02", 0, 0, false, 0, 0, {}, ""},
      {"ZZZ", 0, 0, false, 0, 1, {}, ""},
      {"A01", 1, 7, false, 14, 1, {}, "ZKSUBG02,VBMakeListGrpPnc,GetAreaChar,(14)(7)(323)"},
      {"A01", 1, 2, false, 14, 1, {}, "ZKSUBG02,VBMakeListGrpPnc,setuped_top_cdno,(14)(1)(328)"},
      {"A01", 0, 0, true, 14, 0, {}, "ZKSUBG02,VBMakeListGrpPnc,cdread,(14)(5)(370)"}};
  for (const Case& c : cases) {
    get_ctop_addr()->current_area = c.area;
    if (c.read_fails) inst.platform().faults().add(Op::Read, platform::kErrnoIo, "HINM01.DAT");
    platform::ListBox box;
    int16_t flag = c.flag_in;
    EXPECT_EQ((tuple{VBMakeListGrpPnc(c.code, box.handle(), &flag), flag, box.lines(), last_log(), nothing_open()}),
              (tuple{c.rc, c.flag_out, c.lines, c.report, true})) << c.code << " " << c.report;
  }
}

TEST_F(GroupTest, FilesAreWrittenAtTheirSizesAndReadBack) {
  ASSERT_EQ(VBwrite_group_file(), 0);
  EXPECT_EQ(file("ZKGRPMEI.D") + file("ZKGRPPNC.D"), std::string(63063, '\0') + std::string(600000, ' '));

  ASSERT_EQ(set("A01", "ENGINE"), 0);
  ASSERT_EQ(set("B02", "BRAKES"), 0);
  std::memcpy(search_grptmp("B02")->data.pnc, "100120", 6);
  ASSERT_EQ(VBwrite_group_file(), 0);
  const std::string pnc = file("ZKGRPPNC.D");
  EXPECT_EQ(file("ZKGRPMEI.D"), padded(std::string("\x02\0", 2), 63, '\0') + "A01" + padded("ENGINE", 60) + "B02" +
                                    padded(padded("BRAKES", 60), 63063 - 129, '\0'));
  EXPECT_EQ((tuple{pnc.size(), pnc.substr(600, 600)}), (tuple{600000u, padded("100120", 600)}));

  VBTermGrpTmp();
  ASSERT_EQ(set("OLD", "KEPT"), 0);  // reading appends
  int16_t count = 0;
  ASSERT_EQ(VBread_group_file(&count), 0);
  EXPECT_EQ((tuple{count, VBGetGrpNum(), slots("B02").substr(0, 12)}), (tuple{2, 3, "100120      "}));

  // g_mei_f_check tells an empty file from one with groups.
  EXPECT_EQ(g_mei_f_check(), 0);
  VBTermGrpTmp();
  ASSERT_EQ(VBwrite_group_file(), 0);
  EXPECT_EQ(g_mei_f_check(), 1);
}

TEST_F(GroupTest, RemakeReplacesUndersizedFilesOnly) {
  // Sizes before (0: missing) and whether the pair is made again.
  const std::tuple<size_t, size_t, bool> cases[] = {{0, 0, true}, {6363, 30000, true}, {6364, 30001, false}};
  for (const auto& [mei, pnc, remade] : cases) {
    std::filesystem::remove(inst.drive_root('c') / "CAT" / "MST" / "ZKGRPMEI.D");
    std::filesystem::remove(inst.drive_root('c') / "CAT" / "MST" / "ZKGRPPNC.D");
    if (mei) put("ZKGRPMEI.D", std::string(mei, 'M'));
    if (pnc) put("ZKGRPPNC.D", std::string(pnc, 'P'));
    EXPECT_EQ(VBRemakeGpFile(), 0) << mei;
    EXPECT_EQ(file("ZKGRPMEI.D") + file("ZKGRPPNC.D"), remade ? std::string(663063, '\0')
                                                              : std::string(mei, 'M') + std::string(pnc, 'P'));
  }
  // Below one megabyte free nothing is made: 255 clusters are 1044480 bytes, 256 exactly 1 MB.
  std::filesystem::remove(inst.drive_root('c') / "CAT" / "MST" / "ZKGRPMEI.D");
  for (uint32_t clusters : {255u, 256u}) {
    inst.platform().free_space["C:\\"] = {8, 512, clusters, 1000};
    EXPECT_EQ(VBRemakeGpFile(), 0);
    EXPECT_EQ(inst.exists('c', "CAT\\MST\\ZKGRPMEI.D"), clusters == 256);
  }
}

TEST_F(GroupTest, DirectReadersFindGroupsByCode) {
  char code[4];
  for (int i = 0; i < 300; ++i) {
    std::snprintf(code, sizeof code, "%03d", i);
    ASSERT_EQ(set(code, std::string("NAME ") + code), 0);
  }
  std::memcpy(search_grptmp("249")->data.pnc, "100120777777100010", 18);
  ASSERT_EQ(VBwrite_group_file(), 0);
  char name[60];
  EXPECT_EQ((tuple{g_mei_f_read("249", name), std::string(name, 60)}), (tuple{249, padded("NAME 249", 60)}));  // record 250, third block
  EXPECT_EQ(g_mei_f_read("ZZZ", name), -1);
  std::vector<char> records(6600, '#');
  EXPECT_EQ(g_pnc_f_read("249", records.data()), 0);
  // 777777 is not in the file: its record is left as it was.
  EXPECT_EQ(std::string(records.data(), 264), padded("100120OIL FILTER", 66) + std::string(66, '#') +
                                                  padded("100010CYLINDER HEAD", 66) + std::string(66, '#'));
  EXPECT_EQ(g_pnc_f_read("ZZZ", records.data()), -1);
  EXPECT_TRUE(nothing_open());
}

// A failure of each function: the fault, its result and its one report.
TEST_F(GroupTest, FileFailuresAreReportedWithTheirSites) {
  enum Fn { Set, Read, Write, Remake, MeiRead, PncRead };
  struct Case { Fn fn; Op op; const char* path; int nth, rc; std::string report; } const cases[] = {
      {Set, Op::Alloc, "", 1, 20, "ZKSUBG02,VBSetGrpCd,AddItem,(20)(0)(456)"},
      {Read, Op::Open, "ZKGRPMEI", 1, 11, "ZKSUBG02,VBread_group_file,fopen,(11)(5)(74)"},
      {Write, Op::Close, "ZKGRPMEI", 1, 13, "ZKSUBG02,VBwrite_group_file,fclose,(13)(5)(254)"},  // may have lost data
      {Remake, Op::DiskSpace, "", 1, -1, "ZKSUBG01,VBRemakeGpFile,GetDiskFreeSpace,(-1)(5)(0)"},
      {MeiRead, Op::Read, "ZKGRPMEI", 2, -14, "ZKSUBG01,g_mei_f_read,fread,(14)(5)(84)"},  // negative codes
      {PncRead, Op::Read, "HINM01", 1, 14, "ZKSUBG01,g_pnc_f_read,cdread,(14)(5)(206)"},
  };
  for (const Case& c : cases) {
    VBTermGrpTmp();
    ASSERT_EQ(set("A01", "ENGINE"), 0);
    std::memcpy(search_grptmp("A01")->data.pnc, "100120", 6);
    inst.platform().faults().add(c.op, platform::kErrnoIo, c.path, c.nth);
    int16_t count = 0;
    char name[60];
    std::vector<char> records(6600);
    const int rc = c.fn == Set       ? set("B02", "X")
                   : c.fn == Read    ? VBread_group_file(&count)
                   : c.fn == Write   ? VBwrite_group_file()
                   : c.fn == Remake  ? VBRemakeGpFile()
                   : c.fn == MeiRead ? g_mei_f_read("A01", name)
                                     : g_pnc_f_read("A01", records.data());
    EXPECT_EQ((tuple{rc, last_log(), nothing_open()}), (tuple{c.rc, c.report, true}));
    if (c.fn == Set) {
      EXPECT_EQ(VBGetGrpNum(), 1);  // nothing added
    }
    inst.platform().faults().clear();  // the pair for the next case
    ASSERT_EQ(VBwrite_group_file(), 0);
  }
}

}  // namespace
}  // namespace zk::test
