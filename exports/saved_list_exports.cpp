// C entry points of the saved lists, the interface program and the CSV
// helpers. The streams handed out are the library's own stream objects,
// owned by the caller from open_save_*_file until close_save_*_file.
#include <cstring>
#include <string>

#include "exports/optional_out.h"
#include "exports/out_param.h"
#include "platform/platform.h"
#include "startup/path_names.h"
#include "workfiles/csv.h"
#include "workfiles/interface_program.h"
#include "workfiles/saved_lists.h"
#include "zkall.h"

namespace w = zk::workfiles;
using zk::exports::OptionalOut;
using zk::exports::Out;
using zk::platform::Stream;
using zk::platform::StreamPtr;

namespace {

// Hands a path to the caller's 80-byte buffer (NUL-padded), as
// get_path_name fills it.
int32_t to_buffer(int r, const std::string& path, char* out) {
  if (out == nullptr) return r;
  std::memset(out, 0, zk::startup::kNameBufferSize);
  std::memcpy(out, path.data(), std::min(path.size(), zk::startup::kNameBufferSize - 1));
  return r;
}

Stream* as_stream(void* s) { return static_cast<Stream*>(s); }

// Takes a caller's stream back into the library's ownership.
StreamPtr adopt(void** s) {
  StreamPtr p(s != nullptr ? as_stream(*s) : nullptr);
  if (s != nullptr) *s = nullptr;
  return p;
}

}  // namespace

extern "C" {

ZKALL_API int32_t ZKALL_CDECL make_save_mst_file_name(char* path) {
  std::string p;
  const int r = w::make_save_mst_file_name(p);
  return r == 0 ? to_buffer(r, p, path) : r;
}
ZKALL_API int32_t ZKALL_CDECL open_save_mst_file(int16_t mode, void** stream, int32_t* error) {
  StreamPtr s;
  const int r = w::open_save_mst_file(mode, s, OptionalOut(error));
  if (stream != nullptr) *stream = s.release();
  return r;
}
ZKALL_API int32_t ZKALL_CDECL close_save_mst_file(void** stream, int32_t* error) {
  StreamPtr s = adopt(stream);
  return w::close_stream(s, OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL make_save_mst(int32_t* error) { return w::make_save_mst(OptionalOut(error)); }
ZKALL_API int32_t ZKALL_CDECL check_save_mst_file_exist(int32_t* count, int32_t* error) {
  return w::check_save_mst_file_exist(Out<int32_t>(count), OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL check_save_dat_file_exist(int32_t* count, int32_t* error) {
  return w::check_save_dat_file_exist(Out<int32_t>(count), OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL get_save_no(int32_t* number, int32_t* error) {
  return w::get_save_no(Out<int32_t>(number), OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL deldata_save_mst_file(int32_t number, int32_t* left, int32_t* error) {
  return w::deldata_save_mst_file(number, Out<int32_t>(left), OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL make_save_dat_file_name(int32_t number, char* path) {
  std::string p;
  const int r = w::make_save_dat_file_name(number, p);
  if (r != 0 && path != nullptr && p.empty()) path[0] = '\0';
  return r == 0 ? to_buffer(r, p, path) : r;
}
ZKALL_API int32_t ZKALL_CDECL open_save_dat_file(int32_t number, int16_t sub_mode, int16_t mode, void** stream,
                                                 int32_t* error) {
  if (stream == nullptr) return w::open_save_dat_file(number, sub_mode, mode, nullptr, OptionalOut(error));
  StreamPtr s;
  const int r = w::open_save_dat_file(number, sub_mode, mode, &s, OptionalOut(error));
  *stream = s.release();
  return r;
}
ZKALL_API int32_t ZKALL_CDECL close_save_dat_file(void** stream, int32_t* error) {
  if (stream == nullptr) return w::close_current_save_dat_file(OptionalOut(error));
  StreamPtr s = adopt(stream);
  return w::close_stream(s, OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL read_save_dat_file(void* stream, void* buffer, int32_t size, int32_t* error) {
  return w::read_save_dat_file(as_stream(stream), buffer, size, OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL write_save_dat_file(void* stream, const void* buffer, int32_t size, int32_t* error) {
  return w::write_save_dat_file(as_stream(stream), buffer, size, OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL seek_save_dat_file(void* stream, int32_t offset, int32_t* position, int32_t* error) {
  return w::seek_save_dat_file(as_stream(stream), offset, Out<int32_t>(position), OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL del_save_dat_file(int32_t number, int32_t* error) {
  return w::del_save_dat_file(number, OptionalOut(error));
}
ZKALL_API int32_t ZKALL_CDECL check_save_dat_file_handle(void) { return w::check_save_dat_file_handle(); }
ZKALL_API int32_t ZKALL_CDECL reset_save_mst_flag(int32_t* error) { return w::reset_save_mst_flag(OptionalOut(error)); }
ZKALL_API void ZKALL_CDECL set_save_file_vdata(char* record, int32_t number, const char* source) {
  w::set_save_file_vdata(record, number, source);
}
ZKALL_API void ZKALL_CDECL set_vjin_file_data(void) {}
ZKALL_API int32_t ZKALL_CDECL make_zkintf_tmp_file_name(char* path) {
  std::string p;
  const int r = w::make_zkintf_tmp_file_name(p);
  return r == 0 ? to_buffer(r, p, path) : r;
}
ZKALL_API int32_t ZKALL_CDECL make_intf_tmp_file_name(char* path) {
  std::string p;
  const int r = w::make_intf_tmp_file_name(p);
  return r == 0 ? to_buffer(r, p, path) : r;
}
ZKALL_API int32_t ZKALL_CDECL intf_pro(int32_t* error) { return w::intf_pro(OptionalOut(error)); }
ZKALL_API char* ZKALL_CDECL get_next_csv(char* line, int16_t* start, int16_t* end) {
  // The result points into the caller's own line.
  return const_cast<char*>(w::get_next_csv(line, Out<int16_t>(start), Out<int16_t>(end)));
}
ZKALL_API int16_t ZKALL_CDECL copy_csv_item(const char* source, char* dest, int16_t size, int16_t first,
                                            int16_t last) {
  return w::copy_csv_item(source, dest, size, first, last);
}

}  // extern "C"
