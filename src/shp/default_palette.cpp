// The built-in palette: a grey ramp and the four marker colours at the bottom, then
// sixteen-step colour ramps from dark to light, as game palettes are laid out.
#include "shp/work_state.h"

namespace pelgrin {
namespace {

// Channel values of game palettes are 6-bit intensities scaled up: 4k + 3.
constexpr std::uint8_t Level(int v) {
  const int stepped = v - v % 4 + 3;
  return static_cast<std::uint8_t>(stepped > 255 ? 255 : stepped);
}

constexpr void Ramp(Palette& p, int first, int count, Rgb dark, Rgb light) {
  for (int i = 0; i < count; ++i) {
    const auto mix = [&](int a, int b) { return Level(a + (b - a) * i / (count - 1)); };
    p[static_cast<std::size_t>(first + i)] = {mix(dark.r, light.r), mix(dark.g, light.g),
                                              mix(dark.b, light.b)};
  }
}

constexpr Palette BuildDefaultPalette() {
  Palette p{};
  constexpr std::uint8_t greys[] = {23, 43, 67, 91, 115, 139, 159, 183, 207, 231, 255};
  for (int i = 0; i < 11; ++i)
    p[static_cast<std::size_t>(i + 1)] = {greys[i], greys[i], greys[i]};
  p[12] = {75, 75, 151};
  p[13] = {43, 207, 51};
  p[14] = {255, 200, 0};
  p[15] = {227, 0, 0};
  Ramp(p, 16, 16, {0, 0, 0}, {243, 243, 243});        // neutral grey
  Ramp(p, 32, 16, {63, 0, 0}, {255, 143, 131});       // red
  Ramp(p, 48, 16, {67, 27, 0}, {255, 203, 119});      // orange
  Ramp(p, 64, 16, {59, 51, 0}, {255, 247, 159});      // gold
  Ramp(p, 80, 16, {0, 43, 0}, {163, 251, 143});       // green
  Ramp(p, 96, 16, {0, 39, 43}, {135, 247, 247});      // teal
  Ramp(p, 112, 16, {131, 0, 0}, {255, 255, 99});      // fire (colour-cycled in game)
  Ramp(p, 128, 16, {0, 0, 67}, {147, 175, 255});      // blue
  Ramp(p, 144, 16, {39, 0, 55}, {231, 151, 255});     // violet
  Ramp(p, 160, 16, {59, 31, 15}, {255, 215, 175});    // skin and leather
  Ramp(p, 176, 16, {43, 43, 15}, {223, 219, 143});    // olive
  Ramp(p, 192, 16, {83, 63, 35}, {255, 239, 195});    // sand
  Ramp(p, 208, 16, {11, 27, 15}, {107, 163, 103});    // forest
  Ramp(p, 224, 16, {0, 19, 67}, {99, 183, 255});      // water (colour-cycled in game)
  Ramp(p, 240, 5, {203, 203, 231}, {255, 255, 255});  // lights
  p[245] = {0, 0, 0};
  Ramp(p, 246, 8, {99, 0, 99}, {255, 131, 255});  // player colour
  p[254] = {127, 127, 127};
  p[255] = {175, 167, 159};
  return p;
}

}  // namespace

const Palette DefaultPalette = BuildDefaultPalette();

}  // namespace pelgrin
