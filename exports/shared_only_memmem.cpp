// The exported name "memmem" of the text utilities' pattern search, in the
// shared library.
//
// The C library has a memmem of its own with other arguments and results.
// The shared library exports ours only under the non-default version
// memmem@ZKALL_1.0: the link editor never binds a plain reference to a
// non-default version, so a program linked with -lzkall that calls memmem
// keeps the C library's, and the catalog's programs that want ours ask for
// it by version (dlvsym). Only the shared library is built with this file;
// the DLL maps the name in its module-definition file instead.
#include "zkall.h"

#if !defined(_WIN32)
extern "C" __attribute__((visibility("default"))) int32_t zkall_memmem_v1(const void* area, int32_t area_len,
                                                                           const void* pattern, int32_t pattern_len) {
  return zkall_memmem(area, area_len, pattern, pattern_len);
}
__asm__(".symver zkall_memmem_v1, memmem@ZKALL_1.0");
#endif
