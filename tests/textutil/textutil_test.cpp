// Tests of the text utilities through the C entry points: justifying,
// copying, replacing, testing and measuring fixed-width fields, the two
// splitters (word wrapping into fixed-width lines, semicolon-separated
// pieces), numbers in character fields, part numbers and 8.3 file names, the
// year window, YYMM dates, applicability bits and area letters.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "textutil/dates_areas.h"
#include "zkall.h"

namespace {

using namespace std::string_literals;
using Counted = std::pair<std::string, uint32_t>;
using SignedCounted = std::pair<std::string, int32_t>;

// Each edit runs on a field that lies between guard bytes, so a test sees
// that nothing outside the given length was touched.
const std::string kGuard = "~~~~";

// Runs `edit(address, length)` on a guarded copy of `field` and gives the
// field afterwards, paired with the result when `edit` has one.
template <class Edit>
auto edited(const std::string& field, Edit edit) {
  std::string buffer = kGuard + field + kGuard;
  char* address = buffer.data() + kGuard.size();
  const auto length = static_cast<int32_t>(field.size());
  const auto check = [&] {
    EXPECT_EQ(buffer.substr(0, kGuard.size()) + buffer.substr(kGuard.size() + field.size()), kGuard + kGuard)
        << "written outside " << field;
    return buffer.substr(kGuard.size(), field.size());
  };
  if constexpr (std::is_void_v<decltype(edit(address, length))>) {
    edit(address, length);
    return check();
  } else {
    const auto result = edit(address, length);
    return std::pair(check(), result);
  }
}

Counted lft(const std::string& field, char c) {
  return edited(field, [c](char* p, int32_t n) { return memlft(p, c, static_cast<uint32_t>(n)); });
}

TEST(Memlft, MovesTheLeadingRunToTheBackAndCountsIt) {
  const std::tuple<std::string, char, Counted> cases[] = {
      {"  AB C", ' ', {"AB C  ", 2}}, {"AB  ", ' ', {"AB  ", 0}},
      {"    ", ' ', {"    ", 4}},  // only c: unchanged, the length
      {"\xE0\xE0x", '\xE0', {"x\xE0\xE0", 2}}, {"\0\0A"s, '\0', {"A\0\0"s, 2}}};
  for (const auto& [field, c, want] : cases) EXPECT_EQ(lft(field, c), want) << field;
  char text[] = "  A\0  ";  // strlft stops at the NUL
  EXPECT_EQ((std::tuple{strlft(text, ' '), std::string(text, sizeof text), strlft(nullptr, ' '), memlft(nullptr, ' ', 5)}),
            (std::tuple{2, "A  \0  \0"s, 0, 0u}));
  // memlft2 replaces in the source and shifts into the destination.
  std::string src = "00102";
  const auto into = [&src](char* dest, int32_t n) { return memlft2(dest, src.data(), '0', ' ', uint32_t(n)); };
  EXPECT_EQ((std::tuple{edited("#####", into), src}), (std::tuple{Counted("1 2  ", 2), "  1 2"}));
  const auto in_place = [](char* p, int32_t n) { return memlft2(p, p, '0', '*', uint32_t(n)); };
  EXPECT_EQ((std::tuple{edited("00102", in_place), memlft2(src.data(), nullptr, '0', ' ', 5)}), (std::tuple{Counted("1*2**", 2), 0u}));
}

TEST(CopyAndReplace, TouchOnlyTheGivenBytes) {
  const std::string src = "A\0B\xFF\0"s;
  const auto rep = [&src](uint32_t n) { return [&src, n](char* p, int32_t) { memrep(p, src.data(), '\0', ' ', n); }; };
  EXPECT_EQ(edited("#####", rep(5)), "A B\xFF ");
  EXPECT_EQ(edited("#####", rep(0)), "#####");

  const auto ncpy = [](const char* from, int32_t n) { return [from, n](char* p, int32_t) { memncpy(p, from, n); }; };
  EXPECT_EQ(edited("XXXXX", ncpy("AB\0CD", 5)) + edited("XXXXX", ncpy("1234567", 3)) +
                edited("XXXXX", ncpy("123", -1)) + edited("XXXXX", ncpy(nullptr, 3)),
            "ABXXX123XXXXXXXXXXXX");
  EXPECT_EQ(edited("AB \0 \t"s, last_space2null) + edited("A B ", last_space2null) + edited("\xA0 ", last_space2null),
            "AB\0\0\0\0A B\0\xA0\0"s);

  char text[] = "a.b.c";
  EXPECT_EQ((std::tuple{strrep(text, '.', '/'), std::string(text)}), (std::tuple{2, "a/b/c"}));
  // The whole original text, not up to the first new NUL.
  EXPECT_EQ((std::tuple{strrep(text, '/', '\0'), std::string(text, 5), strrep(nullptr, 'a', 'b')}),
            (std::tuple{2, "a\0b\0c"s, 0}));
}

// One row per field: what each test and measure answers for it.
TEST(FieldTestsAndMeasures, AnswerPerField) {
  struct Case { const char* field; int32_t length, all_blank, first_blank, lenf, lenb, digits, alnum, catalog; };
  const Case cases[] = {
      {"1234a5", 6, 0, -1, 6, 6, 0, 1, 1}, {"123456", 6, 0, -1, 6, 6, 1, 1, 1},
      {"A23456", 6, 0, -1, 6, 6, 0, 1, 0}, {"1234-5", 6, 0, -1, 6, 6, 0, 0, 0},
      {"12 A", 2, 0, -1, 2, 2, 1, 1, 1},
      {"AB 12 ", 6, 0, 2, 2, 5, 0, 0, 0},  {"   ", 3, 1, 0, 0, 0, 0, 0, 0},
      {" A\0\0", 4, 0, 0, 0, 2, 0, 0, 0},  {"\xC1\xB2", 2, 0, -1, 2, 2, 0, 0, 0},
      {"12", 0, 1, -1, 0, 0, 1, 1, 1},     {"12", -3, 1, -1, 0, -3, 1, 1, 1},
      {nullptr, 5, 1, -1, 0, 0, 1, 1, 1},
  };
  for (const Case& k : cases) {
    EXPECT_EQ((std::tuple{memall(k.field, ' ', k.length), memclen(k.field, ' ', k.length), memlenf(k.field, k.length),
                          memlenb(k.field, k.length), memisdigit(k.field, k.length), memisalnum(k.field, k.length),
                          memcatcheck(k.field, k.length)}),
              (std::tuple{k.all_blank, k.first_blank, k.lenf, k.lenb, k.digits, k.alnum, k.catalog}))
        << (k.field ? k.field : "(null)") << " length " << k.length;
  }
  EXPECT_EQ(memclen("AB\xE0", '\xE0', 3), 2);
  EXPECT_EQ(memall("\xE0\xE0", '\xE0', 2), 1);
}

TEST(Memmem, FindsTheFirstOccurrence) {
  struct Case { std::string area, pattern; int32_t at; };
  const Case cases[] = {{"ABCDEF", "CD", 2},     {"ABCDEF", "ABCDEG", -1}, {"ABC", "ABCD", -1},
                        {"AAAB", "AAB", 1},      {"A\0B\0C"s, "\0C"s, 3}, {"\xE0\xE1", "\xE1", 1},
                        {"ABC", "", 0},          {"", "", 0},             {"", "A", -1}};
  for (const Case& k : cases) {
    EXPECT_EQ(zkall_memmem(k.area.data(), int32_t(k.area.size()), k.pattern.data(), int32_t(k.pattern.size())),
              k.at)
        << k.area << " / " << k.pattern;
  }
  // Only the given length is searched; a negative or missing argument.
  EXPECT_EQ((std::tuple{zkall_memmem("ABCD", 3, "CD", 2), zkall_memmem("ABC", -1, "A", 1), zkall_memmem("ABC", 3, "B", -2),
                        zkall_memmem("ABC", 3, nullptr, 2), zkall_memmem(nullptr, 3, "A", 1)}),
            (std::tuple{-1, -1, 0, 0, -1}));
}

using Splitter = int32_t (*)(const char*, int32_t, char*, int32_t, int32_t*);
using Pieces = std::vector<std::string>;

// Every piece the splitter gives, each as the whole (blank-padded)
// destination; a write outside the destination fails the test.
Pieces pieces(Splitter split, const std::string& source, int32_t width) {
  Pieces out;
  edited(std::string(static_cast<std::size_t>(width), '#'), [&](char* dest, int32_t n) {
    int32_t position = 0;
    while (out.size() <= source.size() &&
           split(source.data(), static_cast<int32_t>(source.size()), dest, n, &position) == 0) {
      out.emplace_back(dest, static_cast<std::size_t>(n));
    }
  });
  return out;
}

std::string pad(const std::string& s, std::size_t width) { return s + std::string(width - s.size(), ' '); }

TEST(MemoryEdit2NData, WrapsAtBlanksCommasAndNulsOrCutsAtTheWidth) {
  const auto wrap = [](const std::string& s, int32_t width) { return pieces(memory_edit_2_n_data, s, width); };
  const std::string x19(19, 'X');
  EXPECT_EQ(wrap(std::string(70, 'X'), 19), (Pieces{x19, x19, x19, pad("XXXXXXXXXXXXX", 19)}));
  const std::string comma_at_19 = std::string(18, 'A') + ",BBBB";
  EXPECT_EQ(wrap(comma_at_19, 19), (Pieces{comma_at_19.substr(0, 19), pad("BBBB", 19)}));
  EXPECT_EQ(wrap("THE QUICK BROWN FOX JUMPS", 10), (Pieces{"THE QUICK ", "BROWN FOX ", "JUMPS     "}));
  EXPECT_EQ(wrap("AB,CDEFGH", 6), (Pieces{"AB,   ", "CDEFGH"}));
  EXPECT_EQ(wrap("AB CDEFGH IJK", 9), (Pieces{"AB CDEFGH", "IJK      "}));  // blank just behind the width
  EXPECT_EQ(wrap(",ABCDEFGHIJ", 5), (Pieces{",ABCD", "EFGHI", "J    "}));   // a comma at the start is no break
  EXPECT_EQ(wrap("ABC\0DEFGHI"s, 6), (Pieces{"ABC   ", "DEFGHI"}));
  EXPECT_EQ(wrap("  AB CD  ", 19), (Pieces{pad("AB CD", 19)}));  // the rest goes whole when it fits
  EXPECT_EQ(wrap("   \0 "s, 4), Pieces{});
}

TEST(MemoryEdit2NDataByScolon, SplitsAtSemicolonsAndTheWidth) {
  const auto split = [](const std::string& s, int32_t width) {
    return pieces(memory_edit_2_n_data_by_scolon, s, width);
  };
  EXPECT_EQ(split("AB;CD;;  EF", 4), (Pieces{"AB  ", "CD  ", "EF  "}));
  EXPECT_EQ(split("ABCDEFG;H", 3), (Pieces{"ABC", "DEF", "G  ", "H  "}));
  EXPECT_EQ(split("; ;A B;", 4), (Pieces{"A B "}));
  EXPECT_EQ(split("A,B C", 4), (Pieces{"A,B ", "C   "}));

  int32_t position = 0, at_end = 4;  // an empty destination answers without moving
  EXPECT_EQ((std::tuple{memory_edit_2_n_data_by_scolon(";;AB", 4, nullptr, 0, &position), position,
                        memory_edit_2_n_data_by_scolon(";;AB", 4, nullptr, -1, &at_end)}),
            (std::tuple{0, 0, -1}));
}

// An empty destination gives empty pieces without going back.
TEST(Splitters, RefuseUnusableArgumentsWithoutWriting) {
  int32_t position = 2;
  EXPECT_EQ((std::tuple{memory_edit_2_n_data("AB  CD", 6, nullptr, 0, &position), +position,
                        memory_edit_2_n_data("AB  CD", 6, nullptr, -5, &position), +position,
                        memory_edit_2_n_data("ABCD  ", 6, nullptr, 0, &position)}),
            (std::tuple{0, 4, 0, 4, -1}));
  for (Splitter split : {memory_edit_2_n_data, memory_edit_2_n_data_by_scolon}) {
    char dest[] = "####";
    int32_t before_start = -1, at_end = 3;
    position = 0;
    EXPECT_EQ((std::tuple{split("ABC", 3, dest, 4, &before_start), split("ABC", 3, dest, 4, &at_end),
                          split("ABC", 3, nullptr, 4, &position), split("ABC", 3, dest, 4, nullptr),
                          split(nullptr, 3, dest, 4, &position)}),
              (std::tuple{-1, -1, -1, -1, -1}));
    EXPECT_EQ(std::to_string(before_start) + dest + std::to_string(at_end) + std::to_string(position), "-1####30");
  }
}

using Pair = std::pair<std::string, std::string>;

TEST(Zeroedit, RightJustifiesAndFillsWithZeros) {
  const Pair cases[] = {{"1 2", "012"}, {"   ", "000"}, {"\0" "5"s, "05"}, {"\xB1 2", "0\xB1" "2"},
                        {"1 2 3 4 5", "000012345"}, {"1 2 3 4 5 ", "1 2 3 4 5 "}};  // wider than 9: unchanged
  for (const auto& [field, want] : cases) EXPECT_EQ(edited(field, zeroedit), want) << field;
  EXPECT_EQ(edited(" 1", [](char* p, int32_t) { zeroedit(p, -2); }), " 1");
}

TEST(EraseZero, BlanksLeadingZerosCommasAndBlanks) {
  const std::pair<std::string, SignedCounted> cases[] = {
      {"0,012", {"   12", 3}}, {"000", {"  0", 3}}, {"0", {"0", 1}}, {"100", {"100", 0}},
      {" 0 1,0", {"   1,0", 3}}, {"\0" "01"s, {"\0" "01"s, 0}}};  // NUL is no blank here
  for (const auto& [field, want] : cases) EXPECT_EQ(edited(field, erase_zero), want) << field;
  EXPECT_EQ(edited("00", [](char* p, int32_t) { return erase_zero(p, -1); }), SignedCounted("00", 0));
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
  int32_t byte_index = -99;  // without a mask
  EXPECT_EQ((teki2bit("009", &byte_index, nullptr), byte_index), 1);
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
