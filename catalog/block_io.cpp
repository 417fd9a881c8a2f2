// Seeking and reading the blocks of a file set's files.
#include "catalog/block_io.h"

#include "catalog/format.h"
#include "platform/platform.h"

namespace zk::catalog {

int cdseek_only(zkall_cd_handle* h, int32_t level, uint32_t block, int32_t& detail) {
  detail = 0;
  if (h == nullptr) return refuse(detail, detail_code::kSeekOnlyNoHandle);
  if (level < 0 || level > kDataLevel) return refuse(detail, detail_code::kSeekOnlyBadLevel);
  const zkall_cd_level& d = h->levels[level];
  if (d.fd < 0) return refuse(detail, detail_code::kSeekOnlyNotOpen);
  const int64_t offset = (static_cast<int64_t>(d.scan_start) + block) * static_cast<int64_t>(kBlockSize);
  int error = 0;
  if (platform::current().lseek(d.fd, offset, platform::kSeekSet, error) < 0) {
    detail = error;
    return rc::kSeekFailed;
  }
  return rc::kOk;
}

int cdread_read_block(zkall_cd_handle* h, int32_t level, void* buffer, int32_t blocks, int32_t& detail) {
  detail = 0;
  if (h == nullptr || level < 0 || level > kDataLevel || buffer == nullptr || blocks < 1 ||
      blocks > kMaxBlocksPerRead || h->levels[level].fd < 0)
    return refuse(detail, detail_code::kBadBlockRequest);
  const zkall_cd_level& d = h->levels[level];
  if (d.location_kind > kLocationInMaster) return rc::kOk;
  const size_t wanted = static_cast<size_t>(blocks) * kBlockSize;
  int error = 0;
  const int64_t got = platform::current().read(d.fd, buffer, wanted, error);
  if (got != static_cast<int64_t>(wanted)) {
    detail = error;
    return rc::kReadFailed;
  }
  return rc::kOk;
}

}  // namespace zk::catalog
