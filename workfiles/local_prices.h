// The local price files: up to three pairs in the local-price directory
// (path kind 3), each an index of fixed-length entries and a data file of
// fixed-length records. An index entry is its key, then the 16-bit start
// record number and the 16-bit record count of a run of data records
// (little-endian); the index ends at the end of the file or at an entry
// whose first byte is 0.
//
//   pair  index       entry  key bytes  run at  data       record
//   1     LOCALP1.IA  16     0-11       12      LOCALP1.D  62
//   2     LOCALP2.IA  16     0-11       12      LOCALP2.D  62
//   3     LOCALP3.IA  14     0-9        10      LOCALP3.D  132 (part number at 52-63)
//
// The runs of all the entries of one key form one consecutive stretch of
// the data file that begins with the first one's run: a key read sums their
// counts and reads the stretch into 4088-byte record blocks (items of the
// handle's block list). The caller owns the state (zkall_lcp_handle).
#pragma once

#include <cstddef>
#include <cstdint>

#include "zkall.h"

namespace zk::workfiles {

inline constexpr size_t kLcpBlockBytes = ZKALL_LCP_BLOCK_BYTES;
inline constexpr int16_t kLcpPairs = 3;
inline constexpr size_t kLcpPartNoAt = 52;         // pair 3 records
inline constexpr size_t kLcpPartNoSize = 12;
inline constexpr size_t kLcpPair3RecordSize = 132;

int lcp_open(zkall_lcp_handle* h, int16_t pair);
int lcp_key_read(zkall_lcp_handle* h, const char* key, int16_t key_length, void* out);
int lcp_seq_read(zkall_lcp_handle* h, void* out);
void lcp3_prtno_read(zkall_lcp_handle* h, const char* partno, void* out);
int lcp_close(zkall_lcp_handle* h);

}  // namespace zk::workfiles
