/* A stand-in for a program the library starts and waits for: it writes its
 * arguments, one a line, to ARGS.TXT in the current directory and ends with
 * the exit code given as its first argument (0 without one). */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  FILE* f = fopen("ARGS.TXT", "wb");
  if (f) {
    for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
    fclose(f);
  }
  return argc > 1 ? atoi(argv[1]) : 0;
}
