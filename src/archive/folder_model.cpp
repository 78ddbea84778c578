#include "archive/folder_model.h"

#include <nlohmann/json.hpp>

#include <optional>

namespace pelgrin {
namespace {

using nlohmann::json;

constexpr int kFolderVersion = 1;

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> FromHex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = digit(text[i]), low = digit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

// A true/false field; false when missing or of another kind.
bool Flag(const json& j, const char* key) {
  const auto it = j.find(key);
  return it != j.end() && it->is_boolean() && it->get<bool>();
}

json HeaderJson(const ImageHeader& h) {
  const auto word = static_cast<std::uint32_t>(h.OffsWord);
  return {{"max_x", h.MaxX},         {"max_y", h.MaxY},
          {"x_offs", word & 0xFFFF}, {"y_offs", static_cast<std::int16_t>(word >> 16)},
          {"left", h.Left},          {"top", h.Top},
          {"right", h.Right},        {"bottom", h.Bottom}};
}

json RecordJson(const FolderRecord& r) {
  json j = HeaderJson(r.header);
  if (r.absent) {
    j["absent"] = true;
    if (!r.raw.empty()) j["raw"] = r.raw;
    return j;
  }
  j["picture"] = r.picture;
  j["digest"] = r.digest;
  if (!r.index_digest.empty()) j["index_digest"] = r.index_digest;
  j["colours"] = r.colours < 0 ? json("loaded") : json(r.colours);
  if (!r.raw.empty()) j["raw"] = r.raw;
  return j;
}

json BlockJson(const FolderBlock& b) {
  switch (b.kind) {
    case FolderBlock::Kind::kRecord:
      return {{"record", b.id}};
    case FolderBlock::Kind::kPalette:
      return {{"palette", b.id}};
    case FolderBlock::Kind::kGap:
      break;
  }
  return {{"gap", Hex(b.gap.data(), b.gap.size())}};
}

// Reading: each getter says what is wrong with the value it was asked for.
class Reader {
 public:
  explicit Reader(std::string& problem) : problem_(problem) {}

  bool Fail(const std::string& where, const std::string& what) {
    problem_ = where + " " + what;
    return false;
  }

  bool Int(const json& j, const char* key, std::int64_t low, std::int64_t high,
           const std::string& where, std::int64_t& out) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_number_integer())
      return Fail(where, std::string("has no whole number \"") + key + "\"");
    out = it->get<std::int64_t>();
    if (it->is_number_unsigned() && it->get<std::uint64_t>() > INT64_MAX) out = high + 1;
    if (out < low || out > high)
      return Fail(where, std::string("has \"") + key + "\" outside " + std::to_string(low) + ".." +
                             std::to_string(high));
    return true;
  }

  bool Text(const json& j, const char* key, const std::string& where, std::string& out) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_string())
      return Fail(where, std::string("has no text \"") + key + "\"");
    out = it->get<std::string>();
    return true;
  }

  bool FileName(const json& j, const char* key, const std::string& where, std::string& out) {
    if (!Text(j, key, where, out)) return false;
    if (!IsPlainFileName(out))
      return Fail(where, "names \"" + out + "\", which is not a file of the folder");
    return true;
  }

  bool Array(const json& j, const char* key, std::size_t most, const json*& out) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_array() || it->size() > most)
      return Fail("the file", std::string("has no list \"") + key + "\" of at most " +
                                  std::to_string(most) + " items");
    out = &*it;
    return true;
  }

 private:
  std::string& problem_;
};

bool ReadHeader(Reader& rd, const json& j, const std::string& where, ImageHeader& h) {
  constexpr std::int64_t kLow = INT32_MIN, kHigh = INT32_MAX;
  std::int64_t v[8];
  if (!rd.Int(j, "max_x", 0, 65535, where, v[0]) || !rd.Int(j, "max_y", 0, 65535, where, v[1]) ||
      !rd.Int(j, "x_offs", -32768, 65535, where, v[2]) ||
      !rd.Int(j, "y_offs", -32768, 65535, where, v[3]) ||
      !rd.Int(j, "left", kLow, kHigh, where, v[4]) || !rd.Int(j, "top", kLow, kHigh, where, v[5]) ||
      !rd.Int(j, "right", kLow, kHigh, where, v[6]) ||
      !rd.Int(j, "bottom", kLow, kHigh, where, v[7]))
    return false;
  h.MaxX = static_cast<std::int32_t>(v[0]);
  h.MaxY = static_cast<std::int32_t>(v[1]);
  h.OffsWord = static_cast<std::int32_t>((static_cast<std::uint32_t>(v[2]) & 0xFFFF) |
                                         (static_cast<std::uint32_t>(v[3]) << 16));
  h.Left = static_cast<std::int32_t>(v[4]);
  h.Top = static_cast<std::int32_t>(v[5]);
  h.Right = static_cast<std::int32_t>(v[6]);
  h.Bottom = static_cast<std::int32_t>(v[7]);
  return true;
}

bool ReadRecord(Reader& rd, const json& j, const std::string& where, std::int64_t palettes,
                FolderRecord& r) {
  if (!j.is_object()) return rd.Fail(where, "is not an object");
  if (!ReadHeader(rd, j, where, r.header)) return false;
  r.absent = Flag(j, "absent");
  if (j.contains("raw") && !rd.FileName(j, "raw", where, r.raw)) return false;
  if (r.absent) return true;
  if (!rd.FileName(j, "picture", where, r.picture) || !rd.Text(j, "digest", where, r.digest))
    return false;
  if (j.contains("index_digest") && !rd.Text(j, "index_digest", where, r.index_digest))
    return false;
  if (j.value("colours", json()) == "loaded") {
    r.colours = -1;
    return true;
  }
  std::int64_t colours = 0;
  if (!rd.Int(j, "colours", 0, palettes - 1, where, colours)) return false;
  r.colours = static_cast<int>(colours);
  return true;
}

bool ReadEntry(Reader& rd, const json& j, const std::string& where, const FolderModel& m,
               FolderEntry& e) {
  if (!j.is_object()) return rd.Fail(where, "is not an object");
  std::int64_t record = 0, palette_offset = 0;
  if (!rd.Int(j, "record", 0, static_cast<std::int64_t>(m.records.size()) - 1, where, record))
    return false;
  e.record = static_cast<int>(record);
  if (j.value("palette", json()).is_null()) {
    e.palette = -1;
    if (j.contains("palette_offset") &&
        !rd.Int(j, "palette_offset", INT32_MIN, 0, where, palette_offset))
      return false;
    e.palette_offset = static_cast<std::int32_t>(palette_offset);
    return true;
  }
  std::int64_t palette = 0;
  if (!rd.Int(j, "palette", 0, static_cast<std::int64_t>(m.palettes.size()) - 1, where, palette))
    return false;
  e.palette = static_cast<int>(palette);
  return true;
}

bool ReadBlock(Reader& rd, const json& j, const std::string& where, FolderModel& m,
               std::vector<int>& record_uses, std::vector<int>& palette_uses) {
  FolderBlock b;
  std::int64_t id = 0;
  if (!j.is_object()) return rd.Fail(where, "is not an object");
  if (j.contains("gap")) {
    std::string hex;
    if (!rd.Text(j, "gap", where, hex)) return false;
    auto bytes = FromHex(hex);
    if (!bytes) return rd.Fail(where, "has a \"gap\" that is not hex digits");
    b.gap = std::move(*bytes);
  } else if (j.contains("record")) {
    if (!rd.Int(j, "record", 0, static_cast<std::int64_t>(m.records.size()) - 1, where, id))
      return false;
    b.kind = FolderBlock::Kind::kRecord;
    b.id = static_cast<int>(id);
    ++record_uses[static_cast<std::size_t>(id)];
  } else {
    if (!rd.Int(j, "palette", 0, static_cast<std::int64_t>(m.palettes.size()) - 1, where, id))
      return false;
    b.kind = FolderBlock::Kind::kPalette;
    b.id = static_cast<int>(id);
    ++palette_uses[static_cast<std::size_t>(id)];
  }
  m.layout.push_back(std::move(b));
  return true;
}

bool ReadTop(Reader& rd, const json& j, FolderModel& m) {
  std::int64_t version = 0;
  std::string word, palette;
  if (!j.is_object()) return rd.Fail("the file", "is not a JSON object");
  if (!rd.Int(j, "pelgrin_folder", kFolderVersion, kFolderVersion, "the file", version) ||
      !rd.Text(j, "header_word", "the file", word) ||
      !rd.Text(j, "loaded_palette", "the file", palette) ||
      !rd.Text(j, "format", "the file", m.format))
    return false;
  const auto word_bytes = FromHex(word);
  if (!word_bytes || word_bytes->size() != 4)
    return rd.Fail("the file", "has a \"header_word\" that is not 4 bytes in hex");
  std::copy(word_bytes->begin(), word_bytes->end(), m.header_word.begin());
  const auto palette_bytes = FromHex(palette);
  if (!palette_bytes || palette_bytes->size() != 3 * 256)
    return rd.Fail("the file", "has a \"loaded_palette\" that is not 256 colours in hex");
  for (std::size_t i = 0; i < 256; ++i)
    m.loaded[i] = {(*palette_bytes)[3 * i], (*palette_bytes)[3 * i + 1],
                   (*palette_bytes)[3 * i + 2]};
  m.full_pal = Flag(j, "full_pal");
  return true;
}

bool ReadLists(Reader& rd, const json& j, FolderModel& m) {
  const json *entries = nullptr, *records = nullptr, *palettes = nullptr, *layout = nullptr;
  if (!rd.Array(j, "entries", MaxImages, entries) || !rd.Array(j, "records", MaxImages, records) ||
      !rd.Array(j, "palettes", MaxImages, palettes) ||
      !rd.Array(j, "layout", 4 * std::size_t{MaxImages} + 1, layout))
    return false;
  for (const json& p : *palettes) {
    const std::string where = "palette record " + std::to_string(m.palettes.size());
    FolderPalette fp;
    if (!p.is_object()) return rd.Fail(where, "is not an object");
    if (!rd.FileName(p, "file", where, fp.file)) return false;
    m.palettes.push_back(fp);
  }
  for (const json& r : *records) {
    FolderRecord fr;
    if (!ReadRecord(rd, r, "record " + std::to_string(m.records.size()),
                    static_cast<std::int64_t>(m.palettes.size()), fr))
      return false;
    m.records.push_back(std::move(fr));
  }
  for (const json& e : *entries) {
    FolderEntry fe;
    if (!ReadEntry(rd, e, "entry #" + std::to_string(m.entries.size() + 1), m, fe)) return false;
    m.entries.push_back(fe);
  }
  std::vector<int> record_uses(m.records.size()), palette_uses(m.palettes.size());
  for (const json& b : *layout)
    if (!ReadBlock(rd, b, "layout item " + std::to_string(m.layout.size()), m, record_uses,
                   palette_uses))
      return false;
  for (std::size_t i = 0; i < record_uses.size(); ++i)
    if (record_uses[i] != 1)
      return rd.Fail("the layout", "names record " + std::to_string(i) + " " +
                                       std::to_string(record_uses[i]) + " times, not once");
  for (std::size_t i = 0; i < palette_uses.size(); ++i)
    if (palette_uses[i] != 1)
      return rd.Fail("the layout", "names palette record " + std::to_string(i) + " " +
                                       std::to_string(palette_uses[i]) + " times, not once");
  return true;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string FolderModelToJson(const FolderModel& m) {
  std::vector<std::uint8_t> palette;
  for (const Rgb& c : m.loaded)
    palette.insert(palette.end(), {c.r, c.g, c.b});
  json j = {{"pelgrin_folder", kFolderVersion},
            {"header_word", Hex(m.header_word.data(), m.header_word.size())},
            {"format", m.format},
            {"full_pal", m.full_pal},
            {"loaded_palette", Hex(palette.data(), palette.size())}};
  json& entries = j["entries"] = json::array();
  for (const FolderEntry& e : m.entries) {
    json je = {{"record", e.record}, {"palette", e.palette < 0 ? json() : json(e.palette)}};
    if (e.palette < 0 && e.palette_offset != 0) je["palette_offset"] = e.palette_offset;
    entries.push_back(std::move(je));
  }
  json& records = j["records"] = json::array();
  for (const FolderRecord& r : m.records)
    records.push_back(RecordJson(r));
  json& palettes = j["palettes"] = json::array();
  for (const FolderPalette& p : m.palettes)
    palettes.push_back({{"file", p.file}, {"text", p.text}});
  json& layout = j["layout"] = json::array();
  for (const FolderBlock& b : m.layout)
    layout.push_back(BlockJson(b));
  return j.dump(1) + "\n";
}

bool FolderModelFromJson(std::string_view text, FolderModel& model, std::string& problem) {
  model = {};
  const json j = json::parse(text.begin(), text.end(), nullptr, false);
  if (j.is_discarded()) {
    problem = "it is not valid JSON";
    return false;
  }
  Reader rd(problem);
  return ReadTop(rd, j, model) && ReadLists(rd, j, model);
}

}  // namespace pelgrin
