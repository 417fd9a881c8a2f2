// v_check_shamei_d.
#include "vehicle/catalog_disc.h"

#include <cstring>

#include "catalog/discs.h"
#include "catalog/format.h"
#include "lookup/cdno_table.h"
#include "lookup/record.h"
#include "lookup/some_cd_data.h"
#include "startup/common_areas.h"

namespace zk::vehicle {

namespace {
constexpr uint8_t kVehicleNameKind = 1;
constexpr int kNotOnAnyDisc = 1;
constexpr int kCatalogDiscNotInstalled = 6;
}  // namespace

int check_shamei_d(const char* catalog_code, const int32_t* discs, int32_t count, char* record, int32_t* disc_out,
                   int32_t& detail) {
  detail = 0;
  if (discs == nullptr || catalog_code == nullptr) return kNotOnAnyDisc;
  lookup::Record rec;
  for (int32_t i = 0; i < count; ++i) {
    lookup::SomeCdRequest q;
    q.file = "SHAMEI.DAT";
    q.kind = kVehicleNameKind;
    q.mode = lookup::kModeFirst;
    q.discs = &discs[i];
    q.disc_count = 1;
    q.buffer = rec.data();
    q.key = catalog_code;
    q.key_length = static_cast<int32_t>(kCatalogCodeSize);
    uint32_t state = 0;
    int32_t record_length = 0;
    const int r = lookup::cdget_some_cd_data(q, &state, detail, &record_length);
    if (r == catalog::rc::kNotFound) continue;
    if (r != 0) return r;
    rec.set_length(record_length);

    // The disc that had the record was found installed by the lookup.
    const zkall_ctop* c = startup::ctop();
    char disc_no[lookup::kDiscCodeSize];
    rec.field(lookup::kDiscCodeOffset, sizeof disc_no, disc_no, '\0');
    const int32_t catalog_disc =
        c != nullptr ? catalog::setuped_cdno2_to_cdno1(c->discs[discs[i]].disc_id[0], nullptr, disc_no) : -1;
    if (record != nullptr) rec.field(0, kVehicleNameRecordSize, record, '\0');
    if (disc_out != nullptr) *disc_out = catalog_disc;
    return catalog_disc < 0 ? kCatalogDiscNotInstalled : 0;
  }
  return kNotOnAnyDisc;
}

}  // namespace zk::vehicle
