// cdmake_cdno_table.
#include "lookup/cdno_table.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "catalog/cdread.h"
#include "catalog/direct_open.h"
#include "catalog/format.h"
#include "lookup/record.h"
#include "platform/platform.h"

namespace zk::lookup {

static_assert(sizeof(zkall_cdno_entry) == 4);
static_assert(offsetof(zkall_cdno_entry, area) == 0);
static_assert(offsetof(zkall_cdno_entry, sequence) == 1);
static_assert(offsetof(zkall_cdno_entry, disc_code) == 2);

namespace {

constexpr uint8_t kVehicleNameKind = 1;

// The table lives in the C runtime's heap because the caller releases it
// with the runtime's free; the platform's fault plan can still refuse it.
struct Free {
  void operator()(zkall_cdno_entry* p) const { std::free(p); }
};
using Table = std::unique_ptr<zkall_cdno_entry, Free>;

zkall_cdno_entry* runtime_realloc(zkall_cdno_entry* p, size_t entries) {
  if (platform::current().fault(platform::Op::Alloc, std::string()) != 0) return nullptr;
  return static_cast<zkall_cdno_entry*>(std::realloc(p, entries * sizeof(zkall_cdno_entry)));
}

}  // namespace

int cdmake_cdno_table(int32_t drive, const char* disc_id, const char* disc_no, const char* disc_date,
                      zkall_cdno_entry** table_out, int32_t* count_out, int32_t prompt_kind, int32_t& detail) {
  detail = 0;
  if (count_out != nullptr) *count_out = 0;
  if (table_out != nullptr) *table_out = nullptr;
  Table table(runtime_realloc(nullptr, 1));
  if (!table) {
    detail = kDetailNoTable;
    return catalog::rc::kNoMemory;
  }
  std::memset(table.get(), 0, sizeof(zkall_cdno_entry));
  size_t count = 0;

  zkall_cd_handle* h = nullptr;
  int result = catalog::cdopen_direct("SHAMEI.DAT", nullptr, kVehicleNameKind, catalog::kReadModeRecord, drive,
                                      disc_id, disc_no, disc_date, 0, 0, prompt_kind, &h, detail);
  if (result != 0) return result;

  Record rec;
  for (;;) {
    const int r = catalog::cdread(h, rec.data(), nullptr, 0, 0, nullptr, nullptr, detail);
    if (r != 0) {
      result = r == catalog::rc::kNotFound ? 0 : r;
      break;
    }
    rec.set_length(h);
    char code[kDiscCodeSize];
    rec.field(kDiscCodeOffset, kDiscCodeSize, code, ' ');
    if (code[0] == ' ') continue;
    zkall_cdno_entry* end = table.get() + count;
    if (std::find_if(table.get(), end, [&](const zkall_cdno_entry& e) {
          return std::memcmp(e.disc_code, code, kDiscCodeSize) == 0;
        }) != end)
      continue;
    zkall_cdno_entry* grown = runtime_realloc(table.get(), count + 1);
    if (grown == nullptr) {
      detail = kDetailNoTableGrowth;
      result = catalog::rc::kNoMemory;
      break;
    }
    table.release();
    table.reset(grown);
    zkall_cdno_entry& e = table.get()[count++];
    e.area = 0;
    e.sequence = 0;
    std::memcpy(e.disc_code, code, kDiscCodeSize);
  }
  if (result == 0 && count > static_cast<size_t>(kMaxDiscCodes)) {
    detail = kDetailTooManyCodes;
    result = catalog::rc::kRefused;
  }
  if (result == 0) {
    // The first two bytes are still 0: sorting by the four bytes sorts by
    // disc code.
    std::sort(table.get(), table.get() + count, [](const zkall_cdno_entry& a, const zkall_cdno_entry& b) {
      return std::memcmp(&a, &b, sizeof a) < 0;
    });
    const char first = count > 0 ? table.get()[0].disc_code[1] : '0';
    for (size_t i = 0; i < count; ++i) {
      table.get()[i].area = disc_id[0];
      // Past '9' the characters run on in code order; a table has at most
      // ten entries and its first code names the first disc.
      table.get()[i].sequence = static_cast<char>(first + static_cast<int>(i));
    }
  }

  int32_t close_detail = 0;
  const int closed = catalog::cdclose(&h, close_detail);
  if (result != 0) return result;
  if (closed != 0) {
    detail = close_detail;
    return closed;
  }
  if (table_out != nullptr) *table_out = table.release();
  if (count_out != nullptr) *count_out = static_cast<int32_t>(count);
  return 0;
}

}  // namespace zk::lookup
