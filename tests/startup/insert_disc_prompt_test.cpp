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
  EXPECT_EQ(titles[0] + std::to_string(styles[0]), "Please Insert CD37");
  // The disc label by area and kind (E2 and EA are installed, numbers 02 and
  // 01; EB, J0 and X5 are not); a given disc number wins.
  const struct { int32_t drive; const char* id; const char* number; int box; const char* texts; int32_t answer;
  } cases[] = {{-1, "G1", "07", platform::kIdRetry, "CD-ROM   ]Gen.   07]", 2},
               {12, "E2", nullptr, platform::kIdRetry, "CD-ROM   ]Europe 02]", 2},
               {1, "EA", nullptr, platform::kIdCancel, "E:       ]EFrame 01]", 1},
               {0, "EB", nullptr, platform::kIdRetry, "D:       ]EFrame   ]", 2},
               {0, "J0", nullptr, platform::kIdRetry, "D:       ]Japan  A0]", 2},
               {0, "X5", nullptr, platform::kIdRetry, "D:       ]         ]", 2},
               {0, nullptr, nullptr, platform::kIdRetry, "D:       ]         ]", 2}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.id ? k.id : "no disc id");
    shown.clear();
    box_answer = k.box;
    ASSERT_EQ(disp_msgbox(882, k.drive, k.id, k.number, &answer), 0);
    EXPECT_EQ(answer, k.answer);
    EXPECT_EQ(shown.at(0).substr(71, 10) + shown[0].substr(153), k.texts);
  }
}

TEST_F(InsertDiscPromptTest, FailuresAreLoggedWithTheirSites) {
  int32_t answer = 0;
  EXPECT_EQ(disp_msgbox(999, 0, "E1", nullptr, &answer), -1);
  inst.write_screens({"0112 Europe"});
  ASSERT_EQ(set_scr(), 0);
  EXPECT_EQ(disp_msgbox(881, -1, "E1", nullptr, &answer), -2);
  EXPECT_EQ(inst.log_reports(), (Lines{"ZKSUBM01,disp_msgbox,get_1stmsg_text,(-1)(0)(192)",
                                       "ZKSUBM01,disp_msgbox,get_scr_text,(-2)(0)(202)"}));
  EXPECT_TRUE(shown.empty());
}

}  // namespace
}  // namespace zk::test
