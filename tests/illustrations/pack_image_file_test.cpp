// make_pack_image_file on installations whose IMAGEF.DAT the catalog writer
// laid out: runs of every length copied byte for byte from the current
// vehicle's disc, the location record, and every refusal with nothing left
// open.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/pack_image_file.h"
#include "support/installation.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/image_file.h"
#include "tools/writer/master_writer.h"
#include "zkall.h"

namespace zk::test {
namespace {

constexpr char kOut[] = "C:\\WORK\\FIG.PAK";
constexpr size_t kBlock = 2048;

// A packed file of `bytes` bytes whose every block is told apart.
std::string filler(size_t bytes, char tag) {
  std::string s(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) s[i] = static_cast<char>(tag + i / kBlock * 3 + i % 251);
  return s;
}

class PackImageFile : public ::testing::Test {
 protected:
  // Disc E1 (in drive D:) holds illustrations of 0, 1, 4, 5 and 9 blocks;
  // disc E2's copy of IMAGEF.DAT on the hard disk holds one of 2 blocks.
  void SetUp() override {
    inst.lay_out_standard();
    std::vector<std::string> files;
    for (size_t bytes : {size_t{0}, size_t{100}, 4 * kBlock, 4 * kBlock + 1, 8 * kBlock + 5})
      files.push_back(filler(bytes, static_cast<char>('A' + files.size())));
    e1 = lay_out("E1", files, 0);
    e2 = lay_out("E2", {filler(kBlock + 9, 'z')}, 1, "19990701", "02");
    ASSERT_EQ(drom_init(), 0);
    closeall2();
    inst.platform().set_message_box_answerer([this](const std::string& text, const std::string&, uint32_t) {
      prompts.push_back(text);
      return platform::kIdCancel;
    });
    get_ccar_addr()->catalog_disc = setuped_cdno1_to_cdno2("E1", nullptr);
  }
  void TearDown() override { drom_term(); }

  // IMAGEF.DAT of installed disc `id`: on the disc in drive D: (location
  // kind 0) or copied to the hard disk (1).
  writer::ImageFile lay_out(const std::string& id, const std::vector<std::string>& files, uint8_t location,
                            const std::string& date = "19990401", const std::string& number = "01") {
    writer::ImageFile image = writer::build_image_file(files);
    writer::Disc d;
    d.header = writer::master_header(date, id, number, '1');
    d.root_sets.push_back({image.set, location, ""});
    writer::lay_out_disc(d, host_path(inst.drive_root('c'), "CAT\\MST\\" + id).string(),
                         inst.drive_root('d').string());
    return image;
  }
  // `blocks` blocks of IMAGEF.DAT from `first`.
  static std::string blocks(const writer::ImageFile& image, uint32_t first, size_t blocks) {
    return image.set.data.substr(first * kBlock, blocks * kBlock);
  }
  int32_t pack(const std::string& location, const char* out = kOut) {
    std::filesystem::remove(host_path(inst.drive_root('c'), "WORK\\FIG.PAK"));
    detail = -7;
    return make_pack_image_file(out, location.c_str(), &detail);
  }
  std::string output() const { return inst.read('c', "WORK\\FIG.PAK"); }
  static bool nothing_open() { return *handle_flag() == 0; }

  Installation inst;
  writer::ImageFile e1;
  writer::ImageFile e2;
  std::vector<std::string> prompts;
  int32_t detail = 0;
};

// Runs of every length (4 blocks fill the copy buffer once) from the current
// vehicle's disc, in the drive or copied to the hard disk; a catalog disc
// that is in no drive is asked for.
TEST_F(PackImageFile, RunsAreCopiedWholeFromTheCurrentVehiclesDisc) {
  for (const writer::ImageLocation& at : e1.locations) {
    ASSERT_EQ(pack(at.record()), 0) << at.record();
    EXPECT_EQ(detail, 0);
    EXPECT_TRUE(output() == blocks(e1, at.first_block, at.blocks)) << at.record();
    EXPECT_TRUE(nothing_open()) << at.record();
  }
  get_ccar_addr()->catalog_disc = setuped_cdno1_to_cdno2("E2", nullptr);
  ASSERT_EQ(pack(e2.locations[0].record()), 0);
  EXPECT_TRUE(output() == blocks(e2, 0, 2));
  EXPECT_TRUE(prompts.empty());

  get_ccar_addr()->catalog_disc = setuped_cdno1_to_cdno2("E1", nullptr);
  inst.empty_drive('d');
  EXPECT_EQ(pack(e1.locations[1].record()), 4);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_NE(prompts[0].find("catalog disc"), std::string::npos);
  EXPECT_TRUE(nothing_open());
}

TEST(LocationRecord, EachGroupIsReadLikeAtoiWithinItsWidth) {
  const struct { const char* record; int64_t block, blocks; } cases[] = {
      {"    12  5", 12, 5}, {"+00012+05", 12, 5}, {"\t 7x9 2 3", 7, 2}, {"12345678", 123456, 78}, {"", 0, 0},
      {"ABCDEF123", 0, 123}, {"-00001005", -1, 5}, {"000001- 5", 1, 0}, {"0000010059999", 1, 5},
  };
  for (const auto& c : cases) {
    const image::ImageLocation at = image::parse_location(c.record);
    EXPECT_EQ(std::pair(at.first_block, at.blocks), std::pair(c.block, c.blocks)) << '"' << c.record << '"';
  }
}

// Every answer with what is left in the output file: requests refused before
// anything is opened; the record ending at its ninth character or a NUL;
// runs past the end of IMAGEF.DAT (a 4-block read that comes back short is
// 94, a short read of the last blocks 112, a run that starts at or past the
// end reads nothing: -1). What was copied before stays.
TEST_F(PackImageFile, EveryAnswerWithWhatIsLeftInTheOutputFile) {
  const writer::ImageLocation& five = e1.locations[3];
  const uint32_t end = e1.set.entries[3].size;  // 19 blocks
  const auto at = [](uint32_t first, uint32_t n) { return writer::ImageLocation{first, n}.record(); };
  char early[10];
  std::snprintf(early, sizeof early, "%6u", five.first_block);
  std::memcpy(early + 7, "99", 2);  // behind the NUL: never read
  constexpr int kNoFile = -1;
  // The answer, the detail, and the blocks from `first` in the output file.
  const struct { std::string location; const char* out; int32_t result, detail; uint32_t first; int copied;
  } cases[] = {
      {five.record() + "999", kOut, 0, 0, five.first_block, 5}, {std::string(early, 9), kOut, 0, 0, 0, 0},
      {"-00001001", kOut, 128, 90, 0, kNoFile}, {"000001001", nullptr, 13, platform::kErrnoInvalid, 0, kNoFile},
      {at(end - 1, 9), kOut, 128, 94, 0, 0}, {at(end - 5, 7), kOut, 128, 112, end - 5, 4},
      {at(end, 1), kOut, -1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.location);
    EXPECT_EQ(pack(c.location, c.out), c.result);
    EXPECT_EQ(detail, c.detail);
    EXPECT_TRUE(c.copied == kNoFile ? !inst.exists('c', "WORK\\FIG.PAK")
                                    : output() == blocks(e1, c.first, static_cast<size_t>(c.copied)));
    EXPECT_TRUE(nothing_open());
  }
  EXPECT_EQ(make_pack_image_file(kOut, nullptr, &detail), 128);
  EXPECT_EQ(detail, 90);
  EXPECT_EQ(make_pack_image_file(kOut, five.record().c_str(), nullptr), 0);  // no detail wanted
}

}  // namespace
}  // namespace zk::test
