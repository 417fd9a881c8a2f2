// The reading subcommands of zkall.
#include "tools/zkall/commands.h"

#include <cstring>
#include <iomanip>
#include <span>
#include <stdexcept>
#include <vector>

#include "catalog/master_file.h"
#include "platform/platform.h"
#include "tools/zkall/session.h"
#include "zkall.h"

namespace zk::tool {

namespace {

const char* kAreaNames[] = {"E (Europe)", "G (General)", "U (USA)", "J (Japan)"};

std::string field(const char* s, size_t n) { return std::string(s, strnlen(s, n)); }

// Opens a set as the query says; the handle or a message.
zkall_cd_handle* open_set(Session& s, const SetQuery& q, std::ostream& out, int& result) {
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  const int32_t disc = s.disc_index(q.disc);
  if (q.frame)
    result = fcdopen(q.file.c_str(), nullptr, static_cast<uint8_t>(q.kind), 0, -1, disc, 700, &h, &detail);
  else
    result = cdopen(q.file.c_str(), q.catalog.empty() ? nullptr : q.catalog.c_str(), static_cast<uint8_t>(q.kind),
                    0, -1, disc, 700, &h, &detail);
  if (result != 0) out << "  open of " << q.file << " answered " << result_text(result, detail) << "\n";
  return h;
}

int read_all(Session& s, const SetQuery& q, const std::string& key, std::ostream& out, size_t limit) {
  int result = 0;
  zkall_cd_handle* h = open_set(s, q, out, result);
  if (!h) return result;
  std::vector<char> rec(static_cast<size_t>(h->record_length > 0 ? h->record_length : 1));
  int32_t detail = 0;
  cdreopen(h, &detail);
  size_t n = 0;
  for (;;) {
    result = cdread(rec.data(), key.empty() ? nullptr : key.data(), static_cast<int32_t>(key.size()), 0, nullptr,
                    nullptr, h, &detail);
    if (result != 0) break;
    if (n < limit) out << "  " << printable(rec.data(), rec.size()) << "\n";
    ++n;
  }
  if (n > limit) out << "  ... " << (n - limit) << " more\n";
  out << "  " << n << " record" << (n == 1 ? "" : "s") << (result == -1 ? "" : ", then " + result_text(result, detail))
      << "\n";
  cdclose(&h, nullptr);
  return result == -1 ? 0 : result;
}

}  // namespace

int command_discs(std::ostream& out) {
  Session s;
  list_discs(s, out);
  return 0;
}

void list_discs(Session& s, std::ostream& out) {
  zkall_ctop& c = s.ctop();
  const int32_t area = c.current_area;
  out << "current area: " << (area >= 0 && area < 4 ? kAreaNames[area] : "unknown")
      << ", installation usable: " << (c.setup_ok ? "yes" : "no") << "\n";
  out << "installed discs (" << c.disc_count << "):\n";
  for (int i = 0; i < c.disc_count && i < 30; ++i) {
    const zkall_disc& d = c.discs[i];
    out << "  [" << i << "] " << field(d.disc_id, 2) << "  number " << field(d.disc_no, 2) << "  date "
        << field(d.date, 8) << (d.hd_flag ? "  (data on the hard disk)" : "") << "\n";
  }
  out << "catalog drives (" << static_cast<int>(c.drive_count) << "):\n";
  for (int i = 0; i < c.drive_count && i < 10; ++i) {
    char head[10];
    int32_t detail = 0;
    const int rc = cdread_head(i, head, &detail);
    out << "  " << field(c.drives[i], 2) << "  ";
    if (rc == 0)
      out << "disc " << field(head, 2) << " of " << std::string(head + 2, 8) << "\n";
    else if (rc == 80)
      out << "no disc\n";
    else
      out << "cannot be read: " << result_text(rc, detail) << "\n";
  }
  int32_t present[30];
  int32_t count = 0, detail = 0;
  const int rc = cdmake_cdidtbl_alldrive(present, &count, &detail);
  out << "main discs of the current area at hand:";
  if (rc != 0) out << " (" << result_text(rc, detail) << ")";
  for (int i = 0; i < count; ++i) out << " " << field(c.discs[present[i]].disc_id, 2);
  out << "\n";
}

int command_sets(const std::string& disc, const std::string& catalog_code, std::ostream& out) {
  Session s;
  const int32_t index = s.disc_index(disc);
  const bool frame = std::isalpha(static_cast<unsigned char>(disc[1])) != 0;
  std::string name = catalog_code.empty() ? (frame ? catalog::kFrameMasterName : catalog::kRootMasterName)
                                          : "ZK" + catalog_code + ".MST";
  const uint32_t kind = frame ? (s.ctop().current_area == 3 ? 7u : 6u) : 1u;
  char path[80] = {};
  std::memcpy(path, name.c_str(), name.size());
  if (get_path_name(kind, index, path) != 0) throw std::runtime_error("path of " + name + " too long");
  int err = 0;
  auto f = platform::current().fopen(path, "rb", err);
  if (!f) throw std::runtime_error(std::string("cannot open ") + path + " (errno " + std::to_string(err) + ")");
  std::vector<uint8_t> bytes(1 << 20);
  bytes.resize(f->read(bytes.data(), bytes.size()));
  f->close();
  if (bytes.size() < catalog::kMasterHeaderSize) throw std::runtime_error(std::string(path) + " is too short");
  const auto header =
      catalog::decode_master_header(std::span<const uint8_t, catalog::kMasterHeaderSize>(bytes.data(), 32));
  out << path << ": disc " << std::string(header.disc_id.data(), 2) << ", number "
      << std::string(header.disc_no.data(), 2) << ", date " << std::string(header.date.data(), 8) << "\n";
  size_t end = bytes.size();
  if (!catalog_code.empty()) end = std::min<size_t>(end, catalog::kCatalogMasterMinSize);
  out << "  name        kind mask key@off  base    size  rec lev loc disc\n";
  for (size_t at = catalog::kMasterHeaderSize; at + catalog::kMasterEntrySize <= end; at += catalog::kMasterEntrySize) {
    const auto e = catalog::decode_master_entry(
        std::span<const uint8_t, catalog::kMasterEntrySize>(bytes.data() + at, catalog::kMasterEntrySize));
    if (e.name[0] == '\0') continue;
    out << "  " << std::left << std::setw(10) << catalog::entry_name(e) << std::right << std::setw(6)
        << static_cast<int>(e.kind) << std::setw(5) << static_cast<int>(e.mask) << std::setw(4)
        << static_cast<int>(e.key_length) << "@" << std::left << std::setw(3) << static_cast<int>(e.key_offset)
        << std::right << std::setw(6) << e.base_block << std::setw(8) << e.size << std::setw(5) << e.record_length
        << std::setw(4) << static_cast<int>(e.levels) << std::setw(4) << static_cast<int>(e.location) << "  "
        << (e.disc_id[0] ? std::string(e.disc_id.data(), 2) : std::string("-")) << "\n";
  }
  return 0;
}

int command_find(const SetQuery& q, const std::string& key, std::ostream& out) {
  Session s;
  return read_all(s, q, key, out, SIZE_MAX);
}

int command_dump(const SetQuery& q, std::ostream& out) {
  Session s;
  return read_all(s, q, std::string(), out, SIZE_MAX);
}

}  // namespace zk::tool
