// Keyed lookups in a one-million-record indexed catalog file set with three
// index levels (cdreopen, then cdread with a random key), against SQLite
// looking up the same keys in a WITHOUT ROWID table through a prepared
// statement, in the same run. A counting platform tells how many blocks each
// lookup reads, against the format's minimum of one block a level plus the
// data block. After the run a table gives both rates and their ratio.
//
//   cmake -S . -B build-cat-bench -DZKALL_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-cat-bench --target catalog_lookup_bench -j2
//   build-cat-bench/bench/catalog_lookup_bench
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
    const zk::writer::PlacedSet placed = zk::writer::place_set(set, 0);
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

void BM_ZkallKeyedLookup(benchmark::State& state) {
  Data& d = data();
  std::string record(kRecordLength, '\0');
  size_t i = 0;
  d.platform.reads = 0;
  for (auto _ : state) {
    const std::string& key = d.probes[i++ & (kProbes - 1)];
    int32_t detail = 0;
    cdreopen(d.handle, &detail);
    if (cdread(record.data(), key.data(), kKeyLength, 0, nullptr, nullptr, d.handle, &detail) != 0 ||
        record.compare(0, kKeyLength, key) != 0) {
      state.SkipWithError("a key was not found");
      break;
    }
    benchmark::DoNotOptimize(record.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["blocks_per_lookup"] =
      static_cast<double>(d.platform.reads) / static_cast<double>(std::max<int64_t>(state.iterations(), 1));
  state.counters["minimum_blocks"] = kLevels + 1;
  state.counters["index_blocks"] = d.index_blocks[0] + d.index_blocks[1] + d.index_blocks[2];
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

BENCHMARK(BM_ZkallKeyedLookup)->MinTime(2.0);
BENCHMARK(BM_SqliteKeyedLookup)->MinTime(2.0);

// The console report, keeping each benchmark's lookups per second of
// processor time (of the median when the runs are repeated).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> rates;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const bool usable = r.run_type == Run::RT_Iteration || r.aggregate_name == "median";
      const auto rate = r.counters.find("items_per_second");
      if (usable && !r.error_occurred && rate != r.counters.end()) {
        rates[r.run_name.function_name] = rate->second.value;
        runs_per_rate = r.run_type == Run::RT_Iteration ? 1 : r.repetitions;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  int64_t runs_per_rate = 1;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  data();  // build before timing
  zk::bench::RatioTable table("Keyed lookups per second, one-million-record set", "sqlite");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto rate = [&](const char* name) {
    const auto it = reporter.rates.find(name);
    return it == reporter.rates.end() ? 0.0 : it->second;
  };
  table.add("random keys", rate("BM_ZkallKeyedLookup"), rate("BM_SqliteKeyedLookup"));
  table.print("processor time, median of " + std::to_string(reporter.runs_per_rate) + " runs");
  benchmark::Shutdown();
  return 0;
}
