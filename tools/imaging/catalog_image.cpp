// Packing a generated illustration for the writer.
#include "tools/imaging/catalog_image.h"

#include "tools/imaging/tiff_codec.h"

namespace zk::imaging {

writer::PackedImageSpec packed_illustration(const Illustration& illustration, const std::string& ident,
                                            uint32_t header_no) {
  writer::PackedImageSpec spec;
  spec.header_no = header_no;
  spec.ident = ident;
  spec.width = static_cast<uint16_t>(illustration.bitmap.width);
  spec.height = static_cast<uint16_t>(illustration.bitmap.height);
  spec.coded = encode_illustration(illustration.bitmap);
  for (const Callout& c : illustration.callouts) {
    writer::CodedText t;
    t.numbers = {static_cast<uint16_t>(c.left), static_cast<uint16_t>(c.top), static_cast<uint16_t>(c.right),
                 static_cast<uint16_t>(c.bottom)};
    t.count = 1;
    t.text = (std::to_string(c.number) + " " + c.part).substr(0, image::kTextSize);
    spec.texts.push_back(t);
  }
  return spec;
}

}  // namespace zk::imaging
