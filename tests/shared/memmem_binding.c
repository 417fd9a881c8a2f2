/* Loads the shared library into a program linked only against the C library
 * and checks that the library's memmem (version ZKALL_1.0) is reachable by
 * name while the C library's memmem keeps serving this program. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

typedef int32_t (*zk_memmem_fn)(const void*, int32_t, const void*, int32_t);

static int failures = 0;
static void check(int ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "FAIL: %s\n", what);
    ++failures;
  }
}

int main(void) {
  void* h = dlopen(ZKALL_SO, RTLD_NOW | RTLD_GLOBAL);
  if (!h) {
    fprintf(stderr, "FAIL: dlopen: %s\n", dlerror());
    return 1;
  }
  static const char area[] = "ABCDEF";

  /* The C library's memmem answers with a pointer, as before. */
  void* (*volatile libc_memmem)(const void*, size_t, const void*, size_t) = memmem;
  check(libc_memmem(area, 6, "CD", 2) == area + 2, "C library memmem still answers a pointer");
  check(dlsym(RTLD_DEFAULT, "memmem") == (void*)libc_memmem, "global lookup of memmem finds the C library's");

  /* The library's memmem is exported as memmem@ZKALL_1.0 and answers an index. */
  zk_memmem_fn zk = (zk_memmem_fn)dlvsym(h, "memmem", "ZKALL_1.0");
  check(zk != NULL, "memmem@ZKALL_1.0 is exported");
  if (zk) {
    check(zk(area, 6, "CD", 2) == 2, "memmem@ZKALL_1.0 answers the index");
    check(zk(area, 6, "XY", 2) == -1, "memmem@ZKALL_1.0 answers -1 when not found");
  }
  zk_memmem_fn alias = (zk_memmem_fn)dlsym(h, "zkall_memmem");
  check(alias != NULL && alias(area, 6, "EF", 2) == 4, "zkall_memmem is exported as well");
  if (failures == 0) puts("OK: memmem bindings");
  return failures ? 1 : 0;
}
