// Fuzz target of the message and screen texts: ZKDROMnn.MSG and ZKDROMnn.SCR
// loaded as start-up loads them, then looked up in every way the front end
// and the insert-disc prompt do.
//
// Files: the message file (C:\ZKCAT\LIB\ZKDROM01.MSG under the standard
// configuration), the screen file (C:\FRONT\ZKDROM01.SCR), optionally
// ZKDROM.SYS (another menu language or data directory). Control bytes: a
// fault to inject, then operations, each a byte choosing it and its
// arguments:
//   0 get_1stmsg_text   number         4 VBGetScr     number, string length
//   1 get_2ndmsg_text                  5 disp_msgbox  message, drive, disc id
//   2 get_scr_text      number                        and number, the answer
//   3 VBGetMsg          number, string length
//   6 reload            the message or the screen file again
// Numbers are small (most of them near the ones the files hold) or any.
//
// Checks: a message line is its 71 characters and a NUL, a screen text at
// most 70 and a NUL, both inside the loaded table; the counts stay within
// 400 and 500; the front end's strings are written within their length and
// their terminators stay; disp_msgbox answers only its codes; the error log
// holds whole lines; nothing is left open.

#include "fuzz/fuzz_support.h"
#include "startup/common_areas.h"
#include "startup/texts.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 32;

uint16_t number(Control& in) {
  const uint8_t b = in.byte();
  // Most numbers near those the files use (messages 0-999, screens 0-9999).
  if (b < 0xF0) return static_cast<uint16_t>(b % 16 == 0 ? in.u16() : (b < 0x80 ? 880 + b % 8 : 100 + b % 32));
  return static_cast<uint16_t>(in.u16());
}

// A text of the message table: 71 characters and a NUL, inside the table.
void check_message(const char* text) {
  if (text == nullptr) return;
  check(zk::startup::ctop()->msg_table != 0, "a message text while no table is loaded");
  check(std::memchr(text, 0, zk::startup::kMsgTextChars + 1) == text + zk::startup::kMsgTextChars,
        "a message line is not 71 characters and a NUL");
}

void check_screen(const char* text) {
  if (text == nullptr) return;
  check(zk::startup::ctop()->scr_table != 0, "a screen text while no table is loaded");
  check(std::memchr(text, 0, zk::startup::kScrTextChars + 1) != nullptr, "a screen text is longer than 70");
}

void first_message(Control& in, size_t&) { check_message(get_1stmsg_text(number(in))); }

void second_message(Control&, size_t&) { check_message(get_2ndmsg_text()); }

void screen_text(Control& in, size_t&) { check_screen(get_scr_text(number(in))); }

void front_end_message(Control& in, size_t&) {
  const uint16_t n = number(in);
  zk::platform::FrontEndString s(in.byte() % 160u, '#');
  const int32_t written = VBGetMsg(n, s.get());
  check(written >= 0 && written <= 148 && static_cast<uint32_t>(written) <= s.byte_len(),
        "VBGetMsg wrote more than the string or its buffer holds");
  check_string_end(s, "a front-end string was written past its length");
}

void front_end_screen(Control& in, size_t&) {
  const uint16_t n = number(in);
  zk::platform::FrontEndString s(in.byte() % 100u, '#');
  VBGetScr(n, s.get());
  check_string_end(s, "a front-end string was written past its length");
}

void message_box(Control& in, size_t& reports) {
  const int32_t message = number(in);
  const int32_t drive = static_cast<int8_t>(in.byte()) % 12;
  const uint8_t form = in.byte();
  const std::string id(in.take(2)), no(in.take(2));
  static const int kAnswers[] = {zk::platform::kIdCancel, zk::platform::kIdRetry, 1};
  machine().default_answer = kAnswers[form % 3];
  int32_t answer = -7;
  const int32_t r = disp_msgbox(message, drive, (form & 4) && id.size() == 2 ? id.c_str() : nullptr,
                                (form & 8) && no.size() == 2 ? no.c_str() : nullptr, &answer);
  check(r >= -4 && r <= 0, "disp_msgbox answered outside 0..-4");
  if (r == 0) check(answer == 1 || answer == 2, "disp_msgbox gave an answer other than 1 or 2");
  if (r != 0) ++reports;
}

void reload(Control& in, size_t&) {
  if (in.byte() % 2) {
    free_msg();
    set_msg();
  } else {
    free_scr();
    set_scr();
  }
}

void run_operation(Control& in, size_t& reports) {
  using Operation = void (*)(Control&, size_t&);
  static constexpr Operation kOperations[] = {first_message,    second_message, screen_text, front_end_message,
                                              front_end_screen, message_box,    reload};
  kOperations[in.byte() % 7](in, reports);
  const zkall_ctop& c = *zk::startup::ctop();
  check(c.msg_count >= 0 && c.msg_count <= 400, "msg_count is outside the table");
  check(c.scr_count >= 0 && c.scr_count <= 500, "scr_count is outside the table");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control control = begin_catalog_input(data, size);
  set_msg();
  set_scr();
  // Forget what an earlier input left in the lookup memories.
  get_2ndmsg_text();
  size_t reports = 2;  // the configuration's and the installed-disc check's
  const int operations = control.byte() % kMaxOperations;
  for (int i = 0; i < operations; ++i) run_operation(control, reports);
  finish_input(reports);
  return 0;
}
