// Matching bitmap colours to palette indices: the nearest entry by the sum of absolute
// channel differences, lower index first on equal distances, BackColor as index 255.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "io/system.h"
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

// A table of zeros. A small one comes from the allocator, which reuses memory that is
// already the process's; one of a megabyte or more (sized for the worst case, used
// sparsely) is mapped on its own, so it costs only the pages touched and never a
// clearing of reused memory.
template <typename T>
class ZeroTable {
 public:
  explicit ZeroTable(std::size_t size) : bytes_(size * sizeof(T)) {
    data_ = static_cast<T*>(Mapped() ? os::AllocatePages(bytes_) : std::calloc(size, sizeof(T)));
    if (!data_) throw std::bad_alloc();
  }
  ~ZeroTable() {
    if (Mapped())
      os::FreePages(data_, bytes_);
    else
      std::free(data_);
  }
  ZeroTable(const ZeroTable&) = delete;
  ZeroTable& operator=(const ZeroTable&) = delete;
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* Data() { return data_; }
  // Asks for all the table's pages at once (see os::PopulatePages).
  void Populate() { os::PopulatePages(data_, bytes_); }

 private:
  bool Mapped() const { return bytes_ >= (std::size_t{1} << 20); }

  std::size_t bytes_;
  T* data_ = nullptr;
};

// The same result as MatchColorLinear, searching only the entries that can be nearest.
// Of entries with equal colours only the lowest index is kept: a later one never wins.
// The colour cube is cut into cells; a cell's candidates are the entries whose distance
// to the nearest point of the cell is no more than the smallest distance any entry has
// to the farthest point of the cell. The nearest entry of every colour in the cell, and
// every entry tied with it, is among them. Three cuts, of 32, 16 and 8 colours a side:
// a cell takes its candidates from those of its enclosing cell of the cut before, and
// is filled (with the seven that share that cell) the first time a colour falls into
// it. Colours are searched in cells of 8, whose candidates are stored as blocks of eight
// colours, channel by channel, which the compiler measures side by side.
class PaletteSearch {
 public:
  PaletteSearch(const Palette& palette, bool no_flash);
  // The nearest allowed entry of 0..254 (BackColor is not special here).
  std::uint8_t Nearest(Rgb c) { return NearestIn(CellAt(c), c); }

  // Says that most colours to come are new: the cells of the first level are then filled
  // eight at a time too, which costs less once most of them are wanted and more while few
  // are.
  void ExpectManyColours() { many_colours_ = true; }

  // c's cell at the last level as it stands (0 while not filled): a caller reads the next
  // colour's cell early, so that its load overlaps the search before it.
  std::uint32_t CellAt(Rgb c) const { return cells_[kLevels - 1][CellOf(kLevels - 1, c)]; }

  // The nearest entry to c, given what CellAt(c) gave (perhaps filled since). Most cells
  // have one block; a later block wins only by a strictly smaller distance, since its
  // entries come after the earlier blocks' in index order.
  std::uint8_t NearestIn(std::uint32_t cell, Rgb c) {
    if (cell == 0) cell = Filled(c);
    const Block* block = &blocks_[cell >> 8];
    const Block* const end = block + (cell & 0xFF);
    std::int32_t best = block->KeyFor(c);
    std::uint8_t index = block->index[best % Block::kLanes];
    while (++block != end) {
      const std::int32_t key = block->KeyFor(c);
      if (key / Block::kLanes < best / Block::kLanes) {
        best = key;
        index = block->index[key % Block::kLanes];
      }
    }
    return index;
  }

 private:
  struct Entry {
    std::uint8_t r, g, b, index;
  };
  // Eight candidates of a cell in index order, a block that is not full repeating its
  // first. KeyFor gives the smallest distance times eight plus its lane: the lowest lane
  // among the nearest, and so the lowest index. Sixteen-bit keys of byte differences:
  // the compiler measures the eight lanes at once.
  struct Block {
    static constexpr int kLanes = 8;
    // The blocks that hold a cell's candidates (kBlockCapacity rounds the same way).
    static constexpr std::size_t CountFor(std::size_t candidates) {
      return (candidates + kLanes - 1) / kLanes;
    }
    std::uint8_t r[kLanes], g[kLanes], b[kLanes], index[kLanes];
    std::int16_t KeyFor(Rgb c) const {
      const auto difference = [](std::uint8_t x, std::uint8_t y) {
        return static_cast<std::uint8_t>(std::max(x, y) - std::min(x, y));
      };
      std::int16_t best = std::numeric_limits<std::int16_t>::max();
      for (int k = 0; k < kLanes; ++k) {
        const int d = difference(r[k], c.r) + difference(g[k], c.g) + difference(b[k], c.b);
        const auto key = static_cast<std::int16_t>(d * kLanes + k);
        best = key < best ? key : best;
      }
      return best;
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
  // Fills c's cell of the level (and the enclosing cells it needs) and returns it. Below
  // the first level the eight cells that share c's enclosing cell are filled at once:
  // neighbouring colours fill neighbouring cells, and eight cells measured in one pass
  // over their common candidates cost about a third of eight passes.
  std::uint32_t Fill(int level, Rgb c);
  // c's cell at the last level, filled if it is not yet.
  std::uint32_t Filled(Rgb c);
  // Fills the kHalves^3 cells of the level that share c's cell of twice their side (with
  // kHalves 1, c's cell alone), choosing from the entries at positions from[0..n).
  template <int kHalves>
  std::uint32_t FillCells(int level, Rgb c, const std::uint8_t* from, std::size_t n);
  // Stores the candidates of a cell of the level, positions kept[0..n); returns the
  // cell's value.
  std::uint32_t Store(int level, const std::uint8_t* kept, std::size_t n);
  // Makes room for count more items in a table of which ready have their pages. A first
  // page fault costs as much as asking for many pages in one call, so once a picture has
  // filled kBulkAfter groups of cells the cell tables are taken whole and the pool and
  // blocks a chunk ahead; a picture of few colours never pays for pages it does not use.
  template <typename T>
  void Reserve(ZeroTable<T>& table, std::size_t size, std::size_t count, std::size_t capacity,
               std::size_t& ready) const;
  static constexpr std::size_t kBulkAfter = 8;
  static constexpr std::size_t kChunkBytes = std::size_t{64} << 10;

  static constexpr std::size_t kPoolCapacity =
      std::size_t{(1 << (3 * kBits[0])) + (1 << (3 * kBits[1]))} * 255;
  static constexpr std::size_t kBlockCapacity =
      (std::size_t{1} << (3 * kBits[kLevels - 1])) * ((255 + Block::kLanes - 1) / Block::kLanes);

  std::vector<Entry> allowed_;  // the entries that may be chosen, in index order
  // The candidates of every filled cell above the last level, as positions in allowed_,
  // each cell's in index order; and the blocks of the cells of the last level. Sized for
  // every cell at its largest, so they never move; only the part in use is touched.
  ZeroTable<std::uint8_t> pool_{kPoolCapacity};
  ZeroTable<Block> blocks_{kBlockCapacity};
  std::size_t pool_size_ = 0;
  std::size_t pool_ready_ = 0;  // the pool's items before this have their pages
  std::size_t blocks_size_ = 0;
  std::size_t blocks_ready_ = 0;
  std::size_t fills_ = 0;      // groups of cells filled at the last level
  bool many_colours_ = false;  // see ExpectManyColours
  // Per level and cell: the first candidate in pool_ (the first block in blocks_, at the
  // last level) times 256 plus their number (at least 1); 0 while the cell is not filled.
  ZeroTable<std::uint32_t> cells_[kLevels] = {ZeroTable<std::uint32_t>(CellCount(0)),
                                              ZeroTable<std::uint32_t>(CellCount(1)),
                                              ZeroTable<std::uint32_t>(CellCount(2))};
};

// One colour, without a cache: equal to MatchColorLinear.
std::uint8_t MatchColor(const Palette& palette, bool no_flash, Rgb c);

// Matches the colours of one conversion: a run of one colour is matched once, and a
// colour seen before is answered from a table of the recent colours. The table has a
// fixed number of sets of two slots, each set holding the last two colours that hashed
// to it, so it stays in the processor's fastest cache however many colours a picture
// has; a colour pushed out is searched again, which costs little.
class ColorMatcher {
 public:
  ColorMatcher(const Palette& palette, bool no_flash);
  std::uint8_t Match(Rgb c) {
    const std::uint32_t key = PackRGB(c);
    if (key == last_key_) return last_index_;
    last_key_ = key;
    last_index_ = Lookup(slots_.Data(), key);
    return last_index_;
  }

  // Matches n pixels of three bytes (R, G, B) each into out, as n calls of Match would.
  // A call is one column of a picture, matched in the way that suits the column before
  // it (every way gives the same indices):
  //   - kRuns: a pixel is looked up in the table only where the colour changes;
  //   - kEvery: where the colour changes at most pixels, but not at nearly all, whether it
  //     changes cannot be predicted: every pixel is looked up, with no test to mispredict;
  //   - kSearch: where most pixels were colours the table did not hold, its misses only
  //     cost: colours are searched directly, and every kSearchedColumns-th column goes
  //     through the table again to notice when colours repeat.
  void MatchRun(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
    if (n == 0) return;
    const std::size_t inserted = inserted_;
    const std::size_t changes = changes_;
    switch (way_) {
      case Way::kRuns:
        LookUpRun(rgb, n, out);
        break;
      case Way::kEvery:
        LookUpEvery(rgb, n, out);
        break;
      case Way::kSearch:
        SearchRun(rgb, n, out);
        break;
    }
    ChooseWay(n, inserted_ - inserted, changes_ - changes);
  }

 private:
  enum class Way { kRuns, kEvery, kSearch };
  static constexpr int kSearchedColumns = 16;

  // Matches a column pixel by pixel, looking a pixel up only where the colour changes.
  void LookUpRun(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out) {
    // Locals rather than members: a byte stored to out may alias any object, so members
    // would be read again after every pixel.
    std::uint32_t last_key = last_key_;
    std::uint8_t last_index = last_index_;
    std::uint32_t* const slots = slots_.Data();
    const auto match = [&](std::uint32_t key) {
      if (key != last_key) {
        last_key = key;
        last_index = Lookup(slots, key);
        ++changes_;
      }
      return last_index;
    };
    // Every pixel but the last is read as four bytes, the next pixel's first among them.
    for (std::size_t i = 0; i + 1 < n; ++i, rgb += 3)
      out[i] = match(PackedBeforeNext(rgb));
    out[n - 1] = match(PackRGB(rgb[0], rgb[1], rgb[2]));
    last_key_ = last_key;
    last_index_ = last_index;
  }

  // The next column's way, from this column's n pixels and the changes of colour and
  // searches it made.
  void ChooseWay(std::size_t n, std::size_t searches, std::size_t changes) {
    if (way_ == Way::kSearch) {
      if (++searched_columns_ < kSearchedColumns) return;
      searched_columns_ = 0;
      way_ = Way::kRuns;
    } else if (2 * searches > n) {
      way_ = Way::kSearch;
      search_.ExpectManyColours();
    } else {
      way_ = 2 * changes > n && 16 * changes < 15 * n ? Way::kEvery : Way::kRuns;
    }
  }
  // LookUpRun searching every colour directly, each pixel's cell read while the pixel
  // before it is searched. Out of line, so that the loop through the table keeps its
  // values in registers.
  void SearchRun(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out);
  // LookUpRun looking every pixel up, and counting the changes of colour without a
  // branch. Out of line too.
  void LookUpEvery(const std::uint8_t* rgb, std::size_t n, std::uint8_t* out);

  // A colour's index by search: 255 for BackColor, else the nearest entry. cell is what
  // PaletteSearch::CellAt gave for the colour.
  std::uint8_t Search(std::uint32_t key, std::uint32_t cell) {
    return key == kBackColorKey ? kTransparent : search_.NearestIn(cell, UnpackRGB(key));
  }

  // The packed colour of a pixel that another pixel follows: one load where the machine
  // stores the lowest byte first.
  static std::uint32_t PackedBeforeNext(const std::uint8_t* rgb) {
    if constexpr (std::endian::native == std::endian::little) {
      std::uint32_t word;
      std::memcpy(&word, rgb, sizeof word);
      return word & 0xFFFFFF;
    } else {
      return PackRGB(rgb[0], rgb[1], rgb[2]);
    }
  }

  // The index of a packed colour: from its set, or searched and stored first in it (the
  // set's older colour leaves). Both slots are compared without branches: which slot
  // holds a colour cannot be predicted. A slot XOR the probe is the index alone, below
  // 256, exactly when the slot holds the colour.
  std::uint8_t Lookup(std::uint32_t* slots, std::uint32_t key) {
    std::uint32_t* set = slots + SetOf(key) * kWays;
    const std::uint32_t probe = key << 8 ^ kBackColorEntry;
    const std::uint32_t found = std::min(set[0] ^ probe, set[1] ^ probe);
    if (found > 0xFF) [[unlikely]]
      return Insert(set, key);
    return static_cast<std::uint8_t>(found);
  }

  // A multiplicative hash whose top bits pick the set. Folding blue into the low bits
  // first spreads the colours of a shaded picture, which differ little in each channel,
  // over the sets: without it such a picture searches about twice as often.
  static std::uint32_t SetOf(std::uint32_t key) {
    return ((key ^ key >> 16) * 0x9E3779B1u) >> (32 - kSetBits);
  }

  // Searches a colour the table lacks and stores it first in its set (the set's older
  // colour leaves).
  std::uint8_t Insert(std::uint32_t* set, std::uint32_t key);

  // A slot holds the packed colour in its upper 24 bits and the index in its low byte,
  // stored XOR kBackColorEntry: a slot still zero reads as BackColor matched to 255,
  // which is BackColor's answer.
  static constexpr std::uint32_t kBackColorKey = PackRGB(BackColor);
  static constexpr std::uint32_t kBackColorEntry = kBackColorKey << 8 | kTransparent;
  static constexpr std::uint32_t kNoColour = 0xFFFFFFFFu;  // no packed colour has a top byte
  static constexpr int kWays = 2;                          // Lookup compares exactly two
  static constexpr int kSetBits = 12;                      // 4,096 sets of 2 slots: 32 KB

  static constexpr std::size_t kPopulateAfter = 8;

  PaletteSearch search_;
  std::size_t inserted_ = 0;
  Way way_ = Way::kRuns;      // the next column's
  std::size_t changes_ = 0;   // changes of colour counted so far
  int searched_columns_ = 0;  // columns searched since the last through the table
  std::uint32_t last_key_ = kNoColour;
  std::uint8_t last_index_ = 0;
  ZeroTable<std::uint32_t> slots_{(std::size_t{1} << kSetBits) * kWays};
};

}  // namespace pelgrin
