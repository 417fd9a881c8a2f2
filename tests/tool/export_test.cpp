// zkall export of the demo installation, its discs ISO images: every record
// the description holds is in its set's table, the named columns carry the
// fields, every illustration is a PNG with its coded texts, and a disc that
// is in no drive is skipped without a prompt.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "tools/zkall/build.h"
#include "tools/zkall/description.h"
#include "tools/zkall/export.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

// The rows of a query, each row's columns joined by '|'.
std::vector<std::string> query(const fs::path& db, const std::string& sql) {
  sqlite3* h = nullptr;
  sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
  std::vector<std::string> rows;
  sqlite3_stmt* st = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(h) << ": " << sql;
  while (st && sqlite3_step(st) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
      row += (i ? "|" : "") + std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
    }
    rows.push_back(row);
  }
  sqlite3_finalize(st);
  sqlite3_close(h);
  return rows;
}

// First with disc E2 in no drive: its sets and illustrations are skipped
// without a prompt. Then with every disc at hand.
TEST(ExportTest, EveryRecordOfEverySetWithItsNamedColumnsAndIllustrations) {
  std::ifstream in(ZKALL_SOURCE_DIR "/data/demo/installation.zkd");
  std::stringstream text, summary;
  text << in.rdbuf();
  const tool::Description demo = tool::parse_description(text.str());
  TempDir dir;
  tool::build_installation(demo, dir.path(), summary, /*iso=*/true);
  const auto run = [&](const fs::path& db, const fs::path& images) {
    TestPlatform p((dir.path() / "dosdevices").string());
    ScopedPlatform installed(p);
    ScopedCwd in_front(dir.path() / "front");
    return tool::export_installation(db, images, summary, false);
  };
  const fs::path partial = dir.path() / "partial.sqlite";
  tool::ExportCounts c = run(partial, {});
  EXPECT_EQ(query(partial, "SELECT catalog, file FROM sets WHERE status = 'disc not at hand' ORDER BY 1, 2"),
            (std::vector<std::string>{"|HINM01.DAT", "|IMAGEF.DAT", "6100C2|HINBAN.DAT"}));
  EXPECT_EQ(c.skipped, 4);
  EXPECT_EQ(query(partial, "SELECT count(*) FROM illustrations WHERE disc = 'E2'"), std::vector<std::string>{"0"});
  EXPECT_NE(summary.str().find("disc E2 catalog 6100C2 HINBAN.DAT: disc not at hand"), std::string::npos);

  tool::change_disc(dir.path(), 'F', "E2");
  const fs::path db = dir.path() / "demo.sqlite";
  c = run(db, dir.path() / "png");
  EXPECT_EQ(c.skipped, 1) << summary.str();  // J1's abbreviations, which lie on E1

  size_t sets = 0;
  for (const auto& s : demo.sets) {
    if (s.where == tool::Where::OtherDisc) continue;
    const std::string table = s.disc + "_" + (s.catalog.empty() ? "" : s.catalog + "_") + s.name.substr(0, 6);
    std::vector<std::string> want = s.records;
    std::sort(want.begin(), want.end());
    std::vector<std::string> tables = {table};  // and one per alternate index over the same records
    for (const auto& alt : s.alternates) tables.push_back(table + "_k" + std::to_string(alt.kind));
    for (const std::string& t : tables) {
      SCOPED_TRACE(t);
      EXPECT_EQ(query(db, "SELECT record FROM \"" + t + "\" ORDER BY record"), want);
      ++sets;
    }
  }
  EXPECT_EQ(static_cast<size_t>(c.sets), sets + demo.hd_sets.size() - 1);  // PRICE3.D is in no configured master

  const struct { const char* sql; std::vector<std::string> rows; } named[] = {
      {"SELECT part_name FROM E1_HINM01 WHERE part_name_code = '100120'", {"OIL FILTER"}},
      {"SELECT meaning FROM E1_RYAKUG WHERE abbreviation = 'ABS' AND language = '01'", {"ANTI-LOCK BRAKING SYSTEM"}},
      {"SELECT catalog_code, disc_number FROM E2_SHAMEI ORDER BY 1", {"4711A0|01", "5200B1|01", "6100C2|02"}},
      {"SELECT price FROM PRICE_KAKAKU WHERE part_number = '1561047110A2'", {"00001250"}},
      {"SELECT records, status FROM sets WHERE disc = 'J1' AND file = 'RYAKUG.DAT'",
       {"0|lies on disc E1, exported there"}},
      {"SELECT count(*) FROM coded_texts WHERE location = '000000006'", {"9"}},
      {"SELECT vin_key, produced_from, produced_to_2 FROM E1_JOUHOU_k3 WHERE code_15 = 'SL16GL-4AT-LHD'",
       {"SZKSL16GL|9801|9912"}},
  };
  for (const auto& q : named) EXPECT_EQ(query(db, q.sql), q.rows) << q.sql;

  size_t images = 0;
  for (const auto& im : demo.images) images += im.images.size();
  const auto listed = tool::read_illustrations(dir.path());
  ASSERT_EQ(listed.size(), images);
  for (const auto& e : listed) {
    EXPECT_EQ(query(db, "SELECT identifier FROM illustrations WHERE disc = '" + e.disc + "' AND location = '" +
                            e.location + "'"),
              std::vector<std::string>{e.ident});
    EXPECT_TRUE(fs::file_size(dir.path() / "png" / (e.disc + "_" + e.location + ".png")) > 0);
  }
  EXPECT_EQ(c.pngs, static_cast<int>(images));
}

}  // namespace
}  // namespace zk::test
