// The summary table every benchmark prints after its run, so that a reader
// sees at a glance where the library stands against its peer: one row per
// comparison with this library's rate, the peer's and their ratio, the
// lowest ratio below, and the machine's load average when the run began and
// when it ended (ratios are taken side by side in one run; a loaded machine
// slows both sides, but not always alike).
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace zk::bench {

class RatioTable {
 public:
  // `what` names the measurement and its unit ("keyed lookups per second"),
  // `peer` the other side's column. The load average is noted now.
  RatioTable(std::string what, std::string peer) : what_(std::move(what)), peer_(std::move(peer)) {
    load_before_ = load_average();
  }

  // A row is left out when either rate is missing (a failed benchmark).
  void add(std::string name, double zkall, double peer) {
    if (zkall > 0 && peer > 0) rows_.push_back({std::move(name), zkall, peer});
  }

  void print(const std::string& how) const {
    std::printf("\n%s, %s; load average %.1f at the start, %.1f at the end\n", what_.c_str(), how.c_str(),
                load_before_, load_average());
    size_t width = 4;
    for (const Row& r : rows_) width = std::max(width, r.name.size());
    const std::string ratio = "zkall/" + peer_;
    std::printf("%-*s %14s %14s %14s\n", static_cast<int>(width), "case", "zkall", peer_.c_str(), ratio.c_str());
    const Row* lowest = nullptr;
    for (const Row& r : rows_) {
      std::printf("%-*s %14.1f %14.1f %14.2f\n", static_cast<int>(width), r.name.c_str(), r.zkall, r.peer,
                  r.zkall / r.peer);
      if (lowest == nullptr || r.zkall / r.peer < lowest->zkall / lowest->peer) lowest = &r;
    }
    if (lowest != nullptr) std::printf("lowest ratio: %.2f (%s)\n", lowest->zkall / lowest->peer, lowest->name.c_str());
  }

 private:
  struct Row {
    std::string name;
    double zkall;
    double peer;
  };

  static double load_average() {
    double load[1] = {-1};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
  }

  std::string what_;
  std::string peer_;
  double load_before_ = -1;
  std::vector<Row> rows_;
};

}  // namespace zk::bench
