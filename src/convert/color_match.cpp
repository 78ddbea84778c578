#include "convert/color_match.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <new>

namespace pelgrin {
namespace {

// The positions 0, 1, 2, ... of allowed entries: the candidates of the whole cube.
constexpr std::array<std::uint8_t, 255> kEveryPosition = [] {
  std::array<std::uint8_t, 255> positions{};
  for (std::size_t k = 0; k < positions.size(); ++k)
    positions[k] = static_cast<std::uint8_t>(k);
  return positions;
}();

int Distance(Rgb a, Rgb c) {
  return std::abs(a.r - c.r) + std::abs(a.g - c.g) + std::abs(a.b - c.b);
}

}  // namespace

std::uint8_t MatchColorLinear(const Palette& palette, bool no_flash, Rgb c) {
  if (c == BackColor) return kTransparent;
  int best_index = 0;
  std::int32_t best = std::numeric_limits<std::int32_t>::max();
  for (int i = 0; i < 255; ++i) {
    const std::int32_t d = no_flash && IsFlashIndex(i)
                               ? FlashPenalty
                               : Distance(palette[static_cast<std::size_t>(i)], c);
    if (d < best) {
      best = d;
      best_index = i;
    }
  }
  return static_cast<std::uint8_t>(best_index);
}

PaletteSearch::PaletteSearch(const Palette& palette, bool no_flash) {
  // Excluded entries never win: entry 0 is always allowed and closer than FlashPenalty.
  for (int i = 0; i < 255; ++i) {
    if (no_flash && IsFlashIndex(i)) continue;
    const Rgb e = palette[static_cast<std::size_t>(i)];
    const auto same = [e](const Entry& a) { return a.r == e.r && a.g == e.g && a.b == e.b; };
    if (std::none_of(allowed_.begin(), allowed_.end(), same))
      allowed_.push_back({e.r, e.g, e.b, static_cast<std::uint8_t>(i)});
  }
}

std::uint32_t PaletteSearch::Fill(int level, Rgb c) {
  // The entries to choose from: all allowed ones, or the enclosing cell's candidates,
  // which lie in the pool before the part this cell fills.
  const std::uint8_t* from = kEveryPosition.data();
  std::size_t n = allowed_.size();
  if (level > 0) {
    std::uint32_t outer = cells_[level - 1][CellOf(level - 1, c)];
    if (outer == 0) outer = Fill(level - 1, c);
    n = outer & 0xFF;
    from = &pool_[outer >> 8];
  }
  const int last = (1 << (8 - kBits[level])) - 1;  // a cell spans lo .. lo + last
  const int r0 = c.r & ~last, g0 = c.g & ~last, b0 = c.b & ~last;
  // Distance from entry e to the farthest point of the cell, and to the nearest.
  const Entry* entries = allowed_.data();
  const auto farthest = [=](std::uint8_t position) {
    const Entry& e = entries[position];
    return std::max(e.r - r0, r0 + last - e.r) + std::max(e.g - g0, g0 + last - e.g) +
           std::max(e.b - b0, b0 + last - e.b);
  };
  const auto outside = [last](int v, int lo) {
    return std::max(lo - v, 0) + std::max(v - lo - last, 0);
  };
  const auto nearest = [=](std::uint8_t position) {
    const Entry& e = entries[position];
    return outside(e.r, r0) + outside(e.g, g0) + outside(e.b, b0);
  };
  int bound = std::numeric_limits<int>::max();
  for (std::size_t k = 0; k < n; ++k)
    bound = std::min(bound, farthest(from[k]));
  // Every entry is written and only the kept ones advance: no branch to mispredict.
  const std::size_t first = pool_size_;
  std::uint8_t* to = pool_.Data() + first;
  std::size_t kept = 0;
  for (std::size_t k = 0; k < n; ++k) {
    to[kept] = from[k];
    kept += nearest(from[k]) <= bound ? 1 : 0;
  }
  pool_size_ = first + kept;
  const auto cell = static_cast<std::uint32_t>(first << 8 | kept);
  cells_[level][CellOf(level, c)] = cell;
  return cell;
}

std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c) {
  if (c == BackColor) return kTransparent;
  return PaletteSearch(palette, no_flash).Nearest(c);
}

ColorMatcher::ColorMatcher(const Palette& palette, bool no_flash) : search_(palette, no_flash) {}

}  // namespace pelgrin
