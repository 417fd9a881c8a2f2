// Fault-injection loops: every exported function that touches a file, a
// drive or the heap is run over the demo installation (the fuzz targets'
// starting inputs, on the in-memory machine) once for every operation it
// makes, with that one operation failing: the 1st open, the 2nd open, ...,
// the 1st read, ... until the function makes no further call of that kind.
//
// After each run, whatever failed: the answer is one the function
// documents, every descriptor and stream is closed again, the file-handle
// table is empty, no engine handle is left alive, every line the error log
// gained is a report stamped with the machine's clock and carrying module,
// function, call and its three numbers, a function that only reads leaves
// every file as it was, and a work file rewritten whole holds its old
// content or all of its new one.
// Heap leaks on the failure paths are caught by LeakSanitizer in the
// sanitizer build, which runs this program too.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <utility>
#include <set>
#include <string>
#include <vector>

#include "catalog/cd_handle.h"
#include "fuzz/fuzz_support.h"
#include "platform/list_box.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/file_handles.h"
#include "zkall.h"

namespace {

using zk::platform::Op;

std::string read_input(const char* name) {
  std::ifstream in(std::string(ZKALL_FUZZ_DIR) + "/corpus/" + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The demo installation: the lookups' discs and the hard disk's price and
// work files, laid out on a fresh machine with the library started.
void lay_out_demo() {
  // The illustrations' IMAGEF.DAT, the lookups' discs and the work files; a
  // file the inputs share is taken from the last that has it.
  static const std::string inputs[] = {read_input("open/pack-image"), read_input("lookup/demo"),
                                       read_input("workfiles/demo")};
  std::map<std::string, std::string> files;
  for (const std::string& input : inputs)
    for (auto& f : zk::fuzz::split_input(reinterpret_cast<const uint8_t*>(input.data()), input.size()).files)
      files[f.path] = std::move(f.bytes);
  zk::fuzz::Input all;
  for (auto& [path, bytes] : files) all.files.push_back({path, bytes});
  zk::fuzz::begin_input(all);
  zk::fuzz::start_library();
  zkall_ccar* car = get_ccar_addr();
  std::memcpy(car->catalog_code, "4711A0", 6);
  // The vehicle names as the disc in D: holds them (read straight from it).
  auto& m = zk::fuzz::machine();
  if (const std::string* names = m.file("C:\\ZKCAT\\MST\\E1\\SHAMEI.DAT")) m.add_file("D:\\SHAMEI.DAT", *names);
  // A list-box text file and a help file.
  m.add_file("C:\\ZKWORK\\LIST.TXT", "first line\nsecond line\n");
  m.add_file("C:\\ZKCAT\\LIB\\MAIN01.HLP", "help line\nanother\n");
}

std::map<std::string, std::string> snapshot() {
  std::map<std::string, std::string> files;
  for (const std::string& path : zk::fuzz::machine().file_paths())
    if (path.find("ZKERROR.LOG") == std::string::npos) files[path] = *zk::fuzz::machine().file(path);
  return files;
}

struct Scenario {
  const char* name;
  bool reads_only;                  // no file may change
  std::vector<int> answers;            // what the function documents
  std::function<int()> run;         // opens, uses and closes again
  // Files the calls rewrite whole, with their size: after a failure each
  // holds its old bytes (or is still missing) or all of its new ones.
  std::vector<std::pair<std::string, size_t>> rewritten = {};
};

// Returns the first non-zero answer of a sequence of calls.
struct First {
  int result = 0;
  int operator()(int r) {
    if (result == 0) result = r;
    return r;
  }
};

int read_set(const char* name, const char* catalog, uint8_t kind, const char* key) {
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  First first;
  if (first(cdopen(name, catalog, kind, 0, -1, 0, 700, &h, &detail)) != 0) return first.result;
  std::vector<char> record(static_cast<size_t>(h->record_length > 0 ? h->record_length : 1));
  int32_t blocks = 0, index = 0;
  if (key != nullptr) {
    first(cdread(record.data(), key, static_cast<int32_t>(std::strlen(key)), 0, &blocks, &index, h, &detail));
    cdreopen(h, &detail);
  }
  first(cdread(record.data(), nullptr, 0, 0, &blocks, &index, h, &detail));
  first(cdclose(&h, &detail));
  return first.result;
}

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> all = {
      {"drom_init", false, {0, 1, 20}, [] {
         zk::startup::free_table();  // drom_init makes the common areas itself
         const int r = drom_init();
         drom_term();
         return r;
       }},
      {"drom_check_setup", true, {0, 891}, [] { return drom_check_setup(0); }},
      {"cdopen, cdread, cdclose (root set)", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128},
       [] { return read_set("HINM01.DAT", nullptr, 7, "100120"); }},
      {"cdopen, cdread, cdclose (catalog set)", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128},
       [] { return read_set("TOKUME.DAT", "4711A0", 0, nullptr); }},
      {"cdopen_direct", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         zkall_cd_handle* h = nullptr;
         int32_t detail = 0;
         const int r = cdopen_direct("HINM01.DAT", nullptr, 7, 0, -1, "E1", "01", nullptr, 0, 0, 700, &h, &detail);
         if (r == 0) cdclose(&h, &detail);
         return r;
       }},
      {"cdmake_cdidtbl_alldrive", true, {0, 14, 20, 81, 128, 891}, [] {
         int32_t list[30] = {}, count = 0, detail = 0;
         return cdmake_cdidtbl_alldrive(list, &count, &detail);
       }},
      {"get_hinmei", true, {0, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         char name[60];
         uint16_t status = 0;
         return get_hinmei("100120", name, &status);
       }},
      {"get_figmei", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         char name[60];
         return get_figmei("1010", name, nullptr);
       }},
      {"VBryak_get_mean", false, {0, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         zk::platform::FrontEndString abbreviation(std::string("ABS"));
         zk::platform::FrontEndString meaning(130);
         uint16_t status = 0;
         return VBryak_get_mean(abbreviation.get(), meaning.get(), &status);
       }},
      {"cdget_some_cd_data (a mode-2 run)", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         std::vector<char> record(4096);
         uint32_t state = 0;
         int32_t blocks = 0, index = 0, detail = 0;
         First first;
         for (int i = 0; i < 3; ++i)
           if (first(cdget_some_cd_data("SHAMEI.DAT", nullptr, 1, 2, -1, nullptr, 0, record.data(), "", 0, 1,
                                        &blocks, &index, 700, &state, &detail)) != 0)
             break;
         cdget_some_cd_data("SHAMEI.DAT", nullptr, 1, -1, -1, nullptr, 0, record.data(), "", 0, 1, nullptr, nullptr,
                            700, &state, &detail);
         return first.result == -1 ? 0 : first.result;
       }},
      {"cdmake_cdno_table", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         zkall_cdno_entry* table = nullptr;
         int32_t count = 0;
         const int r = cdmake_cdno_table(0, "E1", nullptr, nullptr, &table, &count, 700, nullptr);
         std::free(table);
         return r;
       }},
      {"v_pop_make_vclinf_tmp, v_pop_del_vclinftmp", false, {0, -1, 4, 11, 12, 13, 14, 15, 20, 81, 128}, [] {
         std::string header(133, '\0');
         header.replace(17, 6, "4711A0");
         zkall_vinf_control block{};
         block.fd = -1;
         const int r = v_pop_make_vclinf_tmp(&block, header.data());
         v_pop_del_vclinftmp();
         return r;
       }},
      {"v_open_jouhou_tmp, v_close_jouhou_tmp", true, {0, 11, 12, 15}, [] {
         zkall_jouhou_slot slot{};
         int32_t count = 0;
         First first;
         first(v_open_jouhou_tmp(1, &slot, &count, nullptr));
         first(v_close_jouhou_tmp(&slot, nullptr));
         return first.result;
       }},
      {"v_jtmp_sign", false, {0, 1, -1, 11, 12, 13, 14, 15, 20}, [] {
         return v_jtmp_sign(2, 0, 0, nullptr, "4711A0", nullptr, nullptr, nullptr, nullptr);
       }},
      {"kakaku_open, kakaku_read, kakaku_close", true, {0, -1, 11, 14, 15, 20, 128}, [] {
         zkall_cd_handle* h = nullptr;
         First first;
         if (first(kakaku_open(0, &h, nullptr)) != 0) return first.result;
         char price[ZKALL_PRICE_RECORD_SIZE];
         first(kakaku_read(price, "1561047110A2", 12, 0, h, nullptr));
         kakaku_close(&h);
         return first.result;
       }},
      {"LCPOpen, LCPKeyRead, LCPSeqRead, LCPClose", true, {0, -1, 11, 14, 15, 20, 128}, [] {
         zkall_lcp_handle h{};
         First first;
         if (first(LCPOpen(&h, 1)) != 0) return first.result;
         std::vector<char> record(static_cast<size_t>(h.record_length));
         first(LCPKeyRead(&h, "1561047110A2", 12, record.data()));
         first(LCPSeqRead(&h, record.data()));
         LCP3PrtNoRead(&h, "1561047110A2", record.data());
         LCPClose(&h);
         return first.result;
       }},
      {"VBReadSelectTmp, VBWriteSelectTmp, VBClearSelectTmp", false, {0, -1, 11, 12, 13, 14, 20}, [] {
         First first;
         first(VBReadSelectTmp());
         first(VBWriteSelectTmp());
         first(VBClearSelectTmp());
         first(VBReadLcpselTmp());
         first(VBWriteLcpselTmp());
         TermSelTmp();
         TermLcpTmp();
         return first.result;
       },
       {{"C:\\ZKWORK\\SELECT.TMP", 20000}, {"C:\\ZKWORK\\LCPSEL.TMP", 20000}}},
      {"VBSetGrpCd, VBwrite_group_file, VBread_group_file", false, {0, -1, 1, 11, 13, 14, 20}, [] {
         zk::platform::FrontEndString name(std::string("BRAKES"));
         First first;
         first(VBSetGrpCd("G01", name.get()));
         first(VBwrite_group_file());
         VBTermGrpTmp();
         int16_t count = 0;
         first(VBread_group_file(&count));
         VBTermGrpTmp();
         return first.result;
       },
       {{"C:\\ZKCAT\\MST\\ZKGRPMEI.D", 63063}, {"C:\\ZKCAT\\MST\\ZKGRPPNC.D", 600000}}},
      {"VBRemakeGpFile", false, {0, -1, 11, 13}, [] { return VBRemakeGpFile(); }},
      {"make_save_mst, get_save_no, a saved list written and read back, its flag reset, its files deleted", false,
       {0, -1, -2, 11, 12, 13, 14, 15, 16}, [] {
         int32_t error = 0, number = 0, left = 0;
         First first;
         first(make_save_mst(&error));
         if (first(get_save_no(&number, &error)) != 0) return first.result;
         void* stream = nullptr;
         if (first(open_save_dat_file(number, 2, 2, &stream, &error)) == 0) {
           first(write_save_dat_file(stream, "SAVED LIST", 10, &error));
           first(close_save_dat_file(&stream, &error));
         }
         first(check_save_mst_file_exist(&left, &error));
         first(check_save_dat_file_exist(&left, &error));
         if (first(open_save_dat_file(number, 0, 1, &stream, &error)) == 0) {
           char back[5];
           first(seek_save_dat_file(stream, 5, nullptr, &error));
           first(read_save_dat_file(stream, back, 5, &error));
           first(close_save_dat_file(&stream, &error));
         }
         if (first(open_save_dat_file(number, 1, 3, nullptr, &error)) == 0) first(reset_save_mst_flag(&error));
         first(close_save_dat_file(nullptr, &error));
         first(del_save_dat_file(number, &error));
         first(deldata_save_mst_file(number, &left, &error));
         return first.result;
       }},
      {"VBsyerr_message", false, {0}, [] {
         zk::platform::FrontEndString module(std::string("ZKTEST")), function(std::string("loop")),
             call(std::string("fopen"));
         VBsyerr_message(module.get(), function.get(), call.get(), 11, 2, 99);
         return 0;
       }},
      {"init_VINFT, put_hdr_VINFT, put_rec_VINFT, get_rec_VINFT, term_VINFT", false, {0}, [] {
         // Without an error hook a failing step answers 0 and closes the file.
         zkall_vinf_control block{};
         block.fd = -1;
         block.open_flags = 0x0002 | 0x0100 | 0x0200 | 0x8000;
         block.perm = 0x0100 | 0x0080;
         const std::string header(133, 'H'), line(32, 'L');
         char back[32];
         bool documented = init_VINFT(&block) >= 0;
         documented &= std::set<int>{133, 0}.count(put_hdr_VINFT(&block, header.data())) == 1;
         documented &= std::set<int>{32, 0}.count(put_rec_VINFT(&block, 3, line.data())) == 1;
         documented &= std::set<int>{32, 0}.count(get_rec_VINFT(&block, 3, back)) == 1;
         term_VINFT(&block);
         return documented && block.fd == -1 ? 0 : 1;
       }},
      {"intf_pro over the current saved list, drom_reset_com", false, {0, -1, -2, 11, 12, 13, 14, 15, 888, 999}, [] {
         zk::fuzz::machine().run_program_hook = [](const std::string&, const std::string&) {
           zk::platform::ProgramRun run;
           run.started = true;
           run.exit_code = 1;  // the list was taken over: its record number becomes "000"
           return run;
         };
         int32_t error = 0, number = 0;
         First first;
         first(make_save_mst(&error));
         if (first(get_save_no(&number, &error)) != 0) return first.result;
         std::string record(99, ' ');
         void* stream = nullptr;
         if (first(open_save_dat_file(number, 2, 2, &stream, &error)) != 0) return first.result;
         first(write_save_dat_file(stream, record.data(), 99, &error));
         first(close_save_dat_file(&stream, &error));
         if (first(open_save_dat_file(number, 1, 3, nullptr, &error)) == 0) first(intf_pro(&error));
         first(drom_reset_com());
         close_save_dat_file(nullptr, &error);
         return first.result;
       }},
      {"file_copy", false, {0, 11, 12, 13, 14, 20}, [] {
         int32_t error = 0;
         return file_copy("C:\\ZKWORK\\COPY.TMP", "C:\\ZKWORK\\SELECT.TMP", &error);
       }},
      {"file_remove", false, {0, 401}, [] { return file_remove("C:\\ZKWORK", "*.TMP"); }},
      {"fcdopen, cdread, cdclose (frame numbers)", true, {0, -1, 4, 11, 12, 14, 15, 20, 81, 128}, [] {
         zkall_cd_handle* h = nullptr;
         int32_t detail = 0;
         First first;
         if (first(fcdopen("FRAMNO.DAT", nullptr, 0, 0, -1, setuped_cdno1_to_cdno2("EA", nullptr), 700, &h,
                           &detail)) != 0)
           return first.result;
         std::vector<char> record(static_cast<size_t>(h->record_length > 0 ? h->record_length : 1));
         int32_t blocks = 0, index = 0;
         first(cdread(record.data(), nullptr, 0, 0, &blocks, &index, h, &detail));
         first(cdclose(&h, &detail));
         return first.result;
       }},
      {"cdread_head, cdread_head_alldrive, cdset_cd, cdfile_get", true, {0, -1, 4, 11, 14, 80, 81, 128}, [] {
         char heads[110], id[3] = {}, date[9] = {};
         int32_t detail = 0, drive = -1;
         uint32_t size = 0;
         First first;
         first(cdread_head(0, heads, &detail));
         first(cdread_head_alldrive(heads, 'E', &detail));
         first(cdset_cd(-1, "E1", "01", nullptr, &drive, id, date, 700, &detail));
         first(cdfile_get("HINM01.DAT", nullptr, 0, &detail, &size, nullptr, nullptr, nullptr));
         return first.result;
       }},
      {"make_pack_image_file, decord_img", false,
       {0, -1, 4, 11, 12, 13, 14, 15, 20, 81, 128, 201, 202, 203, 204, 205, 206, 207, 208, 209, 210}, [] {
         int32_t detail = 0;
         zkall_image_header header{};
         First first;
         if (first(make_pack_image_file("C:\\ZKWORK\\FIGURE.PCK", "000000001", &detail)) != 0) return first.result;
         return first(decord_img("C:\\ZKWORK\\FIGURE.PCK", "C:\\ZKWORK\\FIGURE.BMP", &header));
       }},
      {"g_mei_f_check, g_mei_f_read, g_pnc_f_read over a group written", false,
       {0, -1, 1, 2, 4, 11, 12, 13, 14, 15, 20, 81, 128}, [] {
         zk::platform::FrontEndString name(std::string("BRAKES"));
         First first;
         first(VBSetGrpCd("G01", name.get()));
         first(VBwrite_group_file());
         VBTermGrpTmp();
         if (first.result != 0) return first.result;
         first(g_mei_f_check());
         char group_name[61];
         const int32_t index = g_mei_f_read("G01", group_name);
         first(index >= 0 ? 0 : -index);  // a failure comes negated: 11, 14, 20 or 2 (the path)
         std::vector<char> records(100 * 66);
         const int32_t parts = g_pnc_f_read("G01", records.data());
         first(parts == -1 ? 0 : parts);  // a group without codes
         return first.result;
       }},
      {"VBSetListBox, VBReadHelpFile", true, {0, 11, 14}, [] {
         zk::platform::ListBox box;
         First first;
         first(VBSetListBox(box.handle(), zk::platform::FrontEndString(std::string("C:\\ZKWORK\\LIST.TXT")).get()));
         first(VBReadHelpFile(box.handle(), zk::platform::FrontEndString(std::string("MAIN")).get()));
         return first.result;
       }},
      {"decord_text", true, {0, 201, 204, 205, 206}, [] {
         zkall_coded_text records[4];
         return decord_text("C:\\ZKCAT\\MST\\LOCALP1.D", records, 44, 0);
       }},
  };
  return all;
}

constexpr Op kOps[] = {Op::Open, Op::Read,   Op::ShortRead, Op::Write, Op::Seek,      Op::Close,
                       Op::Delete, Op::List, Op::Alloc,     Op::Volume, Op::DiskSpace, Op::Start, Op::Rename,
                       Op::Length};
constexpr int kMaxFaultPoints = 64;  // per operation kind and function

struct Outcome {
  int fault_points = 0;
  std::vector<std::string> broken;
};

Outcome run_with_faults(const Scenario& s) {
  Outcome out;
  for (Op op : kOps) {
    for (int nth = 1; nth <= kMaxFaultPoints; ++nth) {
      lay_out_demo();
      const size_t handles_before = zk::catalog::live_handles();
      const auto before = snapshot();
      auto& faults = zk::fuzz::machine().faults();
      faults.add(op, op == Op::ShortRead ? 0 : zk::platform::kErrnoIo, {}, nth);
      const int r = s.run();
      const bool fired = faults.rules().front().seen >= nth;
      faults.clear();
      const std::string where = std::string(s.name) + ": operation " + std::to_string(static_cast<int>(op)) +
                                " failing at call " + std::to_string(nth) + " answered " + std::to_string(r);
      if (std::find(s.answers.begin(), s.answers.end(), r) == s.answers.end())
        out.broken.push_back(where + ", which is not documented");
      if (zk::fuzz::machine().open_descriptors() != 0 || zk::fuzz::machine().open_streams() != 0)
        out.broken.push_back(where + ", and left a file open");
      if (op != Op::Close && *zk::startup::handle_table() != 0)
        out.broken.push_back(where + ", and left the file-handle table not empty");
      if (zk::catalog::live_handles() != handles_before) out.broken.push_back(where + ", and left an engine handle alive");
      const auto after = snapshot();
      if (s.reads_only && after != before) out.broken.push_back(where + ", and changed a file");
      for (const auto& [path, size] : s.rewritten) {
        const auto old_bytes = before.find(path), new_bytes = after.find(path);
        const bool kept = old_bytes == before.end()
                              ? new_bytes == after.end()
                              : new_bytes != after.end() && old_bytes->second == new_bytes->second;
        if (!kept && (new_bytes == after.end() || new_bytes->second.size() != size))
          out.broken.push_back(where + ", and left " + path + " neither old nor whole");
      }
      for (const auto& [path, bytes] : after)
        if (path.size() > 4 && path.compare(path.size() - 4, 4, ".$$$") == 0)
          out.broken.push_back(where + ", and left the temporary file " + path);
      zk::fuzz::check_error_log(256);
      zk::startup::free_table();
      if (!fired) break;
      ++out.fault_points;
    }
  }
  return out;
}

TEST(FaultLoop, EveryFailingOperationOfEveryFunctionEndsCleanly) {
  int functions = 0, points = 0;
  for (const Scenario& s : scenarios()) {
    SCOPED_TRACE(s.name);
    // Without a fault the function succeeds on the demo: the loop starts
    // from a path that reaches every call.
    lay_out_demo();
    EXPECT_EQ(s.run(), 0) << s.name << " fails on the demo without a fault";
    for (const auto& [path, size] : s.rewritten) {
      const std::string* file = zk::fuzz::machine().file(path);
      EXPECT_TRUE(file != nullptr && file->size() == size) << path << " is not written whole without a fault";
    }
    zk::startup::free_table();
    const Outcome o = run_with_faults(s);
    for (const std::string& b : o.broken) ADD_FAILURE() << b;
    EXPECT_GT(o.fault_points, 0) << s.name << " met no fault point";
    ++functions;
    points += o.fault_points;
  }
  std::printf("fault loop: %d call sequences, %d fault points\n", functions, points);
}

}  // namespace
