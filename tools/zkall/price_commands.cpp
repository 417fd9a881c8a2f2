// The price subcommands of zkall (prices through the price master, local
// prices) and the tour's walk through prices and the selection work file.
#include <cstring>
#include <string>
#include <vector>

#include "tools/zkall/commands.h"
#include "tools/zkall/session.h"
#include "zkall.h"

namespace zk::tool {

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string data_file_of(const zkall_cd_handle& h) {
  std::string fixed(h.file_name, sizeof h.file_name);
  fixed += h.disc_id[0];  // the eleventh character of the fixed 8.3 name
  std::string name = trimmed(fixed.substr(0, 8)) + "." + trimmed(fixed.substr(8, 3));
  return name;
}

// The fields of a 50-byte price record, one line.
std::string price_line(const char* p) {
  return "part " + std::string(p, 12) + "  price " + std::string(p + 12, 8) + "  from " + std::string(p + 20, 8) +
         "  unit " + std::string(p + 28, 2) + "  " + trimmed(std::string(p + 30, 20));
}

// Every price record of the key, read with the selector.
int print_prices(std::ostream& out, const std::string& key, int32_t selector) {
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  int r = kakaku_open(0, &h, &detail);
  if (r != 0) {
    out << "   kakaku_open answered " << result_text(r, detail) << "\n";
    return r;
  }
  out << "   kakaku_open(0): " << data_file_of(*h) << ", price format " << h->price_format << "\n";
  kakaku_reopen(h);
  char price[ZKALL_PRICE_RECORD_SIZE];
  size_t n = 0;
  while ((r = kakaku_read(price, key.data(), static_cast<int32_t>(key.size()), selector, h, &detail)) == 0) {
    out << "   | " << price_line(price) << "\n";
    ++n;
  }
  out << "   " << n << " price record" << (n == 1 ? "" : "s") << ", then kakaku_read answered "
      << result_text(r, detail) << "\n";
  kakaku_close(&h);
  return r == -1 ? 0 : r;
}

int print_local_prices(std::ostream& out, int16_t pair, const std::string& key, const std::string& partno) {
  zkall_lcp_handle h;
  int r = LCPOpen(&h, pair);
  if (r != 0) {
    out << "   LCPOpen(" << pair << ") answered " << r << "\n";
    return r;
  }
  std::vector<char> record(static_cast<size_t>(h.record_length));
  r = LCPKeyRead(&h, key.data(), static_cast<int16_t>(key.size()), record.data());
  if (r != 0) {
    out << "   LCPKeyRead answered " << r << " (see ZKERROR.LOG)\n";
  } else if (partno.empty()) {
    out << "   LCPKeyRead collected " << h.total << " record" << (h.total == 1 ? "" : "s") << "\n";
    while (h.end_flag == 0) {
      out << "   | " << trimmed(printable(record.data(), record.size())) << "\n";
      LCPSeqRead(&h, record.data());
    }
  } else {
    out << "   LCPKeyRead collected " << h.total << " records; LCP3PrtNoRead of " << partno << ":\n";
    std::vector<char> found(132, ' ');
    LCP3PrtNoRead(&h, partno.c_str(), found.data());
    if (h.end_flag == 0)
      out << "   | " << trimmed(printable(found.data(), found.size())) << "\n";
    else
      out << "   (not among them)\n";
  }
  LCPClose(&h);
  return r;
}

}  // namespace

int command_price(const std::string& key, int selector, std::ostream& out) {
  Session s;
  return print_prices(out, key, selector);
}

int command_local_price(int pair, const std::string& key, std::ostream& out) {
  Session s;
  return print_local_prices(out, static_cast<int16_t>(pair), key, std::string());
}

void tour_prices(Session& s, std::ostream& out) {
  const std::string part = "1561047110A2";
  out << "\n-- The price of part " << part << " (oil filter) in the price file PRICE.MST lists\n";
  print_prices(out, part, 0);

  // A catalog program may point the price directory elsewhere: there the
  // price master lists the three-price file only, and kakaku_open falls
  // back to it.
  const std::string other = "C:\\ZKCAT\\PRICE3";
  out << "\n-- The price directory pointed at " << other << ", whose PRICE.MST lists PRICE3.D only\n";
  zkall_ctop& c = s.ctop();
  char saved[sizeof c.price_path];
  std::memcpy(saved, c.price_path, sizeof saved);
  std::memset(c.price_path, 0, sizeof c.price_path);
  std::memcpy(c.price_path, other.data(), other.size());
  for (int32_t selector = 0; selector < 3; ++selector) {
    out << "   selector " << selector << ":\n";
    print_prices(out, part, selector);
  }
  std::memcpy(c.price_path, saved, sizeof saved);

  out << "\n-- A dealer's price list in the hard-disk format, listed by LOCALP.MST, read in order\n";
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  int r = hdopen("LPRICE  D  ", 3, &h, &detail);
  out << "   hdopen(\"LPRICE  D  \", 3) answered " << result_text(r, detail) << "\n";
  if (r == 0) {
    std::vector<char> record(static_cast<size_t>(h->record_length));
    while ((r = hdread(record.data(), nullptr, 0, h, &detail)) == 0)
      out << "   | " << trimmed(printable(record.data(), record.size())) << "\n";
    out << "   then hdread answered " << result_text(r, detail) << "\n";
    hdclose(&h);
  }

  out << "\n-- Local prices of part " << part << " (LOCALP1.IA / LOCALP1.D)\n";
  print_local_prices(out, 1, part, std::string());
  out << "\n-- Dealer D-0042's local price list (LOCALP3), searched by part number\n";
  print_local_prices(out, 3, "D-0042    ", "4351247110A1");
}

void tour_selection(std::ostream& out) {
  out << "\n-- Three parts selected, saved to SELECT.TMP, the list emptied and read back\n";
  const char* keys[] = {"1561047110A2", "100120      ", "4351247110A1"};
  const int16_t values[] = {1, 2, 4};
  for (int i = 0; i < 3; ++i) SetSelTmp(keys[i], &values[i]);
  out << "   SetSelTmp x3: " << VBGetNumSelTmp() << " entries; VBWriteSelectTmp answered " << VBWriteSelectTmp()
      << "\n";
  VBClearSelTmp();
  out << "   VBClearSelTmp: " << VBGetNumSelTmp() << " entries; VBReadSelectTmp answered " << VBReadSelectTmp()
      << ": " << VBGetNumSelTmp() << " entries\n";
  for (const zkall_item* i = GetPtrSelTmp()->first; i != nullptr; i = i->next) {
    const auto& d = reinterpret_cast<const zkall_sel_tmp_node*>(i)->data;
    out << "   | " << (d.kind == 0 ? "part name code " : "part number    ") << std::string(d.key, sizeof d.key)
        << "  value " << d.value << "\n";
  }
  VBClearSelTmp();
}

}  // namespace zk::tool
