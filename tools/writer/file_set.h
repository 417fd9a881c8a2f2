// The catalog writer's file sets: from records in memory, the bytes of an
// indexed catalog file set's data file and index levels, and the master
// entries that describe them.
//
// Records are written in key order (the folding order the engine searches
// by) into 2048-byte blocks, never straddling one; a block that is not full
// ends with a NUL record. Index levels are built from the bottom up: at a
// level searched with mask 3 an entry carries the highest key of its child
// range; at a level searched with mask 2 (or a mask-3 level asked to work
// per key) there is one entry per distinct key, whose child range covers
// every child block that key reaches, so consecutive ranges overlap where a
// key's records share a block with the next key's. By default entry keys
// are written with the letters a to z in upper case: an entry key then never
// lies above any spelling of a search key that folds to it, so a search that
// compares an entry it has taken with its key as stored never stops early.
// Real files may hold their index keys in lower or mixed case instead
// (IndexKeyCase): a search with an upper-case key then stops after the first
// child range it reaches, as the engine compares the last key taken as
// stored.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalog/master_file.h"

namespace zk::writer {

// How the letters of index entry keys are written.
enum class IndexKeyCase {
  Upper,   // A to Z (the default)
  Lower,   // a to z
  Record,  // as the record the key comes from spells it (the first such
           // record in file order)
};

struct SetSpec {
  std::string name;                 // data file name, at most 10 characters ("SHAMEI.DAT")
  std::string level_suffix = "IA";  // levels are <stem>.<suffix>1 .. 3 ("IA", "IS", "IK")
  uint8_t kind = 0;                 // file kind number (2, 3 alternate; 14, 15 without the sixth byte)
  uint8_t attribute = 0;            // master entry byte 10
  uint32_t record_length = 0;
  uint32_t key_offset = 0;
  uint32_t key_length = 0;
  // Index key length; default the key length (kinds 14 and 15: one less).
  std::optional<uint32_t> index_key_length;
  int levels = 3;                                  // 0 to 3
  std::array<uint8_t, 3> level_masks{3, 3, 3};     // top, middle, bottom
  uint8_t data_mask = 2;
  // Layout knobs: the default packs records and entries as tight as they fit.
  uint32_t records_per_block = 0;                   // at most this many records a block (0: all that fit)
  std::function<uint32_t(uint32_t)> block_records;  // or a count per data block number (0: all that fit)
  uint32_t entries_per_block = 0;                   // at most this many entries a block below the top
  std::array<bool, 3> per_key{};                    // a mask-3 level with one entry per key
  uint32_t group_blocks = 1;                        // child blocks per entry at a per-block level
  bool overlap = false;                             // per-block ranges also take in the block before
  bool keep_order = false;                          // write the records as given (no sorting)
  IndexKeyCase index_key_case = IndexKeyCase::Upper;  // letters of the index entry keys
  std::vector<std::string> records;                 // record_length bytes each
};

// A built set: file contents and its four master entries (top, middle,
// bottom, data) as files of their own (location kind 0, base block 0).
struct FileSet {
  SetSpec spec;
  std::string data;                              // whole blocks; empty for a set over another's data
  std::array<std::string, 3> levels;             // empty when the level is absent
  std::array<catalog::MasterEntry, 4> entries{};
  std::vector<std::vector<std::string>> blocks;  // the records of every data block, in file order
  uint32_t index_key_length = 0;
  uint32_t entry_length = 0;
};

// Builds a set; std::invalid_argument when the records or the layout cannot
// be written (a record of the wrong length or beginning with NUL, a key
// outside the record, an index key beginning with NUL, a top level that
// does not fit one block, child pointers beyond 6 / 3 digits ...).
FileSet build_set(const SetSpec& spec);

// Builds an alternate index set (file kind 2 or 3) over the data file of
// `main`, whose records stay in the main key's order: one bottom-level entry
// for every distinct index key in every data block that holds it. The set's
// data entry names main's data file; `spec.records` is not used. The levels
// above the bottom must be searched with mask 3, per block, without overlap.
FileSet build_alternate_set(const SetSpec& spec, const FileSet& main);

// The index key the writer derives from a record: the index key length
// bytes of the key field (kinds 14 and 15: of the key without its sixth
// byte), folded to lower case, which is the order the files are in.
std::string folded_index_key(const SetSpec& spec, const std::string& record);

// Name of level `level` (0 top .. 2 bottom) of a set: "SHAMEI.IA1".
std::string level_name(const SetSpec& spec, int level);

}  // namespace zk::writer
