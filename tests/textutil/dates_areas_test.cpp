// Tests of the year window, YYMM dates, applicability bits and area letters.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "textutil/dates_areas.h"
#include "zkall.h"

namespace {

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
