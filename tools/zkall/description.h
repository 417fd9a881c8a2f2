// The installation description: a text file that says what a catalog
// installation holds (configuration, drives, discs, file sets and their
// records), from which `zkall build` lays the installation out. The format
// is documented in tools/zkall/README.md.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zk::tool {

// A mistake in a description, with its line number.
class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(int line, const std::string& what)
      : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

struct DiscSpec {
  std::string id;      // two characters
  std::string date;    // eight characters
  std::string number;  // two characters
  std::string label_text;
  std::string second_id;  // the master header's second disc id (hands over)
  bool installed = true;
  int line = 0;
};

enum class Where { Disc, HardDisk, Master, OtherDisc };

// How the letters of a set's index keys are written (the catalog writer's
// IndexKeyCase).
enum class KeyCase { Upper, Lower, Record };

// A field of a record line: a text of `width` bytes, blank-padded, or a
// decimal number written as 16 bits in native byte order ("u16").
struct FieldSpec {
  int width = 0;
  bool u16 = false;
};

// A further index set over a set's data file (the second and third index
// sets of JOUHOU.DAT): its level names' suffix, file kind number and key.
struct AlternateIndex {
  std::string suffix;
  int kind = 0;
  int key_offset = 0;
  int key_length = 0;
};

struct SetDescription {
  std::string disc;     // the disc whose master file lists the set
  std::string name;     // data file name
  std::string catalog;  // catalog code, or empty for the disc's root
  Where where = Where::Disc;
  std::string other_disc;  // with Where::OtherDisc
  int kind = 0;
  int record_length = 0;
  int key_offset = 0;
  int key_length = 0;
  std::optional<int> index_key_length;
  int levels = 3;
  std::vector<int> level_masks{3, 3, 3};
  int data_mask = 2;
  std::string suffix = "IA";
  KeyCase index_case = KeyCase::Upper;
  std::vector<AlternateIndex> alternates;
  std::vector<FieldSpec> fields;     // a record line's fields
  std::vector<std::string> records;  // record_length bytes each
  int line = 0;
};

// Illustrations of a disc, in its image file IMAGEF.DAT: drawn by the
// imaging tools from a number each, coded and packed as the catalog stores
// them.
struct ImageSetDescription {
  std::string disc;
  Where where = Where::Disc;  // Disc or HardDisk
  int width = 1616;
  int height = 1158;
  std::vector<std::pair<std::string, uint32_t>> images;  // identifier, drawing number
  int line = 0;
};

// A hard-disk indexed set (prices): listed by the master file PRICE.MST
// (master "PRICE") or LOCALP.MST ("LOCALP") in that directory, or in
// another directory given with `dir`.
struct HdSetDescription {
  std::string master;  // "PRICE" or "LOCALP"
  std::string dir;     // a Windows directory, or empty for the configured one
  std::string name;    // the data file's written name ("KAKAKU.D")
  std::string index;   // the index file's name; default <stem>.IA
  int kind = 0;
  int record_length = 0;
  int key_offset = 0;
  int key_length = 0;
  int levels = 2;
  std::vector<int> level_masks{3, 3, 3};
  int data_mask = 2;
  int block_size = 0;  // 0: the writer's default
  std::vector<FieldSpec> fields;
  std::vector<std::string> records;
  int line = 0;
};

// A local price file pair LOCALP1 to LOCALP3 in the local-price directory.
struct LocalPriceDescription {
  int pair = 1;
  int key_offset = 0;
  int run_limit = 0;  // records per index entry; 0: one entry per key
  std::vector<FieldSpec> fields;
  std::vector<std::string> records;
  int line = 0;
};

struct Description {
  std::vector<std::string> config;                        // ZKDROM.SYS lines
  std::map<std::string, std::vector<std::string>> messages;  // by language code
  std::map<std::string, std::vector<std::string>> screens;
  std::map<char, std::string> drives;  // drive letter -> disc id ("" empty)
  std::vector<DiscSpec> discs;
  std::vector<SetDescription> sets;
  std::vector<ImageSetDescription> images;
  std::vector<HdSetDescription> hd_sets;
  std::vector<LocalPriceDescription> local_prices;

  // A ZKDROM.SYS value, upper-cased as the library reads it ("" if absent).
  std::string config_value(const std::string& key) const;
  const DiscSpec* disc(const std::string& id) const;
};

// Reads a description; DescriptionError on the first mistake.
Description parse_description(const std::string& text);

}  // namespace zk::tool
