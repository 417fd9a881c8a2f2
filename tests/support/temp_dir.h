// Temporary directories for tests: each test gets a fresh directory under
// $ZKALL_TEST_TMP (or the system's temporary directory), removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace zk::test {

// A whole file's bytes (empty when it cannot be read); writes one, making
// its directories, and gives its path back.
std::string read_file(const std::filesystem::path& path);
std::filesystem::path write_file(const std::filesystem::path& path, const std::string& content);

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `content` to `relative` (creating directories), returns the path.
  std::filesystem::path write(const std::string& relative, const std::string& content) const {
    return write_file(path_ / relative, content);
  }
  std::string read(const std::string& relative) const { return read_file(path_ / relative); }

 private:
  std::filesystem::path path_;
};

// Sets or clears the read-only attribute of a file or directory, as the
// operating system keeps it (on POSIX: the write permissions). Whether the
// attribute reads back as asked (Wine keeps none on directories).
bool set_read_only(const std::filesystem::path& path, bool read_only);

// Changes the current directory for the life of the object.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::filesystem::path& dir);
  ~ScopedCwd();

 private:
  std::filesystem::path saved_;
};

}  // namespace zk::test
