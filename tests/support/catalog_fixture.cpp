// The catalog fixture: the standard installation, the library started in it
// and discs written by the catalog writer.
#include "support/catalog_fixture.h"

#include <cstring>
#include <filesystem>

#include "tools/writer/master_writer.h"
#include "zkall.h"

namespace zk::test {

writer::SetSpec record_set(const RecordLines& r) {
  writer::SetSpec s;
  s.name = r.name;
  s.kind = r.kind;
  s.record_length = r.record_length;
  s.key_offset = r.key_offset;
  s.key_length = r.key_length;
  s.levels = r.key_length > 0 ? 3 : 0;
  for (const std::string& line : r.lines) {
    std::string rec;
    size_t start = 0;
    for (const std::string& f : r.fields) {
      const size_t bar = line.find('|', start);
      const std::string part = line.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
      start = bar == std::string::npos ? line.size() : bar + 1;
      if (f == "u16") {
        const auto v = static_cast<uint16_t>(std::stoi(part));
        rec.append(reinterpret_cast<const char*>(&v), sizeof v);
      } else {
        rec += part;
        rec.append(std::stoul(f) - part.size(), ' ');
      }
    }
    s.records.push_back(rec);
  }
  return s;
}

void CatalogFixture::SetUp() {
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  closeall2();
  inst.platform().set_message_box_answerer([this](const std::string& text, const std::string&, uint32_t) {
    prompts.push_back(text);
    return answer;
  });
}

void CatalogFixture::TearDown() { drom_term(); }

writer::Disc CatalogFixture::disc(const std::string& id, const std::string& date, const std::string& number) {
  writer::Disc d;
  d.header = writer::master_header(date, id, number, '1');
  return d;
}

void CatalogFixture::lay_out(const std::string& id, const writer::Disc& d, char drive) {
  writer::lay_out_disc(d, host_path(inst.drive_root('c'), "CAT\\MST\\" + id).string(),
                       inst.drive_root(drive).string());
}

void CatalogFixture::insert(char drive, const std::string& id, const std::string& date) {
  inst.add_drive(drive);
  inst.set_label(drive, date + id);
}

bool CatalogFixture::nothing_open() { return *handle_flag() == 0; }

}  // namespace zk::test
