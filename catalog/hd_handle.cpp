// Making and releasing the handles of hard-disk file sets: the disc engine's
// handles made for the hard-disk engine, entered in the same registry, so
// each engine refuses the other's handles and any record of a caller's own.
#include "catalog/hd_handle.h"

#include "catalog/cd_handle.h"

namespace zk::catalog {

zkall_cd_handle* hd_new_handle() { return new_handle(HandleEngine::HardDisk); }

bool hd_allocate_buffer(zkall_cd_handle& h, int level, size_t size) {
  HandleState* state = handle_state(&h, HandleEngine::HardDisk);
  if (state == nullptr || level < 0 || level >= kDescriptors || size == 0) return false;
  if (state->buffer_size != 0 && state->buffer_size != size) return false;
  if (!allocate_buffer(h, level, size)) return false;
  state->buffer_size = size;
  return true;
}

void hd_release_handle(zkall_cd_handle* h) {
  int32_t ignored = 0;  // close failures of hard-disk files are not reported
  release_handle(h, ignored, HandleEngine::HardDisk);
}

size_t hd_buffer_size(const zkall_cd_handle* h) {
  const HandleState* state = handle_state(h, HandleEngine::HardDisk);
  return state == nullptr ? 0 : state->buffer_size;
}

}  // namespace zk::catalog
