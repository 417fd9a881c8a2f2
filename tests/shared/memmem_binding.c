/* A program linked with -lzkall that calls memmem must get the C library's
 * (which answers a pointer), while the library's memmem (which answers an
 * index) stays reachable as memmem@ZKALL_1.0 through dlvsym. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "zkall.h"

static int failures = 0;
static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "FAIL: %s\n", what);
    ++failures;
  }
}

typedef int32_t (*zk_memmem_fn)(const void*, int32_t, const void*, int32_t);

int main(int argc, char** argv) {
  (void)argc;
  /* The text comes from outside so that nothing is folded at compile time;
   * it ends in a byte no path holds, so that its only match is the last. */
  char area[4096];
  snprintf(area, sizeof area, "%s\001", argv[0]);
  const size_t len = strlen(area);
  const char* last = area + len - 1;

  /* The call the link editor bound: with -lzkall ahead of the C library. */
  check(memmem(area, len, last, 1) == last, "memmem called directly answers the C library's pointer");
  /* A library function is called too, so the library is surely loaded. */
  check(zkall_memmem(area, (int32_t)len, last, 1) == (int32_t)(len - 1), "zkall_memmem answers the index");

  void* self = dlopen(ZKALL_SO, RTLD_NOW | RTLD_NOLOAD);
  check(self != NULL, "libzkall is loaded by the link");
  if (self) {
    zk_memmem_fn ours = (zk_memmem_fn)dlvsym(self, "memmem", "ZKALL_1.0");
    check(ours != NULL, "dlvsym finds memmem@ZKALL_1.0");
    if (ours) {
      check(ours("ABCDEF", 6, "CD", 2) == 2, "memmem@ZKALL_1.0 answers the index");
      check(ours("ABCDEF", 6, "XY", 2) == -1, "memmem@ZKALL_1.0 answers -1 when not found");
    }
    check(dlsym(RTLD_DEFAULT, "memmem") != (void*)ours, "the default lookup of memmem is not the library's");
  }
  if (failures == 0) puts("OK: memmem bindings");
  return failures ? 1 : 0;
}
