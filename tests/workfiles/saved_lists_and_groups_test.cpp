// The work files in the catalog directory. Saved lists: numbers given out
// from the master ZKIFSMST.SAV, deletion and the count, the data files and
// the current saved list, the vehicle record, the interface program's exit
// codes, the set-up check and reset, the CSV helpers. The group list, its
// list-box lines and the group files ZKGRPMEI.D and ZKGRPPNC.D: limits, part
// names read from a disc, the file layouts, the remake thresholds, the direct
// readers. Failures whose answers are the functions' own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/list_box.h"
#include "support/catalog_fixture.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Op;
namespace fs = std::filesystem;
using std::tuple;
using Lines = std::vector<std::string>;

std::string u16(int v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
std::string header(int count, int next) { return u16(count) + u16(next) + std::string(12, '\0'); }

class SavedListTest : public CatalogFixture {
 protected:
  void TearDown() override {
    close_save_dat_file(nullptr, nullptr);
    CatalogFixture::TearDown();
  }
  std::string master() const { return inst.read('c', "CAT\\MST\\ZKIFSMST.SAV"); }
  void put(const std::string& name, const std::string& bytes) const { inst.write('c', "CAT\\MST\\" + name, bytes); }
  // A master with `count`, `next` and the states of entries 1, 2 ... ('0'
  // and '1' stand for the bytes 0 and 1).
  void put_master(int count, int next, const std::string& states) const {
    std::string m = header(count, next);
    for (char s : states) m += std::string(1, s == '0' ? '\0' : s == '1' ? '\1' : s) + std::string(15, '\0');
    put("ZKIFSMST.SAV", m);
  }
  void fail(Op op, int fault = platform::kErrnoIo, int nth = 1) {
    inst.platform().faults().clear();
    if (fault) inst.platform().faults().add(op, fault, "ZKIFSMST", nth);
  }
};

TEST_F(SavedListTest, NumbersAreGivenOutCyclicallyAndTheCountNeverPassesTheLimit) {
  int32_t error = -1, number = 0;
  ASSERT_EQ(make_save_mst(&error), 0);
  EXPECT_EQ(master(), header(0, 1) + std::string(16, '\0'));
  ASSERT_EQ(get_save_no(&number, &error) + get_save_no(&number, &error), 0);
  EXPECT_EQ((tuple{number, error}), (tuple{2, 0}));
  // The test clock is 2024-03-09 14:05:07.
  const std::string saved = std::string("\1\0\0\0", 4) + "090324" + "140507";
  EXPECT_EQ(master().substr(0, 48), header(2, 3) + saved + saved);

  struct Case { int count, next; std::string states; int number; std::string head_after; } cases[] = {
      {9999, 9999, "", 9999, header(9999, 1)},  // wraps, the count stays
      {3, 0, "11D01", 4, header(4, 5)},         // the first free entry
      {2, -7, "10", 2, header(3, 3)},           // a damaged next number: the first free entry
      {5, 2, "1U", 2, header(6, 3)}};           // given out again whatever the state
  for (const Case& c : cases) {
    put_master(c.count, c.next, c.states);
    ASSERT_EQ(get_save_no(&number, &error), 0) << c.number;
    const std::string m = master();
    EXPECT_EQ((tuple{number, m.substr(0, 16), m[16 * c.number]}), (tuple{c.number, c.head_after, '\1'}));
  }
  put_master(1, 0, "11");  // no free entry before the end
  EXPECT_EQ(get_save_no(&number, &error), 14);
}

TEST_F(SavedListTest, DeletionMarksTheEntryAndLowersTheCountDownToZero) {
  for (const auto& [count, want] : {std::pair(6, 5), std::pair(1, 0), std::pair(0, 0)}) {
    put_master(count, 7, "111111");
    int32_t left = -9, error = -1;
    ASSERT_EQ(deldata_save_mst_file(5, &left, &error), 0);
    const std::string m = master();
    EXPECT_EQ((tuple{left, m.substr(0, 4), m[80], m[96]}), (tuple{want, u16(want) + u16(7), 'D', '\1'}));
  }
  int32_t error = 0;
  EXPECT_EQ((tuple{deldata_save_mst_file(0, nullptr, &error), error}), (tuple{15, 22}));  // names no entry
}

TEST_F(SavedListTest, MasterPresenceAndOpenResults) {
  int32_t count = -1, error = -1;
  EXPECT_EQ((tuple{check_save_mst_file_exist(&count, &error), check_save_dat_file_exist(nullptr, &error), drom_check_setup(5)}),
            (tuple{-1, -1, 876}));
  put_master(0, 1, "");
  EXPECT_EQ((tuple{check_save_mst_file_exist(&count, &error), count}), (tuple{0, 0}));
  EXPECT_EQ(check_save_dat_file_exist(&count, &error), -1);
  put_master(3, 1, "");
  EXPECT_EQ((tuple{check_save_dat_file_exist(&count, &error), count}), (tuple{0, 3}));
  EXPECT_EQ(drom_check_setup(5), 0);

  void* stream = nullptr;
  struct Case { int16_t mode; int fault, rc, error; } cases[] = {
      {1, platform::kErrnoNoEntry, -1, 0}, {3, platform::kErrnoAccess, -2, 0}, {2, platform::kErrnoIo, 11, 5},
      {4, 0, 11, 22} /* no such mode */,   {1, 0, 0, 0}};
  for (const Case& c : cases) {
    fail(Op::Open, c.fault);
    EXPECT_EQ((tuple{open_save_mst_file(c.mode, &stream, &error), error, stream != nullptr}),
              (tuple{c.rc, c.error, c.rc == 0})) << c.mode;
    EXPECT_EQ((tuple{close_save_mst_file(&stream, &error), stream}), (tuple{0, nullptr}));
  }
}

TEST_F(SavedListTest, DataFilesAndTheCurrentSavedList) {
  char path[80];
  EXPECT_EQ((tuple{make_save_dat_file_name(7, path), std::string(path)}), (tuple{0, "C:\\CAT\\MST\\ZKIF0007.SAV"}));
  EXPECT_EQ(make_save_dat_file_name(10000, path), -1);
  void* stream = nullptr;
  int32_t error = 0, position = -1;
  EXPECT_EQ(open_save_dat_file(7, 1, 2, &stream, &error), -1);  // no file yet
  ASSERT_EQ(open_save_dat_file(7, 2, 3, &stream, &error), 0);    // created
  ASSERT_EQ(write_save_dat_file(stream, "HEADER-RECORD", 13, &error), 0);
  EXPECT_EQ((tuple{seek_save_dat_file(stream, 7, &position, &error), position}), (tuple{0, 7}));
  char buf[6] = {};
  EXPECT_EQ((tuple{read_save_dat_file(stream, buf, 6, &error), std::string(buf, 6)}), (tuple{0, "RECORD"}));
  EXPECT_EQ(read_save_dat_file(stream, buf, 1, &error), 14);  // at the end
  EXPECT_EQ((tuple{read_save_dat_file(stream, buf, -1, &error), error}), (tuple{14, 22}));
  ASSERT_EQ(close_save_dat_file(&stream, &error), 0);
  EXPECT_EQ((tuple{open_save_dat_file(7, 3, 2, &stream, &error), error}), (tuple{11, 22}));  // no such sub-mode

  // Opened without a stream pointer it becomes the current saved list.
  const auto current = [] {
    return (tuple{check_save_dat_file_handle(), +get_ctop_addr()->save_list_flag, get_ctop_addr()->save_data_handle != 0});
  };
  EXPECT_EQ(current(), (tuple{-1, 0, false}));
  ASSERT_EQ(open_save_dat_file(7, 0, 1, nullptr, &error), 0);
  EXPECT_EQ(current(), (tuple{0, 7, true}));
  ASSERT_EQ(close_save_dat_file(nullptr, &error), 0);
  EXPECT_EQ(current(), (tuple{-1, 0, false}));

  EXPECT_EQ(del_save_dat_file(7, &error), 0);
  EXPECT_EQ((tuple{del_save_dat_file(7, &error), error}), (tuple{-1, 2}));
}

TEST_F(SavedListTest, ResetTurnsTheCurrentEntryBackFromInUse) {
  put_master(2, 3, "1U");
  put("ZKIF0002.SAV", "x");
  int32_t error = -1;
  EXPECT_EQ(reset_save_mst_flag(&error), 0);  // no current list: nothing read
  ASSERT_EQ(open_save_dat_file(2, 0, 1, nullptr, &error), 0);
  EXPECT_EQ(drom_reset_com(), 0);
  EXPECT_EQ((tuple{master()[32], +get_ctop_addr()->save_list_flag}), (tuple{'\1', 0}));

  // A failed close after the write clears the current list all the same.
  put_master(2, 3, "1U");
  get_ctop_addr()->save_list_flag = 2;
  fail(Op::Close);
  EXPECT_EQ((tuple{drom_reset_com(), log().back(), +get_ctop_addr()->save_list_flag}),
            (tuple{13, "ZKDROM,drom_reset_com,reset_save_mst_flag,(13)(0)(828)", 0}));
}

TEST_F(SavedListTest, VehicleRecordFromTheCurrentVehicle) {
  zkall_ccar& car = *get_ccar_addr();
  for (const auto& [to, text] : {std::pair<char*, std::string>{car.vin10, "JT1234567X"}, {car.frame_no, "1234567"},
                                 {car.vehicle_data, "VEHICLEDATA1234"}, {car.catalog_code, "4711A0"}, {car.ad, "AD0001"},
                                 {car.frame_model, "FM12345"}, {car.colour_no, "C01"}, {car.trim_no, "T002"},
                                 {car.notes, "NOTES"}})  // the rest of the notes stays NUL: blanks
    std::memcpy(to, text.data(), text.size());
  char record[99];
  set_save_file_vdata(record, 5, nullptr);
  EXPECT_EQ(std::string(record, 99), "JT1234567X1234567VEHICLEDATA12344711A0AD0001FM12345-1234567C01T002NOTES" +
                                         std::string(25, ' ') + "005");
  const std::string source = std::string(66, '-') + std::string(30, 'S') + "999";
  car.vin10[0] = ' ';
  set_save_file_vdata(record, 1234, source.c_str());
  EXPECT_EQ(std::string(record + 10, 7), "       ");  // a blank VIN: no frame number there
  EXPECT_EQ(std::string(record + 66, 33), std::string(30, 'S') + "234");
}

TEST_F(SavedListTest, InterfaceProgramExitCodes) {
#ifndef _WIN32
  setenv("ZKALL_DOSDEVICES", (inst.root() / "dosdevices").c_str(), 1);
#endif
  const std::string record = "VEHICLE" + std::string(89, ' ') + "005" + "PARTS";
  const std::string intf = ZKALL_TEST_ZKINTF;
  // program: none when empty; current: the current saved list, 0 none.
  struct Case { std::string program; int exit_code, current, count, rc; std::string data_after; char state_after; };
  const Case cases[] = {
      {"", 0, 3, 2, 0, record, '\1'},            {intf, 0, 3, 2, 0, record, '\1'},   {intf, 7, 3, 2, 0, record, '\1'},
      {intf, 1, 3, 2, 0, record.substr(0, 96) + "000PARTS", '\1'},                 {intf, 1, 0, 2, 0, record, '\1'},
      {intf, 2, 3, 2, 999, record, 'D'},        {intf, 2, 3, 1, 888, record, 'D'},  {intf, 2, 0, 1, 999, record, '\1'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.exit_code) + " " + std::to_string(c.current));
    fs::remove(inst.cwd() / "zkintf.exe");
    if (!c.program.empty()) fs::copy_file(c.program, inst.cwd() / "zkintf.exe", fs::copy_options::overwrite_existing);
    put_master(c.count, 4, "111");
    put("ZKIF0003.SAV", record);
    put("ZKINTF.TMP", "LIST\nEXIT=" + std::to_string(c.exit_code) + "\n");
    int32_t error = -1;
    if (c.current) {
      ASSERT_EQ(open_save_dat_file(c.current, 1, 2, nullptr, &error), 0);
    }
    EXPECT_EQ(intf_pro(&error), c.rc);
    close_save_dat_file(nullptr, &error);
    EXPECT_EQ((tuple{inst.read('c', "CAT\\MST\\ZKIF0003.SAV"), master()[48]}), (tuple{c.data_after, c.state_after}));
  }
}

// Each line is split at its first field and that field copied into a
// guarded 16-byte destination; `size` holds the copy to fewer bytes.
TEST(Csv, FieldsAreSplitAndCopied) {
  struct Case { std::string line; int16_t size, start, end; int rest /* -1: null */; std::string copied; } cases[] = {
      {"\"ab\"\"c\",x", 16, 1, 5, 8, "ab\"c"}, {"abc", 16, 0, 2, -1, "abc"},   {",x", 16, 0, -1, 1, ""},
      {"\"a,b\",c", 16, 1, 3, 6, "a,b"},       {"ab\ncd,e", 16, 0, 1, -1, "ab"}, {"", 16, 0, -1, -1, ""},
      {"abcdef", 2, 0, 5, -1, "ab"},           // held to the size
      {"a\"b", 16, 0, 2, -1, "a\"b"}};         // a single quote inside a field is copied
  for (const Case& c : cases) {
    std::string line = c.line;
    int16_t start = -9, end = -9;
    const char* rest = get_next_csv(line.data(), &start, &end);
    char dest[16];
    std::memset(dest, '#', sizeof dest);
    const int16_t after = copy_csv_item(line.c_str(), dest, c.size, start, end);
    EXPECT_EQ((tuple{start, end, rest == nullptr ? -1 : static_cast<int>(rest - line.data()), after,
                    std::string(dest, c.copied.size() + 1)}),
              (tuple{c.start, c.end, c.rest, c.end < c.start ? c.start : c.size < 16 ? c.size : c.end + 1, c.copied + "#"}))
        << c.line;
  }
  char dest[8];  // a quote first is copied when asked for
  EXPECT_EQ((tuple{copy_csv_item("\"a", dest, 8, 0, 1), std::string(dest, 2)}), (tuple{2, "\"a"}));
}

// A write of the new master failing: 13, or -1 when the disk is full; the
// error word holds the system's code.
TEST_F(SavedListTest, MakingTheMasterOnAFullDiskAnswersMinusOne) {
  for (const auto& [fault, rc] : {std::pair(platform::kErrnoIo, 13), std::pair(platform::kErrnoNoSpace, -1)}) {
    fs::remove(inst.drive_root('c') / "CAT" / "MST" / "ZKIFSMST.SAV");
    fail(Op::Write, fault);
    int32_t error = -1;
    EXPECT_EQ((tuple{make_save_mst(&error), error}), (tuple{rc, fault}));
  }
}

class GroupTest : public SavedListTest {
 protected:
  void SetUp() override {
    SavedListTest::SetUp();
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
    SavedListTest::TearDown();
  }
  std::string file(const char* name) const { return inst.read('c', std::string("CAT\\MST\\") + name); }
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
      {"A01", "100010", 100, -1, "200300 100010 ", "200300100010"},  // no such line
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
  const auto remove = [this](const char* name) { std::filesystem::remove(inst.drive_root('c') / "CAT" / "MST" / name); };
  for (const auto& [mei, pnc, remade] : cases) {
    remove("ZKGRPMEI.D");
    remove("ZKGRPPNC.D");
    if (mei) put("ZKGRPMEI.D", std::string(mei, 'M'));
    if (pnc) put("ZKGRPPNC.D", std::string(pnc, 'P'));
    EXPECT_EQ(VBRemakeGpFile(), 0) << mei;
    EXPECT_EQ(file("ZKGRPMEI.D") + file("ZKGRPPNC.D"), remade ? std::string(663063, '\0')
                                                              : std::string(mei, 'M') + std::string(pnc, 'P'));
  }
  // Below one megabyte free nothing is made: 255 clusters are 1044480 bytes, 256 exactly 1 MB.
  remove("ZKGRPMEI.D");
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
  std::vector<char> records(6600, '#');
  EXPECT_EQ(g_pnc_f_read("249", records.data()), 0);
  // 777777 is not in the file: its record is left as it was.
  EXPECT_EQ(std::string(records.data(), 264), padded("100120OIL FILTER", 66) + std::string(66, '#') +
                                                  padded("100010CYLINDER HEAD", 66) + std::string(66, '#'));
  EXPECT_EQ((tuple{g_mei_f_read("ZZZ", name), g_pnc_f_read("ZZZ", records.data()), nothing_open()}), (tuple{-1, -1, true}));
}

// Failures whose answer is the function's own (the fault loop sees every
// other): VBSetGrpCd out of memory adds nothing, unreadable free space stops
// the remake with -1, and g_mei_f_read answers a failure negated.
TEST_F(GroupTest, FailuresWithAnswersOfTheirOwn) {
  ASSERT_EQ(set("A01", "ENGINE"), 0);
  ASSERT_EQ(VBwrite_group_file(), 0);
  inst.platform().faults().add(Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ((tuple{set("B02", "X"), VBGetGrpNum(), last_log()}), (tuple{20, 1, "ZKSUBG02,VBSetGrpCd,AddItem,(20)(0)(456)"}));
  inst.platform().faults().add(Op::DiskSpace, platform::kErrnoIo);
  EXPECT_EQ((tuple{VBRemakeGpFile(), last_log()}), (tuple{-1, "ZKSUBG01,VBRemakeGpFile,GetDiskFreeSpace,(-1)(5)(0)"}));
  inst.platform().faults().add(Op::Read, platform::kErrnoIo, "ZKGRPMEI", 2);
  char name[60];
  EXPECT_EQ((tuple{g_mei_f_read("A01", name), last_log(), nothing_open()}),
            (tuple{-14, "ZKSUBG01,g_mei_f_read,fread,(14)(5)(84)", true}));
}

}  // namespace
}  // namespace zk::test
