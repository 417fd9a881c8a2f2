// Windows path components and DOS pattern matching, shared by the platforms
// that have no Windows kernel to ask.
#include "platform/dos_names.h"

#include <cctype>

namespace zk::platform {

namespace {

bool wildcard(const char* p, const char* n) {
  // Iterative glob with '*' and '?', case-insensitive.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n) {
    if (*p == '?' || (*p && *p != '*' && ::tolower(static_cast<unsigned char>(*p)) ==
                                             ::tolower(static_cast<unsigned char>(*n)))) {
      ++p;
      ++n;
    } else if (*p == '*') {
      star = p++;
      resume = n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

}  // namespace

bool is_path_separator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> split_path_components(const std::string& path) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : path) {
    if (is_path_separator(c)) {
      if (!cur.empty()) out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

bool dos_pattern_match(const std::string& pattern, const std::string& name) {
  const bool only_wild = !pattern.empty() && pattern.find_first_not_of("*?.") == std::string::npos &&
                         pattern.find('*') != std::string::npos;
  if (name == "." || name == "..") return only_wild;
  if (pattern.empty()) return false;
  // "NAME." asks for names without an extension.
  if (pattern.back() == '.') {
    if (name.find('.') != std::string::npos) return false;
    return wildcard(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str());
  }
  // "NAME.*" also matches names without any extension.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return wildcard(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  return wildcard(pattern.c_str(), name.c_str());
}

}  // namespace zk::platform
