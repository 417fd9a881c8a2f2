// The rules of the library's Windows paths and DOS patterns that every
// platform without the Windows kernel applies the same way (POSIX, and the
// in-memory platform of tests and fuzz targets): either separator, and names
// matched without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace zk::platform {

// Backslash or slash.
bool is_path_separator(char c);

// The components of a path between its separators; empty ones (a leading,
// trailing or doubled separator) are dropped.
std::vector<std::string> split_path_components(const std::string& path);

// Whether `name` matches the DOS pattern, without regard to case, as
// FindFirstFileA matches it: `*` any characters, `?` one character or none
// before a '.' or at the end, a '.' before a wildcard or at the end also
// matching the end of a name without extension (so "*." asks for names
// without one), `*` before a '.' stopping at the name's last '.', and "*.*"
// every name.
bool dos_pattern_match(const std::string& pattern, const std::string& name);

// A listing made whole in advance: FindFirstFileA has handed out entry 0,
// next() gives the others, then "no more files".
class ListedFinder final : public Finder {
 public:
  explicit ListedFinder(std::vector<FindEntry> entries) : entries_(std::move(entries)) {}
  bool next(FindEntry& out, uint32_t& error) override;

 private:
  std::vector<FindEntry> entries_;
  size_t pos_ = 1;
};

}  // namespace zk::platform
