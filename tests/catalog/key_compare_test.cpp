// The in-block scans d_search and d_search2: outcome bits, masks, folding of
// A to Z only, unsigned bytes, NUL inside keys, the key's offset in the
// entry, the count of entries an area holds, and arguments that would make
// a scan read outside its area.
#include <gtest/gtest.h>

#include <string>

#include "zkall.h"

namespace zk::test {
namespace {

// Entries of 6 bytes: 1 tag byte, then a 4-byte key, then 1 byte.
std::string area_of(std::initializer_list<std::string> keys) {
  std::string a;
  for (const std::string& k : keys) a += "#" + k + ".";
  return a;
}

int32_t scan(const std::string& key, int32_t mask, const std::string& area, int32_t* index,
             int32_t entry_length = 6, int32_t offset = 1) {
  return d_search(key.data(), static_cast<int32_t>(key.size()), offset, mask, area.data(),
                  static_cast<uint32_t>(area.size()), static_cast<uint32_t>(entry_length), index);
}

TEST(DSearch, StopsAtTheFirstEntryWhoseOutcomeIsInTheMask) {
  const std::string area = area_of({"AAAA", "BBBB", "bbbc", "CCCC"});
  const struct { std::string key; int32_t mask; int32_t outcome; int32_t index; } cases[] = {
      {"BBBB", 3, 2, 1},  // equal
      {"bbbb", 2, 2, 1},  // letters fold
      {"BBBC", 2, 2, 2},
      {"BBBA", 3, 1, 1},  // below the entry: not below is enough for mask 3
      {"BBBA", 2, 0, -1},
      {"ZZZZ", 3, 0, -1},
      {"AAAA", 4, 0, -1},  // never above an entry before it stops
      {"CCCD", 4, 4, 0},   // above the first entry
      {"B", 3, 2, 1},      // compared over the key's length only
      {"", 2, 2, 0},       // an empty key equals every entry
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + " mask " + std::to_string(c.mask));
    int32_t index = -1;
    EXPECT_EQ(scan(c.key, c.mask, area, &index), c.outcome);
    EXPECT_EQ(index, c.index);
  }
}

TEST(DSearch, OnlyAToZFoldAndBytesCompareUnsigned) {
  const struct { std::string key; std::string entry; int32_t outcome; } cases[] = {
      {"abcd", "ABCD", 2},
      {"[___", "{___", 1},    // 0x5B below 0x7B: not letters, not folded
      {"@aaa", "`aaa", 1},    // 0x40 and 0x60 are no letters either
      {"Zzzz", "[zzz", 4},    // Z folds to z (0x7A), above [ (0x5B)
      {"\xC9zzz", "\xE9zzz", 1},  // no folding above 0x7F
      {"\xE9zzz", "azzz", 4},     // unsigned: 0xE9 above 0x61
      {std::string("a\0b1", 4), std::string("a\0b2", 4), 1},  // a NUL does not end the comparison
      {std::string("a\0b2", 4), std::string("a\0b2", 4), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.entry);
    int32_t index = -1;
    EXPECT_EQ(scan(c.key, 7, area_of({c.entry}), &index), c.outcome);
    EXPECT_EQ(index, 0);
  }
}

TEST(DSearch, CountsWholeEntriesAndNeverComparesPastTheArea) {
  const std::string area = area_of({"AAAA", "BBBB", "CCCC"});
  int32_t index = -1;
  // The third entry is not whole when the area is cut short.
  EXPECT_EQ(d_search("CCCC", 4, 1, 2, area.data(), 17, 6, &index), 0);
  EXPECT_EQ(d_search("CCCC", 4, 1, 2, area.data(), 18, 6, &index), 2);
  EXPECT_EQ(index, 2);
  // A key that reaches past its entry into the next one is compared there,
  // but not past the end of the area.
  EXPECT_EQ(d_search("B.#C", 4, 4, 2, area.data(), 18, 6, &index), 2);
  EXPECT_EQ(index, 1);
  const std::string longer = area + "ZZZZZZ";
  EXPECT_EQ(d_search("C.ZZ", 4, 4, 2, longer.data(), 18, 6, &index), 0);
  EXPECT_EQ(d_search("C.ZZ", 4, 4, 2, longer.data(), 24, 6, &index), 2);
  EXPECT_EQ(index, 2);
  // Nothing to scan: no key, no area, no entry length, negative numbers.
  EXPECT_EQ(d_search(nullptr, 4, 1, 7, area.data(), 18, 6, &index), 0);
  EXPECT_EQ(d_search("AAAA", 4, 1, 7, nullptr, 18, 6, &index), 0);
  EXPECT_EQ(d_search("AAAA", 4, 1, 7, area.data(), 18, 0, &index), 0);
  EXPECT_EQ(d_search("AAAA", -1, 1, 7, area.data(), 18, 6, &index), 0);
  EXPECT_EQ(d_search("AAAA", 4, -1, 7, area.data(), 18, 6, &index), 0);
  // The entry index may be left out.
  EXPECT_EQ(d_search("AAAA", 4, 1, 2, area.data(), 18, 6, nullptr), 2);
}

TEST(DSearch2, PassesOverEntriesWhoseFirstBytesDifferUnfolded) {
  // Entries of 4 bytes with the key at offset 0.
  const std::string area = "abcdABCDabcd";
  int32_t index = -1;
  EXPECT_EQ(d_search2("ABCD", 4, area.data(), 2, 0, 12, 4, &index), 2);
  EXPECT_EQ(index, 1);
  EXPECT_EQ(d_search("ABCD", 4, 0, 2, area.data(), 12, 4, &index), 2);
  EXPECT_EQ(index, 0);  // d_search folds and stops at once
  // A key of one byte is compared without the pre-check; a shorter key is
  // pre-checked over the bytes it has.
  EXPECT_EQ(d_search2("A", 1, area.data(), 2, 0, 12, 4, &index), 2);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(d_search2("AB", 2, area.data(), 2, 0, 12, 4, &index), 2);
  EXPECT_EQ(index, 1);
  // Mask 3 stops at the first entry that passes the pre-check.
  EXPECT_EQ(d_search2("abcd", 4, area.data(), 3, 0, 12, 4, &index), 2);
  EXPECT_EQ(index, 0);
  // An entry cut short by the end of the area is never compared.
  EXPECT_EQ(d_search2("AB", 2, "abcdabcdabcdAB", 2, 0, 14, 4, &index), 0);
  // Nothing to scan: no key, no area, negative area or entry lengths.
  EXPECT_EQ(d_search2(nullptr, 4, area.data(), 3, 0, 12, 4, &index), 0);
  EXPECT_EQ(d_search2("abcd", 4, nullptr, 3, 0, 12, 4, &index), 0);
  EXPECT_EQ(d_search2("abcd", 4, area.data(), 3, 0, -12, 4, &index), 0);
  EXPECT_EQ(d_search2("abcd", 4, area.data(), 3, 0, 12, -4, &index), 0);
  EXPECT_EQ(d_search2("abcd", 4, area.data(), 3, 0, 12, 0, &index), 0);
}

}  // namespace
}  // namespace zk::test
