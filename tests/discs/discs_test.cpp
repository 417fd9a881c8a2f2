// Disc labels, the present-disc list, the drive search with its Retry/Cancel
// loop, and the installed-disc table lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;

class DiscsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    inst.lay_out_standard();
    ASSERT_EQ(drom_init(), 0);
    c = get_ctop_addr();
    inst.platform().set_message_box_answerer([this](const std::string& text, const std::string&, uint32_t) {
      prompts.push_back(text);
      if (on_prompt) on_prompt(static_cast<int>(prompts.size()));
      return answers.empty() ? platform::kIdCancel : next_answer();
    });
  }
  void TearDown() override { drom_term(); }
  int next_answer() {
    int a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
  std::string head_of(int32_t drive, int* rc = nullptr, int32_t* detail = nullptr) {
    char head[10];
    std::memset(head, '#', sizeof head);
    int32_t d = -5;
    int r = cdread_head(drive, head, &d);
    if (rc) *rc = r;
    if (detail) *detail = d;
    return std::string(head, 10);
  }
  Installation inst;
  zkall_ctop* c = nullptr;
  Lines prompts;
  std::vector<int> answers;
  std::function<void(int)> on_prompt;
};

// ---- labels -------------------------------------------------------------------

TEST_F(DiscsTest, HeadIsTheDiscIdThenTheDate) {
  int rc = -1;
  EXPECT_EQ(head_of(0, &rc), "E119990401");
  EXPECT_EQ(rc, 0);
  inst.set_label('d', "19990401E1 EXTRA WORDS");  // characters beyond the 10th are ignored
  EXPECT_EQ(head_of(0), "E119990401");
  inst.set_label('d', "1999");  // a short label gives NUL bytes
  EXPECT_EQ(head_of(0), std::string("\0\0" "1999\0\0\0\0", 10));
}

TEST_F(DiscsTest, HeadFailures) {
  int rc = 0;
  int32_t detail = 0;
  head_of(1, &rc, &detail);  // E: has no disc
  EXPECT_EQ(rc, 80);
  EXPECT_EQ(detail, 21);
  inst.remove_drive('d');
  head_of(0, &rc, &detail);
  EXPECT_EQ(rc, 81);
  EXPECT_EQ(detail, 3);
  head_of(-1, &rc, &detail);
  EXPECT_EQ(rc, 128);
  EXPECT_EQ(detail, -5);  // left as it was
  head_of(10, &rc, &detail);
  EXPECT_EQ(rc, 128);
  head_of(2, &rc, &detail);  // past the two configured drives: no drive at all
  EXPECT_EQ(rc, 128);
  EXPECT_EQ(detail, -5);
  inst.platform().faults().add(platform::Op::Volume, 1117, "D:");  // ERROR_IO_DEVICE
  inst.add_drive('d', "19990401E1");
  head_of(0, &rc, &detail);
  EXPECT_EQ(rc, 81);
  EXPECT_EQ(detail, 1117);
}

// ---- present discs --------------------------------------------------------------

TEST_F(DiscsTest, AllDrivesGiveTheirHeadsAndTheHardDiskCopies) {
  inst.install_catalog("E2", "19990701", "02", true, true);  // E2 copied to the hard disk
  ASSERT_EQ(setuped_cd_check(), 0);
  char heads[110];
  int32_t detail = -1;
  ASSERT_EQ(cdread_head_alldrive(heads, 'E', &detail), 0);
  EXPECT_EQ(detail, 0);
  EXPECT_EQ(std::string(heads, 10), "E119990401");
  EXPECT_EQ(std::string(heads + 10, 10), std::string(10, '\0'));  // E: not ready
  EXPECT_EQ(std::string(heads + 20, 10), "E219990701");
  EXPECT_EQ(std::string(heads + 30, 80), std::string(80, '\0'));
}

TEST_F(DiscsTest, AHardDiskCopyAlreadyInADriveIsListedOnce) {
  inst.install_catalog("E1", "19990401", "01", true, true);
  ASSERT_EQ(setuped_cd_check(), 0);
  char heads[110];
  int32_t detail = 0;
  ASSERT_EQ(cdread_head_alldrive(heads, 'E', &detail), 0);
  EXPECT_EQ(std::string(heads + 20, 10), std::string(10, '\0'));
}

TEST_F(DiscsTest, UnreadableHardDiskMasterFails) {
  inst.install_catalog("E2", "19990701", "02", true, true);
  ASSERT_EQ(setuped_cd_check(), 0);
  char heads[110];
  int32_t detail = 0;
  inst.platform().faults().add(platform::Op::Open, platform::kErrnoAccess, "E2\\ZKROOTMF.MST");
  EXPECT_EQ(cdread_head_alldrive(heads, 'E', &detail), 11);
  EXPECT_EQ(detail, platform::kErrnoAccess);
  inst.platform().faults().add(platform::Op::ShortRead, platform::kErrnoIo, "E2\\ZKROOTMF.MST");
  EXPECT_EQ(cdread_head_alldrive(heads, 'E', &detail), 14);
  inst.remove_drive('d');
  EXPECT_EQ(cdread_head_alldrive(heads, 'E', &detail), 81);  // a missing drive is no "not ready"
}

TEST_F(DiscsTest, PresentDiscsOfTheCurrentArea) {
  int32_t list[30];
  int32_t count = -1, detail = 0;
  ASSERT_EQ(cdmake_cdidtbl_alldrive(list, &count, &detail), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(list[0], 0);  // E1 in drive D:
  // A disc whose date differs from the installed one is not that disc.
  inst.set_label('d', "19980101E1");
  ASSERT_EQ(cdmake_cdidtbl_alldrive(list, &count, &detail), 0);
  EXPECT_EQ(count, 0);
  // Area G: G1 is installed but in no drive.
  c->current_area = 1;
  inst.set_label('e', "19990501G1");
  inst.add_drive('e', "19990501G1");
  ASSERT_EQ(cdmake_cdidtbl_alldrive(list, &count, &detail), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(list[0], 3);  // E1, E2, EA, G1
  c->current_area = -1;
  ASSERT_EQ(cdmake_cdidtbl_alldrive(list, &count, &detail), 0);
  EXPECT_EQ(count, 0);
}

// ---- finding a disc ------------------------------------------------------------

TEST_F(DiscsTest, FindsTheDiscInTheFirstMatchingDrive) {
  int32_t drive = -1, detail = -1;
  char id[2], date[8];
  EXPECT_EQ(cdset_cd(-1, "E1", "01", nullptr, &drive, id, date, 700, &detail), 0);
  EXPECT_EQ(drive, 0);
  EXPECT_EQ(detail, 0);
  EXPECT_EQ(std::string(id, 2), "E1");
  EXPECT_EQ(std::string(date, 8), "19990401");
  EXPECT_TRUE(prompts.empty());
  // Outputs may be left out.
  EXPECT_EQ(cdset_cd(0, "E1", nullptr, nullptr, nullptr, nullptr, nullptr, 700, nullptr), 0);
}

TEST_F(DiscsTest, DiscIdComparesOverItsLeadingCharacters) {
  int32_t drive = -1;
  EXPECT_EQ(cdset_cd(-1, "E ", nullptr, nullptr, &drive, nullptr, nullptr, 700, nullptr), 0);  // "E" alone
  EXPECT_EQ(drive, 0);
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, nullptr, nullptr, 700, nullptr), 4);
  EXPECT_EQ(prompts.size(), 1u);
}

TEST_F(DiscsTest, DateRules) {
  struct Case {
    const char* label;
    const char* date;
    bool found;
  };
  // The main disc of E is E1 of 19990401.
  const Case cases[] = {
      {"19990401E1", "19990401", true},  {"19990402E1", "19990401", false},
      {"19990415E1", "199904  ", true},   // compared before the first blank
      {"19990415E1", "        ", true},   // no leading characters: no rule
      {"19990331E1", "********", true},   // older than the main disc
      {"19990401E1", "********", false},  // an equal date is not older
      {"19990402E1", "********", false},
  };
  for (const auto& k : cases) {
    inst.set_label('d', k.label);
    prompts.clear();
    const int rc = cdset_cd(0, "E1", nullptr, k.date, nullptr, nullptr, nullptr, 700, nullptr);
    EXPECT_EQ(rc, k.found ? 0 : 4) << k.label << " / " << k.date;
  }
}

TEST_F(DiscsTest, RefusedRequests) {
  int32_t detail = 0;
  EXPECT_EQ(cdset_cd(-1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 700, &detail), 128);
  EXPECT_EQ(detail, 2001);
  EXPECT_EQ(cdset_cd(-1, "\x01" "1", nullptr, nullptr, nullptr, nullptr, nullptr, 700, &detail), 128);
  EXPECT_EQ(detail, 2001);
  EXPECT_EQ(cdset_cd(-1, "U1", nullptr, "********", nullptr, nullptr, nullptr, 700, &detail), 128);
  EXPECT_EQ(detail, 2002);  // no main disc of U installed
  for (int32_t drive : {2, 5, -2}) {  // two drives are configured
    detail = 0;
    EXPECT_EQ(cdset_cd(drive, "E1", nullptr, nullptr, nullptr, nullptr, nullptr, 700, &detail), 128) << drive;
    EXPECT_EQ(detail, 2004) << drive;
  }
  EXPECT_TRUE(prompts.empty());
}

TEST_F(DiscsTest, CancelAnswersFourAndLeavesTheOutputsAlone) {
  int32_t drive = 77, detail = -1;
  char id[2] = {'x', 'x'};
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, id, nullptr, 700, &detail), 4);
  EXPECT_EQ(drive, 77);
  EXPECT_EQ(std::string(id, 2), "xx");
  EXPECT_EQ(detail, 0);
  ASSERT_EQ(prompts.size(), 1u);
  // The prompt names any drive and the installed disc E2, number 02.
  EXPECT_EQ(prompts[0].substr(71, 11), "CD-ROM   ]\n");
  EXPECT_EQ(prompts[0].substr(153), "Europe 02]");
}

TEST_F(DiscsTest, DiscInsertedWhileTheSecondPromptIsUp) {
  answers = {platform::kIdRetry, platform::kIdRetry};
  on_prompt = [this](int n) {
    if (n == 2) inst.add_drive('e', "19990701E2");  // the user puts E2 into E:
  };
  int32_t drive = -1;
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, nullptr, nullptr, 700, nullptr), 0);
  EXPECT_EQ(drive, 1);
  EXPECT_EQ(prompts.size(), 2u);
  // Each Retry waited 200 ms on E:, the drive found without a disc; after the
  // first Retry E: stayed not ready for all three polls.
  EXPECT_EQ(inst.platform().sleeps, (std::vector<uint32_t>{200, 200, 200, 200}));
}

TEST_F(DiscsTest, OneGivenDriveIsTheOnlyOneScannedAndPolled) {
  inst.add_drive('e', "19990701E2");
  answers = {platform::kIdRetry};
  on_prompt = [this](int) { inst.set_label('d', "19990701E2"); };
  int32_t drive = -1;
  // E2 is in E:, but only D: is asked about.
  EXPECT_EQ(cdset_cd(0, "E2", nullptr, nullptr, &drive, nullptr, nullptr, 700, nullptr), 0);
  EXPECT_EQ(drive, 0);
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].substr(71, 11), "D:       ]\n");
  EXPECT_EQ(inst.platform().sleeps, std::vector<uint32_t>{200});  // D: was ready at once
}

TEST_F(DiscsTest, ANotReadyDriveAmongReadyOnesIsSkipped) {
  inst.add_drive('f', "19990701E2");
  inst.write_config({"ECMST=C:\\CAT\\MST", "ECFIL=C:\\ZK", "CDROM=E:,D:,F:", "CRNTAREA=E"});
  drom_term();
  ASSERT_EQ(drom_init(), 0);
  int32_t drive = -1;
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, nullptr, nullptr, 700, nullptr), 0);
  EXPECT_EQ(drive, 2);
  EXPECT_TRUE(prompts.empty());
}

TEST_F(DiscsTest, AVolumeFailureOtherThanNotReadyEndsTheSearch) {
  inst.remove_drive('d');  // configured, but the drive is gone
  int32_t drive = 55, detail = 0;
  EXPECT_EQ(cdset_cd(-1, "E1", nullptr, nullptr, &drive, nullptr, nullptr, 700, &detail), 81);
  EXPECT_EQ(detail, 3);
  EXPECT_EQ(drive, 55);
  EXPECT_TRUE(prompts.empty());
  EXPECT_EQ(cdset_cd(12, "E1", nullptr, nullptr, &drive, nullptr, nullptr, 700, &detail), 128);
}

TEST_F(DiscsTest, APromptThatCannotBeShownIsNoSuccess) {
  inst.write_messages({"001unrelated"});
  ASSERT_EQ(set_msg(), 0);
  int32_t drive = 55, detail = 0;
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, nullptr, nullptr, 700, &detail), 128);
  EXPECT_EQ(detail, 2003);
  EXPECT_EQ(drive, 55);
}

TEST_F(DiscsTest, PromptKindChoosesTheMessage) {
  EXPECT_EQ(cdmsgid(-4), 883);
  EXPECT_EQ(cdmsgid(-3), 882);
  EXPECT_EQ(cdmsgid(-2), 883);
  EXPECT_EQ(cdmsgid(-1), 882);
  EXPECT_EQ(cdmsgid(0), 881);
  EXPECT_EQ(cdmsgid(700), 881);
  cdset_cd(-1, "E2", nullptr, nullptr, nullptr, nullptr, nullptr, -2, nullptr);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].substr(0, 20), "Please insert the ol");
}

// ---- table lookups ----------------------------------------------------------------

TEST_F(DiscsTest, TableLookups) {
  // The standard table: E1 (01), E2 (02), EA (01), G1 (01).
  char no[2] = {};
  EXPECT_EQ(setuped_cdno1_to_cdno2("E2", no), 1);
  EXPECT_EQ(std::string(no, 2), "02");
  EXPECT_EQ(setuped_cdno1_to_cdno2("EA", nullptr), 2);
  EXPECT_EQ(setuped_cdno1_to_cdno2("U1", no), -1);
  EXPECT_EQ(setuped_cdno1_to_cdno2(nullptr, no), -1);
  char id[2] = {};
  EXPECT_EQ(setuped_cdno2_to_cdno1('E', id, "02"), 1);
  EXPECT_EQ(std::string(id, 2), "E2");
  EXPECT_EQ(setuped_cdno2_to_cdno1('E', nullptr, "01"), 0);
  EXPECT_EQ(setuped_cdno2_to_cdno1(' ', id, "01"), -1);
  EXPECT_EQ(setuped_cdno2_to_cdno1('G', id, "09"), -1);
}

TEST_F(DiscsTest, MainAndFrameDiscsOfALetter) {
  std::memcpy(c->discs[0].disc_id, "EF", 2);  // make the table: EF, E2, EA, G1
  EXPECT_EQ(setuped_top_cdno('E'), 1);        // F is not a digit
  EXPECT_EQ(setuped_top_fcdno('E'), 0);
  EXPECT_EQ(setuped_top_cdno('G'), 3);
  EXPECT_EQ(setuped_top_fcdno('G'), 3);       // other letters take any second character
  EXPECT_EQ(setuped_top_cdno('U'), -1);
  EXPECT_EQ(setuped_top_cdno(32), -1);
  int32_t index = 9, found = 9;
  EXPECT_EQ(make_setuped_top_cdid_table(&index, &found), 0);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(index, 1);
  std::memcpy(c->discs[3].disc_id, "GX", 2);
  c->current_area = 1;  // G: the main disc needs a digit here as well
  EXPECT_EQ(make_setuped_top_cdid_table(&index, &found), 0);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(make_setuped_top_cdid_table(nullptr, &found), -1);
  c->current_area = 7;
  EXPECT_EQ(make_setuped_top_cdid_table(&index, &found), 0);
  EXPECT_EQ(found, 0);
}

TEST_F(DiscsTest, EmptyOrCorruptTablesAnswerMinusOne) {
  c->disc_count = 0;
  EXPECT_EQ(setuped_top_cdno('E'), -1);
  EXPECT_EQ(setuped_top_fcdno('E'), -1);
  EXPECT_EQ(setuped_cdno1_to_cdno2("E1", nullptr), -1);
  int32_t index = 0, found = 1;
  make_setuped_top_cdid_table(&index, &found);
  EXPECT_EQ(found, 0);
  c->disc_count = 100000;  // a count beyond the table is kept within it
  EXPECT_EQ(setuped_cdno1_to_cdno2("QQ", nullptr), -1);
}

}  // namespace
}  // namespace zk::test
