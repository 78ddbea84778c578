// Writes the inputs of bench/peers.sh into DIR:
//   picture.bmp   839 x 649, smooth gradients with many distinct colours
//   one-colour.bmp, distinct.bmp, shaded.bmp, colours64.bmp
//                 839 x 649 pictures of convert's floor and cases: one colour; every pixel
//                 a colour of its own; a shaded sprite of about 21000 colours on the
//                 background colour; 64 colours changing from one pixel to the next
//   palette.pal   entries 0..254 of the built-in palette, as a text palette file
//   palette.bmp   the same 255 colours as a 255 x 1 bitmap (for other tools' remap)
//   record.sdf    one image record of 60 x 40
//   big.shp       about 50 MB: 2000 images of about 25 KB
//   many.shp      10000 small images
//   make_peer_inputs DIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_pictures.h"
#include "io/files.h"
#include "io/paths.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "shp/encode.h"
#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {
namespace {

class StderrReporter : public Reporter {
 public:
  void Log(std::string_view) override {}
  void ClearLog() override {}
  void ShowError(std::string_view text) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
  void Message(std::string_view text, std::string_view) override { ShowError(text); }
};

// Fills a width x height frame with a pattern of seed and encodes it.
std::vector<std::uint8_t> PatternRecord(WorkState& ws, int width, int height, int seed) {
  ClearRaster(ws);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
          static_cast<std::uint8_t>((x * 7 + y * 13 + seed * 31 + (x * y) % 11) % 255);
  ws.CurHeader = {};
  ws.CurHeader.MaxX = ws.CurHeader.Right = width - 1;
  ws.CurHeader.MaxY = ws.CurHeader.Bottom = height - 1;
  std::vector<std::uint8_t> record;
  EncodeImage(ws, record);
  return record;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return ReplaceFileContent(path, bytes);
}

std::vector<std::uint8_t> Archive(WorkState& ws, int count, int width, int height) {
  std::vector<ArchiveImage> images(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    images[static_cast<std::size_t>(i)].record = PatternRecord(ws, width, height, i);
  return BuildArchive(images);
}

bool WritePicture(const std::string& path, Reporter& reporter) {
  BmpHeaderRecord header;
  const auto fill = [](std::int64_t y, std::uint8_t* bgr) {
    for (int x = 0; x < RasterCols; ++x) {
      bgr[3 * x + 0] = static_cast<std::uint8_t>(127 + 127 * std::sin(x * 0.013 + y * 0.021));
      bgr[3 * x + 1] = static_cast<std::uint8_t>((x * 255) / RasterCols);
      bgr[3 * x + 2] = static_cast<std::uint8_t>((y * 255) / RasterRows ^ (x & 7));
    }
  };
  return WriteBmp24(path, RasterCols, RasterRows, header, fill, "Could not open %s", reporter);
}

// An 839 x 649 picture whose pixel (x, y) (y counted from the top) has colour_at(x, y).
template <typename ColourAt>
bool WriteCase(const std::string& path, ColourAt colour_at, Reporter& reporter) {
  BmpHeaderRecord header;
  const auto fill = [&colour_at](std::int64_t row, std::uint8_t* bgr) {
    const int y = RasterRows - 1 - static_cast<int>(row);
    for (int x = 0; x < RasterCols; ++x) {
      const Rgb c = colour_at(x, y);
      bgr[3 * x] = c.b;
      bgr[3 * x + 1] = c.g;
      bgr[3 * x + 2] = c.r;
    }
  };
  return WriteBmp24(path, RasterCols, RasterRows, header, fill, "Could not open %s", reporter);
}

bool WriteConvertCases(const std::string& dir, Reporter& reporter) {
  return WriteCase(JoinPath(dir, "one-colour.bmp"), OneColourPixel, reporter) &&
         WriteCase(JoinPath(dir, "distinct.bmp"), DistinctPixel, reporter) &&
         WriteCase(JoinPath(dir, "shaded.bmp"), ShadedSprite, reporter) &&
         WriteCase(JoinPath(dir, "colours64.bmp"), SixtyFourPixel, reporter);
}

bool WritePalettes(const std::string& dir, Reporter& reporter) {
  std::string text = "Benchmark palette\nversion 1\n255\n";
  for (int i = 0; i < 255; ++i) {
    const Rgb c = DefaultPalette[static_cast<std::size_t>(i)];
    text += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + "\n";
  }
  BmpHeaderRecord header;
  const auto fill = [](std::int64_t, std::uint8_t* bgr) {
    for (int i = 0; i < 255; ++i) {
      const Rgb c = DefaultPalette[static_cast<std::size_t>(i)];
      bgr[3 * i] = c.b;
      bgr[3 * i + 1] = c.g;
      bgr[3 * i + 2] = c.r;
    }
  };
  return WriteBytes(JoinPath(dir, "palette.pal"), {text.begin(), text.end()}) &&
         WriteBmp24(JoinPath(dir, "palette.bmp"), 255, 1, header, fill, "Could not open %s",
                    reporter);
}

int Run(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(FsPath(dir), ec);
  auto ws = std::make_unique<WorkState>();
  StderrReporter reporter;
  const bool ok = WritePicture(JoinPath(dir, "picture.bmp"), reporter) &&
                  WritePalettes(dir, reporter) && WriteConvertCases(dir, reporter) &&
                  WriteBytes(JoinPath(dir, "record.sdf"), PatternRecord(*ws, 60, 40, 5)) &&
                  WriteBytes(JoinPath(dir, "big.shp"), Archive(*ws, 2000, 170, 145)) &&
                  WriteBytes(JoinPath(dir, "many.shp"), Archive(*ws, 10000, 24, 16));
  if (!ok) std::fprintf(stderr, "Could not write the inputs in %s\n", dir.c_str());
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace pelgrin

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_peer_inputs DIR\n");
    return 2;
  }
  return pelgrin::Run(argv[1]);
}
