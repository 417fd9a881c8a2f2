// Building the local price file pairs.
#include "tools/writer/local_price_files.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace zk::writer {

namespace {

struct Layout {
  uint32_t record_length;
  uint32_t entry_length;
  uint32_t key_length;
};
constexpr Layout kLayouts[] = {{62, 16, 12}, {62, 16, 12}, {132, 14, 10}};
constexpr uint32_t kMaxRun = 0xFFFF;

void fail(const std::string& what) { throw std::invalid_argument(what); }

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8 & 0xFF);
}

}  // namespace

LocalPriceFiles build_local_prices(const LocalPriceSpec& spec) {
  if (spec.pair < 1 || spec.pair > 3) fail("local price pairs are numbered 1 to 3");
  const Layout& l = kLayouts[spec.pair - 1];
  LocalPriceFiles out;
  out.index_name = "LOCALP" + std::to_string(spec.pair) + ".IA";
  out.data_name = "LOCALP" + std::to_string(spec.pair) + ".D";
  out.record_length = l.record_length;
  out.entry_length = l.entry_length;
  out.key_length = l.key_length;
  if (spec.key_offset + l.key_length > l.record_length) fail("key field outside the record");

  std::map<std::string, std::vector<const std::string*>> by_key;
  for (const std::string& r : spec.records) {
    if (r.size() != l.record_length) fail("a record of another length than the pair's record length");
    const std::string key = r.substr(spec.key_offset, l.key_length);
    if (key[0] == '\0') fail("a key beginning with a zero byte would end the index");
    by_key[key].push_back(&r);
  }
  uint32_t start = 0;
  for (const auto& [key, records] : by_key) {
    const uint32_t n = static_cast<uint32_t>(records.size());
    const uint32_t per_entry = spec.run_limit == 0 ? n : spec.run_limit;
    for (uint32_t done = 0; done < n; done += per_entry) {
      const uint32_t count = std::min(per_entry, n - done);
      if (start + done > kMaxRun || count > kMaxRun) fail("a run beyond the 16-bit record numbers");
      out.index += key;
      put16(out.index, start + done);
      put16(out.index, count);
    }
    for (const std::string* r : records) out.data += *r;
    start += n;
  }
  return out;
}

}  // namespace zk::writer
