// The local price files: summed runs, the 66-record two-block case, prefix
// keys, the part-number search, hand-made index bytes, corrupt runs and
// every failure report through the fault seam.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "support/installation.h"
#include "tools/writer/local_price_files.h"
#include "zkall.h"

namespace zk::test {
namespace {

using platform::Op;
using std::tuple;

// A 62-byte record of pair 1: the key, then a number telling records apart.
std::string rec62(const std::string& key, int n) {
  std::string r = key + std::to_string(1000 + n);
  return r + std::string(62 - r.size(), '.');
}

class LocalPricesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    std::strcpy(get_ctop_addr()->localp_path, "C:\\LP");
  }
  void TearDown() override { LCPClose(&h); }
  void write_pair(const writer::LocalPriceSpec& spec) {
    const writer::LocalPriceFiles f = writer::build_local_prices(spec);
    inst.write('c', "LP\\" + f.index_name, f.index);
    inst.write('c', "LP\\" + f.data_name, f.data);
  }
  // Reads the key and every following record: their numbers, or "end".
  std::vector<std::string> read_all(const std::string& key) {
    std::vector<std::string> out;
    char r[132] = {};
    EXPECT_EQ(LCPKeyRead(&h, key.data(), static_cast<int16_t>(key.size()), r), 0);
    while (h.end_flag == 0) {
      out.push_back(std::string(r + 12, 4));
      EXPECT_EQ(LCPSeqRead(&h, r), 0);
    }
    return out;
  }
  Installation inst;
  LcpHandle h{};
};

TEST_F(LocalPricesTest, MatchingEntriesAreSummedIntoOneRunOverBlocks) {
  writer::LocalPriceSpec spec;
  spec.run_limit = 3;  // five records of B: entries of 3 and 2
  for (int i = 0; i < 2; ++i) spec.records.push_back(rec62("A00000000000", i));
  for (int i = 0; i < 5; ++i) spec.records.push_back(rec62("B00000000000", i));
  spec.records.push_back(rec62("B00000000001", 9));
  for (int i = 0; i < 66; ++i) spec.records.push_back(rec62("K00000000000", i));
  write_pair(spec);
  ASSERT_EQ(LCPOpen(&h, 1), 0);
  EXPECT_EQ(read_all("B00000000000"), (std::vector<std::string>{"1000", "1001", "1002", "1003", "1004"}));
  EXPECT_EQ(h.total, 5u);
  EXPECT_EQ(read_all("B0000000000").size(), 6u);  // a shorter key matches on its prefix only: every B
  const std::vector<std::string> k = read_all("K00000000000");
  EXPECT_EQ((tuple{k.size(), k.back(), h.blocks.count, h.records_per_block, h.current_block == h.blocks.last,
                   h.index_in_block}),
            (tuple{66u, "1065", 2, 65, true, 0}));
  EXPECT_EQ((tuple{read_all("C").size(), h.total, LCPSeqRead(&h, nullptr)}), (tuple{0u, 0u, 20}));  // no match
}

TEST_F(LocalPricesTest, HandMadeIndexEndsAtAZeroEntry) {
  // Pair 3: 14-byte entries (10-byte key, start, count), 132-byte records.
  auto entry = [](const std::string& key, char start, char count) { return key + start + '\0' + count + '\0'; };
  std::string data;
  for (int i = 0; i < 4; ++i) {
    std::string r(132, ' ');
    r.replace(0, 1, std::to_string(i));
    r.replace(52, 12, "PART" + std::to_string(i) + "0000000");
    data += r;
  }
  inst.write('c', "LP\\LOCALP3.IA",
             entry("DEALER0001", 1, 1) + entry("OTHER00000", 0, 1) + entry("DEALER0001", 2, 2) +
                 entry("EMPTYRUN00", 3, 0) + std::string(14, '\0') + entry("DEALER0001", 0, 9));
  inst.write('c', "LP\\LOCALP3.D", data);
  ASSERT_EQ(LCPOpen(&h, 3), 0);
  char out[132];
  ASSERT_EQ(LCPKeyRead(&h, "DEALER0001", 10, out), 0);
  // 1 + 2 from the first entry's start; the entry behind the zero one is not read.
  EXPECT_EQ((tuple{h.total, out[0]}), (tuple{3u, '1'}));
  std::memset(out, 'x', sizeof out);
  LCP3PrtNoRead(&h, "PART30000000", out);
  EXPECT_EQ((tuple{h.end_flag, out[0]}), (tuple{0, '3'}));
  LCP3PrtNoRead(&h, "PART00000000", out);  // record 0 was not collected: out is left as it was
  EXPECT_EQ((tuple{h.end_flag, out[0]}), (tuple{1, '3'}));
  ASSERT_EQ(LCPKeyRead(&h, "EMPTYRUN00", 10, out), 0);  // a match whose runs sum to 0
  EXPECT_EQ((tuple{h.end_flag, h.blocks.count}), (tuple{1, 0}));
  EXPECT_EQ(LCPKeyRead(nullptr, "DEALER0001", 10, out), 128);
  h.record_length = 200;  // a caller's change: no copy is sized by it
  EXPECT_EQ(LCPKeyRead(&h, "DEALER0001", 10, out), 128);
  h.record_length = 132;
}

TEST_F(LocalPricesTest, OpenRefusesOtherPairsAndMissingData) {
  EXPECT_EQ(LCPOpen(&h, 4), 128);
  EXPECT_EQ(LCPOpen(&h, 0), 128);
  EXPECT_EQ(inst.log_reports(), (std::vector<std::string>{"ZKSUBF30,LCPOpen,Parm Error,(128)(4)(55)",
                                                          "ZKSUBF30,LCPOpen,Parm Error,(128)(0)(55)"}));
  EXPECT_EQ((tuple{LCPOpen(&h, 2), inst.log_reports().size(), LCPSeqRead(&h, nullptr)}), (tuple{-1, 2u, 20}));  // no LOCALP2.D
}

// A run whose count passes the end of the data file (65535 records) stops at
// the first short block: reported, no records kept.
TEST_F(LocalPricesTest, ARunPastTheEndOfTheDataIsReportedAndKeepsNoRecords) {
  inst.write('c', "LP\\LOCALP2.IA", std::string("K00000000000\x00\x00\xFF\xFF", 16));
  inst.write('c', "LP\\LOCALP2.D", rec62("K00000000000", 0));
  ASSERT_EQ(LCPOpen(&h, 2), 0);
  char out[62];
  EXPECT_EQ((tuple{LCPKeyRead(&h, "K00000000000", 12, out), inst.log_reports().back(), h.blocks.count, LCPSeqRead(&h, out)}),
            (tuple{14, "ZKSUBF30,LCPKeyRead,fread,(14)(0)(216)", 0, 20}));
}

}  // namespace
}  // namespace zk::test
