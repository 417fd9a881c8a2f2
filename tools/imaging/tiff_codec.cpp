// libtiff's Group 3 / Group 4 codecs on in-memory TIFF files (see
// tiff_codec.h).
#include "tools/imaging/tiff_codec.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zk::imaging {

namespace {

// A file in memory behind TIFFClientOpen.
struct MemFile {
  std::vector<uint8_t> data;
  size_t pos = 0;
};

tmsize_t mem_read(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<MemFile*>(h);
  const size_t avail = f->pos < f->data.size() ? f->data.size() - f->pos : 0;
  const size_t take = std::min(avail, static_cast<size_t>(n));
  std::memcpy(buf, f->data.data() + f->pos, take);
  f->pos += take;
  return static_cast<tmsize_t>(take);
}

tmsize_t mem_write(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<MemFile*>(h);
  if (f->pos + static_cast<size_t>(n) > f->data.size()) f->data.resize(f->pos + static_cast<size_t>(n));
  std::memcpy(f->data.data() + f->pos, buf, static_cast<size_t>(n));
  f->pos += static_cast<size_t>(n);
  return n;
}

toff_t mem_seek(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<MemFile*>(h);
  size_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : f->data.size();
  f->pos = static_cast<size_t>(static_cast<int64_t>(base) + static_cast<int64_t>(off));
  return f->pos;
}

int mem_close(thandle_t) { return 0; }
toff_t mem_size(thandle_t h) { return static_cast<MemFile*>(h)->data.size(); }
int mem_map(thandle_t h, void** base, toff_t* size) {
  auto* f = static_cast<MemFile*>(h);
  *base = f->data.data();
  *size = f->data.size();
  return 1;
}
void mem_unmap(thandle_t, void*, toff_t) {}

TIFF* open_mem(MemFile& f, const char* mode) {
  f.pos = 0;
  return TIFFClientOpen("memory", mode, &f, mem_read, mem_write, mem_seek, mem_close, mem_size, mem_map,
                        mem_unmap);
}

void set_tags(TIFF* t, int width, int height, const EncodeOptions& o) {
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
  TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(t, TIFFTAG_XRESOLUTION, 204.0f);
  TIFFSetField(t, TIFFTAG_YRESOLUTION, o.y_resolution);
  if (o.coding == Coding::G4) {
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  } else {
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    uint32_t opts = GROUP3OPT_2DENCODING;
    if (o.coding == Coding::G3TwoDimensionalAligned) opts |= GROUP3OPT_FILLBITS;
    TIFFSetField(t, TIFFTAG_GROUP3OPTIONS, opts);
    // FAXMODE_CLASSIC keeps the RTC after the strip.
    TIFFSetField(t, TIFFTAG_FAXMODE, FAXMODE_CLASSIC);
  }
}

}  // namespace

std::vector<uint8_t> tiff_encode(const Bitmap& bitmap, const EncodeOptions& options) {
  MemFile file;
  TIFF* t = open_mem(file, "w");
  if (t == nullptr) throw std::runtime_error("TIFFClientOpen for writing failed");
  set_tags(t, bitmap.width, bitmap.height, options);
  std::vector<uint8_t> copy = bitmap.bytes;  // libtiff may scribble on the buffer
  if (TIFFWriteEncodedStrip(t, 0, copy.data(), static_cast<tmsize_t>(copy.size())) < 0) {
    TIFFClose(t);
    throw std::runtime_error("TIFFWriteEncodedStrip failed");
  }
  TIFFClose(t);

  t = open_mem(file, "r");
  if (t == nullptr) throw std::runtime_error("TIFFClientOpen for reading failed");
  const tmsize_t raw = TIFFRawStripSize(t, 0);
  std::vector<uint8_t> strip(static_cast<size_t>(raw));
  const tmsize_t got = TIFFReadRawStrip(t, 0, strip.data(), raw);
  TIFFClose(t);
  if (got != raw) throw std::runtime_error("TIFFReadRawStrip failed");
  return strip;
}

std::vector<uint8_t> encode_illustration(const Bitmap& bitmap) {
  return tiff_encode(bitmap, {Coding::G3TwoDimensional, 196.0f});
}

struct TiffStripReader::Impl {
  MemFile file;
  TIFF* tiff = nullptr;
  size_t size = 0;
};

TiffStripReader::TiffStripReader(const std::vector<uint8_t>& strip, int width, int height,
                                 const EncodeOptions& options)
    : impl_(std::make_unique<Impl>()) {
  TIFF* t = open_mem(impl_->file, "w");
  if (t == nullptr) throw std::runtime_error("TIFFClientOpen for writing failed");
  set_tags(t, width, height, options);
  std::vector<uint8_t> copy = strip;
  TIFFWriteRawStrip(t, 0, copy.data(), static_cast<tmsize_t>(copy.size()));
  TIFFClose(t);
  impl_->tiff = open_mem(impl_->file, "r");
  if (impl_->tiff == nullptr) throw std::runtime_error("TIFFClientOpen for reading failed");
  impl_->size = static_cast<size_t>((width + 7) / 8) * static_cast<size_t>(height);
}

TiffStripReader::~TiffStripReader() {
  if (impl_->tiff != nullptr) TIFFClose(impl_->tiff);
}

bool TiffStripReader::decode(std::vector<uint8_t>& out) {
  out.resize(impl_->size);
  return TIFFReadEncodedStrip(impl_->tiff, 0, out.data(), static_cast<tmsize_t>(out.size())) ==
         static_cast<tmsize_t>(out.size());
}

}  // namespace zk::imaging
