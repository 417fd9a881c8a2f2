// The catalog writer the tests build their discs with, pinned byte by byte
// where the library reads what it writes: master entries (the header's
// fields are read back by the opening tests). Index
// entries are written by hand in the corrupt-index tests; whole discs (root
// and catalog master files, hard-disk copies, files stored inside a master
// file) are read back by the opening tests, which fail when the writer lays
// them out wrongly.
#include <gtest/gtest.h>

#include "catalog/master_file.h"
#include "catalog_support.h"

namespace zk::test {
namespace {

TEST(MasterLayout, EntriesPutEveryFieldAtItsOffset) {
  const catalog::MasterEntry e{.name = {'F', 'I', 'G', 'M', '0', '1', '.', 'D', 'A', 'T'}, .attribute = 0xA1, .kind = 14,
                               .mask = 2, .key_length = 7, .key_offset = 3, .same_name_count = 1, .base_block = 0x01020304,
                               .size = 0x0A0B0C0D, .record_length = 0x0147, .levels = 3, .location = 2, .disc_id = {'E', '2'}};
  const std::string b = writer::encode_master_entry(e);
  EXPECT_EQ(b, std::string("FIGM01.DAT\xA1\x0E\x02\x07\x03\x01\x04\x03\x02\x01\x0D\x0C\x0B\x0A\x47\x01\x03\x02"
                           "E2\0\0", 32));
  const catalog::MasterEntry d = catalog::decode_master_entry(
      std::span<const uint8_t, 32>(reinterpret_cast<const uint8_t*>(b.data()), 32));
  EXPECT_EQ(writer::encode_master_entry(d), b);
  EXPECT_EQ(catalog::entry_name(d), "FIGM01.DAT");
}

}  // namespace
}  // namespace zk::test
