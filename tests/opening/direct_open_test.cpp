// cdopen_direct and cdfile_get: the built-in file table, sizes from the file
// system, levels found on the disc, and the refusals (failures of the files'
// operations are the fault-injection loop's).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>

#include "opening_support.h"
#include "tools/writer/master_writer.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

class DirectOpenTest : public OpeningTest {
 protected:
  // Writes a set's files of their own into drive D:'s root (or a catalog
  // directory there).
  void put_on_disc(const writer::FileSet& set, const std::string& dir = "") {
    const writer::PlacedSet placed = writer::place_set(set, 0);
    writer::write_files((inst.drive_root('d') / dir).string(), placed.contents);
  }
  int open(const char* name, uint8_t kind = 1, uint32_t base = 0, uint32_t size = 0, const char* code = nullptr,
           int32_t mode = 0) {
    return cdopen_direct(name, code, kind, mode, -1, "E1", "01", "19990401", base, size, 700, &handle.h, &detail);
  }
  OpenHandle handle;
  int32_t detail = -1;
};

// The three index sets of JOUHOU.DAT: records of 186 bytes, the main key at
// 0 (6), a second key at 6 (9) and a third at 15 (15).
std::string jouhou_record(int i) {
  char head[64];
  std::snprintf(head, sizeof head, "%06dVIN%06dFRAME%010d", 500000 + i, 900000 - i, 777 * i);
  std::string rec = std::string(head) + "vehicle data";
  rec.resize(186, ' ');
  return rec;
}

TEST_F(DirectOpenTest, AlternateIndexSetsOfOneDataFile) {
  writer::SetSpec main;
  std::tie(main.name, main.kind, main.record_length, main.key_length, main.index_key_length) =
      std::make_tuple("JOUHOU.DAT", 1, 186, 6, 5);
  for (int i = 0; i < 40; ++i) main.records.push_back(jouhou_record(i));
  const writer::FileSet ia = writer::build_set(main);
  writer::SetSpec by_vin = main;
  std::tie(by_vin.kind, by_vin.level_suffix, by_vin.key_offset, by_vin.key_length, by_vin.index_key_length) =
      std::make_tuple(2, "IS", 6, 9, 9);
  by_vin.level_masks = {3, 3, 2};
  put_on_disc(ia);
  put_on_disc(writer::build_alternate_set(by_vin, ia));

  // Key length, offset, index key length, entry length, file kind, direct
  // flag, requested disc, installed index and drive.
  const auto fields = [](const zkall_cd_handle* h) {
    return std::vector<int32_t>{h->key_length, h->key_offset, h->index_key_length, h->entry_length, h->file_kind,
                                h->direct_flag, h->requested_disc, h->disc_index, h->drive_index};
  };
  ASSERT_EQ(open("JOUHOU.DAT", 2), 0);
  EXPECT_EQ(fields(handle.h), (std::vector<int32_t>{9, 6, 9, 18, 2, 1, -1, -1, 0}));
  EXPECT_EQ(read_one(handle.h, "VIN899990"), jouhou_record(10));
  cdclose(&handle.h, nullptr);
  ASSERT_EQ(open("JOUHOU.DAT", 1), 0);
  EXPECT_EQ(fields(handle.h), (std::vector<int32_t>{6, 0, 5, 14, 1, 1, -1, -1, 0}));
  EXPECT_EQ(read_one(handle.h, "500033"), jouhou_record(33));
}

TEST_F(DirectOpenTest, OnlyTheLevelsFoundOnTheDiscAreUsed) {
  // The table says three levels; the disc holds only a top level, whose
  // pointers lead straight into the data file.
  put_on_disc(writer::build_set(part_names("HINM01.DAT", 30, 1)));
  ASSERT_EQ(open("HINM01.DAT", 7), 0);
  // Level count, the middle level's descriptor, the top level's scan count, the detail.
  EXPECT_EQ((std::vector<int64_t>{handle.h->level_count, handle.h->levels[1].fd, handle.h->levels[0].scan_count, detail}),
            (std::vector<int64_t>{1, -1, 1, 0}));
  EXPECT_EQ(read_one(handle.h, "100133"), part_name_record(100133));
  cdclose(&handle.h, nullptr);
  // Without any level file the set has none.
  fs::remove(inst.drive_root('d') / "HINM01.IA1");
  ASSERT_EQ(open("HINM01.DAT", 7), 0);
  EXPECT_EQ(handle.h->level_count, 0);
  EXPECT_EQ(read_one(handle.h, "100133"), "cdread -1/0");  // a keyed read needs an index
  EXPECT_EQ(cdseek_key("100133", 6, handle.h, &detail), -1);
}

TEST_F(DirectOpenTest, AGivenSizeOpensTheDataFileAloneFromItsBase) {
  put_on_disc(writer::build_set(part_names("HINM01.DAT", 30)));
  ASSERT_EQ(open("HINM01.DAT", 7, 2, 100), 0);
  const zkall_cd_level* l = handle.h->levels;
  EXPECT_EQ((std::vector<int64_t>{cdfilelen(handle.h), l[3].base_block, l[0].fd, l[1].fd, l[2].fd}),
            (std::vector<int64_t>{100, 2, -1, -1, -1}));
  // Unkeyed reading starts at the base block: the third block's first record.
  char rec[66];
  ASSERT_EQ(cdread(rec, nullptr, 0, 0, nullptr, nullptr, handle.h, &detail), 0);
  EXPECT_EQ(std::string(rec, 66), part_name_record(100000 + 8 * 7));
}

TEST_F(DirectOpenTest, ANameOutsideTheTableOpensForBlockReading) {
  const std::string bytes = std::string(2048, 'a') + std::string(2048, 'b') + std::string(2048, 'c');
  inst.write('d', "PICTUR.BIN", bytes);
  ASSERT_EQ(open("PICTUR.BIN", 0, 0, 0, nullptr, 1), 0);
  zkall_cd_handle* h = handle.h;
  EXPECT_EQ((std::vector<int64_t>{h->block_size, h->level_count, h->record_length, cdfilelen(h)}),
            (std::vector<int64_t>{2048, 0, 0, 3}));
  std::string buf(2 * 2048, '?'), got;
  int32_t delivered = 0;
  for (int r = 0; (r = cdread(buf.data(), nullptr, 0, 2, &delivered, nullptr, h, &detail)) != -1;) {
    ASSERT_EQ(r, 0);
    got += buf.substr(0, static_cast<size_t>(delivered) * 2048);
  }
  EXPECT_EQ(got, bytes);
}

TEST_F(DirectOpenTest, CatalogRangeAndDirectory) {
  writer::SetSpec s = part_names("HINBAN.DAT", 20);
  s.record_length = 256;
  s.key_offset = 6;
  s.records.clear();
  for (int i = 0; i < 20; ++i) s.records.push_back("4711A0" + part_name_record(300000 + i) + std::string(184, ' '));
  put_on_disc(writer::build_set(s), "4711A0");
  ASSERT_EQ(open("HINBAN.DAT", 7, 0, 0, "4711A0"), 0);
  EXPECT_EQ((std::vector<int32_t>{handle.h->catalog_flag, handle.h->record_length, handle.h->key_offset}),
            (std::vector<int32_t>{1, 256, 6}));
  EXPECT_EQ(read_one(handle.h, "300011").substr(6, 66), part_name_record(300011));
  cdclose(&handle.h, nullptr);
  // Without the code the root range is searched, where HINBAN is unknown,
  // and the file is looked for in the root, where it is missing.
  EXPECT_EQ(rd(open("HINBAN.DAT", 7), detail), "11/2");
}

TEST_F(DirectOpenTest, RefusalsAndFailures) {
  for (const char* disc : {static_cast<const char*>(nullptr), "\x1f" "1"}) {
    EXPECT_EQ(rd(cdopen_direct("SHAMEI.DAT", nullptr, 1, 0, -1, disc, nullptr, nullptr, 0, 0, 700, &handle.h, &detail), detail), "128/201");
  }
  EXPECT_EQ(rd(open("SHAMEI.DAT"), detail), "11/2");
  // The table's first row, SHAMEI's top level, opens with its 14-byte entries as records.
  inst.write('d', "SHAMEI.IA1", std::string(2048, '\0'));
  ASSERT_EQ(open("SHAMEI.IA1"), 0);
  EXPECT_EQ(handle.h->record_length, 14);
  EXPECT_TRUE(prompts.empty());
}

// ---- file sizes on the disc ------------------------------------------------------

// cdfile_get: "result/detail size" (the size when it is given; E: has no disc).
TEST_F(DirectOpenTest, FileSizesInBlocks) {
  inst.write('d', "ONE.DAT", std::string(2049, 'x'));
  inst.write('d', "EMPTY.DAT", "");
  inst.write('d', "4711A0\\TWO.DAT", std::string(4096, 'x'));
  const struct { const char* name, *code; int32_t drive; bool size_out; const char* want; } cases[] = {
      {"ONE.DAT", nullptr, 0, true, "0/0 2"},       {"EMPTY.DAT", nullptr, 0, true, "0/0 0"},
      {"TWO.DAT", "4711A0", 0, true, "0/0 2"},      {"NONE.DAT", nullptr, 0, true, "-1/2 0"},
      {"TWO.DAT", "9999Z9", 0, true, "-1/3 0"},     {"ONE.DAT", nullptr, 1, true, "128/21"},
      {"ONE.DAT", nullptr, 0, false, "128/2102"}, {"ONE.DAT", nullptr, 12, true, "128/2104"},
  };
  for (const auto& c : cases) {
    uint32_t size = 99;
    const int r = cdfile_get(c.name, c.code, c.drive, &detail, c.size_out ? &size : nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(rd(r, detail) + (r == 128 ? "" : " " + std::to_string(size)), c.want) << c.name << " " << c.drive;
  }
}

}  // namespace
}  // namespace zk::test
