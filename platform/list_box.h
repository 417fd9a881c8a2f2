// A list-box window held by the platform layer where the operating system has
// none (POSIX): it answers the list-box messages the library sends with the
// values Windows answers, so the library's list-box code runs unchanged and
// tests and tools can read back what it put there. On Win32 the library sends
// the messages to the front end's real windows instead.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zk::platform {

class ListBox {
 public:
  ListBox();
  ~ListBox();
  ListBox(const ListBox&) = delete;
  ListBox& operator=(const ListBox&) = delete;

  // The handle the library is given for this box.
  WindowHandle handle() { return this; }

  // Answers one list-box message as Windows does for an unsorted,
  // multiple-selection box (LB_ERR for an index that is not a line).
  intptr_t send(uint32_t msg, uintptr_t wparam, intptr_t lparam);

  const std::vector<std::string>& lines() const { return lines_; }
  bool selected(size_t i) const { return i < selected_.size() && selected_[i]; }
  int horizontal_extent() const { return extent_; }
  // How many messages the box has answered, by kind (for tests).
  int message_count(uint32_t msg) const;

  // The live box behind a handle, or null when the handle names none.
  static ListBox* from_handle(WindowHandle h);

 private:
  std::vector<std::string> lines_;
  std::vector<bool> selected_;
  int extent_ = 0;
  std::vector<std::pair<uint32_t, int>> counts_;
};

}  // namespace zk::platform
