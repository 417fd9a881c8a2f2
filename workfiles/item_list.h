// The item list, the library's one general-purpose container: a doubly
// linked list of heap blocks (items), each beginning with the two links
// (zkall_item) and going on with its owner's payload. Callers of the
// library walk the items themselves, so the head and the links are C
// records (zkall_item_list, zkall_item in zkall.h) and the items come from
// the C runtime's heap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::workfiles {

// Adds an item of `size` bytes (links included) after the last one. Null,
// the list unchanged, when the allocation fails (the platform's fault plan
// can make it fail: Op::Alloc), when `size` cannot hold the links, or for a
// null list. The payload is not initialised.
zkall_item* add_item(zkall_item_list* list, int32_t size);

// Typed form for the library's own items: a record beginning with a
// zkall_item named `link`.
template <class Node>
Node* add_node(zkall_item_list& list) {
  static_assert(offsetof(Node, link) == 0, "an item begins with its links");
  return reinterpret_cast<Node*>(add_item(&list, static_cast<int32_t>(sizeof(Node))));
}

// Unlinks `item` (which must be in `list`) and frees it.
void delete_item(zkall_item_list* list, zkall_item* item);

// Frees every item; the list becomes empty. Always 0.
int all_delete_item(zkall_item_list* list);

}  // namespace zk::workfiles
