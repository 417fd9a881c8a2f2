// Writes the starting corpus of the decoder fuzz target: libtiff-coded streams
// (Group 3 two-dimensional with and without aligned EOLs, Group 4) of small
// drawings, text, noise and plain images, each behind the fuzz input's
// header (width, input pieces, output sizes).
#include <cstdio>
#include <string>

#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  using namespace zk::imaging;
  const Bitmap bitmaps[] = {line_drawing(120, 30, 1), text_page(97, 25, 2), noise(33, 9, 3), all_black(17, 4),
                            vertical_stripes(40, 3), line_drawing(1616, 20, 4)};
  const EncodeOptions codings[] = {{Coding::G3TwoDimensional, 98.0f},
                                   {Coding::G3TwoDimensionalAligned, 196.0f},
                                   {Coding::G4, 196.0f}};
  int n = 0;
  for (const Bitmap& b : bitmaps) {
    for (const EncodeOptions& o : codings) {
      std::string s;
      s += static_cast<char>(b.width >> 8);
      s += static_cast<char>(b.width & 0xFF);
      for (int i = 0; i < 16; ++i) s += static_cast<char>(1 + (n * 7 + i * 13) % 64);
      const auto strip = tiff_encode(b, o);
      s.append(strip.begin(), strip.end());
      const std::string path = std::string(argv[1]) + "/start" + std::to_string(n++);
      std::FILE* f = std::fopen(path.c_str(), "wb");
      if (f == nullptr) return 1;
      std::fwrite(s.data(), 1, s.size(), f);
      std::fclose(f);
    }
  }
  return 0;
}
