// The library session of the command-line tool.
#include "tools/zkall/session.h"

#include <cstring>
#include <stdexcept>

#include "platform/platform.h"

namespace zk::tool {

Session::Session() {
  const int rc = drom_init();
  if (rc != 0) throw std::runtime_error("drom_init failed with " + std::to_string(rc) + " (see ZKERROR.LOG)");
}

Session::~Session() { drom_term(); }

int32_t Session::disc_index(const std::string& disc_id) {
  if (disc_id.size() != 2) throw std::runtime_error("a disc id has two characters: '" + disc_id + "'");
  const int32_t i = setuped_cdno1_to_cdno2(disc_id.c_str(), nullptr);
  if (i < 0) throw std::runtime_error("disc " + disc_id + " is not installed");
  return i;
}

std::string printable(const char* bytes, size_t n) {
  std::string s(bytes, n);
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = '.';
  return s;
}

std::string result_text(int result, int32_t detail) {
  std::string s = std::to_string(result);
  if (detail != 0) s += " (detail " + std::to_string(detail) + ")";
  return s;
}

void answer_prompts_with_cancel(std::ostream& out) {
  platform::current().set_message_box_answerer([&out](const std::string& text, const std::string& title, uint32_t) {
    out << "  +-- message box \"" << title << "\" --\n";
    size_t start = 0;
    for (;;) {
      size_t nl = text.find('\n', start);
      out << "  | " << text.substr(start, nl == std::string::npos ? std::string::npos : nl - start) << "\n";
      if (nl == std::string::npos) break;
      start = nl + 1;
    }
    out << "  +-- [Retry] [Cancel]: answered Cancel\n";
    return platform::kIdCancel;
  });
}

}  // namespace zk::tool
