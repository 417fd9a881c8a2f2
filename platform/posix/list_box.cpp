// List-box windows held by the POSIX platform layer: the answers to the
// list-box messages, as Windows gives them.
#include "platform/list_box.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace zk::platform {

namespace {
std::set<const ListBox*>& live_boxes() {
  static std::set<const ListBox*> boxes;
  return boxes;
}
}  // namespace

ListBox::ListBox() { live_boxes().insert(this); }
ListBox::~ListBox() { live_boxes().erase(this); }

ListBox* ListBox::from_handle(WindowHandle h) {
  auto* box = static_cast<ListBox*>(h);
  return live_boxes().count(box) ? box : nullptr;
}

const std::vector<std::string>& ListBox::lines() const { return lines_; }
bool ListBox::selected(size_t i) const { return i < selected_.size() && selected_[i]; }
int ListBox::horizontal_extent() const { return extent_; }

void ListBox::count(uint32_t msg) {
  auto it = std::find_if(counts_.begin(), counts_.end(), [msg](const auto& c) { return c.first == msg; });
  if (it == counts_.end())
    counts_.emplace_back(msg, 1);
  else
    ++it->second;
}

int ListBox::message_count(uint32_t msg) const {
  for (const auto& [m, n] : counts_)
    if (m == msg) return n;
  return 0;
}

intptr_t ListBox::send(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  count(msg);
  const auto count = static_cast<intptr_t>(lines_.size());
  const auto index = static_cast<intptr_t>(static_cast<int32_t>(wparam));
  switch (msg) {
    case kLbAddString: {
      const char* text = reinterpret_cast<const char*>(lparam);
      lines_.emplace_back(text ? text : "");
      selected_.push_back(false);
      return count;
    }
    case kLbInsertString: {
      const char* text = reinterpret_cast<const char*>(lparam);
      intptr_t at = index == -1 ? count : index;
      if (at < 0 || at > count) return kLbErr;
      lines_.insert(lines_.begin() + at, text ? text : "");
      selected_.insert(selected_.begin() + at, false);
      return at;
    }
    case kLbDeleteString:
      if (index < 0 || index >= count) return kLbErr;
      lines_.erase(lines_.begin() + index);
      selected_.erase(selected_.begin() + index);
      return count - 1;
    case kLbResetContent:
      lines_.clear();
      selected_.clear();
      return 0;
    case kLbGetCount:
      return count;
    case kLbGetSel:
      if (index < 0 || index >= count) return kLbErr;
      return selected_[static_cast<size_t>(index)] ? 1 : 0;
    case kLbSetSel: {
      // wparam: the new state; lparam: the line, or -1 for every line.
      const auto line = static_cast<intptr_t>(static_cast<int32_t>(lparam));
      if (line == -1) {
        std::fill(selected_.begin(), selected_.end(), wparam != 0);
        return 0;
      }
      if (line < 0 || line >= count) return kLbErr;
      selected_[static_cast<size_t>(line)] = wparam != 0;
      return 0;
    }
    case kLbGetText: {
      if (index < 0 || index >= count) return kLbErr;
      const std::string& s = lines_[static_cast<size_t>(index)];
      if (char* out = reinterpret_cast<char*>(lparam)) std::memcpy(out, s.c_str(), s.size() + 1);
      return static_cast<intptr_t>(s.size());
    }
    case kLbGetTextLen:
      if (index < 0 || index >= count) return kLbErr;
      return static_cast<intptr_t>(lines_[static_cast<size_t>(index)].size());
    case kLbGetHorizontalExtent:
      return extent_;
    case kLbSetHorizontalExtent:
      extent_ = static_cast<int>(wparam);
      return 0;
    default:
      return 0;
  }
}

}  // namespace zk::platform
