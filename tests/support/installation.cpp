// The temporary catalog installation shared by the test suites.
#include "support/installation.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "startup/common_areas.h"
#include "support/wine_drives.h"

namespace zk::test {

namespace fs = std::filesystem;

std::filesystem::path host_path(const fs::path& root, const std::string& windows_path) {
  fs::path p = root;
  std::string part;
  for (char c : windows_path + "\\") {
    if (c == '\\' || c == '/') {
      if (!part.empty()) p /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  return p;
}

std::string master_header(const std::string& date, const std::string& disc_id, const std::string& number,
                          char byte26) {
  std::string h(32, '\0');
  h.replace(0, 8, date.substr(0, 8));
  h.replace(22, 2, disc_id.substr(0, 2));
  h.replace(24, 2, number.substr(0, 2));
  h[26] = byte26;
  return h;
}

// The entry of a drive letter in dosdevices ("d:"); whether it is C:.
[[maybe_unused]] static std::string link_name(char letter) { return {static_cast<char>(std::tolower(letter)), ':'}; }
[[maybe_unused]] static bool is_system_drive(char letter) { return std::tolower(letter) == 'c'; }

Installation::Installation()
    : dosdevices_(tmp_.path() / "dosdevices"),
      cwd_(tmp_.path() / "front"),
      platform_(dosdevices_.string()),
      installed_(platform_),
      in_cwd_((fs::create_directories(tmp_.path() / "front"), tmp_.path() / "front")) {
  fs::create_directories(dosdevices_);
#ifdef _WIN32
  for (const auto& e : fs::directory_iterator(drive_root('c'))) system_drive_before_.push_back(e.path());
#endif
  add_drive('c');
}

// Each test starts from no common areas, as a freshly loaded library does.
Installation::~Installation() {
  startup::free_table();
#ifdef _WIN32
  for (const auto& entry : defined_) wine::remove_drive(entry.first);
  std::error_code ec;
  // Windows keeps a process's current directory from being removed: leave
  // whatever directory of C: the test went to.
  fs::current_path(tmp_.path(), ec);
  for (const auto& e : fs::directory_iterator(drive_root('c'), ec)) {
    if (std::find(system_drive_before_.begin(), system_drive_before_.end(), e.path()) != system_drive_before_.end())
      continue;
    // A test may leave read-only files behind, which Windows refuses to
    // delete: every entry below is made writable first.
    fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    if (fs::is_directory(e.path(), ec))
      for (const auto& inner : fs::recursive_directory_iterator(e.path(), ec))
        fs::permissions(inner.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(e.path(), ec);
  }
#endif
}

fs::path Installation::drive_root(char letter) const {
#ifdef _WIN32
  if (is_system_drive(letter)) return fs::path("C:\\");
#endif
  fs::path p = tmp_.path() / "drives" / std::string(1, static_cast<char>(std::tolower(letter)));
  fs::create_directories(p);
  return p;
}

void Installation::link_drive(char letter, const fs::path& target) {
#ifdef _WIN32
  wine::define_drive(letter, target);
  defined_[letter] = target;
#else
  fs::create_directory_symlink(target, dosdevices_ / link_name(letter));
#endif
}

void Installation::add_drive(char letter, const std::string& label) {
#ifdef _WIN32
  if (is_system_drive(letter)) {  // the prefix's own system drive stays
    if (!label.empty()) set_label(letter, label);
    return;
  }
#endif
  remove_drive(letter);
  if (!label.empty()) set_label(letter, label);
  link_drive(letter, drive_root(letter));
}

void Installation::alias_drive(char letter, char other) {
  remove_drive(letter);
  link_drive(letter, drive_root(other));
}

void Installation::set_label(char letter, const std::string& label) {
  std::ofstream(drive_root(letter) / ".windows-label", std::ios::trunc) << label << "\n";
#ifdef _WIN32
  // Wine's mount manager reads the label when a drive is defined: every
  // letter on this root is defined anew to see the new one.
  const fs::path root = drive_root(letter);
  const auto letters = defined_;
  for (const auto& [defined, target] : letters)
    if (target == root) link_drive(defined, target);
#endif
}

void Installation::empty_drive(char letter) {
  remove_drive(letter);
#ifdef _WIN32
  fs::create_directories(tmp_.path() / "no-disc-here");
  link_drive(letter, tmp_.path() / "no-disc-here");
  platform_.empty_drives.insert(static_cast<char>(std::toupper(letter)));
#else
  fs::create_directory_symlink(tmp_.path() / "no-disc-here", dosdevices_ / link_name(letter));
#endif
}

void Installation::remove_drive(char letter) {
#ifdef _WIN32
  if (is_system_drive(letter)) return;
  platform_.empty_drives.erase(static_cast<char>(std::toupper(letter)));
  if (defined_.erase(letter)) wine::remove_drive(letter);
#else
  std::error_code ec;
  fs::remove(dosdevices_ / link_name(letter), ec);
#endif
}

void Installation::write_config(const std::vector<std::string>& lines, const std::string& eol) const {
  std::string text;
  for (const auto& l : lines) text += l + eol;
  write_cwd_file("ZKDROM.SYS", text);
}

std::vector<std::string> Installation::log_lines() const {
  std::vector<std::string> lines;
  std::ifstream in(cwd_ / "ZKERROR.LOG", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written in text mode
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Installation::log_reports() const {
  std::vector<std::string> out;
  // "(MM/DD/YY HH:MM:SS)" is 19 characters.
  for (const auto& l : log_lines()) out.push_back(l.size() >= 19 ? l.substr(19) : l);
  return out;
}


void Installation::install_catalog(const std::string& disc_id, const std::string& date, const std::string& number,
                                   bool with_names, bool on_hard_disk) const {
  const std::string dir = "CAT\\MST\\" + disc_id + "\\";
  write('c', dir + "ZKROOTMF.MST", master_header(date, disc_id, number));
  if (with_names) write('c', dir + "SHAMEI.DAT", "");
  if (on_hard_disk) write('c', dir + "IMAGEF.DAT", "");
}

void Installation::write_messages(const std::vector<std::string>& lines) const {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  write('c', "ZK\\ZKDROM01.MSG", text);
}

void Installation::write_screens(const std::vector<std::string>& lines) const {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  write_cwd_file("ZKDROM01.SCR", text);
}

void Installation::lay_out_standard() {
  add_drive('d', "19990401E1");
  empty_drive('e');
  mkdir('c', "WORK");
  write_config({"ECRAM=C:\\WORK", "ECMST=C:\\CAT\\MST", "ECFIL=C:\\ZK", "CDROM=D:,E:", "CRNTAREA=E",
                "FRAMEWLD=C:\\FRAME\\WLD", "FRAMEJPN=C:\\FRAME\\JPN", "LANGUAGE=ENGLISH", "MENULANG=ENGLISH"},
               "\r\n");
  install_catalog("E1", "19990401", "01");
  install_catalog("E2", "19990701", "02");
  install_catalog("G1", "19990501", "01");
  write('c', "FRAME\\WLD\\EA\\ZKFRNOMF.MST", master_header("19990601", "EA", "01"));
  write_messages({"# not a message line",
                  "881Please insert the catalog disc into drive [",
                  "881and press Retry.                      Disc [",
                  "882Please insert the frame-number disc into [",
                  "882then press Retry.                     Disc [",
                  "883Please insert the older catalog disc in  [",
                  "883then press Retry.                     Disc ["});
  write_screens({"# insert-disc labels", "0111 CD-ROM", "0112 Europe", "0113 Gen.", "0114 USA", "0115 Japan",
                 "0126 EFrame", "0127 JFrame"});
}

}  // namespace zk::test
