// The scan of the data file: taking up a new child range (or a position set
// by cdseek), then finding the next matching record in it, the next record
// in file order, or the next run of blocks.
#pragma once

#include <cstdint>

#include "catalog/block_io.h"
#include "zkall.h"

namespace zk::catalog {

// Whether the handle's record layout serves the read the search keys ask
// for (a key field inside whole records in a block): 0, or 128 with 402,
// 403 or 405. The read loop asks before walking the index.
int check_record_layout(const zkall_cd_handle& h, int32_t& detail);

// Delivers the next match of the data search key in the data file's current
// child range (record mode: one record into `buffer`), the next record in
// file order without a key, or blocks in block mode (up to `blocks` of them
// into `buffer`). 0 with the delivery; -1 when the range has no (further)
// match; 14, 15 from reading; 128 with 401 (null buffer, no blocks), 402,
// 403, 405 (layout that cannot hold the key), 410 (no handle, or not one of
// the library's), 411 (a data file of an unknown location kind), 50x.
// `blocks_read` receives the blocks read by the last read into the caller's
// buffer or the data file's (1 in record mode); `record_index` 0. Either
// may be null.
int cdread_search_data(zkall_cd_handle* h, void* buffer, int32_t blocks, int32_t* blocks_read,
                       int32_t* record_index, int32_t& detail);

// ---- inside the engine: the handle is known to be the library's ------------
// With a budget, the blocks read are taken from it (128/412 when used up).
int search_data(zkall_cd_handle& h, void* buffer, int32_t blocks, int32_t* blocks_read, int32_t* record_index,
                WorkBudget* budget, int32_t& detail);

}  // namespace zk::catalog
