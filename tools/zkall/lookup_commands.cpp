// The lookup and vehicle subcommands of zkall and their parts of the tour.
#include "tools/zkall/lookup_commands.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

#include "platform/platform.h"
#include "tools/zkall/session.h"
#include "vehicle/jouhou_tmp.h"
#include "zkall.h"

namespace zk::tool {

namespace {

constexpr size_t kJouhouRecord = 186;  // a JOUHOU.DAT record: the work file's first 186 bytes
constexpr size_t kWorkRecord = 191;
constexpr int32_t kByCode15 = 4;
constexpr int32_t kByPeriod = 16;
constexpr int8_t kStepModel = 2;  // sign 'm'
constexpr int8_t kStepDate = 4;   // sign 'd'

void section(std::ostream& out, const std::string& title) { out << "\n== " << title << "\n"; }

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(std::string(" \0", 2)) + 1);
  return s;
}

std::string padded(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

zkall_ccar& car() { return *get_ccar_addr(); }

// The installed disc a lookup reads: the one named, or the first installed
// disc of the current area.
int32_t lookup_disc(Session& s, const LookupOptions& o) {
  if (!o.disc.empty()) return s.disc_index(o.disc);
  const int32_t area = s.ctop().current_area;
  char letter = 0;
  if (GetAreaChar(area, &letter) != 0 || setuped_top_cdno(letter) < 0)
    throw std::runtime_error("no disc of the current area is installed");
  return setuped_top_cdno(letter);
}

void use_lang(Session& s, const std::string& lang) {
  if (lang.empty()) return;
  if (lang.size() != 2) throw std::runtime_error("a language is two digits: '" + lang + "'");
  std::memcpy(s.ctop().lang, lang.data(), 2);
}

const char* status_text(uint16_t status) {
  switch (status) {
    case 0: return "found";
    case 1: return "no record";
    case 4: return "the user cancelled the request to insert the disc";
    default: return "?";
  }
}

// ---- names and abbreviations --------------------------------------------------------

int show_part_name(const std::string& code, std::ostream& out) {
  char name[60];
  uint16_t status = 0;
  const int rc = get_hinmei(padded(code, 6).c_str(), name, &status);
  out << "  get_hinmei(\"" << code << "\") answered " << rc << ", status " << status << " (" << status_text(status)
      << ")";
  if (rc == 0 && status == 0) out << ": \"" << trimmed(std::string(name, 60)) << "\"";
  out << "\n";
  return rc;
}

int show_figure_name(const std::string& figure, std::ostream& out) {
  char name[60];
  int32_t detail = 0;
  const int rc = get_figmei(padded(figure, 4).c_str(), name, &detail);
  out << "  get_figmei(\"" << figure << "\") answered " << result_text(rc, detail);
  if (rc == 0) out << ": \"" << trimmed(std::string(name, 60)) << "\"";
  out << "\n";
  return rc < 0 ? 0 : rc;
}

int show_abbreviation(const std::string& abbreviation, std::ostream& out) {
  platform::FrontEndString typed(abbreviation), meaning(130);
  uint16_t status = 0;
  const int rc = VBryak_get_mean(typed.get(), meaning.get(), &status);
  out << "  VBryak_get_mean(\"" << abbreviation << "\") in language " << std::string(get_ctop_addr()->lang, 2)
      << " answered " << rc << ", status " << status << " (" << status_text(status) << ")";
  if (rc != 0 || status != 0) {
    out << "\n";
    return rc;
  }
  out << ":\n";
  const std::string text = meaning.str();
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    out << "    | " << trimmed(text.substr(at, end - at)) << " (CR LF)\n";
    at = end + 2;
  }
  return 0;
}

// ---- JOUHOU.TMP ---------------------------------------------------------------------------

std::vector<std::string> work_records() {
  std::vector<std::string> out;
  zkall_jouhou_slot slot{};
  int32_t count = 0;
  if (v_open_jouhou_tmp(1, &slot, &count, nullptr) != 0) return out;
  platform::Stream* f = vehicle::slot_stream(&slot);
  std::string r(kWorkRecord, ' ');
  for (int32_t i = 0; i < count && f->read(r.data(), r.size()) == r.size(); ++i) out.push_back(r);
  v_close_jouhou_tmp(&slot, nullptr);
  return out;
}

std::string yymm(const std::string& r, size_t at) {
  const std::string d = r.substr(at, 4);
  return d == "    " ? "      " : std::string(check_2000(d.data(), nullptr) == 2 ? "20" : "19") + d.substr(0, 2) + "-" + d.substr(2);
}

void list_candidates(std::ostream& out) {
  for (const std::string& r : work_records()) {
    const bool candidate = static_cast<unsigned char>(r[190]) <= 0x20;
    const std::string to = r.substr(34, 4) == "    " ? yymm(r, 177) : yymm(r, 34);
    out << "    " << (candidate ? "candidate   " : std::string("excluded (") + r[190] + ") ") << r.substr(0, 6) << "  "
        << r.substr(15, 15) << "  " << yymm(r, 30) << " to " << (trimmed(to).empty() ? "today" : to) << "\n";
  }
}

// Plays the catalog program that gathers the candidates: the JOUHOU.DAT
// records of the VIN key (by its second index set) copied into JOUHOU.TMP.
int fill_work_file(int32_t disc, const char* key, std::ostream& out) {
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  int rc = cdopen("JOUHOU.DAT", nullptr, 2, 0, -1, disc, 700, &h, &detail);
  if (rc != 0) {
    out << "  cdopen(\"JOUHOU.DAT\", kind 2) answered " << result_text(rc, detail) << "\n";
    return rc;
  }
  zkall_jouhou_slot slot{};
  rc = v_open_jouhou_tmp(2, &slot, nullptr, &detail);
  if (rc != 0) {
    out << "  v_open_jouhou_tmp(2) answered " << result_text(rc, detail) << "\n";
    cdclose(&h, nullptr);
    return rc;
  }
  platform::Stream* f = vehicle::slot_stream(&slot);
  std::vector<char> rec(static_cast<size_t>(std::max(h->record_length, 1)));
  cdreopen(h, &detail);
  int n = 0;
  while (cdread(rec.data(), key, 9, 0, nullptr, nullptr, h, &detail) == 0) {
    std::string r(kWorkRecord, ' ');
    std::memcpy(r.data(), rec.data(), std::min(rec.size(), kJouhouRecord));
    f->write(r.data(), r.size());
    ++n;
  }
  v_close_jouhou_tmp(&slot, &detail);
  cdclose(&h, nullptr);
  out << "  " << n << " vehicle record" << (n == 1 ? "" : "s") << " of key \"" << std::string(key, 9)
      << "\" written to JOUHOU.TMP\n";
  return 0;
}

// One narrowing step: a production month (6 digits) or a model code.
void narrow(int32_t step, const std::string& criterion, std::ostream& out) {
  const bool month = criterion.size() == 6 && std::all_of(criterion.begin(), criterion.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  car().step_no = step;
  car().step_codes[step] = month ? kStepDate : kStepModel;
  const std::string code15 = padded(criterion, 15);
  int32_t detail = 0;
  const int rc = month ? v_jtmp_sign(kByPeriod, 0, 0, nullptr, nullptr, nullptr, nullptr, criterion.c_str(), &detail)
                       : v_jtmp_sign(kByCode15, 0, 0, nullptr, nullptr, code15.c_str(), nullptr, nullptr, &detail);
  out << "  step " << step + 1 << ": " << (month ? "built in " : "model ") << criterion << " - v_jtmp_sign answered "
      << result_text(rc, detail) << (rc == 1 ? " (no candidate matches: nothing changed)" : "") << "\n";
  list_candidates(out);
}

// The VIN as the user typed it, completed, keyed and narrowed.
int identify(int32_t disc, const std::string& typed, const std::vector<std::string>& criteria, std::ostream& out) {
  std::string vin = padded(typed, 17);
  v_edit_vin(vin.data());
  char key[9];
  const int32_t length = v_copy_vin(vin.data(), key);
  out << "  VIN typed \"" << typed << "\", completed by v_edit_vin to \"" << vin << "\"; its make "
      << (length == 9 ? "is" : "is not") << " in the manufacturer table: key of " << length << " characters \""
      << std::string(key, 9) << "\"\n";
  if (int rc = fill_work_file(disc, key, out); rc != 0) return rc;
  list_candidates(out);
  for (size_t i = 0; i < criteria.size(); ++i) narrow(static_cast<int32_t>(i), criteria[i], out);
  return 0;
}

// ---- VCLINF.TMP ---------------------------------------------------------------------------

int show_symbols(const std::string& catalog, int32_t disc, std::ostream& out) {
  zkall_vinf_control block{};
  block.fd = -1;
  block.disc = disc;
  std::string header(133, ' ');
  header.replace(17, 6, padded(catalog, 6));
  const int rc = v_pop_make_vclinf_tmp(&block, header.data());
  out << "  v_pop_make_vclinf_tmp(catalog " << catalog << ") answered " << rc << "\n";
  if (rc != 0) return rc;
  zkall_vinf_control reader{};
  reader.fd = -1;
  reader.open_flags = 0x8000;  // binary, read only
  if (init_VINFT(&reader) < 0) return 11;
  char hdr[133];
  get_hdr_VINFT(&reader, hdr);
  int32_t count = 0;
  std::memcpy(&count, hdr + 100, 4);
  out << "  VCLINF.TMP: " << count << " lines (* the code applies to the current vehicle)\n";
  for (int32_t i = 0; i < count; ++i) {
    char l[32];
    if (get_rec_VINFT(&reader, i, l) != 32) break;
    const char b28 = l[28] != 0 ? l[28] : ' ';
    out << "    " << (l[29] == 1 ? "* " : "  ") << trimmed(std::string(l, 28) + b28) << "\n";
  }
  term_VINFT(&reader);
  return 0;
}

}  // namespace

// ---- subcommands -----------------------------------------------------------------------

int command_name(const std::string& code, const LookupOptions& o, std::ostream& out) {
  Session s;
  use_lang(s, o.lang);
  car().catalog_disc = lookup_disc(s, o);
  return show_part_name(code, out);
}

int command_figure(const std::string& catalog, const std::string& figure, const LookupOptions& o,
                   std::ostream& out) {
  Session s;
  use_lang(s, o.lang);
  std::memcpy(car().catalog_code, padded(catalog, 6).data(), 6);
  car().catalog_disc = lookup_disc(s, o);
  return show_figure_name(figure, out);
}

int command_abbr(const std::string& abbreviation, const LookupOptions& o, std::ostream& out) {
  Session s;
  use_lang(s, o.lang);
  car().abbr_disc = lookup_disc(s, o);
  return show_abbreviation(abbreviation, out);
}

int command_vin(const std::string& vin, const std::vector<std::string>& criteria, const LookupOptions& o,
                std::ostream& out) {
  Session s;
  return identify(lookup_disc(s, o), vin, criteria, out);
}

int command_symbols(const std::string& catalog, const LookupOptions& o, std::ostream& out) {
  Session s;
  use_lang(s, o.lang);
  return show_symbols(catalog, lookup_disc(s, o), out);
}

// ---- the tour ----------------------------------------------------------------------------

void tour_names(Session& s, std::ostream& out) {
  section(out, "Names in the data language (get_hinmei, get_figmei)");
  const std::string configured(s.ctop().lang, 2);
  std::memcpy(car().catalog_code, "4711A0", 6);
  car().catalog_disc = s.disc_index("E1");
  for (const char* lang : {"01", "03"}) {
    std::memcpy(s.ctop().lang, lang, 2);
    out << "data language " << lang << " (HINM" << lang << ".DAT, FIGM" << lang << ".DAT), catalog 4711A0:\n";
    show_part_name("100120", out);
    show_figure_name("1020", out);
  }
  show_figure_name("5010", out);

  section(out, "An abbreviation explained (VBryak_get_mean)");
  car().abbr_disc = s.disc_index("E1");
  for (const char* lang : {"01", "04", "05"}) {
    std::memcpy(s.ctop().lang, lang, 2);
    show_abbreviation("ABS", out);
  }
  std::memcpy(s.ctop().lang, configured.data(), 2);
}

void tour_vehicle(Session& s, std::ostream& out) {
  section(out, "A vehicle identified by its VIN (JOUHOU.TMP narrowed step by step)");
  const int32_t e1 = s.disc_index("E1");
  if (identify(e1, "SZKSL16GL A123456", {"199805", "SL16GL-5MT-LHD"}, out) != 0) return;
  std::vector<std::string> left;
  for (const std::string& r : work_records())
    if (static_cast<unsigned char>(r[190]) <= 0x20) left.push_back(r);
  if (left.size() != 1) {
    out << "  " << left.size() << " candidates left\n";
    return;
  }
  out << "  one candidate left: catalog " << left[0].substr(0, 6) << ", model " << trimmed(left[0].substr(15, 15))
      << "\n";

  // The front end makes it the current vehicle: the catalog disc of its
  // catalog, its VIN and its characteristics (the five-character codes at
  // offset 48 of its record).
  const int32_t discs[] = {e1};
  char name[97];
  int32_t disc = -1, detail = 0;
  const int rc = v_check_shamei_d(left[0].data(), discs, 1, name, &disc, &detail);
  out << "  v_check_shamei_d(" << left[0].substr(0, 6) << ") answered " << result_text(rc, detail)
      << ": catalog disc " << disc << ", vehicle \"" << trimmed(std::string(name, 23)) << "\"\n";
  if (rc != 0) return;
  zkall_ccar& c = car();
  std::memcpy(c.catalog_code, left[0].data(), 6);
  c.catalog_disc = disc;
  std::memcpy(c.vin10, "SZKSL16GL0", 10);
  std::memcpy(c.frame_no, "A123456", 7);
  for (int i = 0; i < 21; ++i) std::memcpy(c.char2[i], left[0].data() + 48 + 5 * i, 5);
  platform::FrontEndString vin(17), code(6);
  VBGetVin(vin.get());
  VBGetCat(code.get());
  out << "  the front end reads it back: VBGetCat \"" << code.str() << "\", VBGetVin \"" << vin.str() << "\"\n";

  section(out, "The vehicle's symbol list (VCLINF.TMP)");
  show_symbols(left[0].substr(0, 6), disc, out);
}

}  // namespace zk::tool
