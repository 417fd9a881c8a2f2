// The item list container and the three selection lists: links, limits,
// kinds, duplicates, argument orders, the cnexta transfer and the reports of
// allocation failures.
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
  EXPECT_TRUE(a->prev == nullptr && a->next == b && b->prev == a && c->prev == b && c->next == nullptr);
  DeleteItem(&list, b);  // middle
  EXPECT_TRUE(a->next == c && c->prev == a && list.count == 2);
  DeleteItem(&list, c);  // last: its predecessor becomes last
  EXPECT_TRUE(list.last == a && a->next == nullptr);
  DeleteItem(&list, a);  // only
  const auto empty = [&list] { return list.first == nullptr && list.last == nullptr && list.count == 0; };
  EXPECT_TRUE(empty());
  EXPECT_EQ(AddItem(&list, sizeof(zkall_item) - 1), nullptr);  // no room for the links
  fail_alloc(1);
  EXPECT_EQ(AddItem(&list, 64), nullptr);
  EXPECT_EQ(list.count, 0);
  AddItem(&list, 64);
  AddItem(&list, 64);
  EXPECT_EQ(AllDeleteItem(&list), 0);
  EXPECT_TRUE(empty());
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
  const uint32_t figno = 5;
  get_cnexta_addr()->figure_count = 3;
  struct Case { std::function<int32_t()> add; int nth; std::string report; int16_t left /* items left */; };
  const Case cases[] = {
      {[&] { return SetSelTmp("1561047110A2", &v); }, 1, "ZKSUBF21,SetSelTmp,AddItem,(20)(0)(251)", 0},
      {[&] { return SetLcpTmp("1561047110A2", &v, "CODE"); }, 1, "ZKSUBF23,SetLcpTmp,AddItem,(20)(0)(248)", 0},
      {[&] { return set_selfgn(&figno); }, 1, "ZKSUBF22,set_selfgn,AddItem,(20)(0)(179)", 0},
      {[] { return VBread_figno(); }, 2, "ZKSUBF22,VBread_figno,AddItem,(20)(0)(33)", 1},  // the first stays
  };
  for (const Case& c : cases) {
    fail_alloc(c.nth);
    EXPECT_EQ((tuple{c.add(), inst.log_reports().back(), VBGetNumSelTmp() + VBGetNumLcpTmp() + get_num_selfgn()}),
              (tuple{20, c.report, c.left}));
    inst.platform().faults().clear();
  }
}

}  // namespace
}  // namespace zk::test
