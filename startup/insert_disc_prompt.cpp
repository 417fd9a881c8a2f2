// Composing and showing the insert-disc prompt.
#include "startup/insert_disc_prompt.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "catalog/discs.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/texts.h"

namespace zk::startup {

namespace {

constexpr const char* kModule = "ZKSUBM01";
constexpr const char* kFunction = "disp_msgbox";
constexpr const char* kTitle = "Please Insert CD";

// Screen texts naming the drive and the discs of each area.
constexpr uint16_t kAnyDriveText = 111;
constexpr uint16_t kDiscTextE = 112;
constexpr uint16_t kDiscTextG = 113;
constexpr uint16_t kDiscTextU = 114;
constexpr uint16_t kDiscTextJ = 115;
constexpr uint16_t kFrameDiscTextE = 126;
constexpr uint16_t kFrameDiscTextJ = 127;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string format(const char* fmt, const std::string& a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, a.c_str());
  return buf;
}

// The label of the wanted disc by its area letter and second character.
std::string disc_label(const char* disc_id) {
  if (!disc_id) return {};
  const char c = disc_id[0];
  const char d = disc_id[1];
  uint16_t number = 0;
  switch (c) {
    case 'E': number = is_digit(d) ? kDiscTextE : kFrameDiscTextE; break;
    case 'G': number = kDiscTextG; break;
    case 'J': number = is_digit(d) ? kDiscTextJ : kFrameDiscTextJ; break;
    case 'U': number = kDiscTextU; break;
    default: return {};
  }
  const char* text = get_scr_text(number);
  return text ? text : "";
}

// The disc number shown: the given one, the installed disc's, or for a disc
// that is not installed "A" and the digit of a disc 0 or 1, else a blank.
std::string disc_number(const char* disc_id, const char* disc_no) {
  if (disc_no) return std::string(disc_no, strnlen(disc_no, 2));
  char installed[2];
  if (disc_id && catalog::setuped_cdno1_to_cdno2(disc_id, installed) >= 0)
    return std::string(installed, strnlen(installed, 2));
  if (disc_id && (disc_id[1] == '0' || disc_id[1] == '1')) return std::string("A") + disc_id[1];
  return " ";
}

}  // namespace

int disp_msgbox(int32_t message, int32_t drive, const char* disc_id, const char* disc_no, int32_t* answer) {
  const char* first = get_1stmsg_text(static_cast<uint16_t>(message));
  if (!first) {
    report(kModule, kFunction, "get_1stmsg_text", -1, 0, 192);
    return -1;
  }
  std::string text(first, strnlen(first, kMsgTextChars));

  std::string drive_label;
  const zkall_ctop* c = ctop();
  if (drive >= 0 && drive < kMaxDrives && c) {
    drive_label.assign(c->drives[drive], strnlen(c->drives[drive], 2));
  } else {
    const char* any = get_scr_text(kAnyDriveText);
    if (!any) {
      report(kModule, kFunction, "get_scr_text", -2, 0, 202);
      return -2;
    }
    drive_label = any;
  }
  text += format("%-9.9s]\n", drive_label);

  const char* second = get_2ndmsg_text();
  if (!second) {
    report(kModule, kFunction, "get_2ndmsg_text", -3, 0, 217);
    return -3;
  }
  text.append(second, strnlen(second, kMsgTextChars));

  char tail[32];
  std::snprintf(tail, sizeof tail, "%-6.6s %-2.2s]", disc_label(disc_id).c_str(),
                disc_number(disc_id, disc_no).c_str());
  text += tail;

  auto& p = platform::current();
  const int box = p.message_box(p.active_window(), text, kTitle, kInsertDiscStyle);
  if (box == platform::kIdCancel) {
    if (answer) *answer = kAnswerCancel;
    return 0;
  }
  if (box == platform::kIdRetry) {
    if (answer) *answer = kAnswerRetry;
    return 0;
  }
  report(kModule, kFunction, "MessageBox", -4, box, 298);
  return -4;
}

}  // namespace zk::startup
