// Exporting an installation to SQLite: the sets of every master file, the
// price masters' sets and the illustrations with their coded texts.
#include "tools/zkall/export.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <span>
#include <stdexcept>
#include <vector>

#include "catalog/hd_format.h"
#include "catalog/master_file.h"
#include "platform/platform.h"
#include "tools/imaging/bmp_file.h"
#include "tools/imaging/png_file.h"
#include "tools/zkall/export_layouts.h"
#include "tools/zkall/session.h"
#include "zkall.h"

namespace zk::tool {

namespace fs = std::filesystem;

namespace {

constexpr size_t kBlock = 2048;
constexpr size_t kPackedHeader = 21;
constexpr size_t kTextRecord = 22;
constexpr uint32_t kMaxLocationBlocks = 999;  // three digits of a location record
constexpr uint32_t kMaxFirstBlock = 999999;    // and six of its first block

// ---- SQLite ------------------------------------------------------------------

class Database {
 public:
  explicit Database(const fs::path& path) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    fs::remove(path);
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
      const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      throw std::runtime_error("cannot create " + path.string() + ": " + why);
    }
    exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      const std::string why = err ? err : "?";
      sqlite3_free(err);
      throw std::runtime_error("SQLite: " + why + " in: " + sql);
    }
  }
  sqlite3* handle() { return db_; }
  void commit() { exec("COMMIT"); }

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement whose values are bound in order, then run.
class Insert {
 public:
  Insert(Database& db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &st_, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db.handle()) + " in: " + sql);
  }
  ~Insert() { sqlite3_finalize(st_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;

  Insert& text(std::string_view s) {
    sqlite3_bind_text(st_, ++at_, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Insert& blob(std::string_view s) {
    sqlite3_bind_blob(st_, ++at_, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Insert& integer(long long v) {
    sqlite3_bind_int64(st_, ++at_, v);
    return *this;
  }
  Insert& null() {
    sqlite3_bind_null(st_, ++at_);
    return *this;
  }
  void run() {
    if (sqlite3_step(st_) != SQLITE_DONE)
      throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_.handle()));
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
    at_ = 0;
  }

 private:
  Database& db_;
  sqlite3_stmt* st_ = nullptr;
  int at_ = 0;
};

// Whether a field is a column of records of `length` bytes: a text field
// that begins inside the record (one cut short by the record's end keeps
// what is there), a number that lies inside it whole.
bool fits(const Field& f, size_t length) { return f.int16 ? f.offset + f.width <= length : f.offset < length; }

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

// ---- the sets the master files list -------------------------------------------

struct SetRef {
  int32_t disc = 0;      // installed-disc index
  std::string disc_id;
  std::string catalog;   // empty: a root set
  std::string file;      // "HINM01.DAT"
  bool frame = false;    // listed by the frame-number master file
  catalog::MasterEntry entry;
  std::string table;
};

std::string fixed(const char* s, size_t n) { return std::string(s, strnlen(s, n)); }

std::string stem(const std::string& file) { return file.substr(0, file.find('.')); }

// The bytes of a file the library names (path kind and index), at most 1 MiB.
std::vector<uint8_t> read_named(uint32_t kind, int32_t index, const std::string& name) {
  char path[80] = {};
  if (name.size() >= sizeof path) return {};
  std::memcpy(path, name.data(), name.size());
  if (get_path_name(kind, index, path) != 0) return {};
  int err = 0;
  auto f = platform::current().fopen(path, "rb", err);
  if (!f) return {};
  std::vector<uint8_t> bytes(1 << 20);
  bytes.resize(f->read(bytes.data(), bytes.size()));
  f->close();
  return bytes;
}

// The data-file entries of a master file's bytes (`end`: where its entries stop).
std::vector<catalog::MasterEntry> data_entries(const std::vector<uint8_t>& bytes, size_t end) {
  std::vector<catalog::MasterEntry> out;
  end = std::min(end, bytes.size());
  for (size_t at = catalog::kMasterHeaderSize; at + catalog::kMasterEntrySize <= end; at += catalog::kMasterEntrySize) {
    const auto e = catalog::decode_master_entry(
        std::span<const uint8_t, catalog::kMasterEntrySize>(bytes.data() + at, catalog::kMasterEntrySize));
    const std::string name = catalog::entry_name(e);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".DAT") == 0) out.push_back(e);
  }
  return out;
}

// The catalog codes of a disc: its catalog master files "ZKcccccc.MST" in
// the installed directory.
std::vector<std::string> catalog_codes(int32_t disc) {
  char pattern[80] = "ZK*.MST";
  std::vector<std::string> codes;
  if (get_path_name(1, disc, pattern) != 0) return codes;
  platform::FindEntry e;
  uint32_t error = 0;
  auto finder = platform::current().find_first(pattern, e, error);
  if (!finder) return codes;
  do {
    if (e.name.size() == 12 && (e.attributes & platform::kAttrDirectory) == 0 && e.name != catalog::kRootMasterName &&
        e.name != catalog::kFrameMasterName)
      codes.push_back(e.name.substr(2, 6));
  } while (finder->next(e, error));
  std::sort(codes.begin(), codes.end());
  return codes;
}

std::vector<SetRef> listed_sets(Session& s) {
  std::vector<SetRef> sets;
  zkall_ctop& c = s.ctop();
  for (int32_t i = 0; i < c.disc_count && i < 30; ++i) {
    const std::string id = fixed(c.discs[i].disc_id, 2);
    if (id.size() != 2) continue;
    const bool frame = std::isalpha(static_cast<unsigned char>(id[1])) != 0;
    auto add = [&](const std::string& catalog, const std::vector<uint8_t>& bytes, size_t end) {
      for (const auto& e : data_entries(bytes, end)) {
        SetRef r{i, id, catalog, catalog::entry_name(e), frame, e, {}};
        r.table = id + "_" + (catalog.empty() ? "" : catalog + "_") + stem(r.file) +
                  (e.kind == 2 || e.kind == 3 ? "_k" + std::to_string(e.kind) : "");
        sets.push_back(std::move(r));
      }
    };
    if (frame) {
      add("", read_named(c.current_area == 3 ? 7u : 6u, i, catalog::kFrameMasterName), SIZE_MAX);
      continue;
    }
    add("", read_named(1, i, catalog::kRootMasterName), SIZE_MAX);
    for (const std::string& code : catalog_codes(i))
      add(code, read_named(1, i, "ZK" + code + ".MST"), catalog::kCatalogMasterMinSize);
  }
  return sets;
}

// ---- progress ----------------------------------------------------------------

class Progress {
 public:
  Progress(bool bar, size_t total) : bar_(bar), total_(total) {}
  ~Progress() {
    if (bar_ && shown_) std::cerr << "\r" << std::string(78, ' ') << "\r" << std::flush;
  }
  void step(const std::string& what) {
    ++done_;
    if (!bar_) return;
    constexpr size_t kWidth = 30;
    const size_t filled = total_ ? done_ * kWidth / total_ : kWidth;
    std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] " +
                       std::to_string(done_) + "/" + std::to_string(total_) + " " + what;
    line.resize(77, ' ');
    std::cerr << "\r" << line << std::flush;
    shown_ = true;
  }

 private:
  bool bar_;
  size_t total_;
  size_t done_ = 0;
  bool shown_ = false;
};

// ---- exporting ---------------------------------------------------------------

class Exporter {
 public:
  Exporter(Session& s, Database& db, const fs::path& images, std::ostream& out)
      : s_(s), db_(db), images_(images), out_(out) {
    db_.exec(
        "CREATE TABLE sets(table_name TEXT, disc TEXT, catalog TEXT, file TEXT, kind INTEGER, record_length INTEGER,"
        " key_offset INTEGER, key_length INTEGER, levels INTEGER, location INTEGER, records INTEGER, status TEXT);"
        "CREATE TABLE illustrations(disc TEXT, location TEXT, first_block INTEGER, blocks INTEGER,"
        " identifier TEXT, width INTEGER, height INTEGER, coding_type TEXT, texts INTEGER, png TEXT);"
        "CREATE TABLE coded_texts(disc TEXT, location TEXT, seq INTEGER, left INTEGER, top INTEGER,"
        " right INTEGER, bottom INTEGER, code INTEGER, count INTEGER, text TEXT)");
  }

  // A set's table from an open handle: every record in index order.
  long long records_table(const std::string& table, const std::string& file, zkall_cd_handle* h, bool hd,
                          int& last) {
    const auto fields = fields_of(file);
    std::string columns = "seq INTEGER, key TEXT, record BLOB", marks = "?,?,?";
    for (const Field& f : fields) {
      if (!fits(f, static_cast<size_t>(h->record_length))) continue;
      columns += std::string(", ") + f.column + (f.int16 ? " INTEGER" : " TEXT");
      marks += ",?";
    }
    db_.exec("CREATE TABLE " + quoted(table) + "(" + columns + ")");
    Insert ins(db_, "INSERT INTO " + quoted(table) + " VALUES(" + marks + ")");
    std::string rec(static_cast<size_t>(h->record_length), '\0');
    const size_t key_at = static_cast<size_t>(h->key_offset), key_len = static_cast<size_t>(h->key_length);
    int32_t detail = 0;
    long long n = 0;
    if (!hd) cdreopen(h, &detail);
    while ((last = hd ? hdread(rec.data(), nullptr, 0, h, &detail)
                      : cdread(rec.data(), nullptr, 0, 0, nullptr, nullptr, h, &detail)) == 0) {
      ins.integer(n++);
      ins.text(key_at < rec.size() ? std::string_view(rec).substr(key_at, key_len) : std::string_view());
      ins.blob(rec);
      for (const Field& f : fields) {
        if (!fits(f, rec.size())) continue;
        if (f.int16)
          ins.integer(field_int16(rec, f));
        else
          ins.text(field_text(rec, f));
      }
      ins.run();
    }
    return n;
  }

  void set_row(const SetRef& r, long long records, const std::string& status) {
    Insert(db_, "INSERT INTO sets VALUES(?,?,?,?,?,?,?,?,?,?,?,?)")
        .text(status == "exported" ? r.table : "")
        .text(r.disc_id)
        .text(r.catalog)
        .text(r.file)
        .integer(r.entry.kind)
        .integer(r.entry.record_length)
        .integer(r.entry.key_offset)
        .integer(r.entry.key_length)
        .integer(r.entry.levels)
        .integer(r.entry.location)
        .integer(records)
        .text(status)
        .run();
    if (status == "exported") {
      ++counts.sets;
      counts.records += records;
    } else if (status != "illustrations") {
      ++counts.skipped;
      out_ << "  skipped: disc " << r.disc_id << (r.catalog.empty() ? "" : " catalog " + r.catalog) << " " << r.file
           << ": " << status << "\n";
    }
  }

  void export_set(const SetRef& r) {
    if (r.entry.disc_id[0] > ' ') {
      set_row(r, 0, "lies on disc " + fixed(r.entry.disc_id.data(), 2) + ", exported there");
      return;
    }
    const bool images = r.file == "IMAGEF.DAT";
    if (r.entry.record_length == 0 && !images) {
      set_row(r, 0, "no records (read in blocks)");
      return;
    }
    zkall_cd_handle* h = nullptr;
    int32_t detail = 0;
    const int32_t read_mode = images ? 1 : 0;
    const int rc = r.frame ? fcdopen(r.file.c_str(), nullptr, r.entry.kind, read_mode, -1, r.disc, 700, &h, &detail)
                           : cdopen(r.file.c_str(), r.catalog.empty() ? nullptr : r.catalog.c_str(), r.entry.kind,
                                    read_mode, -1, r.disc, 700, &h, &detail);
    if (rc != 0) {
      set_row(r, 0, rc == 4 ? "disc not at hand" : "open answered " + result_text(rc, detail));
      return;
    }
    if (images) {
      const uint32_t blocks = cdfilelen(h);
      cdclose(&h, nullptr);
      set_row(r, illustrations(r, blocks), "illustrations");
      return;
    }
    int last = 0;
    const long long n = records_table(r.table, r.file, h, false, last);
    cdclose(&h, nullptr);
    set_row(r, n, last == -1 ? "exported" : "read answered " + std::to_string(last));
  }

  // The set a price master lists (path kind 2: PRICE.MST, 3: LOCALP.MST).
  void export_hd_set(int32_t kind, const std::string& master, const std::string& prefix) {
    const auto bytes = read_named(static_cast<uint32_t>(kind), -1, master);
    if (bytes.size() < catalog::kHdMasterSize) return;
    const char* name = reinterpret_cast<const char*>(bytes.data()) + 3 * catalog::kHdEntrySize;
    const std::string fixed_name(name, catalog::kHdNameSize);
    auto trim = [](std::string s) { return s.erase(s.find_last_not_of(' ') + 1); };
    SetRef r;
    r.disc_id = "";
    r.catalog = master;
    r.file = trim(fixed_name.substr(0, 8)) + "." + trim(fixed_name.substr(8, 3));
    r.table = prefix + "_" + stem(r.file);
    zkall_cd_handle* h = nullptr;
    int32_t detail = 0;
    const int rc = hdopen(fixed_name.c_str(), kind, &h, &detail);
    if (rc != 0) {
      set_row(r, 0, "open answered " + result_text(rc, detail));
      return;
    }
    r.entry.kind = static_cast<uint8_t>(h->file_kind);
    r.entry.record_length = static_cast<uint16_t>(h->record_length);
    r.entry.key_offset = static_cast<uint8_t>(h->key_offset);
    r.entry.key_length = static_cast<uint8_t>(h->key_length);
    r.entry.levels = static_cast<uint8_t>(h->level_count);
    int last = 0;
    const long long n = records_table(r.table, r.file, h, true, last);
    hdclose(&h);
    set_row(r, n, last == -1 ? "exported" : "read answered " + std::to_string(last));
  }

  // Every packed illustration of a disc's IMAGEF.DAT of `blocks` blocks.
  long long illustrations(const SetRef& r, uint32_t blocks) {
    Insert ill(db_, "INSERT INTO illustrations VALUES(?,?,?,?,?,?,?,?,?,?)");
    Insert txt(db_, "INSERT INTO coded_texts VALUES(?,?,?,?,?,?,?,?,?,?)");
    get_ccar_addr()->catalog_disc = r.disc;
    char pak[80] = "ZKEXPORT.TMP";
    get_path_name(0, -1, pak);
    long long n = 0;
    // A location record holds six digits of first block.
    for (uint32_t first = 0; first < blocks && first <= kMaxFirstBlock;) {
      char head[16];
      std::snprintf(head, sizeof head, "%06u001", first);
      int32_t detail = 0;
      if (make_pack_image_file(pak, head, &detail) != 0) break;
      zkall_image_header h{};
      if (decord_img(pak, nullptr, &h) != 0) break;
      const uint64_t bytes = kPackedHeader + static_cast<uint64_t>(std::max(h.image_length, 0)) +
                             static_cast<uint64_t>(std::max(h.text_length, 0));
      const uint64_t count = (bytes + kBlock - 1) / kBlock;
      if (count > kMaxLocationBlocks || first + count > blocks) {
        out_ << "  disc " << r.disc_id << ": IMAGEF.DAT holds no whole illustration at block " << first << "\n";
        break;
      }
      char location[16];
      std::snprintf(location, sizeof location, "%06u%03u", first, static_cast<unsigned>(count));
      if (make_pack_image_file(pak, location, &detail) != 0) break;
      std::string png;
      if (!images_.empty()) png = write_png(r.disc_id, location, pak);
      const size_t texts = static_cast<size_t>(std::max(h.text_length, 0)) / kTextRecord;
      ill.text(r.disc_id).text(location).integer(first).integer(static_cast<long long>(count)).text(fixed(h.ident, 7));
      ill.integer(h.width).integer(h.height).text(std::string(1, h.coding_type)).integer(static_cast<long long>(texts));
      (png.empty() ? ill.null() : ill.text(png)).run();
      if (texts > 0) {
        std::vector<zkall_coded_text> t(texts + 1);
        if (decord_text(pak, t.data(), h.text_length, h.image_length) == 0) {
          for (size_t i = 0; i < texts; ++i) {
            txt.text(r.disc_id).text(location).integer(static_cast<long long>(i));
            for (uint16_t v : t[i].numbers) txt.integer(v);
            txt.integer(t[i].code).integer(t[i].count).text(field_text(std::string_view(t[i].text, 12), {"", 0, 12}));
            txt.run();
          }
        }
      }
      ++n;
      ++counts.illustrations;
      first += static_cast<uint32_t>(count);
    }
    int err = 0;
    platform::current().remove(pak, err);
    return n;
  }

  // Decodes the packed image file to <images>/<disc>_<location>.png; the
  // PNG's name, or empty when it cannot be decoded.
  std::string write_png(const std::string& disc, const std::string& location, const char* pak) {
    fs::create_directories(images_);
    const fs::path png = images_ / (disc + "_" + location + ".png");
    const fs::path bmp = images_ / (disc + "_" + location + ".bmp");
    zkall_image_header h{};
    const int rc = decord_img(pak, bmp.c_str(), &h);
    if (rc == 0) {
      imaging::write_png(imaging::read_bmp(bmp.string()), png.string());
      ++counts.pngs;
    } else {
      out_ << "  " << disc << " " << location << ": decord_img answered " << rc << "\n";
    }
    fs::remove(bmp);
    return rc == 0 ? png.filename().string() : std::string();
  }

  ExportCounts counts;

 private:
  Session& s_;
  Database& db_;
  fs::path images_;
  std::ostream& out_;
};

}  // namespace

ExportCounts export_installation(const fs::path& db_path, const fs::path& images, std::ostream& out, bool bar) {
  int prompts = 0;
  // A disc that is not at hand is skipped: every prompt is answered Cancel.
  platform::current().set_message_box_answerer([&prompts](const std::string&, const std::string&, uint32_t) {
    ++prompts;
    return platform::kIdCancel;
  });
  Session s;
  Database db(db_path);
  Exporter x(s, db, images, out);
  const std::vector<SetRef> sets = listed_sets(s);
  Progress progress(bar, sets.size() + 2);
  for (const SetRef& r : sets) {
    progress.step(r.disc_id + " " + (r.catalog.empty() ? "" : r.catalog + " ") + r.file);
    x.export_set(r);
  }
  progress.step("PRICE.MST");
  x.export_hd_set(2, catalog::kPriceMasterName, "PRICE");
  progress.step("LOCALP.MST");
  x.export_hd_set(3, catalog::kLocalPriceMasterName, "LOCALP");
  db.commit();
  const ExportCounts& c = x.counts;
  out << "exported " << c.sets << " sets (" << c.records << " records) and " << c.illustrations << " illustrations"
      << (images.empty() ? "" : " (" + std::to_string(c.pngs) + " PNGs in " + images.string() + ")") << " to "
      << db_path.string() << "; " << c.skipped << (c.skipped == 1 ? " set" : " sets") << " skipped"
      << (prompts ? " (discs not at hand)" : "") << "\n";
  return c;
}

void print_query(const fs::path& db_path, const std::string& sql, std::ostream& out) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + db_path.string());
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    const std::string why = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error("SQLite: " + why);
  }
  out << "   sqlite> " << sql << "\n";
  while (sqlite3_step(st) == SQLITE_ROW) {
    out << "   |";
    for (int i = 0; i < sqlite3_column_count(st); ++i) {
      const auto* text = sqlite3_column_text(st, i);
      out << " " << (text ? reinterpret_cast<const char*>(text) : "NULL") << " |";
    }
    out << "\n";
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
}

}  // namespace zk::tool
