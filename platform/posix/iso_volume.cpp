// Reading an ISO 9660 image's primary volume descriptor and directory tree.
#include "platform/posix/iso_volume.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <set>

namespace zk::platform::iso {

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// One directory record, decoded.
struct Record {
  uint8_t length = 0;
  uint8_t flags = 0;
  bool interleaved = false;
  uint64_t offset = 0;
  uint32_t size = 0;
  std::string_view name;  // as recorded
};

// Decodes the record at `p` with `available` bytes left in its sector.
bool decode(const uint8_t* p, size_t available, Record& out) {
  out.length = p[dirrec::kLength];
  if (out.length < kMinRecordSize || out.length > available) return false;
  const uint8_t name_length = p[dirrec::kNameLength];
  if (name_length == 0 || dirrec::kName + name_length > out.length) return false;
  out.flags = p[dirrec::kFlags];
  out.interleaved = p[dirrec::kUnitSize] != 0 || p[dirrec::kInterleave] != 0;
  out.offset = (static_cast<uint64_t>(le32(p + dirrec::kExtent)) + p[dirrec::kAttrLength]) * kSectorSize;
  out.size = le32(p + dirrec::kDataLength);
  out.name = std::string_view(reinterpret_cast<const char*>(p + dirrec::kName), name_length);
  return true;
}

bool self_or_parent(std::string_view name) { return name.size() == 1 && (name[0] == '\0' || name[0] == '\1'); }

// Whether a path can name the entry: not empty, not "." or "..", and
// without a separator or NUL (none of which a valid image records).
bool reachable(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of(std::string_view("\\/\0", 3)) == std::string_view::npos;
}

}  // namespace

std::string presented_name(std::string_view recorded) {
  std::string name(recorded.substr(0, recorded.find(';')));
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name;
}

Volume Volume::read(const ReadAt& read_at, uint64_t image_size) {
  Volume v;
  v.image_size_ = image_size;
  std::array<uint8_t, kSectorSize> sector{};
  bool found = false;
  for (uint32_t i = 0; i < kMaxDescriptors && !found; ++i) {
    const uint64_t at = static_cast<uint64_t>(kFirstDescriptorSector + i) * kSectorSize;
    if (read_at(at, sector.data(), kSectorSize) != kSectorSize) break;
    if (std::memcmp(sector.data() + pvd::kIdentifier, "CD001", 5) != 0) break;
    if (sector[pvd::kType] == pvd::kTypeEnd) break;
    found = sector[pvd::kType] == pvd::kTypePrimary && sector[pvd::kVersion] == 1;
  }
  if (!found) {
    v.fault_ = Fault::NoPrimaryDescriptor;
    return v;
  }
  if (le16(sector.data() + pvd::kBlockSize) != kSectorSize) {
    v.fault_ = Fault::BlockSize;
    return v;
  }
  const char* id = reinterpret_cast<const char*>(sector.data() + pvd::kVolumeId);
  size_t n = pvd::kVolumeIdSize;
  while (n > 0 && (id[n - 1] == ' ' || id[n - 1] == '\0')) --n;
  v.label_.assign(id, n);
  v.fault_ = v.read_tree(read_at, sector.data() + pvd::kRootRecord);
  if (!v.ok()) {
    v.nodes_.clear();
    v.label_.clear();
  }
  return v;
}

Fault Volume::read_tree(const ReadAt& read_at, const uint8_t* root_record) {
  Record root;
  if (!decode(root_record, kMinRecordSize, root) || !(root.flags & dirrec::kFlagDirectory)) return Fault::BadRecord;
  if (root.offset > image_size_ || root.size > image_size_ - root.offset) return Fault::BadDirectory;
  Node top;
  top.directory = true;
  top.offset = root.offset;
  top.size = root.size;
  nodes_.push_back(top);

  // Breadth first; every directory extent is read once, and one reached a
  // second time (a loop, or two directories sharing data) is corrupt.
  std::set<uint64_t> seen{root.offset};
  uint64_t directory_bytes = 0;
  std::vector<uint8_t> data;
  for (uint32_t dir = 0; dir < nodes_.size(); ++dir) {
    if (!nodes_[dir].directory) continue;
    const uint32_t size = nodes_[dir].size;
    directory_bytes += size;
    if (directory_bytes > kMaxDirectoryBytes) return Fault::TooLarge;
    if (size == 0) continue;  // a directory without records: nothing to read
    data.assign(size, 0);
    if (read_at(nodes_[dir].offset, data.data(), size) != size) return Fault::BadDirectory;
    for (size_t sector = 0; sector < size; sector += kSectorSize) {
      const size_t end = std::min<size_t>(size, sector + kSectorSize);
      for (size_t at = sector; at < end && data[at] != 0;) {
        Record r;
        if (!decode(data.data() + at, end - at, r)) return Fault::BadRecord;
        at += r.length;
        if (self_or_parent(r.name) || (r.flags & dirrec::kFlagAssociated)) continue;
        const bool directory = (r.flags & dirrec::kFlagDirectory) != 0;
        if (r.interleaved || (r.flags & dirrec::kFlagMultiExtent)) {
          if (directory) return Fault::BadRecord;
          continue;  // a file that is not one run of bytes: not presented
        }
        if (directory) {
          if (r.offset > image_size_ || r.size > image_size_ - r.offset) return Fault::BadDirectory;
          if (!seen.insert(r.offset).second) return Fault::BadDirectory;
        }
        std::string name = presented_name(r.name);
        if (!reachable(name)) continue;
        if (nodes_.size() >= kMaxNodes) return Fault::TooLarge;
        Node n;
        n.name = std::move(name);
        n.directory = directory;
        n.hidden = (r.flags & dirrec::kFlagHidden) != 0;
        n.offset = r.offset;
        n.size = r.size;
        n.parent = dir;
        nodes_.push_back(std::move(n));
        nodes_[dir].children.push_back(static_cast<uint32_t>(nodes_.size() - 1));
      }
    }
  }
  return Fault::None;
}

const Node* Volume::find(std::span<const std::string> components) const {
  if (nodes_.empty()) return nullptr;
  uint32_t at = 0;
  for (const std::string& c : components) {
    if (c.empty() || c == ".") continue;
    if (c == "..") {
      at = nodes_[at].parent;
      continue;
    }
    if (!nodes_[at].directory) return nullptr;
    const auto& kids = nodes_[at].children;
    const auto it =
        std::find_if(kids.begin(), kids.end(), [&](uint32_t k) { return same_name(nodes_[k].name, c); });
    if (it == kids.end()) return nullptr;
    at = *it;
  }
  return &nodes_[at];
}

}  // namespace zk::platform::iso
