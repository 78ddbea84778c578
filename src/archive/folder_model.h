// DIR/archive.json: everything pack needs to build an archive back from an unpacked
// folder, and the checks that the file makes sense before anything is built from it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

inline constexpr std::string_view kFolderModelName = "archive.json";

struct FolderEntry {
  int record = 0;
  int palette = -1;                 // -1: none of its own
  std::int32_t palette_offset = 0;  // kept as stored when there is none (0 or less)
};

struct FolderRecord {
  ImageHeader header;
  bool absent = false;       // no image: no picture, the record is its header
  std::string picture;       // the picture file
  std::string digest;        // PixelDigest of the picture's colours as written
  std::string index_digest;  // and of its indices, for an indexed picture
  int colours = -1;          // the palette record its picture was written with; -1: the loaded one
  std::string raw;           // the record's bytes, when the encoder does not give them back
};

struct FolderPalette {
  std::string file;  // the palette record, byte for byte
  std::string text;  // the same palette as a text palette file, for looking at
};

struct FolderBlock {
  enum class Kind { kRecord, kPalette, kGap };
  Kind kind = Kind::kGap;
  int id = -1;
  std::vector<std::uint8_t> gap;
};

struct FolderModel {
  std::array<std::uint8_t, 4> header_word{};
  std::string format = "png";
  bool full_pal = false;
  Palette loaded{};  // the loaded palette the pictures were written with
  std::vector<FolderEntry> entries;
  std::vector<FolderRecord> records;
  std::vector<FolderPalette> palettes;
  std::vector<FolderBlock> layout;
};

std::string FolderModelToJson(const FolderModel& model);

// Reads and checks archive.json's text: its fields, the numbers that refer to records and
// palette records, a layout naming each record and palette record once, and file names
// that stay inside the folder (plain names: no separator, no "." or ".."). On refusal,
// problem says why.
bool FolderModelFromJson(std::string_view text, FolderModel& model, std::string& problem);

// True when name is a plain file name inside a folder.
bool IsPlainFileName(std::string_view name);

}  // namespace pelgrin
