// T.4 / T.6 coding of bitmaps with libtiff's CCITT Group 3 and Group 4
// codecs, run on TIFF files kept in memory: the coder of the catalog's
// illustrations for the writer, and the independent encoder and decoder of
// the decoder's tests and benchmark. Encoding writes a one-strip TIFF and
// takes the strip's raw bytes back (TIFFReadRawStrip); decoding puts raw
// bytes into a one-strip TIFF and reads it with TIFFReadEncodedStrip.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/imaging/bitmap.h"

namespace zk::imaging {

enum class Coding {
  G3TwoDimensional,          // EOLs, tag bits, K from the vertical resolution
  G3TwoDimensionalAligned,   // the same, each EOL ending on a byte boundary
  G4,                        // T.6: no EOLs, every line two-dimensional, EOFB
};

struct EncodeOptions {
  Coding coding = Coding::G3TwoDimensional;
  // libtiff's Group 3 encoder codes every K-th line one-dimensionally, with
  // K 4 above 150 lines per inch and K 2 below (T.4's rule for fine and
  // standard resolution).
  float y_resolution = 196.0f;
};

// The raw coded strip of `bitmap`. Group 3 strips keep libtiff's RTC (the fax
// mode is set to FAXMODE_CLASSIC, which writes it), so they end with six EOLs
// and their tag bits, as the catalog's coded images do; Group 4 strips end
// with EOFB.
std::vector<uint8_t> tiff_encode(const Bitmap& bitmap, const EncodeOptions& options);

// The coding of the catalog's illustrations: Group 3 two-dimensional, EOLs
// not aligned, K 4, ending with RTC. std::runtime_error when libtiff fails.
std::vector<uint8_t> encode_illustration(const Bitmap& bitmap);

// Holds a one-strip TIFF in memory so that the same strip can be decoded by
// libtiff again and again (the benchmark's side of the comparison).
class TiffStripReader {
 public:
  TiffStripReader(const std::vector<uint8_t>& strip, int width, int height, const EncodeOptions& options);
  ~TiffStripReader();
  TiffStripReader(const TiffStripReader&) = delete;
  TiffStripReader& operator=(const TiffStripReader&) = delete;
  // Decodes the strip into `out` (height rows); false when libtiff refuses.
  bool decode(std::vector<uint8_t>& out);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zk::imaging
