// Parsing installation descriptions.
#include "tools/zkall/description.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace zk::tool {

namespace {

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<std::string> words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

int number(int line, const std::string& s) {
  try {
    size_t used = 0;
    const int v = std::stoi(s, &used);
    if (used != s.size()) throw std::invalid_argument(s);
    return v;
  } catch (const std::exception&) {
    throw DescriptionError(line, "not a number: '" + s + "'");
  }
}

std::vector<int> numbers(int line, const std::string& s) {
  std::vector<int> out;
  for (const auto& w : words(s)) out.push_back(number(line, w));
  return out;
}

// A 'fields' line: widths of blank-padded texts, or "u16" for a decimal
// number written as 16 bits in native byte order.
std::vector<FieldSpec> field_specs(int line, const std::string& value) {
  std::vector<FieldSpec> out;
  for (const auto& w : words(value)) out.push_back(w == "u16" ? FieldSpec{2, true} : FieldSpec{number(line, w), false});
  return out;
}

void need_width(int line, const std::string& what, const std::string& value, size_t width) {
  if (value.size() != width)
    throw DescriptionError(line, what + " must have " + std::to_string(width) + " characters: '" + value + "'");
}

enum class Section { None, Config, Messages, Screens, Drive, Disc, Set, Images, HdSet, LocalPrices };

// Builds one record from a line of '|'-separated fields, each padded with
// blanks to its width.
std::string record_from(int line, const std::string& text, const std::vector<FieldSpec>& fields, int record_length) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  if (fields.empty()) throw DescriptionError(line, "records need a 'fields' line first");
  if (parts.size() != fields.size())
    throw DescriptionError(line, "expected " + std::to_string(fields.size()) + " fields, found " +
                                     std::to_string(parts.size()));
  std::string rec;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (fields[i].u16) {
      const int v = number(line, parts[i]);
      if (v < 0 || v > 0xFFFF) throw DescriptionError(line, "field " + std::to_string(i + 1) + " is no 16-bit number");
      const auto value = static_cast<uint16_t>(v);
      rec.append(reinterpret_cast<const char*>(&value), sizeof value);
      continue;
    }
    const auto width = static_cast<size_t>(fields[i].width);
    if (parts[i].size() > width)
      throw DescriptionError(line, "field " + std::to_string(i + 1) + " is longer than " + std::to_string(width) +
                                       ": '" + parts[i] + "'");
    rec += parts[i] + std::string(width - parts[i].size(), ' ');
  }
  if (static_cast<int>(rec.size()) != record_length)
    throw DescriptionError(line, "the fields make " + std::to_string(rec.size()) + " bytes, the record is " +
                                     std::to_string(record_length));
  return rec;
}

void set_key(int line, SetDescription& s, const std::string& key, const std::string& value) {
  if (key == "catalog") {
    need_width(line, "a catalog code", value, 6);
    s.catalog = value;
  } else if (key == "where") {
    if (value == "disc") s.where = Where::Disc;
    else if (value == "hard-disk") s.where = Where::HardDisk;
    else if (value == "master") s.where = Where::Master;
    else if (value.rfind("on:", 0) == 0 && value.size() == 5) {
      s.where = Where::OtherDisc;
      s.other_disc = value.substr(3);
    } else {
      throw DescriptionError(line, "where must be disc, hard-disk, master or on:<disc id>");
    }
  } else if (key == "kind") {
    s.kind = number(line, value);
  } else if (key == "record") {
    s.record_length = number(line, value);
  } else if (key == "key") {
    auto v = numbers(line, value);
    if (v.size() != 2) throw DescriptionError(line, "key is: <offset> <length>");
    s.key_offset = v[0];
    s.key_length = v[1];
  } else if (key == "index-key") {
    s.index_key_length = number(line, value);
  } else if (key == "levels") {
    s.levels = number(line, value);
  } else if (key == "masks") {
    s.level_masks = numbers(line, value);
    if (s.level_masks.size() != 3) throw DescriptionError(line, "masks are three numbers (top middle bottom)");
  } else if (key == "data-mask") {
    s.data_mask = number(line, value);
  } else if (key == "suffix") {
    need_width(line, "a level suffix", value, 2);
    s.suffix = value;
  } else if (key == "fields") {
    s.fields = field_specs(line, value);
  } else if (key == "index-case") {
    if (value == "upper") s.index_case = KeyCase::Upper;
    else if (value == "lower") s.index_case = KeyCase::Lower;
    else if (value == "record") s.index_case = KeyCase::Record;
    else throw DescriptionError(line, "index-case is upper, lower or record");
  } else if (key == "alternate") {
    const auto w = words(value);
    if (w.size() != 4 || w[0].size() != 2)
      throw DescriptionError(line, "alternate is: <suffix of 2 characters> <kind> <key offset> <key length>");
    s.alternates.push_back({w[0], number(line, w[1]), number(line, w[2]), number(line, w[3])});
  } else {
    throw DescriptionError(line, "unknown key of a set: '" + key + "'");
  }
}

void hd_set_key(int line, HdSetDescription& s, const std::string& key, const std::string& value) {
  if (key == "dir") {
    s.dir = value;
  } else if (key == "index") {
    if (value.size() > 12) throw DescriptionError(line, "an index file name is an 8.3 name");
    s.index = value;
  } else if (key == "kind") {
    s.kind = number(line, value);
  } else if (key == "record") {
    s.record_length = number(line, value);
  } else if (key == "key") {
    auto v = numbers(line, value);
    if (v.size() != 2) throw DescriptionError(line, "key is: <offset> <length>");
    s.key_offset = v[0];
    s.key_length = v[1];
  } else if (key == "levels") {
    s.levels = number(line, value);
  } else if (key == "masks") {
    s.level_masks = numbers(line, value);
    if (s.level_masks.size() != 3) throw DescriptionError(line, "masks are three numbers (top middle bottom)");
  } else if (key == "data-mask") {
    s.data_mask = number(line, value);
  } else if (key == "block") {
    s.block_size = number(line, value);
  } else if (key == "fields") {
    s.fields = field_specs(line, value);
  } else {
    throw DescriptionError(line, "unknown key of a hard-disk set: '" + key + "'");
  }
}

// The record length of a local price pair.
int local_record_length(int pair) { return pair == 3 ? 132 : 62; }

void local_price_key(int line, LocalPriceDescription& l, const std::string& key, const std::string& value) {
  if (key == "key") {
    l.key_offset = number(line, value);
  } else if (key == "run") {
    l.run_limit = number(line, value);
  } else if (key == "fields") {
    l.fields = field_specs(line, value);
  } else {
    throw DescriptionError(line, "unknown key of local prices: '" + key + "'");
  }
}

void disc_key(int line, DiscSpec& d, const std::string& key, const std::string& value) {
  if (key == "date") {
    need_width(line, "a disc date", value, 8);
    d.date = value;
  } else if (key == "number") {
    need_width(line, "a disc number", value, 2);
    d.number = value;
  } else if (key == "label") {
    d.label_text = value;
  } else if (key == "installed") {
    if (value != "yes" && value != "no") throw DescriptionError(line, "installed is yes or no");
    d.installed = value == "yes";
  } else if (key == "second-id") {
    need_width(line, "a disc id", value, 2);
    d.second_id = value;
  } else {
    throw DescriptionError(line, "unknown key of a disc: '" + key + "'");
  }
}

void image_key(int line, ImageSetDescription& d, const std::string& key, const std::string& value) {
  if (key == "where") {
    if (value == "disc") d.where = Where::Disc;
    else if (value == "hard-disk") d.where = Where::HardDisk;
    else throw DescriptionError(line, "the image file lies on the disc or on the hard disk");
  } else if (key == "size") {
    auto v = numbers(line, value);
    if (v.size() != 2 || v[0] < 1 || v[1] < 1) throw DescriptionError(line, "size is: <width> <height>");
    d.width = v[0];
    d.height = v[1];
  } else if (key == "image") {
    auto w = words(value);
    if (w.size() != 2 || w[0].size() > 7) throw DescriptionError(line, "image is: <identifier of up to 7 characters> <drawing number>");
    d.images.emplace_back(w[0], static_cast<uint32_t>(number(line, w[1])));
  } else {
    throw DescriptionError(line, "unknown key of images: '" + key + "'");
  }
}

}  // namespace

std::string Description::config_value(const std::string& key) const {
  for (const auto& l : config) {
    if (l.rfind(key + "=", 0) == 0) return upper(l.substr(key.size() + 1));
  }
  return {};
}

const DiscSpec* Description::disc(const std::string& id) const {
  for (const auto& d : discs)
    if (d.id == id) return &d;
  return nullptr;
}

Description parse_description(const std::string& text) {
  Description out;
  Section section = Section::None;
  std::string language;
  char drive = 0;
  bool in_records = false;
  std::istringstream in(text);
  int line_no = 0;
  for (std::string raw; std::getline(in, raw);) {
    ++line_no;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') continue;

    if (line.front() == '[' && line.back() == ']') {
      in_records = false;
      const auto w = words(line.substr(1, line.size() - 2));
      if (w.empty()) throw DescriptionError(line_no, "empty section name");
      if (w[0] == "config" && w.size() == 1) {
        section = Section::Config;
      } else if ((w[0] == "messages" || w[0] == "screens") && w.size() == 2) {
        need_width(line_no, "a language code", w[1], 2);
        section = w[0] == "messages" ? Section::Messages : Section::Screens;
        language = w[1];
      } else if (w[0] == "drive" && w.size() == 2 && w[1].size() == 1 && std::isalpha(static_cast<unsigned char>(w[1][0]))) {
        section = Section::Drive;
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(w[1][0])));
        if (drive == 'C') throw DescriptionError(line_no, "drive C is the hard disk");
        out.drives[drive];
      } else if (w[0] == "disc" && w.size() == 2) {
        need_width(line_no, "a disc id", w[1], 2);
        if (out.disc(w[1])) throw DescriptionError(line_no, "disc " + w[1] + " is described twice");
        section = Section::Disc;
        out.discs.push_back(DiscSpec{});
        out.discs.back().id = w[1];
        out.discs.back().line = line_no;
      } else if (w[0] == "images" && w.size() == 2) {
        if (!out.disc(w[1])) throw DescriptionError(line_no, "images of an undescribed disc " + w[1]);
        section = Section::Images;
        out.images.push_back(ImageSetDescription{});
        out.images.back().disc = w[1];
        out.images.back().line = line_no;
      } else if (w[0] == "hd-set" && w.size() == 3) {
        if (w[1] != "PRICE" && w[1] != "LOCALP") throw DescriptionError(line_no, "a hard-disk set is listed by PRICE or LOCALP");
        section = Section::HdSet;
        out.hd_sets.push_back(HdSetDescription{});
        out.hd_sets.back().master = w[1];
        out.hd_sets.back().name = w[2];
        out.hd_sets.back().line = line_no;
      } else if (w[0] == "local-prices" && w.size() == 2) {
        if (w[1] != "1" && w[1] != "2" && w[1] != "3") throw DescriptionError(line_no, "local price pairs are 1, 2 and 3");
        section = Section::LocalPrices;
        out.local_prices.push_back(LocalPriceDescription{});
        out.local_prices.back().pair = w[1][0] - '0';
        out.local_prices.back().line = line_no;
      } else if (w[0] == "set" && w.size() == 3) {
        if (!out.disc(w[1])) throw DescriptionError(line_no, "set of an undescribed disc " + w[1]);
        if (w[2].size() > 10) throw DescriptionError(line_no, "a file name has at most 10 characters");
        section = Section::Set;
        out.sets.push_back(SetDescription{});
        out.sets.back().disc = w[1];
        out.sets.back().name = w[2];
        out.sets.back().line = line_no;
      } else {
        throw DescriptionError(line_no, "unknown section '" + line + "'");
      }
      continue;
    }

    switch (section) {
      case Section::Config: out.config.push_back(line); break;
      case Section::Messages: out.messages[language].push_back(line); break;
      case Section::Screens: out.screens[language].push_back(line); break;
      case Section::None: throw DescriptionError(line_no, "text before the first section");
      default: {
        if (in_records) {
          if (section == Section::Set) {
            const SetDescription& set = out.sets.back();
            out.sets.back().records.push_back(record_from(line_no, raw, set.fields, set.record_length));
          } else if (section == Section::HdSet) {
            const HdSetDescription& set = out.hd_sets.back();
            out.hd_sets.back().records.push_back(record_from(line_no, raw, set.fields, set.record_length));
          } else {
            const LocalPriceDescription& l = out.local_prices.back();
            out.local_prices.back().records.push_back(
                record_from(line_no, raw, l.fields, local_record_length(l.pair)));
          }
          break;
        }
        if ((section == Section::Set || section == Section::HdSet || section == Section::LocalPrices) &&
            line == "records:") {
          in_records = true;
          break;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) throw DescriptionError(line_no, "expected key = value");
        const std::string key = trim(line.substr(0, eq));
        const std::string value = trim(line.substr(eq + 1));
        if (section == Section::Images) {
          image_key(line_no, out.images.back(), key, value);
        } else if (section == Section::HdSet) {
          hd_set_key(line_no, out.hd_sets.back(), key, value);
        } else if (section == Section::LocalPrices) {
          local_price_key(line_no, out.local_prices.back(), key, value);
        } else if (section == Section::Drive) {
          if (key != "disc") throw DescriptionError(line_no, "a drive knows only 'disc'");
          out.drives[drive] = value;
        } else if (section == Section::Disc) {
          disc_key(line_no, out.discs.back(), key, value);
        } else {
          set_key(line_no, out.sets.back(), key, value);
        }
      }
    }
  }
  for (const auto& d : out.discs) {
    if (d.date.empty() || d.number.empty()) throw DescriptionError(d.line, "disc " + d.id + " needs a date and a number");
  }
  for (const auto& [letter, id] : out.drives) {
    if (!id.empty() && !out.disc(id)) throw DescriptionError(0, "drive " + std::string(1, letter) + " holds undescribed disc " + id);
  }
  for (const auto& s : out.sets) {
    if (s.where == Where::Master && s.catalog.empty())
      throw DescriptionError(s.line, "only a catalog's master file can hold a set inside it");
    if (s.where == Where::OtherDisc && !out.disc(s.other_disc))
      throw DescriptionError(s.line, "set on undescribed disc " + s.other_disc);
  }
  return out;
}

}  // namespace zk::tool
