// Drives holding ISO 9660 images (made by xorriso): a CD with the image's
// volume identifier, files read from their extents, writes refused, and a
// corrupt image a disc that cannot be read. (The demo tour runs on such
// drives; the reader's own faults are the iso fuzz target's.)
#include <gtest/gtest.h>

#include "platform/posix/iso_volume.h"
#include "support/installation.h"
#include "tools/writer/disc_image.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;
namespace pf = zk::platform;

class IsoDriveTest : public ::testing::Test {
 protected:
  IsoDriveTest() {
    write_file(inst.root() / "disc-src" / "CAT" / "HINBAN.DAT", std::string(3000, 'r') + "line\r\n");
    writer::write_disc_image((inst.root() / "disc-src").string(), "19990401E1 EPC EUROPE 1", image_.string());
    fs::remove(inst.root() / "dosdevices" / "d:");
    fs::create_symlink(image_, inst.root() / "dosdevices" / "d:");
  }
  Installation inst;
  TestPlatform& p = inst.platform();
  fs::path image_ = inst.root() / "E1.iso";
};

TEST_F(IsoDriveTest, ImageIsAReadOnlyCdWithItsVolumeIdentifier) {
  std::string label;
  uint32_t werr = 0;
  EXPECT_TRUE(p.volume_label("D:\\", label, werr) && label == "19990401E1 EPC EUROPE 1") << label;
  EXPECT_EQ(p.drive_type("D:\\"), pf::kDriveCdrom);
  int err = 0;
  EXPECT_EQ(p.fopen("d:\\cat\\hinban.dat;1", "rb", err), nullptr);  // the version is no part of a name
  auto f = p.fopen("d:\\cat\\hinban.dat", "rt", err);  // text mode over an extent of two sectors
  std::string got(3010, '\0');
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->read(got.data(), got.size()), 3005u);
  EXPECT_EQ(got.substr(2998, 7), "rrline\n");
  EXPECT_TRUE(p.fopen("D:\\CAT\\HINBAN.DAT", "r+b", err) == nullptr && err == pf::kErrnoAccess);
  EXPECT_FALSE(p.delete_file("D:\\CAT\\HINBAN.DAT", werr));
  EXPECT_EQ(werr, pf::kErrorAccessDenied);
}

TEST_F(IsoDriveTest, CorruptImageIsADiscThatCannotBeRead) {
  std::string bytes = read_file(image_);
  bytes[pf::iso::kFirstDescriptorSector * pf::iso::kSectorSize + 1] = 'X';  // no primary volume descriptor
  write_file(image_.string() + ".new", bytes);  // another inode: the drive sees a disc change
  fs::rename(image_.string() + ".new", image_);
  std::string label;
  uint32_t werr = 0;
  EXPECT_FALSE(p.volume_label("D:\\", label, werr));
  EXPECT_EQ(werr, pf::kErrorNotReady);
  int err = 0;
  EXPECT_TRUE(p.fopen("D:\\CAT\\HINBAN.DAT", "rb", err) == nullptr && err == pf::kErrnoAccess);
}

}  // namespace
}  // namespace zk::test
