// Encoding master files and placing file sets in files.
#include "tools/writer/master_writer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "catalog/format.h"

namespace zk::writer {

namespace cat = zk::catalog;
namespace me = zk::catalog::master_entry;
namespace mh = zk::catalog::master_header;

namespace {

constexpr size_t kBlock = cat::kBlockSize;

template <size_t N>
void put_chars(std::string& out, size_t at, const std::array<char, N>& chars) {
  std::copy(chars.begin(), chars.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

void put_u32(std::string& out, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

template <size_t N>
std::array<char, N> field(std::string_view text) {
  std::array<char, N> out{};
  std::copy_n(text.begin(), std::min(N, text.size()), out.begin());
  return out;
}

}  // namespace

std::string encode_master_header(const cat::MasterHeader& h) {
  std::string out(cat::kMasterHeaderSize, '\0');
  put_chars(out, mh::kDate, h.date);
  put_chars(out, mh::kDiscId, h.disc_id);
  put_chars(out, mh::kDiscNo, h.disc_no);
  out[mh::kInstalledByte] = static_cast<char>(h.installed_byte);
  put_chars(out, mh::kSecondDiscId, h.second_disc_id);
  return out;
}

std::string encode_master_entry(const cat::MasterEntry& e) {
  std::string out(cat::kMasterEntrySize, '\0');
  put_chars(out, me::kName, e.name);
  out[me::kAttribute] = static_cast<char>(e.attribute);
  out[me::kKind] = static_cast<char>(e.kind);
  out[me::kMask] = static_cast<char>(e.mask);
  out[me::kKeyLength] = static_cast<char>(e.key_length);
  out[me::kKeyOffset] = static_cast<char>(e.key_offset);
  out[me::kSameNameCount] = static_cast<char>(e.same_name_count);
  put_u32(out, me::kBaseBlock, e.base_block);
  put_u32(out, me::kSize, e.size);
  out[me::kRecordLength] = static_cast<char>(e.record_length & 0xFF);
  out[me::kRecordLength + 1] = static_cast<char>(e.record_length >> 8);
  out[me::kLevels] = static_cast<char>(e.levels);
  out[me::kLocation] = static_cast<char>(e.location);
  put_chars(out, me::kDiscId, e.disc_id);
  return out;
}

cat::MasterHeader master_header(std::string_view date, std::string_view disc_id, std::string_view disc_no,
                                uint8_t installed_byte, std::string_view second_disc_id) {
  cat::MasterHeader h;
  h.date = field<cat::kMasterDateSize>(date);
  h.disc_id = field<cat::kMasterDiscIdSize>(disc_id);
  h.disc_no = field<cat::kMasterDiscNoSize>(disc_no);
  h.installed_byte = installed_byte;
  h.second_disc_id = field<cat::kMasterDiscIdSize>(second_disc_id);
  return h;
}

PlacedSet place_set(const FileSet& set, uint8_t location) {
  if (location != cat::kLocationOwnFile && location != cat::kLocationHardDisk)
    throw std::invalid_argument("place_set lays out location kinds 0 and 1");
  PlacedSet p;
  p.entries = set.entries;
  for (auto& e : p.entries) {
    e.location = location;
    e.base_block = 0;
  }
  const std::string data_name = cat::entry_name(set.entries[cat::kDataLevel]);
  if (set.entries[cat::kDataLevel].size > 0) p.files[cat::kDataLevel] = data_name;
  if (!set.data.empty()) p.contents.push_back({data_name, set.data});

  const std::string top_name = cat::entry_name(set.entries[cat::kTopLevel]);
  std::string combined;
  for (int level = 0; level < cat::kMaxLevels; ++level) {
    const std::string& bytes = set.levels[static_cast<size_t>(level)];
    if (bytes.empty()) continue;
    if (location == cat::kLocationOwnFile) {
      const std::string name = cat::entry_name(set.entries[static_cast<size_t>(level)]);
      p.files[static_cast<size_t>(level)] = name;
      p.contents.push_back({name, bytes});
    } else {
      p.entries[static_cast<size_t>(level)].base_block = static_cast<uint32_t>(combined.size() / kBlock);
      p.files[static_cast<size_t>(level)] = top_name;
      combined += bytes;
    }
  }
  if (!combined.empty()) p.contents.push_back({top_name, combined});
  return p;
}

void write_files(const std::string& dir, const std::vector<WrittenFile>& files) {
  std::filesystem::create_directories(dir);
  for (const WrittenFile& f : files) {
    std::ofstream out(std::filesystem::path(dir) / f.name, std::ios::binary | std::ios::trunc);
    out.write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + f.name);
  }
}

MasterFile::MasterFile(cat::MasterHeader header, bool catalog) : header_(header), catalog_(catalog) {}

void MasterFile::add_entries(const std::array<cat::MasterEntry, 4>& entries) {
  if (catalog_ && entries_.size() + entries.size() > cat::kCatalogMasterEntries)
    throw std::invalid_argument("a catalog master file holds at most 63 entries");
  entries_.insert(entries_.end(), entries.begin(), entries.end());
}

void MasterFile::add(const PlacedSet& placed, std::string_view disc_id) {
  std::array<cat::MasterEntry, 4> entries = placed.entries;
  if (!disc_id.empty()) {
    for (auto& e : entries) e.disc_id = field<cat::kMasterDiscIdSize>(disc_id);
  }
  add_entries(entries);
}

uint32_t MasterFile::append_blocks(const std::string& bytes) {
  const uint32_t base = static_cast<uint32_t>(1 + stored_.size() / kBlock);
  stored_ += bytes;
  return base;
}

PlacedSet MasterFile::store(const FileSet& set, const std::string& file_name) {
  if (!catalog_) throw std::invalid_argument("files are stored inside catalog master files only");
  PlacedSet p;
  p.entries = set.entries;
  for (int i = 0; i < cat::kDescriptors; ++i) {
    cat::MasterEntry& e = p.entries[static_cast<size_t>(i)];
    e.location = cat::kLocationInMaster;
    e.base_block = 0;
    if (i < cat::kMaxLevels && !set.levels[static_cast<size_t>(i)].empty())
      e.base_block = append_blocks(set.levels[static_cast<size_t>(i)]);
  }
  cat::MasterEntry& data = p.entries[cat::kDataLevel];
  const std::string data_name = cat::entry_name(data);
  if (!set.data.empty()) {
    data.base_block = append_blocks(set.data);
    stored_data_[data_name] = {data.base_block, data.size};
  } else if (auto it = stored_data_.find(data_name); it != stored_data_.end()) {
    data.base_block = it->second.first;
  }
  for (int i = 0; i < cat::kDescriptors; ++i) {
    if (p.entries[static_cast<size_t>(i)].size > 0) p.files[static_cast<size_t>(i)] = file_name;
  }
  add_entries(p.entries);
  return p;
}

std::string MasterFile::bytes() const {
  std::string out = encode_master_header(header_);
  for (cat::MasterEntry e : entries_) {
    const auto same = std::count_if(entries_.begin(), entries_.end(),
                                    [&e](const cat::MasterEntry& other) { return other.name == e.name; });
    e.same_name_count = static_cast<uint8_t>(same);
    out += encode_master_entry(e);
  }
  if (catalog_) {
    out.resize(cat::kCatalogMasterMinSize, '\0');
    out += stored_;
  }
  return out;
}

std::string catalog_master_name(std::string_view catalog_code) {
  return std::string(cat::kCatalogMasterPrefix) + std::string(catalog_code.substr(0, 6)) + cat::kMasterExtension;
}

}  // namespace zk::writer
