// The catalog writer the tests build their discs with, pinned byte by byte
// where the library reads what it writes: master headers and entries. Index
// entries are written by hand in the corrupt-index tests; whole discs (root
// and catalog master files, hard-disk copies, files stored inside a master
// file) are read back by the opening tests, which fail when the writer lays
// them out wrongly.
#include <gtest/gtest.h>

#include "catalog/master_file.h"
#include "catalog_support.h"

namespace zk::test {
namespace {

const uint8_t* bytes_of(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(MasterLayout, EntriesAndHeadersPutEveryFieldAtItsOffset) {
  catalog::MasterEntry e;
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
  EXPECT_EQ(b, std::string("FIGM01.DAT\xA1\x0E\x02\x07\x03\x01\x04\x03\x02\x01\x0D\x0C\x0B\x0A\x47\x01\x03\x02"
                           "E2\0\0", 32));
  const catalog::MasterEntry d = catalog::decode_master_entry(std::span<const uint8_t, 32>(bytes_of(b), 32));
  EXPECT_EQ(writer::encode_master_entry(d), b);
  EXPECT_EQ(catalog::entry_name(d), "FIGM01.DAT");

  const std::string h = writer::encode_master_header(writer::master_header("19990401", "E1", "03", 0x5A, "G1"));
  EXPECT_EQ(h, "19990401" + std::string(14, '\0') + "E103\x5A" + std::string(1, '\0') + "G1" + std::string(2, '\0'));
  const catalog::MasterHeader dh = catalog::decode_master_header(std::span<const uint8_t, 32>(bytes_of(h), 32));
  EXPECT_EQ(std::string(dh.second_disc_id.data(), 2), "G1");
  EXPECT_EQ(dh.installed_byte, 0x5A);
}

}  // namespace
}  // namespace zk::test
