// Fuzz target of the configuration reader: ZKDROM.SYS and the installed-disc
// check it ends with, over fuzzed installed directories and master-file
// headers, then the path names and installed-disc lookups built on what was
// read.
//
// Files: C:\FRONT\ZKDROM.SYS and the installation (master files, SHAMEI.DAT,
// IMAGEF.DAT markers ...). Control bytes: a fault to inject while reading
// (see arm_fault), then operations run after reading, each a byte choosing
// it and its arguments:
//   0 get_path_name      kind, index, name length and name
//   1 VBGetPathName      kind, the front end's string length
//   2 setuped_cd_check   again (what drom_check_setup does)
//   3 disc lookups       two id bytes and a number
//   4 disc heads         cdread_head_alldrive and cdmake_cdidtbl_alldrive
//
// Checks: every text field keeps a NUL, stored directories pass the path
// rule, language codes and numbers agree, counts stay within their tables,
// a check that succeeds leaves the table sorted by area and id, lookups
// answer an installed entry or -1, paths fit their 80-byte buffers, the error
// log holds one whole line per report, and nothing is left open.

#include "fuzz/fuzz_support.h"
#include "startup/common_areas.h"
#include "startup/config_file.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 16;
constexpr size_t kNameBuffer = 80;
constexpr size_t kHeadListBytes = 11 * 10;
constexpr char kAreas[] = "EGUJ";

int rank(char letter) {
  const char* p = std::strchr(kAreas, letter);
  return letter != 0 && p != nullptr ? static_cast<int>(p - kAreas) : 4;
}

bool has_nul(const char* field, size_t width) { return std::memchr(field, 0, width) != nullptr; }

void check_fields(const zkall_ctop& c) {
  for (const char* field : {c.ecram_path, c.ecmst_path, c.ecfil_path, c.price_path, c.localp_path,
                            c.framewld_path, c.framejpn_path})
    check(has_nul(field, 64), "a directory field lost its NUL");
  check(has_nul(c.expgfsad, sizeof c.expgfsad), "EXPGFSAD lost its NUL");
  for (const char* path : {c.ecram_path, c.ecmst_path, c.ecfil_path})
    check(zk::startup::config_path_ok(path, strnlen(path, 64)), "a stored directory breaks the path rule");
  for (const auto& [code, number] : {std::pair{c.lang, c.lang_no}, std::pair{c.menu_lang, c.menu_lang_no}}) {
    check(code[0] == '0' && code[1] >= '1' && code[1] <= '9' && code[2] == 0, "a language code is malformed");
    check(number == code[1] - '0', "a language number disagrees with its code");
  }
  check(c.drive_count <= 10 && c.drive_count_high == 0, "more catalog drives than the table holds");
  const int32_t area = c.current_area;
  check(area >= -1 && area <= 3, "the current area is out of range");
  for (const auto& drive : c.ecmstall) check(drive[1] == 0, "an ECMSTALL entry lost its NUL");
}

// After a check that answered 0: the table as the disc lookups rely on it.
void check_table(const zkall_ctop& c) {
  const int32_t count = c.disc_count;
  check(count >= 0 && count <= 30, "disc_count is outside the table");
  check(c.setup_ok <= 1, "setup_ok is neither 0 nor 1");
  for (int32_t i = 0; i < count; ++i) {
    const zkall_disc& d = c.discs[i];
    check(rank(d.disc_id[0]) < 4, "an installed disc has no area letter");
    check(d.zero_char == '0' && d.hd_flag <= 1, "an installed-disc entry is malformed");
    if (i == 0) continue;
    const zkall_disc& p = c.discs[i - 1];
    const int a = rank(p.disc_id[0]);
    const int b = rank(d.disc_id[0]);
    check(a < b || (a == b && std::memcmp(p.disc_id, d.disc_id, 2) <= 0), "the installed-disc table is not sorted");
  }
}

bool installed_index(int32_t i) {
  const int32_t count = zk::startup::ctop()->disc_count;
  return i == -1 || (i >= 0 && i < count);
}

void path_name(Control& in, size_t&) {
  const uint32_t kind = in.byte() % 10;
  const auto index = static_cast<int8_t>(in.byte());
  const std::string_view name = in.take(in.byte() % 24);
  std::vector<char> buffer(kNameBuffer, 'X');
  std::memcpy(buffer.data(), name.data(), name.size());
  buffer[name.size()] = '\0';
  const std::vector<char> before = buffer;
  const int32_t r = documented("get_path_name", get_path_name(kind, index, buffer.data()), {0, -1});
  check(has_nul(buffer.data(), kNameBuffer), "get_path_name left no NUL in the buffer");
  if (r == -1) check(buffer == before, "get_path_name changed the name it refused");
}

void front_end_path(Control& in, size_t&) {
  const auto kind = static_cast<int16_t>(static_cast<int8_t>(in.byte()));
  zk::platform::FrontEndString s(in.byte() % 100u, '#');
  const int32_t n = VBGetPathName(kind, s.get());
  check(n >= 0 && static_cast<uint32_t>(n) <= s.byte_len() && n <= 80, "VBGetPathName wrote past the string");
}

void check_again(Control&, size_t& reports) {
  if (setuped_cd_check() == 0) check_table(*zk::startup::ctop());
  ++reports;
}

void disc_lookups(Control& in, size_t&) {
  const std::string id(in.take(2));
  const char area = id.empty() ? 'E' : id[0];
  char number[2] = {}, found_id[2] = {};
  const int32_t a = setuped_cdno1_to_cdno2(id.size() == 2 ? id.data() : "E1", number);
  const char wanted_no[2] = {static_cast<char>(in.byte()), static_cast<char>(in.byte())};
  const int32_t b = setuped_cdno2_to_cdno1(area, found_id, wanted_no), t = setuped_top_cdno(area),
                f = setuped_top_fcdno(area);
  int32_t index = 0, found = 0;
  const int32_t m = make_setuped_top_cdid_table(&index, &found);
  check(installed_index(a) && installed_index(b) && installed_index(t) && installed_index(f),
        "a disc lookup answered an entry outside the table");
  check(m == 0 && (found == 0 ? index == -1 : installed_index(index) && index >= 0),
        "make_setuped_top_cdid_table answered outside the table");
}

void disc_heads(Control& in, size_t&) {
  std::vector<char> heads(kHeadListBytes, 'X');
  int32_t detail = 0;
  const char letter = kAreas[in.byte() % 4];
  documented("cdread_head_alldrive", cdread_head_alldrive(heads.data(), letter, &detail), {0, 11, 14, 80, 81, 128});
  std::vector<int32_t> list(30, -7);
  int32_t count = -7;
  if (cdmake_cdidtbl_alldrive(list.data(), &count, &detail) == 0) {
    check(count >= 0 && count <= 30, "cdmake_cdidtbl_alldrive counted past its list");
    for (int32_t i = 0; i < count; ++i)
      check(installed_index(list[i]) && list[i] >= 0, "a listed disc is not installed");
  }
}

void run_operation(Control& in, size_t& reports) {
  using Operation = void (*)(Control&, size_t&);
  static constexpr Operation kOperations[] = {path_name, front_end_path, check_again, disc_lookups, disc_heads};
  kOperations[in.byte() % 5](in, reports);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input = split_input(data, size);
  begin_input(input);
  // The configuration is the input's own: no standard one behind it.
  const char* const config = "C:\\FRONT\\ZKDROM.SYS";
  if (machine().file(config) == nullptr) machine().add_file(config, "");
  Control control(input.control);
  start_library(&control);
  const zkall_ctop& c = *zk::startup::ctop();
  check_fields(c);
  size_t reports = 2;  // the reader's and the installed-disc check's
  const int operations = control.byte() % kMaxOperations;
  for (int i = 0; i < operations; ++i) run_operation(control, reports);
  check_fields(c);
  finish_input(reports);
  return 0;
}
