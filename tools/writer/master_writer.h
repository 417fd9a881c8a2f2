// The catalog writer's master files and the placing of file sets: as files
// of their own on a disc (location kind 0), as hard-disk copies whose middle
// and bottom levels are stored in the top level's file (1), or inside a
// catalog master file (2).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/master_file.h"
#include "tools/writer/file_set.h"

namespace zk::writer {

// The 32 bytes of a master file header or entry.
std::string encode_master_header(const catalog::MasterHeader& header);
std::string encode_master_entry(const catalog::MasterEntry& entry);

// A header from texts (each cut or NUL-padded to its width).
catalog::MasterHeader master_header(std::string_view date, std::string_view disc_id, std::string_view disc_no,
                                    uint8_t installed_byte = 0, std::string_view second_disc_id = {});

// A file to write: its name (relative to the directory it goes to) and bytes.
struct WrittenFile {
  std::string name;
  std::string bytes;
};

// A set placed somewhere: its four master entries (bases, sizes, location
// kind filled in), the physical file that holds each descriptor's run
// (empty for an absent one) and the files to write.
struct PlacedSet {
  std::array<catalog::MasterEntry, 4> entries{};
  std::array<std::string, 4> files;
  std::vector<WrittenFile> contents;
};

// Location kind 0: the data file and every present level as files of their
// own. Location kind 1: the data file, and one file named as the top level
// that holds the top, middle and bottom level one after the other. A set
// over another set's data file writes only its levels.
PlacedSet place_set(const FileSet& set, uint8_t location);

// Writes the files into `dir` (created when missing).
void write_files(const std::string& dir, const std::vector<WrittenFile>& files);

// A master file under construction. Root and frame-number master files hold
// their entries to the end of the file; a catalog master file holds at most
// 63 entries in its first 2048 bytes and the files stored inside it behind
// them, from block 1 on. Byte 15 of every entry (entries sharing its name)
// is counted when the bytes are made.
class MasterFile {
 public:
  explicit MasterFile(catalog::MasterHeader header, bool catalog = false);

  // Adds entries as they stand.
  void add_entries(const std::array<catalog::MasterEntry, 4>& entries);
  // Adds a placed set's entries; with `disc_id` (another disc's id) every
  // entry names the disc that holds the files.
  void add(const PlacedSet& placed, std::string_view disc_id = {});
  // Stores the set's files inside this catalog master file (location kind
  // 2) and adds its entries. A set over another set's data file shares the
  // data file stored before it under that name. `file_name` is the master
  // file's own name, which the placed set's files name.
  PlacedSet store(const FileSet& set, const std::string& file_name);

  std::string bytes() const;
  size_t entry_count() const { return entries_.size(); }

 private:
  uint32_t append_blocks(const std::string& bytes);

  catalog::MasterHeader header_;
  bool catalog_;
  std::vector<catalog::MasterEntry> entries_;
  std::string stored_;                          // blocks 1 and on of a catalog master file
  std::map<std::string, std::pair<uint32_t, uint32_t>> stored_data_;  // data file name: base, size
};

// The name of a catalog's master file: "ZK" + catalog code + ".MST".
std::string catalog_master_name(std::string_view catalog_code);

}  // namespace zk::writer
