// get_path_name for every path kind, set_path_name and VBGetPathName.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

class PathNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    c = get_ctop_addr();
  }
  void set(char* field, const std::string& v) {
    std::memset(field, 0, 64);
    std::memcpy(field, v.data(), v.size());
  }
  // Runs get_path_name on `name` in a fresh 80-byte buffer filled with 'Z'
  // behind the name, so untouched and NUL-padded buffers can be told apart.
  int run(uint32_t kind, int32_t index, const std::string& name, std::string& out, bool* padded = nullptr) {
    char buf[80];
    std::memset(buf, 'Z', sizeof buf);
    std::memcpy(buf, name.c_str(), name.size() + 1);
    int rc = get_path_name(kind, index, buf);
    out = buf;
    if (padded) {
      *padded = true;
      for (size_t i = out.size(); i < 80; ++i) *padded = *padded && buf[i] == 0;
    }
    return rc;
  }
  Installation inst;
  zkall_ctop* c = nullptr;
};

TEST_F(PathNamesTest, WorkDirectoryWithEveryEnding) {
  for (const char* dir : {"C:\\WORK", "C:\\WORK\\", "C:\\WORK;", "C:\\WORK\\;"}) {
    set(c->ecram_path, dir);
    std::string out;
    bool padded = false;
    EXPECT_EQ(run(0, -1, "SELECT.TMP", out, &padded), 0) << dir;
    EXPECT_TRUE(out == "C:\\WORK\\SELECT.TMP" && padded) << dir;
  }
}

// Every kind with its directory, the disc id or drive its index picks, and
// the indexes each table refuses; an unknown kind or an empty directory
// leaves the name as it was.
TEST_F(PathNamesTest, EveryKindJoinsItsDirectoryAndTheName) {
  set(c->ecmst_path, "C:\\CAT\\MST");
  set(c->price_path, "D:\\PRICE");
  set(c->localp_path, "E:\\LOCAL\\");
  set(c->ecfil_path, "C:\\ZK");
  set(c->framewld_path, "D:\\FRW");
  set(c->framejpn_path, "D:\\FRJ");
  std::memcpy(c->discs[0].disc_id, "EA", 2);
  std::memcpy(c->discs[1].disc_id, "JA", 2);
  std::memcpy(c->discs[2].disc_id, "U1", 2);
  std::memcpy(c->drives[0], "D:", 2);
  std::memcpy(c->drives[9], "Z:", 2);
  const struct { uint32_t kind; int32_t index; const char* name; int rc; const char* out;
  } cases[] = {  // kind, index, name: answer and the name after
      {1, 2, "IMAGEF.DAT", 0, "C:\\CAT\\MST\\U1\\IMAGEF.DAT"}, {1, -1, "IMAGEF.DAT", 0, "C:\\CAT\\MST\\IMAGEF.DAT"},
      {2, 5, "PRICE.MST", 0, "D:\\PRICE\\PRICE.MST"}, {3, -1, "LOCALP.MST", 0, "E:\\LOCAL\\LOCALP.MST"},
      {4, -1, "ZKDROM01.MSG", 0, "C:\\ZK\\ZKDROM01.MSG"}, {5, 0, "E1\\SHAMEI.DAT", 0, "D:\\E1\\SHAMEI.DAT"},
      {5, 1, "E1\\SHAMEI.DAT", 0, "E1\\SHAMEI.DAT"} /* a zero drive entry: relative */, {5, -1, "X", 0, "X"},
      {5, 9, "A", 0, "Z:\\A"}, {6, 0, "ZKFRNOMF.MST", 0, "D:\\FRW\\EA\\ZKFRNOMF.MST"},
      {7, 1, "ZKFRNOMF.MST", 0, "D:\\FRJ\\JA\\ZKFRNOMF.MST"}, {7, -1, "*.", 0, "D:\\FRJ\\*."}, {1, 30, "A", -1, "A"},
      {1, -2, "A", -1, "A"}, {5, 10, "A", -1, "A"}, {0xFFFFFFFFu, -1, "A", 0, "A"}, {8, -1, "A", 0, "A"},
      {0, -1, "SELECT.TMP", 0, "SELECT.TMP"},  // ecram_path is empty
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(std::to_string(k.kind) + "/" + std::to_string(k.index));
    std::string out;
    EXPECT_EQ(run(k.kind, k.index, k.name, out), k.rc);
    EXPECT_EQ(out, k.out);
  }
}

// A result of 80 characters is refused (79 fit); without the block names
// stay relative.
TEST_F(PathNamesTest, NamesTooLongOrWithoutTheBlock) {
  std::string out;
  set(c->ecram_path, std::string(60, 'D'));
  EXPECT_EQ(run(0, -1, std::string(19, 'N'), out), -1);  // 60 + backslash + 19
  EXPECT_EQ(out, std::string(19, 'N'));
  EXPECT_EQ(run(0, -1, std::string(18, 'N'), out), 0);
  EXPECT_EQ(out.size(), 79u);
  free_table();
  EXPECT_EQ(run(0, -1, "SELECT.TMP", out), 0);
  EXPECT_EQ(out, "SELECT.TMP");
}

// The drive letter in the field's first byte completes the installed
// directory; the result keeps a terminator inside the field.
TEST_F(PathNamesTest, SetPathNameCompletesADriveLetter) {
  const struct { std::string installed; char drive; std::string want; } cases[] = {
      {"C:\\CAT\\MST", 'D', "D:\\CAT\\MST"}, {"C:\\CAT\\MST", '\0', "C:\\CAT\\MST"},
      {"\\CAT\\MST", 'E', "E:\\CAT\\MST"}, {"CAT", 'F', "F:\\CAT"},
      {std::string(63, 'X'), 'D', "D:\\" + std::string(60, 'X')}};
  for (const auto& k : cases) {
    set(c->ecmst_path, k.installed);
    char field[65] = {k.drive};
    field[64] = '#';
    set_path_name(field, 64);
    EXPECT_EQ(field, k.want) << k.installed;
    EXPECT_EQ(field[64], '#');  // nothing written past the field
  }
}

// The directory with its backslash, NUL-filled, never more than 80 bytes;
// an unknown kind fills NULs.
TEST_F(PathNamesTest, VBGetPathNameHandsOutTheDirectory) {
  set(c->ecfil_path, "C:\\ZK");
  const std::string zk = "C:\\ZK\\" + std::string(74, '\0');
  const struct { int32_t kind; size_t size; int32_t rc; std::string want; } cases[] = {
      {4, 80, 80, zk}, {4, 3, 3, "C:\\"}, {4, 100, 80, zk + std::string(20, '*')}, {-1, 10, 10, std::string(10, '\0')}};
  for (const auto& k : cases) {
    platform::FrontEndString s(k.size, '*');
    EXPECT_EQ(VBGetPathName(k.kind, s.get()), k.rc) << k.size;
    EXPECT_EQ(s.str(), k.want) << k.size;
  }
}

}  // namespace
}  // namespace zk::test
