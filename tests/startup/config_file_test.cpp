// Reading ZKDROM.SYS: every keyword, its limits, its log line, and the fine
// points of keys, values, line ends and the finishing steps.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "startup/config_file.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;

class ConfigFileTest : public ::testing::Test {
 protected:
  // Writes the file, makes a fresh block and reads the file into it (the
  // reader alone: the texts drom_init loads next are not needed here).
  zkall_ctop* start(const Lines& lines, const std::string& eol = "\n") {
    inst.write_config(lines, eol);
    EXPECT_EQ(set_table(), 0);
    EXPECT_EQ(startup::read_config_file(), 0);
    return get_ctop_addr();
  }
  Installation inst;
};

// One field of the block as text, chosen by a letter.
std::string field(const zkall_ctop* c, char f) {
  std::string s;
  switch (f) {
    case 'r': return c->ecram_path;
    case 'm': return c->ecmst_path;
    case 'p': return c->price_path;
    case 'l': return c->localp_path;
    case 'a': return std::to_string(c->current_area);
    case 's': return c->expgfsad;
    case 'L': return c->lang + std::to_string(c->lang_no) + c->menu_lang + std::to_string(c->menu_lang_no);
    case 'd':  // the count, then each entry
      s = std::to_string(c->drive_count) + std::to_string(c->drive_count_high);
      for (int i = 0; i < 10 && c->drives[i][0]; ++i) s += std::string(" ") + c->drives[i][0] + c->drives[i][1];
      return s;
    case 'e':
      for (const auto& slot : c->ecmstall) s += std::string(slot) + "/";
      return s;
    default:
      for (const auto& slot : c->expgpnho) s += std::string(slot) + "/";
      return s;
  }
}

// A missing file is logged and start-up goes on. An empty file keeps the
// defaults (the paths it does not clear stay) and still runs the finishing
// steps: an empty price directory becomes ecmst_path, itself empty here.
TEST_F(ConfigFileTest, EmptyFileKeepsTheDefaultsAndEveryKeywordLandsInItsField) {
  ASSERT_EQ(set_table(), 0);
  EXPECT_EQ(startup::read_config_file(), 0);
  EXPECT_EQ(inst.log_reports(), Lines{"ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)"});
  std::filesystem::remove(inst.cwd() / "ZKERROR.LOG");
  zkall_ctop* c = get_ctop_addr();
  std::memset(c->price_path, 'x', 64);
  std::memset(c->ecfil_path, 'y', 8);
  inst.write_config({});
  EXPECT_EQ(startup::read_config_file(), 0);
  EXPECT_EQ(field(c, 'L') + field(c, 'a') + field(c, 'd') + field(c, 'p'), "011011" "0" "00");
  EXPECT_EQ(std::string(c->ecfil_path, 8), "yyyyyyyy");

  c = start({"ECRAM=c:\\work", "LANGUAGE=french", "MENULANG=GERMANY", "ECFIL=C:\\ZK", "PRICE=p:", "LOCALP=L:",
             "ECMST=C:\\CAT\\MST", "FRAMEWLD=c:\\frame\\world", "FRAMEJPN=C:\\FRAME\\JPN", "EXPGFSAD=some text"});
  EXPECT_EQ(field(c, 'r') + "|" + field(c, 'L') + "|" + c->ecfil_path + "|" + field(c, 'p') + "|" + field(c, 'l') +
                "|" + c->framewld_path + "|" + c->framejpn_path + "|" + field(c, 's'),
            "C:\\WORK|033044|C:\\ZK|P:\\CAT\\MST|L:\\CAT\\MST|C:\\FRAME\\WORLD|C:\\FRAME\\JPN|SOME TEXT");
  EXPECT_TRUE(inst.log_lines().empty());
}

// Lines read without complaint, and the value they leave in one field.
TEST_F(ConfigFileTest, AcceptedLinesAndTheValueTheyLeave) {
  std::string ten_items, eleven_drives = "CDROM=";
  for (int i = 0; i < 10; ++i) ten_items += "item" + std::to_string(i) + ",";
  for (char l = 'd'; l <= 'n'; ++l) eleven_drives += std::string(1, l) + ":,";
  const struct { Lines lines; char field; std::string want; const char* eol = "\n"; } cases[] = {
      // Keys match exactly: case, blanks and longer keys are other keys.
      {{"ecram=C:\\LOWER", "ECRAM = C:\\BLANKS", "ECRAMX=C:\\LONGER", "UNKNOWN=1"}, 'r', ""},
      // 63 characters and the line feed: 64, accepted; without a line feed
      // the 64th character gives way to the terminator.
      {{"ECRAM=C:\\" + std::string(60, 'A')}, 'r', "C:\\" + std::string(60, 'A')},
      {{"ECRAM=" + std::string(64, 'W')}, 'r', std::string(63, 'W'), ""},
      // Only the inner stretches of a path are measured.
      {{"ECMST=C:\\DATA\\CATALOGUE9"}, 'm', "C:\\DATA\\CATALOGUE9"},
      {{"ECMST=C:\\12345678\\X"}, 'm', "C:\\12345678\\X"},
      // The price directories follow the installed directory.
      {{"PRICE=D:", "ECMST=C:\\CAT\\MST"}, 'p', "D:\\CAT\\MST"},
      // An unknown area letter is no error; the letter is upper-cased first.
      {{"CRNTAREA=X"}, 'a', "-1"}, {{"CRNTAREA=j"}, 'a', "3", "\r\n"},  // "J" and LF: 2 characters
      // Language words match by their beginning.
      {{"LANGUAGE=ENGLISHMAN", "MENULANG=Spanish"}, 'L', "011055"},
      {{"LANGUAGE= anything", "MENULANG=OTHER"}, 'L', "066099"},
      // Catalog drives are only those that exist (E: without a disc does); at most ten.
      {{"CDROM=Q:,D:,e:,X"}, 'd', "20 D: E:"}, {{eleven_drives}, 'd', "100 D: E: F: G: H: I: J: K: L: M:"},
      // ECMSTALL: area->drive items; the scan goes on behind a drive that is
      // itself an area letter; an item cut short sets nothing.
      {{"ECMSTALL=E->F,U->G"}, 'e', "F//G//"}, {{"ECMSTALL=x,G::H,,J=>K"}, 'e', "/H//K/"},
      {{"ECMSTALL=E->"}, 'e', "////"},
      // Eight slots, not upper-cased; the last character copied gives way to
      // the terminator: with more items the last of the eighth.
      {{"EXPGPNHO=" + ten_items}, 'x', "item0/item1/item2/item3/item4/item5/item6/item/"},
      {{"EXPGPNHO=" + std::string(243, 'a') + ",b"}, 'x', std::string(243, 'a') + "/b///////"},
      // EXPGFSAD allows 256, more than a 255-character line leaves after its key.
      {{"EXPGFSAD=" + std::string(245, 's')}, 's', std::string(245, 'S')},
  };
  for (char l = 'd'; l <= 'n'; ++l) inst.add_drive(l);
  inst.empty_drive('e');
  for (const auto& k : cases) {
    SCOPED_TRACE(k.lines[0]);
    EXPECT_EQ(field(start(k.lines, k.eol), k.field), k.want);
    EXPECT_TRUE(inst.log_lines().empty());
  }
}

// A refused line: its log line; settings before it stay, later lines are not
// applied and the finishing steps do not run.
TEST_F(ConfigFileTest, RefusedLinesAreLoggedAndStopTheReading) {
  const std::string k64(64, 'A');
  const std::pair<std::string, std::string> cases[] = {
      {"NO EQUALS SIGN", "NO EQUALS SIGN,(2)(0)(434)"}, {"ECMST=C:\\DATA\x01", "C:\\DATA\x01,(6)(0)(486)"},
      {"ECRAM=c:\\catalogue9\\data", "C:\\CATALOGUE9\\DATA,(4)(0)(465)"},  // an inner stretch of 10
      {"LANGUAGE=ENGL", "ENGL,(7)(0)(509)"}, {"MENULANG=klingon", "KLINGON,(8)(0)(534)"},
      {"ECFIL=" + k64, k64 + ",(9)(0)(568)"},  // 64 characters and the line feed: 65
      {"PRICE=1:", "1:,(11)(0)(593)"}, {"CRNTAREA=USA", "USA,(13)(0)(620)"}, {"FRAMEWLD=" + k64, k64 + ",(16)(0)(645)"},
      // 300 characters: the reader sees 255, then the rest as a line of its
      // own, which holds no "=".
      {"EXPGFSAD=" + std::string(291, 's'), std::string(45, 's') + ",(2)(0)(434)"}};
  for (const auto& [line, report] : cases) {
    SCOPED_TRACE(line);
    std::filesystem::remove(inst.cwd() / "ZKERROR.LOG");
    zkall_ctop* c = start({"ECFIL=C:\\BEFORE", line, "ECRAM=C:\\AFTER", "PRICE=D:"});
    EXPECT_EQ(inst.log_reports(), Lines{"ZKDROM,kankyo_set," + report});
    EXPECT_EQ(std::string(c->ecfil_path) + field(c, 'r') + field(c, 'p'), "C:\\BEFORE");
  }
}

}  // namespace
}  // namespace zk::test
