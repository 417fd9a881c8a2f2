// Tests of justifying, copying, replacing, testing and measuring
// fixed-width fields, through the C entry points.
#include <gtest/gtest.h>

#include <string>

#include "textutil/guarded.h"
#include "zkall.h"

namespace {

using zk::test::edited;
using namespace std::string_literals;
using Counted = std::pair<std::string, uint32_t>;

Counted lft(const std::string& field, char c) {
  return edited(field, [c](char* p, int32_t n) { return memlft(p, c, static_cast<uint32_t>(n)); });
}

TEST(Memlft, MovesTheLeadingRunToTheBackAndCountsIt) {
  EXPECT_EQ(lft("  AB C", ' '), Counted("AB C  ", 2));
  EXPECT_EQ(lft("AB  ", ' '), Counted("AB  ", 0));
  EXPECT_EQ(lft("    ", ' '), Counted("    ", 4));  // only c: unchanged, the length
  EXPECT_EQ(lft("\xE0\xE0x", '\xE0'), Counted("x\xE0\xE0", 2));
  EXPECT_EQ(lft("\0\0A"s, '\0'), Counted("A\0\0"s, 2));
  EXPECT_EQ(memlft(nullptr, ' ', 5), 0u);

  char text[] = "  A\0  ";  // strlft stops at the NUL
  EXPECT_EQ(strlft(text, ' '), 2);
  EXPECT_EQ(std::string(text, sizeof text), "A  \0  \0"s);
  EXPECT_EQ(strlft(nullptr, ' '), 0);
}

TEST(Memlft2, ReplacesInTheSourceAndShiftsIntoTheDestination) {
  std::string src = "00102";
  const auto into = [&src](char* dest, int32_t n) { return memlft2(dest, src.data(), '0', ' ', uint32_t(n)); };
  EXPECT_EQ(edited("#####", into), Counted("1 2  ", 2));
  EXPECT_EQ(src, "  1 2");
  const auto in_place = [](char* p, int32_t n) { return memlft2(p, p, '0', '*', uint32_t(n)); };
  EXPECT_EQ(edited("00102", in_place), Counted("1*2**", 2));
  EXPECT_EQ(memlft2(src.data(), nullptr, '0', ' ', 5), 0u);
}

TEST(CopyAndReplace, TouchOnlyTheGivenBytes) {
  const std::string src = "A\0B\xFF\0"s;
  const auto rep = [&src](uint32_t n) { return [&src, n](char* p, int32_t) { memrep(p, src.data(), '\0', ' ', n); }; };
  EXPECT_EQ(edited("#####", rep(5)), "A B\xFF ");
  EXPECT_EQ(edited("#####", rep(0)), "#####");

  const auto ncpy = [](const char* from, int32_t n) { return [from, n](char* p, int32_t) { memncpy(p, from, n); }; };
  EXPECT_EQ(edited("XXXXX", ncpy("AB\0CD", 5)), "ABXXX");
  EXPECT_EQ(edited("XXXXX", ncpy("1234567", 3)), "123XX");
  EXPECT_EQ(edited("XXXXX", ncpy("123", -1)), "XXXXX");
  EXPECT_EQ(edited("XXXXX", ncpy(nullptr, 3)), "XXXXX");

  EXPECT_EQ(edited("AB \0 \t"s, last_space2null), "AB\0\0\0\0"s);
  EXPECT_EQ(edited("A B ", last_space2null), "A B\0"s);
  EXPECT_EQ(edited("\xA0 ", last_space2null), "\xA0\0"s);

  char text[] = "a.b.c";
  EXPECT_EQ(strrep(text, '.', '/'), 2);
  EXPECT_STREQ(text, "a/b/c");
  EXPECT_EQ(strrep(text, '/', '\0'), 2);  // the whole original text, not up to the first new NUL
  EXPECT_EQ(std::string(text, 5), "a\0b\0c"s);
  EXPECT_EQ(strrep(nullptr, 'a', 'b'), 0);
}

// One row per field: what each test and measure answers for it.
TEST(FieldTestsAndMeasures, AnswerPerField) {
  struct Case {
    const char* field;
    int32_t length, all_blank, first_blank, lenf, lenb, digits, alnum, catalog;
  };
  const Case cases[] = {
      {"1234A5", 6, 0, -1, 6, 6, 0, 1, 1}, {"1234a5", 6, 0, -1, 6, 6, 0, 1, 1},
      {"123456", 6, 0, -1, 6, 6, 1, 1, 1}, {"A23456", 6, 0, -1, 6, 6, 0, 1, 0},
      {"12345A", 6, 0, -1, 6, 6, 0, 1, 0}, {"1234-5", 6, 0, -1, 6, 6, 0, 0, 0},
      {"1234", 4, 0, -1, 4, 4, 1, 1, 1},   {"12 A", 2, 0, -1, 2, 2, 1, 1, 1},
      {"AB 12 ", 6, 0, 2, 2, 5, 0, 0, 0},  {"   ", 3, 1, 0, 0, 0, 0, 0, 0},
      {" A\0\0", 4, 0, 0, 0, 2, 0, 0, 0},  {"\xC1\xB2", 2, 0, -1, 2, 2, 0, 0, 0},
      {"12", 0, 1, -1, 0, 0, 1, 1, 1},     {"12", -3, 1, -1, 0, -3, 1, 1, 1},
      {nullptr, 5, 1, -1, 0, 0, 1, 1, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.field ? k.field : "(null)") + " length " + std::to_string(k.length));
    EXPECT_EQ(memall(k.field, ' ', k.length), k.all_blank);
    EXPECT_EQ(memclen(k.field, ' ', k.length), k.first_blank);
    EXPECT_EQ(memlenf(k.field, k.length), k.lenf);
    EXPECT_EQ(memlenb(k.field, k.length), k.lenb);
    EXPECT_EQ(memisdigit(k.field, k.length), k.digits);
    EXPECT_EQ(memisalnum(k.field, k.length), k.alnum);
    EXPECT_EQ(memcatcheck(k.field, k.length), k.catalog);
  }
  EXPECT_EQ(memclen("AB\xE0", '\xE0', 3), 2);
  EXPECT_EQ(memall("\xE0\xE0", '\xE0', 2), 1);
}

TEST(Memmem, FindsTheFirstOccurrence) {
  struct Case {
    std::string area, pattern;
    int32_t at;
  };
  const Case cases[] = {{"ABCDEF", "CD", 2},    {"ABCDEF", "ABCDEF", 0}, {"ABCDEF", "ABCDEG", -1},
                        {"ABC", "ABCD", -1},    {"AAAB", "AAB", 1},      {"ABAB", "AB", 0},
                        {"A\0B\0C"s, "\0C"s, 3}, {"\xE0\xE1", "\xE1", 1}, {"ABC", "", 0},
                        {"", "", 0},            {"", "A", -1}};
  for (const Case& k : cases) {
    EXPECT_EQ(zkall_memmem(k.area.data(), int32_t(k.area.size()), k.pattern.data(), int32_t(k.pattern.size())),
              k.at)
        << k.area << " / " << k.pattern;
  }
  EXPECT_EQ(zkall_memmem("ABCD", 3, "CD", 2), -1);  // only the given length is searched
  EXPECT_EQ(zkall_memmem("ABC", -1, "A", 1), -1);
  EXPECT_EQ(zkall_memmem("ABC", 3, "B", -2), 0);
  EXPECT_EQ(zkall_memmem("ABC", 3, nullptr, 2), 0);
  EXPECT_EQ(zkall_memmem(nullptr, 3, "A", 1), -1);
}

}  // namespace
