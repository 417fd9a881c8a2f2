// Tests of the two splitters: word wrapping into fixed-width lines and
// semicolon-separated pieces, through the C entry points.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "textutil/guarded.h"
#include "zkall.h"

namespace {

using zk::test::edited;
using namespace std::string_literals;
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
  EXPECT_EQ(wrap("", 4), Pieces{});
}

TEST(MemoryEdit2NData, EmptyDestinationGivesEmptyPiecesWithoutGoingBack) {
  for (int32_t width : {0, -5}) {
    int32_t position = 2;
    EXPECT_EQ((std::tuple{memory_edit_2_n_data("AB  CD", 6, nullptr, width, &position), +position,
                          memory_edit_2_n_data("AB  CD", 6, nullptr, width, &position), +position,
                          memory_edit_2_n_data("ABCD  ", 6, nullptr, width, &position)}),
              (std::tuple{0, 4, 0, 4, -1}));
  }
}

TEST(MemoryEdit2NDataByScolon, SplitsAtSemicolonsAndTheWidth) {
  const auto split = [](const std::string& s, int32_t width) {
    return pieces(memory_edit_2_n_data_by_scolon, s, width);
  };
  EXPECT_EQ(split("AB;CD;;  EF", 4), (Pieces{"AB  ", "CD  ", "EF  "}));
  EXPECT_EQ(split("ABCDEFG;H", 3), (Pieces{"ABC", "DEF", "G  ", "H  "}));
  EXPECT_EQ(split("; ;A B;", 4), (Pieces{"A B "}));
  EXPECT_EQ(split("A,B C", 4), (Pieces{"A,B ", "C   "}));
  EXPECT_EQ(split(" ;; ", 4), Pieces{});

  int32_t position = 0, at_end = 4;  // an empty destination answers without moving
  EXPECT_EQ((std::tuple{memory_edit_2_n_data_by_scolon(";;AB", 4, nullptr, 0, &position), position,
                        memory_edit_2_n_data_by_scolon(";;AB", 4, nullptr, -1, &at_end)}),
            (std::tuple{0, 0, -1}));
}

TEST(Splitters, RefuseUnusableArgumentsWithoutWriting) {
  for (Splitter split : {memory_edit_2_n_data, memory_edit_2_n_data_by_scolon}) {
    char dest[] = "####";
    int32_t before_start = -1, at_end = 3, position = 0;
    EXPECT_EQ((std::tuple{split("ABC", 3, dest, 4, &before_start), split("ABC", 3, dest, 4, &at_end),
                          split("ABC", 3, nullptr, 4, &position), split("ABC", 3, dest, 4, nullptr),
                          split(nullptr, 3, dest, 4, &position)}),
              (std::tuple{-1, -1, -1, -1, -1}));
    EXPECT_EQ(std::to_string(before_start) + dest + std::to_string(at_end) + std::to_string(position), "-1####30");
  }
}

}  // namespace
