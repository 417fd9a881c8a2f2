// libFuzzer target of the ISO 9660 image reader: the input is an image. A
// volume the reader accepts must hold together: every entry's parent is a
// directory, every entry is found again by its path, and no extent of a
// directory lies outside the image. Anything else aborts; the
// sanitizers catch the rest.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/posix/iso_volume.h"

namespace iso = zk::platform::iso;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const iso::ReadAt read_at = [&](uint64_t offset, void* buf, size_t n) -> size_t {
    if (offset >= size) return 0;
    n = static_cast<size_t>(std::min<uint64_t>(n, size - offset));
    std::memcpy(buf, data + offset, n);
    return n;
  };
  const iso::Volume v = iso::Volume::read(read_at, size);
  if (!v.ok()) {
    if (v.node_count() != 0 || !v.label().empty()) std::abort();
    return 0;
  }
  if (v.label().size() > iso::pvd::kVolumeIdSize) std::abort();
  for (uint32_t i = 1; i < v.node_count(); ++i) {
    const iso::Node& n = v.node(i);
    if (n.parent >= v.node_count() || !v.node(n.parent).directory) std::abort();
    if (n.directory && (n.offset > size || n.size > size - n.offset)) std::abort();
    // The path down to the entry is found again, level by level, up to an
    // earlier entry of the same name (which a corrupt image may hold) that
    // shadows it; a name a directory lists is always found.
    std::vector<uint32_t> chain;
    for (uint32_t at = i; at != 0; at = v.node(at).parent) chain.insert(chain.begin(), at);
    std::vector<std::string> path;
    for (uint32_t at : chain) {
      path.push_back(v.node(at).name);
      const iso::Node* found = v.find(path);
      if (found == nullptr) std::abort();
      if (found != &v.node(at)) break;
    }
  }
  return 0;
}
