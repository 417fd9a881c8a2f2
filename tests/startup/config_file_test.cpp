// Reading ZKDROM.SYS: every keyword, its limits, its log line, and the fine
// points of keys, values, line ends and the finishing steps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "startup/common_areas.h"
#include "startup/config_file.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

class ConfigFileTest : public ::testing::Test {
 protected:
  // Writes the file, makes a fresh block and reads the file into it (the
  // reader alone: the texts drom_init loads next are not needed here).
  zkall_ctop* start(const std::vector<std::string>& lines, const std::string& eol = "\n") {
    inst.write_config(lines, eol);
    EXPECT_EQ(set_table(), 0);
    EXPECT_EQ(startup::read_config_file(), 0);
    return get_ctop_addr();
  }
  Installation inst;
};

TEST_F(ConfigFileTest, EmptyFileKeepsTheDefaultsAndStillFinishes) {
  ASSERT_EQ(set_table(), 0);
  zkall_ctop* c = get_ctop_addr();
  std::memset(c->price_path, 'x', 64);  // defaults clear these
  std::memset(c->ecfil_path, 'y', 8);   // ... but not these
  inst.write_config({});
  EXPECT_EQ(startup::read_config_file(), 0);
  EXPECT_STREQ(c->lang, "01");
  EXPECT_STREQ(c->menu_lang, "01");
  EXPECT_EQ(+c->lang_no, 1);
  EXPECT_EQ(+c->menu_lang_no, 1);
  EXPECT_EQ(+c->current_area, 0);
  EXPECT_EQ(c->drive_count, 0);
  EXPECT_EQ(std::string(c->ecfil_path, 8), "yyyyyyyy");
  EXPECT_TRUE(inst.log_lines().empty());
  // The finishing steps ran: an empty price directory became ecmst_path
  // (itself empty here) instead of staying "xxx...".
  EXPECT_EQ(c->price_path[0], '\0');
}

TEST_F(ConfigFileTest, EveryKeywordLandsInItsField) {
  zkall_ctop* c = start({"ECRAM=c:\\work", "ECMST=C:\\CAT\\MST", "LANGUAGE=french", "MENULANG=GERMANY",
                         "ECFIL=C:\\ZK", "PRICE=p:", "LOCALP=L:", "CRNTAREA=U", "ECMSTALL=E->F,U->G",
                         "FRAMEWLD=c:\\frame\\world", "FRAMEJPN=C:\\FRAME\\JPN", "EXPGFSAD=some text"});
  EXPECT_STREQ(c->ecram_path, "C:\\WORK");
  EXPECT_STREQ(c->ecmst_path, "C:\\CAT\\MST");
  EXPECT_STREQ(c->lang, "03");
  EXPECT_EQ(+c->lang_no, 3);
  EXPECT_STREQ(c->menu_lang, "04");
  EXPECT_EQ(+c->menu_lang_no, 4);
  EXPECT_STREQ(c->ecfil_path, "C:\\ZK");
  EXPECT_STREQ(c->price_path, "P:\\CAT\\MST");
  EXPECT_STREQ(c->localp_path, "L:\\CAT\\MST");
  EXPECT_EQ(+c->current_area, 2);
  EXPECT_STREQ(c->ecmstall[0], "F");
  EXPECT_STREQ(c->ecmstall[1], "");
  EXPECT_STREQ(c->ecmstall[2], "G");
  EXPECT_STREQ(c->framewld_path, "C:\\FRAME\\WORLD");
  EXPECT_STREQ(c->framejpn_path, "C:\\FRAME\\JPN");
  EXPECT_STREQ(c->expgfsad, "SOME TEXT");
  EXPECT_TRUE(inst.log_lines().empty());
}

// Lines read without complaint, and the value they leave in one field.
TEST_F(ConfigFileTest, AcceptedLinesAndTheValueTheyLeave) {
  using Field = std::string (*)(const zkall_ctop*);
  const Field ecram = [](const zkall_ctop* c) { return std::string(c->ecram_path); };
  const Field ecmst = [](const zkall_ctop* c) { return std::string(c->ecmst_path); };
  const Field price = [](const zkall_ctop* c) { return std::string(c->price_path); };
  const Field localp = [](const zkall_ctop* c) { return std::string(c->localp_path); };
  const Field area = [](const zkall_ctop* c) { return std::to_string(c->current_area); };
  const Field drives = [](const zkall_ctop* c) {  // the count, then each entry
    std::string s = std::to_string(c->drive_count) + std::to_string(c->drive_count_high);
    for (int i = 0; i < 10 && c->drives[i][0]; ++i) s += std::string(" ") + c->drives[i][0] + c->drives[i][1];
    return s;
  };
  const Field ecmstall = [](const zkall_ctop* c) {
    return std::string(c->ecmstall[0]) + "/" + c->ecmstall[1] + "/" + c->ecmstall[2] + "/" + c->ecmstall[3];
  };
  const Field expgpnho = [](const zkall_ctop* c) {
    std::string s;
    for (const auto& slot : c->expgpnho) s += std::string(slot) + "/";
    return s;
  };
  const Field expgfsad = [](const zkall_ctop* c) { return std::string(c->expgfsad); };
  const Field lang = [](const zkall_ctop* c) {
    return std::string(c->lang) + std::to_string(c->lang_no) + c->menu_lang + std::to_string(c->menu_lang_no);
  };
  std::string ten_items, eleven_drives = "CDROM=";
  for (int i = 0; i < 10; ++i) ten_items += "item" + std::to_string(i) + ",";
  for (char l = 'd'; l <= 'n'; ++l) eleven_drives += std::string(1, l) + ":,";
  const struct {
    std::vector<std::string> lines;
    Field field;
    std::string want;
    const char* eol = "\n";
  } cases[] = {
      // Keys match exactly: case, blanks and longer keys are other keys.
      {{"ecram=C:\\LOWER", "ECRAM = C:\\BLANKS", "ECRAMX=C:\\LONGER", "UNKNOWN=1"}, ecram, ""},
      {{"ECRAM=C:\\WORK"}, ecram, "C:\\WORK", "\r\n"},
      // 63 characters and the line feed: 64, accepted; without a line feed
      // the 64th character gives way to the terminator.
      {{"ECRAM=C:\\" + std::string(60, 'A')}, ecram, "C:\\" + std::string(60, 'A')},
      {{"ECRAM=" + std::string(64, 'W')}, ecram, std::string(63, 'W'), ""},
      {{"ECRAM=" + std::string(64, 'W')}, ecmst, "", ""},
      // Only the inner stretches of a path are measured.
      {{"ECMST=C:\\DATA\\CATALOGUE9"}, ecmst, "C:\\DATA\\CATALOGUE9"},
      {{"ECMST=C:\\12345678\\X"}, ecmst, "C:\\12345678\\X"},
      {{"ECMST="}, ecmst, ""},
      // The price directories follow the installed directory.
      {{"PRICE=D:", "ECMST=C:\\CAT\\MST"}, price, "D:\\CAT\\MST"},
      {{"PRICE=D:", "ECMST=C:\\CAT\\MST"}, localp, "C:\\CAT\\MST"},
      {{"ECMST=C:\\CAT\\MST"}, price, "C:\\CAT\\MST"},
      // An unknown area letter is no error; the letter is upper-cased first.
      {{"CRNTAREA=X"}, area, "-1"},
      {{"CRNTAREA=j"}, area, "3"},
      {{"CRNTAREA=U"}, area, "2", "\r\n"},  // "U" and LF: 2 characters
      // Language words match by their beginning.
      {{"LANGUAGE=english", "MENULANG=english"}, lang, "011011"},
      {{"LANGUAGE=ENGLISHMAN", "MENULANG=ENGLISHMAN"}, lang, "011011"},
      {{"LANGUAGE=JAPANESE", "MENULANG=JAPANESE"}, lang, "022022"},
      {{"LANGUAGE=Spanish", "MENULANG=Spanish"}, lang, "055055"},
      {{"LANGUAGE= anything", "MENULANG= anything"}, lang, "066066"},
      {{"LANGUAGE=OTHER", "MENULANG=OTHER"}, lang, "099099"},
      // Catalog drives are only those that exist (E: without a disc does); at most ten.
      {{"CDROM=Q:,D:,e:,X"}, drives, "20 D: E:"},
      {{eleven_drives}, drives, "100 D: E: F: G: H: I: J: K: L: M:"},
      // ECMSTALL: area->drive items; the scan goes on behind a drive that is
      // itself an area letter; an item cut short sets nothing; lower-case
      // letters are no area letters.
      {{"ECMSTALL=x,G::H,,J=>K"}, ecmstall, "/H//K"},
      {{"ECMSTALL=U->E"}, ecmstall, "//E/"},
      {{"ECMSTALL=E->"}, ecmstall, "///"},
      {{"ECMSTALL=e->F"}, ecmstall, "///"},
      // Eight slots, not upper-cased; the last character copied gives way to
      // the terminator: with more items the last of the eighth.
      {{"EXPGPNHO=ab,Cd"}, expgpnho, "ab/Cd///////"},
      {{"EXPGPNHO=x,y"}, expgpnho, "x/y///////", "\r\n"},
      {{"EXPGPNHO=" + ten_items}, expgpnho, "item0/item1/item2/item3/item4/item5/item6/item/"},
      {{"EXPGPNHO=" + std::string(243, 'a') + ",b"}, expgpnho, std::string(243, 'a') + "/b///////"},
      // EXPGFSAD allows 256, more than a 255-character line leaves after its key.
      {{"EXPGFSAD=" + std::string(245, 's')}, expgfsad, std::string(245, 'S')},
  };
  for (char l = 'd'; l <= 'n'; ++l) inst.add_drive(l);
  inst.empty_drive('e');
  for (const auto& k : cases) {
    SCOPED_TRACE(k.lines[0]);
    inst.write_config(k.lines, k.eol);
    ASSERT_EQ(set_table(), 0);
    EXPECT_EQ(startup::read_config_file(), 0);
    EXPECT_EQ(k.field(get_ctop_addr()), k.want);
    EXPECT_TRUE(inst.log_lines().empty());
  }
}

// ---- refused lines: the error, its log line, and what stays ------------------

struct Refusal {
  std::string line;
  std::string report;  // the log line after the date and time
};

class ConfigRefusalTest : public ConfigFileTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ConfigRefusalTest, LogsAndStopsReading) {
  const Refusal& r = GetParam();
  zkall_ctop* c = start({"ECFIL=C:\\BEFORE", r.line, "ECRAM=C:\\AFTER", "PRICE=D:"});
  EXPECT_EQ(inst.log_reports(), std::vector<std::string>{r.report});
  EXPECT_STREQ(c->ecfil_path, "C:\\BEFORE");  // settings before the bad line stay
  EXPECT_STREQ(c->ecram_path, "");            // later lines are not applied
  EXPECT_STREQ(c->price_path, "");            // and the finishing steps did not run
}

const std::string k64(64, 'A');

INSTANTIATE_TEST_SUITE_P(
    EveryError, ConfigRefusalTest,
    ::testing::Values(
        Refusal{"", "ZKDROM,kankyo_set,,(2)(0)(434)"},
        Refusal{"NO EQUALS SIGN", "ZKDROM,kankyo_set,NO EQUALS SIGN,(2)(0)(434)"},
        Refusal{"ECRAM=C:\\" + std::string(61, 'R'), "ZKDROM,kankyo_set,C:\\" + std::string(61, 'R') + ",(3)(0)(457)"},
        Refusal{"ECRAM=c:\\catalogue9\\data", "ZKDROM,kankyo_set,C:\\CATALOGUE9\\DATA,(4)(0)(465)"},
        Refusal{"ECMST=c:\\" + std::string(61, 'm'), "ZKDROM,kankyo_set,c:\\" + std::string(61, 'm') + ",(5)(0)(478)"},
        Refusal{"ECMST=C:\\CATALOGUE9\\DATA", "ZKDROM,kankyo_set,C:\\CATALOGUE9\\DATA,(6)(0)(486)"},
        Refusal{"ECMST=C:\\DATA\x01", "ZKDROM,kankyo_set,C:\\DATA\x01,(6)(0)(486)"},
        Refusal{"LANGUAGE=italian", "ZKDROM,kankyo_set,ITALIAN,(7)(0)(509)"},
        Refusal{"LANGUAGE=ENGL", "ZKDROM,kankyo_set,ENGL,(7)(0)(509)"},
        Refusal{"MENULANG=klingon", "ZKDROM,kankyo_set,KLINGON,(8)(0)(534)"},
        Refusal{"ECFIL=C:\\TOOLONGNAME\\X", "ZKDROM,kankyo_set,C:\\TOOLONGNAME\\X,(10)(0)(576)"},
        Refusal{"PRICE=D:\\", "ZKDROM,kankyo_set,D:\\,(11)(0)(593)"},
        Refusal{"PRICE=1:", "ZKDROM,kankyo_set,1:,(11)(0)(593)"},
        Refusal{"PRICE=D", "ZKDROM,kankyo_set,D,(11)(0)(593)"},
        Refusal{"LOCALP=", "ZKDROM,kankyo_set,,(12)(0)(609)"},
        Refusal{"CRNTAREA=USA", "ZKDROM,kankyo_set,USA,(13)(0)(620)"},
        // 64 characters and the line feed: 65, refused with the value logged.
        Refusal{"ECFIL=" + k64, "ZKDROM,kankyo_set," + k64 + ",(9)(0)(568)"},
        Refusal{"FRAMEWLD=" + k64, "ZKDROM,kankyo_set," + k64 + ",(16)(0)(645)"},
        Refusal{"FRAMEJPN=" + k64, "ZKDROM,kankyo_set," + k64 + ",(17)(0)(656)"},
        // 300 characters: the reader sees 255, then the rest as a line of its
        // own, which holds no "=".
        Refusal{"EXPGFSAD=" + std::string(291, 's'), "ZKDROM,kankyo_set," + std::string(45, 's') + ",(2)(0)(434)"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "Line" + std::to_string(info.index); });

// A missing file and one that cannot be opened: logged, and start-up goes on.
TEST_F(ConfigFileTest, AFileThatCannotBeOpenedIsLoggedAndStartUpGoesOn) {
  for (bool exists : {false, true}) {
    if (exists) {
      inst.write_config({"ECRAM=C:\\WORK"});
      inst.platform().faults().add(platform::Op::Open, platform::kErrnoAccess, "zkdrom.sys");
    }
    ASSERT_EQ(set_table(), 0);
    EXPECT_EQ(startup::read_config_file(), 0);
    EXPECT_EQ(inst.log_reports().back(), "ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)");
    EXPECT_STREQ(get_ctop_addr()->lang, "01");
    EXPECT_STREQ(get_ctop_addr()->ecram_path, "");
  }
}

TEST(ConfigPathCheckTest, BytesAboveTheAsciiRangeAreInvalid) {
  EXPECT_TRUE(startup::config_path_ok("C:\\X~\x7f", 6));
  EXPECT_FALSE(startup::config_path_ok("C:\\\x80", 4));
  EXPECT_FALSE(startup::config_path_ok("C:\\\xff", 4));
  EXPECT_FALSE(startup::config_path_ok("\\A\\123456789\\", 13));
  EXPECT_TRUE(startup::config_path_ok("123456789012\\A", 14));  // the first stretch is not measured
}

}  // namespace
}  // namespace zk::test
