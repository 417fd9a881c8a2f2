// The block of common areas and the menu stack.
#include <gtest/gtest.h>

#include <cstring>

#include "support/installation.h"
#include "zkall.h"

namespace zk::test {
namespace {

class CommonAreasTest : public ::testing::Test {
 protected:
  Installation inst;
};

TEST_F(CommonAreasTest, SetTableMakesAZeroBlockMarkedComn) {
  EXPECT_EQ(get_ctop_addr(), nullptr);
  ASSERT_EQ(set_table(), 0);
  auto* base = reinterpret_cast<const uint8_t*>(get_ctop_addr());
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(std::memcmp(base, "COMN", 4), 0);
  for (size_t i = 4; i < sizeof(zkall_common_block); ++i) ASSERT_EQ(base[i], 0) << "byte " << i;
  // The areas lie back to back at their fixed offsets.
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(get_cnext_addr()) - base, 3497);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(get_cnexta_addr()) - base, 3575);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(get_ccar_addr()) - base, 4075);
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(get_cimg_addr()) - base, 4707);
}

TEST_F(CommonAreasTest, FreeTableOrNoMemoryLeavesEveryAddressNull) {
  ASSERT_EQ(set_table(), 0);
  free_table();
  free_table();  // a second release is harmless
  for (bool no_memory : {false, true}) {
    EXPECT_EQ(get_ctop_addr(), nullptr);
    EXPECT_EQ(get_cnext_addr(), nullptr);
    EXPECT_EQ(get_cnexta_addr(), nullptr);
    EXPECT_EQ(get_ccar_addr(), nullptr);
    EXPECT_EQ(get_cimg_addr(), nullptr);
    if (no_memory) break;
    inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory);
    EXPECT_EQ(set_table(), -1);
  }
  // drom_init stops at once without the block.
  inst.write_config({"ECRAM=C:\\WORK"});
  inst.platform().faults().add(platform::Op::Alloc, platform::kErrnoNoMemory);
  EXPECT_EQ(drom_init(), 20);
  EXPECT_EQ(get_ctop_addr(), nullptr);
}

TEST_F(CommonAreasTest, MenuStackHoldsSixtyFourNumbers) {
  ASSERT_EQ(set_table(), 0);
  zkall_cnext* n = get_cnext_addr();
  for (int i = 1; i <= 65; ++i) set_next_menu(static_cast<uint8_t>(i));
  EXPECT_EQ(+n->depth, 64);
  EXPECT_EQ(n->menus[0], 1);
  EXPECT_EQ(n->menus[63], 64);
  // The 65th push changed nothing, not even the bytes behind the stack.
  for (uint8_t b : n->unused) EXPECT_EQ(b, 0);
  set_back_menu();
  EXPECT_EQ(+n->depth, 63);
  set_next_menu(99);
  EXPECT_EQ(n->menus[63], 99);
  set_main_menu();
  EXPECT_EQ(+n->depth, 0);
  set_back_menu();
  EXPECT_EQ(+n->depth, 0);
}

// A depth a caller corrupted is left alone; without the block the calls do
// nothing.
TEST_F(CommonAreasTest, MenuStackRefusesACorruptDepthAndAMissingBlock) {
  set_next_menu(1);
  set_back_menu();
  set_main_menu();
  ASSERT_EQ(set_table(), 0);
  zkall_cnext* n = get_cnext_addr();
  n->depth = -5;
  set_next_menu(7);
  set_back_menu();
  EXPECT_EQ(+n->depth, -5);
  EXPECT_EQ(n->menus[0], 0);
}

}  // namespace
}  // namespace zk::test
