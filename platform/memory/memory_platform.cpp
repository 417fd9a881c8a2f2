// The in-memory platform: the map of files and directories, drives, the
// runtime's streams and descriptors over byte buffers, and listings.
#include "platform/memory/memory_platform.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/dos_names.h"
#include "platform/list_box.h"
#include "platform/raster.h"

namespace zk::platform {

// A file (bytes) or a directory (no bytes), with the name as it was written.
struct MemoryPlatform::Node {
  std::string name;
  uint32_t attributes = 0;
  std::shared_ptr<std::string> bytes;
  bool directory() const { return bytes == nullptr; }
};

// Keys are the drive letter and colon, then "\" and each component in upper
// case: "C:" is the root of C:, "C:\CAT\MST" a directory below it.
struct MemoryPlatform::Location {
  std::string key;
  std::string last;     // the last component as written (empty for a root)
  uint32_t error = 0;   // 3 no such drive, 21 drive not ready
};

namespace {

constexpr int kEexist = 17;
constexpr int kFirstDescriptor = 3;  // 0 to 2 are the standard streams

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string parent_of(const std::string& key) {
  const size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

// The runtime's text mode on reading: a carriage return before a line feed
// is dropped.
size_t text_read(const std::string& bytes, int64_t& position, char* out, size_t n, bool stop_at_lf) {
  size_t got = 0;
  auto pos = static_cast<size_t>(position);
  while (got < n && pos < bytes.size()) {
    char c = bytes[pos++];
    if (c == '\r' && pos < bytes.size() && bytes[pos] == '\n') c = bytes[pos++];
    out[got++] = c;
    if (stop_at_lf && c == '\n') break;
  }
  position = static_cast<int64_t>(pos);
  return got;
}

}  // namespace

// A runtime stream over a file's bytes.
class MemoryStream final : public Stream {
 public:
  MemoryStream(MemoryPlatform& owner, std::string path, std::shared_ptr<std::string> bytes, bool readable,
               bool writable, bool append, bool text)
      : Stream(owner, std::move(path)),
        owner_(owner),
        bytes_(std::move(bytes)),
        readable_(readable),
        writable_(writable),
        append_(append),
        text_(text) {
    ++owner_.streams_open_;
  }
  ~MemoryStream() override { do_close(); }

 protected:
  bool do_gets(char* buf, int size) override {
    if (size <= 0) return false;
    if (!readable_) {
      set_error(kErrnoBadFile);
      return false;
    }
    if (!owner_.take_read()) {
      set_error(kErrnoIo);
      buf[0] = '\0';
      return false;
    }
    size_t got = 0;
    if (text_) {
      got = text_read(*bytes_, position_, buf, static_cast<size_t>(size - 1), true);
    } else {
      while (got < static_cast<size_t>(size - 1) && static_cast<size_t>(position_) < bytes_->size()) {
        const char c = (*bytes_)[static_cast<size_t>(position_++)];
        buf[got++] = c;
        if (c == '\n') break;
      }
    }
    buf[got] = '\0';
    return got > 0;
  }
  size_t do_read(void* buf, size_t n) override {
    if (!readable_) {
      set_error(kErrnoBadFile);
      return 0;
    }
    if (n == 0) return 0;
    if (!owner_.take_read()) {
      set_error(kErrnoIo);
      return 0;
    }
    if (text_) return text_read(*bytes_, position_, static_cast<char*>(buf), n, false);
    const auto pos = static_cast<size_t>(position_);
    if (pos >= bytes_->size()) return 0;
    const size_t got = std::min(n, bytes_->size() - pos);
    std::memcpy(buf, bytes_->data() + pos, got);
    position_ += static_cast<int64_t>(got);
    return got;
  }
  size_t do_write(const void* buf, size_t n) override {
    if (!writable_) {
      set_error(kErrnoBadFile);
      return 0;
    }
    if (append_) position_ = static_cast<int64_t>(bytes_->size());
    if (!owner_.write_at(*bytes_, position_, buf, n)) {
      set_error(kErrnoNoSpace);
      return 0;
    }
    position_ += static_cast<int64_t>(n);
    return n;
  }
  int do_seek(int64_t offset, int origin) override {
    const int64_t base = origin == kSeekCur ? position_ : origin == kSeekEnd ? static_cast<int64_t>(bytes_->size()) : 0;
    if (base + offset < 0) return kErrnoInvalid;
    position_ = base + offset;
    return 0;
  }
  int64_t do_tell() override { return position_; }
  int do_close() override {
    if (!bytes_) return 0;
    bytes_.reset();
    --owner_.streams_open_;
    return 0;
  }

 private:
  MemoryPlatform& owner_;
  std::shared_ptr<std::string> bytes_;
  int64_t position_ = 0;
  bool readable_;
  bool writable_;
  bool append_;
  bool text_;
};

namespace {

}  // namespace

MemoryPlatform::MemoryPlatform() { reset(); }

MemoryPlatform::~MemoryPlatform() = default;

void MemoryPlatform::reset() {
  descriptors_.clear();  // first: their bytes are no longer shared
  for (auto& [key, n] : nodes_) retire(n.bytes);
  nodes_.clear();
  drives_.clear();
  env.clear();
  faults().clear();
  set_message_box_answerer(nullptr);
  now = LocalTime{2024, 3, 9, 14, 5, 7};
  seconds = 1000000;
  sleeps = 0;
  message_boxes = 0;
  default_answer = kIdCancel;
  max_file_size = kDefaultMaxFileSize;
  free_space = DiskSpace{8, 512, 100000, 200000};
  run_program_hook = nullptr;
  reads_ = 0;
  budget_ = -1;
  budget_exhausted_ = false;
  drives_['C'] = Drive{kDriveFixed, true, {}};
  nodes_["C:"] = Node{"", kAttrDirectory, nullptr};
  cwd_ = "C:\\";
}

MemoryPlatform::Location MemoryPlatform::locate(const std::string& path, bool any_drive_state) const {
  Location loc;
  size_t from = 0;
  char drive = cwd_[0];
  if (path.size() >= 2 && path[1] == ':') {
    // "D:NAME" is relative to the drive's root here (one directory per drive).
    drive = upper(path[0]);
    from = 2;
  }
  auto it = drives_.find(drive);
  if (it == drives_.end()) {
    loc.error = kErrorPathNotFound;
    return loc;
  }
  if (!it->second.ready && !any_drive_state) {
    loc.error = kErrorNotReady;
    return loc;
  }
  // The key is built component by component (this runs on every call, so
  // without a list of components): "." is skipped, ".." goes up one.
  const bool relative = from == 0 && (path.empty() || !is_path_separator(path[0]));
  loc.key = relative ? cwd_.substr(0, cwd_.size() > 3 ? cwd_.size() : 2) : std::string{drive, ':'};
  std::string_view last;  // the last component as written, while it ends the key
  for (size_t i = from; i <= path.size();) {
    while (i < path.size() && is_path_separator(path[i])) ++i;
    size_t j = i;
    while (j < path.size() && !is_path_separator(path[j])) ++j;
    if (j == i) break;
    const std::string_view part(path.data() + i, j - i);
    if (part == "..") {
      const size_t cut = loc.key.rfind('\\');
      if (cut != std::string::npos) loc.key.resize(cut);
      last = {};
    } else if (part != ".") {
      loc.key += '\\';
      for (char c : part) loc.key += upper(c);
      last = part;
    }
    i = j;
  }
  const size_t cut = loc.key.rfind('\\');
  if (!last.empty())
    loc.last = std::string(last);
  else if (cut != std::string::npos)
    loc.last = loc.key.substr(cut + 1);  // ".." left a component of the key last
  return loc;
}

MemoryPlatform::Node* MemoryPlatform::node(const std::string& key) {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

const MemoryPlatform::Node* MemoryPlatform::node(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryPlatform::make_parents(const std::string& key) {
  const std::string parent = parent_of(key);
  if (parent.empty()) return true;
  if (const Node* n = node(parent)) return n->directory();
  if (!make_parents(parent)) return false;
  const size_t cut = parent.rfind('\\');
  nodes_[parent] = Node{cut == std::string::npos ? std::string() : parent.substr(cut + 1), kAttrDirectory, nullptr};
  return true;
}

bool MemoryPlatform::add_file(const std::string& path, std::string bytes, uint32_t attributes) {
  const Location loc = locate(path, true);
  if (loc.error || loc.last.empty() || !make_parents(loc.key)) return false;
  if (const Node* n = node(loc.key); n && n->directory()) return false;
  nodes_[loc.key] = Node{loc.last, attributes, std::make_shared<std::string>(std::move(bytes))};
  return true;
}

bool MemoryPlatform::add_directory(const std::string& path, uint32_t attributes) {
  const Location loc = locate(path, true);
  if (loc.error || !make_parents(loc.key)) return false;
  if (Node* n = node(loc.key)) {
    if (!n->directory()) return false;
    if (!loc.last.empty()) n->attributes = attributes;
    return true;
  }
  nodes_[loc.key] = Node{loc.last, attributes, nullptr};
  return true;
}

const std::string* MemoryPlatform::file(const std::string& path) const {
  const Location loc = locate(path, true);
  const Node* n = loc.error ? nullptr : node(loc.key);
  return n && !n->directory() ? n->bytes.get() : nullptr;
}

bool MemoryPlatform::is_directory(const std::string& path) const {
  const Location loc = locate(path, true);
  const Node* n = loc.error ? nullptr : node(loc.key);
  return n && n->directory();
}

void MemoryPlatform::erase(const std::string& path) {
  const Location loc = locate(path, true);
  if (loc.error || loc.last.empty()) return;
  const std::string below = loc.key + "\\";
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    if (it->first == loc.key || it->first.compare(0, below.size(), below) == 0) {
      retire(it->second.bytes);
      it = nodes_.erase(it);
    }
    else
      ++it;
  }
}

std::vector<std::string> MemoryPlatform::file_paths() const {
  std::vector<std::string> out;
  for (const auto& [key, n] : nodes_)
    if (!n.directory()) out.push_back(key);
  return out;
}

size_t MemoryPlatform::file_count() const {
  return static_cast<size_t>(
      std::count_if(nodes_.begin(), nodes_.end(), [](const auto& n) { return !n.second.directory(); }));
}

uint64_t MemoryPlatform::stored_bytes() const {
  uint64_t total = 0;
  for (const auto& [key, n] : nodes_)
    if (!n.directory()) total += n.bytes->size();
  return total;
}

void MemoryPlatform::add_drive(char letter, uint32_t type) {
  const char d = upper(letter);
  Drive& drive = drives_[d];
  drive.type = type;
  drive.ready = false;
  drive.label.clear();
  nodes_.try_emplace(std::string(1, d) + ":", Node{"", kAttrDirectory, nullptr});
}

void MemoryPlatform::insert_disc(char letter, const std::string& label) {
  const char d = upper(letter);
  if (!drives_.count(d)) add_drive(d);
  drives_[d].ready = true;
  drives_[d].label = label;
}

void MemoryPlatform::eject(char letter) {
  auto it = drives_.find(upper(letter));
  if (it != drives_.end()) it->second.ready = false;
}

void MemoryPlatform::set_read_budget(int64_t reads) {
  budget_ = reads < 0 ? -1 : static_cast<int64_t>(reads_) + reads;
  budget_exhausted_ = false;
}

bool MemoryPlatform::take_read() {
  if (budget_ >= 0 && reads_ >= static_cast<uint64_t>(budget_)) {
    budget_exhausted_ = true;
    return false;
  }
  ++reads_;
  return true;
}

size_t MemoryPlatform::open_descriptors() const {
  return static_cast<size_t>(
      std::count_if(descriptors_.begin(), descriptors_.end(), [](const Descriptor& d) { return d.bytes != nullptr; }));
}

bool MemoryPlatform::write_at(std::string& bytes, int64_t position, const void* buf, size_t n) {
  const auto pos = static_cast<size_t>(position);
  if (pos > max_file_size || n > max_file_size - pos) return false;
  if (bytes.size() < pos + n) bytes.resize(pos + n, '\0');
  if (n > 0) std::memcpy(bytes.data() + pos, buf, n);
  return true;
}

std::shared_ptr<std::string> MemoryPlatform::new_bytes() {
  if (spare_bytes_.empty()) return std::make_shared<std::string>();
  std::shared_ptr<std::string> b = std::move(spare_bytes_.back());
  spare_bytes_.pop_back();
  return b;
}

void MemoryPlatform::retire(std::shared_ptr<std::string>& bytes) {
  // Only storage nothing else holds (an open stream keeps its file's bytes)
  // and only a few large pieces: small strings cost nothing to make.
  constexpr size_t kPoolSize = 8;
  constexpr size_t kWorthKeeping = size_t{64} << 10;
  constexpr size_t kTooLarge = size_t{4} << 20;
  if (bytes && bytes.use_count() == 1 && bytes->capacity() >= kWorthKeeping && bytes->capacity() <= kTooLarge &&
      spare_bytes_.size() < kPoolSize) {
    bytes->clear();
    spare_bytes_.push_back(std::move(bytes));
  }
  bytes.reset();
}

void MemoryPlatform::erase_node(const std::string& key) {
  if (auto it = nodes_.find(key); it != nodes_.end()) {
    retire(it->second.bytes);
    nodes_.erase(it);
  }
}

std::shared_ptr<std::string> MemoryPlatform::open_bytes(const std::string& path, bool writing, bool create,
                                                        bool truncate, bool exclusive, int& error) {
  const Location loc = locate(path);
  if (loc.error) {
    error = loc.error == kErrorNotReady ? kErrnoAccess : kErrnoNoEntry;
    return nullptr;
  }
  if (Node* n = node(loc.key)) {
    if (n->directory()) {
      error = kErrnoAccess;
      return nullptr;
    }
    if (create && exclusive) {
      error = kEexist;
      return nullptr;
    }
    if (writing && (n->attributes & kAttrReadOnly)) {
      error = kErrnoAccess;
      return nullptr;
    }
    if (truncate) n->bytes->clear();
    return n->bytes;
  }
  const Node* parent = node(parent_of(loc.key));
  if (!create || loc.last.empty() || !parent || !parent->directory()) {
    error = kErrnoNoEntry;
    return nullptr;
  }
  auto bytes = new_bytes();
  nodes_[loc.key] = Node{loc.last, kAttrArchive, bytes};
  return bytes;
}

StreamPtr MemoryPlatform::do_fopen(const std::string& path, const char* mode, int& error) {
  const char kind = mode && *mode ? mode[0] : 'r';
  const bool plus = mode && std::strchr(mode, '+') != nullptr;
  const bool text = !(mode && std::strchr(mode, 'b') != nullptr);
  if (kind != 'r' && kind != 'w' && kind != 'a') {
    error = kErrnoInvalid;
    return nullptr;
  }
  auto bytes = open_bytes(path, kind != 'r' || plus, kind != 'r', kind == 'w', false, error);
  if (!bytes) return nullptr;
  return std::make_unique<MemoryStream>(*this, path, std::move(bytes), kind == 'r' || plus, kind != 'r' || plus,
                                        kind == 'a', text);
}

int MemoryPlatform::do_open(const std::string& path, int flags, int, int& error) {
  auto bytes = open_bytes(path, (flags & 3) != kOpenReadOnly, (flags & kOpenCreate) != 0,
                          (flags & kOpenTruncate) != 0, (flags & kOpenExclusive) != 0, error);
  if (!bytes) return -1;
  Descriptor d;
  d.bytes = std::move(bytes);
  d.can_read = (flags & 3) != kOpenWriteOnly;
  d.can_write = (flags & 3) != kOpenReadOnly;
  d.append = (flags & kOpenAppend) != 0;
  size_t fd = kFirstDescriptor;
  while (fd < descriptors_.size() && descriptors_[fd].bytes) ++fd;
  if (fd >= descriptors_.size()) descriptors_.resize(fd + 1);
  descriptors_[fd] = std::move(d);
  return static_cast<int>(fd);
}

int64_t MemoryPlatform::do_read(int fd, void* buf, size_t n, int& error) {
  if (fd < 0 || static_cast<size_t>(fd) >= descriptors_.size() || !descriptors_[fd].bytes ||
      !descriptors_[fd].can_read) {
    error = kErrnoBadFile;
    return -1;
  }
  if (!take_read()) {
    error = kErrnoIo;
    return -1;
  }
  Descriptor& d = descriptors_[fd];
  const auto pos = static_cast<size_t>(d.position);
  if (pos >= d.bytes->size()) return 0;
  const size_t got = std::min(n, d.bytes->size() - pos);
  std::memcpy(buf, d.bytes->data() + pos, got);
  d.position += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

int64_t MemoryPlatform::do_write(int fd, const void* buf, size_t n, int& error) {
  if (fd < 0 || static_cast<size_t>(fd) >= descriptors_.size() || !descriptors_[fd].bytes ||
      !descriptors_[fd].can_write) {
    error = kErrnoBadFile;
    return -1;
  }
  Descriptor& d = descriptors_[fd];
  if (d.append) d.position = static_cast<int64_t>(d.bytes->size());
  if (!write_at(*d.bytes, d.position, buf, n)) {
    error = kErrnoNoSpace;
    return -1;
  }
  d.position += static_cast<int64_t>(n);
  return static_cast<int64_t>(n);
}

int64_t MemoryPlatform::do_lseek(int fd, int64_t offset, int origin, int& error) {
  if (fd < 0 || static_cast<size_t>(fd) >= descriptors_.size() || !descriptors_[fd].bytes) {
    error = kErrnoBadFile;
    return -1;
  }
  Descriptor& d = descriptors_[fd];
  const int64_t base =
      origin == kSeekCur ? d.position : origin == kSeekEnd ? static_cast<int64_t>(d.bytes->size()) : 0;
  if (base + offset < 0) {
    error = kErrnoInvalid;
    return -1;
  }
  d.position = base + offset;
  return d.position;
}

int MemoryPlatform::do_close(int fd, int& error) {
  if (fd < 0 || static_cast<size_t>(fd) >= descriptors_.size() || !descriptors_[fd].bytes) {
    error = kErrnoBadFile;
    return -1;
  }
  descriptors_[fd] = Descriptor{};
  return 0;
}

int64_t MemoryPlatform::do_filelength(int fd, int& error) {
  if (fd < 0 || static_cast<size_t>(fd) >= descriptors_.size() || !descriptors_[fd].bytes) {
    error = kErrnoBadFile;
    return -1;
  }
  return static_cast<int64_t>(descriptors_[fd].bytes->size());
}

int MemoryPlatform::do_remove(const std::string& path, int& error) {
  const Location loc = locate(path);
  const Node* n = loc.error ? nullptr : node(loc.key);
  if (!n) {
    error = kErrnoNoEntry;
    return -1;
  }
  if (n->directory() || (n->attributes & kAttrReadOnly)) {
    error = kErrnoAccess;
    return -1;
  }
  erase_node(loc.key);
  return 0;
}

int MemoryPlatform::do_replace_file(const std::string& from, const std::string& to, int& error) {
  const Location source = locate(from);
  const Location target = locate(to);
  Node* n = source.error ? nullptr : node(source.key);
  const Node* parent = target.error ? nullptr : node(parent_of(target.key));
  if (!n || n->directory() || !parent || !parent->directory() || target.last.empty()) {
    error = kErrnoNoEntry;
    return -1;
  }
  if (const Node* old = node(target.key); old && (old->directory() || (old->attributes & kAttrReadOnly))) {
    error = kErrnoAccess;
    return -1;
  }
  Node moved = *n;
  moved.name = target.last;
  nodes_.erase(source.key);
  erase_node(target.key);
  nodes_[target.key] = std::move(moved);
  return 0;
}

bool MemoryPlatform::do_delete_file(const std::string& path, uint32_t& error) {
  const Location loc = locate(path);
  if (loc.error) {
    error = loc.error;
    return false;
  }
  const Node* n = node(loc.key);
  if (!n) {
    const Node* parent = node(parent_of(loc.key));
    error = parent && parent->directory() ? kErrorFileNotFound : kErrorPathNotFound;
    return false;
  }
  if (n->directory() || (n->attributes & kAttrReadOnly)) {
    error = kErrorAccessDenied;
    return false;
  }
  erase_node(loc.key);
  return true;
}

bool MemoryPlatform::do_exists(const std::string& path) {
  const Location loc = locate(path);
  return !loc.error && node(loc.key) != nullptr;
}

std::unique_ptr<Finder> MemoryPlatform::do_find_first(const std::string& pattern, FindEntry& first,
                                                      uint32_t& error) {
  // The directory part and the pattern of names, as FindFirstFileA splits them.
  size_t cut = pattern.find_last_of("\\/");
  std::string dir_part;
  std::string name_part;
  if (cut == std::string::npos) {
    if (pattern.size() >= 2 && pattern[1] == ':') {
      dir_part = pattern.substr(0, 2) + "\\";
      name_part = pattern.substr(2);
    } else {
      dir_part = ".";
      name_part = pattern;
    }
  } else {
    dir_part = pattern.substr(0, cut + 1);
    name_part = pattern.substr(cut + 1);
  }
  const Location loc = locate(dir_part);
  if (loc.error) {
    error = loc.error;
    return nullptr;
  }
  const Node* dir = node(loc.key);
  if (!dir || !dir->directory()) {
    error = kErrorPathNotFound;
    return nullptr;
  }
  std::vector<FindEntry> entries;
  if (!loc.last.empty()) {
    // Every directory but a root lists itself and its parent first.
    for (const char* dots : {".", ".."})
      if (dos_pattern_match(name_part, dots)) entries.push_back(FindEntry{dots, kAttrDirectory, 0});
  }
  const std::string below = loc.key + "\\";
  for (auto it = nodes_.lower_bound(below); it != nodes_.end(); ++it) {
    if (it->first.compare(0, below.size(), below) != 0) break;
    if (it->first.find('\\', below.size()) != std::string::npos) continue;  // deeper down
    const Node& n = it->second;
    if (!dos_pattern_match(name_part, n.name)) continue;
    entries.push_back(FindEntry{n.name, n.attributes, n.directory() ? 0 : n.bytes->size()});
  }
  if (entries.empty()) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  first = entries.front();
  return std::make_unique<ListedFinder>(std::move(entries));
}

uint32_t MemoryPlatform::do_drive_type(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return kDriveNoRootDir;
  auto it = drives_.find(upper(root[0]));
  return it == drives_.end() ? kDriveNoRootDir : it->second.type;
}

bool MemoryPlatform::do_volume_label(const std::string& root, std::string& label, uint32_t& error) {
  label.clear();
  if (root.size() < 2 || root[1] != ':') {
    error = kErrorBadPathName;
    return false;
  }
  auto it = drives_.find(upper(root[0]));
  if (it == drives_.end()) {
    error = kErrorPathNotFound;
    return false;
  }
  if (!it->second.ready) {
    error = kErrorNotReady;
    return false;
  }
  label = it->second.label;
  return true;
}

bool MemoryPlatform::do_file_id(const std::string& path, FileId& id) {
  const Location loc = locate(path);
  const Node* n = loc.error ? nullptr : node(loc.key);
  if (!n) return false;
  // One file is one key of the map, whatever spelling reached it.
  id.device = static_cast<uint8_t>(loc.key[0]);
  id.file = std::hash<std::string>{}(loc.key);
  return true;
}

bool MemoryPlatform::do_disk_free_space(const std::string& root, DiskSpace& out, uint32_t& error) {
  out = DiskSpace{};
  if (root.size() < 2 || root[1] != ':') {
    error = kErrorBadPathName;
    return false;
  }
  auto it = drives_.find(upper(root[0]));
  if (it == drives_.end()) {
    error = kErrorPathNotFound;
    return false;
  }
  if (!it->second.ready) {
    error = kErrorNotReady;
    return false;
  }
  out = free_space;
  return true;
}

ProgramRun MemoryPlatform::do_run_program(const std::string& program, const std::string& command_line) {
  if (run_program_hook) return run_program_hook(program, command_line);
  ProgramRun run;
  run.error = kErrorFileNotFound;
  return run;
}

bool MemoryPlatform::do_set_current_directory(const std::string& path) {
  const Location loc = locate(path);
  const Node* n = loc.error ? nullptr : node(loc.key);
  if (!n || !n->directory()) return false;
  cwd_ = loc.key.size() == 2 ? loc.key + "\\" : loc.key;
  return true;
}

bool MemoryPlatform::get_env(const char* name, std::string& value) {
  auto it = env.find(name);
  if (it == env.end()) return false;
  value = it->second;
  return true;
}

intptr_t MemoryPlatform::send_message(WindowHandle window, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
  ListBox* box = ListBox::from_handle(window);
  return box ? box->send(msg, wparam, lparam) : 0;
}

DeviceContext MemoryPlatform::get_dc(WindowHandle window) { return raster_window_get_dc(window); }

int MemoryPlatform::release_dc(WindowHandle window, DeviceContext dc) { return raster_window_release_dc(window, dc); }

bool MemoryPlatform::bit_blt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                             int source_x, int source_y, uint32_t rop) {
  return raster_bit_blt(dest, x, y, width, height, source, source_x, source_y, rop);
}

int MemoryPlatform::do_message_box(WindowHandle, const std::string&, const std::string&, uint32_t style) {
  ++message_boxes;
  return (style & 0x0F) == kMbRetryCancel ? default_answer : 1;
}

}  // namespace zk::platform
