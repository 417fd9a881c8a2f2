// VBryak_get_mean.
#include "lookup/abbreviations.h"

#include <algorithm>
#include <cstring>

#include "catalog/discs.h"
#include "catalog/format.h"
#include "lookup/names.h"
#include "lookup/record.h"
#include "lookup/some_cd_data.h"
#include "platform/platform.h"
#include "startup/common_areas.h"
#include "startup/error_log.h"
#include "textutil/split.h"

namespace zk::lookup {

namespace {

constexpr uint8_t kAbbreviationKind = 4;
constexpr size_t kLanguage = 20;
constexpr size_t kMeaning = 22;
constexpr size_t kLineStride = kMeaningLineSize + 2;  // the line and its CR LF

}  // namespace

int vb_ryak_get_mean(const char* abbreviation, char* meaning_out, uint16_t& status) {
  status = kStatusFound;
  char key[kAbbreviationSize];
  std::memset(key, ' ', sizeof key);
  if (abbreviation != nullptr)
    std::memcpy(key, abbreviation, std::min<size_t>(platform::sys_string_byte_len(abbreviation), sizeof key));
  const zkall_ctop* c = startup::ctop();
  const zkall_ccar* car = startup::ccar();
  const int32_t disc = car != nullptr ? car->abbr_disc : -1;

  Record rec;
  SomeCdRequest q;
  q.file = "RYAKUG.DAT";
  q.kind = kAbbreviationKind;
  q.mode = kModeEach;
  q.discs = &disc;
  q.disc_count = 1;
  q.buffer = rec.data();
  q.key = key;
  q.key_length = sizeof key;
  uint32_t state = 0;
  int32_t detail = 0;
  int32_t record_length = 0;
  int result = 0;
  while ((result = cdget_some_cd_data(q, &state, detail, &record_length)) == 0) {
    rec.set_length(record_length);
    if (c != nullptr && rec.field_is(kLanguage, c->lang, 2)) break;
  }
  SomeCdRequest end = q;
  end.mode = kModeRelease;
  int32_t end_detail = 0;
  cdget_some_cd_data(end, &state, end_detail);

  if (result == catalog::rc::kNotFound) {
    status = kStatusNoSuchCode;
    return 0;
  }
  if (result == catalog::kCancelled) {
    status = kStatusCancelled;
    return 0;
  }
  if (result != 0) {
    startup::report("ZKSUBR01", "ryak_get_mean", "cdget_some_cd_data", result, detail, 77);
    return result;
  }

  char meaning[kMeaningSize];
  rec.field(kMeaning, kMeaningSize, meaning, ' ');
  char text[kMeaningTextSize];
  std::memset(text, ' ', sizeof text);
  size_t position = 0;
  for (int line = 0; line < kMeaningLines; ++line) {
    char* at = text + static_cast<size_t>(line) * kLineStride;
    if (!textutil::memory_edit_2_n_data(meaning, {at, kMeaningLineSize}, position)) break;
    at[kMeaningLineSize] = '\r';
    at[kMeaningLineSize + 1] = '\n';
  }
  if (meaning_out != nullptr)
    std::memcpy(meaning_out, text, std::min<size_t>(platform::sys_string_byte_len(meaning_out), sizeof text));
  return 0;
}

}  // namespace zk::lookup
