#include "picture/bmp_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

#include "io/byte_order.h"
#include "io/files.h"
#include "io/system.h"
#include "io/text.h"
#include "shp/messages.h"

namespace pelgrin {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kCoreHeaderSize = 12;

void SerializeHeader(const BmpHeaderRecord& h, std::array<std::uint8_t, 54>& out) {
  out.fill(0);
  out[0] = 'B';
  out[1] = 'M';
  PutLE32(&out[2], h.bfSize);
  PutLE16(&out[6], h.bfReserved1);
  PutLE16(&out[8], h.bfReserved2);
  PutLE32(&out[10], h.bfOffBits);
  PutLE32(&out[14], h.biSize);
  PutLE32(&out[18], static_cast<std::uint32_t>(h.biWidth));
  PutLE32(&out[22], static_cast<std::uint32_t>(h.biHeight));
  PutLE16(&out[26], h.biPlanes);
  PutLE16(&out[28], h.biBitCount);
  PutLE32(&out[30], h.biCompression);
  PutLE32(&out[34], h.biSizeImage);
  PutLE32(&out[38], static_cast<std::uint32_t>(h.biXPelsPerMeter));
  PutLE32(&out[42], static_cast<std::uint32_t>(h.biYPelsPerMeter));
  PutLE32(&out[46], h.biClrUsed);
  PutLE32(&out[50], h.biClrImportant);
}

void PutBgr(std::uint8_t* at, std::uint32_t packed) {
  at[0] = static_cast<std::uint8_t>(packed >> 16);
  at[1] = static_cast<std::uint8_t>(packed >> 8);
  at[2] = static_cast<std::uint8_t>(packed);
}

// What a bitmap's headers say about its pixels.
struct BmpLayout {
  std::int64_t offset = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive
  bool top_down = false;
};

BmpReadResult ParseHeaders(InFile& file, BmpLayout& layout) {
  std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> h{};
  const std::size_t got = file.Read(h);
  if (got < kFileHeaderSize + kCoreHeaderSize || h[0] != 'B' || h[1] != 'M')
    return BmpReadResult::kNotBitmap;
  const std::uint32_t header_size = static_cast<std::uint32_t>(GetLE32(&h[14]));
  int bit_count = 0;
  std::uint32_t compression = 0;
  if (header_size == kCoreHeaderSize) {
    layout.width = GetLE16(&h[18]);
    layout.height = GetLE16(&h[20]);
    bit_count = GetLE16(&h[24]);
  } else if (header_size >= 16 && got >= kFileHeaderSize + 16) {
    layout.width = GetLE32(&h[18]);
    layout.height = GetLE32(&h[22]);
    bit_count = GetLE16(&h[28]);
    if (header_size >= 20 && got >= kFileHeaderSize + 20)
      compression = static_cast<std::uint32_t>(GetLE32(&h[30]));
  } else {
    return BmpReadResult::kNotBitmap;
  }
  if (bit_count != 24 || compression != 0) return BmpReadResult::kUnsupported;
  layout.top_down = layout.height < 0;
  layout.height = layout.height < 0 ? -layout.height : layout.height;
  if (layout.width <= 0 || layout.height <= 0) return BmpReadResult::kNotBitmap;
  if (layout.width > RasterCols || layout.height > RasterRows) return BmpReadResult::kTooLarge;
  layout.offset = static_cast<std::uint32_t>(GetLE32(&h[10]));
  const std::int64_t needed =
      layout.offset + BmpRowStride(layout.width) * (layout.height - 1) + 3 * layout.width;
  if (needed > file.Size()) return BmpReadResult::kTruncated;
  return BmpReadResult::kOk;
}

}  // namespace

bool WriteBmp24(const std::string& path, std::int64_t width, std::int64_t height,
                BmpHeaderRecord& header, const BmpRowFiller& fill_row,
                std::string_view open_failure, Reporter& reporter) {
  const std::int64_t stride = BmpRowStride(width);
  const std::int64_t image_size = stride * height;
  if (width <= 0 || height <= 0 ||
      image_size + 54 > std::int64_t{std::numeric_limits<std::uint32_t>::max()}) {
    reporter.ShowError(
        FillPattern("Could not write file %s: the picture is too large for a bitmap.", {path}));
    return false;
  }
  // The header record takes the new sizes only once the file is written: a later Convert
  // reads them, and a failed write changes nothing.
  BmpHeaderRecord written = header;
  written.bfSize = static_cast<std::uint32_t>(54 + image_size);
  written.bfOffBits = 54;
  written.biWidth = static_cast<std::int32_t>(width);
  written.biHeight = static_cast<std::int32_t>(height);
  written.biSizeImage = static_cast<std::uint32_t>(image_size);

  const auto write = [&](OutFile& out) {
    std::array<std::uint8_t, 54> head;
    SerializeHeader(written, head);
    out.Write(head);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
    for (std::int64_t y = height - 1; y >= 0 && out.Ok(); --y) {
      fill_row(y, row.data());
      out.Write(row);
    }
  };
  if (!WriteFileOrReport(path, open_failure, reporter, write)) return false;
  header = written;
  return true;
}

bool WriteRasterBmp(WorkState& ws, const std::string& path, Reporter& reporter) {
  const std::int64_t width = std::int64_t{ws.CurHeader.MaxX} + 1;
  const std::int64_t height = std::int64_t{ws.CurHeader.MaxY} + 1;
  const auto fill = [&ws, width](std::int64_t y, std::uint8_t* bgr) {
    for (std::int64_t x = 0; x < width; ++x) {
      PutBgr(bgr + 3 * x, IndexColor(ws, RasterAt(ws, x, y)));
    }
  };
  return WriteBmp24(path, width, height, ws.BmpHeader, fill, "Could not open bmp file %s",
                    reporter);
}

bool SaveSurfaceBmp(const Surface& surface, const std::string& path, Reporter& reporter) {
  BmpHeaderRecord header;
  const auto fill = [&surface](std::int64_t y, std::uint8_t* bgr) {
    for (int x = 0; x < surface.Width(); ++x) {
      PutBgr(bgr + 3 * x, surface.GetPixel(x, static_cast<int>(y)));
    }
  };
  return WriteBmp24(path, surface.Width(), surface.Height(), header, fill,
                    "Could not open bmp file %s", reporter);
}

BmpReadResult ReadBmpFile(WorkState& ws, const std::string& path) {
  InFile file;
  if (!file.Open(path)) return BmpReadResult::kOpenFailed;
  BmpLayout layout;
  const BmpReadResult parsed = ParseHeaders(file, layout);
  if (parsed != BmpReadResult::kOk) return parsed;

  os::PopulatePages(ws.BmpPixels.data(), static_cast<std::size_t>(3 * layout.width * RasterRows));
  // The pixels are read a block of rows at a time and stored column by column, so each
  // column takes a run of the block's pixels instead of one pixel per row read.
  constexpr std::int64_t kBlockRows = 32;
  const std::int64_t stride = BmpRowStride(layout.width);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(stride * kBlockRows));
  for (std::int64_t first = 0; first < layout.height; first += kBlockRows) {
    const std::int64_t rows = std::min(kBlockRows, layout.height - first);
    // The block's rows lie together in the file, upwards in a bottom-up bitmap.
    const std::int64_t first_file_row = layout.top_down ? first : layout.height - first - rows;
    const std::size_t wanted = static_cast<std::size_t>((rows - 1) * stride + 3 * layout.width);
    file.Seek(layout.offset + first_file_row * stride);
    if (file.Read(std::span(block.data(), wanted)) < wanted)
      return BmpReadResult::kTruncated;                  // checked above
    std::array<const std::uint8_t*, kBlockRows> row_of;  // the picture's rows first..
    for (std::int64_t r = 0; r < rows; ++r)
      row_of[static_cast<std::size_t>(r)] =
          &block[static_cast<std::size_t>((layout.top_down ? r : rows - 1 - r) * stride)];
    for (std::int64_t x = 0; x < layout.width; ++x) {
      std::uint8_t* px = &ws.BmpPixels[static_cast<std::size_t>(3 * (x * RasterRows + first))];
      for (std::int64_t r = 0; r < rows; ++r, px += 3) {
        const std::uint8_t* bgr = row_of[static_cast<std::size_t>(r)] + 3 * x;
        px[0] = bgr[2];
        px[1] = bgr[1];
        px[2] = bgr[0];
      }
    }
  }
  ws.BmpHeader.biWidth = static_cast<std::int32_t>(layout.width);
  ws.BmpHeader.biHeight = static_cast<std::int32_t>(layout.height);
  ws.BmpHeader.bfOffBits = static_cast<std::uint32_t>(layout.offset);
  return BmpReadResult::kOk;
}

std::string BmpReadMessage(BmpReadResult result, const std::string& path) {
  switch (result) {
    case BmpReadResult::kOk:
      return "";
    case BmpReadResult::kOpenFailed:
      return FillPattern("Could not open %s.", {path});
    case BmpReadResult::kNotBitmap:
      return FillPattern("%s is not a Windows bitmap.", {path});
    case BmpReadResult::kUnsupported:
      return FillPattern("%s is not an uncompressed 24-bit bitmap.", {path});
    case BmpReadResult::kTooLarge:
      return FillPattern("%s is larger than 839 x 649 pixels.", {path});
    case BmpReadResult::kTruncated:
      return FillPattern("%s is cut short: its pixel rows are missing.", {path});
  }
  return "";
}

void DrawBmpPixels(const WorkState& ws, Surface& bmp_view, Reporter& reporter) {
  const int width = std::clamp(ws.BmpHeader.biWidth, 0, RasterCols);
  const int height = std::clamp(ws.BmpHeader.biHeight, 0, RasterRows);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      bmp_view.SetPixel(x, y, PackRGB(BmpPixel(ws, x, y)));
    if (y % 10 == 0) reporter.Repaint(bmp_view);
  }
  reporter.Repaint(bmp_view);
}

}  // namespace pelgrin
