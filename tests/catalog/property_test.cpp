// Property tests of the engine against the writer: random record sets (keys
// with duplicates, letters that differ only in case, bytes on either side of
// the folded range, one to three levels of either mask, small and large
// files, overlapping child ranges) are written, opened at every location
// kind and read every way; each answer is checked against a plain scan of
// the same records (reading through disc images in a drive is the demo
// tour's, whose discs are ISO images). The same sets are then read through
// two handles, one with the index-block cache and one without, which must
// show a caller the same after every call. ZKALL_CATALOG_SWEEP=n runs n
// times as many sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <tuple>

#include "catalog/block_cache.h"
#include "catalog_support.h"
#include "platform/platform.h"

namespace zk::test {
namespace {

// Letters in both cases, the bytes between Z and a and around z, a digit and
// a byte above 0x7F.
const std::string kAlphabet = std::string("AaBbZz_[`{0") + '\xE9';

int sweep() {
  const char* s = std::getenv("ZKALL_CATALOG_SWEEP");
  return s != nullptr && std::atoi(s) > 0 ? std::atoi(s) : 1;
}

uint32_t pick(std::mt19937& rng, uint32_t lo, uint32_t hi) { return std::uniform_int_distribution<uint32_t>(lo, hi)(rng); }
bool chance(std::mt19937& rng, double p) { return std::bernoulli_distribution(p)(rng); }

std::string random_key(std::mt19937& rng, size_t length) {
  std::string k;
  for (size_t i = 0; i < length; ++i) {
    // A NUL inside a key compares like any byte; a key never starts with one.
    k += i > 0 && chance(rng, 0.03) ? '\0' : kAlphabet[pick(rng, 0, static_cast<uint32_t>(kAlphabet.size() - 1))];
  }
  return k;
}

std::string flip_case(std::mt19937& rng, std::string k) {
  for (char& c : k)
    if (chance(rng, 0.5) && (c | 0x20) >= 'a' && (c | 0x20) <= 'z') c = static_cast<char>(c ^ 0x20);
  return k;
}

struct Generated {
  writer::SetSpec spec;
  std::vector<std::string> pool;  // the distinct keys the records use
  std::string description;
};

// Random layout knobs of a set (the records are added by the caller).
void random_layout(std::mt19937& rng, writer::SetSpec& spec) {
  spec.levels = static_cast<int>(pick(rng, 1, 3));
  for (auto& m : spec.level_masks) m = chance(rng, 0.5) ? 2 : 3;
  for (auto& p : spec.per_key) p = chance(rng, 0.3);
  spec.data_mask = 2;
  spec.records_per_block = chance(rng, 0.5) ? pick(rng, 1, 6) : 0;
  if (chance(rng, 0.3)) spec.block_records = [salt = pick(rng, 0, 1000)](uint32_t block) { return (block * 7 + salt) % 5; };
  spec.entries_per_block = chance(rng, 0.6) ? pick(rng, 2, 8) : 0;
  spec.group_blocks = pick(rng, 1, 3);
  spec.overlap = chance(rng, 0.5);
}

Generated random_set(std::mt19937& rng, uint32_t max_records) {
  Generated g;
  writer::SetSpec& spec = g.spec;
  spec.name = "RAND.DAT";
  const uint32_t kinds[] = {0, 1, 7, 14, 15};
  spec.kind = static_cast<uint8_t>(kinds[pick(rng, 0, 4)]);
  const bool drops = spec.kind == 14 || spec.kind == 15;
  spec.key_length = drops ? pick(rng, 6, 12) : (chance(rng, 0.1) ? 20 : pick(rng, 1, 10));
  spec.key_offset = pick(rng, 0, 12);
  spec.record_length = spec.key_offset + spec.key_length + (chance(rng, 0.1) ? pick(rng, 600, 1400) : pick(rng, 0, 90));
  if (!drops && chance(rng, 0.3)) spec.index_key_length = pick(rng, 1, spec.key_length);
  random_layout(rng, spec);

  const uint32_t n = pick(rng, 0, max_records);
  const uint32_t distinct = std::max<uint32_t>(1, n / pick(rng, 1, 6));
  for (uint32_t i = 0; i < distinct; ++i) g.pool.push_back(random_key(rng, spec.key_length));
  for (uint32_t i = 0; i < n; ++i) {
    std::string key = flip_case(rng, g.pool[pick(rng, 0, distinct - 1)]);
    spec.records.push_back(record_with(spec.record_length, spec.key_offset, key, i));
  }
  g.description = "kind " + std::to_string(spec.kind) + ", " + std::to_string(n) + " records of " +
                  std::to_string(spec.record_length) + " bytes, key at " + std::to_string(spec.key_offset);
  return g;
}

// Builds the set, shrinking its index layout while the top level does not
// fit one block.
writer::FileSet build_fitting(writer::SetSpec& spec) {
  for (int attempt = 0;; ++attempt) {
    try {
      return writer::build_set(spec);
    } catch (const std::invalid_argument&) {
      if (attempt == 8) throw;
    }
    if (attempt == 0) {
      spec.entries_per_block = 0;
    } else if (spec.levels < 3) {
      ++spec.levels;
    } else {
      spec.level_masks = {3, 3, spec.level_masks[2]};
      spec.per_key = {};
      spec.group_blocks = 1;
    }
  }
}

// The keys to look for: stored keys in other spellings, prefixes, and keys
// that are not there.
std::vector<std::string> probes(std::mt19937& rng, const Generated& g, size_t count) {
  std::vector<std::string> out;
  const size_t key_length = g.spec.key_length;
  for (size_t i = 0; i < count && !g.pool.empty(); ++i) {
    std::string k = flip_case(rng, g.pool[pick(rng, 0, static_cast<uint32_t>(g.pool.size() - 1))]);
    switch (i % 4) {
      case 0: out.push_back(k); break;
      case 1: out.push_back(k.substr(0, pick(rng, 1, static_cast<uint32_t>(key_length)))); break;
      case 2: out.push_back(random_key(rng, pick(rng, 1, static_cast<uint32_t>(key_length)))); break;
      default: out.push_back(k.substr(0, key_length - (key_length > 6 ? 1 : 0))); break;
    }
  }
  out.push_back(std::string(key_length, '\xFF'));
  out.push_back(std::string(1, '\x01'));
  return out;
}

class CatalogProperty : public CatalogTest {
 protected:
  void TearDown() override { catalog::set_block_cache(true); }
  void check_keyed(zkall_cd_handle* h, const Model& model, const std::string& key) {
    SCOPED_TRACE("key '" + key + "' (" + std::to_string(key.size()) + " bytes)");
    int32_t detail = -1;
    ASSERT_EQ(cdreopen(h, &detail), 0);
    const std::vector<std::string> want = model.matches(key);
    int last = 0;
    EXPECT_EQ(read_all(h, key, want.size() + 2, &last), want);
    EXPECT_EQ(last, -1);

    ASSERT_EQ(cdreopen(h, &detail), 0);
    const int64_t block = model.first_block(key);
    const int r = cdseek_key(key.data(), static_cast<int32_t>(key.size()), h, &detail);
    // cdseek_key looks only at the child range of the first bottom entry
    // for the index search key. Where that key is the whole search key, the
    // range holds the first match; where the search key is longer, the
    // first match may lie in a later range, and the answer is -1 or a block
    // at or behind the first match that holds one.
    const bool drops = h->file_kind == 14 || h->file_kind == 15;
    const bool covers = key.size() <= (drops ? 5u : static_cast<size_t>(h->index_key_length));
    if (block < 0 || (r == -1 && !covers)) {
      EXPECT_EQ(r, -1);
      return;
    }
    ASSERT_EQ(r, 0) << detail;
    const uint32_t at = h->levels[3].scan_start - h->levels[3].base_block;
    if (covers)
      EXPECT_EQ(at, block);
    else
      EXPECT_TRUE(at >= block && model.block_matches(at, key));
    const std::vector<std::string> rest = model.in_order(at);
    EXPECT_EQ(read_all(h, "", rest.size() + 2), rest);
  }

  void check_in_order(zkall_cd_handle* h, const Model& model, const writer::FileSet& set, std::mt19937& rng) {
    int32_t detail = -1;
    ASSERT_EQ(cdreopen(h, &detail), 0);
    const std::vector<std::string> all = model.in_order();
    int last = 0;
    EXPECT_EQ(read_all(h, "", all.size() + 2, &last), all);
    EXPECT_EQ(last, -1);

    const uint32_t size = cdfilelen(h);
    ASSERT_EQ(size, set.blocks.size());
    // An empty data file is never opened: there is nothing to seek.
    if (size == 0) {
      EXPECT_EQ(rd(cdseek(3, 0, h, &detail), detail), "128/503");
      return;
    }
    const uint32_t b = pick(rng, 0, size);
    ASSERT_EQ(cdseek(3, b, h, &detail), 0);
    EXPECT_EQ(read_all(h, "", all.size() + 2), model.in_order(b));

    // Block mode: cdseek, then runs of blocks straight into the buffer.
    h->read_mode = 1;
    ASSERT_EQ(cdseek(3, b, h, &detail), 0);
    const int32_t n = static_cast<int32_t>(pick(rng, 1, 5));
    std::string buf(static_cast<size_t>(n) * 2048, '\0'), got;
    int32_t delivered = 0;
    int r = 0;
    for (int guard = 0; guard <= static_cast<int>(size) + 1 && r == 0; ++guard) {
      r = cdread(buf.data(), nullptr, 0, n, &delivered, nullptr, h, &detail);
      if (r == 0) {
        EXPECT_TRUE(delivered >= 1 && delivered <= n) << delivered;
        got.append(buf, 0, static_cast<size_t>(std::clamp(delivered, 0, n)) * 2048);
      }
    }
    EXPECT_EQ(r, -1);
    EXPECT_EQ(got, set.data.substr(static_cast<size_t>(b) * 2048));
    h->read_mode = 0;
  }

  // One call chosen by `op` and everything a caller sees after it: the
  // result, the detail, the record read, where each file stands after
  // cdreopen, every field of the handle (a file as open or not, the level
  // being searched by its number) and the blocks in the level buffers.
  std::string act(zkall_cd_handle* h, uint32_t op, const std::string& key) {
    int32_t detail = -7;
    std::string out(static_cast<size_t>(std::max(h->record_length, 1)), '\0');
    const auto length = static_cast<int32_t>(key.size());
    int r = 0;
    if (op < 3) {
      r = cdreopen(h, &detail);
      for (const zkall_cd_level& level : h->levels) {
        int error = 0;
        if (level.fd >= 0) out += std::to_string(platform_.lseek(level.fd, 0, platform::kSeekCur, error)) + ",";
      }
    } else if (op < 9) {
      r = cdread(out.data(), op == 8 ? nullptr : key.data(), op == 8 ? 0 : length, 0, nullptr, nullptr, h, &detail);
    } else {
      r = cdseek_key(key.data(), length, h, &detail);
    }
    zkall_cd_handle copy;
    std::memcpy(&copy, h, sizeof copy);
    for (zkall_cd_level& level : copy.levels) {
      level.fd = level.fd >= 0 ? 1 : -1;
      if (level.buffer != nullptr) out.append(reinterpret_cast<const char*>(level.buffer), 2048);
      level.buffer = nullptr;
    }
    copy.current = reinterpret_cast<zkall_cd_level*>(h->current == nullptr ? 0 : 1 + (h->current - h->levels));
    return rd(r, detail) + ":" + out + std::string(reinterpret_cast<const char*>(&copy), sizeof copy);
  }
};

// Each set is read every way against a plain scan; then two handles on it,
// one read with the index-block cache and one without, are given the same
// random calls and must show the same after each.
TEST_F(CatalogProperty, RandomSetsAnswerEveryReadAsAPlainScanWithOrWithoutTheCache) {
  std::mt19937 rng(20240309);
  int reads[2] = {0, 0};  // with the cache, without
  for (int i = 0; i < 36 * sweep() && !HasFatalFailure(); ++i) {
    Generated g = random_set(rng, i % 9 == 8 ? 2500 : 300);
    const writer::FileSet set = build_fitting(g.spec);
    const uint8_t location = static_cast<uint8_t>(i % 3);
    SCOPED_TRACE("set " + std::to_string(i) + ": " + g.description + ", location " + std::to_string(location));
    Handle handles[3] = {open(set, location), open(set, location), open(set, location)};
    ASSERT_NE(handles[2].get(), nullptr);
    const Model model(set);
    const std::vector<std::string> keys = probes(rng, g, 24);
    for (const std::string& key : keys) check_keyed(handles[2].get(), model, key);
    check_in_order(handles[2].get(), model, set, rng);
    for (int step = 0; step < 60; ++step) {
      const uint32_t op = pick(rng, 0, 9);
      const std::string& key = keys[pick(rng, 0, static_cast<uint32_t>(keys.size() - 1))];
      std::string seen[2];
      for (int side : {0, 1}) {
        catalog::set_block_cache(side == 0);
        platform_.reset_counts();
        seen[side] = act(handles[side].get(), op, key);
        reads[side] += platform_.reads;
      }
      catalog::set_block_cache(true);
      ASSERT_EQ(seen[0], seen[1]) << "step " << step << ", call " << op << ", key '" << key << "'";
    }
  }
  EXPECT_LT(reads[0], reads[1]);  // the cache takes reads away
}

TEST_F(CatalogProperty, AlternateIndexSetsFindRecordsStoredInMainKeyOrder) {
  std::mt19937 rng(77);
  for (int i = 0; i < 12 * sweep() && !HasFatalFailure(); ++i) {
    writer::SetSpec main = simple_spec(0, 3, pick(rng, 1, 8)), alt;
    std::tie(main.name, main.kind, main.record_length, main.key_offset, main.key_length) =
        std::make_tuple("JOUHOU.DAT", 1, 40, 0, 6);
    std::tie(alt.name, alt.level_suffix, alt.kind, alt.key_offset) =
        std::make_tuple("JOUHOU.DAT", i % 2 == 0 ? "IS" : "IK", static_cast<uint8_t>(2 + i % 2), 8);
    alt.key_length = pick(rng, 2, 9);
    if (chance(rng, 0.3)) alt.index_key_length = pick(rng, 1, alt.key_length);
    random_layout(rng, alt);
    // Above the bottom an alternate set's ranges must not overlap.
    alt.level_masks = {3, 3, static_cast<uint8_t>(chance(rng, 0.5) ? 2 : 3)};
    alt.per_key = {};
    alt.overlap = false;

    Generated g;
    const uint32_t n = pick(rng, 1, i % 4 == 3 ? 1500 : 250);
    for (uint32_t k = 0; k < std::max<uint32_t>(1, n / 3); ++k) g.pool.push_back(random_key(rng, alt.key_length));
    for (uint32_t r = 0; r < n; ++r) {
      std::string rec = record_with(40, 0, random_key(rng, 6), r);
      const std::string akey = flip_case(rng, g.pool[pick(rng, 0, static_cast<uint32_t>(g.pool.size() - 1))]);
      main.records.push_back(rec.replace(8, akey.size(), akey));
    }
    const writer::FileSet main_set = writer::build_set(main);
    writer::FileSet alt_set;
    try {
      alt_set = writer::build_alternate_set(alt, main_set);
    } catch (const std::invalid_argument&) {
      alt.levels = 3;
      alt.entries_per_block = 0;
      alt_set = writer::build_alternate_set(alt, main_set);
    }
    g.spec = alt_set.spec;
    const uint8_t location = static_cast<uint8_t>(i % 3);
    SCOPED_TRACE("alternate set " + std::to_string(i) + ", kind " + std::to_string(alt.kind) + ", " +
                 std::to_string(n) + " records, location " + std::to_string(location));
    Handle h = open(alt_set, location, 0, &main_set);
    ASSERT_NE(h.get(), nullptr);
    const Model model(alt_set);
    for (const std::string& key : probes(rng, g, 16)) check_keyed(h.get(), model, key);
  }
}

}  // namespace
}  // namespace zk::test
