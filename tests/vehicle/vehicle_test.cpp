// Vehicle identification: the current-vehicle accessors, VIN editing, the
// work file JOUHOU.TMP and its narrowing steps, the catalog-disc check and
// the symbol list VCLINF.TMP built from catalog files written by the writer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "support/catalog_fixture.h"
#include "vehicle/jouhou_tmp.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Op;
using std::tuple;

// A 70-character explanation without blank or comma: pieces of 19, 19, 19
// and 13 characters.
const std::string kAbc = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kLetters70 = kAbc + kAbc + kAbc.substr(0, 18);

class VehicleTest : public CatalogFixture {
 protected:
  void SetUp() override {
    CatalogFixture::SetUp();
    // E1 (drive D:) and E2 (drive E:) hold vehicle names; E1 also catalog
    // 4711A0 with its group headings and symbols in the catalog directory.
    auto names = [](std::vector<std::string> lines) {
      writer::SetSpec s = record_set({"SHAMEI.DAT", 1, 97, 23, 6, {"23", "6", "58", "2", "8"}, std::move(lines)});
      s.index_key_length = 5;
      s.level_masks = {3, 3, 2};
      return writer::RootSet{writer::build_set(s), 0, ""};
    };
    writer::Disc e1 = disc("E1", "19990401", "01");
    e1.root_sets = {names({"SUNLINE|4711A0|SEDAN|01|19960301"})};
    e1.catalogs = {{"4711A0",
                    {{writer::build_set(record_set({"TOKUME.DAT", 0, 30, 0, 0, {"6", "u16", "2", "20"},
                                                    {"4711A0|1|01|ENGINE", "4711A0|1|03|MOTEUR",
                                                     "4711A0|2|01| APPLIES TO YOUR CAR", "4711A0|3|01|EMPTY GROUP"}})),
                      0},
                     {writer::build_set(record_set(symbols(
                          {"4711A0|1|SL16|01|" + kLetters70, "4711A0|1|SL16|03|FRENCH",
                           "4711A0|1|5MT|01|FIVE-SPEED MANUAL, FLOOR SHIFT", "4711A0|2|ABS|01|",
                           "4711A0|9|OTHER|01|NO HEADING"}))),
                      0}}}};
    lay_out("E1", e1, 'd');
    writer::Disc e2 = disc("E2", "19990701", "02");
    e2.root_sets = {names({"VANGUARD|6100C2|VAN|02|19980201", "PROTO|7000X0|TEST|07|19990101"})};
    lay_out("E2", e2, 'e');
    insert('e', "E2", "19990701");
  }
  static RecordLines symbols(std::vector<std::string> lines) {
    return {"KIGOUU.DAT", 0, 90, 0, 0, {"6", "u16", "10", "2", "70"}, std::move(lines)};
  }
  zkall_ccar& car() { return *get_ccar_addr(); }
};

// ---- the current vehicle ------------------------------------------------------------

TEST_F(VehicleTest, AccessorsCopyTheirFieldWithNulMadeBlankAndTheDiscDate) {
  auto* bytes = reinterpret_cast<char*>(&car());
  for (size_t i = 0; i < sizeof(zkall_ccar); ++i) bytes[i] = static_cast<char>(i % 3 == 1 ? '\0' : 'a' + i % 26);
  auto field = [&](size_t at, size_t width) {
    std::string s(bytes + at, width);
    for (char& ch : s) ch = ch == '\0' ? ' ' : ch;
    return s;
  };
  struct Case { void(ZKALL_STDCALL* get)(zkall_vbstr); size_t offset, width; } cases[] = {
      {VBGetCat, 0, 6},   {VBGetModel, 612, 20},  {VBGetFrameModel, 30, 7}, {VBGetFrameNo, 37, 7}, {VBGetAd, 44, 6},
      {VBGetColorNo, 51, 3}, {VBGetTrimNo, 54, 4}, {VBGetNotes, 60, 30}, {VBGetVName, 340, 20},
      {VBGetProDateF, 364, 4}, {VBGetProDateT, 368, 4}};
  for (const Case& c : cases) {
    platform::FrontEndString s(static_cast<uint32_t>(c.width + 1), '#');
    c.get(s.get());
    EXPECT_EQ(s.str(), field(c.offset, c.width) + "#") << c.offset;
  }
  platform::FrontEndString first(10), second(10), code(6, '#'), untouched(5, '#');
  VBGetCharact1(first.get(), second.get());
  VBGetCharact2(45, code.get());
  VBGetCharact2(46, untouched.get());  // past the 46 codes
  EXPECT_EQ((tuple{first.str() + second.str(), code.str(), untouched.str()}),
            (tuple{field(90, 20), field(335, 5) + "#", "#####"}));

  const std::string vin = field(372, 10) + field(37, 7);
  for (uint32_t length : {17u, 5u, 20u}) {
    platform::FrontEndString s(length, '#');
    EXPECT_EQ((tuple{VBGetVin(s.get()), s.str()}), (tuple{static_cast<int32_t>(length), (vin + "###").substr(0, length)}));
  }

  platform::FrontEndString date(8, '#');
  get_ctop_addr()->current_area = 2;  // U: no disc installed, nothing written
  VBGetCrntCatCDDate(date.get());
  const std::string before = date.str();
  get_ctop_addr()->current_area = 0;
  VBGetCrntCatCDDate(date.get());
  EXPECT_EQ(before + date.str(), "########19990401");
}

// ---- VIN and frame numbers ------------------------------------------------------------

TEST(Vin, KeyLengthFillCompletionAndFrameNumbers) {
  struct Case { std::string vin; int32_t length; char fill; std::string key, edited; } cases[] = {
      {"JZKAB1234C6789012", 9, '0', "JZKAB1234", "JZKAB1234C6789012"},
      {"jzkAB1234C6789012", 8, ' ', "jzkAB123 ", "jzkAB1234C6789012"},  // letter case counts
      {"JZKAB123  C678901", 9, '0', "JZKAB123 ", "JZKAB12300C678901"},
      {"9ZKAB1234 C678901", 9, '0', "9ZKAB1234", "9ZKAB12340C678901"},  // the table's last entry
      {std::string("XYZAB123\0\1C678901", 17), 8, ' ', "XYZAB123 ", "XYZAB123  C678901"},
      {"JZKAB123   678901", 9, '0', "JZKAB123 ", "JZKAB123   678901"},  // position 11 empty
  };
  for (const Case& c : cases) {
    char key[9];
    std::string vin = c.vin;
    v_edit_vin(vin.data());
    EXPECT_EQ((tuple{v_set_vin_len(c.vin.data()), v_set_vin_char(c.vin.data()), v_copy_vin(c.vin.data(), key),
                     std::string(key, 9), vin}),
              (tuple{c.length, c.fill, c.length, c.key, c.edited})) << c.vin;
  }
  const std::pair<const char*, int32_t> frames[] = {{"A123456", 1}, {"1234567", 1}, {"A12345 ", 0}, {"A12 456", 0},
                                                    {"-123456", 0}, {"AB23456", 0}, {"A12345\x01", 0}};
  for (const auto& [frame, valid] : frames) EXPECT_EQ(v_valid_frameno(frame), valid) << frame;
}

// ---- JOUHOU.TMP ----------------------------------------------------------------------------

// A 191-byte record: catalog code, VIN key, 15-byte code, dates from and to
// at 30, the second end date at 177, the two values at 181 and 185, the sign
// at 190.
std::string jouhou(const std::string& code6, const std::string& vin_key, const std::string& code15,
                   const std::string& from, const std::string& to, const std::string& to2, uint32_t v32 = 0,
                   uint32_t v64 = 0, char sign = ' ') {
  const auto u32 = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  return code6 + vin_key + code15 + std::string(15 - code15.size(), ' ') + from + to + std::string(139, ' ') + to2 +
         u32(v32) + u32(v64) + ' ' + sign;
}

class JouhouTest : public VehicleTest {
 protected:
  void write(const std::vector<std::string>& records, const std::string& tail = "") {
    std::string bytes;
    for (const auto& r : records) bytes += r;
    inst.write('c', "WORK\\JOUHOU.TMP", bytes + tail);
  }
  std::string signs() {
    const std::string bytes = inst.read('c', "WORK\\JOUHOU.TMP");
    std::string out;
    for (size_t at = 190; at < bytes.size(); at += 191) out += bytes[at];
    return out;
  }
  void step(int32_t no, int8_t code) {
    car().step_no = no;
    car().step_codes[no] = static_cast<char>(code);
  }
};

TEST_F(JouhouTest, OpenModesAndTheSlot) {
  char path[80];
  EXPECT_EQ((tuple{v_make_jouhou_tmp_name(path), std::string(path)}), (tuple{0, "C:\\WORK\\JOUHOU.TMP"}));
  zkall_jouhou_slot slot{};
  // content: written first unless "-"
  struct Case { int32_t mode; std::string content; int rc, detail, count; bool open; } cases[] = {
      {1, "-", 11, 2, -1, false},  // no file yet
      {2, "-", 0, 0, 0, true},     // created
      {3, std::string(382, 'r') + "tail", 0, 0, 2, true},
      {1, "-", 0, 0, 2, true},     // the file of the row before, closed first
      {4, "-", 11, 22, -1, false}, // a bad mode
  };
  for (const Case& c : cases) {
    if (c.content != "-") inst.write('c', "WORK\\JOUHOU.TMP", c.content);
    int32_t count = -1, detail = -1;
    // The slot's earlier file is closed first.
    EXPECT_EQ((tuple{v_open_jouhou_tmp(c.mode, &slot, &count, &detail), detail, count, slot.stream != nullptr,
                     vehicle::open_jouhou_streams()}),
              (tuple{c.rc, c.detail, c.count, c.open, c.open ? 1u : 0u})) << c.mode;
  }
  int32_t detail = 0;
  EXPECT_EQ((tuple{v_open_jouhou_tmp(1, nullptr, nullptr, &detail), detail}), (tuple{11, 22}));  // no slot
  EXPECT_EQ((tuple{v_close_jouhou_tmp(&slot, &detail), slot.stream, v_close_jouhou_tmp(&slot, &detail)}),
            (tuple{0, nullptr, 0}));
}

TEST_F(JouhouTest, NarrowingStepByStep) {
  write({jouhou("4711A0", "JZKAB1234", "SL16GL5MT", "9603", "9708", "    ", 1, 2),
         jouhou("4711A0", "JZKAB1234", "SL16GL4AT", "9709", "    ", "0012", 7, 9),
         jouhou("4711A1", "JZKAB1234", "SL16GL5MT", "5101", "    ", "    ", 7, 2),  // from 1951, open end
         jouhou("4711A0", "XYZAB123 ", "SL16GL5MT", "9603", "9912", "    "),
         jouhou("4711A0", "JZKAB1234", "SL16GL5MT", "9603", "9912", "    ", 0, 0, 'x'),  // excluded before
         jouhou("4711A0", "JZKAB1234", "SL16GL5MT", "5012", "    ", "    ")});            // from 2050
  const std::string code15 = "SL16GL5MT      ";
  const std::string blanks125(125, ' ');
  struct Case { int32_t criteria; uint32_t v32, v64; const char *vin, *code6, *code15, *codes125, *date;
                int8_t step_code; int rc; std::string signs; } cases[] = {
      {1, 0, 0, "JZKAB1234567890AB", nullptr, nullptr, nullptr, nullptr, 0, 0, "   vv "},
      {16, 0, 0, nullptr, nullptr, nullptr, nullptr, "199801", 1, 0, "c  ccc"},
      {32 | 64, 7, 9, nullptr, nullptr, nullptr, nullptr, nullptr, 2, 0, "m mmmm"},  // the third fails on 64 only
      {4, 0, 0, nullptr, nullptr, code15.c_str(), nullptr, nullptr, 3, 1, "m mmmm"},  // nothing matches
      {8, 0, 0, nullptr, nullptr, nullptr, blanks125.c_str(), nullptr, 4, 0, "d dddd"},
      {16, 0, 0, nullptr, nullptr, nullptr, nullptr, "200101", 5, 1, "d dddd"},  // past the date at 177
      {0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 8, 0, "n nnnn"},
      {16, 0, 0, nullptr, nullptr, nullptr, nullptr, "199708", 9, 1, "n nnnn"},  // before the one left's start
  };
  int32_t no = 0;
  for (const Case& c : cases) {
    step(no++, c.step_code);
    int32_t detail = -1;
    EXPECT_EQ((tuple{v_jtmp_sign(c.criteria, c.v32, c.v64, c.vin, c.code6, c.code15, c.codes125, c.date, &detail),
                     detail, signs()}),
              (tuple{c.rc, 0, c.signs})) << c.criteria;
  }
}

// The file's length unreadable, the step number past the 218 step codes,
// an empty file: each answers without a sign written.
TEST_F(JouhouTest, NarrowingRefusals) {
  step(0, 0);
  write({jouhou("4711A0", "JZKAB1234", "", "9603", "    ", "    "), jouhou("4711A1", "JZKAB1234", "", "9603", "    ", "    ")});
  inst.platform().faults().add(Op::Length, platform::kErrnoIo, "JOUHOU");
  int32_t detail = -1;
  EXPECT_EQ((tuple{v_jtmp_sign(2, 0, 0, nullptr, "4711A0", nullptr, nullptr, nullptr, &detail), detail, signs()}),
            (tuple{14, 12, "  "}));
  inst.platform().faults().clear();
  car().step_no = 218;  // some records left: their sign is needed
  EXPECT_EQ((tuple{v_jtmp_sign(2, 0, 0, nullptr, "4711A0", nullptr, nullptr, nullptr, &detail), detail}), (tuple{128, 18}));
  write({});
  EXPECT_EQ(v_jtmp_sign(0, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, &detail), 1);
}

TEST_F(VehicleTest, CatalogDiscOfAVehicle) {
  const int32_t e1_e2[] = {0, 1};
  const int32_t g1[] = {3};
  struct Case { const char* code; const int32_t* discs; int32_t count; int rc, disc; std::string name; } cases[] = {
      {"6100C2", e1_e2, 2, 0, 1, "VANGUARD"},  // on the second disc only
      {"4711A0", e1_e2, 2, 0, 0, "SUNLINE"},
      {"7000X0", e1_e2, 2, 6, -1, "PROTO"},  // its catalog disc 07 is not installed
      {"9999Z9", e1_e2, 2, 1, -9, ""},
      {"4711A0", g1, 1, 128, -9, ""},  // G1's master file lists no vehicle names
  };
  for (const Case& c : cases) {
    char record[97] = {};
    int32_t disc = -9, detail = 0;
    EXPECT_EQ((tuple{v_check_shamei_d(c.code, c.discs, c.count, record, &disc, &detail), disc,
                     std::string(record, c.name.size()), nothing_open()}),
              (tuple{c.rc, c.disc, c.name, true})) << c.code;
  }
}

// ---- VCLINF.TMP ------------------------------------------------------------------------------

// A line: its first 28 bytes (blank-padded), byte 28, the applies flag.
std::string line(const std::string& text, char b28 = 0, char applies = 0) {
  std::string l = text;
  l.resize(28, ' ');
  return l + b28 + applies + std::string(2, '\0');
}

class SymbolListTest : public VehicleTest {
 protected:
  void SetUp() override {
    VehicleTest::SetUp();
    std::memcpy(car().char1_first, " APPLIES T", 10);
    std::memcpy(car().char2[20], "SL16 ", 5);  // the 21st code is compared
    std::memcpy(car().char2[21], "ABS  ", 5);  // the 22nd is not
    header.assign(133, 'h');
    header.replace(17, 6, "4711A0");
  }
  int build(const std::string& code) {
    header.replace(17, 6, code);
    block.fd = -1;
    return v_pop_make_vclinf_tmp(&block, header.data());
  }
  std::string file() { return inst.read('c', "WORK\\VCLINF.TMP"); }
  zkall_vinf_control block{};
  std::string header;
};

TEST_F(SymbolListTest, HeadingsCodesAndContinuationLinesOrNoneWithoutCatalogOrLanguage) {
  ASSERT_EQ(build("4711A0"), 0);
  const std::string x = kLetters70;
  const std::string lines = line("** ENGINE **") + line("SL16      " + x.substr(0, 18), x[18], 1) +
                            line("          " + x.substr(19, 18), x[37]) + line("          " + x.substr(38, 18), x[56]) +
                            line("          " + x.substr(57, 13), ' ') + line("5MT       FIVE-SPEED MANUAL,", ' ') +
                            line("          FLOOR SHIFT", ' ') + line(" APPLIES TO YOUR CAR", 0, 1) +
                            line("ABS") + line("** EMPTY GROUP **");
  std::string want_header = header;
  want_header.replace(100, 4, std::string("\x0A\0\0\0", 4));  // ten lines
  EXPECT_EQ((tuple{file(), block.fd}), (tuple{want_header + lines, -1}));

  zkall_vinf_control reader{};
  reader.open_flags = 0x8000;
  ASSERT_GE(init_VINFT(&reader), 0);
  char got[32];
  EXPECT_EQ((tuple{get_rec_VINFT(&reader, 9, got), std::string(got, 32)}), (tuple{32, line("** EMPTY GROUP **")}));
  term_VINFT(&reader);
  EXPECT_EQ(reader.fd, -1);

  // Without catalog or language.
  ASSERT_EQ(build("      "), 0);
  EXPECT_EQ(file(), header + std::string(250 * 32, '\0'));
  std::memcpy(get_ctop_addr()->lang, "05", 2);  // no heading in language 05
  ASSERT_EQ(build("4711A0"), 0);
  std::string want = header;
  std::memset(want.data() + 100, 0, 4);
  EXPECT_EQ(file(), want);
}

// The 251st line, a code or a continuation line, is refused at its site;
// the header is not written.
TEST_F(SymbolListTest, TheLine251IsRefused) {
  for (const bool continuation : {false, true}) {
    std::vector<std::string> codes(continuation ? 248 : 250, "4711B0|1|CODE|01|");
    codes.push_back(std::string("4711B0|1|LAST|01|") + (continuation ? "TWO PIECES OF TEXT, THE SECOND ON ONE MORE" : ""));
    writer::Disc e1 = disc("E1", "19990401", "01");
    const RecordLines headings{"TOKUME.DAT", 0, 30, 0, 0, {"6", "u16", "2", "20"}, {"4711B0|1|01|ALL"}};
    e1.catalogs.push_back({"4711B0", {{writer::build_set(record_set(headings)), 2},
                                      {writer::build_set(record_set(symbols(codes))), 2}}});
    lay_out("E1", e1, 'd');
    EXPECT_EQ(build("4711B0"), -1);
    const std::string bytes = file();
    EXPECT_EQ((tuple{log().back(), bytes.size(), bytes.substr(0, 133), bytes.substr(133 + 249 * 32, 32), nothing_open()}),
              (tuple{std::string("ZKSUBV30,v_pop_tblset,Area over,(0)(0)(") + (continuation ? "282)" : "230)"),
                     133u + 250u * 32u, std::string(133, '\0'),
                     continuation ? line("LAST      TWO PIECES OF TEXT", ',') : line("CODE"), true}));
  }
}

// A catalog the disc does not hold, and the failures the fault loop cannot
// tell from a short list (each answers -1 in the loop too): reading the
// headings, opening the symbols, writing a line. Each is logged and closes
// everything.
TEST_F(SymbolListTest, FailuresAreLoggedAndCloseEverything) {
  struct Case { std::string code; Op op; std::string path; int nth; std::string report; } cases[] = {
      {"9999Z9", Op::Alloc, "", 0, "ZKSUBV30,v_pop_read,cdopen,(-1)(2)(111)"},
      {"4711A0", Op::Read, "TOKUME", 1, "ZKSUBV30,v_pop_read,cdread,(14)(5)(122)"},
      {"4711A0", Op::Open, "KIGOUU", 1, "ZKSUBV30,v_pop_read,cdopen,(11)(5)(141)"},
      {"4711A0", Op::Write, "VCLINF", 3, "ZKSUBV31,put_rec_VINFT,write,("}};
  for (const Case& c : cases) {
    if (c.nth > 0) inst.platform().faults().add(c.op, platform::kErrnoIo, c.path, c.nth);
    EXPECT_EQ((tuple{build(c.code), log().back().substr(0, c.report.size()), block.tokume, block.kigouu, nothing_open()}),
              (tuple{-1, c.report, nullptr, nullptr, true}));
    inst.platform().faults().clear();
  }
}

int32_t ZKALL_CDECL answer_77(zkall_vinf_control*) { return 77; }

// Without a hook a failed step of the file layer answers 0, with one the
// hook's answer; the file's path, presence and deletion.
TEST_F(SymbolListTest, LayerFailureAnswersWithTheHookAndTheFileComesAndGoes) {
  zkall_vinf_control closed{};
  closed.fd = -1;
  char buf[133] = {};
  EXPECT_EQ((tuple{put_rec_VINFT(&closed, 0, buf), log().back()}), (tuple{0, "ZKSUBV31,put_rec_VINFT,lseek,(-1)(0)(0)"}));
  closed.error_hook = answer_77;
  EXPECT_EQ((tuple{get_hdr_VINFT(&closed, buf), log().back()}), (tuple{77, "ZKSUBV31,get_hdr_VINFT,lseek,(-1)(0)(0)"}));

  char path[80];
  std::memset(path, 'x', sizeof path);
  EXPECT_EQ((tuple{vinf_get_path(path), std::string(path, 80), chk_ext_VINFT()}),
            (tuple{0, std::string("C:\\WORK\\VCLINF.TMP") + std::string(62, '\0'), -1}));
  ASSERT_EQ(build("4711A0"), 0);
  EXPECT_EQ((tuple{chk_ext_VINFT(), v_pop_del_vclinftmp(), chk_ext_VINFT(), v_pop_del_vclinftmp()}), (tuple{0, 0, -1, -1}));
}

}  // namespace
}  // namespace zk::test
