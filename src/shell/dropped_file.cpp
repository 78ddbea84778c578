#include "shell/dropped_file.h"

#include <algorithm>
#include <cstdint>

#include "io/files.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "picture/bmp_kinds.h"
#include "picture/png_file.h"
#include "shp/shp_format.h"
#include "shp/work_state.h"

namespace pelgrin {
namespace {

// An archive has no signature: it is a file whose image count is at least 1, whose index
// fits in the file and whose image offsets point past the index and into the file.
bool LooksLikeArchive(InFile& file) {
  const std::int64_t size = file.Size();
  if (size < 8) return false;
  const std::int32_t count = ReadImageCount(file);
  const std::int64_t index_end = 8 + 8 * std::int64_t{count};
  if (count < 1 || index_end > size) return false;
  for (std::int32_t i = 0; i < std::min(count, MaxImages); ++i) {
    file.Seek(ImageOffsetField(i));
    const std::int64_t offset = ReadLong(file);
    if (offset < index_end || offset > size) return false;
  }
  return true;
}

}  // namespace

DroppedFile KindOfDroppedFile(const std::string& path) {
  InFile file;
  if (!file.Open(path)) return DroppedFile::kOther;
  if (HasPngSignature(file) || HasBmpSignature(file)) return DroppedFile::kPicture;
  if (LooksLikeArchive(file)) return DroppedFile::kArchive;
  file.Close();
  // A palette file that Load Pal refuses as damaged is still a palette file: its refusal
  // says more than "not a palette".
  Palette scratch{};
  const PaletteReadResult read = ReadPaletteFile(path, {&scratch});
  const bool palette = read.status != PaletteReadStatus::kRefused ||
                       read.message != FillPattern(kNotAPaletteFile, {path});
  return palette ? DroppedFile::kPalette : DroppedFile::kOther;
}

}  // namespace pelgrin
