// Fuzz target of the opening of file sets over fuzzed master files and
// discs: cdopen through root and catalog master files with their
// redirections between several installed discs, fcdopen through the
// frame-number master files, cdopen_direct and cdfile_get through the
// files and labels of the discs, the drive search cdset_cd with its prompt,
// and make_pack_image_file, which opens IMAGEF.DAT and copies blocks out.
//
// Files: the installation and disc labels, under the standard configuration
// (ZKDROM.SYS may be replaced, the message and screen files may be given
// for the prompt). Control bytes: a fault to inject, then steps, each a byte
// choosing it and its arguments:
//   0 open (see catalog_support.h), one read in order, close
//   1 cdset_cd      drive, disc id, number and date forms, Retry count
//   2 cdfile_get    name, catalog code, drive
//   3 make_pack_image_file  installed disc of the vehicle, location record
//
// Checks: results are documented ones; an open handle names the file asked
// for, an installed disc (or none for cdopen_direct, with the direct flag),
// a catalog drive or none, and has a block buffer for every present file;
// cdset_cd's drive is a catalog drive; a copied illustration is whole
// blocks; after each step nothing is left open.

#include "fuzz/catalog_support.h"
#include "startup/common_areas.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxSteps = 8;
constexpr const char* kPacked = "C:\\ZKWORK\\FIGURE.PCK";

bool installed(int32_t disc) { return disc >= 0 && disc < zk::startup::ctop()->disc_count; }
bool catalog_drive(int32_t drive) { return drive >= 0 && drive < zk::startup::ctop()->drive_count; }

void check_handle(const zkall_cd_handle& h, const OpenRequest& r) {
  check(std::strncmp(h.file_name, r.name.c_str(), sizeof h.file_name) == 0, "the handle names another file");
  if (r.way == OpenWay::Direct) {
    check(h.direct_flag == 1 && h.disc_index == -1 && h.requested_disc == -1, "a direct handle claims a disc");
    check(catalog_drive(h.drive_index), "a direct handle has no catalog drive");
  } else {
    check(h.direct_flag == 0 && installed(h.disc_index) && h.requested_disc == r.disc,
          "a handle names a disc that is not installed");
    check(h.drive_index == -1 || catalog_drive(h.drive_index), "a handle names no catalog drive");
  }
  // A code whose first byte is NUL is no code.
  const bool code = !r.catalog_code.empty() && r.catalog_code[0] != '\0';
  check(h.catalog_flag == (code ? 1 : 0), "the catalog flag disagrees with the catalog code");
  for (const zkall_cd_level& l : h.levels)
    if (l.fd >= 0) check(l.buffer != nullptr, "an open file of the set has no block buffer");
}

void open_step(Control& in) {
  const OpenRequest request = read_open_request(in);
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  if (open_set(request, &h, detail) != 0) return;
  check_handle(*h, request);
  // One read in order, so a handle that cannot be read is found out too;
  // the engine's own target reads on.
  std::vector<char> buffer(h->read_mode == 1 ? ZKALL_CD_BLOCK_SIZE
                                             : static_cast<size_t>(std::max<int32_t>(h->record_length, 1)));
  cdread(buffer.data(), nullptr, 0, 1, nullptr, nullptr, h, &detail);
  const int closed = cdclose(&h, &detail);
  check(closed == 0 || closed == 12, "cdclose answered an undocumented result");
}

void cdset_step(Control& in) {
  const int32_t drive = in.byte() % 5 - 1;
  const std::string id(in.take(2));
  const uint8_t form = in.byte();
  const std::string no = (form & 1) ? std::string(in.take(2)) : std::string();
  const std::string date = (form & 2) ? ((form & 4) ? std::string(8, '*') : std::string(in.take(8))) : std::string();
  int retries = form >> 4 & 3;
  answer_retries(&retries);
  int32_t found = -7, detail = 0;
  char id_found[2] = {}, date_found[8] = {};
  const std::string id2 = id.size() == 2 ? id : "E1", no2 = no.size() == 2 ? no : "01",
                    date8 = date.size() == 8 ? date : "19990401";
  const int r = cdset_cd(drive, (form & 8) ? nullptr : id2.c_str(), (form & 1) ? no2.c_str() : nullptr,
                         (form & 2) ? date8.c_str() : nullptr, &found, id_found, date_found, 700, &detail);
  answer_retries(nullptr);
  check(r == 0 || r == 4 || r == 81 || r == 128, "cdset_cd answered an undocumented result");
  if (r == 0) check(catalog_drive(found), "cdset_cd answered a drive that is not a catalog drive");
}

void cdfile_step(Control& in) {
  const OpenRequest request = read_open_request(in);
  const int32_t drive = in.byte() % 12 - 1;
  int32_t detail = 0;
  uint32_t size = 7;
  const char* code = request.catalog_code.empty() ? nullptr : request.catalog_code.c_str();
  const int r = documented("cdfile_get", cdfile_get(request.name.c_str(), code, drive, &detail, &size, nullptr,
                                                     nullptr, nullptr), {0, -1, 128});
  check(r == 0 || size == 0, "cdfile_get gave a size for a file it did not find");
}

void pack_step(Control& in) {
  zk::startup::ccar()->catalog_disc = in.byte() % 6 - 1;
  const std::string location = in.padded(9);
  machine().add_directory("C:\\ZKWORK");
  machine().erase(kPacked);
  int32_t detail = 0;
  const int r = make_pack_image_file(kPacked, location.c_str(), &detail);
  documented("make_pack_image_file", r, {0, -1, 4, 11, 13, 14, 15, 20, 80, 81, 128});
  if (r == 0) {
    const std::string* packed = machine().file(kPacked);
    check(packed != nullptr && packed->size() % ZKALL_CD_BLOCK_SIZE == 0, "a copied illustration is not whole blocks");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control control = begin_catalog_input(data, size, /*with_texts=*/true);
  const int steps = 1 + control.byte() % kMaxSteps;
  for (int i = 0; i < steps; ++i) {
    switch (control.byte() % 4) {
      case 0: open_step(control); break;
      case 1: cdset_step(control); break;
      case 2: cdfile_step(control); break;
      case 3: pack_step(control); break;
    }
    check(machine().open_descriptors() == 0, "a step left a descriptor open");
  }
  end_input();
  return 0;
}
