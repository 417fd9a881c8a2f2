// The exported name "memmem" of the text utilities' pattern search.
//
// The C library has a memmem of its own with other arguments and results.
// The shared library exports ours as memmem in its version node ZKALL_1.0,
// so the catalog's programs that ask for it by name find it, while every
// other piece of code in the process, whose references are bound to the C
// library's versioned memmem, keeps getting the C library's. Only the shared
// library is built with this file; the Windows DLL maps the name in its
// module-definition file instead.
#include "zkall.h"

#if !defined(_WIN32)
extern "C" __attribute__((visibility("default"))) int32_t _zkall_memmem_v1(const void* area, int32_t area_len,
                                                                            const void* pattern, int32_t pattern_len) {
  return zkall_memmem(area, area_len, pattern, pattern_len);
}
__asm__(".symver _zkall_memmem_v1, memmem@@ZKALL_1.0");
#endif
