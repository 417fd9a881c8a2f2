// List-box windows on Win32: a hidden LISTBOX window of the system whose
// window procedure is wrapped to count the messages it receives.
#include <windows.h>

#include <algorithm>

#include "platform/list_box.h"

namespace zk::platform {

namespace {
HWND hwnd(WindowHandle h) { return static_cast<HWND>(h); }
constexpr const char* kOwnerProperty = "zkall.ListBox";
}  // namespace

intptr_t __stdcall ListBox::counting_procedure(WindowHandle window, uint32_t msg, uintptr_t wparam,
                                               intptr_t lparam) {
  auto* box = static_cast<ListBox*>(GetPropA(hwnd(window), kOwnerProperty));
  if (!box) return DefWindowProcA(hwnd(window), msg, wparam, lparam);
  box->count(msg);
  return CallWindowProcA(reinterpret_cast<WNDPROC>(box->system_procedure_), hwnd(window), msg, wparam, lparam);
}

// An unsorted, multiple-selection box, as the front end's boxes are.
ListBox::ListBox() {
  window_ = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_HSCROLL | LBS_MULTIPLESEL | LBS_HASSTRINGS, 0, 0, 400,
                            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window_) return;
  SetPropA(hwnd(window_), kOwnerProperty, this);
  system_procedure_ = SetWindowLongPtrA(hwnd(window_), GWLP_WNDPROC,
                                        reinterpret_cast<LONG_PTR>(&ListBox::counting_procedure));
}

ListBox::~ListBox() {
  if (!window_) return;
  SetWindowLongPtrA(hwnd(window_), GWLP_WNDPROC, system_procedure_);
  RemovePropA(hwnd(window_), kOwnerProperty);
  DestroyWindow(hwnd(window_));
}

ListBox* ListBox::from_handle(WindowHandle h) {
  return h && IsWindow(hwnd(h)) ? static_cast<ListBox*>(GetPropA(hwnd(h), kOwnerProperty)) : nullptr;
}

intptr_t ListBox::send(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  return window_ ? static_cast<intptr_t>(SendMessageA(hwnd(window_), msg, wparam, lparam)) : kLbErr;
}

const std::vector<std::string>& ListBox::lines() const {
  lines_.clear();
  if (!window_) return lines_;
  const LRESULT count = SendMessageA(hwnd(window_), LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(hwnd(window_), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    const LRESULT got = SendMessageA(hwnd(window_), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    lines_.push_back(std::move(text));
  }
  return lines_;
}

bool ListBox::selected(size_t i) const {
  return window_ && SendMessageA(hwnd(window_), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
}

int ListBox::horizontal_extent() const {
  return window_ ? static_cast<int>(SendMessageA(hwnd(window_), LB_GETHORIZONTALEXTENT, 0, 0)) : 0;
}

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

}  // namespace zk::platform
