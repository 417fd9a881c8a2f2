// The catalog writer's local price files: the pairs LOCALP1 to LOCALP3 (an
// index LOCALPn.IA of key entries naming runs of records, and the data file
// LOCALPn.D), from records in memory. The records are written grouped by
// key (keys in byte order, records of one key in the order given); each key
// gets one index entry, or several consecutive ones when its run is split,
// which a key read sums again (see workfiles/local_prices.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zk::writer {

struct LocalPriceSpec {
  int pair = 1;                // 1 to 3: the layout (record 62/62/132, entry 16/16/14, key 12/12/10)
  uint32_t key_offset = 0;     // where the record holds its key
  uint32_t run_limit = 0;      // at most this many records per index entry (0: one entry per key)
  std::vector<std::string> records;
};

struct LocalPriceFiles {
  std::string index_name;  // "LOCALP1.IA"
  std::string data_name;   // "LOCALP1.D"
  std::string index;
  std::string data;
  uint32_t record_length = 0;
  uint32_t entry_length = 0;
  uint32_t key_length = 0;
};

// std::invalid_argument for another pair, a record of the wrong length, a
// key outside the record or a run beyond the 16-bit numbers.
LocalPriceFiles build_local_prices(const LocalPriceSpec& spec);

}  // namespace zk::writer
