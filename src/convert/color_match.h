// Matching bitmap colours to palette indices: the nearest entry by the sum of absolute
// channel differences, lower index first on equal distances, BackColor as index 255.
#pragma once

#include <cstdint>
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

// The same result as MatchColorLinear, searching only the entries that can be nearest.
// The colour cube is cut into cells; a cell's candidates are the allowed entries whose
// distance to the nearest point of the cell is no more than the smallest distance any
// entry has to the farthest point of the cell. The nearest entry of every colour in the
// cell, and every entry tied with it, is among them. Cells of 16 x 16 x 16 colours are
// searched; each takes its candidates from the enclosing cell of 32 x 32 x 32 (whose
// candidates include them), and both are filled the first time a colour falls into them.
class PaletteSearch {
 public:
  PaletteSearch(const Palette& palette, bool no_flash);
  // The nearest allowed entry of 0..254 (BackColor is not special here).
  std::uint8_t Nearest(Rgb c);

 private:
  // One way of cutting the cube: (1 << bits) cells per axis.
  struct Cells {
    explicit Cells(int bits);
    int Of(Rgb c) const;
    int bits;
    std::vector<std::int32_t> start;  // into pool; -1 until the cell is filled
    std::vector<std::uint16_t> count;
    std::vector<std::uint8_t> pool;  // each cell's candidates, in index order
  };

  // Fills the cell of c in cells, choosing from the entries from[0..n).
  void Fill(Cells& cells, Rgb c, const std::uint8_t* from, std::size_t n) const;
  // The candidates of c's cell, filling it (and its enclosing cell) when needed.
  const std::uint8_t* Candidates(Cells& cells, Rgb c, std::size_t& n);

  Palette palette_;
  std::vector<std::uint8_t> allowed_;  // the entries that may be chosen, in index order
  Cells coarse_{3};
  Cells fine_{4};
};

// One colour, without a cache: equal to MatchColorLinear.
std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c);

// Matches the colours of one conversion. Each distinct colour is searched once; later
// pixels of that colour are answered from a hash table keyed by the packed colour.
class ColorMatcher {
 public:
  ColorMatcher(const Palette& palette, bool no_flash);
  std::uint8_t Match(Rgb c) {
    const std::uint32_t key = PackRGB(c);
    if (key == last_key_) return last_index_;
    last_key_ = key;
    last_index_ = Lookup(key);
    return last_index_;
  }

 private:
  // A slot holds the packed colour in its upper 24 bits and the index in its low byte.
  // All ones marks an empty slot: it would be white matched to 255, and only BackColor
  // matches 255, which is answered before the table.
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;  // no packed colour has a top byte
  static constexpr int kInitialBits = 14;
  static constexpr int kGrowthBits = 2;  // the table grows four times over when half full

  std::uint8_t Lookup(std::uint32_t key);
  void Grow();
  std::size_t Slot(std::uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }

  PaletteSearch search_;
  std::uint32_t last_key_ = kNoColour;
  std::uint8_t last_index_ = 0;
  int shift_;
  std::size_t used_ = 0;
  std::vector<std::uint32_t> slots_;
};

}  // namespace pelgrin
