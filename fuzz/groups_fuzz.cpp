// Fuzz target of the group files: ZKGRPMEI.D and ZKGRPPNC.D of any size and
// content loaded into the group list, edited, written back, remade, and read
// directly as the catalog's other programs read them.
//
// Files: C:\ZKCAT\MST\ZKGRPMEI.D and ZKGRPPNC.D (the standard
// configuration's installed catalog directory), optionally others (an
// input's own ZKDROM.SYS may move the group files elsewhere). Control
// bytes: a fault to inject, then operations, each a byte choosing it and its
// arguments:
//   0 VBread_group_file        5 g_pnc_f_read   group code (3 bytes)
//   1 VBwrite_group_file       6 VBSetGrpCd     group code, name length, name
//   2 VBRemakeGpFile           7 VBDelGrpPnc    group code, a box of lines and
//   3 g_mei_f_check                             which of them are selected
//   4 g_mei_f_read group code  8 VBMakeListGrpMei
//
// Checks: every result is one of its function's documented codes; a group
// index is 0..999; names and records are written within their buffers; a
// count read is 0..1000; files written or remade have their full sizes;
// list-box lines have their widths; nothing is left open.

#include "fuzz/fuzz_support.h"
#include "platform/list_box.h"
#include "startup/path_names.h"

namespace {

using namespace zk::fuzz;

constexpr int kMaxOperations = 24;
constexpr const char* kNameFile = "ZKGRPMEI.D";
constexpr const char* kCodeFile = "ZKGRPPNC.D";

// The size of a group file where the library keeps it: in the installed
// catalog directory of the configuration read.
size_t file_size(const char* name) {
  std::string path;
  if (zk::startup::get_path_name(zk::startup::kPathInstalled, -1, name, path) != 0) return 0;
  const std::string* f = machine().file(path);
  return f != nullptr ? f->size() : 0;
}

bool fault_fired() {
  for (const zk::platform::FaultRule& r : machine().faults().rules())
    if (r.seen >= r.nth) return true;
  return false;
}

// The operations, each with the group code read for it.
void read_file(Control&, const char*, size_t& reports) {
  int16_t count = -7;
  const int32_t r = documented("VBread_group_file", VBread_group_file(&count), {0, -1, 11, 14, 20});
  if (r == 0) check(count >= 0 && count <= 1000, "VBread_group_file counted outside 0..1000");
  reports += r != 0;
}

void write_file(Control&, const char*, size_t& reports) {
  const int32_t r = documented("VBwrite_group_file", VBwrite_group_file(), {0, -1, 11, 13, 20});
  if (r == 0) check(file_size(kNameFile) == 63063 && file_size(kCodeFile) == 600000, "a group file written short");
  reports += r != 0;
}

void remake(Control&, const char*, size_t& reports) {
  const int32_t r = documented("VBRemakeGpFile", VBRemakeGpFile(), {0, -1, 11, 13});
  // A file whose length cannot be measured is kept, and one that cannot
  // be deleted stays as it is: both answer 0 with the file undersized.
  if (r == 0 && !fault_fired())
    check(file_size(kNameFile) > 6363 && file_size(kCodeFile) > 30000, "a remade group file is undersized");
  reports += r != 0;
}

void check_names(Control&, const char*, size_t&) { documented("g_mei_f_check", g_mei_f_check(), {1, 0, -1}); }

void read_name(Control&, const char* code, size_t& reports) {
  Guarded name(60);
  const int32_t r = g_mei_f_read(code, name.data());
  check((r >= -1 && r <= 999) || one_of(r, {-2, -11, -14, -20}), "g_mei_f_read answered another code");
  name.check_intact("g_mei_f_read wrote past the name");
  reports += r < -1;
}

void read_codes(Control&, const char* code, size_t& reports) {
  Guarded records(6600);
  check(g_pnc_f_read(code, records.data()) >= -1, "g_pnc_f_read answered below -1");  // -1, 0 or a failure code
  records.check_intact("g_pnc_f_read wrote past the records");
  reports += 1;  // at most one: finding the group, or its own
}

void set_name(Control& in, const char* code, size_t& reports) {
  zk::platform::FrontEndString s{std::string(in.take(in.byte() % 80))};
  reports += documented("VBSetGrpCd", VBSetGrpCd(code, s.get()), {0, 1, 20}) == 20;
}

void delete_lines(Control& in, const char* code, size_t& reports) {
  zk::platform::ListBox box;
  const int lines = in.byte() % 8;
  for (int i = 0; i < lines; ++i) {
    const std::string line(in.take(in.byte() % 90));
    box.send(zk::platform::kLbAddString, 0, reinterpret_cast<intptr_t>(line.c_str()));
    box.send(zk::platform::kLbSetSel, in.byte() & 1, i);
  }
  reports += documented("VBDelGrpPnc", VBDelGrpPnc(box.handle(), code), {0, 20}) == 20;
}

void list_names(Control&, const char*, size_t&) {
  zk::platform::ListBox box;
  VBMakeListGrpMei(box.handle());
  check(box.lines().size() == static_cast<size_t>(VBGetGrpNum()), "a group line per group");
  for (const std::string& l : box.lines()) check(l.size() <= 70, "a group line is longer than 70");
}

void run_operation(Control& in, size_t& reports) {
  using Operation = void (*)(Control&, const char*, size_t&);
  static constexpr Operation kOperations[] = {read_file,  write_file, remake,       check_names, read_name,
                                              read_codes, set_name,   delete_lines, list_names};
  const Operation op = kOperations[in.byte() % 9];
  char code[4] = {};
  const std::string_view c = in.take(3);
  std::memcpy(code, c.data(), c.size());
  op(in, code, reports);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Control control = begin_catalog_input(data, size);
  size_t reports = 2;  // the configuration's and the installed-disc check's
  const int operations = control.byte() % kMaxOperations;
  for (int i = 0; i < operations; ++i) run_operation(control, reports);
  machine().faults().clear();
  VBTermGrpTmp();
  finish_input(reports);
  return 0;
}
