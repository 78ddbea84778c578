#include "shp/archive_builder.h"

#include <algorithm>

#include "io/byte_order.h"
#include "io/files.h"

namespace pelgrin {

std::vector<std::uint8_t> BuildArchive(const std::vector<ArchiveImage>& images,
                                       std::array<std::uint8_t, 4> header_word) {
  const std::size_t count = images.size();
  std::vector<std::uint8_t> out(8 + 8 * count, 0);
  std::copy(header_word.begin(), header_word.end(), out.begin());
  PutLE32(&out[4], static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const ArchiveImage& image = images[i];
    const std::size_t entry = 8 + 8 * i;  // out grows below: keep positions, not pointers
    if (image.same_as >= 0 && static_cast<std::size_t>(image.same_as) < i) {
      std::copy_n(out.begin() + static_cast<std::ptrdiff_t>(8 + 8 * image.same_as), 8,
                  out.begin() + static_cast<std::ptrdiff_t>(entry));
      continue;
    }
    PutLE32(&out[entry], static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), image.record.begin(), image.record.end());
    if (!image.has_palette) continue;
    PutLE32(&out[entry + 4], static_cast<std::uint32_t>(out.size()));
    std::uint8_t n[4];
    PutLE32(n, static_cast<std::uint32_t>(image.palette.size()));
    out.insert(out.end(), n, n + 4);
    for (const auto& e : image.palette)
      out.insert(out.end(), e.begin(), e.end());
  }
  return out;
}

}  // namespace pelgrin
