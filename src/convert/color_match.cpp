#include "convert/color_match.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <new>

namespace pelgrin {
namespace {

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

ZeroTable::ZeroTable(std::size_t size)
    : data_(static_cast<std::uint32_t*>(std::calloc(size, sizeof(std::uint32_t)))) {
  if (!data_) throw std::bad_alloc();
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
  // The entries to choose from: all allowed ones, or the enclosing cell's candidates
  // (copied, since the pool grows below).
  std::array<Entry, 255> from;
  std::size_t n = allowed_.size();
  if (level == 0) {
    std::copy(allowed_.begin(), allowed_.end(), from.begin());
  } else {
    std::uint32_t outer = cells_[level - 1][CellOf(level - 1, c)];
    if (outer == 0) outer = Fill(level - 1, c);
    n = outer & 0xFF;
    std::copy_n(&pool_[outer >> 8], n, from.begin());
  }
  const int width = 1 << (8 - kBits[level]);
  const int lo[3] = {c.r & -width, c.g & -width, c.b & -width};
  // Distance from entry e to the nearest (or the farthest) point of the cell.
  const auto reach = [&lo, width](const Entry& e, bool farthest) {
    const int v[3] = {e.r, e.g, e.b};
    int sum = 0;
    for (int k = 0; k < 3; ++k) {
      const int hi = lo[k] + width - 1;
      sum += farthest ? std::max(v[k] - lo[k], hi - v[k]) : std::max({lo[k] - v[k], v[k] - hi, 0});
    }
    return sum;
  };
  int bound = std::numeric_limits<int>::max();
  for (std::size_t k = 0; k < n; ++k)
    bound = std::min(bound, reach(from[k], true));
  const std::size_t first = pool_.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (reach(from[k], false) <= bound) pool_.push_back(from[k]);
  }
  const auto cell = static_cast<std::uint32_t>(first << 8 | (pool_.size() - first));
  cells_[level][CellOf(level, c)] = cell;
  return cell;
}

std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c) {
  if (c == BackColor) return kTransparent;
  return PaletteSearch(palette, no_flash).Nearest(c);
}

ColorMatcher::ColorMatcher(const Palette& palette, bool no_flash) : search_(palette, no_flash) {}

}  // namespace pelgrin
