// The group list and the list-box lines made from it.
#include "workfiles/group_list.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/discs.h"
#include "lookup/names.h"
#include "lookup/record.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "textutil/dates_areas.h"
#include "workfiles/group_part_names.h"
#include "workfiles/item_list.h"

namespace zk::workfiles {

static_assert(offsetof(zkall_grp_tmp_item, code) == 0);
static_assert(offsetof(zkall_grp_tmp_item, name) == kGroupCodeSize);
static_assert(offsetof(zkall_grp_tmp_item, pnc) == kGroupCodeSize + kGroupNameSize);
static_assert(sizeof(zkall_grp_tmp_item) == kGroupCodeSize + kGroupNameSize + kSlotBytes);
static_assert(offsetof(zkall_grp_tmp_node, data) == sizeof(void*) * 2);
static_assert(sizeof(zkall_grp_tmp_node) == (sizeof(void*) == 4 ? 672 : 680));

namespace {

constexpr const char* kModule = "ZKSUBG02";
constexpr int kNoMemoryCode = 20;
constexpr int kNoAreaDisc = 14;
constexpr size_t kGroupLineSize = 70;
constexpr size_t kPartLineSize = 68;

zkall_item_list g_grp_tmp{};

void report(const char* function, const char* call, int32_t n1, int32_t n2, int32_t n3) {
  startup::report(kModule, function, call, n1, n2, n3);
}

intptr_t send(platform::WindowHandle box, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  return platform::current().send_message(box, msg, wparam, lparam);
}

char* slot(zkall_grp_tmp_item& g, size_t i) { return g.pnc[i]; }

// The line of a part: its code, 2 blanks and its 60-character name.
std::string part_line(const char* code, const char* name) {
  std::string line(code, kSlotSize);
  line.append(2, ' ');
  line.append(name, kGroupNameSize);
  return line;
}

}  // namespace

zkall_item_list& grp_tmp() { return g_grp_tmp; }

zkall_grp_tmp_node* search_grptmp(const char* code) {
  if (code == nullptr) return nullptr;
  for (zkall_item* i = g_grp_tmp.first; i != nullptr; i = i->next) {
    auto* node = reinterpret_cast<zkall_grp_tmp_node*>(i);
    if (std::memcmp(node->data.code, code, kGroupCodeSize) == 0) return node;
  }
  return nullptr;
}

zkall_grp_tmp_node* append_group(const char* code) {
  auto* node = add_node<zkall_grp_tmp_node>(g_grp_tmp);
  if (node == nullptr) return nullptr;
  std::memcpy(node->data.code, code, kGroupCodeSize);
  std::memset(node->data.name, ' ', kGroupNameSize);
  std::memset(node->data.pnc, ' ', kSlotBytes);
  return node;
}

int set_grp_cd(const char* code, const char* name, size_t name_length) {
  if (code == nullptr) return 0;
  const size_t n = name != nullptr ? std::min(name_length, kGroupNameSize) : 0;
  zkall_grp_tmp_node* node = search_grptmp(code);
  if (node == nullptr) {
    if (g_grp_tmp.count >= kGroupLimit) return 1;
    node = append_group(code);
    if (node == nullptr) {
      report("VBSetGrpCd", "AddItem", kNoMemoryCode, 0, 456);
      return kNoMemoryCode;
    }
  }
  std::memset(node->data.name, ' ', kGroupNameSize);
  if (n > 0) std::memcpy(node->data.name, name, n);
  return 0;
}

int get_grp_name(const char* code, char* out, size_t length) {
  const zkall_grp_tmp_node* node = search_grptmp(code);
  if (node == nullptr) return 0;
  if (out != nullptr) std::memcpy(out, node->data.name, std::min(length, kGroupNameSize));
  return 1;
}

void del_grp_cd(const char* code) {
  if (zkall_grp_tmp_node* node = search_grptmp(code)) delete_item(&g_grp_tmp, &node->link);
}

void make_list_grp_mei(platform::WindowHandle box) {
  for (zkall_item* i = g_grp_tmp.first; i != nullptr; i = i->next) {
    const auto& g = reinterpret_cast<zkall_grp_tmp_node*>(i)->data;
    std::string line(2, ' ');
    line.append(g.code, kGroupCodeSize).append(5, ' ').append(g.name, kGroupNameSize);
    static_assert(2 + kGroupCodeSize + 5 + kGroupNameSize == kGroupLineSize);
    send(box, platform::kLbAddString, 0, reinterpret_cast<intptr_t>(line.c_str()));
  }
}

int make_list_grp_pnc(const char* code, platform::WindowHandle box, int16_t& flag) {
  const char* fn = "VBMakeListGrpPnc";
  int32_t disc = vehicle_catalog_disc();
  if (flag != 0) {
    const zkall_ctop* c = startup::ctop();
    const int32_t area = c != nullptr ? c->current_area : -1;
    const std::optional<char> letter = textutil::GetAreaChar(area);
    if (!letter) {
      report(fn, "GetAreaChar", kNoAreaDisc, area, 323);
      return kNoAreaDisc;
    }
    disc = catalog::setuped_top_cdno(*letter);
    if (disc < 0) {
      report(fn, "setuped_top_cdno", kNoAreaDisc, 1, 328);
      return kNoAreaDisc;
    }
  }
  flag = 0;
  zkall_grp_tmp_node* node = search_grptmp(code);
  if (node == nullptr) {
    flag = 1;
    return 0;
  }
  PartNameFile file;
  int32_t detail = 0;
  if (const int r = file.open(disc, detail); r != 0) {
    report(fn, "cdopen", r, detail, 344);
    return r;
  }
  for (size_t i = 0; i < kGroupSlots; ++i) {
    const char* code_i = slot(node->data, i);
    if (code_i[0] == ' ') break;
    char name[kGroupNameSize];
    std::memset(name, ' ', sizeof name);
    lookup::Record rec;
    file.reopen(detail);  // a failed rewind shows in the read
    const int r = file.read(code_i, rec, detail);
    if (r == 0) rec.field(kPartRecordName, kGroupNameSize, name, ' ');
    if (r != 0 && r != catalog::rc::kNotFound) {
      report(fn, "cdread", r, detail, 370);
      return r;
    }
    const std::string line = part_line(code_i, name);
    static_assert(kSlotSize + 2 + kGroupNameSize == kPartLineSize);
    send(box, platform::kLbAddString, 0, reinterpret_cast<intptr_t>(line.c_str()));
  }
  return 0;
}

int set_grp_pnc(platform::WindowHandle box, const char* code, const char* pnc, int16_t& index) {
  zkall_grp_tmp_node* node = search_grptmp(code);
  if (node == nullptr) return 0;
  char key[kSlotSize];
  std::memset(key, ' ', sizeof key);
  if (pnc != nullptr) std::memcpy(key, pnc, strnlen(pnc, kSlotSize));

  const bool append = index == kAppendSlot;
  size_t at = 0;
  if (append) {
    while (at < kGroupSlots && slot(node->data, at)[0] != ' ') ++at;
    if (at == kGroupSlots) {
      index = -1;
      return 0;
    }
  } else if (index >= 0 && static_cast<size_t>(index) < kGroupSlots) {
    at = static_cast<size_t>(index);
  } else {
    index = -1;
    return 0;
  }

  // get_hinmei looks on the first installed disc of the current area and
  // hands its status back in the caller's index.
  char name[kGroupNameSize];
  std::memset(name, ' ', sizeof name);
  uint16_t status = lookup::kStatusNoSuchCode;
  const int r = lookup::get_hinmei(key, name, status);
  index = static_cast<int16_t>(status);
  if (r != 0) {
    report("VBSetGrpPnc", "get_hinmei", r, 0, append ? 561 : 589);
    return r;
  }
  if (status != lookup::kStatusFound) return 0;

  std::memcpy(slot(node->data, at), key, kSlotSize);
  const std::string line = part_line(key, name);
  if (append) {
    send(box, platform::kLbAddString, 0, reinterpret_cast<intptr_t>(line.c_str()));
  } else {
    send(box, platform::kLbDeleteString, at, 0);
    send(box, platform::kLbInsertString, at, reinterpret_cast<intptr_t>(line.c_str()));
  }
  index = 0;
  return 0;
}

int del_grp_pnc(platform::WindowHandle box, const char* code) {
  zkall_grp_tmp_node* node = search_grptmp(code);
  if (node == nullptr) return 0;
  platform::HeapBlock copy;
  if (!platform::current().allocate(kSlotBytes, copy)) {
    report("VBDelGrpPnc", "malloc", kNoMemoryCode, 0, 631);
    return kNoMemoryCode;
  }
  intptr_t i = 0;
  while (i < send(box, platform::kLbGetCount, 0, 0)) {
    if (send(box, platform::kLbGetSel, static_cast<uintptr_t>(i), 0) <= 0) {
      ++i;
      continue;
    }
    // The line's length is asked first: a line of the front end's own may
    // be longer than the lines made here.
    const intptr_t length = send(box, platform::kLbGetTextLen, static_cast<uintptr_t>(i), 0);
    std::string text(static_cast<size_t>(std::max<intptr_t>(length, 0)) + 1, '\0');
    if (length >= 0) send(box, platform::kLbGetText, static_cast<uintptr_t>(i), reinterpret_cast<intptr_t>(text.data()));
    send(box, platform::kLbDeleteString, static_cast<uintptr_t>(i), 0);
    text.resize(std::max(text.size(), kSlotSize + 1), '\0');
    std::memcpy(copy.data(), node->data.pnc, kSlotBytes);
    for (size_t j = 0; j < kGroupSlots; ++j) {
      if (std::memcmp(copy.data() + j * kSlotSize, text.data(), kSlotSize) != 0) continue;
      std::memmove(slot(node->data, j), copy.data() + (j + 1) * kSlotSize, (kGroupSlots - 1 - j) * kSlotSize);
      std::memset(slot(node->data, kGroupSlots - 1), ' ', kSlotSize);
      break;
    }
  }
  return 0;
}

}  // namespace zk::workfiles
