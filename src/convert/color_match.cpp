#include "convert/color_match.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

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

PaletteSearch::Cells::Cells(int cell_bits)
    : bits(cell_bits),
      start(std::size_t{1} << (3 * cell_bits), -1),
      count(std::size_t{1} << (3 * cell_bits), 0) {}

int PaletteSearch::Cells::Of(Rgb c) const {
  const int shift = 8 - bits;
  return ((c.r >> shift) << (2 * bits)) | ((c.g >> shift) << bits) | (c.b >> shift);
}

PaletteSearch::PaletteSearch(const Palette& palette, bool no_flash) : palette_(palette) {
  // Excluded entries never win: entry 0 is always allowed and closer than FlashPenalty.
  for (int i = 0; i < 255; ++i) {
    if (!(no_flash && IsFlashIndex(i))) allowed_.push_back(static_cast<std::uint8_t>(i));
  }
}

void PaletteSearch::Fill(Cells& cells, Rgb c, const std::uint8_t* from, std::size_t n) const {
  const int width = 1 << (8 - cells.bits);
  const int lo[3] = {c.r & -width, c.g & -width, c.b & -width};
  // Distance from entry e to the nearest (or the farthest) point of the cell.
  const auto reach = [&lo, width](const Rgb& e, bool farthest) {
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
    bound = std::min(bound, reach(palette_[from[k]], true));
  const auto cell = static_cast<std::size_t>(cells.Of(c));
  const std::size_t first = cells.pool.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (reach(palette_[from[k]], false) <= bound) cells.pool.push_back(from[k]);
  }
  cells.start[cell] = static_cast<std::int32_t>(first);
  cells.count[cell] = static_cast<std::uint16_t>(cells.pool.size() - first);
}

const std::uint8_t* PaletteSearch::Candidates(Cells& cells, Rgb c, std::size_t& n) {
  const auto cell = static_cast<std::size_t>(cells.Of(c));
  if (cells.start[cell] < 0) {
    if (&cells == &coarse_) {
      Fill(cells, c, allowed_.data(), allowed_.size());
    } else {
      std::size_t m = 0;
      const std::uint8_t* outer = Candidates(coarse_, c, m);
      Fill(cells, c, outer, m);
    }
  }
  n = cells.count[cell];
  return &cells.pool[static_cast<std::size_t>(cells.start[cell])];
}

std::uint8_t PaletteSearch::Nearest(Rgb c) {
  std::size_t n = 0;
  const std::uint8_t* candidate = Candidates(fine_, c, n);
  // The index in the low byte makes the smallest key the nearest entry and, among equally
  // near ones, the lowest index; no branch to mispredict.
  int best = std::numeric_limits<int>::max();
  for (std::size_t k = 0; k < n; ++k)
    best = std::min(best, (Distance(palette_[candidate[k]], c) << 8) | candidate[k]);
  return static_cast<std::uint8_t>(best);
}

std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c) {
  if (c == BackColor) return kTransparent;
  return PaletteSearch(palette, no_flash).Nearest(c);
}

ColorMatcher::ColorMatcher(const Palette& palette, bool no_flash)
    : search_(palette, no_flash),
      shift_(32 - kInitialBits),
      slots_(std::size_t{1} << kInitialBits, kEmpty) {}

std::uint8_t ColorMatcher::Lookup(std::uint32_t key) {
  if (key == PackRGB(BackColor)) return kTransparent;
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = Slot(key);
  for (; slots_[slot] != kEmpty; slot = (slot + 1) & mask) {
    if (slots_[slot] >> 8 == key) return static_cast<std::uint8_t>(slots_[slot]);
  }
  const std::uint8_t index =
      search_.Nearest(Rgb{static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
                          static_cast<std::uint8_t>(key >> 16)});
  slots_[slot] = (key << 8) | index;
  if (++used_ * 2 > slots_.size()) Grow();
  return index;
}

void ColorMatcher::Grow() {
  std::vector<std::uint32_t> old(slots_.size() << kGrowthBits, kEmpty);
  old.swap(slots_);
  shift_ -= kGrowthBits;
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint32_t entry : old) {
    if (entry == kEmpty) continue;
    std::size_t slot = Slot(entry >> 8);
    while (slots_[slot] != kEmpty)
      slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
}

}  // namespace pelgrin
