// The standard installation (support/installation.h) with the library
// started in it, discs laid out by the catalog writer, and record sets
// written as lines of fields: the fixture of the suites that read catalog
// records through the lookups and the vehicle functions.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/installation.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/file_set.h"

namespace zk::test {

// A set of records given as lines of '|'-separated fields, each padded with
// blanks to its width ("u16" fields: a decimal number written as 16 bits,
// native byte order).
struct RecordLines {
  std::string name;
  uint8_t kind = 0;
  uint32_t record_length = 0;
  uint32_t key_offset = 0;
  uint32_t key_length = 0;
  std::vector<std::string> fields;  // widths, or "u16"
  std::vector<std::string> lines;
};
writer::SetSpec record_set(const RecordLines& r);

class CatalogFixture : public ::testing::Test {
 protected:
  // Lays the standard installation out, starts the library and answers the
  // insert-disc prompt with `answer` (Cancel), noting each prompt.
  void SetUp() override;
  void TearDown() override;
  // A disc's header (date, id, number as the standard installation has it).
  static writer::Disc disc(const std::string& id, const std::string& date, const std::string& number);
  // Writes disc `id`: its master files into its installed directory, its
  // files below the root of `drive`.
  void lay_out(const std::string& id, const writer::Disc& d, char drive);
  // Puts disc `id` (label date + id) into `drive`.
  void insert(char drive, const std::string& id, const std::string& date);
  // The reports of the error log after the time stamp.
  std::vector<std::string> log() const { return inst.log_reports(); }
  static bool nothing_open();

  Installation inst;
  std::vector<std::string> prompts;
  int answer = platform::kIdCancel;
};

}  // namespace zk::test
