// zkall export: a whole installation as an SQLite database (open data).
//
// Every file set that a root, frame-number or catalog master file of an
// installed disc lists becomes a table of its records, read through the
// library in index order: seq (the order read), key (the record's key
// bytes as text) and record (the record as a blob), then a column per
// field where the record layout is known (tools/zkall/export_layouts.h).
// Tables are named <disc>_<file stem>, <disc>_<catalog>_<file stem> for a
// catalog's sets, with _k<kind> for the alternate index sets (kinds 2 and
// 3); the price masters' sets are PRICE_<stem> and LOCALP_<stem> (in the
// sets table with no disc and the master's name as catalog).
//
//   sets(table_name, disc, catalog, file, kind, record_length, key_offset,
//        key_length, levels, location, records, status)
//        one row per set listed, exported or not; status is "exported",
//        "illustrations", or why it was skipped
//   illustrations(disc, location, first_block, blocks, identifier, width,
//        height, coding_type, texts, png)
//   coded_texts(disc, location, seq, left, top, right, bottom, code, count,
//        text)     the callout numbers and their rectangles
//
// The illustrations are found by walking each disc's IMAGEF.DAT from its
// first block, one packed illustration after another (its header gives the
// length of its coded image and texts), so that every illustration of the
// file is exported, whatever record points at it. With an images directory
// each is decoded (make_pack_image_file, decord_img) and written as
// <disc>_<location>.png.
//
// A set listed as lying on another disc is exported with that disc. A disc
// that is in no drive is never prompted for: the insert-disc prompt is
// answered Cancel, and its sets are reported and skipped.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

namespace zk::tool {

struct ExportCounts {
  int sets = 0;           // sets exported as tables
  int skipped = 0;        // sets listed but not exported
  long long records = 0;  // records in all tables
  int illustrations = 0;
  int pngs = 0;
};

// Exports the installation the library runs in (see use_installation) to
// the database `db` (replaced); `images` empty: no PNGs. Progress goes to
// `progress` when it is a terminal (`bar`), the summary to `out`.
ExportCounts export_installation(const std::filesystem::path& db, const std::filesystem::path& images,
                                 std::ostream& out, bool bar);

// Runs `sql` on the database `db` and prints its rows, columns separated by
// " | "; std::runtime_error when it cannot.
void print_query(const std::filesystem::path& db, const std::string& sql, std::ostream& out);

// The query the tour and the README show: a figure's part names and part
// numbers, joining the demo's part-number records of catalog 4711A0 (part
// name code as key, part number at byte 12, figure number at byte 26) to
// the part names and the figure names.
inline constexpr char kFigurePartsQuery[] =
    "SELECT f.figure_name, n.part_name, substr(CAST(b.record AS TEXT), 13, 12) AS part_number "
    "FROM E1_4711A0_HINBAN b JOIN E1_HINM01 n ON n.part_name_code = b.key "
    "JOIN E1_FIGM01 f ON f.catalog_code = '4711A0' AND f.figure_number = substr(CAST(b.record AS TEXT), 27, 4) "
    "WHERE f.figure_number = '1020' ORDER BY part_number";

}  // namespace zk::tool
