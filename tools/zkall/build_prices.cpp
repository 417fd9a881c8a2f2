// Laying the prices of an installation out: the hard-disk sets listed by
// PRICE.MST and LOCALP.MST, and the local price pairs LOCALP1 to LOCALP3.
#include <fstream>

#include "tools/writer/hd_set.h"
#include "tools/writer/local_price_files.h"
#include "tools/zkall/build.h"

namespace zk::tool {

namespace fs = std::filesystem;

namespace {

void write_bytes(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p.string());
}

writer::HdSetSpec hd_spec(const HdSetDescription& s) {
  writer::HdSetSpec spec;
  spec.data_name = s.name;
  spec.index_name = s.index.empty() ? s.name.substr(0, s.name.find('.')) + ".IA" : s.index;
  spec.kind = static_cast<uint8_t>(s.kind);
  spec.record_length = static_cast<uint32_t>(s.record_length);
  spec.key_offset = static_cast<uint32_t>(s.key_offset);
  spec.key_length = static_cast<uint32_t>(s.key_length);
  spec.levels = s.levels;
  for (size_t i = 0; i < 3; ++i) spec.level_masks[i] = static_cast<uint8_t>(s.level_masks[i]);
  spec.data_mask = static_cast<uint8_t>(s.data_mask);
  spec.block_size = static_cast<uint32_t>(s.block_size);
  spec.records = s.records;
  return spec;
}

}  // namespace

std::string price_directory(const Description& d, const std::string& key) {
  const std::string ecmst = d.config_value("ECMST");
  const std::string value = d.config_value(key);
  if (value.empty()) return ecmst;
  std::string rest = ecmst;
  if (rest.size() >= 2 && rest[1] == ':')
    rest = rest.substr(std::min<size_t>(3, rest.size()));
  else if (!rest.empty() && rest[0] == '\\')
    rest = rest.substr(1);
  return std::string(1, value[0]) + ":\\" + rest;
}

void build_prices(const Description& d, const std::function<fs::path(const std::string&)>& host_path,
                  std::ostream& log) {
  for (const HdSetDescription& s : d.hd_sets) {
    const std::string dir = s.dir.empty() ? price_directory(d, s.master) : s.dir;
    writer::HdSet set;
    try {
      set = writer::build_hd_set(hd_spec(s));
    } catch (const std::invalid_argument& e) {
      throw DescriptionError(s.line, "hard-disk set " + s.name + ": " + e.what());
    }
    write_bytes(host_path(dir + "\\" + s.master + ".MST"), set.master);
    write_bytes(host_path(dir + "\\" + set.data_file), set.data);
    if (!set.index.empty()) write_bytes(host_path(dir + "\\" + set.index_file), set.index);
    log << s.master << ".MST in " << dir << ": " << s.name << ", " << s.records.size() << " records in "
        << set.blocks.size() << " blocks of " << set.block_size << " bytes\n";
  }
  for (const LocalPriceDescription& l : d.local_prices) {
    writer::LocalPriceSpec spec;
    spec.pair = l.pair;
    spec.key_offset = static_cast<uint32_t>(l.key_offset);
    spec.run_limit = static_cast<uint32_t>(l.run_limit);
    spec.records = l.records;
    writer::LocalPriceFiles files;
    try {
      files = writer::build_local_prices(spec);
    } catch (const std::invalid_argument& e) {
      throw DescriptionError(l.line, "local prices " + std::to_string(l.pair) + ": " + e.what());
    }
    const std::string dir = price_directory(d, "LOCALP");
    write_bytes(host_path(dir + "\\" + files.index_name), files.index);
    write_bytes(host_path(dir + "\\" + files.data_name), files.data);
    log << files.index_name << " and " << files.data_name << " in " << dir << ": " << l.records.size()
        << " records\n";
  }
}

}  // namespace zk::tool
