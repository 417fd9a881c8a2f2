// The in-memory platform the fuzz targets and the fault loop run on: one
// check of each behaviour they rely on (paths without regard to case,
// drives and discs, listings, streams and descriptors, the limits that bound
// an input's work, reset).
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace zk::test {
namespace {

namespace pf = zk::platform;

class MemoryPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.add_file("C:\\Cat\\Mst\\E1\\ZkRootMf.mst", "root");
    m.insert_disc('D', "19990401E1");
    m.add_file("D:\\SHAMEI.DAT", std::string(2049, 'x'));
  }
  pf::MemoryPlatform m;
};

TEST_F(MemoryPlatformTest, PathsListingsDrivesAndDescriptors) {
  ASSERT_TRUE(m.set_current_directory("C:\\CAT\\MST"));
  EXPECT_EQ(*m.file("..\\MST\\.\\e1\\zkrootmf.MST"), "root");
  EXPECT_FALSE(m.add_directory("Q:\\X"));  // no drive Q
  m.add_file("C:\\CAT\\MST\\E10\\X.MST", "a sibling whose name begins alike");
  pf::FindEntry e;
  uint32_t error = 0;
  auto f = m.find_first("C:\\CAT\\MST\\E*", e, error);
  EXPECT_TRUE(f && e.name == "E1" && e.attributes == pf::kAttrDirectory) << e.name;
  m.erase("C:\\CAT\\MST\\E1");  // the directory and everything below it
  EXPECT_FALSE(m.exists("C:\\CAT\\MST\\E1\\ZKROOTMF.MST"));
  EXPECT_TRUE(m.exists("C:\\CAT\\MST\\E10\\X.MST"));
  std::string label;
  EXPECT_TRUE(m.volume_label("D:\\", label, error) && label == "19990401E1");
  m.eject('D');
  EXPECT_FALSE(m.exists("D:\\SHAMEI.DAT"));
  EXPECT_TRUE(m.file("D:\\SHAMEI.DAT"));  // as the tests see the drive
  int err = 0;
  const int a = m.open("C:\\NEW.DAT", pf::kOpenReadWrite | pf::kOpenCreate | pf::kOpenBinary, pf::kPermWrite, err);
  EXPECT_EQ(a, 3);  // descriptors number from 3
  EXPECT_EQ(m.write(a, "hello", 5, err), 5);
  EXPECT_EQ(m.close(a, err), 0);
  EXPECT_EQ(m.open_descriptors(), 0u);
}

TEST_F(MemoryPlatformTest, LimitsBoundTheWorkAndResetForgetsEverything) {
  int err = 0;
  const int fd = m.open("D:\\SHAMEI.DAT", pf::kOpenReadOnly, 0, err);
  auto stream = m.fopen("D:\\SHAMEI.DAT", "rb", err);
  char buf[16];
  m.set_read_budget(1);
  EXPECT_EQ(m.read(fd, buf, 1, err), 1);
  EXPECT_FALSE(m.budget_exhausted());
  EXPECT_EQ(m.read(fd, buf, 1, err), -1);
  EXPECT_EQ(stream->read(buf, 1), 0u);
  EXPECT_TRUE(m.budget_exhausted());
  EXPECT_EQ(m.open_streams(), 1u);
  stream.reset();
  m.max_file_size = 4;
  EXPECT_EQ(m.fopen("C:\\BIG.DAT", "wb", err)->write("12345", 5), 0u);
  m.reset();
  EXPECT_EQ(m.file_count(), 0u);
  EXPECT_EQ(m.open_descriptors(), 0u);
  EXPECT_EQ(m.drive_type("D:\\"), pf::kDriveNoRootDir);
}

// Storage of removed, replaced and reset files is reused for new files: a
// new file starts empty, and a stream still reading a replaced file keeps
// what it had.
TEST_F(MemoryPlatformTest, NewFilesStartEmptyWhateverStorageTheyReuse) {
  int err = 0;
  const std::string large(200000, 'L');
  m.add_file("C:\\OLD.DAT", large);
  m.add_file("C:\\NEW.TMP", large);
  auto reader = m.fopen("C:\\OLD.DAT", "rb", err);
  ASSERT_EQ(m.replace_file("C:\\NEW.TMP", "C:\\OLD.DAT", err), 0);
  m.add_file("C:\\GONE.DAT", large);
  ASSERT_EQ(m.remove("C:\\GONE.DAT", err), 0);
  ASSERT_EQ(m.fopen("C:\\A.DAT", "wb", err)->write("ab", 2), 2u);
  EXPECT_EQ(*m.file("C:\\A.DAT"), "ab");
  std::string back(large.size() + 1, '\0');
  EXPECT_EQ(reader->read(back.data(), back.size()), large.size());
  reader.reset();
  m.reset();
  ASSERT_EQ(m.fopen("C:\\C.DAT", "wb", err)->write("c", 1), 1u);
  EXPECT_EQ(*m.file("C:\\C.DAT"), "c");
}

}  // namespace
}  // namespace zk::test
