// The in-block scans d_search and d_search2: outcome bits, masks, folding of
// A to Z only, unsigned bytes, NUL inside keys, the key's offset in the
// entry, the count of entries an area holds, and arguments that would make
// a scan read outside its area. Answers are "outcome/entry index".
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

std::string answer(int32_t outcome, int32_t index) { return std::to_string(outcome) + "/" + std::to_string(index); }

// d_search over `size` bytes of `area` (all of it when -1), entries of
// `entry` bytes, the key at `offset`.
std::string scan(const std::string& key, int32_t mask, const std::string& area, int32_t offset = 1, int64_t size = -1,
                 int32_t entry = 6) {
  int32_t index = -1;
  const int32_t r = d_search(key.data(), static_cast<int32_t>(key.size()), offset, mask, area.data(),
                             static_cast<uint32_t>(size < 0 ? area.size() : size), static_cast<uint32_t>(entry), &index);
  return answer(r, index);
}

std::string scan2(const std::string& key, int32_t mask, const std::string& area) {
  int32_t index = -1;
  const int32_t r = d_search2(key.data(), static_cast<int32_t>(key.size()), area.data(), mask, 0,
                              static_cast<int32_t>(area.size()), 4, &index);
  return answer(r, index);
}

TEST(DSearch, StopsAtTheFirstEntryWhoseOutcomeIsInTheMask) {
  const std::string area = area_of({"AAAA", "BBBB", "bbbc", "CCCC"});
  const struct { std::string key; int32_t mask; const char* want; } cases[] = {
      {"BBBB", 3, "2/1"},  // equal
      {"bbbb", 2, "2/1"},  // letters fold
      {"BBBA", 3, "1/1"},  // below the entry: not below is enough for mask 3
      {"BBBA", 2, "0/-1"},
      {"ZZZZ", 3, "0/-1"},
      {"AAAA", 4, "0/-1"},  // never above an entry before it stops
      {"CCCD", 4, "4/0"},   // above the first entry
      {"B", 3, "2/1"},      // compared over the key's length only
      {"", 2, "2/0"},       // an empty key equals every entry
  };
  for (const auto& c : cases) EXPECT_EQ(scan(c.key, c.mask, area), c.want) << c.key << " mask " << c.mask;
}

TEST(DSearch, OnlyAToZFoldAndBytesCompareUnsigned) {
  const struct { std::string key; std::string entry; int32_t outcome; } cases[] = {
      {"abcd", "ABCD", 2},
      {"[___", "{___", 1},    // 0x5B below 0x7B: not letters, not folded
      {"Zzzz", "[zzz", 4},    // Z folds to z (0x7A), above [ (0x5B)
      {"\xC9zzz", "\xE9zzz", 1},  // no folding above 0x7F
      {"\xE9zzz", "azzz", 4},     // unsigned: 0xE9 above 0x61
      {std::string("a\0b1", 4), std::string("a\0b2", 4), 1},  // a NUL does not end the comparison
      {std::string("a\0b2", 4), std::string("a\0b2", 4), 2},
  };
  for (const auto& c : cases) EXPECT_EQ(scan(c.key, 7, area_of({c.entry})), answer(c.outcome, 0)) << c.key << " / " << c.entry;
}

TEST(DSearch, CountsWholeEntriesAndNeverComparesPastTheArea) {
  const std::string area = area_of({"AAAA", "BBBB", "CCCC"}), longer = area + "ZZZZZZ";
  // The third entry is not whole when the area is cut short. A key that
  // reaches past its entry into the next one is compared there, but not
  // past the end of the area.
  const std::string got[] = {scan("CCCC", 2, area, 1, 17), scan("CCCC", 2, area, 1, 18), scan("B.#C", 2, area, 4),
                             scan("C.ZZ", 2, longer, 4, 18), scan("C.ZZ", 2, longer, 4, 24)};
  EXPECT_EQ(std::vector<std::string>(got, got + 5), (std::vector<std::string>{"0/-1", "2/2", "2/1", "0/-1", "2/2"}));
  // Nothing to scan: no key, no entry length, a negative offset. The entry
  // index may be left out.
  int32_t index = -1;
  const int got2[] = {d_search(nullptr, 4, 1, 7, area.data(), 18, 6, &index), d_search("AAAA", 4, 1, 7, area.data(), 18, 0, &index),
                      d_search("AAAA", 4, -1, 7, area.data(), 18, 6, &index), d_search("AAAA", 4, 1, 2, area.data(), 18, 6, nullptr)};
  EXPECT_EQ(std::vector<int>(got2, got2 + 4), (std::vector<int>{0, 0, 0, 2}));
}

// Entries of 4 bytes with the key at offset 0: d_search folds and stops at
// once; d_search2 passes over entries whose first bytes differ unfolded. A
// key of one byte is compared without the pre-check; a shorter key is
// pre-checked over the bytes it has; mask 3 stops at the first entry that
// passes the pre-check; an entry cut short by the end of the area is never
// compared.
TEST(DSearch2, PassesOverEntriesWhoseFirstBytesDifferUnfolded) {
  const std::string area = "abcdABCDabcd";
  const std::string got[] = {scan2("ABCD", 2, area), scan("ABCD", 2, area, 0, -1, 4), scan2("A", 2, area),
                             scan2("AB", 2, area), scan2("abcd", 3, area), scan2("AB", 2, "abcdabcdabcdAB")};
  EXPECT_EQ(std::vector<std::string>(got, got + 6), (std::vector<std::string>{"2/1", "2/0", "2/0", "2/1", "2/0", "0/-1"}));
  // Nothing to scan: no key, a negative area length, no entry length.
  int32_t index = -1;
  EXPECT_EQ(d_search2(nullptr, 4, area.data(), 3, 0, 12, 4, &index) + d_search2("abcd", 4, area.data(), 3, 0, -12, 4, &index) +
                d_search2("abcd", 4, area.data(), 3, 0, 12, 0, &index), 0);
}

}  // namespace
}  // namespace zk::test
