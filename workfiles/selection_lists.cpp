// The selection list, the local-price selection list and the selected-figure
// list. Entries are never deduplicated: adding a key twice gives two items,
// and searching or deleting takes the earlier one.
#include "workfiles/selection_lists.h"

#include <algorithm>
#include <cstring>

#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "workfiles/item_list.h"

namespace zk::workfiles {

namespace {

zkall_item_list g_sel_tmp{};
zkall_item_list g_lcp_tmp{};
zkall_item_list g_sel_fgn{};

// The first item of `list` that `matches`, or null.
template <class Node, class Match>
Node* find_first(zkall_item_list& list, Match matches) {
  for (zkall_item* i = list.first; i != nullptr; i = i->next) {
    auto* node = reinterpret_cast<Node*>(i);
    if (matches(node->data)) return node;
  }
  return nullptr;
}

void report_no_memory(const char* module, const char* function, int32_t site) {
  startup::report(module, function, "AddItem", kNoMemory, 0, site);
}

}  // namespace

zkall_item_list& sel_tmp() { return g_sel_tmp; }
zkall_item_list& lcp_tmp() { return g_lcp_tmp; }
zkall_item_list& sel_fgn() { return g_sel_fgn; }

// ---- selection list ----------------------------------------------------------------

bool append_sel_tmp(const zkall_sel_tmp_item& item) {
  auto* node = add_node<zkall_sel_tmp_node>(g_sel_tmp);
  if (node == nullptr) return false;
  node->data = item;
  return true;
}

int set_sel_tmp(const char* key, const int16_t* value) {
  if (g_sel_tmp.count >= kSelTmpLimit || key == nullptr || value == nullptr) return kListFull;
  zkall_sel_tmp_item item{};
  // A part name code has 6 characters and is passed blank-padded; the
  // seventh byte tells the two kinds apart.
  const bool name_code = key[kNameCodeSize] == ' ';
  item.kind = name_code ? 0 : 1;
  std::memset(item.key, ' ', sizeof item.key);
  std::memcpy(item.key, key, name_code ? kNameCodeSize : kSelKeySize);
  item.value = *value;
  if (!append_sel_tmp(item)) {
    report_no_memory("ZKSUBF21", "SetSelTmp", 251);
    return kNoMemory;
  }
  return kAdded;
}

zkall_sel_tmp_node* search_sel_tmp(const char* key) {
  if (key == nullptr) return nullptr;
  return find_first<zkall_sel_tmp_node>(
      g_sel_tmp, [key](const zkall_sel_tmp_item& d) { return std::memcmp(d.key, key, kSelKeySize) == 0; });
}

void del_sel_tmp(const char* key) {
  if (zkall_sel_tmp_node* node = search_sel_tmp(key)) delete_item(&g_sel_tmp, &node->link);
}

// ---- local-price selection list ------------------------------------------------------

bool append_lcp_tmp(const zkall_lcp_tmp_item& item) {
  auto* node = add_node<zkall_lcp_tmp_node>(g_lcp_tmp);
  if (node == nullptr) return false;
  node->data = item;
  return true;
}

int set_lcp_tmp(const char* partno, const int16_t* value, const char* code) {
  if (g_lcp_tmp.count >= kLcpTmpLimit || partno == nullptr || value == nullptr || code == nullptr)
    return kListFull;
  zkall_lcp_tmp_item item{};
  item.kind = 1;
  std::memcpy(item.partno, partno, kPartNoSize);
  std::memcpy(item.code, code, kLcpCodeSize);
  item.value = *value;
  if (!append_lcp_tmp(item)) {
    report_no_memory("ZKSUBF23", "SetLcpTmp", 248);
    return kNoMemory;
  }
  return kAdded;
}

zkall_lcp_tmp_node* search_lcp_tmp(const char* code, const char* partno) {
  if (code == nullptr || partno == nullptr) return nullptr;
  return find_first<zkall_lcp_tmp_node>(g_lcp_tmp, [code, partno](const zkall_lcp_tmp_item& d) {
    return std::memcmp(d.partno, partno, kPartNoSize) == 0 && std::memcmp(d.code, code, kLcpCodeSize) == 0;
  });
}

void del_lcp_tmp(const char* code, const char* partno) {
  if (zkall_lcp_tmp_node* node = search_lcp_tmp(code, partno)) delete_item(&g_lcp_tmp, &node->link);
}

// ---- selected-figure list ----------------------------------------------------------------

namespace {
bool append_figno(uint32_t figno) {
  auto* node = add_node<zkall_sel_fgn_node>(g_sel_fgn);
  if (node == nullptr) return false;
  node->data.figno = figno;
  return true;
}
}  // namespace

int set_selfgn(const uint32_t* figno) {
  if (g_sel_fgn.count >= kSelFgnLimit || figno == nullptr) return kListFull;
  if (!append_figno(*figno)) {
    report_no_memory("ZKSUBF22", "set_selfgn", 179);
    return kNoMemory;
  }
  return kAdded;
}

zkall_sel_fgn_node* search_selfgn(const uint32_t* figno) {
  if (figno == nullptr) return nullptr;
  const uint32_t wanted = *figno;
  return find_first<zkall_sel_fgn_node>(g_sel_fgn, [wanted](const zkall_sel_fgn_item& d) { return d.figno == wanted; });
}

void del_selfgn(const uint32_t* figno) {
  if (zkall_sel_fgn_node* node = search_selfgn(figno)) delete_item(&g_sel_fgn, &node->link);
}

int read_figno() {
  zkall_cnexta* area = startup::cnexta();
  if (area == nullptr) return kAdded;
  // The area holds 100 numbers; a larger count names slots it does not have.
  const int16_t stored = area->figure_count;  // a packed field: read by value
  const size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(stored, 0)), kFigureSlots);
  for (size_t i = 0; i < count; ++i) {
    uint32_t figno = 0;
    std::memcpy(&figno, reinterpret_cast<const uint8_t*>(area->figures) + i * sizeof figno, sizeof figno);
    if (!append_figno(figno)) {
      report_no_memory("ZKSUBF22", "VBread_figno", 33);
      return kNoMemory;
    }
  }
  return kAdded;
}

void write_figno(int16_t* count) {
  zkall_cnexta* area = startup::cnexta();
  int16_t copied = 0;
  if (area != nullptr) {
    auto* slots = reinterpret_cast<uint8_t*>(area->figures);
    std::memset(slots, 0, sizeof area->figures);
    for (zkall_item* i = g_sel_fgn.first; i != nullptr && copied < kSelFgnLimit; i = i->next, ++copied) {
      const uint32_t figno = reinterpret_cast<zkall_sel_fgn_node*>(i)->data.figno;
      std::memcpy(slots + static_cast<size_t>(copied) * sizeof figno, &figno, sizeof figno);
    }
    area->figure_count = copied;
  }
  if (count != nullptr) *count = copied;
}

void clear_figno() {
  if (zkall_cnexta* area = startup::cnexta()) {
    std::memset(reinterpret_cast<uint8_t*>(area->figures), 0, sizeof area->figures);
    area->figure_count = 0;
  }
  all_delete_item(&g_sel_fgn);
}

}  // namespace zk::workfiles
