// What the catalog targets (engine_fuzz, open_fuzz) share: opening a file
// set as the control bytes ask, the user at the insert-disc prompt, and the
// checks of an open's outcome.
#pragma once

#include "fuzz/fuzz_support.h"

namespace zk::fuzz {

enum class OpenWay : uint8_t { Root, Catalog, Frame, Direct };

// One open, read from the control bytes:
//   way (root cdopen, catalog cdopen, fcdopen, cdopen_direct), the file name
//   (one of the catalog's names, or 10 bytes of the control), the catalog
//   code (none, the demo's, or 6 bytes; kept for the catalog way and
//   cdopen_direct only), the file kind, the read mode, the
//   drive (-1..2), the installed disc (-1..4), the prompt kind, how often
//   the user answers Retry before Cancel; for cdopen_direct also the disc
//   id, number and date and the base block and size.
struct OpenRequest {
  OpenWay way = OpenWay::Root;
  std::string name;          // 10 bytes and a NUL
  std::string catalog_code;  // empty: none
  uint8_t kind = 0;
  int32_t read_mode = 0;
  int32_t drive = -1;
  int32_t disc = 0;
  int32_t prompt_kind = 700;
  int retries = 0;
  std::string disc_id;    // 2 bytes (cdopen_direct)
  std::string disc_no;    // empty: null
  std::string disc_date;  // empty: null
  uint32_t base_block = 0;
  uint32_t size = 0;
};

OpenRequest read_open_request(Control& in);

// Opens as asked, with a user who presses Retry `retries` times, then Cancel.
// Checks the result is one the opening functions document and that the
// handle is set exactly when the result is 0.
int open_set(const OpenRequest& request, zkall_cd_handle** handle, int32_t& detail);

// The letter case folding of key comparisons: A-Z as a-z.
bool same_folded(const char* a, const char* b, size_t n);

// Bounds the reads of the next call to 8 per block of every file on the
// machine (rounded up, times `discs`) plus 64: what one call may read,
// whatever the index says.
void bound_reads(uint64_t discs = 1);
// Fails with `what` when the call ran out of those reads.
void check_reads(const char* what);

}  // namespace zk::fuzz
