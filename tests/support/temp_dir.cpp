// Temporary directories and a scoped current directory for tests.
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace zk::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  const char* base = std::getenv("ZKALL_TEST_TMP");
  fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
  fs::create_directories(root);
  std::random_device rd;
  for (;;) {
    fs::path p = root / ("zk" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      path_ = p;
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

fs::path write_file(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
  return path;
}

bool set_read_only(const fs::path& path, bool read_only) {
#ifdef _WIN32
  // The runtime's chmod leaves directories alone; the attribute is set directly.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  SetFileAttributesW(path.c_str(), read_only ? attributes | FILE_ATTRIBUTE_READONLY
                                             : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  const DWORD now = GetFileAttributesW(path.c_str());
  return now != INVALID_FILE_ATTRIBUTES && ((now & FILE_ATTRIBUTE_READONLY) != 0) == read_only;
#else
  const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  std::error_code ec;
  fs::permissions(path, read_only ? write : fs::perms::owner_write,
                  read_only ? fs::perm_options::remove : fs::perm_options::add, ec);
  return !ec && ((fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none) == read_only;
#endif
}

ScopedCwd::ScopedCwd(const fs::path& dir) : saved_(fs::current_path()) { fs::current_path(dir); }
ScopedCwd::~ScopedCwd() {
  std::error_code ec;
  fs::current_path(saved_, ec);
}

}  // namespace zk::test
