// C entry points of the file utilities and the front end's list-box helpers.
#include <string>

#include "platform/platform.h"
#include "workfiles/file_utils.h"
#include "workfiles/list_boxes.h"
#include "zkall.h"

namespace w = zk::workfiles;

namespace {
int32_t discard_fd = 0;
int32_t discard_error = 0;
}  // namespace

extern "C" {

ZKALL_API int32_t open_read(const char* path, int32_t* fd, int32_t* error) {
  return w::open_read(path ? path : "", fd ? *fd : discard_fd, error ? *error : discard_error);
}
ZKALL_API int32_t open_write(const char* path, int32_t* fd, int32_t* error) {
  return w::open_write(path ? path : "", fd ? *fd : discard_fd, error ? *error : discard_error);
}
ZKALL_API int32_t open_rdwr(const char* path, int32_t* fd, int32_t* error) {
  return w::open_rdwr(path ? path : "", fd ? *fd : discard_fd, error ? *error : discard_error);
}
ZKALL_API int32_t direct_read(int32_t fd, int32_t record, void* buf, int32_t length, int32_t* error) {
  return w::direct_read(fd, record, buf, length, error ? *error : discard_error);
}
ZKALL_API int32_t direct_write(int32_t fd, int32_t record, const void* buf, int32_t length, int32_t* error) {
  return w::direct_write(fd, record, buf, length, error ? *error : discard_error);
}
ZKALL_API int32_t file_copy(const char* destination, const char* source, int32_t* error) {
  return w::file_copy(destination ? destination : "", source ? source : "", error ? *error : discard_error);
}
ZKALL_API int32_t file_remove(const char* directory, const char* pattern) {
  return w::file_remove(directory, pattern);
}

ZKALL_API int32_t ZKALL_STDCALL VBAllResetListBox(void* box) {
  return static_cast<int32_t>(w::all_reset_list_box(box));
}
ZKALL_API int32_t ZKALL_STDCALL VBSetListBox(void* box, zkall_vbstr path) {
  return w::set_list_box(box, zk::platform::front_end_text(path).c_str());
}
ZKALL_API int32_t ZKALL_STDCALL VBReadHelpFile(void* box, zkall_vbstr topic) {
  return w::read_help_file(box, topic);
}

}  // extern "C"
