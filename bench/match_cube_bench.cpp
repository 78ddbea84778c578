// Every one of the 16,777,216 colours matched by the converter's matcher against the
// plain search over all 255 entries (MatchColorLinear), for a few palettes with and
// without "KV-No Flash". The plain search of the whole cube is the baseline; the
// matcher's run fails if any colour gets another index, matched one by one or (untimed)
// by columns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "convert/color_match.h"
#include "ratio_report.h"
#include "shp/work_state.h"

namespace {

using pelgrin::Palette;
using pelgrin::Rgb;

constexpr std::uint32_t kCube = 1u << 24;

// Random entries; with levels < 256 every channel takes one of that many values, so
// many entries are equal and many colours lie at equal distances from several entries.
Palette RandomPalette(int levels, unsigned seed) {
  std::mt19937 rng(seed);
  const auto channel = [&rng, levels] {
    return static_cast<std::uint8_t>(rng() % static_cast<unsigned>(levels) * 255 /
                                     static_cast<unsigned>(levels - 1));
  };
  Palette p;
  for (Rgb& e : p)
    e = {channel(), channel(), channel()};
  return p;
}

// Points of a lattice 32 apart in a shuffled order: the colours halfway between two
// of them are at equal distances, and the lower index is not always the lower colour.
Palette LatticePalette() {
  std::vector<Rgb> points;
  for (int r = 0; r < 8; ++r)
    for (int g = 0; g < 8; ++g)
      for (int b = 0; b < 8; ++b)
        points.push_back({static_cast<std::uint8_t>(32 * r), static_cast<std::uint8_t>(32 * g),
                          static_cast<std::uint8_t>(32 * b)});
  std::shuffle(points.begin(), points.end(), std::mt19937(7));
  Palette p;
  std::copy_n(points.begin(), p.size(), p.begin());
  return p;
}

const Palette& PaletteNamed(const std::string& name) {
  static const std::map<std::string, Palette> palettes = {
      {"Default", pelgrin::DefaultPalette},
      {"Random", RandomPalette(256, 1)},
      {"EqualEntries", RandomPalette(3, 2)},
      {"Lattice", LatticePalette()},
  };
  return palettes.at(name);
}

// The plain search's index of every colour by palette and flag, from its last run (one
// run takes seconds, longer than Google Benchmark's least time, so it is run once).
std::map<std::string, std::vector<std::uint8_t>> references;

void BM_CubeLinear(benchmark::State& state, const std::string& name, bool no_flash) {
  const Palette& p = PaletteNamed(name);
  std::vector<std::uint8_t> indices(kCube);
  for (auto _ : state) {
    for (std::uint32_t v = 0; v < kCube; ++v)
      indices[v] = pelgrin::MatchColorLinear(p, no_flash, pelgrin::UnpackRGB(v));
    benchmark::DoNotOptimize(indices.data());
  }
  references[name + (no_flash ? "/NoFlash" : "")] = std::move(indices);
}

// The cube as columns of 649 pixels through MatchRun, the way a picture is converted:
// every colour is new, so most columns are searched without the table.
std::vector<std::uint8_t> MatchByColumns(const Palette& p, bool no_flash) {
  pelgrin::ColorMatcher matcher(p, no_flash);
  std::vector<std::uint8_t> indices(kCube);
  std::vector<std::uint8_t> rgb;
  for (std::uint32_t at = 0; at < kCube; at += pelgrin::RasterRows) {
    const std::uint32_t n = std::min<std::uint32_t>(pelgrin::RasterRows, kCube - at);
    rgb.clear();
    for (std::uint32_t v = at; v < at + n; ++v) {
      const Rgb c = pelgrin::UnpackRGB(v);
      rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
    matcher.MatchRun(rgb.data(), n, &indices[at]);
  }
  return indices;
}

// The first colour whose index differs from the reference, as a message; empty if none.
std::string FirstDifference(const std::vector<std::uint8_t>& indices,
                            const std::vector<std::uint8_t>& reference, const char* how) {
  for (std::uint32_t v = 0; v < kCube; ++v) {
    if (indices[v] != reference[v]) {
      const Rgb c = pelgrin::UnpackRGB(v);
      return "colour " + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
             std::to_string(c.b) + " " + how + " differs from the plain search";
    }
  }
  return {};
}

void BM_CubeMatcher(benchmark::State& state, const std::string& name, bool no_flash) {
  const Palette& p = PaletteNamed(name);
  std::vector<std::uint8_t> indices(kCube);
  for (auto _ : state) {
    pelgrin::ColorMatcher matcher(p, no_flash);
    for (std::uint32_t v = 0; v < kCube; ++v)
      indices[v] = matcher.Match(pelgrin::UnpackRGB(v));
    benchmark::DoNotOptimize(indices.data());
  }
  const auto reference = references.find(name + (no_flash ? "/NoFlash" : ""));
  if (reference == references.end()) {
    state.SkipWithError("run the plain search of this palette first (same filter)");
    return;
  }
  std::string what = FirstDifference(indices, reference->second, "one by one");
  if (what.empty())
    what = FirstDifference(MatchByColumns(p, no_flash), reference->second, "by columns");
  if (!what.empty()) state.SkipWithError(what.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  pelgrin::bench::RatioPairs pairs;
  for (const std::string name : {"Default", "Random", "EqualEntries", "Lattice"}) {
    for (const bool no_flash : {false, true}) {
      const std::string suffix = name + (no_flash ? "/NoFlash" : "");
      benchmark::RegisterBenchmark(("BM_CubeLinear/" + suffix).c_str(), BM_CubeLinear, name,
                                   no_flash)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("BM_CubeMatcher/" + suffix).c_str(), BM_CubeMatcher, name,
                                   no_flash)
          ->Unit(benchmark::kMillisecond);
      pairs.push_back({"BM_CubeLinear/" + suffix, "BM_CubeMatcher/" + suffix});
    }
  }
  return pelgrin::bench::RunWithRatios(argc, argv, pairs);
}
