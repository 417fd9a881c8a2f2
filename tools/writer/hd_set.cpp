// Building hard-disk sets and their master files.
#include "tools/writer/hd_set.h"

#include <algorithm>
#include <stdexcept>

#include "catalog/format.h"
#include "catalog/hd_format.h"

namespace zk::writer {

namespace cat = zk::catalog;
namespace he = zk::catalog::hd_entry;

namespace {

constexpr uint32_t kDefaultBlockLimit = 2048;
constexpr uint32_t kPerBlockLimit = 255;  // counts per block are taken modulo 256

void fail(const std::string& what) { throw std::invalid_argument(what); }

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char unfold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string folded(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), fold);
  return s;
}
bool less_bytes(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<uint8_t>(x) < static_cast<uint8_t>(y);
  });
}

void put16(std::string& out, size_t at, uint32_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& out, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

// The keys reachable through one block of a level: lowest and highest.
struct Span {
  std::string lo;
  std::string hi;
};

struct Entry {
  std::string key;
  uint32_t block = 0;
  uint32_t count = 0;
};

std::vector<Entry> level_entries(const std::vector<Span>& below, uint8_t mask, const std::vector<std::string>& keys) {
  std::vector<Entry> out;
  if (mask == cat::kMaskExact) {
    size_t first = 0;
    for (const std::string& key : keys) {
      while (first < below.size() && less_bytes(below[first].hi, key)) ++first;
      size_t last = first;
      while (last < below.size() && !less_bytes(key, below[last].lo)) ++last;
      out.push_back({key, static_cast<uint32_t>(first), static_cast<uint32_t>(last - first)});
    }
  } else {
    for (size_t b = 0; b < below.size(); ++b) out.push_back({below[b].hi, static_cast<uint32_t>(b), 1});
  }
  return out;
}

}  // namespace

std::string fixed_name(const std::string& written) {
  const size_t dot = written.find('.');
  const std::string name = written.substr(0, dot);
  const std::string ext = dot == std::string::npos ? std::string() : written.substr(dot + 1);
  if (name.empty() || name.size() > 8 || ext.size() > 3) fail("not an 8.3 file name: " + written);
  return name + std::string(8 - name.size(), ' ') + ext + std::string(3 - ext.size(), ' ');
}

HdSet build_hd_set(const HdSetSpec& spec) {
  if (spec.record_length < 1) fail("the record length must be at least 1");
  if (spec.key_length < 1 || spec.key_length > cat::kSearchKeySize) fail("the key has 1 to 20 bytes");
  if (spec.key_offset + spec.key_length > spec.record_length) fail("key field outside the record");
  if (spec.levels < 0 || spec.levels > cat::kMaxLevels) fail("a set has 0 to 3 index levels");
  HdSet set;
  set.data_file = spec.data_name;
  set.index_file = spec.index_name;
  const uint32_t block = spec.block_size != 0
                             ? spec.block_size
                             : std::min(kDefaultBlockLimit / spec.record_length, kPerBlockLimit) * spec.record_length;
  if (block == 0 || block > INT16_MAX || block % spec.record_length != 0)
    fail("the block size must be a positive multiple of the record length below 32768");
  if (block / spec.record_length > kPerBlockLimit) fail("a block holds at most 255 records");
  set.block_size = block;
  const uint32_t entry_length = spec.key_length + static_cast<uint32_t>(cat::kHdChildPointerSize);
  if (spec.levels > 0 && (entry_length > block || block / entry_length > kPerBlockLimit))
    fail("a block holds 1 to 255 index entries");

  // Records in the engine's order.
  std::vector<std::string> records = spec.records;
  for (const std::string& r : records) {
    if (r.size() != spec.record_length) fail("a record of another length than the record length");
  }
  auto key_of = [&spec](const std::string& r) { return folded(r.substr(spec.key_offset, spec.key_length)); };
  std::stable_sort(records.begin(), records.end(),
                   [&](const std::string& a, const std::string& b) { return less_bytes(key_of(a), key_of(b)); });

  const uint32_t fit = block / spec.record_length;
  const uint32_t cap = spec.records_per_block == 0 ? fit : std::min(spec.records_per_block, fit);
  std::vector<Span> spans;
  std::vector<std::string> keys;
  for (size_t next = 0; next < records.size(); next += cap) {
    const size_t last = std::min<size_t>(next + cap, records.size());
    std::string bytes(block, '\0');
    std::vector<std::string>& held = set.blocks.emplace_back();
    for (size_t i = next; i < last; ++i) {
      std::copy(records[i].begin(), records[i].end(), bytes.begin() + static_cast<std::ptrdiff_t>((i - next) * spec.record_length));
      held.push_back(records[i]);
      if (keys.empty() || keys.back() != key_of(records[i])) keys.push_back(key_of(records[i]));
    }
    spans.push_back({key_of(records[next]), key_of(records[last - 1])});
    set.data += bytes;
  }

  // Index levels, bottom up; each level's blocks are the spans of the one above.
  std::array<std::string, 3> levels;
  std::vector<Span> below = spans;
  for (int level = spec.levels - 1; level >= 0; --level) {
    const uint8_t mask = spec.level_masks[static_cast<size_t>(level)];
    const std::vector<Entry> entries = level_entries(below, mask, keys);
    const uint32_t per = block / entry_length;
    const uint32_t limit = level == cat::kTopLevel || spec.entries_per_block == 0 ? per
                                                                                   : std::min(per, spec.entries_per_block);
    std::vector<Span> spans_here;
    std::string bytes;
    for (size_t first = 0; first < entries.size(); first += limit) {
      const size_t last = std::min<size_t>(first + limit, entries.size());
      std::string b(block, '\0');
      for (size_t i = first; i < last; ++i) {
        const Entry& e = entries[i];
        if (e.count > static_cast<uint32_t>(INT16_MAX)) fail("a child range of more than 32767 blocks");
        const size_t at = (i - first) * entry_length;
        for (size_t k = 0; k < spec.key_length; ++k) b[at + k] = unfold(e.key[k]);
        put32(b, at + spec.key_length, e.block);
        put16(b, at + spec.key_length + 4, e.count);
      }
      spans_here.push_back({entries[first].key, entries[last - 1].key});
      bytes += b;
    }
    if (level == cat::kTopLevel && spans_here.size() > 1) fail("the top level does not fit one block");
    levels[static_cast<size_t>(level)] = std::move(bytes);
    below = std::move(spans_here);
  }

  // The master file: four entries, the index levels stacked in one file.
  set.master.assign(cat::kHdMasterSize, '\0');
  const std::string index_fixed = spec.levels > 0 ? fixed_name(spec.index_name) : std::string(11, ' ');
  uint32_t base = 0;
  for (int level = 0; level < cat::kMaxLevels; ++level) {
    const size_t at = static_cast<size_t>(level) * cat::kHdEntrySize;
    const std::string& bytes = levels[static_cast<size_t>(level)];
    const uint32_t size = static_cast<uint32_t>(bytes.size() / block);
    set.level_blocks[static_cast<size_t>(level)] = size;
    set.master.replace(at + he::kName, cat::kHdNameSize, index_fixed);
    set.master[at + he::kKind] = static_cast<char>(spec.kind);
    set.master[at + he::kMask] = static_cast<char>(spec.level_masks[static_cast<size_t>(level)]);
    set.master[at + he::kKeyLength] = static_cast<char>(spec.key_length);
    put16(set.master, at + he::kBlockSize, block);
    put32(set.master, at + he::kSize, size);
    put32(set.master, at + he::kBaseBlock, size > 0 ? base : 0);
    put16(set.master, at + he::kRecordLength, entry_length);
    set.master[at + he::kLocation] = static_cast<char>(cat::kLocationHardDisk);
    base += size;
    set.index += bytes;
  }
  const size_t at = static_cast<size_t>(cat::kDataLevel) * cat::kHdEntrySize;
  set.master.replace(at + he::kName, cat::kHdNameSize, fixed_name(spec.data_name));
  set.master[at + he::kKind] = static_cast<char>(spec.kind);
  set.master[at + he::kMask] = static_cast<char>(spec.data_mask);
  set.master[at + he::kKeyLength] = static_cast<char>(spec.key_length);
  set.master[at + he::kKeyOffset] = static_cast<char>(spec.key_offset);
  put16(set.master, at + he::kBlockSize, block);
  put32(set.master, at + he::kSize, static_cast<uint32_t>(set.blocks.size()));
  put16(set.master, at + he::kRecordLength, spec.record_length);
  set.master[at + he::kLevels] = static_cast<char>(spec.levels);
  set.master[at + he::kLocation] = static_cast<char>(cat::kLocationHardDisk);
  return set;
}

}  // namespace zk::writer
