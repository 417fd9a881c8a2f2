// zkall: the command-line tool of the catalog library. Builds catalog
// installations from descriptions and reads them through the library.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/zkall/build.h"
#include "tools/zkall/commands.h"
#include "tools/zkall/description.h"
#include "tools/zkall/lookup_commands.h"

namespace {

const char* kUsage = R"(usage: zkall <command> [options]

Building an installation:
  zkall build <description> <dir>     lay an installation out from a description
                                      (format: tools/zkall/README.md)
  zkall insert <dir> <drive> <disc>   put a disc into a drive
  zkall eject <dir> <drive>           take the disc out of a drive

Reading an installation (--install <dir>, or $ZKALL_INSTALL):
  zkall discs                         installed discs, drives, discs at hand
  zkall sets <disc> [<catalog>]       the file sets a master file lists
  zkall find <disc> <file> <key>      records found by key (prefix)
  zkall dump <disc> <file>            every record of a set, in order
      options of find and dump: --catalog <code>  --kind <n>  --frame
  zkall image <disc> <location> <out> an illustration (location record: 6 digits of
                                      first block, 3 of blocks) decoded to <out>.bmp
                                      and <out>.png, with its coded texts
  zkall name <code>                   a part name (get_hinmei)
  zkall figure <catalog> <figure>     a figure name of a catalog (get_figmei)
  zkall abbr <abbreviation>           an abbreviation explained (VBryak_get_mean)
  zkall vin <VIN> [<CCYYMM>|<model>]...  the vehicles of a VIN in JOUHOU.TMP, narrowed
                                      by a production month or a model code each step
  zkall symbols <catalog>             the symbol list VCLINF.TMP of a catalog
      options of these: --disc <id> (default: the current area's first disc)
                        --lang <nn> (default: the configured data language)
  zkall price <part number>           prices through the price master (--selector 0-2
                                      picks the price of a three-price file)
  zkall localprice <pair> <key>       local prices of a key in LOCALP1 to LOCALP3
  zkall tour                          the guided tour of the demo installation

Prompts to insert a disc are shown on standard error and answered on the
terminal; without a terminal they are answered Cancel.
)";

struct Args {
  std::vector<std::string> positional;
  std::string install;
  std::string catalog;
  int kind = 0;
  bool frame = false;
  zk::tool::LookupOptions lookup;
  int selector = 0;
};

Args parse(int argc, char** argv) {
  Args a;
  if (const char* env = std::getenv("ZKALL_INSTALL")) a.install = env;
  for (int i = 2; i < argc; ++i) {
    std::string s = argv[i];
    auto value = [&](const char* what) {
      if (i + 1 >= argc) throw std::runtime_error(std::string(what) + " needs a value");
      return std::string(argv[++i]);
    };
    if (s == "--install") a.install = value("--install");
    else if (s == "--catalog") a.catalog = value("--catalog");
    else if (s == "--kind") a.kind = std::stoi(value("--kind"));
    else if (s == "--frame") a.frame = true;
    else if (s == "--disc") a.lookup.disc = value("--disc");
    else if (s == "--lang") a.lookup.lang = value("--lang");
    else if (s == "--selector") a.selector = std::stoi(value("--selector"));
    else if (s.rfind("--", 0) == 0) throw std::runtime_error("unknown option " + s);
    else a.positional.push_back(s);
  }
  return a;
}

void need(const Args& a, size_t n, const char* what) {
  if (a.positional.size() != n) throw std::invalid_argument(what);
}

int run(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::cout << kUsage;
    return argc < 2 ? 2 : 0;
  }
  const std::string cmd = argv[1];
  Args a = parse(argc, argv);
  using namespace zk::tool;
  if (cmd == "build") {
    need(a, 2, "build <description> <dir>");
    std::ifstream in(a.positional[0], std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + a.positional[0]);
    std::stringstream text;
    text << in.rdbuf();
    const Description d = parse_description(text.str());
    build_installation(d, a.positional[1], std::cout);
    std::cout << "installation laid out in " << a.positional[1] << "\n";
    return 0;
  }
  if (cmd == "insert" || cmd == "eject") {
    need(a, cmd == "insert" ? 3 : 2, cmd == "insert" ? "insert <dir> <drive> <disc>" : "eject <dir> <drive>");
    const std::string& drive = a.positional[1];
    if (drive.empty() || !std::isalpha(static_cast<unsigned char>(drive[0])))
      throw std::invalid_argument("a drive is a letter");
    change_disc(a.positional[0], drive[0], cmd == "insert" ? a.positional[2] : std::string());
    return 0;
  }
  if (a.install.empty()) throw std::runtime_error("no installation: give --install <dir> or set ZKALL_INSTALL");
  // Paths of the user's are taken from where zkall was started, before the
  // library's current directory becomes the installation's.
  if (cmd == "image" && a.positional.size() == 3)
    a.positional[2] = std::filesystem::absolute(a.positional[2]).string();
  use_installation(a.install);
  SetQuery q;
  q.catalog = a.catalog;
  q.kind = a.kind;
  q.frame = a.frame;
  if (cmd == "discs") {
    need(a, 0, "discs");
    return command_discs(std::cout);
  }
  if (cmd == "sets") {
    if (a.positional.empty() || a.positional.size() > 2) throw std::invalid_argument("sets <disc> [<catalog>]");
    return command_sets(a.positional[0], a.positional.size() == 2 ? a.positional[1] : std::string(), std::cout);
  }
  if (cmd == "find") {
    need(a, 3, "find <disc> <file> <key>");
    q.disc = a.positional[0];
    q.file = a.positional[1];
    return command_find(q, a.positional[2], std::cout);
  }
  if (cmd == "dump") {
    need(a, 2, "dump <disc> <file>");
    q.disc = a.positional[0];
    q.file = a.positional[1];
    return command_dump(q, std::cout);
  }
  if (cmd == "image") {
    need(a, 3, "image <disc> <location> <out>");
    return command_image(a.positional[0], a.positional[1], a.positional[2], std::cout);
  }
  if (cmd == "name") {
    need(a, 1, "name <code>");
    return command_name(a.positional[0], a.lookup, std::cout);
  }
  if (cmd == "figure") {
    need(a, 2, "figure <catalog> <figure>");
    return command_figure(a.positional[0], a.positional[1], a.lookup, std::cout);
  }
  if (cmd == "abbr") {
    need(a, 1, "abbr <abbreviation>");
    return command_abbr(a.positional[0], a.lookup, std::cout);
  }
  if (cmd == "vin") {
    if (a.positional.empty()) throw std::invalid_argument("vin <VIN> [<CCYYMM>|<model code>]...");
    return command_vin(a.positional[0], {a.positional.begin() + 1, a.positional.end()}, a.lookup, std::cout);
  }
  if (cmd == "symbols") {
    need(a, 1, "symbols <catalog>");
    return command_symbols(a.positional[0], a.lookup, std::cout);
  }
  if (cmd == "price") {
    need(a, 1, "price <part number>");
    return command_price(a.positional[0], a.selector, std::cout);
  }
  if (cmd == "localprice") {
    need(a, 2, "localprice <pair> <key>");
    return command_local_price(std::stoi(a.positional[0]), a.positional[1], std::cout);
  }
  if (cmd == "tour") {
    need(a, 0, "tour");
    return command_tour(std::cout);
  }
  throw std::invalid_argument("unknown command " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::invalid_argument& e) {
    std::cerr << "zkall: usage: zkall " << e.what() << " (zkall --help)\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "zkall: " << e.what() << "\n";
    return 1;
  }
}
