// A catalog installation laid out in a temporary directory, as the front end
// finds it on a real machine: drive letters (drives with a volume label,
// drives without a disc), a current directory holding ZKDROM.SYS, and the
// directories the configuration names. Every suite that starts the library
// the way the front end does builds on it.
//
// On POSIX the drive letters are links in a dosdevices directory of the
// test's own. On Windows (run under Wine) they are Wine's own drives,
// defined through its mount manager (support/wine_drives.h) and removed
// again when the installation ends; drive C: is the prefix's system drive
// itself, of which the installation removes whatever it added. A drive
// without a disc is answered by the test platform (support/test_platform.h).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace zk::test {

// The host path of `windows_path` (backslashes or slashes) below `root`.
std::filesystem::path host_path(const std::filesystem::path& root, const std::string& windows_path);

class Installation {
 public:
  Installation();
  ~Installation();
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  TestPlatform& platform() { return platform_; }
  const std::filesystem::path& root() const { return tmp_.path(); }
  // The host directory standing for a drive's root (made on demand).
  std::filesystem::path drive_root(char letter) const;
  // Links drive `letter` to its root directory; with `label`, writes the
  // volume label. A drive made "empty" is a link that points nowhere.
  void add_drive(char letter, const std::string& label = {});
  void set_label(char letter, const std::string& label);
  void empty_drive(char letter);
  void remove_drive(char letter);
  // Makes drive `letter` a second letter of drive `other`'s root (the disc
  // of `other` seen through `letter`).
  void alias_drive(char letter, char other);
  // The host path of `windows_path` below a drive's root ("CAT\\E1\\X.MST").
  std::filesystem::path at(char letter, const std::string& windows_path) const {
    return host_path(drive_root(letter), windows_path);
  }
  std::filesystem::path write(char letter, const std::string& windows_path, const std::string& content) const {
    return write_file(at(letter, windows_path), content);
  }
  std::string read(char letter, const std::string& windows_path) const { return read_file(at(letter, windows_path)); }
  bool exists(char letter, const std::string& windows_path) const {
    return std::filesystem::exists(at(letter, windows_path));
  }
  void mkdir(char letter, const std::string& windows_path) const {
    std::filesystem::create_directories(at(letter, windows_path));
  }

  // Lays out a complete installation, as a test starting the library the way
  // the front end does expects it:
  //   C: hard disk; D: catalog disc E1 (label "19990401E1"); E: no disc.
  //   ZKDROM.SYS: ECRAM=C:\WORK, ECMST=C:\CAT\MST, ECFIL=C:\ZK,
  //     CDROM=D:,E:, CRNTAREA=E, FRAMEWLD=C:\FRAME\WLD, FRAMEJPN=C:\FRAME\JPN
  //   installed discs E1 (number 01, 19990401), E2 (02, 19990701), G1 (01,
  //     19990501), frame-number disc EA; each with its master file.
  //   ZKDROM01.MSG in C:\ZK (insert-disc messages 881-883) and ZKDROM01.SCR
  //     in the current directory (labels 111-115, 126, 127).
  void lay_out_standard();
  // Installs a catalog directory with its root master file header.
  void install_catalog(const std::string& disc_id, const std::string& date, const std::string& number,
                       bool with_names = true, bool on_hard_disk = false) const;
  void write_messages(const std::vector<std::string>& lines) const;
  void write_screens(const std::vector<std::string>& lines) const;

  // The process's current directory during the test (the front end's).
  const std::filesystem::path& cwd() const { return cwd_; }
  // Writes ZKDROM.SYS in the current directory, one line per entry, each
  // ended by `eol`.
  void write_config(const std::vector<std::string>& lines, const std::string& eol = "\n") const;
  void write_cwd_file(const std::string& name, const std::string& content) const { write_file(cwd_ / name, content); }
  // The error log's lines (the log is in the current directory: TMP unset).
  std::vector<std::string> log_lines() const;
  // The part of each log line after the date and time stamp.
  std::vector<std::string> log_reports() const;

 private:
  void link_drive(char letter, const std::filesystem::path& target);

  TempDir tmp_;
  std::filesystem::path dosdevices_;
#ifdef _WIN32
  std::vector<std::filesystem::path> system_drive_before_;  // C:\ as the test found it
  std::map<char, std::filesystem::path> defined_;          // letters this installation defined, and their roots
#endif
  std::filesystem::path cwd_;
  TestPlatform platform_;
  ScopedPlatform installed_;
  ScopedCwd in_cwd_;
};

// The first 32 bytes of a master file: disc date, disc id (22), disc number
// (24), byte 26.
std::string master_header(const std::string& date, const std::string& disc_id, const std::string& number,
                          char byte26 = '1');

}  // namespace zk::test
