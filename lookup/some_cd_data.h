// Reading a file that exists once on every installed disc: the discs are
// tried one after another until one has a record with the key
// (cdget_some_cd_data). Either the first record found is returned and the
// search ends, or the search keeps its place between calls so that the
// caller fetches the records one after another across the discs.
//
// The search state belongs to the library from the first call to the one
// that ends the search. The caller holds a 32-bit word naming it: 0 before
// the first call and after the last; while a search goes on, the address of
// the state on the 32-bit DLL, and on 64-bit builds (where an address does
// not fit in 32 bits) a non-zero token of the library's table of live
// states. A word that names no live state is never followed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::lookup {

inline constexpr int kMaxSearchDiscs = 30;

// Modes of a search.
inline constexpr int32_t kModeFirst = 0;        // the first record, then the search ends
inline constexpr int32_t kModeFirstBlocks = 1;  // the same in block mode
inline constexpr int32_t kModeEach = 2;         // a record per call, the state kept
inline constexpr int32_t kModeRelease = -1;     // ends the search

// Details of the search itself (result 128 or 20).
inline constexpr int32_t kDetailNoStateWord = 3101;  // no state word, or a disc list of no discs
inline constexpr int32_t kDetailNoStateMemory = 3102;
inline constexpr int32_t kDetailUnknownState = 3103;  // the word names no live search

// The search state: one allocation per search (264 bytes on the 32-bit
// DLL, whose callers see its address).
struct SearchState {
  zkall_cd_handle* handle;         // the file of the current disc, or null
  int32_t discs[kMaxSearchDiscs];  // installed-disc indexes to visit, in order
  int32_t disc_count;
  int32_t position;  // index in `discs` of the disc being read
  int32_t read_mode;
  int32_t open;                      // 1 while the current disc's file is open and read
  int32_t visited[kMaxSearchDiscs];  // installed discs cdopen actually used
  int32_t visited_count;
};

struct SomeCdRequest {
  const char* file = nullptr;     // data file name, 10 characters
  const char* catalog = nullptr;  // catalog code, or null / empty for the discs' roots
  uint8_t kind = 0;
  int32_t mode = kModeFirst;
  int32_t drive = -1;
  const int32_t* discs = nullptr;  // installed-disc indexes, or null for every installed disc
  int32_t disc_count = 0;
  void* buffer = nullptr;  // as cdread's
  const char* key = nullptr;
  int32_t key_length = 0;
  int32_t blocks = 0;
  int32_t* blocks_read = nullptr;
  int32_t* record_index = nullptr;
  int32_t prompt_kind = 700;
};

// 0 with a record (its handle's record length in *record_length when
// given); -1 when no disc has (another) matching record; 4 the disc prompt
// cancelled; the failure of cdopen, cdread or cdclose; 128 with 3101 or
// 3103; 20 with 3102.
int cdget_some_cd_data(const SomeCdRequest& request, uint32_t* state_word, int32_t& detail,
                       int32_t* record_length = nullptr);

// Number of searches whose state is alive (for tests).
size_t live_searches();

}  // namespace zk::lookup
