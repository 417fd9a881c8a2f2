// The hard-disk engine and the price functions on sets made by the writer
// and on hand-made bytes: every key found across blocks and levels, a set
// written byte by byte from the format, both price formats, corrupt masters
// and indexes (failures of the files' operations are the fault-injection
// loop's).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/installation.h"
#include "tools/writer/hd_set.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Records = std::vector<std::string>;

// A 50-byte price record: part number (the key), then filler telling the
// records apart.
std::string price50(const std::string& part, int n) {
  std::string r = part + std::to_string(10000000 + n);
  return r + std::string(50 - r.size(), '-');
}

// A set of `count` price records keyed "P00000000000" on (from `first`),
// `block` bytes a block, `levels` index levels of `entries` entries a block.
writer::HdSetSpec p_set(int levels, uint32_t block, int count, uint32_t entries = 0, int first = 0) {
  writer::HdSetSpec spec;
  std::tie(spec.levels, spec.block_size, spec.entries_per_block) = std::tie(levels, block, entries);
  for (int i = 0; i < count; ++i) spec.records.push_back(price50("P" + std::to_string(100000000000LL + first + i).substr(1), i));
  return spec;
}

// "result/detail" (the detail read once the call has returned).
std::string rd(int result, const int32_t& detail) { return std::to_string(result) + "/" + std::to_string(detail); }

// The bytes of a literal, NUL bytes included.
template <size_t N>
std::string bytes(const char (&literal)[N]) { return std::string(literal, N - 1); }

class HdEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    std::strcpy(get_ctop_addr()->price_path, "C:\\PRICE");
    std::strcpy(get_ctop_addr()->localp_path, "C:\\LOCAL");
  }
  void TearDown() override {
    hdclose(&h);
    EXPECT_EQ(*handle_flag(), 0u);
  }
  writer::HdSet write_set(writer::HdSetSpec spec, const std::string& dir = "PRICE") {
    if (spec.data_name.empty()) spec.data_name = "KAKAKU.D";
    if (spec.index_name.empty()) spec.index_name = "KAKAKU.IA";
    if (spec.record_length == 0) spec.record_length = 50;
    if (spec.key_length == 0) spec.key_length = 12;
    writer::HdSet set = writer::build_hd_set(spec);
    inst.write('c', dir + (dir == "PRICE" ? "\\PRICE.MST" : "\\LOCALP.MST"), set.master);
    inst.write('c', dir + "\\" + set.data_file, set.data);
    if (!set.index.empty()) inst.write('c', dir + "\\" + set.index_file, set.index);
    return set;
  }
  Records read_key(const std::string& key) {
    Records out;
    EXPECT_EQ(hdropen(h), 0);
    std::string r(static_cast<size_t>(h->record_length), '\0');
    int32_t detail = -1;
    int rc = 0;
    while ((rc = hdread(r.data(), key.data(), static_cast<int32_t>(key.size()), h, &detail)) == 0) out.push_back(r);
    EXPECT_EQ(rc, -1) << key << " detail " << detail;
    return out;
  }
  // "result/detail" of hdopen of KAKAKU in `kind`'s directory, of one
  // keyed hdread.
  std::string open(int32_t kind = 2) {
    int32_t detail = -1;
    return rd(hdopen("KAKAKU  D  ", kind, &h, &detail), detail);
  }
  std::string read(const std::string& key) {
    std::string r(50, '\0');
    int32_t detail = -1;
    return rd(hdread(r.data(), key.data(), static_cast<int32_t>(key.size()), h, &detail), detail);
  }
  Installation inst;
  zkall_cd_handle* h = nullptr;
};

TEST_F(HdEngineTest, EveryKeyIsFoundThroughEveryLayout) {
  struct Layout { int levels; std::array<uint8_t, 3> masks; uint32_t block, records_per_block, entries_per_block; };
  const Layout layouts[] = {{0, {3, 3, 3}, 0, 0, 0},   {0, {3, 3, 3}, 50, 0, 0},  {1, {3, 3, 3}, 250, 0, 0},
                             {2, {3, 3, 3}, 150, 2, 2}, {3, {3, 3, 2}, 200, 3, 2}, {3, {3, 2, 2}, 250, 1, 3},
                             {3, {3, 2, 3}, 150, 1, 1}};  // the last: a middle range of three bottom blocks
  // Seven part numbers, one to three records each.
  const char* parts[] = {"0446547110A0", "1101147110A0", "1561047110A2", "1561047110A3", "4351247110A1",
                         "9004847110A0", "abcde0000000"};
  Records records;
  for (int n = 0; n < 7; ++n)
    for (int copies = 0; copies < 1 + n % 3; ++copies) records.push_back(price50(parts[n], n * 10 + copies));
  for (const Layout& l : layouts) {
    SCOPED_TRACE("levels " + std::to_string(l.levels) + " block " + std::to_string(l.block));
    writer::HdSetSpec spec;
    std::tie(spec.levels, spec.level_masks, spec.block_size, spec.records_per_block, spec.entries_per_block) =
        std::tie(l.levels, l.masks, l.block, l.records_per_block, l.entries_per_block);
    spec.records = records;
    const writer::HdSet set = write_set(spec);
    hdclose(&h);
    ASSERT_EQ(open(), "0/0");
    EXPECT_EQ(h->block_size, static_cast<int32_t>(set.block_size));
    if (l.levels == 0) {
      // The open presets the data range; hdropen clears it, and a keyed read
      // then finds nothing.
      EXPECT_EQ(read("1561047110A2"), "0/0");
      EXPECT_EQ(read_key("1561047110A2").size(), 0u);
    } else {
      std::map<std::string, Records> by_key;
      for (const std::string& r : records) by_key[r.substr(0, 12)].push_back(r);
      for (const auto& [key, expected] : by_key) EXPECT_EQ(read_key(key), expected) << key;
      // A prefix (A2 three times, A3 once), A-Z folded, keys not there.
      std::vector<size_t> found;
      for (const char* key : {"1561047110A", "ABCDE0000000", "1561047110A1", "zzz"}) found.push_back(read_key(key).size());
      EXPECT_EQ(found, (std::vector<size_t>{4, by_key["abcde0000000"].size(), 0, 0}));
    }
    Records in_order;
    for (const auto& block : set.blocks) in_order.insert(in_order.end(), block.begin(), block.end());
    EXPECT_EQ(read_key(""), in_order);
    EXPECT_EQ(read(""), "-1/0");  // and -1 again
  }
}

// A set written byte by byte from the format, without the writer: blocks of
// 40 bytes, 10-byte records (4-byte key), one index level of 10-byte entries.
TEST_F(HdEngineTest, HandMadeSetIsReadAsTheFormatSays) {
  auto entry32 = [](const std::string& name, uint8_t mask, uint8_t key, uint32_t size, uint32_t base,
                    uint16_t length, uint8_t levels) {
    std::string e = name + std::string(32 - name.size(), '\0');
    const std::pair<size_t, uint32_t> fields[] = {{12, mask}, {13, key}, {16, 40}, {20, size}, {24, base}, {28, length}, {30, levels}};
    for (const auto& [at, value] : fields) e[at] = static_cast<char>(value);
    return e;
  };
  const std::string master = entry32("HAND    IX ", 3, 4, 1, 0, 10, 0) + entry32("", 0, 4, 0, 0, 10, 0) +
                             entry32("", 0, 4, 0, 0, 10, 0) + entry32("HAND    D  ", 2, 4, 3, 0, 10, 1);
  std::string index = std::string("BBBB\x00\x00\x00\x00\x01\x00", 10) + std::string("DDDD\x01\x00\x00\x00\x01\x00", 10);
  index.resize(40, '\0');
  std::string data = "AAAA000001BBBB000002BBBB000003" + std::string(10, '\0') + "CCCC000004DDDD000005" +
                     std::string(20, '\0') + std::string("\0NUL00006", 10) + "EEEE000007" + std::string(10, '\0') +
                     std::string(10, 'x');
  inst.write('c', "LOCAL\\LOCALP.MST", master);
  inst.write('c', "LOCAL\\HAND.IX", index);
  inst.write('c', "LOCAL\\HAND.D", data);
  int32_t detail = 0;
  ASSERT_EQ(hdopen("HAND    D  ", 3, &h, &detail), 0) << detail;
  EXPECT_EQ(read_key("BBBB"), (Records{"BBBB000002", "BBBB000003"}));
  EXPECT_EQ(read_key("DDDD"), Records{"DDDD000005"});
  EXPECT_EQ(read_key("CCCC"), Records{"CCCC000004"});
  // In order, the first record of a freshly read block comes whatever its
  // first byte; a NUL record behind it ends its block.
  EXPECT_EQ(read_key(""), (Records{"AAAA000001", "BBBB000002", "BBBB000003", "CCCC000004", "DDDD000005",
                                   std::string("\0NUL00006", 10), "EEEE000007"}));
}

TEST_F(HdEngineTest, PriceRecordsOfBothFormats) {
  writer::HdSetSpec one;
  one.records = {std::string("1561047110A2") + "00001250" + "19990101" + "PC" + "OIL FILTER          "};
  write_set(one);
  char price[50];
  int32_t detail = 0;
  ASSERT_EQ(kakaku_open(0, &h, &detail), 0);
  EXPECT_EQ(h->price_format, 1);
  ASSERT_EQ(kakaku_read(price, "1561047110A2", 12, 2, h, &detail), 0);
  EXPECT_EQ(std::string(price, 50), one.records[0]);
  kakaku_close(&h);
  EXPECT_EQ(kakaku_open(1, &h, &detail), -1);  // format 2 only: not listed

  writer::HdSetSpec three;
  std::tie(three.data_name, three.index_name, three.record_length) = std::make_tuple("PRICE3.D", "PRICE3.IA", 66u);
  three.records = {std::string("1561047110A2") + "11111111" + "22222222" + "33333333" + "19990701" + "PC" +
                   "OIL FILTER          "};
  write_set(three);
  ASSERT_EQ(kakaku_open(0, &h, &detail), 0);  // KAKAKU not listed: falls back
  EXPECT_EQ(h->price_format, 2);
  const std::string rest = "19990701PCOIL FILTER          ";
  const std::pair<int32_t, std::string> selected[] = {{0, "11111111"}, {2, "33333333"}, {3, "        "}};
  for (const auto& [selector, field] : selected) {
    ASSERT_EQ(kakaku_reopen(h), 0);
    ASSERT_EQ(kakaku_read(price, "1561047110A2", 12, selector, h, &detail), 0);
    EXPECT_EQ(std::string(price, 50), "1561047110A2" + field + rest) << selector;
  }
  kakaku_close(&h);
  EXPECT_EQ(kakaku_check(&detail), 0);
  std::filesystem::remove(inst.drive_root('c') / "PRICE" / "PRICE3.D");
  EXPECT_EQ(kakaku_open(0, &h, &detail), -1);  // missing: both tried
  std::filesystem::remove(inst.drive_root('c') / "PRICE" / "PRICE.MST");
  EXPECT_EQ(rd(kakaku_check(&detail), detail), "-1/0");
}

// Patched in the index file or the master: the bytes at `at`, or none: cut
// there; then hdopen and a keyed read, "result/detail" each.
TEST_F(HdEngineTest, CorruptInputsGiveTheirCodes) {
  const writer::HdSet good = write_set(p_set(2, 100, 6, 2));
  const struct { const char* what; bool in_index; size_t at; std::string bytes; const char* open, *read; } cases[] = {
      {"master of 100 bytes", false, 100, "", "14/0", ""},
      {"block size not a multiple", false, 112, bytes("\x78\x00"), "128/51", ""},
      {"four levels", false, 126, bytes("\x04"), "128/52", ""},
      {"key past the record", false, 110, bytes("\x27"), "128/53", ""},
      {"count of 65535", true, 12 + 4, bytes("\xFF\xFF"), "0/0", "128/54"},
      {"range past the data file", true, 100 + 12, bytes("\x07\x00\x00\x00"), "0/0", "128/54"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string master = good.master, index = good.index;
    std::string& target = c.in_index ? index : master;
    if (c.bytes.empty()) target.resize(c.at); else target.replace(c.at, c.bytes.size(), c.bytes);
    inst.write('c', "PRICE\\PRICE.MST", master);
    inst.write('c', "PRICE\\KAKAKU.IA", index);
    EXPECT_EQ(open(), c.open);
    EXPECT_EQ(h != nullptr ? read("P00000000000") : "", c.read);
    hdclose(&h);
  }
}

TEST_F(HdEngineTest, RequestsTheEngineRefuses) {
  writer::HdSetSpec spec;
  spec.records = {price50("1561047110A2", 1)};
  write_set(spec);
  EXPECT_EQ(open(4), "128/59");
  int32_t detail = 0;
  EXPECT_EQ(hdopen("PRICE3  D  ", 2, &h, &detail), -1);  // not listed
  EXPECT_EQ(open(3), "-1/0");                            // no LOCALP.MST
  ASSERT_EQ(open(), "0/0");
  EXPECT_EQ(read("1561047110A20"), "128/55");
  std::string r(50, '\0');
  zkall_cd_handle foreign{};
  EXPECT_EQ(rd(hdread(r.data(), nullptr, 0, &foreign, &detail), detail), "128/58");
  EXPECT_EQ(hdropen(&foreign), 128);
  // Each engine reads only its own handles: a hard-disk handle is no disc
  // handle, and hdclose leaves a record it did not make alone.
  EXPECT_EQ(rd(cdread(r.data(), nullptr, 0, 0, nullptr, nullptr, h, &detail), detail), "128/400");
  zkall_cd_handle* not_ours = &foreign;
  EXPECT_EQ(hdclose(&not_ours), 0);
  EXPECT_EQ(not_ours, &foreign);
  h->record_length = 70;  // a caller's change: kakaku_read's area holds 68 bytes
  EXPECT_EQ(rd(kakaku_read(r.data(), "1561047110A2", 12, 0, h, &detail), detail), "128/57");
}

// Overlapping child ranges that all lead to the same blocks: the walk for a
// key found nowhere is stopped instead of reading them over and over. Five
// entries "K..." in the top and in the middle block, each leading to the
// whole level below.
TEST_F(HdEngineTest, AWalkRoundTheSameBlocksIsStopped) {
  write_set(p_set(2, 100, 2));
  std::string level(100, '\0');
  for (size_t i = 0; i < 5; ++i) level.replace(i * 18, 18, bytes("K00000000000\x00\x00\x00\x00\x01\x00"));
  inst.write('c', "PRICE\\KAKAKU.IA", level + level);
  ASSERT_EQ(open(), "0/0");
  EXPECT_EQ(read("K00000000000"), "128/60");
}

TEST_F(HdEngineTest, TheStepsOfAReadOneByOne) {
  const writer::HdSetSpec spec = p_set(1, 100, 4);
  write_set(spec);
  int32_t detail = 0;
  ASSERT_EQ(open(), "0/0");
  ASSERT_EQ(hdropen(h), 0);
  // Without a search key the first entry stops the scan; it sets the data
  // file's range to its child range: the top entry of data block 1.
  EXPECT_EQ(hd_search_index(h, &detail), 0);
  EXPECT_EQ(hd_search_index(h, &detail), 0);
  EXPECT_EQ(h->levels[3].scan_start * 10 + h->levels[3].scan_count, 11u);
  h->current_level = 1;  // the data level: no index step there
  EXPECT_EQ(rd(hd_search_index(h, &detail), detail), "128/58");
  std::string r(50, '\0');
  EXPECT_EQ(hd_search_data(r.data(), h, &detail), 0);  // from the file's position: block 0
  EXPECT_EQ(r, spec.records[0]);
  EXPECT_EQ(hd_search_index(nullptr, &detail), 128);
  // Key lengths and a level count a caller has changed are refused by each step.
  const std::tuple<int32_t zkall_cd_handle::*, int32_t, int32_t> damage[] = {
      {&zkall_cd_handle::index_key_len, 21, 56}, {&zkall_cd_handle::level_count, -1, 52}};
  for (const auto& [field, value, want] : damage) {
    const int32_t kept = std::exchange(h->*field, value);
    EXPECT_EQ(rd(hd_search_data(r.data(), h, &detail), detail), rd(128, want)) << value;
    h->*field = kept;
  }
  h->levels[3].buffer = nullptr;  // a caller's change
  EXPECT_EQ(rd(hdread(r.data(), nullptr, 0, h, &detail), detail), "128/58");
}

}  // namespace
}  // namespace zk::test
