// Conversion of a full-size bitmap: the palette search for every pixel (baseline) against
// the converter, which answers recent colours from a table and searches the others among
// the entries that can be nearest; and the converter on each picture against its time on
// a picture of one colour, what the picture's colours cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "bench_pictures.h"
#include "convert/convert.h"
#include "ratio_report.h"
#include "shp/work_state.h"

namespace {

using pelgrin::RasterCols;
using pelgrin::RasterRows;
using pelgrin::WorkState;

void SetPixel(WorkState& ws, int x, int y, std::uint32_t rgb) {
  std::uint8_t* px =
      &ws.BmpPixels[3 * (static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y))];
  px[0] = static_cast<std::uint8_t>(rgb);
  px[1] = static_cast<std::uint8_t>(rgb >> 8);
  px[2] = static_cast<std::uint8_t>(rgb >> 16);
}

// A full 839 x 649 bitmap, its colours from colour_at (all opaque but the sprite's
// background).
template <typename ColourAt>
std::unique_ptr<WorkState> Picture(ColourAt colour_at, std::size_t& distinct) {
  auto ws = std::make_unique<WorkState>();
  ws->BmpHeader.biWidth = RasterCols;
  ws->BmpHeader.biHeight = RasterRows;
  std::set<std::uint32_t> colours;
  for (int x = 0; x < RasterCols; ++x) {
    for (int y = 0; y < RasterRows; ++y) {
      const std::uint32_t c = colour_at(x, y);
      SetPixel(*ws, x, y, c);
      colours.insert(c);
    }
  }
  distinct = colours.size();
  return ws;
}

// One colour, the floor's picture: the others are set against it to show what their
// colours cost.
std::unique_ptr<WorkState> OneColour(std::size_t& distinct) {
  return Picture([](int x, int y) { return pelgrin::PackRGB(pelgrin::OneColourPixel(x, y)); },
                 distinct);
}

// Smooth gradients over the whole colour cube, blue changing in blocks: tens of
// thousands of colours, as in a rendered picture.
std::unique_ptr<WorkState> ManyColours(std::size_t& distinct) {
  return Picture(
      [](int x, int y) {
        const auto r = static_cast<std::uint32_t>(x * 255 / (RasterCols - 1));
        const auto g = static_cast<std::uint32_t>(y * 255 / (RasterRows - 1));
        const auto b = static_cast<std::uint32_t>(((x / 16 + y / 16) * 8) % 256);
        return r | (g << 8) | (b << 16);
      },
      distinct);
}

// Every pixel a colour of its own (bench_pictures.h).
std::unique_ptr<WorkState> AllDistinct(std::size_t& distinct) {
  return Picture([](int x, int y) { return pelgrin::PackRGB(pelgrin::DistinctPixel(x, y)); },
                 distinct);
}

// 64 colours changing from one pixel to the next (bench_pictures.h).
std::unique_ptr<WorkState> SixtyFourColours(std::size_t& distinct) {
  return Picture([](int x, int y) { return pelgrin::PackRGB(pelgrin::SixtyFourPixel(x, y)); },
                 distinct);
}

// A shaded sprite of 22,677 colours on the background colour (bench_pictures.h): the
// colour changes at most pixels, and most colours recur only a few times.
std::unique_ptr<WorkState> Shaded(std::size_t& distinct) {
  return Picture([](int x, int y) { return pelgrin::PackRGB(pelgrin::ShadedSprite(x, y)); },
                 distinct);
}

template <typename Make>
void Run(benchmark::State& state, Make make, bool cached) {
  std::size_t distinct = 0;
  auto ws = make(distinct);
  for (auto _ : state) {
    const auto result = cached ? pelgrin::ConvertBitmap(*ws, RasterCols, RasterRows, false)
                               : pelgrin::ConvertBitmapLinear(*ws, RasterCols, RasterRows, false);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(ws->Raster.data());
  }
  state.counters["distinct_colours"] = static_cast<double>(distinct);
  if (cached) {
    const std::vector<std::uint8_t> fast(ws->Raster.begin(), ws->Raster.end());
    pelgrin::ConvertBitmapLinear(*ws, RasterCols, RasterRows, false);
    if (!std::equal(fast.begin(), fast.end(), ws->Raster.begin()))
      state.SkipWithError("the cached conversion differs from the plain one");
  }
}

void BM_OneColourCached(benchmark::State& s) {
  Run(s, OneColour, true);
}

void BM_ManyColoursLinear(benchmark::State& s) {
  Run(s, ManyColours, false);
}
void BM_ManyColoursCached(benchmark::State& s) {
  Run(s, ManyColours, true);
}
void BM_SixtyFourColoursLinear(benchmark::State& s) {
  Run(s, SixtyFourColours, false);
}
void BM_SixtyFourColoursCached(benchmark::State& s) {
  Run(s, SixtyFourColours, true);
}

void BM_ShadedLinear(benchmark::State& s) {
  Run(s, Shaded, false);
}
void BM_ShadedCached(benchmark::State& s) {
  Run(s, Shaded, true);
}

void BM_AllDistinctLinear(benchmark::State& s) {
  Run(s, AllDistinct, false);
}
void BM_AllDistinctCached(benchmark::State& s) {
  Run(s, AllDistinct, true);
}

BENCHMARK(BM_OneColourCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyColoursLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyColoursCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixtyFourColoursLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixtyFourColoursCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShadedLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShadedCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllDistinctLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllDistinctCached)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return pelgrin::bench::RunWithRatios(argc, argv,
                                       {{"BM_ManyColoursLinear", "BM_ManyColoursCached"},
                                        {"BM_SixtyFourColoursLinear", "BM_SixtyFourColoursCached"},
                                        {"BM_ShadedLinear", "BM_ShadedCached"},
                                        {"BM_AllDistinctLinear", "BM_AllDistinctCached"},
                                        {"BM_OneColourCached", "BM_SixtyFourColoursCached"},
                                        {"BM_OneColourCached", "BM_ShadedCached"},
                                        {"BM_OneColourCached", "BM_AllDistinctCached"}});
}
