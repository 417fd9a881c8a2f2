// The catalog writer: byte layouts of master headers and entries, root and
// catalog master files (entry counts, byte 15, files stored inside),
// hard-disk copies, index entries, the specs it refuses, and whole discs
// laid out and read back through their master files as the opening
// functions will.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "catalog/master_file.h"
#include "catalog_support.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/open_set.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
using catalog::MasterEntry;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

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

TEST(IndexLevels, SpecsThatCannotBeWrittenAreRefused) {
  const struct {
    const char* what;
    std::function<void(writer::SetSpec&)> change;
  } cases[] = {
      {"record of another length", [](writer::SetSpec& s) { s.records[0].pop_back(); }},
      {"record beginning with NUL", [](writer::SetSpec& s) { s.records[0][0] = '\0'; }},
      {"key outside the record", [](writer::SetSpec& s) { s.key_offset = 22; }},
      {"name of 11 characters", [](writer::SetSpec& s) { s.name = "TESTTEST.DA"; }},
      {"four levels", [](writer::SetSpec& s) { s.levels = 4; }},
      {"index key longer than the key", [](writer::SetSpec& s) { s.index_key_length = 5; }},
      {"top level over one block", [](writer::SetSpec& s) { s.records_per_block = 1; s.records.resize(200, s.records[0]); }},
      {"a key in 1000 blocks", [](writer::SetSpec& s) {
         s.level_masks = {2, 3, 3};
         s.records_per_block = 1;
         s.records.assign(1000, s.records[0]);
       }},
      {"index key beginning with NUL", [](writer::SetSpec& s) {
         s.records_per_block = 1;  // the record's key heads an entry of its own
         s.records[0][2] = '\0';
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    writer::SetSpec spec = simple_spec(3, 1);
    c.change(spec);
    EXPECT_THROW(writer::build_set(spec), std::invalid_argument);
  }
  const writer::FileSet main = writer::build_set(jouhou_main());
  writer::SetSpec alt = jouhou_alternate();
  alt.overlap = true;
  EXPECT_THROW(writer::build_alternate_set(alt, main), std::invalid_argument);
}

// A disc laid out whole, then read back the way the opening functions do:
// the master file is decoded, the set's four entries found, its files
// located by their location kind and opened.
class DiscLayoutTest : public CatalogTest {
 protected:
  struct Found {
    std::array<MasterEntry, 4> entries{};
    bool ok = false;
  };
  static Found find(const std::string& master, const std::string& name, size_t limit) {
    Found f;
    for (size_t at = 32 + 3 * 32; at + 32 <= std::min(master.size(), limit); at += 32) {
      if (catalog::entry_name(decode_entry(master, at)) != name) continue;
      for (size_t i = 0; i < 4; ++i) f.entries[i] = decode_entry(master, at - (3 - i) * 32);
      f.ok = true;
      return f;
    }
    return f;
  }
  std::string first_record(const Found& f, const std::array<std::string, 4>& paths, const std::string& key) {
    zkall_cd_handle* raw = nullptr;
    int32_t d = 0;
    EXPECT_EQ(writer::open_set_files(f.entries, paths, 0, &raw, d), 0);
    Handle h(raw);
    std::string buf(static_cast<size_t>(h->record_length), '\0');
    if (cdread(buf.data(), key.data(), static_cast<int32_t>(key.size()), 0, nullptr, nullptr, h.get(), &d) != 0)
      return {};
    return buf;
  }
};

writer::SetSpec named(const std::string& name, int records) {
  writer::SetSpec s = simple_spec(records, 2);
  s.name = name;
  s.records_per_block = 3;
  return s;
}

TEST_F(DiscLayoutTest, ADiscAndItsInstalledDirectoryReadBackThroughTheirMasterFiles) {
  writer::Disc disc;
  disc.header = writer::master_header("20240301", "E1", "01", 7, "E1");
  disc.root_sets.push_back({writer::build_set(named("SHAMEI.DAT", 50)), 0, ""});
  disc.root_sets.push_back({writer::build_set(named("HINM01.DAT", 60)), 1, ""});
  disc.root_sets.push_back({writer::build_set(named("FIGM01.DAT", 10)), 0, "E2"});
  writer::CatalogDir cat{"ABC123", {}};
  cat.sets.push_back({writer::build_set(named("EMINDE.DAT", 30)), 2});
  cat.sets.push_back({writer::build_set(named("BUINDE.DAT", 40)), 0});
  disc.catalogs.push_back(cat);
  const fs::path installed = dir_.path() / "ecmst" / "E1";
  const fs::path cd = dir_.path() / "cdrom";
  writer::lay_out_disc(disc, installed.string(), cd.string());

  EXPECT_TRUE(fs::exists(cd / "SHAMEI.DAT"));
  EXPECT_TRUE(fs::exists(cd / "SHAMEI.IA1"));
  EXPECT_TRUE(fs::exists(installed / "HINM01.DAT"));
  EXPECT_TRUE(fs::exists(installed / "HINM01.IA1"));
  EXPECT_FALSE(fs::exists(installed / "HINM01.IA2"));  // stored in the top level's file
  EXPECT_FALSE(fs::exists(cd / "FIGM01.DAT"));         // lies on another disc
  EXPECT_TRUE(fs::exists(cd / "ABC123" / "BUINDE.DAT"));
  EXPECT_FALSE(fs::exists(cd / "ABC123" / "EMINDE.DAT"));

  const std::string root = slurp(installed / "ZKROOTMF.MST");
  ASSERT_EQ(root.size(), 32u + 12 * 32);
  EXPECT_EQ(root.substr(22, 4), "E101");
  EXPECT_EQ(root.substr(28, 2), "E1");

  const Found shamei = find(root, "SHAMEI.DAT", root.size());
  ASSERT_TRUE(shamei.ok);
  EXPECT_EQ(shamei.entries[3].location, 0);
  EXPECT_EQ(first_record(shamei, {(cd / "SHAMEI.IA1").string(), (cd / "SHAMEI.IA2").string(), "",
                                  (cd / "SHAMEI.DAT").string()},
                         "K042"),
            named("SHAMEI.DAT", 50).records[42]);

  const Found hinm = find(root, "HINM01.DAT", root.size());
  ASSERT_TRUE(hinm.ok);
  EXPECT_EQ(hinm.entries[1].location, 1);
  const std::string top = (installed / "HINM01.IA1").string();
  EXPECT_EQ(first_record(hinm, {top, top, top, (installed / "HINM01.DAT").string()}, "K059"),
            named("HINM01.DAT", 60).records[59]);

  const Found figm = find(root, "FIGM01.DAT", root.size());
  ASSERT_TRUE(figm.ok);
  for (const auto& e : figm.entries) EXPECT_EQ(std::string(e.disc_id.data(), 2), "E2");

  const std::string master = slurp(installed / "ZKABC123.MST");
  ASSERT_GE(master.size(), 2048u);
  const Found eminde = find(master, "EMINDE.DAT", 2048);
  ASSERT_TRUE(eminde.ok);
  EXPECT_EQ(eminde.entries[3].location, 2);
  const std::string mst = (installed / "ZKABC123.MST").string();
  EXPECT_EQ(first_record(eminde, {mst, mst, mst, mst}, "K007"), named("EMINDE.DAT", 30).records[7]);
  const Found buinde = find(master, "BUINDE.DAT", 2048);
  ASSERT_TRUE(buinde.ok);
  const fs::path bdir = cd / "ABC123";
  EXPECT_EQ(first_record(buinde, {(bdir / "BUINDE.IA1").string(), (bdir / "BUINDE.IA2").string(), "",
                                  (bdir / "BUINDE.DAT").string()},
                         "K039"),
            named("BUINDE.DAT", 40).records[39]);
}

TEST_F(DiscLayoutTest, AFrameNumberDiscGetsItsOwnMasterFileName) {
  writer::Disc disc;
  disc.header = writer::master_header("20240301", "EA", "01");
  disc.root_sets.push_back({writer::build_set(named("FRAMNO.DAT", 20)), 1, ""});
  const fs::path frame = dir_.path() / "framewld" / "EA";
  writer::lay_out_disc(disc, frame.string(), (dir_.path() / "cd").string(), catalog::kFrameMasterName);
  const std::string master = slurp(frame / "ZKFRNOMF.MST");
  ASSERT_EQ(master.size(), 32u + 4 * 32);
  EXPECT_EQ(catalog::entry_name(decode_entry(master, 32 + 3 * 32)), "FRAMNO.DAT");
  EXPECT_FALSE(fs::exists(frame / "ZKROOTMF.MST"));
}

}  // namespace
}  // namespace zk::test
