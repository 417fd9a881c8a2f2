// The installation description of the zkall tool: what it accepts, the
// mistakes it refuses (with their line numbers), and that an installation
// built from it starts the library and answers lookups.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "tools/zkall/build.h"
#include "tools/zkall/description.h"
#include "zkall.h"

namespace zk::test {
namespace {

using tool::DescriptionError;
using tool::parse_description;

const char* kSmall = R"(# a small installation
[config]
ECMST=C:\CAT
ECFIL=C:\LIB
CDROM=D:
CRNTAREA=E

[messages 01]
881Insert                                                                [
881the disc                                                              [
[screens 01]
0111 drive

[drive D]
disc = E1

[disc E1]
date = 19990401
number = 01

[set E1 SHAMEI.DAT]
where = hard-disk
kind = 1
record = 12
key = 0 6
fields = 6 6
records:
4711A0|SEDAN
5200B1|COUPE

[set E1 HINM01.DAT]
kind = 7
record = 10
key = 0 4
fields = 4 6
records:
1001|FILTER
1002|PUMP
)";

TEST(DescriptionTest, MistakesAreRefusedWithTheirLine) {
  const std::string e1 = "[disc E1]\ndate=19990401\nnumber=01\n";  // lines 1-3
  const std::string set = e1 + "[set E1 A.DAT]\n";                  // line 4
  const struct {
    std::string text;
    int line;
    const char* words;
  } cases[] = {
      {"stray text", 1, "before the first section"},
      {"[disk E1]", 1, "unknown section"},
      {"[disc E1]\ndate = 1999", 2, "8 characters"},
      {"[disc E1]\ncolour = red", 2, "unknown key"},
      {"[disc E1]\ndate = 19990401", 1, "date and a number"},
      {"[set E9 X.DAT]", 1, "undescribed disc"},
      {"[drive C]", 1, "hard disk"},
      {e1 + "[set E1 TOOLONGNAME.DAT]", 4, "10 characters"},
      {set + "record = 4\nrecords:\nab|cd", 7, "'fields'"},
      {set + "record = 4\nfields = 2 2\nrecords:\nabc|d", 8, "longer than 2"},
      {set + "record = 5\nfields = 2 2\nrecords:\nab|cd", 8, "make 4 bytes"},
      {set + "fields = 2 2\nrecords:\nab", 7, "expected 2 fields"},
      {set + "kind = seven", 5, "not a number"},
      {set + "index-case = mixed", 5, "upper, lower or record"},
      {set + "alternate = IS 2 6", 5, "<key length>"},
      {set + "record = 2\nfields = u16\nrecords:\n65536", 8, "no 16-bit number"},
      {set + "where = master", 4, "catalog's master file"},
      {set + "where = on:E7", 4, "undescribed disc E7"},
      {e1 + "[disc E1]", 4, "twice"},
      {"[images E3]", 1, "undescribed disc"},
      {e1 + "[images E1]\nimage = TOOLONG8 5", 5, "7 characters"},
      {e1 + "[images E1]\nwhere = master", 5, "disc or on the hard disk"},
      {e1 + "[images E1]\nsize = 0 10", 5, "size is"},
      {"[hd-set STOCK KAKAKU.D]", 1, "PRICE or LOCALP"},
      {"[hd-set PRICE KAKAKU.D]\nblock = big", 2, "not a number"},
      {"[local-prices 4]", 1, "1, 2 and 3"},
      {"[local-prices 3]\nfields = 10 52\nrecords:\nD-0042|A", 4, "the record is 132"},
  };
  for (const auto& k : cases) {
    try {
      parse_description(k.text);
      ADD_FAILURE() << "accepted: " << k.text;
    } catch (const DescriptionError& e) {
      EXPECT_EQ(e.line(), k.line) << k.text;
      EXPECT_NE(std::string(e.what()).find(k.words), std::string::npos) << e.what();
    }
  }
}

// One installation with illustrations, laid out and used as the front end
// would: the library starts on it and reads a set, an illustration's
// location leads to its packed file and bitmap, and discs move between
// drives.
TEST(BuildTest, AnInstallationBuiltFromADescriptionIsUsable) {
  TempDir dir;
  std::ostringstream log;
  const std::string text = std::string(kSmall) + "[images E1]\nsize = 320 200\nimage = FIG0001 1\nimage = FIG0002 2\n";
  tool::build_installation(parse_description(text), dir.path(), log);
  TestPlatform p((dir.path() / "dosdevices").string());
  ScopedPlatform installed(p);
  ScopedCwd in_front(dir.path() / "front");

  ASSERT_EQ(drom_init(), 0);
  const zkall_ctop* c = get_ctop_addr();
  ASSERT_EQ(+c->disc_count, 1);
  EXPECT_EQ(c->setup_ok, 1);
  char head[10];
  int32_t detail = 0;
  ASSERT_EQ(cdread_head(0, head, &detail), 0);
  EXPECT_EQ(std::string(head, 10), "E119990401");
  zkall_cd_handle* h = nullptr;
  ASSERT_EQ(cdopen("HINM01.DAT", nullptr, 7, 0, -1, 0, 700, &h, &detail), 0);
  EXPECT_EQ(h->drive_index, 0);
  char rec[10];
  ASSERT_EQ(cdread(rec, "1002", 4, 0, nullptr, nullptr, h, &detail), 0);
  EXPECT_EQ(std::string(rec, 10), "1002PUMP  ");  // fields padded to their widths
  cdclose(&h, nullptr);

  const auto listed = tool::read_illustrations(dir.path());
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].ident, "FIG0001");
  EXPECT_EQ(listed[0].location.size(), 9u);  // the second starts where the first ends
  EXPECT_EQ(listed[1].location.substr(0, 6), "00000" + std::to_string(std::stoi(listed[0].location.substr(6))));
  const std::string pak = (dir.path() / "FIG2.PAK").string();
  ASSERT_EQ(make_pack_image_file(pak.c_str(), listed[1].location.c_str(), &detail), 0);
  zkall_image_header header{};
  ASSERT_EQ(decord_img(pak.c_str(), (dir.path() / "FIG2.BMP").string().c_str(), &header), 0);
  EXPECT_STREQ(header.ident, "FIG0002");
  EXPECT_EQ(+header.width, 320);
  EXPECT_EQ(+header.height, 200);
  EXPECT_GT(+header.text_length, 0);
  drom_term();

  std::string label;
  uint32_t err = 0;
  tool::change_disc(dir.path(), 'd', "");
  EXPECT_FALSE(p.volume_label("D:\\", label, err));
  EXPECT_EQ(err, 21u);
  tool::change_disc(dir.path(), 'G', "E1");
  ASSERT_TRUE(p.volume_label("G:\\", label, err));
  EXPECT_EQ(label, "19990401E1");
}

}  // namespace
}  // namespace zk::test
