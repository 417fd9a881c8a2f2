// A list-box window for the library to fill, as the front end hands it one.
// On POSIX, where the operating system has none, the platform layer holds it
// and answers the list-box messages the library sends with the values
// Windows answers, so the library's list-box code runs unchanged and tests
// and tools can read back what it put there (platform/posix/list_box.cpp).
// On Win32 it is a real, hidden LISTBOX window of the system, read back
// with LB_GETTEXT (platform/win32/list_box.cpp).
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
#ifdef _WIN32
  WindowHandle handle() { return window_; }
#else
  WindowHandle handle() { return this; }
#endif

  // Answers one list-box message as Windows does for an unsorted,
  // multiple-selection box (LB_ERR for an index that is not a line).
  intptr_t send(uint32_t msg, uintptr_t wparam, intptr_t lparam);

  const std::vector<std::string>& lines() const;
  bool selected(size_t i) const;
  int horizontal_extent() const;
  // How many messages the box has answered, by kind (for tests).
  int message_count(uint32_t msg) const;

  // The live box behind a handle, or null when the handle names none.
  static ListBox* from_handle(WindowHandle h);

 private:
  void count(uint32_t msg);

#ifdef _WIN32
  WindowHandle window_ = nullptr;
  intptr_t system_procedure_ = 0;        // the list box's own window procedure
  mutable std::vector<std::string> lines_;  // read back on demand
  static intptr_t __stdcall counting_procedure(WindowHandle, uint32_t, uintptr_t, intptr_t);
#else
  std::vector<std::string> lines_;
  std::vector<bool> selected_;
  int extent_ = 0;
#endif
  std::vector<std::pair<uint32_t, int>> counts_;
};

}  // namespace zk::platform
