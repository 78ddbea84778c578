// Matching bitmap colours to palette indices: the nearest entry by the sum of absolute
// channel differences, lower index first on equal distances, BackColor as index 255.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "shp/work_state.h"

namespace pelgrin {

// The distance given to an index that "KV-No Flash" excludes; larger than any real
// distance (at most 3 * 255).
inline constexpr std::int32_t FlashPenalty = 100000;

// Indices that flash in the game: 112..127 and 224 and above.
constexpr bool IsFlashIndex(int i) {
  return (i >= 112 && i <= 127) || i >= 224;
}

// The plain rule, one distance at a time: 255 for BackColor, else the nearest of entries
// 0..254 (flash indices excluded when no_flash). The reference the faster paths must equal.
std::uint8_t MatchColorLinear(const Palette& palette, bool no_flash, Rgb c);

// A table of zeros whose memory the system zeroes on first use (when it is large enough
// to be mapped on its own): a conversion that uses a few cells of a table pays for those.
class ZeroTable {
 public:
  explicit ZeroTable(std::size_t size);
  std::uint32_t& operator[](std::size_t i) { return data_.get()[i]; }

 private:
  struct Free {
    void operator()(std::uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint32_t[], Free> data_;
};

// The same result as MatchColorLinear, searching only the entries that can be nearest.
// Of entries with equal colours only the lowest index is kept: a later one never wins.
// The colour cube is cut into cells; a cell's candidates are the entries whose distance
// to the nearest point of the cell is no more than the smallest distance any entry has
// to the farthest point of the cell. The nearest entry of every colour in the cell, and
// every entry tied with it, is among them. Three cuts, of 32, 16 and 8 colours a side:
// a cell takes its candidates from those of its enclosing cell of the cut before, and
// is filled the first time a colour falls into it. Colours are searched in cells of 8.
class PaletteSearch {
 public:
  PaletteSearch(const Palette& palette, bool no_flash);
  // The nearest allowed entry of 0..254 (BackColor is not special here).
  std::uint8_t Nearest(Rgb c) {
    std::uint32_t cell = cells_[kLevels - 1][CellOf(kLevels - 1, c)];
    if (cell == 0) cell = Fill(kLevels - 1, c);
    const Entry* candidate = &pool_[cell >> 8];
    const std::uint32_t n = cell & 0xFF;
    // The index in the low byte makes the smallest key the nearest entry and, among
    // equally near ones, the lowest index; no branch to mispredict.
    std::uint32_t best = ~std::uint32_t{0};
    for (std::uint32_t k = 0; k < n; ++k)
      best = std::min(best, candidate[k].KeyFor(c));
    return static_cast<std::uint8_t>(best);
  }

 private:
  struct Entry {
    std::uint8_t r, g, b, index;
    std::uint32_t KeyFor(Rgb c) const {
      const int d = std::abs(r - c.r) + std::abs(g - c.g) + std::abs(b - c.b);
      return static_cast<std::uint32_t>(d) << 8 | index;
    }
  };
  static constexpr int kLevels = 3;
  static constexpr int kBits[kLevels] = {3, 4, 5};  // cells per axis: 1 << bits

  static constexpr std::size_t CellCount(int level) { return std::size_t{1} << (3 * kBits[level]); }
  static std::size_t CellOf(int level, Rgb c) {
    const int bits = kBits[level];
    const int shift = 8 - bits;
    return static_cast<std::size_t>(((c.r >> shift) << (2 * bits)) | ((c.g >> shift) << bits) |
                                    (c.b >> shift));
  }
  // Fills c's cell of the level (and the enclosing cells it needs) and returns it.
  std::uint32_t Fill(int level, Rgb c);

  std::vector<Entry> allowed_;  // the entries that may be chosen, in index order
  std::vector<Entry> pool_;     // the candidates of every filled cell, each in index order
  // Per level and cell: the first candidate in pool_ times 256 plus their number (at least
  // 1, at most 255); 0 while the cell is not filled. The pool never holds more than
  // (512 + 4096 + 32768) * 255 < 2^24 candidates.
  ZeroTable cells_[kLevels] = {ZeroTable(CellCount(0)), ZeroTable(CellCount(1)),
                               ZeroTable(CellCount(2))};
};

// One colour, without a cache: equal to MatchColorLinear.
std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c);

// Matches the colours of one conversion: a run of one colour is matched once, and a
// colour seen before is answered from a table of the recent colours. The table has a
// fixed number of slots, each holding the last colour that hashed to it, so it stays in
// the processor's cache however many colours a picture has; a colour pushed out is
// searched again, which costs little.
class ColorMatcher {
 public:
  ColorMatcher(const Palette& palette, bool no_flash);
  std::uint8_t Match(Rgb c) {
    const std::uint32_t key = PackRGB(c);
    if (key == last_key_) return last_index_;
    last_key_ = key;
    std::uint32_t& slot = slots_[(key * 0x9E3779B1u) >> (32 - kSlotBits)];
    std::uint32_t entry = slot ^ kBackColorEntry;
    if (entry >> 8 != key) {
      entry = key << 8 | (c == BackColor ? kTransparent : search_.Nearest(c));
      slot = entry ^ kBackColorEntry;
    }
    last_index_ = static_cast<std::uint8_t>(entry);
    return last_index_;
  }

 private:
  // A slot holds the packed colour in its upper 24 bits and the index in its low byte,
  // stored XOR kBackColorEntry: a slot still zero reads as BackColor matched to 255,
  // which is BackColor's answer.
  static constexpr std::uint32_t kBackColorEntry = PackRGB(BackColor) << 8 | kTransparent;
  static constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;  // no packed colour has a top byte
  static constexpr int kSlotBits = 15;

  PaletteSearch search_;
  std::uint32_t last_key_ = kNoColour;
  std::uint8_t last_index_ = 0;
  ZeroTable slots_{std::size_t{1} << kSlotBits};
};

}  // namespace pelgrin
