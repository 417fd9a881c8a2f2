// The library against the real Windows user interface (built for Windows
// only; run under Wine with its null graphics driver, where windows exist
// without a display): the insert-disc box found on screen by its title and
// answered as a user would. Strings made by OLE automation are the DLL
// caller's (tests/win32/caller.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

// Waits up to ten seconds for a box titled "Please Insert CD" other than
// `last` and clicks `button` on it, as a user would; gives its text back.
std::string click_next_box(HWND& last, int button) {
  for (int tries = 0; tries < 1000; ++tries, Sleep(10)) {
    HWND box = FindWindowA(nullptr, "Please Insert CD");
    if (!box || box == last || !GetDlgItem(box, button)) continue;
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the box's static text
    SendMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
    last = box;
    return text;
  }
  return "(no box)";
}

TEST(Win32FrontEndTest, InsertDiscBoxAnsweredRetryThenCancelOnScreen) {
  Installation inst;
  inst.lay_out_standard();
  ASSERT_EQ(drom_init(), 0);
  inst.platform().real_message_boxes = true;
  std::vector<std::string> texts;
  std::thread user([&texts] {
    HWND last = nullptr;
    for (int button : {IDRETRY, IDCANCEL}) texts.push_back(click_next_box(last, button));
  });
  int32_t detail = -1;
  const int rc = cdset_cd(-1, "E2", "02", nullptr, nullptr, nullptr, nullptr, 700, &detail);  // E2 is in no drive
  user.join();
  EXPECT_EQ(rc, 4) << "detail " << detail;  // cancelled at the second box
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("Please insert the catalog disc"), std::string::npos) << texts[0];
  EXPECT_EQ(texts[0], texts[1]);
  EXPECT_EQ(inst.platform().sleeps.size(), 3u);  // Retry polled the drive three times
  drom_term();
}

}  // namespace
}  // namespace zk::test
