// AddItem, DeleteItem and AllDeleteItem, and the layout of the C records
// the item lists share with their callers.
#include "workfiles/item_list.h"

#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace zk::workfiles {

// ---- the layout callers walk at fixed offsets ---------------------------------
// Offsets of the 32-bit DLL, and of 64-bit builds where pointers widen them.
namespace {
constexpr bool kWide = sizeof(void*) == 8;
constexpr size_t at(size_t narrow, size_t wide) { return kWide ? wide : narrow; }
}  // namespace

static_assert(offsetof(zkall_item, prev) == 0);
static_assert(offsetof(zkall_item, next) == at(4, 8));
static_assert(sizeof(zkall_item) == at(8, 16));
static_assert(offsetof(zkall_item_list, first) == 0);
static_assert(offsetof(zkall_item_list, last) == at(4, 8));
static_assert(offsetof(zkall_item_list, count) == at(8, 16));
static_assert(sizeof(zkall_item_list) == at(12, 24));

static_assert(offsetof(zkall_sel_tmp_item, kind) == 0);
static_assert(offsetof(zkall_sel_tmp_item, key) == 2);
static_assert(offsetof(zkall_sel_tmp_item, value) == 14);
static_assert(sizeof(zkall_sel_tmp_item) == 16);
static_assert(offsetof(zkall_lcp_tmp_item, kind) == 0);
static_assert(offsetof(zkall_lcp_tmp_item, code) == 2);
static_assert(offsetof(zkall_lcp_tmp_item, partno) == 6);
static_assert(offsetof(zkall_lcp_tmp_item, value) == 18);
static_assert(sizeof(zkall_lcp_tmp_item) == 20);
static_assert(offsetof(zkall_sel_fgn_item, figno) == 0);
static_assert(sizeof(zkall_sel_fgn_item) == 4);

static_assert(offsetof(zkall_sel_tmp_node, data) == at(8, 16));
static_assert(sizeof(zkall_sel_tmp_node) == at(24, 32));
static_assert(offsetof(zkall_lcp_tmp_node, data) == at(8, 16));
static_assert(sizeof(zkall_lcp_tmp_node) == at(28, 40));
static_assert(offsetof(zkall_sel_fgn_node, data) == at(8, 16));
static_assert(sizeof(zkall_sel_fgn_node) == at(12, 24));

static_assert(offsetof(zkall_lcp_handle, index_path) == 0);
static_assert(offsetof(zkall_lcp_handle, data_file) == 80);
static_assert(offsetof(zkall_lcp_handle, record_length) == at(84, 88));
static_assert(offsetof(zkall_lcp_handle, entry_length) == at(86, 90));
static_assert(offsetof(zkall_lcp_handle, run_offset) == at(88, 92));
static_assert(offsetof(zkall_lcp_handle, position) == at(92, 96));
static_assert(offsetof(zkall_lcp_handle, total) == at(96, 100));
static_assert(offsetof(zkall_lcp_handle, end_flag) == at(100, 104));
static_assert(offsetof(zkall_lcp_handle, current_block) == at(104, 112));
static_assert(offsetof(zkall_lcp_handle, index_in_block) == at(108, 120));
static_assert(offsetof(zkall_lcp_handle, records_per_block) == at(110, 122));
static_assert(offsetof(zkall_lcp_handle, blocks) == at(112, 128));
static_assert(sizeof(zkall_lcp_handle) == at(124, 152));
static_assert(offsetof(zkall_lcp_block, records) == at(8, 16));
static_assert(sizeof(zkall_lcp_block) == at(4096, 4104));

// ---- the container ----------------------------------------------------------------

zkall_item* add_item(zkall_item_list* list, int32_t size) {
  if (list == nullptr || size < static_cast<int32_t>(sizeof(zkall_item))) return nullptr;
  if (platform::current().fault(platform::Op::Alloc, std::string()) != 0) return nullptr;
  // The items are C records the callers walk and the C runtime frees.
  auto* item = static_cast<zkall_item*>(std::malloc(static_cast<size_t>(size)));
  if (item == nullptr) return nullptr;
  item->next = nullptr;
  item->prev = list->last;
  if (list->last != nullptr)
    list->last->next = item;
  else
    list->first = item;
  list->last = item;
  ++list->count;
  return item;
}

void delete_item(zkall_item_list* list, zkall_item* item) {
  if (list == nullptr || item == nullptr) return;
  if (item->prev != nullptr)
    item->prev->next = item->next;
  else
    list->first = item->next;
  if (item->next != nullptr)
    item->next->prev = item->prev;
  else
    list->last = item->prev;
  std::free(item);
  --list->count;
}

int all_delete_item(zkall_item_list* list) {
  if (list == nullptr) return 0;
  for (zkall_item* item = list->first; item != nullptr;) {
    zkall_item* next = item->next;
    std::free(item);
    item = next;
  }
  list->first = nullptr;
  list->last = nullptr;
  list->count = 0;
  return 0;
}

}  // namespace zk::workfiles
