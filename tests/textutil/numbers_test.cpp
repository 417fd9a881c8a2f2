// Tests of numbers in character fields, part numbers and 8.3 file names,
// the year window, YYMM dates, applicability bits and area letters.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "textutil/dates_areas.h"
#include "textutil/guarded.h"
#include "zkall.h"

namespace {

using zk::test::edited;
using namespace std::string_literals;
using Counted = std::pair<std::string, int32_t>;
using Pair = std::pair<std::string, std::string>;

TEST(Zeroedit, RightJustifiesAndFillsWithZeros) {
  const Pair cases[] = {{"1 2", "012"}, {"   ", "000"}, {"\0" "5"s, "05"}, {"\xB1 2", "0\xB1" "2"},
                        {"1 2 3 4 5", "000012345"}, {"1 2 3 4 5 ", "1 2 3 4 5 "}};  // wider than 9: unchanged
  for (const auto& [field, want] : cases) EXPECT_EQ(edited(field, zeroedit), want) << field;
  EXPECT_EQ(edited(" 1", [](char* p, int32_t) { zeroedit(p, -2); }), " 1");
}

TEST(EraseZero, BlanksLeadingZerosCommasAndBlanks) {
  const std::pair<std::string, Counted> cases[] = {
      {"0,012", {"   12", 3}}, {"000", {"  0", 3}}, {"0", {"0", 1}}, {"100", {"100", 0}},
      {" 0 1,0", {"   1,0", 3}}, {"\0" "01"s, {"\0" "01"s, 0}}};  // NUL is no blank here
  for (const auto& [field, want] : cases) EXPECT_EQ(edited(field, erase_zero), want) << field;
  EXPECT_EQ(edited("00", [](char* p, int32_t) { return erase_zero(p, -1); }), Counted("00", 0));
}

TEST(CvtAlnum2Ulong, WeighsEveryCharacterByTen) {
  const std::pair<std::string, uint32_t> cases[] = {
      {"1A", 20},   {"A0", 100}, {"a", 42},  {"z", 67}, {" 12", 12}, {"999999999", 999999999},
      {"zzzzzzzzz", 3149477141u},  // 7444444437 wrapped to 32 bits
      {"1234567890", 0}};          // wider than 9
  for (const auto& [field, value] : cases) {
    EXPECT_EQ(cvt_alnum2ulong(field.data(), static_cast<int32_t>(field.size())), value) << field;
  }
  EXPECT_EQ(cvt_alnum2ulong("12", 0) + cvt_alnum2ulong("12", -1), 0u);
}

std::string hinban14(const std::string& plain) {
  return edited("##############", [&plain](char* p, int32_t) { EXPECT_EQ(edit_hinban14(p, plain.data()), p); });
}
std::string hinban12(const std::string& shown) {
  return edited("############", [&shown](char* p, int32_t) { EXPECT_EQ(edit_hinban12(p, shown.data()), p); });
}

TEST(EditHinban, FormatsAndUndoesTheDisplayForm) {
  const Pair both_ways[] = {{"12345ABCDE67", "12345-ABCDE-67"}, {"            ", "              "},
                            {"1234567890  ", "12345-67890-  "}, {"12345       ", "12345-     -  "}};
  for (const auto& [plain, shown] : both_ways) EXPECT_EQ(Pair(hinban14(plain), hinban12(shown)), Pair(shown, plain));
  EXPECT_EQ(hinban14(std::string(12, '\0')), "\0\0\0\0\0-\0\0\0\0\0-\0\0"s);  // NULs are not blanks
  const Pair undone[] = {{"12345-     -67", "12345       "},  // a blank group ends the number
                         {"12345-ABCDE-\0" "7"s, "12345ABCDE  "},
                         {"12345XABCDEY67", "12345ABCDE67"},  // separators skipped whatever they are
                         {"     -ABCDE-67", "     ABCDE67"}};
  for (const auto& [shown, plain] : undone) EXPECT_EQ(hinban12(shown), plain) << shown;
  EXPECT_EQ(edit_hinban12(nullptr, "12345-ABCDE-67"), nullptr);
  char buffer[15] = "12345ABCDE67..";
  EXPECT_EQ(std::string(edit_hinban14(buffer, buffer), 14), "12345-ABCDE-67");
  EXPECT_EQ(std::string(edit_hinban12(buffer, buffer), 12), "12345ABCDE67");
}

// The 15-byte buffer between guard bytes: a scan that runs past byte 14
// shows as a changed guard.
std::string filename(std::string fixed) {
  fixed.resize(15, '\0');
  return edited(fixed, [](char* p, int32_t) { edit_filename(p); });
}

TEST(EditFilename, WritesNameFullStopExtensionWithoutBlanks) {
  const Pair cases[] = {
      {"AB      TXT###", "AB.TXT"}, {"AB         ", "AB."},      {"        TXT", ".TXT"},
      {"           ", "."},         {"KAKAKU  D  ", "KAKAKU.D"}, {"ABCDEFGHIJK", "ABCDEFGH.IJK"},
      {"A B     C D", "AB.CD"},     {"AB      T\0\0"s, "AB.T"},
      {"AB      TXT   X", "AB.TXTX"}};  // byte 14 moves behind the text, nothing past it is read
  for (const auto& [fixed, name] : cases) EXPECT_EQ(filename(fixed), name + std::string(15 - name.size(), '\0')) << fixed;
  EXPECT_EQ(filename("AB\0\0\0\0\0\0TXT"s).c_str(), "AB"s);  // a NUL ends the removal
}

TEST(Check2000AndAd2i, PlaceTwoDigitYearsInTheWindow) {
  struct Case { const char* yy; int32_t century, year; };
  const Case years[] = {{"50", 2, 50}, {"51", 1, 51}, {"00", 2, 0},  {"99", 1, 99},
                        {"  ", 2, 0},  {"7 ", 2, 7},  {"-1", 2, -1}, {nullptr, 2, 0}};
  for (const Case& k : years) {
    int32_t year = -99;
    EXPECT_EQ((std::tuple{check_2000(k.yy, &year), year}), (std::tuple{k.century, k.year})) << (k.yy ? k.yy : "(null)");
  }
  EXPECT_EQ(check_2000("519", nullptr), 1);  // only two characters are read

  const std::pair<const char*, int32_t> dates[] = {
      {"9901", 1189}, {"0001", 1201}, {"5012", 1812}, {"5101", 613}, {"0012", 1212},
      {"5100", 612},  {" 5 3", 1263}, {"0000", 0},    {"    ", 0},   {nullptr, 0}};
  for (const auto& [yymm, months] : dates) {
    EXPECT_EQ(ad2i(yymm), months) << (yymm ? yymm : "(null)");
  }
}

TEST(Teki2bit, NumbersBitsFromOneMostSignificantFirst) {
  using zk::textutil::ApplicabilityBit;
  const std::pair<const char*, ApplicabilityBit> cases[] = {
      {"001", {0, 0x80}}, {"008", {0, 0x01}}, {"009", {1, 0x80}}, {"016", {1, 0x01}},
      {"999", {124, 0x02}}, {"  1", {0, 0x80}}, {"+10", {1, 0x40}}, {"12 ", {1, 0x10}},
      {"000", {0, 0x00}}, {"-05", {0, 0x00}}, {"ABC", {0, 0x00}}, {nullptr, {0, 0x00}}};
  for (const auto& [number, bit] : cases) {
    ApplicabilityBit out{-99, 0xAA};
    teki2bit(number, &out.byte_index, &out.mask);
    EXPECT_EQ(out, bit) << (number ? number : "(null)");
  }
  int32_t byte_index = -99;
  teki2bit("009", &byte_index, nullptr);
  EXPECT_EQ(byte_index, 1);
}

TEST(AreaLetters, MapLettersAndNumbersBothWays) {
  for (int32_t area = 0; area < 4; ++area) {
    char letter = '?';
    EXPECT_EQ((std::tuple{GetAreaChar(area, &letter), letter, area_id(&letter)}), (std::tuple{0, "EGUJ"[area], area}));
  }
  char letter = '?';
  EXPECT_EQ((std::tuple{GetAreaChar(-1, &letter), GetAreaChar(4, &letter), letter, GetAreaChar(2, nullptr)}),
            (std::tuple{-1, -1, '?', 0}));
  for (const char* unknown : {"e", "j", "X", "", "\xC5", static_cast<const char*>(nullptr)})
    EXPECT_EQ(area_id(unknown), -1) << (unknown ? unknown : "(null)");

  char table[4][10] = {};
  char* const first = &table[0][0];
  EXPECT_EQ((std::tuple{area_letter("E", first, 10), area_letter("UK", first, 10), area_letter("u", first, 10),
                        area_letter(nullptr, first, 10), area_letter("G", nullptr, 10), area_letter("G", first, 0)}),
            (std::tuple{first, &table[2][0], nullptr, nullptr, nullptr, nullptr}));
}

}  // namespace
