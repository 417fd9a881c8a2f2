// Helpers of the opening tests: record sets with believable records, and a
// fixture that writes discs with the catalog writer into the standard
// installation.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/installation.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/file_set.h"
#include "zkall.h"

namespace zk::test {

// A part-name file HINMnn.DAT: 66-byte records, the 6-character code as key.
writer::SetSpec part_names(const std::string& name, int count, int levels = 3);
// A record of a part-name file.
std::string part_name_record(int code);

// "result/detail" (the detail read once the call has returned).
inline std::string rd(int result, const int32_t& detail) {
  return std::to_string(result) + "/" + std::to_string(detail);
}

// An open handle closed at the end of the test.
class OpenHandle {
 public:
  ~OpenHandle() { cdclose(&h, nullptr); }
  zkall_cd_handle* h = nullptr;
};

class OpeningTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Lays disc `id` out: its master files into its installed directory and
  // the files on the disc below `disc_root` (a drive's root).
  void lay_out(const std::string& id, const writer::Disc& disc, char drive_letter);
  writer::Disc disc(const std::string& id, const std::string& date, const std::string& number) const;
  // Every descriptor of the file-handle table is closed.
  bool nothing_open() const { return *handle_flag() == 0; }
  std::string read_one(zkall_cd_handle* h, const std::string& key);

  Installation inst;
  std::vector<std::string> prompts;
  int answer = platform::kIdCancel;
};

}  // namespace zk::test
