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
  inst.add_drive('d');
  inst.add_drive('e');
  zkall_ctop* c = start({
      "ECRAM=c:\\work",
      "ECMST=C:\\CAT\\MST",
      "LANGUAGE=french",
      "MENULANG=GERMANY",
      "CDROM=D:,E:",
      "ECFIL=C:\\ZK",
      "PRICE=p:",
      "LOCALP=L:",
      "CRNTAREA=U",
      "ECMSTALL=E->F,U->G",
      "FRAMEWLD=c:\\frame\\world",
      "FRAMEJPN=C:\\FRAME\\JPN",
      "EXPGPNHO=ab,Cd",
      "EXPGFSAD=some text",
  });
  EXPECT_STREQ(c->ecram_path, "C:\\WORK");
  EXPECT_STREQ(c->ecmst_path, "C:\\CAT\\MST");
  EXPECT_STREQ(c->lang, "03");
  EXPECT_EQ(+c->lang_no, 3);
  EXPECT_STREQ(c->menu_lang, "04");
  EXPECT_EQ(+c->menu_lang_no, 4);
  EXPECT_EQ(c->drive_count, 2);
  EXPECT_EQ(std::string(c->drives[0], 2), "D:");
  EXPECT_EQ(std::string(c->drives[1], 2), "E:");
  EXPECT_STREQ(c->ecfil_path, "C:\\ZK");
  EXPECT_STREQ(c->price_path, "P:\\CAT\\MST");
  EXPECT_STREQ(c->localp_path, "L:\\CAT\\MST");
  EXPECT_EQ(+c->current_area, 2);
  EXPECT_STREQ(c->ecmstall[0], "F");
  EXPECT_STREQ(c->ecmstall[1], "");
  EXPECT_STREQ(c->ecmstall[2], "G");
  EXPECT_STREQ(c->framewld_path, "C:\\FRAME\\WORLD");
  EXPECT_STREQ(c->framejpn_path, "C:\\FRAME\\JPN");
  EXPECT_STREQ(c->expgpnho[0], "ab");  // not upper-cased
  EXPECT_STREQ(c->expgpnho[1], "Cd");  // its line feed became the terminator
  EXPECT_STREQ(c->expgfsad, "SOME TEXT");
  EXPECT_TRUE(inst.log_lines().empty());
}

TEST_F(ConfigFileTest, WindowsLineEndsReadTheSame) {
  zkall_ctop* c = start({"ECRAM=C:\\WORK", "CRNTAREA=U", "EXPGPNHO=x,y"}, "\r\n");
  EXPECT_STREQ(c->ecram_path, "C:\\WORK");
  EXPECT_EQ(+c->current_area, 2);  // "U" and LF: 2 characters, accepted
  EXPECT_STREQ(c->expgpnho[1], "y");
}

TEST_F(ConfigFileTest, LanguageWordsMatchByTheirBeginning) {
  struct Case {
    const char* value;
    const char* code;
    uint16_t number;
  };
  const Case cases[] = {{"english", "01", 1}, {"ENGLISHMAN", "01", 1}, {"JAPANESE", "02", 2},
                        {"Spanish", "05", 5}, {" anything", "06", 6},  {"OTHER", "09", 9}};
  for (const auto& k : cases) {
    zkall_ctop* c = start({std::string("LANGUAGE=") + k.value, std::string("MENULANG=") + k.value});
    EXPECT_STREQ(c->lang, k.code) << k.value;
    EXPECT_EQ(+c->lang_no, k.number) << k.value;
    EXPECT_STREQ(c->menu_lang, k.code) << k.value;
    EXPECT_EQ(+c->menu_lang_no, k.number) << k.value;
  }
}

// Lines read without complaint, and the value they leave in one field.
TEST_F(ConfigFileTest, AcceptedLinesAndTheValueTheyLeave) {
  using Field = std::string (*)(const zkall_ctop*);
  const Field ecram = [](const zkall_ctop* c) { return std::string(c->ecram_path); };
  const Field ecmst = [](const zkall_ctop* c) { return std::string(c->ecmst_path); };
  const Field price = [](const zkall_ctop* c) { return std::string(c->price_path); };
  const Field localp = [](const zkall_ctop* c) { return std::string(c->localp_path); };
  const Field area = [](const zkall_ctop* c) { return std::to_string(c->current_area); };
  const struct {
    std::vector<std::string> lines;
    Field field;
    std::string want;
  } cases[] = {
      // Keys match exactly: case, blanks and longer keys are other keys.
      {{"ecram=C:\\LOWER", "ECRAM = C:\\BLANKS", "ECRAMX=C:\\LONGER", "UNKNOWN=1"}, ecram, ""},
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
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.lines[0]);
    EXPECT_EQ(k.field(start(k.lines)), k.want);
    EXPECT_TRUE(inst.log_lines().empty());
  }
}

TEST_F(ConfigFileTest, CatalogDrivesAreOnlyThoseThatExist) {
  inst.add_drive('d');
  inst.empty_drive('e');  // a drive without a disc still exists
  zkall_ctop* c = start({"CDROM=Q:,D:,e:,X"});
  EXPECT_EQ(c->drive_count, 2);
  EXPECT_EQ(std::string(c->drives[0], 2), "D:");
  EXPECT_EQ(std::string(c->drives[1], 2), "E:");
  EXPECT_EQ(c->drives[2][0], 0);
  EXPECT_EQ(c->drive_count_high, 0);
}

TEST_F(ConfigFileTest, AtMostTenCatalogDrives) {
  std::string list;
  for (char l = 'd'; l <= 'p'; ++l) {
    inst.add_drive(l);
    list += std::string(1, l) + ":,";
  }
  zkall_ctop* c = start({"CDROM=" + list});
  EXPECT_EQ(c->drive_count, 10);
  EXPECT_EQ(std::string(c->drives[9], 2), "M:");
}

TEST_F(ConfigFileTest, EcmstallItems) {
  zkall_ctop* c = start({"ECMSTALL=x,G::H,,J=>K"});
  EXPECT_STREQ(c->ecmstall[1], "H");
  EXPECT_STREQ(c->ecmstall[3], "K");
  EXPECT_STREQ(c->ecmstall[0], "");
  // The drive letter may itself be an area letter: the scan goes on behind it.
  c = start({"ECMSTALL=U->E"});
  EXPECT_STREQ(c->ecmstall[2], "E");
  EXPECT_STREQ(c->ecmstall[0], "");
  // An item cut short by the end of the line sets nothing.
  c = start({"ECMSTALL=E->"});
  EXPECT_STREQ(c->ecmstall[0], "");
  // The raw value is scanned: lower-case letters are not area letters.
  c = start({"ECMSTALL=e->F"});
  EXPECT_STREQ(c->ecmstall[0], "");
}

TEST_F(ConfigFileTest, ExpgpnhoKeepsEightSlots) {
  std::string value;
  for (int i = 0; i < 10; ++i) value += "item" + std::to_string(i) + ",";
  value.pop_back();
  zkall_ctop* c = start({"EXPGPNHO=" + value});
  EXPECT_STREQ(c->expgpnho[0], "item0");
  EXPECT_STREQ(c->expgpnho[6], "item6");
  // The last character copied is replaced by the terminator: with more than
  // eight items that is the last character of the eighth.
  EXPECT_STREQ(c->expgpnho[7], "item");
  // The longest item a 255-character line can hold fits its slot.
  c = start({"EXPGPNHO=" + std::string(243, 'a') + ",b"});
  EXPECT_EQ(std::string(c->expgpnho[0]), std::string(243, 'a'));
  EXPECT_STREQ(c->expgpnho[1], "b");
}

TEST_F(ConfigFileTest, SixtyFourCharactersWithoutALineFeedKeepATerminator) {
  inst.write_config({});
  inst.write_cwd_file("ZKDROM.SYS", "ECRAM=" + std::string(64, 'W'));  // last line, no LF
  ASSERT_EQ(set_table(), 0);
  startup::read_config_file();
  zkall_ctop* c = get_ctop_addr();
  EXPECT_EQ(std::string(c->ecram_path), std::string(63, 'W'));
  EXPECT_EQ(c->ecmst_path[0], '\0');  // nothing spilled into the next field
  EXPECT_TRUE(inst.log_lines().empty());
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
        Refusal{"CRNTAREA=USA", "ZKDROM,kankyo_set,USA,(13)(0)(620)"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "Line" + std::to_string(info.index); });

TEST_F(ConfigFileTest, LengthLimitsCountTheLineFeed) {
  // 63 characters and the line feed: 64, accepted.
  zkall_ctop* c = start({"ECRAM=C:\\" + std::string(60, 'A')});
  EXPECT_EQ(std::string(c->ecram_path).size(), 63u);
  EXPECT_TRUE(inst.log_lines().empty());
  // 64 characters and the line feed: 65, refused with the value logged.
  start({"ECFIL=" + k64});
  EXPECT_EQ(inst.log_reports().back(), "ZKDROM,kankyo_set," + k64 + ",(9)(0)(568)");
  start({"FRAMEWLD=" + k64});
  EXPECT_EQ(inst.log_reports().back(), "ZKDROM,kankyo_set," + k64 + ",(16)(0)(645)");
  start({"FRAMEJPN=" + k64});
  EXPECT_EQ(inst.log_reports().back(), "ZKDROM,kankyo_set," + k64 + ",(17)(0)(656)");
  // EXPGFSAD allows 256, more than a 255-character line leaves after its
  // key: the longest value there can be is stored whole.
  c = start({"EXPGFSAD=" + std::string(245, 's')});
  EXPECT_EQ(std::string(c->expgfsad), std::string(245, 'S'));
}

TEST_F(ConfigFileTest, ALineLongerThanTheBufferContinuesAsANewLine) {
  // 300 characters: the reader sees 255 of them, then the rest as a line of
  // its own, which holds no "=" and ends reading.
  start({"EXPGFSAD=" + std::string(291, 's')});
  auto reports = inst.log_reports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "ZKDROM,kankyo_set," + std::string(45, 's') + ",(2)(0)(434)");
}

TEST_F(ConfigFileTest, MissingFileIsLoggedAndStartUpGoesOn) {
  ASSERT_EQ(set_table(), 0);
  EXPECT_EQ(startup::read_config_file(), 0);
  EXPECT_EQ(inst.log_reports(),
            std::vector<std::string>{"ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)"});
  EXPECT_STREQ(get_ctop_addr()->lang, "01");
}

TEST_F(ConfigFileTest, UnreadableFileIsLoggedAsNotOpened) {
  inst.write_config({"ECRAM=C:\\WORK"});
  inst.platform().faults().add(platform::Op::Open, platform::kErrnoAccess, "zkdrom.sys");
  ASSERT_EQ(set_table(), 0);
  startup::read_config_file();
  EXPECT_EQ(inst.log_reports(),
            std::vector<std::string>{"ZKDROM,kankyo_set,Failed to open zkdrom.sys,(1)(0)(426)"});
  EXPECT_STREQ(get_ctop_addr()->ecram_path, "");
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
