// The catalog record lookups against discs written by the catalog writer:
// figure and part names, the multi-disc reader, the disc-number table and
// abbreviations, with their log lines and failure paths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "lookup/some_cd_data.h"
#include "support/catalog_fixture.h"
#include "zkall.h"

namespace zk::test {
namespace {

using std::tuple;

RecordLines abbreviations(std::vector<std::string> lines) {
  return {"RYAKUG.DAT", 4, 102, 0, 20, {"20", "2", "80"}, std::move(lines)};
}

writer::SetSpec vehicle_names(std::vector<std::string> lines) {
  writer::SetSpec s = record_set({"SHAMEI.DAT", 1, 97, 23, 6, {"23", "6", "58", "2", "8"}, std::move(lines)});
  s.index_key_length = 5;  // the layout of the built-in file table
  s.level_masks = {3, 3, 2};
  return s;
}

// 80 characters with a blank just behind the 40th: two lines.
const std::string kLine1 = "ANTI-LOCK BRAKING SYSTEM WITH ELECTRONIC";
const std::string kLine2 = "BRAKE FORCE DISTRIBUTION AND ASSISTANCE";
const std::string kLong80 = kLine1 + " " + kLine2;

class LookupTest : public CatalogFixture {
 protected:
  void SetUp() override {
    CatalogFixture::SetUp();
    // E1 (drive D:) holds the names, its abbreviations and vehicle names; E2
    // (in no drive until inserted) other abbreviations; G1 lists its
    // abbreviations on E1; E3 is a copy of E2's edition.
    const auto root = [](const auto& set, const char* dir = "") {
      return writer::RootSet{writer::build_set(set), 0, dir};
    };
    const RecordLines part_names{"HINM01.DAT", 7, 66, 0, 6, {"6", "60"}, {"100120|OIL FILTER"}};
    writer::Disc e1 = disc("E1", "19990401", "01");
    e1.root_sets = {
        root(record_set({"FIGM01.DAT", 14, 71, 0, 7, {"6", "1", "4", "4", "56"},
                         {"4711A0|1||1010|ENGINE BLOCK", "4711A0|1||1020|OIL PUMP AND OIL FILTER",
                          "4711A0|2||2110|CLUTCH", "4711A0|3||2999|GEARBOX", "4711A0|3||1020|NOT THIS ONE",
                          "4711A0|4||3510|" + std::string(56, 'N'), "4711A0|6||9999|LAST FIGURE",
                          "5200B1|1||1030|OTHER CATALOG"}})),
        root(record_set({"HINM01.DAT", 7, 66, 0, 6, {"6", "60"}, {"100010|CYLINDER HEAD", "100120|OIL FILTER"}})),
        root(record_set(abbreviations(
            {"ABS|01|ANTI-LOCK BRAKING SYSTEM", "ABS|03|SYSTEME ANTIBLOCAGE", "ABX|01|" + kLong80}))),
        root(vehicle_names({"SUNLINE|4711A0|SEDAN|B2|19960301", "ROADSTAR|5200B1|COUPE|A1|19970901",
                            "VANGUARD|6100C2|VAN|B2|19980201", "SUNLINE J|4711J0|SEDAN|C3|19960101",
                            "NO DISC|7000A0|TEST||19990101"}))};
    lay_out("E1", e1, 'd');
    writer::Disc e2 = disc("E2", "19990701", "02");
    e2.root_sets = {root(record_set(abbreviations({"ABS|04|ANTIBLOCKIERSYSTEM", "LHD|01|LEFT-HAND DRIVE"})))};
    lay_out("E2", e2, 'e');
    writer::Disc g1 = disc("G1", "19990501", "01");
    g1.root_sets = {root(record_set(abbreviations({"ABS|01|ON E1"})), "E1"), root(record_set(part_names))};
    lay_out("G1", g1, 'f');
    inst.install_catalog("E3", "19990701", "03");
    ASSERT_EQ(drom_check_setup(0), 0);
    ASSERT_EQ(+get_ctop_addr()->disc_count, 5);  // E1 E2 E3 EA G1
  }
  void set_lang(const char* lang) { std::memcpy(get_ctop_addr()->lang, lang, 2); }
  std::string last_log() const { return log().empty() ? "" : log().back(); }
  zkall_ccar& car() { return *get_ccar_addr(); }
};

// Found names, not found ones and a missing language file with its log line.
TEST_F(LookupTest, FigureNamesBySectionOfTheFigureNumber) {
  std::memcpy(car().catalog_code, "4711A0", 6);
  // name: the 56 characters a 71-byte record holds
  struct Case { const char *figure, *lang; int rc, detail; std::string name, report; } cases[] = {
      {"1020", "01", 0, 0, "OIL PUMP AND OIL FILTER", ""},  // passes over 1010, ends in section 1
      {"2110", "01", 0, 0, "CLUTCH", ""},                   // section 2 after section 1
      {"3510", "01", 0, 0, std::string(56, 'N'), ""},      // section 4 only
      {"9999", "01", 0, 0, "LAST FIGURE", ""},              // section 6
      {"1030", "01", -1, 0, "", ""},                        // only in another catalog
      {"5000", "01", -1, 0, "", ""},                        // section 5 is empty
      {"1010", "03", 128, 104, "", "ZKSUBC30,get_figmei,cdopen,(128)(104)(80)"},  // no FIGM03.DAT
  };
  for (const Case& c : cases) {
    set_lang(c.lang);
    char name[60];
    std::memset(name, 'x', sizeof name);
    int32_t detail = -1;
    std::string want = c.rc == 0 ? c.name + std::string(56 - c.name.size(), ' ') : "";  // found: 56 characters
    want.resize(60, '\0');  // nothing is taken from behind the record
    EXPECT_EQ((tuple{get_figmei(c.figure, name, &detail), detail, c.rc > 0 || std::string(name, 60) == want, last_log(),
                     nothing_open()}),
              (tuple{c.rc, c.detail, true, c.report, true})) << c.figure;
  }
}

TEST_F(LookupTest, PartNamesWithTheStatusWord) {
  struct Case { uint16_t status_in; int32_t area, disc; const char *lang, *code; int rc, status_out; std::string name, report; };
  const Case cases[] = {
      {0, 0, 0, "01", "100120", 0, 0, "OIL FILTER", ""},
      {0, 0, 0, "01", "100121", 0, 1, "", ""},               // 60 blanks
      {1, 0, 3, "01", "100010", 0, 0, "CYLINDER HEAD", ""},  // area E's first disc, not the vehicle's
      {0, 0, 4, "01", "100120", 0, 4, "?", ""},              // G1 in no drive: cancelled
      {1, 2, 0, "01", "100120", 14, 1, "?", "ZKSUBC30,get_hinmei,setuped_top_cdno,(14)(1)(172)"},
      {1, 7, 0, "01", "100120", 14, 1, "?", "ZKSUBC30,get_hinmei,GetAreaChar,(14)(7)(167)"},
      {0, 0, 0, "05", "100120", 128, 0, "?", "ZKSUBC30,get_hinmei,HINM05.DAT,(128)(104)(190)"},
  };
  for (const Case& c : cases) {
    get_ctop_addr()->current_area = c.area;
    car().catalog_disc = c.disc;
    set_lang(c.lang);
    char name[60];
    std::memset(name, '?', sizeof name);
    uint16_t status = c.status_in;
    const std::string want = c.name + std::string(60 - c.name.size(), c.name == "?" ? '?' : ' ');
    EXPECT_EQ((tuple{get_hinmei(c.code, name, &status), status, std::string(name, 60), last_log(), nothing_open()}),
              (tuple{c.rc, c.status_out, want, c.report, true})) << c.code << " " << c.report;
  }
  EXPECT_EQ(prompts.size(), 1u);
}

class SomeCdTest : public LookupTest {
 protected:
  int get(const char* key, int32_t mode, const int32_t* discs = nullptr, int32_t count = 0) {
    std::memset(rec, 0, sizeof rec);
    return cdget_some_cd_data("RYAKUG.DAT", nullptr, 4, mode, -1, discs, count, rec, key, 20, 0, nullptr, nullptr,
                              700, &state, &detail);
  }
  static std::string key(const std::string& k) { return k + std::string(20 - k.size(), ' '); }
  std::string found() const { return std::string(rec + 20, 2) + std::string(rec + 22, 20); }
  char rec[2048];
  uint32_t state = 0;
  int32_t detail = -1;
};

TEST_F(SomeCdTest, FirstRecordOrEachRecordOfEachDiscOrOfAListOnce) {
  insert('e', "E2", "19990701");
  EXPECT_EQ((tuple{get(key("LHD").c_str(), 0), found(), state}), (tuple{0, "01LEFT-HAND DRIVE     ", 0u}));  // mode 0: not on E1, the first on E2
  // Mode 2: E3 (the same edition as E2) is never opened, and G1 sends cdopen
  // to E1, already read: neither adds a record or asks for a disc.
  std::vector<std::string> seen;
  int rc;
  while ((rc = get(key("ABS").c_str(), 2)) == 0) {
    EXPECT_NE(state, 0u);
    seen.push_back(found().substr(0, 2));
  }
  EXPECT_EQ((tuple{rc, seen, state, prompts.size()}), (tuple{-1, std::vector<std::string>{"01", "03", "04"}, 0u, 0u}));
  // A list of discs: only E2's record, then the search starts again.
  const int32_t list[] = {1};
  EXPECT_EQ((tuple{get(key("ABS").c_str(), 2, list, 1), found().substr(0, 2), get(key("ABS").c_str(), 2, list, 1),
                   get(key("ABS").c_str(), 2, list, 1)}),
            (tuple{0, "04", -1, 0}));
  EXPECT_EQ(get(nullptr, -1), 0);  // ends the search
  EXPECT_EQ((tuple{state, nothing_open(), lookup::live_searches()}), (tuple{0u, true, 0u}));
}

// A list of no discs and a state word naming no search are refused; the
// word is handed back as 0.
TEST_F(SomeCdTest, RefusalsEndTheSearch) {
  const int32_t list[] = {0};
  EXPECT_EQ((tuple{get(key("LHD").c_str(), 2, list, 0), detail, state}), (tuple{128, 3101, 0u}));
  state = 12345;
  EXPECT_EQ((tuple{get(key("LHD").c_str(), 2), detail, state, lookup::live_searches(), nothing_open()}),
            (tuple{128, 3103, 0u, 0u, true}));
}

TEST_F(LookupTest, AbbreviationsInTheDataLanguage) {
  // meaning: 130 bytes when found
  struct Case { const char *typed, *lang; int32_t disc; int rc, status; std::string meaning, report; } cases[] = {
      {"ABS", "03", 0, 0, 0, "SYSTEME ANTIBLOCAGE" + std::string(21, ' ') + "\r\n", ""},
      {"ABX", "01", 0, 0, 0, kLine1 + "\r\n" + kLine2 + " \r\n", ""},  // 80 characters wrapped at a blank
      {"ABS", "05", 0, 0, 1, "", ""},                                   // no record in language 05
      {"ABS", "01", 1, 0, 4, "", ""},                                   // E2 is in no drive: cancelled
      {"ABS", "01", 2, 128, 0, "", "ZKSUBR01,ryak_get_mean,cdget_some_cd_data,(128)(104)(77)"},  // E3 lists no RYAKUG.DAT
  };
  for (const Case& c : cases) {
    set_lang(c.lang);
    car().abbr_disc = c.disc;
    platform::FrontEndString typed(c.typed), meaning(130, '#');
    uint16_t status = 99;
    std::string want = c.meaning.empty() ? std::string(130, '#') : c.meaning;
    want.resize(130, ' ');
    EXPECT_EQ((tuple{VBryak_get_mean(typed.get(), meaning.get(), &status), status, meaning.str(), last_log(), nothing_open()}),
              (tuple{c.rc, c.status, want, c.report, true})) << c.typed << c.lang;
  }
}

// The table is made from the vehicle names of the disc whose id is given;
// every failure leaves no table.
TEST_F(LookupTest, DiscNumberTableSortedAndNumberedOrNone) {
  std::vector<std::string> eleven;  // disc codes D0 to D9 and E0
  for (int i = 0; i < 11; ++i)
    eleven.push_back("CAR|" + std::to_string(100000 + i) + "|X|" + "DE"[i / 10] + char('0' + i % 10) + "|19990101");
  writer::Disc e2 = disc("E2", "19990701", "02");
  e2.root_sets.push_back({writer::build_set(vehicle_names(eleven)), 0, ""});
  lay_out("E2", e2, 'e');
  struct Case { const char* id; int rc, detail; } cases[] = {
      {"E1", 0, 0},     // E1A1 E2B2 E3C3
      {"E2", 4, 0},     // E2 in no drive: cancelled
      {"E2", 128, 3203} // inserted: eleven disc codes
  };
  for (const Case& c : cases) {
    if (c.rc == 128) insert('e', "E2", "19990701");
    zkall_cdno_entry left_over{};
    zkall_cdno_entry* table = &left_over;
    int32_t count = -1, detail = -1;
    const int rc = cdmake_cdno_table(-1, c.id, nullptr, nullptr, &table, &count, 700, &detail);
    const std::string entries = table == nullptr ? "none" : std::string(reinterpret_cast<const char*>(table), 12);
    if (table != &left_over) std::free(table);
    EXPECT_EQ((tuple{rc, detail, count, entries, nothing_open()}),
              (tuple{c.rc, c.detail, c.rc == 0 ? 3 : 0, c.rc == 0 ? "E1A1E2B2E3C3" : "none", true})) << c.id << " " << c.rc;
  }
}

}  // namespace
}  // namespace zk::test
