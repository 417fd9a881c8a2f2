// Windows path components and DOS pattern matching, shared by the platforms
// that have no Windows kernel to ask.
#include "platform/dos_names.h"

#include <algorithm>
#include <cctype>

namespace zk::platform {

namespace {

// The pattern of a directory listing in the form the file system matches
// it with, as FindFirstFileA prepares it: `?` becomes kDosQm, a `.` followed
// by `?`, `*` or the end becomes kDosDot, a `*` followed by a `.` kDosStar.
// (Three byte values that never occur in a pattern's own characters.)
constexpr char kDosQm = '\x01';    // one character, or none before a '.' or at the end
constexpr char kDosDot = '\x02';   // a '.', or nothing at the end
constexpr char kDosStar = '\x03';  // any characters up to the name's last '.'

std::string dos_expression(const std::string& pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '?')
      out += kDosQm;
    else if (c == '.' && (next == '?' || next == '*' || next == '\0'))
      out += kDosDot;
    else if (c == '*' && next == '.')
      out += kDosStar;
    else
      out += c;
  }
  return out;
}

bool same_char(char a, char b) {
  return ::tolower(static_cast<unsigned char>(a)) == ::tolower(static_cast<unsigned char>(b));
}

// Whether `name` matches the prepared expression, without regard to case.
// Walks the set of expression positions reachable after each character of
// the name, so any pattern costs at most its length per character.
bool expression_match(const std::string& expr, const std::string& name) {
  const size_t last_dot = name.rfind('.');
  std::vector<char> now(expr.size() + 1, 0), next(expr.size() + 1, 0);
  // Positions reachable without consuming a character at name position n.
  auto close = [&](std::vector<char>& set, size_t n) {
    const bool at_end = n == name.size();
    for (size_t e = 0; e < expr.size(); ++e) {
      if (!set[e]) continue;
      const char x = expr[e];
      const bool star_done = x == kDosStar && (last_dot == std::string::npos || n >= last_dot);
      const bool empty_ok = x == '*' || star_done || (x == kDosQm && (at_end || name[n] == '.')) ||
                            (x == kDosDot && at_end);
      if (empty_ok) set[e + 1] = 1;
    }
  };
  now[0] = 1;
  close(now, 0);
  for (size_t n = 0; n < name.size(); ++n) {
    std::fill(next.begin(), next.end(), 0);
    const char c = name[n];
    for (size_t e = 0; e < expr.size(); ++e) {
      if (!now[e]) continue;
      const char x = expr[e];
      if (x == '*') {
        next[e] = 1;
      } else if (x == kDosStar) {
        // Up to the last '.', which it leaves for what follows.
        if (last_dot == std::string::npos || n < last_dot) next[e] = 1;
      } else if (x == kDosQm) {
        if (c != '.') next[e + 1] = 1;
      } else if (x == kDosDot) {
        if (c == '.') next[e + 1] = 1;
      } else if (same_char(x, c)) {
        next[e + 1] = 1;
      }
    }
    close(next, n + 1);
    now.swap(next);
  }
  return now[expr.size()] != 0;
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
  // "*.*" asks for every name, with or without an extension.
  if (pattern == "*.*") return true;
  return expression_match(dos_expression(pattern), name);
}

bool ListedFinder::next(FindEntry& out, uint32_t& error) {
  if (pos_ >= entries_.size()) {
    error = kErrorNoMoreFiles;
    return false;
  }
  out = entries_[pos_++];
  error = 0;
  return true;
}

}  // namespace zk::platform
