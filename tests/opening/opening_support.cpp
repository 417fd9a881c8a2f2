// Record sets and disc layouts for the opening tests.
#include "opening_support.h"

#include <cstdio>
#include <tuple>

#include "support/installation.h"
#include "tools/writer/master_writer.h"

namespace zk::test {

std::string part_name_record(int code) {
  static const char* kNames[] = {"BRAKE PAD SET", "OIL FILTER", "SPARK PLUG", "WIPER BLADE", "HEADLAMP UNIT"};
  // Room for any int, so an optimising compiler sees no truncation; codes
  // are six digits.
  char rec[80];
  std::snprintf(rec, sizeof rec, "%06d%-60.60s", code, kNames[code % 5]);
  return std::string(rec, 66);
}

writer::SetSpec part_names(const std::string& name, int count, int levels) {
  writer::SetSpec s;
  // Four records a block and three entries an index block: several blocks
  // even for small sets.
  std::tie(s.name, s.kind, s.record_length, s.key_offset, s.key_length, s.levels, s.records_per_block,
           s.entries_per_block) = std::make_tuple(name, 7, 66u, 0u, 6u, levels, 4u, 3u);
  for (int i = 0; i < count; ++i) s.records.push_back(part_name_record(100000 + i * 7));
  return s;
}

void OpeningTest::SetUp() {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  closeall2();
  inst.platform().set_message_box_answerer([this](const std::string& text, const std::string&, uint32_t) {
    prompts.push_back(text);
    return answer;
  });
}

void OpeningTest::TearDown() { drom_term(); }

writer::Disc OpeningTest::disc(const std::string& id, const std::string& date, const std::string& number) const {
  writer::Disc d;
  d.header = writer::master_header(date, id, number, '1');
  return d;
}

void OpeningTest::lay_out(const std::string& id, const writer::Disc& d, char drive_letter) {
  writer::lay_out_disc(d, host_path(inst.drive_root('c'), "CAT\\MST\\" + id).string(),
                       inst.drive_root(drive_letter).string());
}

std::string OpeningTest::read_one(zkall_cd_handle* h, const std::string& key) {
  std::string rec(static_cast<size_t>(h->record_length), '\0');
  int32_t detail = 0;
  if (cdreopen(h, &detail) != 0) return "reopen failed";
  const int rc = cdread(rec.data(), key.data(), static_cast<int32_t>(key.size()), 0, nullptr, nullptr, h, &detail);
  if (rc != 0) return "cdread " + std::to_string(rc) + "/" + std::to_string(detail);
  return rec;
}

}  // namespace zk::test
