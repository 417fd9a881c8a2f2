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

// "a/b" (b read once the call giving a has returned).
std::string rd(int a, const int32_t& b) { return std::to_string(a) + "/" + std::to_string(b); }

class DiscsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    inst.lay_out_standard();
    ASSERT_EQ(drom_init(), 0);
    c = get_ctop_addr();
    inst.platform().set_message_box_answerer([this](const std::string& text, const std::string&, uint32_t) {
      prompts.push_back(text);
      if (on_prompt) on_prompt(static_cast<int>(prompts.size()));
      if (answers.empty()) return platform::kIdCancel;
      const int a = answers.front();
      answers.erase(answers.begin());
      return a;
    });
  }
  void TearDown() override { drom_term(); }
  // cdset_cd asking for `id` in `drive` (-1: any) with the outputs it may leave out.
  int find(int32_t drive, const char* id, const char* date = nullptr, int32_t* found = nullptr, int32_t kind = 700) {
    return cdset_cd(drive, id, nullptr, date, found, nullptr, nullptr, kind, nullptr);
  }
  Installation inst;
  zkall_ctop* c = nullptr;
  std::vector<std::string> prompts;
  std::vector<int> answers;
  std::function<void(int)> on_prompt;
};

// Each row's change stays for the rows below it. On a failure the head is
// compared as the detail (-5: left as it was).
TEST_F(DiscsTest, HeadIsTheDiscIdThenTheDateOrAFailure) {
  const struct { const char* what; std::function<void()> change; int32_t drive; int rc; std::string want; } cases[] = {
      {"the label", [] {}, 0, 0, "E119990401"},
      {"a short label gives NUL bytes", [&] { inst.set_label('d', "1999"); }, 0, 0, std::string("\0\0" "1999\0\0\0\0", 10)},
      {"E: has no disc", [] {}, 1, 80, "21"},
      {"past the two configured drives", [] {}, 2, 128, "-5"},
      {"a drive that is gone", [&] { inst.remove_drive('d'); }, 0, 81, "3"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    k.change();
    std::string head(10, '#');
    int32_t detail = -5;
    EXPECT_EQ(cdread_head(k.drive, head.data(), &detail), k.rc);
    EXPECT_EQ(k.rc == 0 ? head : std::to_string(detail), k.want);
  }
}

TEST_F(DiscsTest, AllDrivesGiveTheirHeadsAndTheHardDiskCopiesOnce) {
  // E2 copied to the hard disk is listed after the drives (E: is not
  // ready); E1's copy is in drive D: already.
  inst.install_catalog("E2", "19990701", "02", true, true);
  inst.install_catalog("E1", "19990401", "01", true, true);
  ASSERT_EQ(setuped_cd_check(), 0);
  char heads[110];
  int32_t detail = -1;
  ASSERT_EQ(rd(cdread_head_alldrive(heads, 'E', &detail), detail), "0/0");
  EXPECT_EQ(std::string(heads, 110), "E119990401" + std::string(10, '\0') + "E219990701" + std::string(80, '\0'));
  EXPECT_EQ(cdread_head_alldrive(nullptr, 'E', &detail), 128);
  inst.remove_drive('d');
  EXPECT_EQ(cdread_head_alldrive(heads, 'E', &detail), 81);  // a missing drive is no "not ready"
}

TEST_F(DiscsTest, PresentDiscsOfTheCurrentArea) {
  int32_t list[30], count = -1, detail = 0;
  // E1 in D:; then a disc whose date differs from the installed one is not
  // that disc; in area G, G1 (index 3) is in E:; no area has none.
  const struct { std::function<void()> change; std::vector<int32_t> want; } cases[] = {
      {[] {}, {0}},
      {[&] { inst.set_label('d', "19980101E1"); }, {}},
      {[&] { c->current_area = 1; inst.add_drive('e', "19990501G1"); }, {3}},
      {[&] { c->current_area = -1; }, {}},
  };
  for (const auto& k : cases) {
    k.change();
    ASSERT_EQ(cdmake_cdidtbl_alldrive(list, &count, &detail), 0);
    EXPECT_EQ(std::vector<int32_t>(list, list + count), k.want);
  }
}

TEST_F(DiscsTest, FindsTheDiscInTheFirstMatchingDrive) {
  int32_t drive = -1, detail = -1;
  char id[2], date[8];
  EXPECT_EQ(cdset_cd(-1, "E1", "01", nullptr, &drive, id, date, 700, &detail), 0);
  EXPECT_EQ(std::to_string(drive) + std::to_string(detail) + std::string(id, 2) + std::string(date, 8), "00E119990401");
  EXPECT_TRUE(prompts.empty());
  EXPECT_EQ(find(0, "E1"), 0);  // outputs may be left out
}

TEST_F(DiscsTest, DiscIdAndDateRules) {
  const struct { const char* label; const char* id; const char* date; bool found; } cases[] = {
      // The main disc of E is E1 of 19990401.
      {"19990401E1", "E ", nullptr, true},  // "E" alone: compared over its leading characters
      {"19990401E1", "E2", nullptr, false},
      {"19990402E1", "E1", "19990401", false},
      {"19990415E1", "E1", "199904  ", true},  // compared before the first blank
      {"19990415E1", "E1", "        ", true},  // no leading characters: no rule
      {"19990331E1", "E1", "********", true},  // older than the main disc
      {"19990401E1", "E1", "********", false},  // an equal date is not older
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(std::string(k.label) + " " + k.id + " / " + (k.date ? k.date : "no date"));
    inst.set_label('d', k.label);
    prompts.clear();
    int32_t drive = -1;
    const int r = find(-1, k.id, k.date, &drive);
    EXPECT_EQ(rd(r, drive) + "/" + std::to_string(prompts.size()), k.found ? "0/0/0" : "4/-1/1");
  }
}

// Refusals leave the outputs alone and ask nothing; each row's change stays
// for the rows below it.
TEST_F(DiscsTest, RefusedRequestsAndFailures) {
  const struct { const char* what; std::function<void()> change; int32_t drive; const char* id, *date; int rc; int32_t detail; } cases[] = {
      {"no disc id", [] {}, -1, nullptr, nullptr, 128, 2001},
      {"no main disc of U installed", [] {}, -1, "U1", "********", 128, 2002},
      {"drive 2: two drives are configured", [] {}, 2, "E1", nullptr, 128, 2004},
      {"a prompt that cannot be shown", [&] { inst.write_messages({"001unrelated"}); ASSERT_EQ(set_msg(), 0); }, -1,
       "E2", nullptr, 128, 2003},
      // A volume failure other than "not ready" ends the search.
      {"a configured drive that is gone", [&] { inst.remove_drive('d'); }, -1, "E1", nullptr, 81, 3},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.what);
    k.change();
    int32_t drive = 55, detail = 0;
    const int r = cdset_cd(k.drive, k.id, nullptr, k.date, &drive, nullptr, nullptr, 700, &detail);
    EXPECT_EQ(rd(r, detail) + "/" + rd(drive, static_cast<int32_t>(prompts.size())), rd(k.rc, k.detail) + "/55/0");
  }
}

TEST_F(DiscsTest, CancelAnswersFourAndLeavesTheOutputsAlone) {
  int32_t drive = 77, detail = -1;
  char id[2] = {'x', 'x'};
  EXPECT_EQ(cdset_cd(-1, "E2", nullptr, nullptr, &drive, id, nullptr, 700, &detail), 4);
  EXPECT_EQ(std::to_string(drive) + std::string(id, 2) + std::to_string(detail), "77xx0");
  ASSERT_EQ(prompts.size(), 1u);
  // The prompt names any drive and the installed disc E2, number 02.
  EXPECT_EQ(prompts[0].substr(71, 11), "CD-ROM   ]\n");
  EXPECT_EQ(prompts[0].substr(153), "Europe 02]");
  EXPECT_EQ(find(-1, "G1"), 4);  // G1, the main disc of area G, is in no drive
  EXPECT_EQ(prompts.at(1).substr(153), "Gen.   01]");
}

TEST_F(DiscsTest, DiscInsertedWhileTheSecondPromptIsUp) {
  answers = {platform::kIdRetry, platform::kIdRetry};
  on_prompt = [this](int n) {
    if (n == 2) inst.add_drive('e', "19990701E2");  // the user puts E2 into E:
  };
  int32_t drive = -1;
  EXPECT_EQ(find(-1, "E2", nullptr, &drive), 0);
  EXPECT_EQ(rd(drive, static_cast<int32_t>(prompts.size())), "1/2");
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
  EXPECT_EQ(find(0, "E2", nullptr, &drive), 0);
  ASSERT_EQ(rd(drive, static_cast<int32_t>(prompts.size())), "0/1");
  EXPECT_EQ(prompts[0].substr(71, 11), "D:       ]\n");
  EXPECT_EQ(inst.platform().sleeps, std::vector<uint32_t>{200});  // D: was ready at once
}

TEST_F(DiscsTest, ANotReadyDriveAmongReadyOnesIsSkipped) {
  inst.add_drive('f', "19990701E2");
  inst.write_config({"ECMST=C:\\CAT\\MST", "ECFIL=C:\\ZK", "CDROM=E:,D:,F:", "CRNTAREA=E"});
  drom_term();
  ASSERT_EQ(drom_init(), 0);
  int32_t drive = -1;
  EXPECT_EQ(find(-1, "E2", nullptr, &drive), 0);
  EXPECT_EQ(rd(drive, static_cast<int32_t>(prompts.size())), "2/0");
}

TEST_F(DiscsTest, PromptKindChoosesTheMessage) {
  std::vector<int32_t> messages;
  for (int32_t kind : {-4, -3, -2, -1, 0, 700}) messages.push_back(cdmsgid(kind));
  EXPECT_EQ(messages, (std::vector<int32_t>{883, 882, 883, 882, 881, 881}));
  find(-1, "E2", nullptr, nullptr, -2);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].substr(0, 20), "Please insert the ol");
}

// The standard table: E1 (01), E2 (02), EA (01), G1 (01).
TEST_F(DiscsTest, TableLookups) {
  char no[2] = {}, id[2] = {};
  EXPECT_EQ(setuped_cdno1_to_cdno2("E2", no), 1);
  EXPECT_EQ(setuped_cdno2_to_cdno1('E', id, "02"), 1);
  EXPECT_EQ(std::string(no, 2) + std::string(id, 2), "02E2");
  const int got[] = {setuped_cdno1_to_cdno2("EA", nullptr), setuped_cdno1_to_cdno2("U1", no),
                     setuped_cdno1_to_cdno2(nullptr, no),   setuped_cdno2_to_cdno1('E', nullptr, "01"),
                     setuped_cdno2_to_cdno1(' ', id, "01"), setuped_cdno2_to_cdno1('G', id, "09")};
  EXPECT_EQ(std::vector<int>(got, got + 6), (std::vector<int>{2, -1, -1, 0, -1, -1}));
}

TEST_F(DiscsTest, MainAndFrameDiscsOfALetter) {
  std::memcpy(c->discs[0].disc_id, "EF", 2);  // make the table: EF, E2, EA, G1
  // F is not a digit; other letters than E and J take any second character.
  const int got[] = {setuped_top_cdno('E'), setuped_top_fcdno('E'), setuped_top_cdno('G'), setuped_top_fcdno('G'),
                     setuped_top_cdno('U'), setuped_top_cdno(32)};
  EXPECT_EQ(std::vector<int>(got, got + 6), (std::vector<int>{1, 0, 3, 3, -1, -1}));
  int32_t index = 9, found = 9;
  EXPECT_EQ(make_setuped_top_cdid_table(&index, &found), 0);
  EXPECT_EQ(found * 10 + index, 11);
  std::memcpy(c->discs[3].disc_id, "GX", 2);
  c->current_area = 1;  // G: the main disc needs a digit here as well
  EXPECT_EQ(make_setuped_top_cdid_table(&index, &found), 0);
  EXPECT_EQ(found, 0);
  EXPECT_EQ(make_setuped_top_cdid_table(nullptr, &found), -1);
}

TEST_F(DiscsTest, EmptyOrCorruptTablesAnswerMinusOne) {
  c->disc_count = 0;
  int32_t index = 0, found = 1;
  make_setuped_top_cdid_table(&index, &found);
  const int got[] = {setuped_top_cdno('E'), setuped_top_fcdno('E'), setuped_cdno1_to_cdno2("E1", nullptr), found};
  EXPECT_EQ(std::vector<int>(got, got + 4), (std::vector<int>{-1, -1, -1, 0}));
  c->disc_count = 100000;  // a count beyond the table is kept within it
  EXPECT_EQ(setuped_cdno1_to_cdno2("QQ", nullptr), -1);
}

}  // namespace
}  // namespace zk::test
