// The part-name file of the data language ("HINM" + lang + ".DAT", file kind
// 7, records of a 6-character part name code and a 60-character name) as
// the group functions read it: opened on one installed disc, read code by
// code, and closed on every path.
#pragma once

#include <cstdint>

#include "lookup/record.h"
#include "zkall.h"

namespace zk::workfiles {

inline constexpr size_t kPartRecordName = 6;  // the name follows the code

// The installed disc of the current vehicle's catalog (ccar area), -1
// without common areas.
int32_t vehicle_catalog_disc();

class PartNameFile {
 public:
  PartNameFile() = default;
  ~PartNameFile();
  PartNameFile(const PartNameFile&) = delete;
  PartNameFile& operator=(const PartNameFile&) = delete;

  // cdopen on installed disc `disc`, any drive, prompt kind 700: 0 or its code.
  int open(int32_t disc, int32_t& detail);
  // cdreopen: 0 or its code.
  int reopen(int32_t& detail);
  // cdread of the record with the 6-character code: 0 (the record in `rec`),
  // -1 no such code, or the failure.
  int read(const char* code, lookup::Record& rec, int32_t& detail);
  // cdclose: 0 or its code (0 when not open).
  int close(int32_t& detail);

 private:
  zkall_cd_handle* handle_ = nullptr;
};

}  // namespace zk::workfiles
