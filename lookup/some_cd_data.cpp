// cdget_some_cd_data: the multi-disc reader and its table of live searches.
#include "lookup/some_cd_data.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalog/cdopen.h"
#include "catalog/cdread.h"
#include "catalog/format.h"
#include "platform/platform.h"
#include "startup/common_areas.h"

namespace zk::lookup {

namespace {

static_assert(sizeof(void*) != 4 || sizeof(SearchState) == 264, "the 32-bit DLL's search state is 264 bytes");

// The live searches, each named by the word its caller holds.
class SearchTable {
 public:
  SearchState* find(uint32_t word) {
    for (Entry& e : entries_)
      if (e.word == word) return e.state();
    return nullptr;
  }
  // A new zero-filled state and its word, or null when the memory cannot be
  // had.
  SearchState* make(uint32_t& word) {
    platform::HeapBlock block;
    if (!platform::current().allocate(sizeof(SearchState), block)) return nullptr;
    Entry e{0, std::move(block)};
    if constexpr (sizeof(void*) <= sizeof(uint32_t)) {
      e.word = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(e.state()));
    } else {
      do {
        e.word = ++last_token_;
      } while (e.word == 0 || find(e.word) != nullptr);
    }
    word = e.word;
    entries_.push_back(std::move(e));
    return entries_.back().state();
  }
  void erase(uint32_t word) {
    std::erase_if(entries_, [word](const Entry& e) { return e.word == word; });
  }
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    uint32_t word;
    platform::HeapBlock block;  // holds the SearchState (a zero-filled plain record)
    SearchState* state() { return reinterpret_cast<SearchState*>(block.data()); }
  };
  std::vector<Entry> entries_;
  uint32_t last_token_ = 0;
};

SearchTable& searches() {
  static SearchTable table;
  return table;
}

bool has_code(const char* catalog) { return catalog != nullptr && catalog[0] != '\0'; }

// Whether two installed discs are copies of one edition: the same area
// letter and the same date.
// (The ctop area is packed: its numbers are copied out, never bound by
// reference.)
int32_t installed_discs(const zkall_ctop& c) {
  const int32_t n = c.disc_count;
  return std::clamp<int32_t>(n, 0, startup::kMaxDiscs);
}

bool same_edition(const zkall_ctop& c, int32_t a, int32_t b) {
  const int32_t count = installed_discs(c);
  if (a < 0 || b < 0 || a >= count || b >= count) return false;
  return c.discs[a].disc_id[0] == c.discs[b].disc_id[0] && std::memcmp(c.discs[a].date, c.discs[b].date, 8) == 0;
}

// The discs to visit: the caller's list or every installed disc, at most
// 30; without a catalog code a disc that is an edition's copy of the disc
// listed just before it is left out (the first entry and installed disc 0
// always stay).
void fill_discs(SearchState& s, const SomeCdRequest& q) {
  const zkall_ctop* c = startup::ctop();
  const int32_t installed = c != nullptr ? installed_discs(*c) : 0;
  const int32_t count = q.discs != nullptr ? q.disc_count : installed;
  auto source = [&q](int32_t i) { return q.discs != nullptr ? q.discs[i] : i; };
  for (int32_t i = 0; i < count && s.disc_count < kMaxSearchDiscs; ++i) {
    const int32_t disc = source(i);
    if (!has_code(q.catalog) && i > 0 && disc != 0 && c != nullptr && same_edition(*c, disc, source(i - 1))) continue;
    s.discs[s.disc_count++] = disc;
  }
}

bool visited(const SearchState& s, int32_t disc) {
  return std::find(s.visited, s.visited + s.visited_count, disc) != s.visited + s.visited_count;
}

}  // namespace

size_t live_searches() { return searches().size(); }

int cdget_some_cd_data(const SomeCdRequest& q, uint32_t* word, int32_t& detail, int32_t* record_length) {
  detail = 0;
  if (word == nullptr) return catalog::refuse(detail, kDetailNoStateWord);
  SearchTable& table = searches();
  SearchState* s = nullptr;
  if (*word != 0) {
    s = table.find(*word);
    if (s == nullptr) {
      *word = 0;
      return q.mode == kModeRelease ? 0 : catalog::refuse(detail, kDetailUnknownState);
    }
  }

  // Ends the search: closes the current disc's file (a failed close is the
  // answer only when nothing was found) and forgets the state.
  auto release = [&](int result) {
    if (s != nullptr) {
      int32_t close_detail = 0;
      const int closed = catalog::cdclose(&s->handle, close_detail);
      if (closed != 0 && result == catalog::rc::kNotFound) {
        result = closed;
        detail = close_detail;
      }
      table.erase(*word);
    }
    *word = 0;
    return result;
  };

  if (q.discs != nullptr && q.disc_count <= 0) {
    detail = kDetailNoStateWord;
    return release(catalog::rc::kRefused);
  }
  if (q.mode == kModeRelease) return release(0);
  if (s == nullptr) {
    uint32_t new_word = 0;
    s = table.make(new_word);
    if (s == nullptr) {
      detail = kDetailNoStateMemory;
      return catalog::rc::kNoMemory;
    }
    *word = new_word;
    s->read_mode = q.mode == kModeFirst || q.mode == kModeEach ? catalog::kReadModeRecord : catalog::kReadModeBlock;
    fill_discs(*s, q);
  }

  for (;;) {
    if (s->open == 0) {
      if (s->position >= s->disc_count) {
        detail = 0;
        return release(catalog::rc::kNotFound);
      }
      zkall_cd_handle* h = nullptr;
      const int r = catalog::cdopen(q.file, q.catalog, q.kind, s->read_mode, q.drive, s->discs[s->position],
                                    q.prompt_kind, &h, detail);
      if (r == catalog::rc::kNotFound) {  // no such file (or master file) on this disc
        ++s->position;
        continue;
      }
      if (r != 0) return release(r);
      s->handle = h;
      // A disc whose master files sent the lookup to a disc already read
      // would deliver that disc's records again.
      if (!has_code(q.catalog) && visited(*s, h->disc_index)) {
        if (int closed = catalog::cdclose(&s->handle, detail); closed != 0) return release(closed);
        ++s->position;
        continue;
      }
      if (s->visited_count < kMaxSearchDiscs) s->visited[s->visited_count++] = h->disc_index;
      s->open = 1;
    }
    const int r = catalog::cdread(s->handle, q.buffer, q.key, q.key_length, q.blocks, q.blocks_read,
                                  q.record_index, detail);
    if (r == catalog::rc::kNotFound) {
      if (int closed = catalog::cdclose(&s->handle, detail); closed != 0) return release(closed);
      ++s->position;
      s->open = 0;
      continue;
    }
    if (r == 0 && record_length != nullptr) *record_length = s->handle->record_length;
    if (r == 0 && q.mode == kModeEach) return 0;  // the word already names the state
    return release(r);
  }
}

}  // namespace zk::lookup
