// C entry points of the illustration decoder, the packed-image functions and
// reverse_image: each forwards to zk::image.
#include <cstdint>

#include "image/pack_image_file.h"
#include "image/packed_image.h"
#include "image/reverse_image.h"
#include "image/t4_decoder.h"
#include "zkall.h"

extern "C" {

ZKALL_API int32_t ZKALL_CDECL decode_exec(int32_t command, int32_t* width, const uint8_t* input,
                                          int32_t* input_length, uint8_t* output, int32_t* output_length,
                                          int32_t* status) {
  return zk::image::decode_exec(command, width, input, input_length, output, output_length, status);
}

ZKALL_API int32_t ZKALL_CDECL decode_init(int32_t width) { return zk::image::decode_init(width); }

ZKALL_API int32_t ZKALL_CDECL decode_release(void) { return zk::image::decode_release(); }

ZKALL_API int32_t ZKALL_CDECL decord_img(const char* input_path, const char* output_path,
                                         zkall_image_header* header) {
  zkall_image_header scratch{};
  return zk::image::decord_img(input_path, output_path, header != nullptr ? *header : scratch);
}

ZKALL_API int32_t ZKALL_CDECL decord_text(const char* path, zkall_coded_text* records, int32_t length,
                                          int32_t offset) {
  return zk::image::decord_text(path, records, length, offset);
}

ZKALL_API int32_t ZKALL_CDECL make_pack_image_file(const char* output_path, const char* location, int32_t* detail) {
  int32_t scratch = 0;
  return zk::image::make_pack_image_file(output_path, location, detail != nullptr ? *detail : scratch);
}

ZKALL_API int32_t ZKALL_CDECL reverse_image(void* memory_dc, void* window, const zkall_image_rect* rect) {
  return zk::image::reverse_image(memory_dc, window, rect);
}

}  // extern "C"
