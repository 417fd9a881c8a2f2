// The block of common areas and the menu stack.
#include <gtest/gtest.h>

#include <cstring>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

bool all_null() {
  return !get_ctop_addr() && !get_cnext_addr() && !get_cnexta_addr() && !get_ccar_addr() && !get_cimg_addr();
}

TEST(CommonAreasTest, SetTableMakesAZeroBlockAndFreeOrNoMemoryLeavesEveryAddressNull) {
  Installation inst;
  EXPECT_TRUE(all_null());
  ASSERT_EQ(set_table(), 0);
  auto* base = reinterpret_cast<const uint8_t*>(get_ctop_addr());
  EXPECT_EQ(std::memcmp(base, "COMN", 4), 0);
  for (size_t i = 4; i < sizeof(zkall_common_block); ++i) ASSERT_EQ(base[i], 0) << "byte " << i;
  // The areas lie back to back at their fixed offsets.
  const void* areas[] = {get_cnext_addr(), get_cnexta_addr(), get_ccar_addr(), get_cimg_addr()};
  const long offsets[] = {3497, 3575, 4075, 4707};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<const uint8_t*>(areas[i]) - base, offsets[i]);
  free_table();
  free_table();  // a second release is harmless
  EXPECT_TRUE(all_null());
  inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ(set_table(), -1);
  EXPECT_TRUE(all_null());
}

// Sixty-four numbers at most; a depth a caller corrupted is left alone;
// without the block the calls do nothing.
TEST(CommonAreasTest, MenuStackHoldsSixtyFourNumbers) {
  Installation inst;
  set_next_menu(1);
  set_back_menu();
  set_main_menu();
  ASSERT_EQ(set_table(), 0);
  zkall_cnext* n = get_cnext_addr();
  for (int i = 1; i <= 65; ++i) set_next_menu(static_cast<uint8_t>(i));
  EXPECT_EQ(n->depth * 10000 + n->menus[0] * 100 + n->menus[63], 640164);
  for (uint8_t b : n->unused) EXPECT_EQ(b, 0);  // the 65th push wrote nothing behind the stack
  set_back_menu();
  set_next_menu(99);
  EXPECT_EQ(n->menus[63], 99);
  set_main_menu();
  set_back_menu();
  EXPECT_EQ(+n->depth, 0);
  n->depth = -5;
  set_next_menu(7);
  set_back_menu();
  EXPECT_EQ(n->depth * 100 + n->menus[0], -499);
}

}  // namespace
}  // namespace zk::test
