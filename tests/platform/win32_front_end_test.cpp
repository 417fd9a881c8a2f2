// The library against the real Windows user interface (built for Windows
// only; run under Wine with its null graphics driver, where windows exist
// without a display): the insert-disc box found on screen by its title and
// answered as a user would. Strings made by OLE automation are the DLL
// caller's (tests/win32/caller.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

// Answers the boxes titled `title` with the buttons in `clicks`, one box
// each, as a user clicking them would, and keeps each box's text. A box
// still up when the clicks are used up, or after ten seconds without the
// box awaited, is answered Cancel, so a test never waits for ever.
class UserAtTheScreen {
 public:
  UserAtTheScreen(const char* title, std::vector<int> clicks)
      : worker_([this, title, clicks] { answer(title, clicks); }) {}
  ~UserAtTheScreen() { finish(); }
  // Called when the call showing the boxes has returned.
  void finish() {
    done_ = true;
    if (worker_.joinable()) worker_.join();
  }
  std::vector<std::string> texts;

 private:
  // The box with its buttons in place, other than `last`, or null.
  static HWND box_ready(const char* title, HWND last, int button) {
    HWND found = FindWindowA(nullptr, title);
    return found && found != last && GetDlgItem(found, button) ? found : nullptr;
  }
  void answer(const char* title, const std::vector<int>& clicks) {
    HWND last = nullptr;
    for (int button : clicks) {
      HWND box = nullptr;
      for (int tries = 0; tries < 1000 && !box && !done_; ++tries)
        if (!(box = box_ready(title, last, button))) Sleep(10);
      if (!box) break;
      char text[512] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's static text
      texts.emplace_back(text);
      SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
      last = box;
    }
    for (; !done_; Sleep(10))
      if (HWND box = box_ready(title, nullptr, IDCANCEL)) SendMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
  }
  std::atomic<bool> done_{false};
  std::thread worker_;
};

TEST(Win32FrontEndTest, InsertDiscBoxAnsweredRetryThenCancelOnScreen) {
  Installation inst;
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.platform().real_message_boxes = true;
  int32_t detail = -1;
  UserAtTheScreen user("Please Insert CD", {IDRETRY, IDCANCEL});
  const int rc = cdset_cd(-1, "E2", "02", nullptr, nullptr, nullptr, nullptr, 700, &detail);  // E2 is in no drive
  user.finish();
  EXPECT_EQ(rc, 4) << "detail " << detail;  // cancelled at the second box
  ASSERT_EQ(user.texts.size(), 2u);
  EXPECT_NE(user.texts[0].find("Please insert the catalog disc"), std::string::npos) << user.texts[0];
  EXPECT_EQ(user.texts[0], user.texts[1]);
  EXPECT_EQ(inst.platform().sleeps.size(), 3u);  // Retry polled the drive three times
  drom_term();
}

}  // namespace
}  // namespace zk::test
