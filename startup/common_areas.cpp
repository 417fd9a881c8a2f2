// The block of common areas and the process-wide addresses of its areas.
#include "startup/common_areas.h"

#include <cstring>

#include "platform/platform.h"

namespace zk::startup {

namespace {
platform::HeapBlock g_block;
zkall_common_block* g_areas = nullptr;
constexpr char kMarker[4] = {'C', 'O', 'M', 'N'};
}  // namespace

int set_table() {
  if (g_areas) free_table();
  platform::HeapBlock b;
  if (!platform::current().allocate(kBlockSize, b)) return -1;
  g_block = std::move(b);
  g_areas = reinterpret_cast<zkall_common_block*>(g_block.data());
  std::memcpy(g_areas->ctop.marker, kMarker, sizeof kMarker);
  return 0;
}

void free_table() {
  g_areas = nullptr;
  g_block = platform::HeapBlock();
}

zkall_common_block* block() { return g_areas; }
zkall_ctop* ctop() { return g_areas ? &g_areas->ctop : nullptr; }
zkall_cnext* cnext() { return g_areas ? &g_areas->cnext : nullptr; }
zkall_cnexta* cnexta() { return g_areas ? &g_areas->cnexta : nullptr; }
zkall_ccar* ccar() { return g_areas ? &g_areas->ccar : nullptr; }
zkall_cimg* cimg() { return g_areas ? &g_areas->cimg : nullptr; }

uint32_t address_field_value(const void* p) {
  if (!p) return 0;
  const auto v = reinterpret_cast<uintptr_t>(p);
  if constexpr (sizeof(uintptr_t) <= sizeof(uint32_t)) {
    return static_cast<uint32_t>(v);
  } else {
    // Keep the low bits of the address for a debugger, never 0.
    const auto low = static_cast<uint32_t>(v);
    return low ? low : 1u;
  }
}

}  // namespace zk::startup
