// The in-memory platform: Windows paths matched without regard to case,
// listings with DOS patterns and attributes, the runtime's text mode,
// descriptors, drives and labels, the limits that bound a fuzz input's work,
// and reset.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/memory/memory_platform.h"

namespace zk::test {
namespace {

namespace pf = zk::platform;

class MemoryPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m.add_file("C:\\Cat\\Mst\\E1\\ZkRootMf.mst", "root");
    m.add_directory("C:\\CAT\\MST\\E2");
    m.add_directory("C:\\CAT\\MST\\G1", pf::kAttrDirectory | pf::kAttrReadOnly);
    m.add_file("C:\\CAT\\MST\\E3", "a file, not a directory");
    m.insert_disc('D', "19990401E1");
    m.add_file("D:\\SHAMEI.DAT", std::string(2049, 'x'));
    m.add_drive('E');
  }
  std::vector<std::string> list(const std::string& pattern, uint32_t& error) {
    pf::FindEntry e;
    std::vector<std::string> names;
    auto f = m.find_first(pattern, e, error);
    if (!f) return names;
    do names.push_back(e.name + "/" + std::to_string(e.attributes)); while (f->next(e, error));
    return names;
  }
  pf::MemoryPlatform m;
};

TEST_F(MemoryPlatformTest, PathsIgnoreCaseAndResolveAgainstTheCurrentDirectory) {
  EXPECT_EQ(*m.file("c:/cat/MST/e1/zkrootmf.MST"), "root");
  ASSERT_TRUE(m.set_current_directory("C:\\CAT\\MST"));
  EXPECT_EQ(*m.file("E1\\ZKROOTMF.MST"), "root");
  EXPECT_EQ(*m.file("..\\MST\\.\\E1\\ZKROOTMF.MST"), "root");
  EXPECT_EQ(m.file("E2"), nullptr);  // a directory
  EXPECT_TRUE(m.is_directory("\\CAT\\MST\\E2"));
  EXPECT_FALSE(m.add_file("C:\\CAT\\MST\\E3\\X.DAT", "under a file"));
  EXPECT_FALSE(m.add_file("Q:\\X.DAT", "no drive Q"));
  m.add_file("C:\\CAT\\MST\\E10\\X.MST", "a sibling whose name begins alike");
  m.erase("C:\\CAT\\MST\\E1");  // the directory and everything below it
  EXPECT_FALSE(m.exists("C:\\CAT\\MST\\E1\\ZKROOTMF.MST"));
  EXPECT_TRUE(m.exists("C:\\CAT\\MST\\E10\\X.MST"));
  EXPECT_TRUE(m.exists("C:\\CAT\\MST\\E2"));
}

TEST_F(MemoryPlatformTest, ListingsMatchDosPatternsWithAttributes) {
  uint32_t error = 0;
  const std::string dir = std::to_string(pf::kAttrDirectory);
  EXPECT_EQ(list("C:\\CAT\\MST\\*.", error),
            (std::vector<std::string>{"./" + dir, "../" + dir, "E1/" + dir, "E2/" + dir,
                                      "E3/" + std::to_string(pf::kAttrArchive),
                                      "G1/" + std::to_string(pf::kAttrDirectory | pf::kAttrReadOnly)}));
  EXPECT_EQ(error, pf::kErrorNoMoreFiles);
  EXPECT_EQ(list("d:\\shamei.dat", error).size(), 1u);  // a root lists no dots
  EXPECT_EQ(list("D:SHAMEI.*", error).size(), 1u);
  const std::pair<const char*, uint32_t> failures[] = {{"C:\\CAT\\MST\\*.TMP", pf::kErrorFileNotFound},
                                                       {"C:\\NONE\\*.*", pf::kErrorPathNotFound},
                                                       {"E:\\*.*", pf::kErrorNotReady}};
  for (const auto& [pattern, want] : failures)
    EXPECT_TRUE(list(pattern, error).empty() && error == want) << pattern;
  pf::FindEntry e;
  ASSERT_NE(m.find_first("D:\\SHAMEI.DAT", e, error), nullptr);
  EXPECT_EQ(e.size, 2049u);
}

TEST_F(MemoryPlatformTest, StreamsReadTextModeAndOpenAsTheRuntimeDoes) {
  m.add_file("C:\\T.TXT", "ab\r\ncd\re\r\n");
  int err = 0;
  char line[16];
  auto text = m.fopen("C:\\T.TXT", "rt", err);
  ASSERT_NE(text, nullptr);
  ASSERT_TRUE(text->gets(line, sizeof line));
  EXPECT_STREQ(line, "ab\n");
  ASSERT_TRUE(text->gets(line, sizeof line));
  EXPECT_STREQ(line, "cd\re\n");
  EXPECT_FALSE(text->gets(line, sizeof line));
  auto whole = m.fopen("C:\\T.TXT", "rt", err);
  EXPECT_EQ(whole->read(line, sizeof line), 8u);  // read goes on past a line's end
  EXPECT_EQ(std::string(line, 8), "ab\ncd\re\n");
  auto binary = m.fopen("C:\\T.TXT", "rb", err);
  ASSERT_TRUE(binary->gets(line, 4));  // at most 3 bytes and the NUL
  EXPECT_STREQ(line, "ab\r");
  EXPECT_EQ(binary->read(line, sizeof line), 7u);

  auto out = m.fopen("C:\\T.TXT", "wb", err);  // emptied
  EXPECT_EQ(m.file("C:\\T.TXT")->size(), 0u);
  out->write("xy", 2);
  auto add = m.fopen("C:\\T.TXT", "a+t", err);
  add->write("z", 1);
  EXPECT_EQ(*m.file("C:\\T.TXT"), "xyz");
  EXPECT_EQ(m.open_streams(), 5u);
  text.reset();
  EXPECT_EQ(m.open_streams(), 4u);

  m.add_file("C:\\RO.TXT", "r", pf::kAttrReadOnly);
  const std::tuple<const char*, const char*, int> refused[] = {
      {"C:\\NONE.TXT", "r", pf::kErrnoNoEntry}, {"C:\\NODIR\\X.TXT", "w", pf::kErrnoNoEntry},
      {"C:\\CAT", "r", pf::kErrnoAccess}, {"C:\\RO.TXT", "a", pf::kErrnoAccess}, {"E:\\X.TXT", "r", pf::kErrnoAccess}};
  for (const auto& [path, mode, want] : refused)
    EXPECT_TRUE(m.fopen(path, mode, err) == nullptr && err == want) << path;
}

TEST_F(MemoryPlatformTest, DescriptorsNumberFromThreeAndKeepTheirModes) {
  int err = 0;
  const int a = m.open("C:\\NEW.DAT", pf::kOpenReadWrite | pf::kOpenCreate | pf::kOpenBinary, pf::kPermWrite, err);
  const int b = m.open("D:\\SHAMEI.DAT", pf::kOpenReadOnly, 0, err);
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 4);
  EXPECT_EQ(m.write(a, "hello", 5, err), 5);
  EXPECT_EQ(m.lseek(a, 1, pf::kSeekSet, err), 1);
  char buf[8] = {};
  EXPECT_EQ(m.read(a, buf, sizeof buf, err), 4);
  EXPECT_STREQ(buf, "ello");
  EXPECT_EQ(m.filelength(b, err), 2049);
  EXPECT_EQ(m.write(b, "x", 1, err), -1);
  EXPECT_EQ(err, pf::kErrnoBadFile);
  EXPECT_EQ(m.open("C:\\NEW.DAT", pf::kOpenWriteOnly | pf::kOpenCreate | pf::kOpenExclusive, 0, err), -1);
  m.add_file("C:\\RO.DAT", "r", pf::kAttrReadOnly);
  EXPECT_EQ(m.open("C:\\RO.DAT", pf::kOpenReadWrite, 0, err), -1);
  EXPECT_EQ(err, pf::kErrnoAccess);
  const int log = m.open("C:\\NEW.DAT", pf::kOpenWriteOnly | pf::kOpenAppend, 0, err);
  EXPECT_EQ(m.write(log, "!", 1, err), 1);
  EXPECT_EQ(*m.file("C:\\NEW.DAT"), "hello!");
  EXPECT_EQ(m.close(log, err), 0);
  EXPECT_EQ(m.close(a, err), 0);
  EXPECT_EQ(m.close(a, err), -1);
  EXPECT_EQ(m.open("C:\\NEW.DAT", pf::kOpenReadOnly, 0, err), 3);  // the lowest free number again
  EXPECT_EQ(m.open_descriptors(), 2u);
}

TEST_F(MemoryPlatformTest, DrivesHaveTypesLabelsAndDiscs) {
  std::string label;
  uint32_t error = 0;
  EXPECT_EQ(m.drive_type("C:\\"), pf::kDriveFixed);
  EXPECT_EQ(m.drive_type("e:\\"), pf::kDriveCdrom);
  EXPECT_EQ(m.drive_type("Q:\\"), pf::kDriveNoRootDir);
  ASSERT_TRUE(m.volume_label("D:\\", label, error));
  EXPECT_EQ(label, "19990401E1");
  EXPECT_FALSE(m.volume_label("E:\\", label, error));
  EXPECT_EQ(error, pf::kErrorNotReady);
  m.eject('D');
  EXPECT_FALSE(m.exists("D:\\SHAMEI.DAT"));
  EXPECT_TRUE(m.file("D:\\SHAMEI.DAT") && m.is_directory("D:\\"));  // as the tests see the drive
  m.insert_disc('D', "19990401E1");
  EXPECT_TRUE(m.exists("D:\\SHAMEI.DAT"));
}

TEST_F(MemoryPlatformTest, LimitsBoundTheWorkAndResetForgetsEverything) {
  int err = 0;
  const int fd = m.open("D:\\SHAMEI.DAT", pf::kOpenReadOnly, 0, err);
  char buf[16];
  m.set_read_budget(2);
  EXPECT_EQ(m.read(fd, buf, 1, err), 1);
  EXPECT_EQ(m.read(fd, buf, 1, err), 1);
  EXPECT_FALSE(m.budget_exhausted());
  EXPECT_EQ(m.read(fd, buf, 1, err), -1);
  EXPECT_EQ(err, pf::kErrnoIo);
  EXPECT_TRUE(m.budget_exhausted());
  m.max_file_size = 4;
  auto out = m.fopen("C:\\BIG.DAT", "wb", err);
  EXPECT_EQ(out->write("12345", 5), 0u);
  EXPECT_EQ(out->error_number(), pf::kErrnoNoSpace);
  out.reset();

  EXPECT_EQ(m.file_paths(), (std::vector<std::string>{"C:\\BIG.DAT", "C:\\CAT\\MST\\E1\\ZKROOTMF.MST",
                                                    "C:\\CAT\\MST\\E3", "D:\\SHAMEI.DAT"}));
  m.reset();
  EXPECT_EQ(m.file_count(), 0u);
  EXPECT_EQ(m.open_descriptors(), 0u);
  EXPECT_EQ(m.drive_type("D:\\"), pf::kDriveNoRootDir);
  EXPECT_EQ(m.current_directory(), "C:\\");
  EXPECT_EQ(m.read(fd, buf, 1, err), -1);
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
  for (const char* name : {"C:\\A.DAT", "C:\\B.DAT"}) {
    auto out = m.fopen(name, "wb", err);
    ASSERT_EQ(out->write("ab", 2), 2u);
  }
  EXPECT_EQ(*m.file("C:\\A.DAT"), "ab");
  EXPECT_EQ(*m.file("C:\\B.DAT"), "ab");
  std::string back(large.size() + 1, '\0');
  EXPECT_EQ(reader->read(back.data(), back.size()), large.size());
  reader.reset();
  m.reset();
  m.add_directory("C:\\X");
  auto out = m.fopen("C:\\X\\C.DAT", "wb", err);
  ASSERT_EQ(out->write("c", 1), 1u);
  EXPECT_EQ(*m.file("C:\\X\\C.DAT"), "c");
}

}  // namespace
}  // namespace zk::test
