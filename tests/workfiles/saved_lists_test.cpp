// Saved lists: numbers given out from the master ZKIFSMST.SAV, deletion and
// the count, the data files and the current saved list, the vehicle record,
// the interface program's exit codes, the set-up check and reset, the CSV
// helpers and the failures through the fault seam.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>

#include "support/catalog_fixture.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Op;
namespace fs = std::filesystem;
using std::tuple;

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
  ASSERT_EQ(get_save_no(&number, &error), 0);
  ASSERT_EQ(get_save_no(&number, &error), 0);
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
  EXPECT_EQ(deldata_save_mst_file(0, nullptr, &error), 15);  // names no entry
  EXPECT_EQ(error, 22);
}

TEST_F(SavedListTest, MasterPresenceAndOpenResults) {
  int32_t count = -1, error = -1;
  EXPECT_EQ(check_save_mst_file_exist(&count, &error), -1);
  EXPECT_EQ(check_save_dat_file_exist(nullptr, &error), -1);
  EXPECT_EQ(drom_check_setup(5), 876);
  put_master(0, 1, "");
  EXPECT_EQ((tuple{check_save_mst_file_exist(&count, &error), count}), (tuple{0, 0}));
  EXPECT_EQ(check_save_dat_file_exist(&count, &error), -1);
  put_master(3, 1, "");
  EXPECT_EQ((tuple{check_save_dat_file_exist(&count, &error), count}), (tuple{0, 3}));
  EXPECT_EQ(drom_check_setup(5), 0);
  fail(Op::Read);
  EXPECT_EQ(drom_check_setup(5), 999);
  EXPECT_EQ(log().back(), "ZKDROM,drom_check_setup,check_save_dat_file_exist,(14)(5)(807)");

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
  ASSERT_EQ(make_save_dat_file_name(7, path), 0);
  EXPECT_STREQ(path, "C:\\CAT\\MST\\ZKIF0007.SAV");
  EXPECT_EQ(make_save_dat_file_name(10000, path), -1);
  void* stream = nullptr;
  int32_t error = 0, position = -1;
  EXPECT_EQ(open_save_dat_file(7, 1, 2, &stream, &error), -1);  // no file yet
  ASSERT_EQ(open_save_dat_file(7, 2, 3, &stream, &error), 0);    // created
  ASSERT_EQ(write_save_dat_file(stream, "HEADER-RECORD", 13, &error), 0);
  ASSERT_EQ(seek_save_dat_file(stream, 7, &position, &error), 0);
  EXPECT_EQ(position, 7);
  char buf[6] = {};
  ASSERT_EQ(read_save_dat_file(stream, buf, 6, &error), 0);
  EXPECT_EQ(std::string(buf, 6), "RECORD");
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
  struct Case { Op op; int rc; std::string detail; } cases[] = {{Op::Read, 14, "(14)(5)"}, {Op::Close, 13, "(13)(0)"}};
  for (const Case& c : cases) {
    put_master(2, 3, "1U");
    get_ctop_addr()->save_list_flag = 2;
    fail(c.op);
    EXPECT_EQ((tuple{drom_reset_com(), log().back(), +get_ctop_addr()->save_list_flag}),
              (tuple{c.rc, "ZKDROM,drom_reset_com,reset_save_mst_flag," + c.detail + "(828)", c.op == Op::Close ? 0 : 2}));
  }
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
  const std::string intf = ZKALL_TEST_ZKINTF, args = ZKALL_TEST_EXIT_WITH;
  // program: none when empty; args writes its command line to
  // ARGS.TXT; current: the current saved list, 0 none.
  struct Case { std::string program; int exit_code, current, count, rc; std::string data_after; char state_after; };
  const Case cases[] = {
      {"", 0, 3, 2, 0, record, '\1'},            {intf, 0, 3, 2, 0, record, '\1'},   {intf, 7, 3, 2, 0, record, '\1'},
      {intf, 1, 3, 2, 0, record.substr(0, 96) + "000PARTS", '\1'},                 {intf, 1, 0, 2, 0, record, '\1'},
      {intf, 2, 3, 2, 999, record, 'D'},        {intf, 2, 3, 1, 888, record, 'D'},  {intf, 2, 0, 1, 999, record, '\1'},
      {args, 0, 0, 2, 0, record, '\1'},        {args, 0, 3, 2, 0, record, '\1'}};
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
    if (c.program != args) continue;
    // The command line: the program's name, the data file or @@@@@, ZKINTF.TMP.
    std::ifstream in(inst.cwd() / "ARGS.TXT", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              std::string(c.current ? "C:\\CAT\\MST\\ZKIF0003.SAV" : "@@@@@") + "\nC:\\CAT\\MST\\ZKINTF.TMP\n");
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
  char dest[8];
  EXPECT_EQ(copy_csv_item("\"a", dest, 8, 0, 1), 2);  // a quote first is copied when asked for
  EXPECT_EQ(std::string(dest, 2), "\"a");
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

}  // namespace
}  // namespace zk::test
