// The "Please Insert CD" message box: its exact text, its answers, and the
// log lines of its failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;

std::string padded(const std::string& s) { return s + std::string(71 - s.size(), ' '); }

class InsertDiscPromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    inst.lay_out_standard();
    ASSERT_EQ(drom_init(), 0);
    inst.platform().set_message_box_answerer([this](const std::string& text, const std::string& title, uint32_t style) {
      shown.push_back(text);
      titles.push_back(title);
      styles.push_back(style);
      return box_answer;
    });
  }
  void TearDown() override { drom_term(); }
  Installation inst;
  int box_answer = platform::kIdRetry;
  Lines shown, titles;
  std::vector<uint32_t> styles;
};

// The text names the drive by its index in the drive table (-1 or one
// outside the table: any drive, screen text 111) and the disc; the answer:
// Retry 2, Cancel 1.
TEST_F(InsertDiscPromptTest, TextNamesTheDriveAndTheDiscAndTheAnswerIsTheButton) {
  int32_t answer = 0;
  ASSERT_EQ(disp_msgbox(881, 0, "E1", nullptr, &answer), 0);
  EXPECT_EQ(answer, 2);
  EXPECT_EQ(shown.at(0), padded("Please insert the catalog disc into drive [") + "D:       ]\n" +
                             padded("and press Retry.                      Disc [") + "Europe 01]");
  EXPECT_EQ(titles[0], "Please Insert CD");
  EXPECT_EQ(styles[0], 37u);
  const struct { int32_t drive; int box; const char* drive_text; int32_t answer; } cases[] = {
      {-1, platform::kIdRetry, "CD-ROM   ]\n", 2}, {12, platform::kIdRetry, "CD-ROM   ]\n", 2},
      {1, platform::kIdCancel, "E:       ]\n", 1}};
  for (const auto& k : cases) {
    shown.clear();
    box_answer = k.box;
    ASSERT_EQ(disp_msgbox(882, k.drive, "G1", "07", &answer), 0) << k.drive;
    EXPECT_EQ(answer, k.answer);
    EXPECT_EQ(shown[0].substr(71, 11), k.drive_text) << k.drive;
    EXPECT_EQ(shown[0].substr(153), "Gen.   07]");  // a given disc number wins
  }
}

TEST_F(InsertDiscPromptTest, DiscLabelsByAreaAndKind) {
  // E2 and G1 are installed (numbers 02, 01); the others are not.
  const std::pair<const char*, const char*> cases[] = {
      {"E2", "Europe 02]"}, {"EA", "EFrame 01]"}, {"EB", "EFrame   ]"}, {"G1", "Gen.   01]"}, {"U1", "USA    A1]"},
      {"J0", "Japan  A0]"}, {"JB", "JFrame   ]"}, {"X5", "         ]"}, {"U7", "USA      ]"}, {nullptr, "         ]"}};
  for (const auto& [id, tail] : cases) {
    shown.clear();
    int32_t answer = 0;
    ASSERT_EQ(disp_msgbox(881, 0, id, nullptr, &answer), 0);
    EXPECT_EQ(shown.at(0).substr(153), tail) << (id ? id : "no disc id");
  }
}

TEST_F(InsertDiscPromptTest, FailuresAreLoggedWithTheirSites) {
  int32_t answer = 0;
  EXPECT_EQ(disp_msgbox(999, 0, "E1", nullptr, &answer), -1);
  inst.write_messages({"500Only one line"});
  ASSERT_EQ(set_msg(), 0);
  EXPECT_EQ(disp_msgbox(500, 0, "E1", nullptr, &answer), -3);
  box_answer = 1;  // IDOK: not an answer of a Retry/Cancel box
  inst.write_messages({"500One", "500Two"});
  ASSERT_EQ(set_msg(), 0);
  EXPECT_EQ(disp_msgbox(500, 0, "E1", nullptr, &answer), -4);
  inst.write_screens({"0112 Europe"});
  ASSERT_EQ(set_scr(), 0);
  EXPECT_EQ(disp_msgbox(500, -1, "E1", nullptr, &answer), -2);
  EXPECT_EQ(inst.log_reports(), (Lines{"ZKSUBM01,disp_msgbox,get_1stmsg_text,(-1)(0)(192)",
                                       "ZKSUBM01,disp_msgbox,get_2ndmsg_text,(-3)(0)(217)",
                                       "ZKSUBM01,disp_msgbox,MessageBox,(-4)(1)(298)",
                                       "ZKSUBM01,disp_msgbox,get_scr_text,(-2)(0)(202)"}));
  EXPECT_EQ(shown.size(), 1u);  // only the -4 case reached the box
}

}  // namespace
}  // namespace zk::test
