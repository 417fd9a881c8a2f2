// The reader of ISO 9660 disc images that lets a drive of the POSIX platform
// hold an image file instead of a directory: the primary volume descriptor
// (its volume identifier is the disc's label) and the directory tree of
// level 1 and 2 images. Nothing else of the standard is read: the Joliet and
// Rock Ridge names, El Torito boot records and extended attributes are
// passed over, as a catalog disc needs only its 8.3 names.
//
// Why a reader of our own: the library needs the volume identifier, a
// listing and the extent (first byte and length) of each file, which is a
// few hundred lines over two fixed records. libisofs and libcdio would
// bring a GPL licence (libcdio's ISO code) or a whole image-writing library
// (libisofs), and a dependency the library has otherwise none of; neither
// reads through our fault plan. The images the tests read are made by
// xorriso, a producer other than this reader.
//
// Layout read (numbers little-endian; the standard also stores each in
// big-endian beside it, which is not read):
//
//   volume descriptor, one 2048-byte sector each from sector 16 on:
//     0   1  type: 1 primary, 255 end of the set (others are passed over)
//     1   5  "CD001"
//     6   1  version 1
//     40  32 volume identifier, blank-padded         (primary only)
//     128 2  logical block size, 2048 on a CD         (primary only)
//     156 34 directory record of the root directory   (primary only)
//
//   directory record (a directory's extent holds them one after another; a
//   record never crosses a sector boundary, a length byte 0 ends the
//   sector's records):
//     0   1  record length (at least 34)
//     1   1  extended attribute record length in blocks (data begins behind it)
//     2   4  first block of the extent
//     10  4  data length in bytes
//     25  1  flags: 1 hidden, 2 directory, 4 associated file, 128 not the last extent
//     26  1  file unit size, 27 1 interleave gap (both 0 unless interleaved)
//     32  1  name length
//     33  n  name: "\0" this directory, "\1" its parent, else "NAME.EXT;1"
//
// A corrupt image is refused as a whole: a missing or damaged primary
// volume descriptor, a block size other than 2048, a directory record that
// overruns its sector or a directory extent outside the image, a directory
// reached twice, or a tree larger than the limits below. A file whose
// extent runs past the end of the image stays listed; its reads end at the
// image's end (the caller sees a short read). Files the reader cannot
// present as one run of bytes (recorded in several extents, interleaved),
// associated files, and entries whose name no path can reach (empty, "."
// or ".." once presented, or holding a '\\', '/' or NUL) are left out of
// the listing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zk::platform::iso {

inline constexpr uint32_t kSectorSize = 2048;
inline constexpr uint32_t kFirstDescriptorSector = 16;
// Volume descriptors looked at before the set counts as having no end.
inline constexpr uint32_t kMaxDescriptors = 64;
inline constexpr uint32_t kMinRecordSize = 34;
// Limits that keep a hostile image from making the tree huge: entries of
// the whole tree, and bytes of directory extents read in all.
inline constexpr size_t kMaxNodes = 1u << 18;
inline constexpr uint64_t kMaxDirectoryBytes = 64u << 20;

// Offsets of the primary volume descriptor and the directory record.
namespace pvd {
inline constexpr size_t kType = 0;
inline constexpr size_t kIdentifier = 1;  // "CD001"
inline constexpr size_t kVersion = 6;
inline constexpr size_t kVolumeId = 40;
inline constexpr size_t kVolumeIdSize = 32;
inline constexpr size_t kBlockSize = 128;
inline constexpr size_t kRootRecord = 156;
inline constexpr uint8_t kTypePrimary = 1;
inline constexpr uint8_t kTypeEnd = 255;
}  // namespace pvd
namespace dirrec {
inline constexpr size_t kLength = 0;
inline constexpr size_t kAttrLength = 1;
inline constexpr size_t kExtent = 2;
inline constexpr size_t kDataLength = 10;
inline constexpr size_t kFlags = 25;
inline constexpr size_t kUnitSize = 26;
inline constexpr size_t kInterleave = 27;
inline constexpr size_t kNameLength = 32;
inline constexpr size_t kName = 33;
inline constexpr uint8_t kFlagHidden = 0x01;
inline constexpr uint8_t kFlagDirectory = 0x02;
inline constexpr uint8_t kFlagAssociated = 0x04;
inline constexpr uint8_t kFlagMultiExtent = 0x80;
}  // namespace dirrec

// Reads `n` bytes at byte `offset` of the image; the count read (fewer at
// the image's end or on a read error).
using ReadAt = std::function<size_t(uint64_t offset, void* buf, size_t n)>;

// Why an image was refused.
enum class Fault {
  None,
  NoPrimaryDescriptor,  // no "CD001" primary volume descriptor before the end of the set
  BlockSize,            // a logical block size other than 2048
  BadRecord,            // a directory record that overruns its sector or names nothing
  BadDirectory,         // a directory extent outside the image, or reached twice
  TooLarge,             // more entries or directory bytes than the limits
};

struct Node {
  std::string name;      // without the ";1" version and a trailing '.'
  bool directory = false;
  bool hidden = false;
  uint64_t offset = 0;   // first byte of the data in the image
  uint32_t size = 0;     // data length in bytes
  uint32_t parent = 0;   // index of the directory holding it (the root: itself)
  std::vector<uint32_t> children;  // directories: indexes of their entries, in recorded order
};

class Volume {
 public:
  // Reads the descriptors and the whole directory tree of an image of
  // `image_size` bytes. Check ok() (or fault()) before using it.
  static Volume read(const ReadAt& read_at, uint64_t image_size);

  bool ok() const { return fault_ == Fault::None; }
  Fault fault() const { return fault_; }
  // The volume identifier without its trailing blanks.
  const std::string& label() const { return label_; }
  uint64_t image_size() const { return image_size_; }

  // The node a path names below the root (components matched without
  // regard to case; "." and ".." as in a path); null when there is none.
  const Node* find(std::span<const std::string> components) const;
  const Node& root() const { return nodes_.front(); }
  const Node& node(uint32_t index) const { return nodes_[index]; }
  size_t node_count() const { return nodes_.size(); }

 private:
  Fault read_tree(const ReadAt& read_at, const uint8_t* root_record);

  Fault fault_ = Fault::None;
  std::string label_;
  uint64_t image_size_ = 0;
  std::vector<Node> nodes_;
};

// A recorded name as the file system presents it: the ";version" suffix
// removed, then a trailing '.' (a name without an extension is recorded as
// "NAME.;1").
std::string presented_name(std::string_view recorded);

}  // namespace zk::platform::iso
