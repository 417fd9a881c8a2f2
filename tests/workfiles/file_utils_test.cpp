// Opening through the handle table, records by number, copying, and the
// pattern delete.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

namespace fs = std::filesystem;

class FileUtilsTest : public ::testing::Test {
 protected:
  void TearDown() override { closeall2(); }
  Installation inst;
};

TEST_F(FileUtilsTest, OpensRegisterTheirDescriptors) {
  inst.write_cwd_file("A.DAT", "0123456789");
  int32_t fd = -7, err = -7;
  ASSERT_EQ(open_read("A.DAT", &fd, &err), 0);
  EXPECT_TRUE(*handle_flag() & (1u << fd));
  EXPECT_EQ(err, -7);  // not cleared on success
  close2(fd);

  ASSERT_EQ(open_rdwr("A.DAT", &fd, &err), 0);
  EXPECT_EQ(direct_write(fd, 1, "xy", 2, &err), 0);  // record 1 of 2 bytes: offset 2
  close2(fd);
  std::ifstream in(inst.cwd() / "A.DAT", std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "01xy456789");

  ASSERT_EQ(open_write("B.DAT", &fd, &err), 0);  // created
  close2(fd);
  EXPECT_TRUE(fs::exists(inst.cwd() / "B.DAT"));
}

TEST_F(FileUtilsTest, OpenFailuresAreElevenWithTheErrorAndANegativeDescriptor) {
  int32_t fd = 5, err = 0;
  EXPECT_EQ(open_read("MISSING.DAT", &fd, &err), 11);
  EXPECT_LT(fd, 0);
  EXPECT_EQ(err, 2);
  EXPECT_EQ(open_rdwr("MISSING.DAT", &fd, &err), 11);
  EXPECT_FALSE(fs::exists(inst.cwd() / "MISSING.DAT"));  // read-write does not create
  inst.platform().faults().add(platform::Op::Open, platform::kErrnoAccess, "NEW.DAT");
  EXPECT_EQ(open_write("NEW.DAT", &fd, &err), 11);
  EXPECT_EQ(err, platform::kErrnoAccess);
}

TEST_F(FileUtilsTest, RecordsAreReadAndWrittenByNumber) {
  inst.write_cwd_file("R.DAT", "AAAABBBBCCCC");
  int32_t fd = -1, err = 0;
  ASSERT_EQ(open_rdwr("R.DAT", &fd, &err), 0);
  char rec[4];
  EXPECT_EQ(direct_read(fd, 1, rec, 4, &err), 0);
  EXPECT_EQ(std::string(rec, 4), "BBBB");
  EXPECT_EQ(direct_write(fd, 3, "DDDD", 4, &err), 0);  // appends a record
  EXPECT_EQ(direct_read(fd, 3, rec, 4, &err), 0);
  EXPECT_EQ(std::string(rec, 4), "DDDD");
  err = 99;
  EXPECT_EQ(direct_read(fd, 4, rec, 4, &err), 14);  // beyond the end
  EXPECT_EQ(err, 0);  // cleared first; a short read is no system error
  close2(fd);
}

TEST_F(FileUtilsTest, RecordFailuresThroughTheFaultSeam) {
  inst.write_cwd_file("R.DAT", "AAAABBBB");
  int32_t fd = -1, err = 0;
  ASSERT_EQ(open_rdwr("R.DAT", &fd, &err), 0);
  char rec[4];
  auto& faults = inst.platform().faults();
  faults.add(platform::Op::Seek, platform::kErrnoInvalid, "R.DAT");
  EXPECT_EQ(direct_read(fd, 0, rec, 4, &err), 15);
  EXPECT_EQ(err, platform::kErrnoInvalid);
  faults.add(platform::Op::Read, platform::kErrnoIo, "R.DAT");
  EXPECT_EQ(direct_read(fd, 0, rec, 4, &err), 14);
  EXPECT_EQ(err, platform::kErrnoIo);
  faults.add(platform::Op::ShortRead, platform::kErrnoIo, "R.DAT");
  EXPECT_EQ(direct_read(fd, 0, rec, 4, &err), 14);
  faults.add(platform::Op::Write, platform::kErrnoNoSpace, "R.DAT");
  EXPECT_EQ(direct_write(fd, 0, "ZZZZ", 4, &err), 13);
  EXPECT_EQ(err, platform::kErrnoNoSpace);
  faults.add(platform::Op::Seek, platform::kErrnoInvalid, "R.DAT", 2);  // the 2nd seek from now
  EXPECT_EQ(direct_write(fd, 0, "ZZZZ", 4, &err), 0);
  EXPECT_EQ(direct_write(fd, 0, "ZZZZ", 4, &err), 15);
  EXPECT_EQ(direct_read(fd, -1, rec, 4, &err), 15);  // a negative position never reaches the file
  close2(fd);
}

TEST_F(FileUtilsTest, CopyCopiesEveryByteAcrossBufferBoundaries) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += static_cast<char>(i * 7);
  inst.write_cwd_file("SRC.DAT", big);
  inst.write_cwd_file("DST.DAT", std::string(9000, 'x'));  // emptied first
  int32_t err = 5;
  EXPECT_EQ(file_copy("DST.DAT", "SRC.DAT", &err), 0);
  EXPECT_EQ(err, 0);
  std::ifstream in(inst.cwd() / "DST.DAT", std::ios::binary);
  std::string copied((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(copied, big);
  EXPECT_EQ(*handle_flag(), 0u);  // both closed
}

TEST_F(FileUtilsTest, CopyOfAnEmptyFileAndOfAMissingOne) {
  inst.write_cwd_file("EMPTY.DAT", "");
  int32_t err = 0;
  EXPECT_EQ(file_copy("OUT.DAT", "EMPTY.DAT", &err), 0);
  EXPECT_EQ(fs::file_size(inst.cwd() / "OUT.DAT"), 0u);
  EXPECT_EQ(file_copy("OUT2.DAT", "MISSING.DAT", &err), 11);
  EXPECT_EQ(err, 2);
  EXPECT_TRUE(fs::exists(inst.cwd() / "OUT2.DAT"));  // the destination is opened first
  EXPECT_EQ(*handle_flag(), 0u);
}

TEST_F(FileUtilsTest, CopyFailuresCloseBothFiles) {
  inst.write_cwd_file("SRC.DAT", std::string(3000, 's'));
  struct Case {
    platform::Op op;
    const char* path;
    int result;
  };
  // A failed close releases the descriptor all the same: it must leave the
  // table too. The destination's is a failure of the copy, the source's not.
  const Case cases[] = {{platform::Op::Alloc, "", 20},         {platform::Op::Open, "DST.DAT", 11},
                        {platform::Op::Read, "SRC.DAT", 14},   {platform::Op::Write, "DST.DAT", 13},
                        {platform::Op::Close, "DST.DAT", 12},  {platform::Op::Close, "SRC.DAT", 0}};
  for (const auto& k : cases) {
    inst.platform().faults().clear();
    inst.platform().faults().add(k.op, platform::kErrnoIo, k.path);
    int32_t err = 0;
    EXPECT_EQ(file_copy("DST.DAT", "SRC.DAT", &err), k.result) << k.path;
    EXPECT_EQ(*handle_flag(), 0u) << k.path;
  }
}

// A copy onto the same file, however it is named, would empty it before
// reading it: nothing is done and the file keeps its bytes.
TEST_F(FileUtilsTest, CopyOntoTheSameFileChangesNothing) {
  inst.write_cwd_file("SRC.DAT", "precious bytes");
  fs::create_hard_link(inst.cwd() / "SRC.DAT", inst.cwd() / "HARD.DAT");
  std::vector<const char*> destinations{"SRC.DAT", "src.dat", ".\\Src.Dat", "HARD.DAT"};
#ifndef _WIN32  // Wine has no symbolic links to files
  fs::create_symlink(inst.cwd() / "SRC.DAT", inst.cwd() / "LINK.DAT");
  destinations.push_back("LINK.DAT");
#endif
  for (const char* destination : destinations) {
    int32_t err = 5;
    EXPECT_EQ(file_copy(destination, "SRC.DAT", &err), 0) << destination;
    EXPECT_EQ(err, 0);
    EXPECT_EQ(*handle_flag(), 0u);
    std::ifstream in(inst.cwd() / "SRC.DAT", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "precious bytes") << destination;
  }
}

TEST_F(FileUtilsTest, RemoveDeletesMatchingFilesOnly) {
  inst.mkdir('c', "WORK\\SUB");
  for (const char* f : {"SELECT.TMP", "a.tmp", "KEEP.DAT", "TMP", "SUB\\DEEP.TMP"})
    inst.write('c', std::string("WORK\\") + f, "x");
  EXPECT_EQ(file_remove("C:\\WORK", "*.TMP"), 0);
  EXPECT_FALSE(inst.exists('c', "WORK\\SELECT.TMP"));
  EXPECT_FALSE(inst.exists('c', "WORK\\a.tmp"));
  EXPECT_TRUE(inst.exists('c', "WORK\\KEEP.DAT"));
  EXPECT_TRUE(inst.exists('c', "WORK\\TMP"));
  EXPECT_TRUE(inst.exists('c', "WORK\\SUB\\DEEP.TMP"));  // subdirectories are not entered
  EXPECT_EQ(file_remove("C:\\WORK\\", nullptr), 0);       // every file, the directory stays
  EXPECT_FALSE(inst.exists('c', "WORK\\KEEP.DAT"));
  EXPECT_TRUE(inst.exists('c', "WORK\\SUB\\DEEP.TMP"));
  EXPECT_EQ(file_remove("C:\\WORK", "*.NONE"), 0);  // nothing matches
}

TEST_F(FileUtilsTest, RemoveRefusesMissingAndOverlongArguments) {
  inst.write('c', "WORK\\A.TMP", "x");
  EXPECT_EQ(file_remove(nullptr, "*.TMP"), 401);
  EXPECT_EQ(file_remove("", "*.TMP"), 401);
  EXPECT_EQ(file_remove(" C:\\WORK", "*.TMP"), 401);
  EXPECT_EQ(file_remove("\tC:\\WORK", "*.TMP"), 401);
  const std::string seventy = "C:\\WORK\\" + std::string(62, 'D');
  EXPECT_EQ(file_remove(seventy.c_str(), "0123456789"), 402);
  EXPECT_EQ(file_remove(seventy.c_str(), "012345678"), 0);  // 79: allowed (and nothing there)
  EXPECT_TRUE(inst.exists('c', "WORK\\A.TMP"));
}

TEST_F(FileUtilsTest, RemoveIgnoresFailedDeletions) {
  for (const char* f : {"A.TMP", "B.TMP", "C.TMP"}) inst.write('c', std::string("WORK\\") + f, "x");
  inst.platform().faults().add(platform::Op::Delete, 5, "B.TMP");
  EXPECT_EQ(file_remove("C:\\WORK", "*.TMP"), 0);
  EXPECT_FALSE(inst.exists('c', "WORK\\A.TMP"));
  EXPECT_TRUE(inst.exists('c', "WORK\\B.TMP"));
  EXPECT_FALSE(inst.exists('c', "WORK\\C.TMP"));
}

}  // namespace
}  // namespace zk::test
