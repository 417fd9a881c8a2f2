// Fuzz target of the indexed-file engine: a file set opened from fuzzed
// master, index and data files, then read every way the callers read:
// keyed and in order, in record and in block mode, repositioned by cdseek,
// cdseek_key and cdreopen, and through the exported steps.
//
// Files: the installation (master files, a set's levels and data on the hard
// disk, on discs or inside a catalog master file) and disc labels, laid out
// under the standard configuration. Control bytes: a fault to inject, the
// open (see catalog_support.h), then operations, each a byte choosing it and
// its arguments:
//   0 cdreopen                      4 cdseek_key        key length, key
//   1 cdread with a key             5 cdfilelen
//     (key length, key, blocks)     6 cdread_read_block level, blocks
//   2 cdread in order (blocks)      7 cdseek_only       level, block
//   3 cdseek  level, block
// The caller's buffer is exactly what the contract asks for (one record, or
// the blocks wanted), so a write past it is caught.
//
// Checks: results are documented ones; a keyed record read on a file whose
// data is searched for equal keys delivers a record with that key (letters
// folded); a record read in order is a record (it does not begin with NUL);
// block reads deliver between 1 and the blocks asked; cdfilelen is the data
// file's size; one call reads at most 8 times the blocks of all files (plus
// 64), whatever the index says; after cdclose nothing is left open.

#include "fuzz/catalog_support.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 48;
constexpr int32_t kMaxBlocksAsked = 6;

class Session {
 public:
  Session(zkall_cd_handle* h, Control& in) : h_(h), in_(in) {}

  void run_operation() {
    bound_reads();
    int32_t detail = 0;
    switch (in_.byte() % 8) {
      case 0: documented("cdreopen", cdreopen(h_, &detail), {0, 15, 128}); break;
      case 1: {
        const std::string key = read_key();
        read(key, in_.byte() % kMaxBlocksAsked);
        break;
      }
      case 2: read({}, in_.byte() % kMaxBlocksAsked); break;
      case 3: {
        const uint8_t form = in_.byte();
        const int32_t level = form % 8 == 0 ? static_cast<int8_t>(in_.byte()) : 3;
        const uint32_t block = (form & 0x80) ? in_.u32() : in_.byte();
        documented("cdseek", cdseek(level, block, h_, &detail), {0, 15, 128});
        break;
      }
      case 4: {
        const std::string key = read_key();
        const int r = cdseek_key(key.data(), static_cast<int32_t>(key.size()), h_, &detail);
        documented("cdseek_key", r, {0, -1, 14, 15, 128});
        break;
      }
      case 5: check(cdfilelen(h_) == h_->levels[3].size, "cdfilelen is not the data file's size"); break;
      case 6: {
        const int32_t level = in_.byte() % 5, blocks = in_.byte() % 4;
        std::vector<uint8_t> buffer(static_cast<size_t>(blocks) * ZKALL_CD_BLOCK_SIZE + (blocks == 0));
        const int r = cdread_read_block(level, buffer.data(), blocks, h_, &detail);
        documented("cdread_read_block", r, {0, 14, 128});
        break;
      }
      case 7: {
        const auto level = static_cast<int32_t>(in_.byte() % 5);
        const uint32_t block = in_.u16();
        documented("cdseek_only", cdseek_only(level, block, h_, &detail), {0, 15, 128});
        break;
      }
    }
    check_reads("one engine call read more than 8 times the blocks of all files");
  }

 private:
  // Up to past the 20 bytes a search key holds.
  std::string read_key() { return in_.padded(in_.byte() % 24, '\0'); }

  void read(const std::string& key, int32_t blocks) {
    const bool block_mode = h_->read_mode == 1;
    const int32_t record = h_->record_length;
    const size_t size = block_mode ? static_cast<size_t>(blocks) * ZKALL_CD_BLOCK_SIZE
                                   : static_cast<size_t>(record > 0 ? record : 0);
    std::vector<char> buffer(size + (size == 0));
    int32_t delivered = -7;
    int32_t record_index = -7;
    int32_t detail = 0;
    const auto length = static_cast<int32_t>(key.size());
    const int r = cdread(size ? buffer.data() : nullptr, key.data(), length, blocks, &delivered, &record_index, h_,
                         &detail);
    documented("cdread", r, {0, -1, 11, 14, 15, 20, 128});
    if (r != 0) return;
    check(record_index == 0, "cdread's record index is not 0");
    if (block_mode) {
      check(delivered >= 1 && delivered <= blocks, "a block read delivered outside 1..the blocks asked");
      return;
    }
    check(delivered == 0, "a record read reports blocks delivered");
    check(buffer[0] != 0, "a record read delivered a record that begins with NUL");
    const bool alternate = h_->file_kind == 2 || h_->file_kind == 3;
    if (length > 0 && h_->data_mask == 2 && !alternate)
      check(same_folded(buffer.data() + h_->key_offset, key.data(), key.size()),
            "a keyed read delivered a record with another key");
  }

  zkall_cd_handle* h_;
  Control& in_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control control = begin_catalog_input(data, size, /*with_texts=*/true);
  const OpenRequest request = read_open_request(control);
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  if (open_set(request, &h, detail) == 0) {
    Session session(h, control);
    const int operations = control.byte() % kMaxOperations;
    for (int i = 0; i < operations; ++i) session.run_operation();
  }
  machine().set_read_budget(-1);
  const int closed = cdclose(&h, &detail);
  check(closed == 0 || (closed == 12 && detail != 0), "cdclose answered an undocumented result");
  check(h == nullptr, "cdclose left the handle set");
  end_input();
  return 0;
}
