// Preparing a search and the walk down the index levels: the search keys
// made from the caller's key, and taking the next entry for the key at one
// level, which sets the scan range of the level below.
#pragma once

#include <cstdint>

#include "zkall.h"

namespace zk::catalog {

// Stores the data search key (the key itself) and the index search key
// (for file kinds 14 and 15 and keys of 6 bytes or more the key without its
// sixth byte; otherwise at most the index key length of it), and hands out
// the three index level descriptors top to bottom when `levels` is given.
// 0, or 128 with 404 (key longer than the file's key), 405 (negative, above
// 20 bytes, or null with a length) or 410 (no handle); a refusal changes
// nothing in the handle.
int cdread_initial_set(zkall_cd_handle* h, const char* key, int32_t key_length, zkall_cd_level** levels,
                       int32_t& detail);

// Takes the next entry for the index search key at the handle's current
// level and, above the bottom level, sets the next level's scan range to its
// child range. 0 when an entry was taken; -1 when the level has nothing
// (more) for the key; 14, 15 from reading; 128 with 406 (index layout), 407
// (level count), 408 (child pointer not digits), 409 (child range past the
// end of its file), 410 (no handle or no current index level), 401, 50x.
int cdread_search_index(zkall_cd_handle* h, int32_t& detail);

}  // namespace zk::catalog
