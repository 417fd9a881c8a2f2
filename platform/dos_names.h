// The rules of the library's Windows paths and DOS patterns that every
// platform without the Windows kernel applies the same way (POSIX, and the
// in-memory platform of tests and fuzz targets): either separator, and names
// matched without regard to case.
#pragma once

#include <string>
#include <vector>

namespace zk::platform {

// Backslash or slash.
bool is_path_separator(char c);

// The components of a path between its separators; empty ones (a leading,
// trailing or doubled separator) are dropped.
std::vector<std::string> split_path_components(const std::string& path);

// Whether `name` matches the DOS pattern (`*`, `?`, `*.` for names without an
// extension, `*.*` for every name), without regard to case.
bool dos_pattern_match(const std::string& pattern, const std::string& name);

}  // namespace zk::platform
