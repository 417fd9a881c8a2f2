// The item list container and the three selection lists: links, limits,
// kinds, duplicates, argument orders, the cnexta transfer and the reports of
// allocation failures. Their work files SELECT.TMP and LCPSEL.TMP: the record
// layouts byte by byte, full and short files, every report of the failure
// table through the fault seam, and the reset at start-up.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

using Lines = std::vector<std::string>;
using platform::Op;
using std::tuple;

class SelectionListsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(set_table(), 0); }
  void TearDown() override {
    TermSelTmp();
    TermLcpTmp();
    term_selfgn();
  }
  void fail_alloc(int nth) { inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory, "", nth); }
  Installation inst;
};

std::vector<uint32_t> figures() {
  std::vector<uint32_t> out;
  for (const zkall_item* i = get_selfgn()->first; i != nullptr; i = i->next)
    out.push_back(reinterpret_cast<const zkall_sel_fgn_node*>(i)->data.figno);
  return out;
}

TEST_F(SelectionListsTest, DeletingKeepsTheLinksOfTheRest) {
  ItemList list{};
  zkall_item* a = AddItem(&list, sizeof(zkall_item));
  zkall_item* b = AddItem(&list, sizeof(zkall_item));
  zkall_item* c = AddItem(&list, sizeof(zkall_item));
  ASSERT_TRUE(a && b && c);
  DeleteItem(&list, b);  // middle
  EXPECT_TRUE(a->prev == nullptr && a->next == c && c->prev == a && c->next == nullptr && list.count == 2);
  DeleteItem(&list, c);  // last: its predecessor becomes last
  EXPECT_TRUE(list.last == a && a->next == nullptr);
  EXPECT_EQ(AddItem(&list, sizeof(zkall_item) - 1), nullptr);  // no room for the links
  fail_alloc(1);
  EXPECT_EQ((tuple{AddItem(&list, 64), +list.count}), (tuple{nullptr, 1}));
  AddItem(&list, 64);
  EXPECT_EQ(AllDeleteItem(&list), 0);
  EXPECT_TRUE(list.first == nullptr && list.last == nullptr && list.count == 0);
}

struct Limit { const char* name; int limit; std::function<int32_t(uint32_t)> add; std::function<int16_t()> count; };

TEST_F(SelectionListsTest, ListsHoldUpToTheirLimit) {
  const int16_t v = 1;
  const Limit limits[] = {
      {"selection", 1000, [&](uint32_t) { return SetSelTmp("123456789012", &v); }, [] { return VBGetNumSelTmp(); }},
      {"local price", 1000, [&](uint32_t) { return SetLcpTmp("123456789012", &v, "CODE"); },
       [] { return VBGetNumLcpTmp(); }},
      {"figures", 100, [](uint32_t n) { return set_selfgn(&n); }, [] { return get_num_selfgn(); }},
  };
  for (const Limit& l : limits) {
    for (int i = 0; i < l.limit; ++i) ASSERT_EQ(l.add(static_cast<uint32_t>(i)), 0) << l.name << i;
    EXPECT_EQ((tuple{l.add(0), l.count()}), (tuple{1, l.limit})) << l.name;
  }
}

// The seventh character decides the kind (blank: a 6-character code);
// duplicates are kept and the earlier one is found and deleted first; local
// price entries match on part number and code (added part number first,
// searched code first).
TEST_F(SelectionListsTest, KindsDuplicatesAndArgumentOrders) {
  const int16_t v1 = 1, v2 = 2;
  ASSERT_EQ(SetSelTmp("100120 XXXXX", &v1), 0);
  ASSERT_EQ(SetSelTmp("1561047110A2", &v1), 0);
  ASSERT_EQ(SetSelTmp("1561047110A2", &v2), 0);
  const auto* code = SearchSelTmp("100120      ");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(std::string(code->data.key, 12) + char('0' + code->data.kind), "100120      0");
  EXPECT_EQ(SearchSelTmp("100120 XXXXX"), nullptr);
  EXPECT_EQ((tuple{SearchSelTmp("1561047110A2")->data.kind, SearchSelTmp("1561047110A2")->data.value}), (tuple{1, 1}));
  DelSelTmp("1561047110A2");
  DelSelTmp("000000000000");  // absent: nothing happens
  EXPECT_EQ((tuple{VBGetNumSelTmp(), SearchSelTmp("1561047110A2")->data.value}), (tuple{2, 2}));

  SetLcpTmp("1561047110A2", &v1, "AAAA");
  SetLcpTmp("1561047110A2", &v2, "BBBB");
  const auto* found = SearchLcpTmp("BBBB", "1561047110A2");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ((tuple{found->data.value, found->data.kind}), (tuple{2, 1}));
  EXPECT_EQ(SearchLcpTmp("CCCC", "1561047110A2"), nullptr);
  DelLcpTmp("AAAA", "1561047110A2");
  EXPECT_EQ((tuple{VBGetNumLcpTmp(), GetPtrLcpTmp()->first}), (tuple{1, &found->link}));
}

TEST_F(SelectionListsTest, FigureNumbersGoToAndFromTheCommonArea) {
  zkall_cnexta* area = get_cnexta_addr();
  area->figure_count = 3;
  const uint32_t numbers[] = {1010, 1020, 0xFFFFFFFE};
  std::memcpy(reinterpret_cast<uint8_t*>(area->figures), numbers, sizeof numbers);
  ASSERT_EQ(VBread_figno(), 0);
  ASSERT_EQ(VBread_figno(), 0);  // appended again: nothing is removed first
  EXPECT_EQ(figures(), (std::vector<uint32_t>{1010, 1020, 0xFFFFFFFE, 1010, 1020, 0xFFFFFFFE}));
  EXPECT_EQ(VBcheck_selfgn(&numbers[2]), 1);
  VBdel_selfgn(&numbers[0]);
  int16_t count = -1;
  VBwrite_figno(&count);
  uint32_t slots[6];
  std::memcpy(slots, reinterpret_cast<uint8_t*>(area->figures), sizeof slots);
  EXPECT_EQ((tuple{count, +area->figure_count, std::vector<uint32_t>(slots, slots + 6)}),
            (tuple{5, 5, std::vector<uint32_t>{1020, 0xFFFFFFFE, 1010, 1020, 0xFFFFFFFE, 0}}));

  // The array holds 100 numbers: 200 in the list are written as their first 100.
  area->figure_count = 100;
  VBclear_figno();
  EXPECT_EQ((tuple{+area->figure_count, get_num_selfgn()}), (tuple{0, 0}));
  area->figure_count = 100;
  VBread_figno();
  VBread_figno();
  EXPECT_EQ(get_num_selfgn(), 200);
  VBwrite_figno(&count);
  EXPECT_EQ(count, 100);
  term_selfgn();
  VBwrite_figno(&count);  // an empty list zeroes the array
  EXPECT_EQ((tuple{count, +area->figure_count}), (tuple{0, 0}));
}

TEST_F(SelectionListsTest, AllocationFailuresAreReported) {
  const int16_t v = 0;
  get_cnexta_addr()->figure_count = 3;
  struct Case { std::function<int32_t()> add; int nth; std::string report; int16_t left /* items left */; };
  const Case cases[] = {
      {[&] { return SetSelTmp("1561047110A2", &v); }, 1, "ZKSUBF21,SetSelTmp,AddItem,(20)(0)(251)", 0},
      {[] { return VBread_figno(); }, 2, "ZKSUBF22,VBread_figno,AddItem,(20)(0)(33)", 1},  // the first stays
  };
  for (const Case& c : cases) {
    fail_alloc(c.nth);
    EXPECT_EQ((tuple{c.add(), inst.log_reports().back(), VBGetNumSelTmp() + VBGetNumLcpTmp() + get_num_selfgn()}),
              (tuple{20, c.report, c.left}));
    inst.platform().faults().clear();
  }
}

class SelectTmpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_table(), 0);
    inst.mkdir('c', "WORK");
    std::strcpy(get_ctop_addr()->ecram_path, "C:\\WORK");
  }
  void TearDown() override {
    TermSelTmp();
    TermLcpTmp();
  }
  std::string file(const char* name) const { return inst.read('c', std::string("WORK\\") + name); }
  Installation inst;
};

TEST_F(SelectTmpTest, RecordsAreWrittenByteForByteReadBackAndCleared) {
  const int16_t big = 0x1234, negative = -2;
  SetSelTmp("1561047110A2", &big);
  SetSelTmp("100120 XXXXX", &negative);
  ASSERT_EQ(VBWriteSelectTmp(), 0);
  EXPECT_EQ(file("SELECT.TMP"), std::string("1561047110A2\x34\x12\x01\0\0\0\0\0", 20) +
                                    std::string("100120      \xFE\xFF\x00\0\0\0\0\0", 20) + std::string(19960, '\0'));
  SetLcpTmp("4351247110A1", &big, "D042");
  ASSERT_EQ(VBWriteLcpselTmp(), 0);
  EXPECT_EQ(file("LCPSEL.TMP"), std::string("D0424351247110A1\x34\x12\x01\0", 20) + std::string(19980, '\0'));
  TermSelTmp();
  TermLcpTmp();
  ASSERT_EQ(VBReadSelectTmp() + VBReadLcpselTmp(), 0);
  ASSERT_EQ(VBGetNumSelTmp(), 2);
  const auto* code = SearchSelTmp("100120      ");
  EXPECT_EQ((tuple{code->data.value, code->data.kind, SearchLcpTmp("D042", "4351247110A1")->data.value}),
            (tuple{-2, 0, 0x1234}));
  // Clearing a file leaves its list.
  ASSERT_EQ(VBClearSelectTmp() + clear_lcpsel_tmp(), 0);
  EXPECT_TRUE(file("SELECT.TMP") + file("LCPSEL.TMP") == std::string(40000, '\0'));
  EXPECT_EQ(VBGetNumSelTmp(), 2);
}

TEST_F(SelectTmpTest, OnlyTheFirstThousandAreWrittenAndAShortFileReads) {
  for (int i = 0; i < 1000; ++i) {
    const int16_t v = static_cast<int16_t>(i);
    char key[13];
    std::snprintf(key, sizeof key, "P%011d", i);
    ASSERT_EQ(SetSelTmp(key, &v), 0);
  }
  ASSERT_EQ(VBWriteSelectTmp() + VBReadSelectTmp(), 0);  // appended: 2000 entries, beyond the limit
  EXPECT_EQ(VBGetNumSelTmp(), 2000);
  ASSERT_EQ(VBWriteSelectTmp(), 0);
  EXPECT_EQ(file("SELECT.TMP").substr(999 * 20, 12), "P00000000999");  // the last record is in use
  VBClearSelTmp();
  ASSERT_EQ(VBReadSelectTmp(), 0);
  EXPECT_EQ(VBGetNumSelTmp(), 1000);

  VBClearSelTmp();
  inst.write('c', "WORK\\SELECT.TMP", std::string("1561047110A2\x05\x00\x01\0\0\0\0\0", 20) + "100");
  std::vector<char> buffer(20000, 'x');
  int32_t error = -1;
  EXPECT_EQ(read_select_tmp(buffer.data(), &error), 0);
  EXPECT_EQ((tuple{error, std::string(buffer.data() + 20, 4)}), (tuple{0, "100x"}));  // the rest stays as it was
  EXPECT_EQ(VBReadSelectTmp(), 0);
  EXPECT_EQ(VBGetNumSelTmp(), 2);  // the cut record counts, its missing bytes zero
  const auto* cut = SearchSelTmp(std::string("100\0\0\0      ", 12).data());
  EXPECT_EQ(cut == nullptr ? -1 : cut->data.kind, 0);
}

// The work directory field holds at most 63 characters, so the full path of
// either file always fits: the "get_path_name" reports cannot be driven.
TEST_F(SelectTmpTest, EveryFailureIsReportedWithItsSite) {
  struct Case { std::function<int32_t()> call; const char* file; Op op; int nth, result; std::string report; };
  const int e = platform::kErrnoIo;
  const Case cases[] = {
      {VBReadSelectTmp, "SELECT", Op::Alloc, 2, 20, "ZKSUBF21,VBReadSelectTmp,AddItem,(20)(0)(77)"},
      {clear_select_tmp, "SELECT", Op::Open, 1, 11, "ZKSUBF20,clear_select_tmp,write_select_tmp,(11)(5)(124)"},
      {VBWriteLcpselTmp, "LCPSEL", Op::Write, 1, 13, "ZKSUBF23,VBWriteLcpselTmp,fwrite,(13)(5)(151)"},
      // A close that fails after the write may have lost data: 13, logged as such.
      {VBWriteSelectTmp, "SELECT", Op::Close, 1, 13, "ZKSUBF21,VBWriteSelectTmp,fclose,(13)(5)(154)"},
  };
  const int16_t v = 1;
  for (const Case& c : cases) {
    TermSelTmp();
    TermLcpTmp();
    SetSelTmp("1561047110A2", &v);
    SetLcpTmp("1561047110A2", &v, "CODE");
    ASSERT_EQ(VBWriteSelectTmp() + VBWriteLcpselTmp(), 0);
    inst.platform().faults().add(c.op, e, c.op == Op::Alloc ? "" : c.file, c.nth);
    EXPECT_EQ((tuple{c.call(), inst.log_reports().back()}), (tuple{c.result, c.report}));
    inst.platform().faults().clear();
  }
}

TEST_F(SelectTmpTest, RawFunctionsReportNothingAndSetTheErrorWord) {
  int32_t error = 0;
  std::vector<char> buffer(20000);
  EXPECT_EQ((tuple{read_lcpsel_tmp(buffer.data(), &error), error}), (tuple{11, 2}));  // missing
  inst.platform().faults().add(Op::Write, platform::kErrnoNoSpace, "LCPSEL");
  EXPECT_EQ((tuple{write_lcpsel_tmp(buffer.data(), &error), error}), (tuple{13, platform::kErrnoNoSpace}));
  EXPECT_EQ(write_select_tmp(nullptr, &error), 13);
  EXPECT_EQ(read_select_tmp(nullptr, nullptr), 14);
  EXPECT_TRUE(inst.log_lines().empty());
}

class StartupResetTest : public ::testing::Test {
 protected:
  void SetUp() override { inst.lay_out_standard(); }
  Installation inst;
};

TEST_F(StartupResetTest, StartUpEmptiesSelectTmpAndGoesOnWhenItCannot) {
  inst.write('c', "WORK\\SELECT.TMP", "an old selection");
  ASSERT_EQ(drom_init(), 0);
  EXPECT_EQ(inst.read('c', "WORK\\SELECT.TMP"), std::string(20000, '\0'));
  drom_term();
  inst.platform().faults().add(Op::Open, platform::kErrnoAccess, "SELECT");
  EXPECT_EQ(drom_init(), 0);
  drom_term();
}

}  // namespace
}  // namespace zk::test
