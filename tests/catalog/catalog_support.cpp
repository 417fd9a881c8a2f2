// Helpers of the engine tests.
#include "catalog_support.h"

#include <algorithm>
#include <tuple>

#include "tools/writer/open_set.h"

namespace zk::test {

namespace {

std::string fold(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool byte_less(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return uint8_t(x) < uint8_t(y); });
}

}  // namespace

std::vector<std::string> Model::in_order(uint32_t from_block) const {
  std::vector<std::string> out;
  for (size_t b = from_block; b < set_.blocks.size(); ++b)
    out.insert(out.end(), set_.blocks[b].begin(), set_.blocks[b].end());
  return out;
}

std::vector<std::string> Model::matches(const std::string& key) const {
  const writer::SetSpec& spec = set_.spec;
  struct Hit { std::string order; size_t position; std::string record; };
  std::vector<Hit> hits;
  size_t position = 0;
  for (const auto& block : set_.blocks) {
    for (const std::string& r : block) {
      const std::string field = r.substr(spec.key_offset, key.size());
      const bool hit = alternate() ? field == key : fold(field) == fold(key);
      if (hit) hits.push_back({alternate() ? writer::folded_index_key(spec, r) : std::string(), position, r});
      ++position;
    }
  }
  std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return byte_less(a.order, b.order); });
  std::vector<std::string> out;
  for (const Hit& h : hits) out.push_back(h.record);
  return out;
}

int64_t Model::first_block(const std::string& key) const {
  const writer::SetSpec& spec = set_.spec;
  std::string best;
  int64_t best_block = -1;
  for (size_t b = 0; b < set_.blocks.size(); ++b) {
    for (const std::string& r : set_.blocks[b]) {
      if (fold(r.substr(spec.key_offset, key.size())) != fold(key)) continue;
      if (!alternate()) return static_cast<int64_t>(b);
      // An alternate set's index leads to the blocks of the smallest index
      // key that begins with the key first.
      const std::string k = writer::folded_index_key(spec, r);
      if (best_block < 0 || byte_less(k, best)) {
        best = k;
        best_block = static_cast<int64_t>(b);
      }
    }
  }
  return best_block;
}

bool Model::block_matches(uint32_t block, const std::string& key) const {
  if (block >= set_.blocks.size()) return false;
  for (const std::string& r : set_.blocks[block])
    if (fold(r.substr(set_.spec.key_offset, key.size())) == fold(key)) return true;
  return false;
}

Handle CatalogTest::open(const writer::FileSet& set, uint8_t location, int32_t read_mode,
                         const writer::FileSet* main, const std::string& into) {
  const std::string sub = (dir_.path() / (into.empty() ? "set" + std::to_string(++sets_) : into)).string();
  writer::PlacedSet placed;
  if (location == 2) {
    const std::string master_name = writer::catalog_master_name("TEST01");
    writer::MasterFile master(writer::master_header("20240101", "E1", "01"), true);
    if (main != nullptr) master.store(*main, master_name);
    placed = master.store(set, master_name);
    writer::write_files(sub, {{master_name, master.bytes()}});
  } else {
    if (main != nullptr) writer::write_files(sub, writer::place_set(*main, location).contents);
    placed = writer::place_set(set, location);
    writer::write_files(sub, placed.contents);
  }
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  EXPECT_EQ(writer::open_placed_set(placed, sub, read_mode, &h, detail), 0) << detail;
  return Handle(h);
}

std::vector<std::string> CatalogTest::read_all(zkall_cd_handle* h, const std::string& key, size_t limit,
                                               int* last) {
  std::vector<std::string> out;
  std::string buf(static_cast<size_t>(std::max(h->record_length, 1)), '\0');
  int r = 0;
  while (out.size() <= limit) {
    int32_t detail = -7;
    r = cdread(buf.data(), key.data(), static_cast<int32_t>(key.size()), 0, nullptr, nullptr, h, &detail);
    if (r != 0) break;
    EXPECT_EQ(detail, 0);
    out.push_back(buf);
  }
  if (last != nullptr) *last = r;
  return out;
}

std::string record_with(uint32_t length, uint32_t offset, const std::string& key, uint32_t tag) {
  const std::string tag_text = std::to_string(100000000 + tag % 100000000).substr(1);  // eight digits
  std::string r(length, '\0');
  for (uint32_t i = 0; i < length; ++i) r[i] = tag_text[(i + 7) % 8];
  return r.replace(offset, key.size(), key);
}

writer::SetSpec simple_spec(int records, int levels, uint32_t records_per_block, uint32_t entries_per_block) {
  writer::SetSpec spec;
  std::tie(spec.name, spec.record_length, spec.key_offset, spec.key_length) = std::make_tuple("TEST.DAT", 24u, 2u, 4u);
  std::tie(spec.levels, spec.records_per_block, spec.entries_per_block) = std::tie(levels, records_per_block, entries_per_block);
  for (int i = 0; i < records; ++i)
    spec.records.push_back(record_with(24, 2, "K" + std::to_string(1000 + i % 1000).substr(1), static_cast<uint32_t>(i)));
  return spec;
}

}  // namespace zk::test
