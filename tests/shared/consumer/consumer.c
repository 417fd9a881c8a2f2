/* A program of someone who installed ZKALL: built against the installed
 * tree only (find_package or pkg-config), it checks that the library it
 * loaded is the installed one and that a few calls work through it.
 * Usage: consumer INSTALL_PREFIX */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "zkall.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  Dl_info info;
  if (!dladdr((void*)&set_table, &info) || strncmp(info.dli_fname, argv[1], strlen(argv[1])) != 0) {
    fprintf(stderr, "FAIL: set_table comes from %s, not from below %s\n", info.dli_fname, argv[1]);
    return 1;
  }
  char letter = 'U';
  if (set_table() != 0 || memcmp(get_ctop_addr()->marker, "COMN", 4) != 0 || area_id(&letter) != 2 ||
      zkall_memmem("ABCD", 4, "CD", 2) != 2) {
    fprintf(stderr, "FAIL: calls through %s\n", info.dli_fname);
    return 1;
  }
  free_table();
  printf("OK: consumer of %s\n", info.dli_fname);
  return 0;
}
