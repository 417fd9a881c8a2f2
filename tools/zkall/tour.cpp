// The guided tour of the demo installation: starts the library the way the
// front end does and walks through the installed discs and lookups by key
// across discs, one of them on a disc that is in no drive, an illustration,
// names and abbreviations, and a vehicle identified by its VIN.
#include <cstring>
#include <string>
#include <vector>

#include "tools/zkall/build.h"
#include "tools/zkall/commands.h"
#include "tools/zkall/lookup_commands.h"
#include "tools/zkall/session.h"
#include "zkall.h"

namespace zk::tool {

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

void heading(std::ostream& out, const std::string& title) { out << "\n== " << title << "\n"; }

// Opens `file` of installed disc `disc` and prints the records found with
// `key` (all of them with an empty key), at most `limit`.
void lookup(std::ostream& out, Session& s, const std::string& what, const SetQuery& q, const std::string& key,
            size_t limit = 8) {
  out << "\n-- " << what << "\n";
  out << (q.frame ? "   fcdopen(\"" : "   cdopen(\"") << q.file << "\"" << (q.catalog.empty() ? "" : ", catalog " + q.catalog) << ", disc "
      << q.disc << ")" << (key.empty() ? "" : ", key \"" + key + "\"") << "\n";
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  const int32_t disc = s.disc_index(q.disc);
  const int rc = q.frame ? fcdopen(q.file.c_str(), nullptr, static_cast<uint8_t>(q.kind), 0, -1, disc, 700, &h, &detail)
                         : cdopen(q.file.c_str(), q.catalog.empty() ? nullptr : q.catalog.c_str(),
                                  static_cast<uint8_t>(q.kind), 0, -1, disc, 700, &h, &detail);
  if (rc != 0) {
    out << "   result " << result_text(rc, detail)
        << (rc == 4 ? ": the user cancelled the request to insert the disc" : "") << "\n";
    return;
  }
  const zkall_ctop& c = s.ctop();
  out << "   opened on disc " << std::string(h->disc_id, 2) << " (installed disc " << h->disc_index << ")";
  if (h->disc_index != h->requested_disc) out << ", sent there from disc " << q.disc;
  if (h->drive_index >= 0)
    out << ", read from drive " << std::string(c.drives[h->drive_index], 2) << "\n";
  else
    out << ", read from the hard disk\n";
  std::vector<char> rec(static_cast<size_t>(h->record_length));
  cdreopen(h, &detail);
  size_t n = 0;
  int r = 0;
  while ((r = cdread(rec.data(), key.empty() ? nullptr : key.data(), static_cast<int32_t>(key.size()), 0, nullptr,
                     nullptr, h, &detail)) == 0) {
    if (n++ < limit) out << "   | " << trimmed(printable(rec.data(), rec.size())) << "\n";
  }
  if (n > limit) out << "   | ... " << (n - limit) << " more\n";
  out << "   " << n << " record" << (n == 1 ? "" : "s") << " found, then cdread answered " << result_text(r, detail)
      << "\n";
  cdclose(&h, nullptr);
}

}  // namespace

int command_tour(std::ostream& out) {
  out << "ZKALL demo tour\n";
  heading(out, "Starting the library (drom_init)");
  answer_prompts_with_cancel(out);
  Session s;
  out << "ZKDROM.SYS read, texts of menu language " << std::string(s.ctop().menu_lang, 2) << " loaded ("
      << s.ctop().msg_count << " messages, " << s.ctop().scr_count << " screen texts)\n";

  heading(out, "Installed discs and catalog drives");
  list_discs(s, out);

  heading(out, "Lookups by key");
  lookup(out, s, "A part name in the data language (English), on disc E1 in drive D:", {"E1", "HINM01.DAT", "", 7},
         "100120");
  lookup(out, s, "The same part name in French and in German", {"E1", "HINM03.DAT", "", 7}, "100120");
  lookup(out, s, "", {"E1", "HINM04.DAT", "", 7}, "100120");
  lookup(out, s, "Every part name whose code begins with 1002 (a prefix read)", {"E1", "HINM01.DAT", "", 7}, "1002");
  lookup(out, s, "Figure names of catalog 4711A0, section 1 (key: catalog code and section)",
         {"E1", "FIGM01.DAT", "", 14}, "4711A01");
  lookup(out, s, "An abbreviation, one record per language", {"E1", "RYAKUG.DAT", "", 4}, "ABS");
  lookup(out, s, "Vehicle names, copied to the hard disk", {"E1", "SHAMEI.DAT", "", 1}, "");
  lookup(out, s, "Part numbers of catalog 4711A0, stored inside its catalog master file",
         {"E1", "HINBAN.DAT", "4711A0", 7}, "100120");
  lookup(out, s, "Part numbers of catalog 5200B1, in its directory on disc E1", {"E1", "HINBAN.DAT", "5200B1", 7},
         "100120");
  lookup(out, s, "Japanese part names on disc J1 in drive E:", {"J1", "HINM02.DAT", "", 7}, "100120");
  lookup(out, s, "Disc J1 lists its abbreviations on disc E1: the master files send the lookup there",
         {"J1", "RYAKUG.DAT", "", 4}, "LHD");
  lookup(out, s, "Frame numbers on the frame-number disc EA (ZKFRNOMF.MST, hard-disk copy)",
         {"EA", "FRAMNO.DAT", "", 13, true}, "");
  lookup(out, s, "Part numbers of catalog 6100C2, which lie on disc E2 - in no drive", {"E2", "HINBAN.DAT", "6100C2", 7},
         "100120");

  heading(out, "An illustration");
  const auto illustrations = read_illustrations("..");
  if (illustrations.empty()) {
    out << "(the installation holds no illustrations)\n";
  } else {
    const IllustrationEntry& e = illustrations.front();
    out << "Figure " << e.figure << " \"" << e.title << "\" of disc " << e.disc << ", location record " << e.location
        << ":\n";
    show_image(s, e.disc, e.location, "../illustrations/" + e.ident, out);
  }

  tour_names(s, out);
  tour_vehicle(s, out);
  heading(out, "Prices");
  tour_prices(s, out);

  heading(out, "Saving and reloading a selection");
  tour_selection(out);

  heading(out, "Stopping the library (drom_term)");
  out << "done\n";
  return 0;
}

}  // namespace zk::tool
