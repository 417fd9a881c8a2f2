// The installation description of the zkall tool: the mistakes it refuses,
// with their line numbers (what it accepts is the demo installation, built
// and exported by export_test.cpp).
#include <gtest/gtest.h>

#include <string>

#include "tools/zkall/description.h"

namespace zk::test {
namespace {

using tool::DescriptionError;
using tool::parse_description;

TEST(DescriptionTest, MistakesAreRefusedWithTheirLine) {
  const std::string e1 = "[disc E1]\ndate=19990401\nnumber=01\n";  // lines 1-3
  const std::string set = e1 + "[set E1 A.DAT]\n";                  // line 4
  const struct { std::string text; int line; const char* words; } cases[] = {
      {"stray text", 1, "before the first section"},
      {"[disk E1]", 1, "unknown section"},
      {"[disc E1]\ndate = 1999", 2, "8 characters"},
      {"[disc E1]\ndate = 19990401", 1, "date and a number"},
      {"[set E9 X.DAT]", 1, "undescribed disc"},
      {"[drive C]", 1, "hard disk"},
      {e1 + "[set E1 TOOLONGNAME.DAT]", 4, "10 characters"},
      {set + "record = 4\nrecords:\nab|cd", 7, "'fields'"},
      {set + "record = 5\nfields = 2 2\nrecords:\nab|cd", 8, "make 4 bytes"},
      {set + "fields = 2 2\nrecords:\nab", 7, "expected 2 fields"},
      {set + "kind = seven", 5, "not a number"},
      {set + "alternate = IS 2 6", 5, "<key length>"},
      {set + "record = 2\nfields = u16\nrecords:\n65536", 8, "no 16-bit number"},
      {set + "where = master", 4, "catalog's master file"},
      {e1 + "[disc E1]", 4, "twice"},
      {e1 + "[images E1]\nimage = TOOLONG8 5", 5, "7 characters"},
      {e1 + "[images E1]\nsize = 0 10", 5, "size is"},
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

}  // namespace
}  // namespace zk::test
