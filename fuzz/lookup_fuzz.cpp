// Fuzz target of the catalog lookups and the vehicle information readers:
// part and figure names, abbreviations, the multi-disc reader, the
// disc-number table, the vehicle-name check and the symbol list built into
// VCLINF.TMP, all over fuzzed installations (master, index and data files of
// HINMnn, FIGMnn, RYAKUG, SHAMEI, TOKUME and KIGOUU on several discs).
//
// Control bytes: a fault to inject, then the current vehicle's catalog code
// (6 bytes) and disc and the abbreviations' disc, then up to 12 operations,
// each a byte choosing it and its arguments:
//   0 get_hinmei   code (6), status      4 cdmake_cdno_table  drive, disc id
//   1 get_figmei   figure number (4)     5 v_check_shamei_d   catalog code, count
//   2 VBryak_get_mean  abbreviation,     6 v_pop_make_vclinf_tmp
//                      string length     7 v_pop_del_vclinftmp
//   3 cdget_some_cd_data  file, mode 0 or a mode-2 run of up to 8 calls
//                         ended with mode -1, key
//
// Checks: results are documented ones; names and strings are written within
// their buffers; the status words are those documented; a mode-2 search
// hands its state word back to 0 when it ends; the disc-number table is
// sorted and within 10 entries; VCLINF.TMP holds at most 250 lines; one call
// reads at most 8 times the blocks of all files (plus 64) per disc; after the
// input nothing is left open.
#include <cstdlib>

#include "fuzz/catalog_support.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 12;
constexpr int kMaxRun = 8;

// The results of an open, a read and a close that a lookup passes on (81:
// the label of a drive could not be read while looking for the disc).
constexpr std::initializer_list<int> kCatalogResults = {0, -1, 1, 4, 6, 11, 12, 14, 15, 20, 81, 128, 700};

void multi_disc(Control& in) {
  const std::string file = in.padded(10);
  const uint8_t form = in.byte();
  const int32_t mode = form & 1 ? 2 : 0;
  const std::string key = in.padded(in.byte() % 24);
  std::vector<char> record(4096 * 4);
  uint32_t state = 0;
  const int runs = mode == 2 ? 1 + (form >> 1) % kMaxRun : 1;
  for (int i = 0; i < runs; ++i) {
    int32_t blocks_read = 0, record_index = 0, detail = 0;
    bound_reads(6);
    const int r = cdget_some_cd_data(file.c_str(), nullptr, static_cast<uint8_t>(in.byte() % 16), mode, -1,
                                     nullptr, 0, record.data(), key.data(), static_cast<int32_t>(key.size()), 1,
                                     &blocks_read, &record_index, 700, &state, &detail);
    documented("cdget_some_cd_data", r, kCatalogResults);
    if (r != 0 || mode != 2) {
      check(state == 0, "a search that ended kept its state word");
      return;
    }
  }
  int32_t detail = 0;
  const int r = cdget_some_cd_data(file.c_str(), nullptr, 0, -1, -1, nullptr, 0, record.data(), key.data(),
                                   static_cast<int32_t>(key.size()), 1, nullptr, nullptr, 700, &state, &detail);
  check(one_of(r, kCatalogResults) && state == 0, "ending a search left its state word");
}

void part_name(Control& in) {
  const std::string code = in.padded(6);
  uint16_t status = in.byte() % 3;
  Guarded name(60);
  const int r = documented("get_hinmei", get_hinmei(code.c_str(), name.data(), &status), kCatalogResults);
  if (r == 0) check(status == 0 || status == 1 || status == 4, "get_hinmei gave an undocumented status");
  name.check_intact("get_hinmei wrote past the 60-byte name");
}

void figure_name(Control& in) {
  const std::string figure = in.padded(4);
  Guarded name(60);
  int32_t detail = 0;
  documented("get_figmei", get_figmei(figure.c_str(), name.data(), &detail), kCatalogResults);
  name.check_intact("get_figmei wrote past the 60-byte name");
}

void abbreviation_meaning(Control& in) {
  zk::platform::FrontEndString abbreviation(in.padded(in.byte() % 24));
  zk::platform::FrontEndString meaning(in.byte() % 140u, '#');
  uint16_t status = 9;
  const int r = VBryak_get_mean(abbreviation.get(), meaning.get(), &status);
  documented("VBryak_get_mean", r, kCatalogResults);
  if (r == 0) check(status == 0 || status == 1 || status == 4, "VBryak_get_mean gave an undocumented status");
  check_string_end(meaning, "VBryak_get_mean wrote past the string");
}

void disc_numbers(Control& in) {
  const int32_t drive = static_cast<int32_t>(in.byte() % 4) - 1;
  const std::string id = in.padded(2);
  zkall_cdno_entry* table = nullptr;
  int32_t count = -1, detail = 0;
  const int r = cdmake_cdno_table(drive, id.c_str(), nullptr, nullptr, &table, &count, 700, &detail);
  documented("cdmake_cdno_table", r, kCatalogResults);
  check((r == 0) == (table != nullptr), "cdmake_cdno_table gave a table other than on success");
  check(count >= 0 && count <= 10, "cdmake_cdno_table counted outside 0..10");
  for (int32_t i = 1; i < count; ++i)
    check(std::memcmp(table[i - 1].disc_code, table[i].disc_code, 2) < 0, "the disc-number table is not sorted");
  std::free(table);
}

void vehicle_names(Control& in) {
  const std::string code = in.padded(6);
  const int32_t discs[] = {0, 1, 2, 3};
  const int32_t count = in.byte() % 5;
  Guarded record(97);
  int32_t disc = -7, detail = 0;
  check(one_of(v_check_shamei_d(code.c_str(), discs, count, record.data(), &disc, &detail), kCatalogResults),
        "v_check_shamei_d answered an undocumented result");
  record.check_intact("v_check_shamei_d wrote past the 97-byte record");
}

void symbol_list(Control& in) {
  std::string header = in.padded(133, '\0');
  header.replace(17, 6, get_ccar_addr()->catalog_code, 6);
  zkall_vinf_control block{};
  block.fd = -1;
  block.disc = get_ccar_addr()->catalog_disc;
  const int r = documented("v_pop_make_vclinf_tmp", v_pop_make_vclinf_tmp(&block, header.data()), kCatalogResults);
  check(block.tokume == nullptr && block.kigouu == nullptr, "the symbol list kept a catalog handle");
  if (const std::string* file = machine().file(work_file("VCLINF.TMP")); file && r == 0)
    check(file->size() <= 133 + 250 * 32, "VCLINF.TMP holds more than 250 lines");
}

void delete_symbol_list(Control&) { documented("v_pop_del_vclinftmp", v_pop_del_vclinftmp(), {0, -1}); }

void run_operation(Control& in) {
  using Operation = void (*)(Control&);
  static constexpr Operation kOperations[] = {part_name,    figure_name,   abbreviation_meaning, multi_disc,
                                              disc_numbers, vehicle_names, symbol_list,  delete_symbol_list};
  const Operation op = kOperations[in.byte() % 8];
  bound_reads(6);
  op(in);
  check_reads("one lookup read more than 8 times the blocks of all files on every disc");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = split_input(data, size);
  begin_input(input);
  Control in(input.control);
  start_library(&in);
  zkall_ccar* car = get_ccar_addr();
  std::memcpy(car->catalog_code, in.padded(6).data(), 6);
  car->catalog_disc = in.byte() % 6;
  car->abbr_disc = in.byte() % 6;
  for (int i = 0; i < kMaxOperations && !in.empty(); ++i) run_operation(in);
  machine().set_read_budget(-1);
  finish_input(256);
  return 0;
}
