// The three selection lists the front end keeps in memory, one of each per
// process: the selection list (part numbers and part name codes), the
// local-price selection list (part numbers with a four-character code) and
// the selected-figure list, with their limits, searches and the transfer of
// figure numbers to and from the cnexta area.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::workfiles {

inline constexpr int16_t kSelTmpLimit = 1000;
inline constexpr int16_t kLcpTmpLimit = 1000;
inline constexpr int16_t kSelFgnLimit = 100;
inline constexpr size_t kSelKeySize = 12;    // a part number
inline constexpr size_t kNameCodeSize = 6;   // a part name code
inline constexpr size_t kLcpCodeSize = 4;
inline constexpr size_t kPartNoSize = 12;
inline constexpr size_t kFigureSlots = 100;  // figure numbers of the cnexta area

// Results of the adding functions.
inline constexpr int kAdded = 0;
inline constexpr int kListFull = 1;
inline constexpr int kNoMemory = 20;

// The list heads.
zkall_item_list& sel_tmp();
zkall_item_list& lcp_tmp();
zkall_item_list& sel_fgn();

// Selection list. The key decides the kind: a blank seventh byte makes a
// part name code (its first 6 bytes), anything else a part number (12).
int set_sel_tmp(const char* key, const int16_t* value);
zkall_sel_tmp_node* search_sel_tmp(const char* key);
void del_sel_tmp(const char* key);

// Local-price selection list.
int set_lcp_tmp(const char* partno, const int16_t* value, const char* code);
zkall_lcp_tmp_node* search_lcp_tmp(const char* code, const char* partno);
void del_lcp_tmp(const char* code, const char* partno);

// Selected-figure list and the cnexta area's figure numbers.
int set_selfgn(const uint32_t* figno);
zkall_sel_fgn_node* search_selfgn(const uint32_t* figno);
void del_selfgn(const uint32_t* figno);
int read_figno();
void write_figno(int16_t* count);
void clear_figno();

// Appends an entry read back from a work file, as stored (no limit).
// False when memory is exhausted.
bool append_sel_tmp(const zkall_sel_tmp_item& item);
bool append_lcp_tmp(const zkall_lcp_tmp_item& item);

}  // namespace zk::workfiles
