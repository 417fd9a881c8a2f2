// Keyed lookups in a one-million-record indexed catalog file set with three
// index levels (cdreopen, then cdread with a random key), against SQLite
// looking up the same keys in a WITHOUT ROWID table through a prepared
// statement, in the same run. A counting platform tells how many blocks
// reach the files per lookup: the first lookup on a fresh handle, a run of
// random lookups on one handle (whose index blocks the index-block cache
// keeps), and the front end's pattern, which opens the set, looks up one
// name and closes it again, for the names of the parts of one figure: with
// the engine's calls on the set above, and through get_hinmei on a part-name
// file of 100,000 names on an installed disc (master file and all).
// After the run one table gives both rates and their ratio in processor and
// in wall time, another the block reads.
//
//   scripts/bench.sh catalog
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_table.h"
#include "platform/posix/posix_platform.h"
#include "support/installation.h"
#include "tools/writer/disc_layout.h"
#include "tools/writer/file_set.h"
#include "tools/writer/master_writer.h"
#include "tools/writer/open_set.h"
#include "zkall.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 1000000;
constexpr uint32_t kRecordLength = 64;
constexpr uint32_t kKeyLength = 10;
constexpr int kLevels = 3;
constexpr size_t kProbes = 1 << 16;
constexpr size_t kFigureParts = 50;  // part names of one figure

// The POSIX platform, counting the reads that reach the files.
class CountingPlatform : public zk::platform::PosixPlatform {
 public:
  CountingPlatform() : PosixPlatform(std::string()) {}
  int64_t reads = 0;

 protected:
  int64_t do_read(int fd, void* buf, size_t n, int& error) override {
    ++reads;
    return PosixPlatform::do_read(fd, buf, n, error);
  }
};

std::string key_of(int i) {
  char k[16];
  std::snprintf(k, sizeof k, "K%09d", i * 7 + 3);
  return k;
}

// The file set and the database, built once for both benchmarks.
struct Data {
  fs::path dir;
  std::vector<std::string> probes;  // random keys, every one present
  CountingPlatform platform;
  zkall_cd_handle* handle = nullptr;
  zk::writer::PlacedSet placed;
  uint32_t index_blocks[kLevels] = {};
  sqlite3* db = nullptr;
  sqlite3_stmt* select = nullptr;

  Data() {
    dir = fs::temp_directory_path() / ("zkall-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    zk::platform::install(&platform);

    zk::writer::SetSpec spec;
    spec.name = "BENCH.DAT";
    spec.kind = 1;
    spec.record_length = kRecordLength;
    spec.key_length = kKeyLength;
    spec.levels = kLevels;
    spec.keep_order = true;  // written in key order already
    spec.records.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      std::string r = key_of(i);
      r.resize(kRecordLength, static_cast<char>('a' + i % 26));
      spec.records.push_back(std::move(r));
    }
    const zk::writer::FileSet set = zk::writer::build_set(spec);
    for (int i = 0; i < kLevels; ++i) index_blocks[i] = set.entries[static_cast<size_t>(i)].size;
    placed = zk::writer::place_set(set, 0);
    zk::writer::write_files(dir.string(), placed.contents);
    int32_t detail = 0;
    if (zk::writer::open_placed_set(placed, dir.string(), 0, &handle, detail) != 0) std::abort();

    sqlite3_open((dir / "bench.db").string().c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "CREATE TABLE t(k BLOB PRIMARY KEY, v BLOB) WITHOUT ROWID; BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?)", -1, &insert, nullptr);
    for (const std::string& r : spec.records) {
      sqlite3_bind_blob(insert, 1, r.data(), kKeyLength, SQLITE_STATIC);
      sqlite3_bind_blob(insert, 2, r.data() + kKeyLength, kRecordLength - kKeyLength, SQLITE_STATIC);
      if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db, "SELECT v FROM t WHERE k = ?", -1, &select, nullptr);

    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pick(0, kRecords - 1);
    for (size_t i = 0; i < kProbes; ++i) probes.push_back(key_of(pick(rng)));
  }

  ~Data() {
    cdclose(&handle, nullptr);
    sqlite3_finalize(select);
    sqlite3_close(db);
    zk::platform::install(nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Data& data() {
  static Data d;
  return d;
}

// The front end's side: the standard test installation with the library
// started in it, disc E1 in drive D: holding HINM01.DAT (part names, 66-byte
// records keyed by a 6-character code, three index levels), and a platform
// that counts the reads of the part-name files apart from all others.
constexpr int kPartNames = 100000;

class FrontEndPlatform : public zk::test::TestPlatform {
 public:
  using TestPlatform::TestPlatform;
  int64_t name_reads = 0;   // reads of HINM01.DAT and its levels
  int64_t other_reads = 0;  // master files and the rest

 protected:
  int do_open(const std::string& path, int flags, int perm, int& error) override {
    const int fd = TestPlatform::do_open(path, flags, perm, error);
    if (fd >= 0) name_file_[fd] = path.find("HINM01.") != std::string::npos;
    return fd;
  }
  int64_t do_read(int fd, void* buf, size_t n, int& error) override {
    ++(name_file_[fd] ? name_reads : other_reads);
    return TestPlatform::do_read(fd, buf, n, error);
  }

 private:
  std::map<int, bool> name_file_;
};

std::string part_code(int i) {
  char k[8];
  std::snprintf(k, sizeof k, "%06d", i * 9 + 100000);
  return k;
}

struct FrontEnd {
  zk::test::Installation inst;
  std::unique_ptr<FrontEndPlatform> counting;
  std::vector<std::string> figure;  // the part name codes of one figure

  FrontEnd() {
    inst.lay_out_standard();
    if (drom_init() != 0) std::abort();
    zk::writer::SetSpec spec;
    spec.name = "HINM01.DAT";
    spec.kind = 7;
    spec.record_length = 66;
    spec.key_length = 6;
    spec.levels = 3;
    spec.keep_order = true;
    for (int i = 0; i < kPartNames; ++i) {
      std::string r = part_code(i) + "PART NAME " + std::to_string(i);
      r.resize(66, ' ');
      spec.records.push_back(std::move(r));
    }
    zk::writer::Disc e1;
    e1.header = zk::writer::master_header("19990401", "E1", "01", '1');
    e1.root_sets.push_back({zk::writer::build_set(spec), 0, ""});
    zk::writer::lay_out_disc(e1, zk::test::host_path(inst.drive_root('c'), "CAT\\MST\\E1").string(),
                             inst.drive_root('d').string());
    counting = std::make_unique<FrontEndPlatform>((inst.root() / "dosdevices").string());
    zk::platform::install(counting.get());
    std::mt19937 rng(777);
    std::uniform_int_distribution<int> pick(0, kPartNames - 1);
    for (size_t i = 0; i < kFigureParts; ++i) figure.push_back(part_code(pick(rng)));
  }
  ~FrontEnd() {
    zk::platform::install(&inst.platform());
    drom_term();
  }
};

// cdreopen and cdread with the key, as every caller searches: whether the
// record came.
bool lookup(zkall_cd_handle* h, const std::string& key, std::string& record) {
  int32_t detail = 0;
  cdreopen(h, &detail);
  return cdread(record.data(), key.data(), kKeyLength, 0, nullptr, nullptr, h, &detail) == 0 &&
         record.compare(0, kKeyLength, key) == 0;
}

zkall_cd_handle* open_fresh(Data& d) {
  zkall_cd_handle* h = nullptr;
  int32_t detail = 0;
  if (zk::writer::open_placed_set(d.placed, d.dir.string(), 0, &h, detail) != 0) std::abort();
  return h;
}

// Block reads of the first lookup on a handle just opened.
double first_lookup_reads(Data& d) {
  zkall_cd_handle* h = open_fresh(d);
  std::string record(kRecordLength, '\0');
  d.platform.reads = 0;
  if (!lookup(h, d.probes[0], record)) std::abort();
  const auto reads = static_cast<double>(d.platform.reads);
  cdclose(&h, nullptr);
  return reads;
}

void BM_ZkallKeyedLookup(benchmark::State& state) {
  Data& d = data();
  std::string record(kRecordLength, '\0');
  size_t i = 0;
  d.platform.reads = 0;
  for (auto _ : state) {
    if (!lookup(d.handle, d.probes[i++ & (kProbes - 1)], record)) {
      state.SkipWithError("a key was not found");
      break;
    }
    benchmark::DoNotOptimize(record.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["blocks_per_lookup"] =
      static_cast<double>(d.platform.reads) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["index_blocks"] = d.index_blocks[0] + d.index_blocks[1] + d.index_blocks[2];
}

// The front end's pattern: the names of the parts of one figure, each
// looked up on a set opened for it and closed after it (as get_hinmei
// does, without the master file).
void BM_ZkallFigurePartNames(benchmark::State& state) {
  Data& d = data();
  std::string record(kRecordLength, '\0');
  size_t i = 0;
  d.platform.reads = 0;
  for (auto _ : state) {
    zkall_cd_handle* h = open_fresh(d);
    const bool found = lookup(h, d.probes[i++ % kFigureParts], record);
    cdclose(&h, nullptr);
    if (!found) {
      state.SkipWithError("a key was not found");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["blocks_per_lookup"] =
      static_cast<double>(d.platform.reads) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
}

void BM_SqliteKeyedLookup(benchmark::State& state) {
  Data& d = data();
  size_t i = 0;
  for (auto _ : state) {
    const std::string& key = d.probes[i++ & (kProbes - 1)];
    sqlite3_bind_blob(d.select, 1, key.data(), kKeyLength, SQLITE_STATIC);
    if (sqlite3_step(d.select) != SQLITE_ROW) {
      state.SkipWithError("a key was not found");
      break;
    }
    benchmark::DoNotOptimize(sqlite3_column_blob(d.select, 0));
    sqlite3_reset(d.select);
  }
  state.SetItemsProcessed(state.iterations());
}

// The part names of one figure through get_hinmei, as the front end asks
// for them (status 1: the first installed disc of the current area).
void BM_GetHinmeiFigureParts(benchmark::State& state) {
  static FrontEnd* front = nullptr;
  if (front == nullptr) {
    zk::platform::install(nullptr);
    static FrontEnd f;
    front = &f;
  }
  zk::platform::install(front->counting.get());
  char name[60];
  size_t i = 0;
  front->counting->name_reads = front->counting->other_reads = 0;
  for (auto _ : state) {
    uint16_t status = 1;
    if (get_hinmei(front->figure[i++ % kFigureParts].c_str(), name, &status) != 0 || status != 0) {
      state.SkipWithError("a part name was not found");
      break;
    }
    benchmark::DoNotOptimize(name);
  }
  const auto n = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.SetItemsProcessed(state.iterations());
  state.counters["blocks_per_lookup"] = static_cast<double>(front->counting->name_reads) / n;
  state.counters["other_reads"] = static_cast<double>(front->counting->other_reads) / n;
  zk::platform::install(&data().platform);
}

BENCHMARK(BM_ZkallKeyedLookup)->MinTime(2.0);
BENCHMARK(BM_SqliteKeyedLookup)->MinTime(2.0);
BENCHMARK(BM_ZkallFigurePartNames)->MinTime(1.0);
BENCHMARK(BM_GetHinmeiFigureParts)->MinTime(1.0);

// The console report, keeping each benchmark's lookups per second of
// processor time and of wall time (of the median when the runs are
// repeated) and its block reads per lookup.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  struct Rates {
    double cpu = 0;
    double wall = 0;
    double blocks = -1;
  };
  std::map<std::string, Rates> rates;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const bool usable = r.run_type == Run::RT_Iteration || r.aggregate_name == "median";
      if (!usable || r.error_occurred) continue;
      const double unit = benchmark::GetTimeUnitMultiplier(r.time_unit);
      Rates& x = rates[r.run_name.function_name];
      if (r.GetAdjustedCPUTime() > 0) x.cpu = unit / r.GetAdjustedCPUTime();
      if (r.GetAdjustedRealTime() > 0) x.wall = unit / r.GetAdjustedRealTime();
      if (const auto b = r.counters.find("blocks_per_lookup"); b != r.counters.end()) x.blocks = b->second.value;
      runs_per_rate = r.run_type == Run::RT_Iteration ? 1 : r.repetitions;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  int64_t runs_per_rate = 1;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Data& d = data();  // built before timing
  const double first_reads = first_lookup_reads(d);
  zk::bench::RatioTable table("Keyed lookups per second, one-million-record set", "sqlite");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto rate = [&](const char* name) {
    const auto it = reporter.rates.find(name);
    return it == reporter.rates.end() ? RatioReporter::Rates{} : it->second;
  };
  const auto zkall = rate("BM_ZkallKeyedLookup");
  const auto sqlite = rate("BM_SqliteKeyedLookup");
  table.add("random keys, processor time", zkall.cpu, sqlite.cpu);
  table.add("random keys, wall time", zkall.wall, sqlite.wall);
  table.print("median of " + std::to_string(reporter.runs_per_rate) + " runs");

  std::printf("\nBlock reads per lookup that reach the files (%d index levels, %u index blocks)\n", kLevels,
              d.index_blocks[0] + d.index_blocks[1] + d.index_blocks[2]);
  std::printf("%-58s %8.2f\n", "first lookup on a fresh handle", first_reads);
  if (zkall.blocks >= 0) std::printf("%-58s %8.2f\n", "random keys on one handle", zkall.blocks);
  const auto figure = rate("BM_ZkallFigurePartNames");
  if (figure.blocks >= 0)
    std::printf("%-58s %8.2f\n", "figure's 50 part names, open-lookup-close each", figure.blocks);
  const auto names = rate("BM_GetHinmeiFigureParts");
  if (names.blocks >= 0)
    std::printf("%-58s %8.2f\n", "figure's 50 part names through get_hinmei (100,000 names)", names.blocks);
  benchmark::Shutdown();
  return 0;
}
