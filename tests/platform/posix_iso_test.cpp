// Drives holding ISO 9660 images (made by xorriso): the label, listings and
// reads of files inside the image, writes refused, and corrupt images
// refused as a whole as a disc that cannot be read.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "platform/posix/iso_volume.h"
#include "support/installation.h"
#include "tools/writer/disc_image.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
namespace pf = zk::platform;
namespace iso = zk::platform::iso;

const std::string kRoot = std::string(3000, 'r') + "end";  // more than one sector

class IsoDriveTest : public ::testing::Test {
 protected:
  IsoDriveTest() {
    const fs::path src = inst.root() / "disc-src";
    write_file(src / "ZKROOTMF.MST", kRoot);
    write_file(src / "CAT" / "HINBAN.DAT", "line1\r\nline2\r\n");
    write_file(src / "NOEXT", "x");
    write_file(src / "CAT" / "A", "one-letter name");
    writer::write_disc_image(src.string(), "19990401E1 EPC EUROPE 1", image_.string());
    bytes_ = read_file(image_);
    fs::remove(inst.root() / "dosdevices" / "d:");
    fs::create_symlink(image_, inst.root() / "dosdevices" / "d:");
  }

  // The directory record named `name` in the root directory: its offset in the image.
  size_t root_record(const std::string& name) const {
    const size_t root = static_cast<size_t>(le32(iso::kFirstDescriptorSector * iso::kSectorSize + iso::pvd::kRootRecord +
                                                 iso::dirrec::kExtent)) * iso::kSectorSize;
    for (size_t at = root; bytes_[at] != 0; at += static_cast<uint8_t>(bytes_[at])) {
      const auto len = static_cast<uint8_t>(bytes_[at + iso::dirrec::kNameLength]);
      if (iso::presented_name(bytes_.substr(at + iso::dirrec::kName, len)) == name) return at;
    }
    ADD_FAILURE() << name << " not in the root directory";
    return 0;
  }
  uint32_t le32(size_t at) const {
    uint32_t v = 0;
    std::memcpy(&v, bytes_.data() + at, 4);
    return v;
  }
  void put32(size_t at, uint32_t v) { std::memcpy(bytes_.data() + at, &v, 4); }
  // A new file in the image's place (another inode: the drive sees a disc change).
  void rewrite() {
    std::ofstream(image_.string() + ".new", std::ios::binary | std::ios::trunc) << bytes_;
    fs::rename(image_.string() + ".new", image_);
  }
  iso::Fault read_fault() const {
    const iso::ReadAt read_at = [this](uint64_t off, void* buf, size_t n) -> size_t {
      if (off >= bytes_.size()) return 0;
      n = std::min<size_t>(n, bytes_.size() - off);
      std::memcpy(buf, bytes_.data() + off, n);
      return n;
    };
    return iso::Volume::read(read_at, bytes_.size()).fault();
  }

  Installation inst;
  TestPlatform& p = inst.platform();
  fs::path image_ = inst.root() / "E1.iso";
  std::string bytes_;
};

std::vector<pf::FindEntry> list(pf::Platform& p, const std::string& pattern, uint32_t& error) {
  std::vector<pf::FindEntry> out(1);
  auto finder = p.find_first(pattern, out[0], error);
  if (!finder) return {};
  pf::FindEntry e;
  uint32_t end = 0;
  while (finder->next(e, end)) out.push_back(e);
  return out;
}

TEST_F(IsoDriveTest, ImageIsACdWithItsVolumeIdentifierAndListings) {
  std::string label;
  uint32_t err = 0;
  ASSERT_TRUE(p.volume_label("D:\\", label, err));
  EXPECT_EQ(label, "19990401E1 EPC EUROPE 1");
  EXPECT_EQ(p.drive_type("D:\\"), pf::kDriveCdrom);

  // A root directory lists no "." and ".."; NOEXT is recorded "NOEXT.;1".
  std::vector<std::tuple<std::string, uint32_t, uint64_t>> root;
  for (const pf::FindEntry& e : list(p, "d:\\*", err)) root.emplace_back(e.name, e.attributes, e.size);
  EXPECT_EQ(root, (decltype(root){{"CAT", pf::kAttrDirectory, 0}, {"NOEXT", pf::kAttrReadOnly, 1},
                                  {"ZKROOTMF.MST", pf::kAttrReadOnly, kRoot.size()}}));

  auto sub = list(p, "D:\\cat\\*.dat", err);
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].name, "HINBAN.DAT");
  EXPECT_EQ(list(p, "D:\\cat\\*", err).size(), 4u);  // ".", ".." and the files
  EXPECT_TRUE(list(p, "D:\\CAT\\*.MST", err).empty());
  EXPECT_EQ(err, pf::kErrorFileNotFound);
  EXPECT_TRUE(list(p, "D:\\NONE\\*", err).empty());
  EXPECT_EQ(err, pf::kErrorPathNotFound);
}

TEST_F(IsoDriveTest, FilesReadAsTheirExtentsAndRefuseWrites) {
  int err = 0;
  auto f = p.fopen("d:\\zkrootmf.mst;1", "rb", err);
  ASSERT_EQ(f, nullptr);  // the version is no part of a name
  f = p.fopen("d:\\zkrootmf.mst", "rb", err);
  ASSERT_NE(f, nullptr);
  std::string got(kRoot.size() + 10, '\0');
  EXPECT_EQ(f->read(got.data(), got.size()), kRoot.size());
  EXPECT_EQ(got.substr(0, kRoot.size()), kRoot);
  ASSERT_EQ(f->seek(-3, pf::kSeekEnd), 0);
  EXPECT_EQ(f->read(got.data(), 10), 3u);
  EXPECT_EQ(got.substr(0, 3), "end");
  f->close();

  auto t = p.fopen("D:\\CAT\\HINBAN.DAT", "rt", err);  // text mode over the image
  ASSERT_NE(t, nullptr);
  char line[16];
  ASSERT_TRUE(t->gets(line, sizeof line));
  EXPECT_STREQ(line, "line1\n");
  t->close();

  const int fd = p.open("D:\\CAT\\HINBAN.DAT", pf::kOpenReadOnly | pf::kOpenBinary, 0, err);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(p.filelength(fd, err), 14);
  EXPECT_EQ(p.lseek(fd, 7, pf::kSeekSet, err), 7);
  char buf[32] = {};
  EXPECT_EQ(p.read(fd, buf, sizeof buf, err), 7);
  EXPECT_STREQ(buf, "line2\r\n");
  EXPECT_EQ(p.write(fd, "x", 1, err), -1);
  p.close(fd, err);

  struct Refused {
    std::function<bool()> call;
    int want;
  } cases[] = {
      {[&] { return p.fopen("D:\\NOEXT", "r+b", err) == nullptr; }, pf::kErrnoAccess},
      {[&] { return p.fopen("D:\\NEW.DAT", "wb", err) == nullptr; }, pf::kErrnoAccess},
      {[&] { return p.fopen("D:\\CAT", "rb", err) == nullptr; }, pf::kErrnoAccess},
      {[&] { return p.fopen("D:\\MISSING.DAT", "rb", err) == nullptr; }, pf::kErrnoNoEntry},
      {[&] { return p.open("D:\\NOEXT", pf::kOpenWriteOnly, 0, err) < 0; }, pf::kErrnoAccess},
      {[&] { return p.remove("D:\\NOEXT", err) != 0; }, pf::kErrnoAccess},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    err = 0;
    EXPECT_TRUE(cases[i].call()) << "case " << i;
    EXPECT_EQ(err, cases[i].want) << "case " << i;
  }
  uint32_t werr = 0;
  EXPECT_FALSE(p.delete_file("D:\\NOEXT", werr));
  EXPECT_EQ(werr, pf::kErrorAccessDenied);
  EXPECT_TRUE(p.exists("d:\\Cat\\hinban.dat"));
}

TEST_F(IsoDriveTest, CorruptImagesAreRefusedAsAWhole) {
  const std::string good = bytes_;
  const size_t pvd = iso::kFirstDescriptorSector * iso::kSectorSize;
  struct Case {
    const char* what;
    std::function<void()> damage;
    iso::Fault want;
  } cases[] = {
      {"no CD001", [&] { bytes_[pvd + 1] = 'X'; }, iso::Fault::NoPrimaryDescriptor},
      {"block size 512", [&] { bytes_[pvd + iso::pvd::kBlockSize + 1] = 2; }, iso::Fault::BlockSize},
      {"record without a name", [&] { bytes_[root_record("NOEXT") + iso::dirrec::kNameLength] = 0; },
       iso::Fault::BadRecord},
      {"directory pointing back at the root",
       [&] {
         put32(root_record("CAT") + iso::dirrec::kExtent, le32(pvd + iso::pvd::kRootRecord + iso::dirrec::kExtent));
       },
       iso::Fault::BadDirectory},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bytes_ = good;
    c.damage();
    EXPECT_EQ(read_fault(), c.want);
    rewrite();
    std::string label;
    uint32_t werr = 0;
    EXPECT_FALSE(p.volume_label("D:\\", label, werr));
    EXPECT_EQ(werr, pf::kErrorNotReady);
    EXPECT_TRUE(list(p, "D:\\*", werr).empty());
    EXPECT_EQ(werr, pf::kErrorNotReady);
    int err = 0;
    EXPECT_EQ(p.fopen("D:\\ZKROOTMF.MST", "rb", err), nullptr);
    EXPECT_EQ(err, pf::kErrnoAccess);
  }

  // An interleaved file and a name no path reaches are left out.
  const std::function<void(size_t)> left_out[] = {
      [&](size_t rec) { bytes_[rec + iso::dirrec::kInterleave] = 1; },
      [&](size_t rec) { bytes_.replace(rec + iso::dirrec::kNameLength, 4, "\3..."); },  // presented as ".."
  };
  for (const auto& damage : left_out) {
    bytes_ = good;
    damage(root_record("NOEXT"));
    rewrite();
    uint32_t werr = 0;
    EXPECT_EQ(list(p, "D:\\*", werr).size(), 2u);
  }

  // A file whose extent lies past the image's end stays listed; its reads
  // are short.
  bytes_ = good;
  put32(root_record("ZKROOTMF.MST") + iso::dirrec::kExtent, 0x00FFFFFF);
  rewrite();
  int err = 0;
  auto f = p.fopen("D:\\ZKROOTMF.MST", "rb", err);
  ASSERT_NE(f, nullptr);
  char buf[8];
  EXPECT_EQ(f->read(buf, sizeof buf), 0u);
}

}  // namespace
}  // namespace zk::test
