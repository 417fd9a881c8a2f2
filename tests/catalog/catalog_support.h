// Helpers of the engine tests: a platform that counts reads and closes, a
// fixture that writes a built file set into a temporary directory and opens
// it, and the reference model the engine's answers are checked against (a
// plain scan of the same records).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_platform.h"
#include "tools/writer/file_set.h"
#include "tools/writer/master_writer.h"
#include "zkall.h"

namespace zk::test {

// The operating system's platform with every read and close counted.
class CountingPlatform : public SystemPlatformBase {
 public:
#ifndef _WIN32
  CountingPlatform() : PosixPlatform(std::string()) {}
#endif
  int reads = 0, closes = 0;
  void reset_counts() { reads = closes = 0; }

 protected:
  int64_t do_read(int fd, void* buf, size_t n, int& error) override {
    ++reads;
    return SystemPlatformBase::do_read(fd, buf, n, error);
  }
  int do_close(int fd, int& error) override {
    ++closes;
    return SystemPlatformBase::do_close(fd, error);
  }
  // Nobody answers a message box: Cancel.
#ifdef _WIN32
  int do_message_box(platform::WindowHandle, const std::string&, const std::string&, uint32_t) override {
    return platform::kIdCancel;
  }
#else
  bool interactive() const override { return false; }
#endif
};

// An open handle, closed when the test is done with it.
class Handle {
 public:
  explicit Handle(zkall_cd_handle* h = nullptr) : h_(h) {}
  ~Handle() { cdclose(&h_, nullptr); }
  Handle(const Handle&) = delete;
  zkall_cd_handle* get() const { return h_; }
  zkall_cd_handle* operator->() const { return h_; }
  zkall_cd_handle** address() { return &h_; }

 private:
  zkall_cd_handle* h_ = nullptr;
};

// The records a correct engine answers, found by scanning the set's blocks.
class Model {
 public:
  explicit Model(const writer::FileSet& set) : set_(set) {}
  // Every record in file order (from data block `from_block` on).
  std::vector<std::string> in_order(uint32_t from_block = 0) const;
  // The records a keyed read returns, one per call, in order: those whose
  // key field begins with the key, letters folded; for an alternate index
  // set those whose key field begins with the key byte for byte, in the
  // order of the folded index key, then of the file.
  std::vector<std::string> matches(const std::string& key) const;
  // The data block cdseek_key settles on when the index key covers the
  // whole search key, or -1 when nothing matches.
  int64_t first_block(const std::string& key) const;
  // Whether data block `block` holds a record whose key begins with the key
  // (letters folded).
  bool block_matches(uint32_t block, const std::string& key) const;

 private:
  bool alternate() const { return set_.spec.kind == 2 || set_.spec.kind == 3; }
  const writer::FileSet& set_;
};

// A temporary directory with the counting platform installed.
class CatalogTest : public ::testing::Test {
 protected:
  // Writes the set at `location` (0 own files, 1 hard-disk copy, 2 inside a
  // catalog master file) and opens it; fails the test when it cannot. An
  // alternate index set is written after the set `main` whose data it reads.
  // Each set goes into a directory of its own unless `into` names one.
  Handle open(const writer::FileSet& set, uint8_t location = 0, int32_t read_mode = 0,
              const writer::FileSet* main = nullptr, const std::string& into = "");
  // Reads with the key until -1 (at most `limit` records); the results.
  std::vector<std::string> read_all(zkall_cd_handle* h, const std::string& key, size_t limit, int* last = nullptr);

  TempDir dir_;
  CountingPlatform platform_;
  ScopedPlatform scoped_{platform_};
  int sets_ = 0;
};

// "result/detail" (the detail read once the call has returned).
inline std::string rd(int result, const int32_t& detail) {
  return std::to_string(result) + "/" + std::to_string(detail);
}

// A record of `length` bytes with `key` at `offset`, the rest filled from
// `tag` so records with the same key differ.
std::string record_with(uint32_t length, uint32_t offset, const std::string& key, uint32_t tag);

// A small set: records keyed "K000".."Knnn" (four bytes at offset 2 of
// 24-byte records), one level unless told otherwise, and optionally so many
// records a data block and entries an index block.
writer::SetSpec simple_spec(int records, int levels = 1, uint32_t records_per_block = 0,
                            uint32_t entries_per_block = 0);

}  // namespace zk::test
