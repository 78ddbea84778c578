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

template <typename T>
void PaletteSearch::Reserve(ZeroTable<T>& table, std::size_t size, std::size_t count,
                            std::size_t capacity, std::size_t& ready) const {
  if (fills_ < kBulkAfter || size + count <= ready) return;
  const std::size_t from = std::max(ready, size);
  const std::size_t to = std::min(from + std::max(count, kChunkBytes / sizeof(T)), capacity);
  os::PopulatePages(table.Data() + from, (to - from) * sizeof(T));
  ready = to;
}

std::uint32_t PaletteSearch::Store(int level, const std::uint8_t* kept, std::size_t n) {
  if (level < kLevels - 1) {
    const std::size_t first = pool_size_;
    std::copy_n(kept, n, pool_.Data() + first);
    pool_size_ += n;
    return static_cast<std::uint32_t>(first << 8 | n);
  }
  const std::size_t first = blocks_size_;
  const std::size_t count = Block::CountFor(n);
  for (std::size_t j = 0; j < count; ++j) {
    Block& block = blocks_[first + j];
    for (std::size_t lane = 0; lane < Block::kLanes; ++lane) {
      const std::size_t at = j * Block::kLanes + lane;
      const Entry& e = allowed_[kept[at < n ? at : j * Block::kLanes]];
      block.r[lane] = e.r;
      block.g[lane] = e.g;
      block.b[lane] = e.b;
      block.index[lane] = e.index;
    }
  }
  blocks_size_ += count;
  return static_cast<std::uint32_t>(first << 8 | count);
}

std::uint32_t PaletteSearch::Fill(int level, Rgb c) {
  if (level == 0) {
    return many_colours_ ? FillCells<2>(0, c, kEveryPosition.data(), allowed_.size())
                         : FillCells<1>(0, c, kEveryPosition.data(), allowed_.size());
  }
  // The enclosing cell's candidates lie in the pool before the part these cells fill.
  std::uint32_t outer = cells_[level - 1][CellOf(level - 1, c)];
  if (outer == 0) outer = Fill(level - 1, c);
  if (level == kLevels - 1 && ++fills_ == kBulkAfter) {
    for (auto& cells : cells_)
      cells.Populate();
  }
  return FillCells<2>(level, c, &pool_[outer >> 8], outer & 0xFF);
}

std::uint32_t PaletteSearch::Filled(Rgb c) {
  const std::uint32_t cell = CellAt(c);
  return cell != 0 ? cell : Fill(kLevels - 1, c);
}

template <int kHalves>
std::uint32_t PaletteSearch::FillCells(int level, Rgb c, const std::uint8_t* from, std::size_t n) {
  constexpr int kCells = kHalves * kHalves * kHalves;
  if (level == kLevels - 1) {
    Reserve(blocks_, blocks_size_, kCells * Block::CountFor(n), kBlockCapacity, blocks_ready_);
  } else {
    Reserve(pool_, pool_size_, kCells * n, kPoolCapacity, pool_ready_);
  }
  const int side = 1 << (8 - kBits[level]);
  const int last = side - 1;  // a cell spans lo .. lo + last
  const int mask = ~(kHalves * side - 1);
  const int lo[3] = {c.r & mask, c.g & mask, c.b & mask};
  // Per axis, half and entry: the distance to the nearest point of the half. Per half
  // and entry, the distance to the farthest, whose smallest sum bounds each cell.
  std::array<std::array<std::uint16_t, 255>, 3 * kHalves> near;
  std::array<int, kCells> bound;
  bound.fill(std::numeric_limits<int>::max());
  const Entry* entries = allowed_.data();
  for (std::size_t k = 0; k < n; ++k) {
    const Entry& e = entries[from[k]];
    const int v[3] = {e.r, e.g, e.b};
    int far[3 * kHalves];
    for (int axis = 0; axis < 3; ++axis) {
      for (int half = 0; half < kHalves; ++half) {
        const int low = lo[axis] + half * side;
        const auto at = static_cast<std::size_t>(kHalves * axis + half);
        far[at] = std::max(v[axis] - low, low + last - v[axis]);
        near[at][k] = static_cast<std::uint16_t>(std::max(low - v[axis], 0) +
                                                 std::max(v[axis] - low - last, 0));
      }
    }
    for (int cell = 0; cell < kCells; ++cell) {
      const int sum = far[cell / (kHalves * kHalves)] + far[kHalves + cell / kHalves % kHalves] +
                      far[2 * kHalves + cell % kHalves];
      bound[static_cast<std::size_t>(cell)] = std::min(bound[static_cast<std::size_t>(cell)], sum);
    }
  }
  // Per cell, the entries whose distances to its nearest point sum to no more than its
  // bound. Every entry is written to every cell's list and only the kept ones advance: no
  // branch to mispredict, and one loop, whose end is mispredicted once, for all cells.
  const auto half = [](int cell, int axis) {
    return axis == 0   ? cell / (kHalves * kHalves)
           : axis == 1 ? cell / kHalves % kHalves
                       : cell % kHalves;
  };
  std::array<std::array<std::uint8_t, 255>, kCells> kept;
  std::array<std::size_t, kCells> count{};
  for (std::size_t k = 0; k < n; ++k) {
    for (int cell = 0; cell < kCells; ++cell) {
      const auto i = static_cast<std::size_t>(cell);
      const int distance = near[static_cast<std::size_t>(half(cell, 0))][k] +
                           near[static_cast<std::size_t>(kHalves + half(cell, 1))][k] +
                           near[static_cast<std::size_t>(2 * kHalves + half(cell, 2))][k];
      kept[i][count[i]] = from[k];
      count[i] += distance <= bound[i] ? 1 : 0;
    }
  }
  for (int cell = 0; cell < kCells; ++cell) {
    const auto i = static_cast<std::size_t>(cell);
    const Rgb corner{static_cast<std::uint8_t>(lo[0] + half(cell, 0) * side),
                     static_cast<std::uint8_t>(lo[1] + half(cell, 1) * side),
                     static_cast<std::uint8_t>(lo[2] + half(cell, 2) * side)};
    cells_[level][CellOf(level, corner)] = Store(level, kept[i].data(), count[i]);
  }
  return cells_[level][CellOf(level, c)];
}

std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c) {
  if (c == BackColor) return kTransparent;
  return PaletteSearch(palette, no_flash).Nearest(c);
}

ColorMatcher::ColorMatcher(const Palette& palette, bool no_flash) : search_(palette, no_flash) {}

std::uint8_t ColorMatcher::Insert(std::uint32_t* set, std::uint32_t key) {
  // Past a few colours the table's pages are all wanted: one call instead of a fault each.
  if (++inserted_ == kPopulateAfter) slots_.Populate();
  const std::uint32_t entry = key << 8 | Search(key, search_.CellAt(UnpackRGB(key)));
  set[1] = set[0];
  set[0] = entry ^ kBackColorEntry;
  return static_cast<std::uint8_t>(entry);
}

void ColorMatcher::LookUpEvery(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
  std::uint32_t* const slots = slots_.Data();
  std::uint32_t last_key = last_key_;
  std::size_t changes = 0;
  const auto match = [&](std::uint32_t key) {
    changes += key != last_key ? 1 : 0;
    last_key = key;
    return Lookup(slots, key);
  };
  for (std::size_t i = 0; i + 1 < n; ++i, rgb += 3)
    out[i] = match(PackedBeforeNext(rgb));
  out[n - 1] = match(PackRGB(rgb[0], rgb[1], rgb[2]));
  last_key_ = last_key;
  last_index_ = out[n - 1];
  changes_ += changes;
}

void ColorMatcher::SearchRun(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
  // The cells of a picture of many colours are seldom in the fastest cache: reading the
  // next pixel's cell before this pixel's search lets the two overlap.
  const auto packed = [rgb, n](std::size_t i) {
    return i + 1 < n ? PackedBeforeNext(rgb + 3 * i)
                     : PackRGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  };
  std::uint32_t last_key = last_key_;
  std::uint8_t last_index = last_index_;
  std::uint32_t key = packed(0);
  std::uint32_t cell = search_.CellAt(UnpackRGB(key));
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t next_key = i + 1 < n ? packed(i + 1) : key;
    const std::uint32_t next_cell = search_.CellAt(UnpackRGB(next_key));
    if (key != last_key) {
      last_key = key;
      last_index = Search(key, cell);
    }
    out[i] = last_index;
    key = next_key;
    cell = next_cell;
  }
  last_key_ = last_key;
  last_index_ = last_index;
}

}  // namespace pelgrin
