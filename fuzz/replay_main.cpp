// The replay driver: feeds files to a fuzz target's LLVMFuzzerTestOneInput
// as libFuzzer does when it is given files, so the test command runs every
// target over its starting corpus and its regression inputs with any
// compiler, normally and under the sanitizers, in seconds.
//
//   NAME_replay PATH...   each PATH a file, or a directory whose files (not
//                         its subdirectories, nor names beginning with a
//                         dot) are run in name order
//
// A path that does not exist is passed over; running no input at all is a
// failure, so a corpus that went missing is noticed. A finding aborts, as
// under libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool run_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::fprintf(stderr, "cannot read %s\n", path.c_str()), false;
  std::fprintf(stderr, "%s\n", path.c_str());
  // A copy of its own, as libFuzzer hands over: a read past the input is caught.
  std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    std::error_code ec;
    if (fs::is_directory(arg, ec)) {
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(arg))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
      std::sort(files.begin(), files.end());
      for (const auto& f : files) runs += run_file(f) ? 1 : 0;
    } else if (fs::exists(arg, ec)) {
      if (!run_file(arg)) return 1;
      ++runs;
    }
  }
  std::fprintf(stderr, "%zu inputs replayed\n", runs);
  return runs > 0 ? 0 : 1;
}
