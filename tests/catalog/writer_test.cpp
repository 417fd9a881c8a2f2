// The catalog writer the tests build their discs with: byte layouts of
// master headers and entries, root and catalog master files (entry counts,
// byte 15, files stored inside), hard-disk copies and index entries. Discs
// laid out whole are read back by the opening tests.
#include <gtest/gtest.h>

#include <stdexcept>

#include "catalog/master_file.h"
#include "catalog_support.h"

namespace zk::test {
namespace {

using catalog::MasterEntry;

uint8_t byte_at(const std::string& s, size_t i) { return static_cast<uint8_t>(s[i]); }

MasterEntry decode_entry(const std::string& bytes, size_t offset) {
  return catalog::decode_master_entry(
      std::span<const uint8_t, 32>(reinterpret_cast<const uint8_t*>(bytes.data()) + offset, 32));
}

TEST(MasterLayout, AnEntryPutsEveryFieldAtItsOffset) {
  MasterEntry e;
  const std::string name = "FIGM01.DAT";
  std::copy(name.begin(), name.end(), e.name.begin());
  e.attribute = 0xA1;
  e.kind = 14;
  e.mask = 2;
  e.key_length = 7;
  e.key_offset = 3;
  e.same_name_count = 1;
  e.base_block = 0x01020304;
  e.size = 0x0A0B0C0D;
  e.record_length = 0x0147;
  e.levels = 3;
  e.location = 2;
  e.disc_id = {'E', '2'};
  const std::string b = writer::encode_master_entry(e);
  ASSERT_EQ(b.size(), 32u);
  EXPECT_EQ(b.substr(0, 10), "FIGM01.DAT");
  EXPECT_EQ(byte_at(b, 10), 0xA1);
  EXPECT_EQ(byte_at(b, 11), 14);
  EXPECT_EQ(byte_at(b, 12), 2);
  EXPECT_EQ(byte_at(b, 13), 7);
  EXPECT_EQ(byte_at(b, 14), 3);
  EXPECT_EQ(byte_at(b, 15), 1);
  EXPECT_EQ(b.substr(16, 4), "\x04\x03\x02\x01");
  EXPECT_EQ(b.substr(20, 4), "\x0D\x0C\x0B\x0A");
  EXPECT_EQ(b.substr(24, 2), "\x47\x01");
  EXPECT_EQ(byte_at(b, 26), 3);
  EXPECT_EQ(byte_at(b, 27), 2);
  EXPECT_EQ(b.substr(28, 4), std::string("E2\0\0", 4));
  const MasterEntry d = decode_entry(b, 0);
  EXPECT_EQ(d.name, e.name);
  EXPECT_EQ(d.base_block, e.base_block);
  EXPECT_EQ(d.size, e.size);
  EXPECT_EQ(d.record_length, e.record_length);
  EXPECT_EQ(d.disc_id, e.disc_id);
  EXPECT_EQ(catalog::entry_name(d), "FIGM01.DAT");
}

TEST(MasterLayout, AHeaderPutsDateDiscIdNumberAndSecondIdAtTheirOffsets) {
  const std::string b = writer::encode_master_header(writer::master_header("19990401", "E1", "03", 0x5A, "G1"));
  ASSERT_EQ(b.size(), 32u);
  EXPECT_EQ(b.substr(0, 8), "19990401");
  EXPECT_EQ(b.substr(8, 14), std::string(14, '\0'));
  EXPECT_EQ(b.substr(22, 2), "E1");
  EXPECT_EQ(b.substr(24, 2), "03");
  EXPECT_EQ(byte_at(b, 26), 0x5A);
  EXPECT_EQ(b.substr(28, 2), "G1");
  const catalog::MasterHeader h =
      catalog::decode_master_header(std::span<const uint8_t, 32>(reinterpret_cast<const uint8_t*>(b.data()), 32));
  EXPECT_EQ(std::string(h.second_disc_id.data(), 2), "G1");
  EXPECT_EQ(h.installed_byte, 0x5A);
}

writer::SetSpec jouhou_main() {
  writer::SetSpec s;
  s.name = "JOUHOU.DAT";
  s.kind = 1;
  s.record_length = 186;
  s.key_length = 6;
  for (int i = 0; i < 40; ++i) {
    std::string r = record_with(186, 0, "V" + std::to_string(10000 + i), static_cast<uint32_t>(i));
    r.replace(6, 9, "M" + std::to_string(10000000 + i % 7));  // the second key: 9 bytes at 6
    s.records.push_back(r);
  }
  return s;
}

writer::SetSpec jouhou_alternate() {
  writer::SetSpec s;
  s.name = "JOUHOU.DAT";
  s.level_suffix = "IS";
  s.kind = 2;
  s.key_offset = 6;
  s.key_length = 9;
  s.level_masks = {3, 3, 2};
  return s;
}

TEST(MasterLayout, RootMasterFilesHoldEveryEntryAndCountSharedNames) {
  const writer::FileSet main = writer::build_set(jouhou_main());
  const writer::FileSet alt = writer::build_alternate_set(jouhou_alternate(), main);
  writer::MasterFile root(writer::master_header("20240101", "E1", "01"));
  root.add(writer::place_set(main, 0));
  root.add(writer::place_set(alt, 0));
  const std::string bytes = root.bytes();
  ASSERT_EQ(bytes.size(), 32u + 8 * 32);
  EXPECT_EQ(decode_entry(bytes, 32 + 3 * 32).same_name_count, 2);  // JOUHOU.DAT, twice
  EXPECT_EQ(decode_entry(bytes, 32 + 7 * 32).same_name_count, 2);
  EXPECT_EQ(decode_entry(bytes, 32 + 4 * 32).same_name_count, 1);  // JOUHOU.IS1
  EXPECT_EQ(catalog::entry_name(decode_entry(bytes, 32 + 4 * 32)), "JOUHOU.IS1");
  EXPECT_EQ(decode_entry(bytes, 32 + 7 * 32).kind, 2);
  EXPECT_EQ(decode_entry(bytes, 32 + 7 * 32).key_offset, 6);
  EXPECT_EQ(decode_entry(bytes, 32 + 6 * 32).key_length, 9);   // index key length before the data
  EXPECT_EQ(decode_entry(bytes, 32 + 6 * 32).record_length, 18);  // and the entry length
}

TEST(MasterLayout, CatalogMasterFilesStoreSetsBehindTheirFirstBlock) {
  const writer::FileSet main = writer::build_set(jouhou_main());
  const writer::FileSet alt = writer::build_alternate_set(jouhou_alternate(), main);
  writer::MasterFile master(writer::master_header("20240101", "E1", "01"), true);
  const writer::PlacedSet placed_main = master.store(main, "ZKABC123.MST");
  const writer::PlacedSet placed_alt = master.store(alt, "ZKABC123.MST");
  const std::string bytes = master.bytes();
  ASSERT_GE(bytes.size(), 2048u);
  EXPECT_EQ(bytes.size() % 2048, 0u);
  EXPECT_EQ(bytes.substr(32 + 8 * 32, 2048 - 32 - 8 * 32), std::string(2048 - 32 - 8 * 32, '\0'));
  for (int i = 0; i < 4; ++i) {
    const MasterEntry e = decode_entry(bytes, 32 + 32 * static_cast<size_t>(i));
    EXPECT_EQ(e.location, 2);
    if (e.size == 0) continue;
    EXPECT_GE(e.base_block, 1u);
    const std::string& want = i == 3 ? main.data : main.levels[static_cast<size_t>(i)];
    EXPECT_EQ(bytes.substr(e.base_block * 2048, e.size * 2048), want) << i;
  }
  // The alternate set's data entry names the data file stored before it.
  EXPECT_EQ(placed_alt.entries[3].base_block, placed_main.entries[3].base_block);
  EXPECT_EQ(placed_alt.files[3], "ZKABC123.MST");
  writer::MasterFile full(writer::master_header("20240101", "E1", "01"), true);
  for (int i = 0; i < 15; ++i) full.add(writer::place_set(main, 0));
  EXPECT_THROW(full.add(writer::place_set(main, 0)), std::invalid_argument);  // 64 entries
  EXPECT_THROW(writer::MasterFile(writer::master_header("", "E1", "01")).store(main, "X"), std::invalid_argument);
}

TEST(MasterLayout, HardDiskCopiesKeepTheLevelsInTheTopLevelsFile) {
  writer::SetSpec spec = simple_spec(800, 3);
  spec.records_per_block = 4;
  spec.entries_per_block = 5;
  const writer::FileSet set = writer::build_set(spec);
  const writer::PlacedSet p = writer::place_set(set, 1);
  ASSERT_EQ(p.contents.size(), 2u);
  EXPECT_EQ(p.contents[1].name, "TEST.IA1");
  EXPECT_EQ(p.contents[1].bytes, set.levels[0] + set.levels[1] + set.levels[2]);
  EXPECT_EQ(p.entries[0].base_block, 0u);
  EXPECT_EQ(p.entries[1].base_block, 1u);
  EXPECT_EQ(p.entries[2].base_block, 1u + set.entries[1].size);
  EXPECT_EQ(catalog::entry_name(p.entries[2]), "TEST.IA3");
  EXPECT_EQ(p.files[2], "TEST.IA1");
  for (const auto& e : p.entries) EXPECT_EQ(e.location, 1);
}

TEST(IndexLevels, EntriesCarryUpperCaseKeysAndDecimalChildPointers) {
  writer::SetSpec spec = simple_spec(0, 1);
  spec.records_per_block = 2;
  for (const char* k : {"abc1", "ABC2", "abd1", "x[y1", "x{y1"})
    spec.records.push_back(record_with(24, 2, k, static_cast<uint32_t>(spec.records.size())));
  const writer::FileSet set = writer::build_set(spec);
  ASSERT_EQ(set.entry_length, 13u);
  // One entry per data block with the highest key in it.
  EXPECT_EQ(set.levels[0].substr(0, 39), "ABC2000000001X[Y1000001001X{Y1000002001");
  EXPECT_EQ(set.levels[0].substr(39), std::string(2048 - 39, '\0'));

  spec.level_masks = {2, 3, 3};  // one entry per key, over every block it reaches
  spec.records_per_block = 1;
  spec.records = {record_with(24, 2, "AAAA", 0), record_with(24, 2, "aaaa", 1), record_with(24, 2, "BBBB", 2)};
  EXPECT_EQ(writer::build_set(spec).levels[0].substr(0, 26), "AAAA000000002BBBB000002001");

  spec.level_masks = {3, 3, 3};
  spec.overlap = true;  // each range also takes the block before it
  EXPECT_EQ(writer::build_set(spec).levels[0].substr(0, 39), "AAAA000000001AAAA000000002BBBB000001002");
}

}  // namespace
}  // namespace zk::test
