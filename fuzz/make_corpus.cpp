// Writes the starting corpus of every fuzz target into DIR/<target>/:
//
//   zkall_fuzz_corpus data/demo/installation.zkd fuzz/corpus
//
// The catalog targets start from the demo installation, laid out by the
// zkall tool (with its illustrations drawn small, so the inputs stay small)
// and read back as the files of the in-memory machine: every set of the demo
// opened and read, the configuration and the installed discs, the message
// and screen files. The image targets start from illustrations and drawings
// coded by the imaging tools (libtiff's coders).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "fuzz/catalog_support.h"
#include "fuzz/fuzz_support.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/catalog_image.h"
#include "tools/imaging/illustration.h"
#include "tools/imaging/tiff_codec.h"
#include "tools/writer/image_file.h"
#include "tools/zkall/build.h"
#include "tools/zkall/description.h"

namespace fs = std::filesystem;
using zk::fuzz::OpenRequest;
using zk::fuzz::OpenWay;

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string windows_path(const std::string& prefix, const fs::path& relative) {
  std::string out = prefix;
  for (const auto& part : relative) out += "\\" + part.string();
  return out;
}

class CorpusWriter {
 public:
  explicit CorpusWriter(fs::path dir) : dir_(std::move(dir)) {}
  void write(const std::string& target, const std::string& name, const std::string& control, const Files& files) {
    Files unique;  // a file given twice is written once
    for (const auto& f : files)
      if (std::none_of(unique.begin(), unique.end(), [&](const auto& u) { return u.first == f.first; }))
        unique.push_back(f);
    const std::string bytes = zk::fuzz::join_input(control, unique);
    write_raw(target, name, bytes);
  }
  void write_raw(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(dir_ / target);
    std::ofstream(dir_ / target / name, std::ios::binary | std::ios::trunc) << bytes;
    std::cout << target << "/" << name << ": " << bytes.size() << " bytes\n";
  }

 private:
  fs::path dir_;
};

// The demo installation as the files of the in-memory machine.
struct Machine {
  std::map<std::string, std::string> files;  // Windows path: bytes
  std::map<char, std::string> labels;        // drive: volume label
  std::vector<std::string> installed;        // disc ids in installed-table order
  std::vector<std::string> illustrations;    // location records of disc E1's illustrations

  int disc_index(const std::string& id) const {
    const auto it = std::find(installed.begin(), installed.end(), id);
    return it == installed.end() ? -1 : static_cast<int>(it - installed.begin());
  }
  // The files a set's input needs: the root and frame-number master files
  // (and the catalog master files for a set of a catalog), the message and
  // screen files, markers for the vehicle-name and image files (the
  // installed-disc check only asks whether they exist), the files of the
  // set itself, and the labels of the discs in the drives.
  Files for_set(const std::string& stem, bool catalog = false) const {
    Files out;
    for (const auto& [path, bytes] : files) {
      const std::string name = path.substr(path.rfind('\\') + 1);
      const std::string file_stem = name.substr(0, name.find('.'));
      const bool master = name == "ZKROOTMF.MST" || name == "ZKFRNOMF.MST" ||
                          (catalog && name.size() > 4 && name.compare(name.size() - 4, 4, ".MST") == 0);
      const bool texts = name.compare(0, 6, "ZKDROM") == 0;
      if (master || texts || file_stem == stem)
        out.emplace_back(path, bytes);
      else if (file_stem == "SHAMEI" || file_stem == "IMAGEF" || file_stem == "FRKATA")
        out.emplace_back(path, "");
    }
    for (const auto& [drive, label] : labels) out.emplace_back(std::string(1, drive) + ":", label);
    return out;
  }
};

Machine lay_out_demo(const std::string& description_path) {
  zk::tool::Description d = zk::tool::parse_description(read_file(description_path));
  for (auto& images : d.images) {
    images.width = 240;
    images.height = 160;
  }
  const fs::path dir = fs::temp_directory_path() / ("zkall-corpus-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  std::ostringstream log;
  zk::tool::build_installation(d, dir, log);

  Machine m;
  for (const auto& [from, to] : {std::pair{dir / "drives" / "c", "C:"}, std::pair{dir / "front", "C:\\FRONT"}})
    for (const auto& e : fs::recursive_directory_iterator(from))
      if (e.is_regular_file()) m.files[windows_path(to, fs::relative(e.path(), from))] = read_file(e.path());
  for (const auto& [letter, id] : d.drives) {
    if (id.empty()) continue;
    const fs::path root = dir / "discs" / id;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      if (!e.is_regular_file()) continue;
      if (e.path().filename() == ".windows-label") {
        std::string label = read_file(e.path());
        label.erase(label.find_last_not_of("\r\n") + 1);
        m.labels[letter] = label;
      } else {
        m.files[windows_path(std::string(1, letter) + ":", fs::relative(e.path(), root))] = read_file(e.path());
      }
    }
  }
  // The installed-disc table: by area letter, then by id.
  for (const auto& disc : d.discs)
    if (disc.installed) m.installed.push_back(disc.id);
  const std::string areas = "EGUJ";
  std::sort(m.installed.begin(), m.installed.end(), [&](const std::string& a, const std::string& b) {
    const size_t ra = areas.find(a[0]);
    const size_t rb = areas.find(b[0]);
    return ra != rb ? ra < rb : a < b;
  });
  for (const auto& e : zk::tool::read_illustrations(dir))
    if (e.disc == "E1") m.illustrations.push_back(e.location);
  fs::remove_all(dir);
  return m;
}

// ---- control bytes ------------------------------------------------------------

struct Bytes {
  std::string s;
  Bytes& b(int v) {
    s += static_cast<char>(v & 0xFF);
    return *this;
  }
  Bytes& u16(uint32_t v) { return b(static_cast<int>(v)).b(static_cast<int>(v >> 8)); }
  Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Bytes& text(const std::string& t) {
    s += t;
    return *this;
  }
};

std::string key_of(const zk::tool::SetDescription& s, size_t i) {
  return s.records[i].substr(static_cast<size_t>(s.key_offset), static_cast<size_t>(s.key_length));
}

OpenRequest request_for(const Machine& m, const zk::tool::SetDescription& s) {
  OpenRequest r;
  const bool frame = s.disc.size() == 2 && !(s.disc[1] >= '0' && s.disc[1] <= '9');
  r.way = !s.catalog.empty() ? OpenWay::Catalog : frame ? OpenWay::Frame : OpenWay::Root;
  r.name = s.name;
  r.catalog_code = s.catalog;
  r.kind = static_cast<uint8_t>(s.catalog.empty() ? s.kind : 1);
  r.disc = m.disc_index(s.disc);
  return r;
}

// Engine operations (see engine_fuzz.cpp).
void keyed_read(Bytes& c, const std::string& key, int blocks = 0) {
  c.b(1).b(static_cast<int>(key.size())).text(key).b(blocks);
}

void write_engine(CorpusWriter& out, const Machine& m, const zk::tool::Description& d) {
  int n = 0;
  std::vector<std::string> kinds_written;  // one set of each kind of name and place
  for (const auto& s : d.sets) {
    if (m.disc_index(s.disc) < 0 || s.records.empty()) continue;
    const std::string kind_of_set =
        s.name.substr(0, 4) + std::to_string(static_cast<int>(s.where)) + (s.catalog.empty() ? "r" : "c");
    if (std::find(kinds_written.begin(), kinds_written.end(), kind_of_set) != kinds_written.end()) continue;
    kinds_written.push_back(kind_of_set);
    const OpenRequest r = request_for(m, s);
    Bytes c;
    c.b(0).text(zk::fuzz::write_open_request(r));
    Bytes ops;
    int count = 0;
    auto op = [&](const Bytes& b) {
      ops.text(b.s);
      ++count;
    };
    for (size_t i : {size_t{0}, s.records.size() / 2, s.records.size() - 1}) {
      op(Bytes().b(0));  // each search starts afresh
      Bytes k;
      keyed_read(k, key_of(s, i));
      op(k);
      op(k);
    }
    op(Bytes().b(0));
    op(Bytes().b(2).b(0));
    op(Bytes().b(2).b(0));
    op(Bytes().b(3).b(1).b(0));
    op(Bytes().b(2).b(0));
    op(Bytes().b(0));
    op(Bytes().b(4).b(static_cast<int>(key_of(s, s.records.size() - 1).size())).text(key_of(s, s.records.size() - 1)));
    op(Bytes().b(2).b(0));
    op(Bytes().b(5));
    Bytes missing;
    keyed_read(missing, std::string(static_cast<size_t>(s.key_length), 'Z'));
    op(missing);
    op(Bytes().b(6).b(3).b(1));
    op(Bytes().b(7).b(3).u16(0));
    c.b(count).text(ops.s);
    std::string stem = s.name.substr(0, s.name.find('.'));
    out.write("engine", "set" + std::to_string(n++) + "-" + s.disc + "-" + stem, c.s,
              m.for_set(stem, !s.catalog.empty()));
  }
  // The image file in block mode: an illustration's blocks, four and one at a time.
  OpenRequest img;
  img.name = "IMAGEF.DAT";
  img.read_mode = 1;
  img.disc = m.disc_index("E1");
  Bytes c;
  c.b(0).text(zk::fuzz::write_open_request(img));
  c.b(5).b(3).b(0x81).u32(0).b(2).b(4).b(2).b(1).b(3).b(0x81).u32(1).b(2).b(5);
  out.write("engine", "imagef-blocks", c.s, m.for_set("IMAGEF"));
}

void write_open(CorpusWriter& out, const Machine& m, const zk::tool::Description& d) {
  auto find = [&](const std::string& disc, const std::string& name, const std::string& catalog) -> OpenRequest {
    for (const auto& s : d.sets)
      if (s.disc == disc && s.name == name && s.catalog == catalog) return request_for(m, s);
    throw std::runtime_error("the demo has no set " + disc + " " + name);
  };
  auto all_files = [&]() {
    Files f;
    for (const auto& [path, bytes] : m.files) {
      const bool big = bytes.size() > 4096 && path.find(".MST") == std::string::npos;
      f.emplace_back(path, big ? std::string() : bytes);
    }
    for (const auto& [drive, label] : m.labels) f.emplace_back(std::string(1, drive) + ":", label);
    return f;
  };
  auto open_step = [](Bytes& c, const OpenRequest& r) { c.b(0).text(zk::fuzz::write_open_request(r)); };

  // The step count byte holds the steps less one.
  {  // Redirections: a set listed on one disc whose files lie on another, and
     // the sets of the root, a catalog inside its master file and on the disc.
    Bytes c;
    c.b(0).b(3);
    open_step(c, find("J1", "RYAKUG.DAT", ""));
    open_step(c, find("E1", "HINBAN.DAT", "4711A0"));
    open_step(c, find("E1", "HINBAN.DAT", "5200B1"));
    open_step(c, find("E1", "SHAMEI.DAT", ""));
    Files f = m.for_set("RYAKUG");
    for (auto& e : m.for_set("HINBAN", true)) f.push_back(e);
    out.write("open", "redirections", c.s, f);
  }
  {  // The frame-number master file, and a set whose disc is in no drive
     // (the prompt: Retry once, then Cancel).
    Bytes c;
    c.b(0).b(1);
    open_step(c, find("EA", "FRAMNO.DAT", ""));
    OpenRequest e2 = find("E2", "HINM01.DAT", "");
    e2.retries = 1;
    open_step(c, e2);
    Files f = m.for_set("FRAMNO");
    for (auto& e : m.for_set("HINM01")) f.push_back(e);
    out.write("open", "frame-and-prompt", c.s, f);
  }
  {  // Straight from the disc: cdopen_direct with the built-in file table,
     // cdfile_get, and the drive search.
    Bytes c;
    c.b(0).b(3);
    OpenRequest direct;
    direct.way = OpenWay::Direct;
    direct.name = "HINM01.DAT";
    direct.kind = 7;
    direct.disc_id = "E1";
    direct.disc_no = "01";
    direct.disc_date = "19990401";
    open_step(c, direct);
    direct.name = "IMAGEF.DAT";
    direct.read_mode = 1;
    direct.disc_date.clear();
    direct.size = 3;
    open_step(c, direct);
    c.b(2).text(zk::fuzz::write_open_request(find("E1", "HINM01.DAT", ""))).b(1);
    c.b(1).b(0).text("E1").b(0x13).text("01").text("19990401");
    Files f = m.for_set("HINM01");
    for (auto& e : m.for_set("IMAGEF")) f.push_back(e);
    out.write("open", "direct", c.s, f);
  }
  {  // An illustration copied out of IMAGEF.DAT.
    Bytes c;
    c.b(0).b(1);
    for (size_t i = 0; i < m.illustrations.size() && i < 2; ++i)
      c.b(3).b(m.disc_index("E1") + 1).text(m.illustrations[i]);
    out.write("open", "pack-image", c.s, m.for_set("IMAGEF"));
  }
  {  // Everything of the demo at once (large files as empty ones).
    Bytes c;
    c.b(0).b(5);
    open_step(c, find("E1", "HINM01.DAT", ""));
    open_step(c, find("E1", "FIGM01.DAT", ""));
    open_step(c, find("J1", "HINM02.DAT", ""));
    open_step(c, find("E2", "HINBAN.DAT", "6100C2"));
    open_step(c, find("E1", "RYAKUG.DAT", ""));
    c.b(1).b(2).text("J1").b(0);
    out.write("open", "whole-demo", c.s, all_files());
  }
}

void write_config(CorpusWriter& out, const Machine& m) {
  // The installed-disc check reads 32 header bytes of each master file and
  // asks whether the vehicle-name and image files exist.
  Files installation;
  for (const auto& [path, bytes] : m.files) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    if (name == "ZKROOTMF.MST" || name == "ZKFRNOMF.MST") installation.emplace_back(path, bytes.substr(0, 32));
    if (name == "SHAMEI.DAT" || name == "IMAGEF.DAT" || name == "FRKATA.DAT") installation.emplace_back(path, "");
  }
  for (const auto& [drive, label] : m.labels) installation.emplace_back(std::string(1, drive) + ":", label);
  const std::string demo_config = m.files.at("C:\\FRONT\\ZKDROM.SYS");
  const std::string ops = Bytes()
                              .b(0)  // no fault
                              .b(6)
                              .b(0).b(1).b(0).b(10).text("SHAMEI.DAT")
                              .b(1).b(4).b(40)
                              .b(2)
                              .b(3).text("E1").b('0').b('1')
                              .b(4).b(0)
                              .b(0).b(6).b(0xFF).b(2).text("*.")
                              .s;
  const std::vector<std::pair<std::string, std::string>> configs = {
      {"demo", demo_config},
      {"areas-and-lists",
       "ECRAM=c:\\zkwork\r\nECMST=C:\\ZKCAT\\MST\r\nECFIL=C:\\ZKCAT\\LIB\r\nLANGUAGE=german\r\nMENULANG=JAPANESE\r\n"
       "CDROM=D:,Q:,E:\r\nCRNTAREA=J\r\nECMSTALL=E:C,G:C,U:C,J:C\r\nFRAMEWLD=C:\\ZKCAT\\FRW\r\n"
       "FRAMEJPN=C:\\ZKCAT\\FRJ\r\nPRICE=D:\r\nLOCALP=c:\r\nEXPGPNHO=ONE,TWO,THREE\r\nEXPGFSAD=SOMETHING\r\n"},
      {"bad-line", "ECMST=C:\\ZKCAT\\MST\nLANGUAGE=ITALIAN\nCRNTAREA=E\n"},
      {"long-stretch", "ECMST=C:\\CATALOGUE9\\MST\nCRNTAREA=X\n\nECRAM=C:\\W\n"},
  };
  for (const auto& [name, config] : configs) {
    Files f = installation;
    f.emplace_back("C:\\FRONT\\ZKDROM.SYS", config);
    out.write("config", name, ops, f);
  }
}

void write_texts(CorpusWriter& out, const Machine& m) {
  Files f;
  for (const auto& [path, bytes] : m.files)
    if (path.find("ZKDROM01.") != std::string::npos) f.emplace_back(path, bytes);
  auto number = [](Bytes& c, uint16_t n) { c.b(0).u16(n); };
  Bytes c;
  c.b(0).b(14);
  c.b(0);
  number(c, 881);
  c.b(1);
  c.b(2);
  number(c, 111);
  c.b(2);
  number(c, 112);
  c.b(2);
  number(c, 126);
  c.b(3);
  number(c, 882);
  c.b(148);
  c.b(3);
  number(c, 883);
  c.b(20);
  c.b(4);
  number(c, 113);
  c.b(9);
  c.b(5);
  number(c, 881);
  c.b(0).b(0x0D).text("E1").text("01");
  c.b(5);
  number(c, 882);
  c.b(0xFF).b(0x05).text("JA").text("  ");
  c.b(6).b(1);
  c.b(0);
  number(c, 883);
  c.b(1);
  c.b(6).b(0);
  out.write("texts", "demo", c.s, f);
  // The same lookups with the lines cut and numbers repeated.
  Files cut;
  cut.emplace_back("C:\\ZKCAT\\LIB\\ZKDROM01.MSG", "001First line\n002A\n001Second line\n001\nXYZ\n999" +
                                                     std::string(90, 'x') + "\n");
  cut.emplace_back("C:\\FRONT\\ZKDROM01.SCR", "# comment\n0111 drive\r\n0112-Europe\n0113\n9999 " +
                                               std::string(120, 'y') + "\n");
  Bytes c2;
  c2.b(0).b(8);
  c2.b(0);
  number(c2, 1);
  c2.b(1);
  c2.b(1);
  c2.b(2);
  number(c2, 111);
  c2.b(2);
  number(c2, 112);
  c2.b(2);
  number(c2, 113);
  c2.b(3);
  number(c2, 999);
  c2.b(60);
  c2.b(4);
  number(c2, 9999);
  c2.b(80);
  out.write("texts", "edges", c2.s, cut);
}

void write_image(CorpusWriter& out) {
  struct Figure {
    int width;
    int height;
    uint32_t drawing;
  };
  int n = 0;
  for (const Figure& fig : {Figure{240, 160, 1010}, Figure{250, 170, 3510}, Figure{300, 160, 6101}}) {
    const zk::imaging::Illustration ill = zk::imaging::catalog_illustration(fig.width, fig.height, fig.drawing);
    const std::string packed = zk::writer::pack_image(zk::imaging::packed_illustration(ill, "FIG" + std::to_string(n)));
    const std::string name = "figure" + std::to_string(n++);
    out.write("image", name + "-bitmap", Bytes().b(0).b(0).s, {{"C:\\FIG.PCK", packed}});
    out.write("image", name + "-texts", Bytes().b(0).b(2).s, {{"C:\\FIG.PCK", packed}});
  }
  out.write("image", "texts-by-hand", Bytes().b(0).b(3).u16(45).u16(0).s,
            {{"C:\\FIG.PCK", std::string(21, '\0') + std::string(50, 'T')}});
}

void write_decoder(CorpusWriter& out) {
  using namespace zk::imaging;
  const Bitmap bitmaps[] = {line_drawing(120, 30, 1), text_page(97, 25, 2), noise(33, 9, 3), all_black(17, 4),
                            vertical_stripes(40, 3)};
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
      // The decoder's input is the header and the stream alone: no pieces.
      out.write_raw("decoder", "stream" + std::to_string(n++), s);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DEMO.zkd DIRECTORY\n", argv[0]);
    return 2;
  }
  try {
    const zk::tool::Description d = zk::tool::parse_description(read_file(argv[1]));
    const Machine m = lay_out_demo(argv[1]);
    CorpusWriter out(argv[2]);
    write_engine(out, m, d);
    write_open(out, m, d);
    write_config(out, m);
    write_texts(out, m);
    write_image(out);
    write_decoder(out);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
