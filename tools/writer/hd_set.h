// The catalog writer's hard-disk sets: the price files (KAKAKU.D, PRICE3.D)
// and any other set listed by a PRICE.MST or LOCALP.MST master file. From
// records in memory it makes the master file's 128 bytes, the data file and
// the index file, which holds the index levels one after the other, each at
// its base block (see catalog/hd_format.h for the layout).
//
// Records are sorted by their key in the order the engine searches (A-Z
// folded) and laid out in blocks of the set's block size, never straddling
// one; the last block is padded with zero bytes. A level searched with mask
// 3 has one entry per child block, carrying the highest key of the block;
// a level searched with mask 2 one entry per distinct key, whose range
// covers every child block holding it. Entry keys are written with a-z in
// upper case (see file_set.h for why).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zk::writer {

struct HdSetSpec {
  std::string data_name;   // written form, "KAKAKU.D"
  std::string index_name;  // written form of the index file, "KAKAKU.IA"
  uint8_t kind = 0;
  uint32_t record_length = 0;
  uint32_t key_offset = 0;
  uint32_t key_length = 0;                      // also the index key length
  int levels = 2;                               // 0 to 3
  std::array<uint8_t, 3> level_masks{3, 3, 3};  // top, middle, bottom
  uint8_t data_mask = 2;
  // Block size in bytes: 0 takes the largest multiple of the record length
  // up to 2048. It must be a multiple of the record length, and blocks hold
  // fewer than 256 records and entries.
  uint32_t block_size = 0;
  uint32_t records_per_block = 0;  // at most this many records a block (0: as many as fit)
  uint32_t entries_per_block = 0;  // at most this many entries a block below the top
  std::vector<std::string> records;
};

struct HdSet {
  std::string master;  // the 128 bytes of PRICE.MST / LOCALP.MST
  std::string data;    // the data file
  std::string index;   // the index file (empty without levels)
  std::string data_file;
  std::string index_file;
  uint32_t block_size = 0;
  std::array<uint32_t, 3> level_blocks{};      // blocks of each level (0: absent)
  std::vector<std::vector<std::string>> blocks;  // the records of each data block
};

// std::invalid_argument when the records or the layout cannot be written.
HdSet build_hd_set(const HdSetSpec& spec);

// The fixed 8.3 form of a written name: "KAKAKU.D" -> "KAKAKU  D  ".
std::string fixed_name(const std::string& written);

}  // namespace zk::writer
