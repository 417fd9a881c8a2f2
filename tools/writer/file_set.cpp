// Building a file set's data file and index levels from records.
#include "tools/writer/file_set.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

#include "catalog/format.h"

namespace zk::writer {

namespace cat = zk::catalog;

namespace {

constexpr size_t kBlock = cat::kBlockSize;

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char unfold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string folded(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), fold);
  return s;
}

// Folded strings compare as the engine compares keys: unsigned bytes.
bool less_bytes(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return static_cast<uint8_t>(x) < static_cast<uint8_t>(y); });
}

void fail(const std::string& what) { throw std::invalid_argument(what); }

uint32_t index_key_length_of(const SetSpec& spec) {
  if (spec.index_key_length) return *spec.index_key_length;
  return cat::drops_sixth_byte(spec.kind) && spec.key_length > cat::kDroppedKeyByte ? spec.key_length - 1
                                                                                     : spec.key_length;
}

void check_spec(const SetSpec& spec) {
  if (spec.name.empty() || spec.name.size() > cat::kMasterFileNameSize) fail("file name must have 1 to 10 characters");
  if (spec.record_length < 1 || spec.record_length > kBlock) fail("record length must be 1 to 2048");
  if (spec.key_offset + spec.key_length > spec.record_length) fail("key field outside the record");
  if (spec.levels < 0 || spec.levels > cat::kMaxLevels) fail("a set has 0 to 3 index levels");
  const uint32_t ikl = index_key_length_of(spec);
  const uint32_t source = cat::drops_sixth_byte(spec.kind) && spec.key_length > cat::kDroppedKeyByte
                              ? spec.key_length - 1
                              : spec.key_length;
  if (ikl > source) fail("index key longer than the key it is taken from");
  if (ikl > cat::kLastKeySize) fail("index key longer than 32 bytes");
  if (spec.levels > 0 && ikl == 0) fail("an index needs an index key");
}

// Child ranges of a level, with the keys that reach through them: an entry
// leads to keys from `lo` up to its own key (both folded).
struct Entry {
  std::string key;
  std::string lo;
  uint32_t block = 0;
  uint32_t count = 0;
};

// What the level above knows of one block: the keys reachable through it.
struct Unit {
  std::string lo;
  std::string hi;
};

std::vector<Entry> per_block_entries(const std::vector<Unit>& below, uint32_t group, bool overlap) {
  std::vector<Entry> out;
  const uint32_t n = static_cast<uint32_t>(below.size());
  group = std::max<uint32_t>(group, 1);
  for (uint32_t first = 0; first < n; first += group) {
    const uint32_t last = std::min(first + group, n) - 1;
    const uint32_t start = overlap && first > 0 ? first - 1 : first;
    out.push_back({below[last].hi, below[start].lo, start, last - start + 1});
  }
  return out;
}

// One entry per distinct key: the child blocks whose keys span it. The
// blocks' spans rise with the block number, so these blocks are consecutive.
std::vector<Entry> per_key_entries(const std::vector<Unit>& below, const std::vector<std::string>& keys) {
  std::vector<Entry> out;
  size_t first = 0;
  for (const std::string& key : keys) {
    while (first < below.size() && less_bytes(below[first].hi, key)) ++first;
    size_t last = first;
    while (last < below.size() && !less_bytes(key, below[last].lo)) ++last;
    if (last == first) fail("a key that no child block holds");
    out.push_back({key, key, static_cast<uint32_t>(first), static_cast<uint32_t>(last - first)});
  }
  return out;
}

void put_digits(std::string& out, size_t at, uint32_t value, size_t width) {
  for (size_t i = width; i-- > 0;) {
    out[at + i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

struct Level {
  std::string bytes;
  std::vector<Unit> units;
};

// Lays entries out in blocks; the units of the level's blocks for the level
// above.
// Writes an entry key (folded) with the letters the set asks for.
using Speller = std::function<std::string(const std::string&)>;

Level pack_entries(const std::vector<Entry>& entries, uint32_t ikl, uint32_t entry_length, uint32_t per_block,
                   const Speller& spell) {
  const uint32_t fit = static_cast<uint32_t>(kBlock / entry_length);
  const uint32_t cap = per_block == 0 ? fit : std::min(per_block, fit);
  if (cap == 0) fail("an index entry does not fit a block");
  Level level;
  for (size_t first = 0; first < entries.size(); first += cap) {
    const size_t last = std::min<size_t>(first + cap, entries.size());
    std::string block(kBlock, '\0');
    Unit unit{entries[first].lo, entries[last - 1].key};
    for (size_t i = first; i < last; ++i) {
      const Entry& e = entries[i];
      if (e.block > cat::kMaxChildBlock || e.count > cat::kMaxChildCount)
        fail("child pointer does not fit 6 + 3 digits");
      const size_t at = (i - first) * entry_length;
      const std::string key = spell(e.key);
      std::copy(key.begin(), key.begin() + ikl, block.begin() + static_cast<std::ptrdiff_t>(at));
      if (ikl > 0 && block[at] == '\0') fail("an index key beginning with NUL would end its block");
      put_digits(block, at + ikl, e.block, cat::kChildBlockDigits);
      put_digits(block, at + ikl + cat::kChildBlockDigits, e.count, cat::kChildCountDigits);
      if (less_bytes(e.lo, unit.lo)) unit.lo = e.lo;
    }
    level.bytes += block;
    level.units.push_back(unit);
  }
  return level;
}

std::vector<std::string> distinct(std::vector<std::string> keys) {
  std::sort(keys.begin(), keys.end(), less_bytes);
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

// Builds the index levels bottom up over the data blocks' units (or, for an
// alternate set, over ready-made bottom entries) and fills the level entries.
// The raw index key of a record: as folded_index_key, without the folding.
std::string raw_index_key(const SetSpec& spec, const std::string& record);

// How a set spells its entry keys; `records` are the records the keys come
// from, in file order (the first spelling of a key is kept).
Speller speller_of(const SetSpec& spec, const std::vector<const std::string*>& records) {
  switch (spec.index_key_case) {
    case IndexKeyCase::Lower: return [](const std::string& key) { return key; };
    case IndexKeyCase::Record: {
      auto spelled = std::make_shared<std::map<std::string, std::string>>();
      for (const std::string* r : records) spelled->emplace(folded_index_key(spec, *r), raw_index_key(spec, *r));
      return [spelled](const std::string& key) {
        auto it = spelled->find(key);
        return it != spelled->end() ? it->second : key;
      };
    }
    case IndexKeyCase::Upper: break;
  }
  return [](const std::string& key) {
    std::string out = key;
    std::transform(out.begin(), out.end(), out.begin(), unfold);
    return out;
  };
}

void build_levels(FileSet& set, const std::vector<Unit>& data_units, const std::vector<std::string>& keys,
                  const std::vector<Entry>* bottom_entries, const Speller& spell) {
  const SetSpec& spec = set.spec;
  std::vector<Unit> below = data_units;
  for (int level = spec.levels - 1; level >= 0; --level) {
    const size_t i = static_cast<size_t>(level);
    std::vector<Entry> entries;
    if (bottom_entries != nullptr && level == spec.levels - 1)
      entries = *bottom_entries;
    else if (spec.level_masks[i] == cat::kMaskExact || spec.per_key[i])
      entries = per_key_entries(below, keys);
    else
      entries = per_block_entries(below, spec.group_blocks, spec.overlap);
    const uint32_t per_block = level == cat::kTopLevel ? 0 : spec.entries_per_block;
    Level built = pack_entries(entries, set.index_key_length, set.entry_length, per_block, spell);
    if (level == cat::kTopLevel && built.units.size() > 1) fail("the top level does not fit one block");
    set.levels[i] = std::move(built.bytes);
    below = std::move(built.units);
  }
  for (int level = 0; level < cat::kMaxLevels; ++level) {
    cat::MasterEntry& e = set.entries[static_cast<size_t>(level)];
    const std::string name = level_name(spec, level);
    std::copy(name.begin(), name.end(), e.name.begin());
    e.attribute = spec.attribute;
    e.kind = spec.kind;
    e.mask = spec.level_masks[static_cast<size_t>(level)];
    e.key_length = static_cast<uint8_t>(set.index_key_length);
    e.size = static_cast<uint32_t>(set.levels[static_cast<size_t>(level)].size() / kBlock);
    e.record_length = static_cast<uint16_t>(set.entry_length);
    e.levels = static_cast<uint8_t>(spec.levels);
  }
}

void fill_data_entry(cat::MasterEntry& e, const SetSpec& spec, const std::string& name, uint32_t blocks) {
  std::copy(name.begin(), name.end(), e.name.begin());
  e.attribute = spec.attribute;
  e.kind = spec.kind;
  e.mask = spec.data_mask;
  e.key_length = static_cast<uint8_t>(spec.key_length);
  e.key_offset = static_cast<uint8_t>(spec.key_offset);
  e.size = blocks;
  e.record_length = static_cast<uint16_t>(spec.record_length);
  e.levels = static_cast<uint8_t>(spec.levels);
}

}  // namespace

std::string level_name(const SetSpec& spec, int level) {
  const std::string stem = spec.name.substr(0, spec.name.find('.'));
  const std::string name = stem + "." + spec.level_suffix + std::to_string(level + 1);
  if (name.size() > cat::kMasterFileNameSize) fail("level name longer than 10 characters: " + name);
  return name;
}

namespace {
std::string raw_index_key(const SetSpec& spec, const std::string& record) {
  std::string key = record.substr(spec.key_offset, spec.key_length);
  if (cat::drops_sixth_byte(spec.kind) && key.size() > cat::kDroppedKeyByte) key.erase(cat::kDroppedKeyByte, 1);
  return key.substr(0, index_key_length_of(spec));
}
}  // namespace

std::string folded_index_key(const SetSpec& spec, const std::string& record) {
  return folded(raw_index_key(spec, record));
}

FileSet build_set(const SetSpec& spec) {
  check_spec(spec);
  FileSet set;
  set.spec = spec;
  set.spec.records.clear();
  set.index_key_length = index_key_length_of(spec);
  set.entry_length = set.index_key_length + static_cast<uint32_t>(cat::kChildPointerSize);

  for (const std::string& r : spec.records) {
    if (r.size() != spec.record_length) fail("a record of another length than the record length");
    if (r[0] == '\0') fail("a record beginning with NUL would end its block");
  }
  // Each record's folded index key and key, worked out once for the sort.
  struct Keyed {
    std::string index_key;
    std::string key;
    size_t record;
  };
  std::vector<Keyed> order(spec.records.size());
  for (size_t i = 0; i < order.size(); ++i) {
    order[i] = {folded_index_key(spec, spec.records[i]),
                folded(spec.records[i].substr(spec.key_offset, spec.key_length)), i};
  }
  if (!spec.keep_order) {
    std::stable_sort(order.begin(), order.end(), [](const Keyed& a, const Keyed& b) {
      if (a.index_key != b.index_key) return less_bytes(a.index_key, b.index_key);
      return less_bytes(a.key, b.key);
    });
  }

  const uint32_t fit = static_cast<uint32_t>(kBlock / spec.record_length);
  std::vector<Unit> units;
  std::vector<std::string> keys;
  keys.reserve(order.size());
  set.data.reserve(order.size() / fit * kBlock + kBlock);
  for (size_t next = 0; next < order.size();) {
    const uint32_t block_no = static_cast<uint32_t>(set.blocks.size());
    uint32_t cap = spec.records_per_block == 0 ? fit : std::min(spec.records_per_block, fit);
    if (spec.block_records) {
      const uint32_t wanted = spec.block_records(block_no);
      if (wanted > 0) cap = std::min(cap, wanted);
    }
    const size_t last = std::min<size_t>(next + cap, order.size());
    const size_t block_start = set.data.size();
    set.data.resize(block_start + kBlock, '\0');
    std::vector<std::string>& held = set.blocks.emplace_back();
    for (size_t i = next; i < last; ++i) {
      const std::string& r = spec.records[order[i].record];
      std::copy(r.begin(), r.end(), set.data.begin() + static_cast<std::ptrdiff_t>(block_start + (i - next) * spec.record_length));
      held.push_back(r);
      keys.push_back(order[i].index_key);
    }
    units.push_back({order[next].index_key, order[last - 1].index_key});
    next = last;
  }

  std::vector<const std::string*> in_order;
  for (const Keyed& k : order) in_order.push_back(&spec.records[k.record]);
  build_levels(set, units, distinct(std::move(keys)), nullptr, speller_of(spec, in_order));
  fill_data_entry(set.entries[cat::kDataLevel], spec, spec.name, static_cast<uint32_t>(set.blocks.size()));
  return set;
}

FileSet build_alternate_set(const SetSpec& spec_in, const FileSet& main) {
  SetSpec spec = spec_in;
  spec.record_length = main.spec.record_length;
  spec.records.clear();
  check_spec(spec);
  // The data scan of an alternate set does not skip records it has passed
  // (its records are in another order), so a bottom block reached twice
  // through overlapping ranges would deliver its records twice.
  for (int level = 0; level + 1 < spec.levels; ++level) {
    const size_t i = static_cast<size_t>(level);
    if (spec.level_masks[i] != cat::kMaskNotBelow || spec.per_key[i] || spec.overlap)
      fail("the levels above an alternate set's bottom level take mask 3, per block, without overlap");
  }
  FileSet set;
  set.spec = spec;
  set.index_key_length = index_key_length_of(spec);
  set.entry_length = set.index_key_length + static_cast<uint32_t>(cat::kChildPointerSize);
  set.blocks = main.blocks;

  // The records are in the main key's order: every block that holds an
  // index key gets an entry of its own, in (key, block) order.
  std::vector<Entry> bottom;
  std::vector<std::string> keys;
  for (uint32_t b = 0; b < main.blocks.size(); ++b) {
    std::vector<std::string> in_block;
    for (const std::string& r : main.blocks[b]) in_block.push_back(folded_index_key(spec, r));
    for (const std::string& key : distinct(std::move(in_block))) {
      bottom.push_back({key, key, b, 1});
      keys.push_back(key);
    }
  }
  std::stable_sort(bottom.begin(), bottom.end(), [](const Entry& a, const Entry& b) { return less_bytes(a.key, b.key); });
  if (spec.levels == 0 && !bottom.empty()) fail("an alternate index set needs index levels");
  std::vector<const std::string*> in_order;
  for (const auto& block : main.blocks)
    for (const std::string& r : block) in_order.push_back(&r);
  build_levels(set, {}, distinct(std::move(keys)), &bottom, speller_of(spec, in_order));
  const std::string data_name = cat::entry_name(main.entries[cat::kDataLevel]);
  fill_data_entry(set.entries[cat::kDataLevel], spec, data_name, main.entries[cat::kDataLevel].size);
  return set;
}

}  // namespace zk::writer
