// The illustration decoder against libtiff's fax decoder on the same coded
// strips: full-size 1616 x 1158 illustrations (line drawings with hatching,
// callout numbers and captions, a text page) and noise as a stress case,
// coded by libtiff as Group 3 two-dimensional (K 4, byte-aligned EOLs, the
// catalog's form) and as Group 4. Throughput is bitmap bytes per second of
// processor time; after the run a table gives, for each image fed in pieces
// and whole, this decoder's rate, libtiff's and their ratio (medians when
// the runs are repeated, as scripts/bench.sh does, in random order).
//
//   zkall_pieces: decode_exec fed 2048-byte pieces, drained through a
//                 7168-byte buffer, as decord_img does;
//   zkall_whole:  the whole strip in one piece, one buffer for the bitmap;
//   libtiff:      TIFFReadEncodedStrip of the same strip (memory-mapped).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ratio_table.h"
#include "tools/imaging/bitmaps.h"
#include "tools/imaging/tiff_codec.h"
#include "zkall.h"

namespace {

using zk::imaging::Coding;
using zk::imaging::EncodeOptions;

struct Case {
  std::string name;
  EncodeOptions options;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> strip;
  std::vector<uint8_t> bitmap;
};

std::vector<Case>& cases() {
  static std::vector<Case> all = [] {
    std::vector<Case> v;
    const std::pair<const char*, EncodeOptions> codings[] = {
        {"g3", {Coding::G3TwoDimensionalAligned, 196.0f}},
        {"g4", {Coding::G4, 196.0f}},
    };
    for (const auto& image : zk::imaging::illustration_set()) {
      for (const auto& [coding, options] : codings) {
        Case c;
        c.name = image.name + "/" + coding;
        c.options = options;
        c.width = image.bitmap.width;
        c.height = image.bitmap.height;
        c.strip = zk::imaging::tiff_encode(image.bitmap, options);
        c.bitmap = image.bitmap.bytes;
        v.push_back(std::move(c));
      }
    }
    return v;
  }();
  return all;
}

// Decodes the strip with decode_exec into `image`; false on any error.
bool zkall_decode(const Case& c, int32_t piece, int32_t buffer, std::vector<uint8_t>& image,
                  std::vector<uint8_t>& out) {
  int32_t width = c.width, in_len = 0, out_len = 0, status = 0;
  decode_exec(0, &width, nullptr, &in_len, nullptr, &out_len, &status);
  if (status != ZKALL_DECODE_INITIALISED) return false;
  size_t pos = 0, filled = 0;
  in_len = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(piece), c.strip.size()));
  for (;;) {
    out_len = buffer;
    decode_exec(1, &width, c.strip.data() + pos, &in_len, out.data(), &out_len, &status);
    if (status == ZKALL_DECODE_NEED_INPUT) {
      pos += static_cast<size_t>(in_len);
      if (pos >= c.strip.size()) break;
      in_len = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(piece), c.strip.size() - pos));
      continue;
    }
    if (status != ZKALL_DECODE_OUTPUT_FULL && status != ZKALL_DECODE_END) break;
    const size_t take = std::min(static_cast<size_t>(out_len), image.size() - filled);
    std::copy_n(out.begin(), take, image.begin() + static_cast<long>(filled));
    filled += take;
    if (status == ZKALL_DECODE_END) return true;
  }
  decode_release();
  return false;
}

void run_zkall(benchmark::State& state, const Case& c, int32_t piece, int32_t buffer) {
  std::vector<uint8_t> image(c.bitmap.size());
  std::vector<uint8_t> out(static_cast<size_t>(buffer));
  if (!zkall_decode(c, piece, buffer, image, out) || image != c.bitmap) {
    state.SkipWithError("decoder output differs from the bitmap");
    return;
  }
  for (auto _ : state) {
    zkall_decode(c, piece, buffer, image, out);
    benchmark::DoNotOptimize(image.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bitmap.size()));
}

void run_libtiff(benchmark::State& state, const Case& c) {
  zk::imaging::TiffStripReader reader(c.strip, c.width, c.height, c.options);
  std::vector<uint8_t> image;
  if (!reader.decode(image) || image != c.bitmap) {
    state.SkipWithError("libtiff output differs from the bitmap");
    return;
  }
  for (auto _ : state) {
    reader.decode(image);
    benchmark::DoNotOptimize(image.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(c.bitmap.size()));
}

// Collects bytes per second by benchmark name (of the median when the runs
// are repeated) while printing as usual.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& r : runs) {
      const bool usable = r.run_type == Run::RT_Iteration || r.aggregate_name == "median";
      const auto it = r.counters.find("bytes_per_second");
      if (!usable || r.error_occurred || it == r.counters.end()) continue;
      rates[r.run_name.str()] = it->second.value;
      runs_per_rate = r.run_type == Run::RT_Iteration ? 1 : r.repetitions;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
  int64_t runs_per_rate = 1;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Case& c : cases()) {
    benchmark::RegisterBenchmark(("zkall_pieces/" + c.name).c_str(),
                                 [&c](benchmark::State& s) { run_zkall(s, c, 2048, 7168); });
    benchmark::RegisterBenchmark(("zkall_whole/" + c.name).c_str(), [&c](benchmark::State& s) {
      run_zkall(s, c, static_cast<int32_t>(c.strip.size()), static_cast<int32_t>(c.bitmap.size()) + 8);
    });
    benchmark::RegisterBenchmark(("libtiff/" + c.name).c_str(), [&c](benchmark::State& s) { run_libtiff(s, c); });
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zk::bench::RatioTable table("Illustration decoding, MB/s of bitmap (1616 x 1158)", "libtiff");
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const auto rate = [&](const std::string& name) {
    const auto it = reporter.rates.find(name);
    return it == reporter.rates.end() ? 0.0 : it->second / 1e6;
  };
  for (const Case& c : cases()) {
    const double tiff = rate("libtiff/" + c.name);
    table.add(c.name + " in pieces", rate("zkall_pieces/" + c.name), tiff);
    table.add(c.name + " whole", rate("zkall_whole/" + c.name), tiff);
  }
  table.print("processor time, median of " + std::to_string(reporter.runs_per_rate) +
              " runs; in pieces: 2048-byte input, 7168-byte output buffer");
  benchmark::Shutdown();
  return 0;
}
