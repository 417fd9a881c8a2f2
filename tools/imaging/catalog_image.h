// Generated illustrations as the catalog stores them: coded as the catalog's
// illustrations are and packed by the writer, with one coded text per
// callout. What the demo installation's IMAGEF.DAT is made of.
#pragma once

#include <cstdint>
#include <string>

#include "tools/imaging/illustration.h"
#include "tools/writer/image_file.h"

namespace zk::imaging {

// The packed image of an illustration: its bitmap coded with
// encode_illustration, coding type '3', and a coded text per callout whose
// numbers are the callout's box, whose text is the callout number and the
// part's name ("20 WASHER"), count byte 1 and code byte 0.
writer::PackedImageSpec packed_illustration(const Illustration& illustration, const std::string& ident,
                                            uint32_t header_no = 0);

}  // namespace zk::imaging
