// The 32-bit DLL as the front end and the catalog's programs call it: loads
// ZKALL.dll, looks every function up by the name the callers bind
// (_drom_init@0, _VBGetMsg@8, cdopen ...) with GetProcAddress, and calls it
// through a thunk that measures the stack pointer across the call. A
// standard-call function must remove its own arguments (the stack pointer
// comes back where it was before the arguments were pushed); a plain one
// must leave them for the caller. Strings for the front-end functions are
// automation strings made with SysAllocStringByteLen, as the front end's.
//
// It lays a small installation out in a fresh directory below the current
// one (ZKDROM.SYS, a message file, one installed disc whose part-name file
// set lies on the hard disk), starts the library there and makes a keyed
// lookup through cdopen, cdreopen, cdread and cdclose.
// Usage: zkall_caller [path of ZKALL.dll]; exit status 0 when every check
// passed.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tools/writer/disc_layout.h"
#include "tools/writer/master_writer.h"
#include "zkall.h"

#if !defined(__i386__)
#error "the caller checks the 32-bit calling conventions: build it with the i686 compiler"
#endif

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
  if (!ok) ++failures;
}

// Pushes `count` 32-bit arguments (the first pushed last, as C does), calls
// `fn`, and stores in *grown how many bytes the stack pointer stands below
// where it stood before the pushes: 0 when the callee removed its
// arguments, 4 * count when it left them. The stack pointer is restored
// from EDI, which both conventions preserve, so a wrong convention is
// measured, not crashed on. Returns what the function returned in EAX.
extern "C" int32_t zk_measured_call(void* fn, const uint32_t* args, int32_t count, int32_t* grown);
__asm__(
    ".text\n"
    ".globl _zk_measured_call\n"
    "_zk_measured_call:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  pushl %ebx\n"
    "  movl 12(%ebp), %esi\n"  // args
    "  movl 16(%ebp), %ecx\n"  // count
    "  movl %esp, %edi\n"      // the stack pointer before the arguments
    "1:\n"
    "  testl %ecx, %ecx\n"
    "  jz 2f\n"
    "  decl %ecx\n"
    "  pushl (%esi,%ecx,4)\n"
    "  jmp 1b\n"
    "2:\n"
    "  movl 8(%ebp), %edx\n"
    "  call *%edx\n"
    "  movl %edi, %ecx\n"
    "  subl %esp, %ecx\n"      // bytes still on the stack
    "  movl %edi, %esp\n"
    "  movl 20(%ebp), %edx\n"
    "  movl %ecx, (%edx)\n"
    "  popl %ebx\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebp\n"
    "  ret\n");

HMODULE dll = nullptr;

uint32_t arg(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
uint32_t arg(int32_t v) { return static_cast<uint32_t>(v); }

// Calls the export `name`: a standard-call one must come back with the
// stack as it was, a plain one with its arguments still on it.
int32_t call(const char* name, bool stdcall, std::vector<uint32_t> args) {
  void* fn = reinterpret_cast<void*>(GetProcAddress(dll, name));
  if (fn == nullptr) return check(false, std::string("GetProcAddress finds ") + name), 0;
  int32_t grown = -1;
  const int32_t result = zk_measured_call(fn, args.data(), static_cast<int32_t>(args.size()), &grown);
  const int32_t expected = stdcall ? 0 : static_cast<int32_t>(4 * args.size());
  check(grown == expected, std::string(name) + (stdcall ? " removes its " : " leaves its ") +
                               std::to_string(4 * args.size()) + " bytes of arguments (stack moved by " +
                               std::to_string(grown) + ")");
  return result;
}

void write_file(const std::string& path, const std::string& bytes) {
  check(static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes), "write " + path);
}

// One part-name record: a 6-digit code and a 60-character name.
std::string part_record(int code, const char* name) {
  char rec[67];
  std::snprintf(rec, sizeof rec, "%06d%-60.60s", code, name);
  return std::string(rec, 66);
}

}  // namespace

int main(int argc, char** argv) {
  const char* dll_path = argc > 1 ? argv[1] : "ZKALL.dll";

  // ---- a small installation in a fresh directory ----
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  const std::string root = std::string(cwd) + "\\zkcaller";
  if (root.size() > 48) return std::printf("FAIL: %s is too long for ZKDROM.SYS's directories\n", root.c_str()), 1;
  CreateDirectoryA(root.c_str(), nullptr);
  for (const char* sub : {"\\WORK", "\\MST", "\\MST\\E1", "\\ZK"}) CreateDirectoryA((root + sub).c_str(), nullptr);
  write_file(root + "\\ZKDROM.SYS", "ECRAM=" + root + "\\WORK\r\nECMST=" + root + "\\MST\r\nECFIL=" + root +
                                        "\\ZK\r\nCRNTAREA=E\r\nLANGUAGE=ENGLISH\r\nMENULANG=ENGLISH\r\n");
  write_file(root + "\\ZK\\ZKDROM01.MSG",
             "881Please insert the catalog disc into drive [\r\n881and press Retry.                      Disc [\r\n");
  write_file(root + "\\ZKDROM01.SCR", "0111 CD-ROM\r\n");
  zk::writer::Disc disc;
  disc.header = zk::writer::master_header("19990401", "E1", "01", '1');
  zk::writer::SetSpec names;
  names.name = "HINM01.DAT";
  names.kind = 7;
  names.record_length = 66;
  names.key_length = 6;
  names.records = {part_record(100007, "OIL FILTER"), part_record(100014, "SPARK PLUG"),
                   part_record(100021, "WIPER BLADE")};
  disc.root_sets.push_back({zk::writer::build_set(names), 1, ""});  // a copy on the hard disk
  zk::writer::lay_out_disc(disc, root + "\\MST\\E1", root + "\\NODISC");
  write_file(root + "\\MST\\E1\\SHAMEI.DAT", "");  // the area's catalogs count as installed with it
  if (!SetCurrentDirectoryA(root.c_str())) return check(false, "enter " + root), 1;

  if ((dll = LoadLibraryA(dll_path)) == nullptr)
    return std::printf("FAIL: LoadLibrary %s: error %lu\n", dll_path, GetLastError()), 1;

  // ---- start-up, a message, a path name (standard-call) ----
  check(call("_drom_init@0", true, {}) == 0, "_drom_init@0 answers 0");
  auto* ctop = reinterpret_cast<zkall_ctop*>(call("get_ctop_addr", false, {}));
  check(ctop != nullptr && ctop->disc_count == 1 && ctop->setup_ok == 1, "the installed disc E1 is found");

  BSTR msg = SysAllocStringByteLen(std::string(160, '#').c_str(), 160);
  const int32_t written = call("_VBGetMsg@8", true, {arg(881), arg(msg)});
  const std::string text(reinterpret_cast<const char*>(msg), written > 0 && written <= 160 ? written : 0);
  check(written > 0 && text.rfind("Please insert the catalog disc into drive [", 0) == 0 &&
            text.find("and press Retry.") != std::string::npos,
        "_VBGetMsg@8 fills the automation string with message 881 (" + std::to_string(written) + " bytes)");
  SysFreeString(msg);

  BSTR path = SysAllocStringByteLen(nullptr, 80);
  const int32_t path_bytes = call("_VBGetPathName@8", true, {arg(0), arg(path)});
  const std::string work = root + "\\WORK\\";
  check(path_bytes > 0 && std::strncmp(reinterpret_cast<const char*>(path), work.c_str(), work.size()) == 0,
        "_VBGetPathName@8 gives the work directory " + work);
  SysFreeString(path);

  // ---- a keyed lookup (plain exports, the caller removes the arguments) ----
  zkall_cd_handle* handle = nullptr;
  int32_t detail = 0;
  const int32_t opened = call("cdopen", false,
                              {arg("HINM01.DAT"), arg(static_cast<const void*>(nullptr)), arg(7), arg(0), arg(-1),
                               arg(0), arg(700), arg(&handle), arg(&detail)});
  check(opened == 0 && handle != nullptr, "cdopen opens HINM01.DAT (" + std::to_string(opened) + "/" +
                                              std::to_string(detail) + ")");
  if (opened == 0 && handle != nullptr) {
    char record[66];
    check(call("cdreopen", false, {arg(handle), arg(&detail)}) == 0, "cdreopen");
    const int32_t found = call("cdread", false,
                               {arg(record), arg("100014"), arg(6), arg(0), arg(static_cast<const void*>(nullptr)),
                                arg(static_cast<const void*>(nullptr)), arg(handle), arg(&detail)});
    check(found == 0 && std::memcmp(record, part_record(100014, "SPARK PLUG").data(), 66) == 0,
          "cdread finds part 100014 by key");
    check(call("cdclose", false, {arg(&handle), arg(&detail)}) == 0 && handle == nullptr, "cdclose");
  }

  call("_drom_term@0", true, {});
  FreeLibrary(dll);
  std::printf("%s: 32-bit DLL caller\n", failures == 0 ? "passed" : "FAILED");
  return failures == 0 ? 0 : 1;
}
