// LCPOpen, LCPKeyRead, LCPSeqRead, LCP3PrtNoRead and LCPClose.
#include "workfiles/local_prices.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "startup/error_log.h"
#include "startup/path_names.h"
#include "workfiles/item_list.h"

namespace zk::workfiles {

namespace {

constexpr char kModule[] = "ZKSUBF30";
constexpr int kOpenFailed = 11;
constexpr int kReadFailed = 14;
constexpr int kSeekFailed = 15;
constexpr int kNoMemory = 20;
constexpr int kRefused = 128;

struct PairLayout {
  const char* index_name;
  const char* data_name;
  int16_t record_length;
  int16_t entry_length;
  int16_t run_offset;
};

constexpr std::array<PairLayout, kLcpPairs> kPairs{{
    {"LOCALP1.IA", "LOCALP1.D", 62, 16, 12},
    {"LOCALP2.IA", "LOCALP2.D", 62, 16, 12},
    {"LOCALP3.IA", "LOCALP3.D", 132, 14, 10},
}};

platform::Stream* stream_of(const zkall_lcp_handle& h) { return static_cast<platform::Stream*>(h.data_file); }

// The handle must carry one of the pairs' layouts: its fields size every
// copy out of the blocks.
bool layout_ok(const zkall_lcp_handle& h) {
  return std::any_of(kPairs.begin(), kPairs.end(), [&h](const PairLayout& p) {
    return h.record_length == p.record_length && h.entry_length == p.entry_length && h.run_offset == p.run_offset;
  });
}

uint16_t get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint8_t* records_of(zkall_item* block) { return reinterpret_cast<zkall_lcp_block*>(block)->records; }

// The key's run: the first matching entry's start and the summed counts.
struct Run {
  bool found = false;
  uint32_t start = 0;
  uint64_t count = 0;
};

// Reads the index a block at a time into one item and sums the runs of the
// entries matching the key. 0, or the reported failure.
int find_run(const zkall_lcp_handle& h, const char* key, size_t key_length, Run& run) {
  int err = 0;
  platform::StreamPtr index = platform::current().fopen(h.index_path, "rb", err);
  if (!index) {
    startup::report(kModule, "LCPKeyRead", "fopen", kOpenFailed, err, 119);
    return kOpenFailed;
  }
  zkall_item_list blocks{};
  auto* block = add_node<zkall_lcp_block>(blocks);
  if (block == nullptr) {
    index->close();
    startup::report(kModule, "LCPKeyRead", "AddItem", kNoMemory, 0, 130);
    return kNoMemory;
  }
  const size_t entry_length = static_cast<size_t>(h.entry_length);
  const size_t per_block = kLcpBlockBytes / entry_length;
  const size_t run_at = static_cast<size_t>(h.run_offset);
  int result = 0;
  for (bool more = true; more;) {
    std::memset(block->records, 0, kLcpBlockBytes);
    const size_t wanted = per_block * entry_length;
    const size_t got = index->read(block->records, wanted);
    if (index->error()) {
      startup::report(kModule, "LCPKeyRead", "fread", kReadFailed, index->error_number(), 141);
      result = kReadFailed;
      break;
    }
    more = got == wanted;
    // Only whole entries count: the bytes of one cut short become zero, so
    // it ends the index like a zero entry.
    const size_t whole = got / entry_length;
    std::memset(block->records + whole * entry_length, 0, kLcpBlockBytes - whole * entry_length);
    for (size_t i = 0; i < per_block; ++i) {
      const uint8_t* entry = block->records + i * entry_length;
      if (entry[0] == 0) {
        more = false;
        break;
      }
      if (std::memcmp(entry, key, key_length) != 0) continue;
      if (!run.found) run.start = get16(entry + run_at);
      run.found = true;
      run.count += get16(entry + run_at + 2);
    }
  }
  index->close();
  all_delete_item(&blocks);
  return result;
}

// Reads `total` records from the start record into the handle's blocks.
int collect(zkall_lcp_handle& h, const Run& run) {
  platform::Stream* data = stream_of(h);
  const size_t record_length = static_cast<size_t>(h.record_length);
  const int seek_error = data == nullptr ? platform::kErrnoBadFile
                                         : data->seek(static_cast<int64_t>(run.start) * h.record_length,
                                                      platform::kSeekSet);
  if (seek_error != 0) {
    startup::report(kModule, "LCPKeyRead", "fseek", kSeekFailed, seek_error, 191);
    return kSeekFailed;
  }
  const uint64_t per_block = kLcpBlockBytes / record_length;
  for (uint64_t remaining = run.count; remaining > 0;) {
    auto* block = add_node<zkall_lcp_block>(h.blocks);
    if (block == nullptr) {
      startup::report(kModule, "LCPKeyRead", "AddItem", kNoMemory, 0, 204);
      return kNoMemory;
    }
    const size_t n = static_cast<size_t>(std::min(remaining, per_block));
    std::memset(block->records, 0, kLcpBlockBytes);
    // A run that passes the end of the data file stops here, at the first
    // block that comes short, so a corrupt count costs no more memory than
    // the file holds.
    if (data->read(block->records, n * record_length) != n * record_length) {
      startup::report(kModule, "LCPKeyRead", "fread", kReadFailed, data->error_number(), 216);
      return kReadFailed;
    }
    remaining -= n;
  }
  return 0;
}

}  // namespace

int lcp_open(zkall_lcp_handle* h, int16_t pair) {
  if (h == nullptr) return kRefused;
  *h = zkall_lcp_handle{};
  if (pair < 1 || pair > kLcpPairs) {
    startup::report(kModule, "LCPOpen", "Parm Error", kRefused, pair, 55);
    return kRefused;
  }
  const PairLayout& p = kPairs[static_cast<size_t>(pair - 1)];
  h->record_length = p.record_length;
  h->entry_length = p.entry_length;
  h->run_offset = p.run_offset;
  // A path that cannot be built leaves the bare file name.
  std::string path;
  startup::get_path_name(startup::kPathLocalPrice, -1, p.data_name, path);
  int err = 0;
  platform::StreamPtr data = platform::current().fopen(path, "rb", err);
  if (!data) return -1;
  h->data_file = data.release();
  startup::get_path_name(startup::kPathLocalPrice, -1, p.index_name, path);
  std::memset(h->index_path, 0, sizeof h->index_path);
  std::memcpy(h->index_path, path.data(), std::min(path.size(), sizeof h->index_path - 1));
  return 0;
}

int lcp_key_read(zkall_lcp_handle* h, const char* key, int16_t key_length, void* out) {
  if (h == nullptr || !layout_ok(*h)) return kRefused;
  h->end_flag = 0;
  all_delete_item(&h->blocks);
  h->position = 0;
  h->total = 0;
  h->current_block = nullptr;
  h->index_in_block = 0;

  // A key cannot be compared past the entry it is compared with.
  if (key_length < 0 || key_length > h->entry_length || (key == nullptr && key_length > 0)) {
    h->end_flag = 1;
    return 0;
  }
  Run run;
  if (int r = find_run(*h, key, static_cast<size_t>(key_length), run); r != 0) return r;
  if (!run.found || run.count == 0) {
    h->end_flag = 1;
    return 0;
  }
  h->records_per_block = static_cast<int16_t>(kLcpBlockBytes / static_cast<size_t>(h->record_length));
  if (int r = collect(*h, run); r != 0) {
    all_delete_item(&h->blocks);
    return r;
  }
  h->total = static_cast<uint32_t>(std::min<uint64_t>(run.count, UINT32_MAX));
  h->current_block = h->blocks.first;
  h->index_in_block = 0;
  h->position = 1;
  if (out != nullptr) std::memcpy(out, records_of(h->current_block), static_cast<size_t>(h->record_length));
  return 0;
}

int lcp_seq_read(zkall_lcp_handle* h, void* out) {
  if (h == nullptr || !layout_ok(*h)) return kRefused;
  if (h->current_block == nullptr) return kNoMemory;
  if (static_cast<uint64_t>(h->position) + 1 > h->total) {
    h->end_flag = 1;
    return 0;
  }
  const int16_t per_block = static_cast<int16_t>(kLcpBlockBytes / static_cast<size_t>(h->record_length));
  int16_t index = static_cast<int16_t>(h->index_in_block + 1);
  if (index >= per_block || index < 0) {
    if (h->current_block->next == nullptr) {
      h->end_flag = 1;
      return 0;
    }
    h->current_block = h->current_block->next;
    index = 0;
  }
  h->index_in_block = index;
  const size_t record_length = static_cast<size_t>(h->record_length);
  if (out != nullptr)
    std::memcpy(out, records_of(h->current_block) + static_cast<size_t>(index) * record_length, record_length);
  ++h->position;
  return 0;
}

void lcp3_prtno_read(zkall_lcp_handle* h, const char* partno, void* out) {
  if (h == nullptr) return;
  h->end_flag = 0;
  // Walked as pair 3 whatever the handle: 132-byte records, as many a block
  // as fit (30), so no handle is read outside its blocks.
  constexpr size_t kFit = kLcpBlockBytes / kLcpPair3RecordSize;
  const size_t per_block = std::min<size_t>(kFit, static_cast<size_t>(std::max<int16_t>(h->records_per_block, 0)));
  uint32_t seen = 0;
  for (zkall_item* block = h->blocks.first; block != nullptr && partno != nullptr; block = block->next) {
    for (size_t i = 0; i < per_block && seen < h->total; ++i, ++seen) {
      const uint8_t* record = records_of(block) + i * kLcpPair3RecordSize;
      if (std::memcmp(record + kLcpPartNoAt, partno, kLcpPartNoSize) != 0) continue;
      if (out != nullptr) std::memcpy(out, record, kLcpPair3RecordSize);
      return;
    }
  }
  h->end_flag = 1;
}

int lcp_close(zkall_lcp_handle* h) {
  if (h == nullptr) return 0;
  all_delete_item(&h->blocks);
  h->current_block = nullptr;
  if (platform::Stream* data = stream_of(*h)) {
    platform::StreamPtr owned(data);
    owned->close();
    h->data_file = nullptr;
  }
  return 0;
}

}  // namespace zk::workfiles
