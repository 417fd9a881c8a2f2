// VBAllResetListBox, VBSetListBox and VBReadHelpFile.
#include "workfiles/list_boxes.h"

#include <cstring>
#include <string>

#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "startup/path_names.h"

namespace zk::workfiles {

namespace {

// The one line buffer of the help-file reader (calls must not overlap).
char g_help_line[kHelpLineBuffer];

intptr_t send(platform::WindowHandle box, uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0) {
  return platform::current().send_message(box, msg, wparam, lparam);
}

enum class ReadEnd { EndOfFile, Error };

// Adds every line of the stream to the box, each without its last character.
ReadEnd fill_from(platform::Stream& f, platform::WindowHandle box, char* buf, int size) {
  for (;;) {
    std::memset(buf, 0, static_cast<size_t>(size));
    if (!f.gets(buf, size)) break;
    const size_t n = std::strlen(buf);
    if (n > 0) buf[n - 1] = '\0';
    send(box, platform::kLbAddString, 0, reinterpret_cast<intptr_t>(buf));
  }
  return f.error() ? ReadEnd::Error : ReadEnd::EndOfFile;
}

}  // namespace

intptr_t all_reset_list_box(platform::WindowHandle box) {
  const intptr_t count = send(box, platform::kLbGetCount);
  if (count < 1) return count;
  intptr_t answer = 0;
  for (intptr_t i = 0; i < count; ++i) answer = send(box, platform::kLbSetSel, 0, i);
  return answer;
}

int set_list_box(platform::WindowHandle box, const char* path) {
  static constexpr const char* kModule = "ZKSUBD01";
  static constexpr const char* kFunction = "VBSetListBox";
  send(box, platform::kLbResetContent);
  int err = 0;
  platform::StreamPtr f = platform::current().fopen(path ? path : "", "rt", err);
  if (!f) {
    startup::report(kModule, kFunction, "fopen", 11, err, 48);
    return 11;
  }
  char buf[kTextLineBuffer];
  if (fill_from(*f, box, buf, kTextLineBuffer) == ReadEnd::Error) {
    startup::report(kModule, kFunction, "fgets", 14, f->error_number(), 62);
    f->close();
    return 14;
  }
  f->close();
  return 0;
}

int read_help_file(platform::WindowHandle box, const char* topic) {
  static constexpr const char* kModule = "ZKSUBH01";
  static constexpr const char* kFunction = "VBReadHelpFile";
  send(box, platform::kLbResetContent);
  send(box, platform::kLbSetHorizontalExtent, static_cast<uintptr_t>(send(box, platform::kLbGetHorizontalExtent)));

  std::string name;
  if (topic) name.assign(topic, strnlen(topic, platform::sys_string_byte_len(topic)));
  const zkall_ctop* c = startup::ctop();
  if (c) name.append(c->menu_lang, strnlen(c->menu_lang, 2));
  name += ".HLP";
  if (name.size() >= startup::kNameBufferSize) {
    startup::report(kModule, kFunction, name.c_str(), 11, platform::kErrnoInvalid, 59);
    return 11;
  }
  std::string path;
  if (startup::get_path_name(startup::kPathLibraryFiles, 0, name, path) != 0) path = name;

  int err = 0;
  platform::StreamPtr f = platform::current().fopen(path, "rt", err);
  if (!f) {
    startup::report(kModule, kFunction, path.c_str(), 11, err, 59);
    return 11;
  }
  if (fill_from(*f, box, g_help_line, kHelpLineBuffer) == ReadEnd::Error) {
    startup::report(kModule, kFunction, path.c_str(), 14, f->error_number(), 73);
    f->close();
    return 14;
  }
  f->close();
  return 0;
}

}  // namespace zk::workfiles
