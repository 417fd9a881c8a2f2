// The selection work files SELECT.TMP and LCPSEL.TMP in the work directory
// (path kind 0), where the front end saves and reloads the selection list
// and the local-price selection list. Both are exactly 20000 bytes: 1000
// records of 20 bytes, the records in use first; the first record whose
// first byte is 0 ends the list, and every unused record is zero.
//
//   SELECT.TMP record           LCPSEL.TMP record
//   0   12  key                 0   4   code
//   12  2   value (LE)          4   12  part number
//   14  1   kind                16  2   value (LE)
//   15  5   zero                18  1   kind (low byte)
//                               19  1   zero
//
// A key or code never starts with a zero byte (they are blank-padded
// characters), which is what lets a zero first byte end the list.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zk::workfiles {

inline constexpr size_t kWorkFileSize = 20000;
inline constexpr size_t kWorkRecordSize = 20;
inline constexpr size_t kWorkRecords = kWorkFileSize / kWorkRecordSize;
inline constexpr char kSelectTmpName[] = "SELECT.TMP";
inline constexpr char kLcpselTmpName[] = "LCPSEL.TMP";

namespace select_record {
inline constexpr size_t kKey = 0;
inline constexpr size_t kValue = 12;
inline constexpr size_t kKind = 14;
}  // namespace select_record

namespace lcpsel_record {
inline constexpr size_t kCode = 0;
inline constexpr size_t kPartNo = 4;
inline constexpr size_t kValue = 16;
inline constexpr size_t kKind = 18;
}  // namespace lcpsel_record

// Raw images: 0; -1 when the path cannot be built; 11 open failed; 14 read
// failed (a short file is no failure: the rest of the buffer stays as it
// was); 13 write or closing after the write failed. `error` gets the
// failing call's error number, else 0. Nothing is logged.
int read_select_tmp(void* buffer, int32_t& error);
int write_select_tmp(const void* buffer, int32_t& error);
int read_lcpsel_tmp(void* buffer, int32_t& error);
int write_lcpsel_tmp(const void* buffer, int32_t& error);
// 20000 zero bytes written: 0; 20; the raw write's result (logged).
int clear_select_tmp();
int clear_lcpsel_tmp();

// The front end's functions: through the lists, every failure logged.
int vb_read_select_tmp();
int vb_write_select_tmp();
int vb_read_lcpsel_tmp();
int vb_write_lcpsel_tmp();

}  // namespace zk::workfiles
