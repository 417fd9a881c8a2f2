// zkall image: an illustration copied out of a disc's image file, decoded
// to a monochrome BMP, written as PNG too, and its coded texts listed.
#include <cstring>
#include <filesystem>
#include <vector>

#include "tools/imaging/bmp_file.h"
#include "tools/imaging/png_file.h"
#include "tools/zkall/commands.h"
#include "tools/zkall/session.h"
#include "zkall.h"

namespace zk::tool {

namespace {
constexpr size_t kTextRecordSize = 22;
}

int show_image(Session& s, const std::string& disc, const std::string& location, const std::string& out_prefix,
               std::ostream& out) {
  // The packed image file goes to the work directory, as the front end
  // places it; its .TMP name has drom_term clean it up.
  get_ccar_addr()->catalog_disc = s.disc_index(disc);
  char pak[80] = "ZKIMAGE.TMP";
  get_path_name(0, -1, pak);
  int32_t detail = 0;
  int rc = make_pack_image_file(pak, location.c_str(), &detail);
  out << "   make_pack_image_file(\"" << pak << "\", \"" << location << "\") answered " << result_text(rc, detail)
      << "\n";
  if (rc != 0) return rc;

  const std::string bmp = std::filesystem::absolute(out_prefix + ".bmp").lexically_normal().string();
  const std::string png = std::filesystem::absolute(out_prefix + ".png").lexically_normal().string();
  std::filesystem::create_directories(std::filesystem::path(bmp).parent_path());
  zkall_image_header header{};
  rc = decord_img(pak, bmp.c_str(), &header);
  out << "   decord_img answered " << rc << ": illustration " << header.ident << ", " << header.width << " x "
      << header.height << " pixels, coding type " << header.coding_type << ", " << header.image_length
      << " bytes coded\n";
  if (rc != 0) return rc;
  imaging::write_png(imaging::read_bmp(bmp), png);
  out << "   written: " << bmp << "\n";
  out << "            " << png << "\n";

  if (header.text_length > 0) {
    std::vector<zkall_coded_text> texts(static_cast<size_t>(header.text_length) / kTextRecordSize + 1);
    rc = decord_text(pak, texts.data(), header.text_length, header.image_length);
    const size_t n = static_cast<size_t>(header.text_length) / kTextRecordSize;
    out << "   decord_text answered " << rc << ": " << n << " coded texts\n";
    for (size_t i = 0; i < n && rc == 0; ++i) {
      const zkall_coded_text& t = texts[i];
      out << "     " << std::string(t.text, sizeof t.text) << "  at (" << t.numbers[0] << "," << t.numbers[1]
          << ")-(" << t.numbers[2] << "," << t.numbers[3] << ")\n";
    }
  }
  return rc;
}

int command_image(const std::string& disc, const std::string& location, const std::string& out_prefix,
                  std::ostream& out) {
  Session s;
  return show_image(s, disc, location, out_prefix, out) == 0 ? 0 : 1;
}

}  // namespace zk::tool
