// The whole working state of the editor: the raster, the palettes, the index of the
// open file, the current image header, the loaded bitmap, the paths and the flags.
// Fixed-size storage only; the program holds exactly one WorkState and tests make
// their own (it is large: allocate it with std::make_unique).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace pelgrin {

inline constexpr int RasterCols = 839;
inline constexpr int RasterRows = 649;
inline constexpr int RasterSize = RasterCols * RasterRows;  // 544,511 bytes
inline constexpr int MaxImages = 10000;
inline constexpr std::uint8_t kTransparent = 255;

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
using Palette = std::array<Rgb, 256>;

// Colour shown for index 255 and treated as transparent by the converter.
inline constexpr Rgb BackColor{255, 225, 225};

// A colour for a drawing surface: red in the low byte.
constexpr std::uint32_t PackRGB(int red, int green, int blue) {
  return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8) |
         (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}
constexpr std::uint32_t PackRGB(Rgb c) {
  return PackRGB(c.r, c.g, c.b);
}
// The colour PackRGB packed (its top byte ignored).
constexpr Rgb UnpackRGB(std::uint32_t packed) {
  return {static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
          static_cast<std::uint8_t>(packed >> 16)};
}

// The 24-byte image header, every field held as a signed 32-bit integer.
struct ImageHeader {
  std::int32_t MaxY = 0;      // frame height - 1
  std::int32_t MaxX = 0;      // frame width - 1
  std::int32_t OffsWord = 0;  // XOffs in the low 16 bits, YOffs in the high 16 bits
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

// The bitmap header fields after the two signature bytes, as Write BMP writes them.
// Load BMP stores the loaded file's width, height and pixel offset here.
struct BmpHeaderRecord {
  std::uint32_t bfSize = 0;
  std::uint16_t bfReserved1 = 0;
  std::uint16_t bfReserved2 = 0;
  std::uint32_t bfOffBits = 54;
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

extern const Palette DefaultPalette;

// What a palette-indexed picture (PNG colour type 3, a 1-, 4- or 8-bit bitmap) brings
// beyond its colours: its own palette and which of its entries alpha makes transparent.
// Convert keeps the picture's indices when every entry it uses equals the loaded palette's.
struct PictureIndexInfo {
  bool indexed = false;
  std::int32_t entries = 0;  // colours the picture's palette holds
  Palette palette{};
  std::array<bool, 256> transparent{};
};

struct WorkState {
  WorkState();

  // A WorkState lives on the heap and starts from zeroed storage: the big tables below
  // have no initializers, so a new state costs no writes over its 2.8 MB and the system
  // hands out its pages only as they are used. A table about to be written whole asks
  // for its pages in one call (os::PopulatePages), which costs far less than a page
  // fault for each.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;

  // Column-major palette indices: pixel (x, y) at x * RasterRows + y; 255 = transparent.
  std::array<std::uint8_t, RasterSize> Raster;  // zero at start
  std::int32_t PutCol = 0;
  std::int32_t UsedCols = 0;
  std::int32_t UsedRows = 0;

  Palette LoadedPalette;
  Palette ActivePalette{};
  Palette SourcePalette{};

  std::int32_t ImageCount = 0;
  std::array<std::int32_t, MaxImages> ImageOffsets;    // zero at start
  std::array<std::int32_t, MaxImages> PaletteOffsets;  // zero at start
  ImageHeader CurHeader;
  std::int32_t ShownNumber = 0;  // the image number the last Show read into the raster

  // The loaded bitmap: column-major like Raster, 3 bytes (R, G, B) per pixel, row 0 on top.
  std::array<std::uint8_t, RasterSize * 3> BmpPixels;  // zero at start
  BmpHeaderRecord BmpHeader;
  // An indexed picture's palette indices, laid out like BmpPixels (255 where the file
  // stored no pixel); valid while BmpIndexInfo.indexed.
  std::array<std::uint8_t, RasterSize> BmpIndices;  // zero at start
  PictureIndexInfo BmpIndexInfo;

  std::string ShpPath;
  std::string ShpDir;
  std::string OutShpPath;
  std::string ProgramDir;
  std::string BmpDir;
  std::string NewImagePath = "New_shp.sdf";
  std::string TempShpPath = "~temp.shp";
  std::string PaletteName = "default";
  std::string SourcePaletteName = "default";

  bool CancelRequested = false;
  bool OpenFromCommandLine = false;
};

// Sets ProgramDir and the working-file paths that live in it.
void SetProgramDir(WorkState& ws, const std::string& program_dir);

// Every raster byte becomes 255; the counters are left alone.
void ClearRaster(WorkState& ws);

// Columns 0..cols-1 of rows 0..rows-1 become 255 (clipped to the raster): after a clear,
// everything PutPixel stored lies there when cols and rows are the counters it left.
void ClearRasterBox(WorkState& ws, std::int32_t cols, std::int32_t rows);

// Stores value at column PutCol of row, advancing PutCol and extending UsedCols and
// UsedRows. Pixels outside the raster are counted but not stored.
inline void PutPixel(WorkState& ws, std::int32_t row, std::uint8_t value) {
  const std::int32_t col = ws.PutCol;
  if (static_cast<std::uint32_t>(col) < static_cast<std::uint32_t>(RasterCols) &&
      static_cast<std::uint32_t>(row) < static_cast<std::uint32_t>(RasterRows)) {
    ws.Raster[static_cast<std::size_t>(col) * RasterRows + static_cast<std::size_t>(row)] = value;
  }
  if (col >= ws.UsedCols) ws.UsedCols = col == INT32_MAX ? col : col + 1;
  if (row >= ws.UsedRows) ws.UsedRows = row == INT32_MAX ? row : row + 1;
  if (col != INT32_MAX) ws.PutCol = col + 1;
}

// How many of the next n pixels of row, from PutCol on, land inside the raster.
inline std::int64_t PixelsInRaster(const WorkState& ws, std::int32_t row, std::int64_t n) {
  if (row < 0 || row >= RasterRows || ws.PutCol < 0 || ws.PutCol >= RasterCols) return 0;
  return std::min<std::int64_t>(n, RasterCols - ws.PutCol);
}

// Counts n pixels of row that fall outside the raster as n PutPixel calls would, in one
// step: a run of a damaged image can be far longer than the raster is wide.
inline void SkipPixels(WorkState& ws, std::int32_t row, std::int64_t n) {
  if (n <= 0) return;
  const auto end = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::int64_t{ws.PutCol} + n, std::numeric_limits<std::int32_t>::max()));
  if (end > ws.UsedCols) ws.UsedCols = end;
  if (row >= ws.UsedRows) ws.UsedRows = row == INT32_MAX ? row : row + 1;
  ws.PutCol = end;
}

// n pixels of one value: stored where they fall inside the raster, counted elsewhere.
inline void PutRun(WorkState& ws, std::int32_t row, std::uint8_t value, std::int64_t n) {
  const std::int64_t inside = PixelsInRaster(ws, row, n);
  for (std::int64_t j = 0; j < inside; ++j)
    PutPixel(ws, row, value);
  SkipPixels(ws, row, n - inside);
}

// The raster byte at (x, y), or 255 outside the raster.
inline std::uint8_t RasterAt(const WorkState& ws, std::int64_t x, std::int64_t y) {
  if (x < 0 || y < 0 || x >= RasterCols || y >= RasterRows) return kTransparent;
  return ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)];
}

void UseLoadedPalette(WorkState& ws);

// The colour of a raster index: BackColor for 255, the active palette otherwise.
inline std::uint32_t IndexColor(const WorkState& ws, std::uint8_t index) {
  return index == kTransparent ? PackRGB(BackColor) : PackRGB(ws.ActivePalette[index]);
}

}  // namespace pelgrin
