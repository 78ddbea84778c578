#include "shp/encode.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "shp/shp_format.h"

namespace pelgrin {
namespace {

constexpr int kMaxRun = 127;
constexpr int kMaxSkip = 255;

// Gathers row y of the raster, columns from max(left, 0) to the last one the line and the
// raster share, into a contiguous buffer: the raster is stored column by column, and the
// encoder looks at each cell several times. Transparent cells follow the gathered ones,
// so a line that lies inside the raster is read without a bounds check past its right
// end, as far as the encoder looks ahead (eight cells at a time, two beyond them).
class RowCells {
 public:
  void Gather(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right) {
    first_ = std::max<std::int64_t>(left, 0);
    const std::int64_t last = std::min<std::int64_t>(right, RasterCols - 1);
    cells_.clear();
    if (y >= 0 && y < RasterRows) {
      for (std::int64_t x = first_; x <= last; ++x)
        cells_.push_back(
            ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)]);
    }
    gathered_ = cells_.size();
    cells_.insert(cells_.end(), kLookAhead, kTransparent);
  }
  // The cell at column x: 255 where the buffer holds none (outside the raster).
  std::uint8_t At(std::int64_t x) const {
    const auto i = static_cast<std::uint64_t>(x - first_);
    return i < gathered_ ? cells_[i] : kTransparent;
  }
  // The cell at column x of a line inside the raster, x at most kLookAhead past its right
  // end.
  std::uint8_t Inside(std::int64_t x) const { return cells_[static_cast<std::size_t>(x - first_)]; }
  static constexpr std::size_t kLookAhead = 16;
  // The gathered cells from column x on; x must be a column the buffer holds.
  const std::uint8_t* From(std::int64_t x) const {
    return cells_.data() + static_cast<std::size_t>(x - first_);
  }

 private:
  std::int64_t first_ = 0;
  std::size_t gathered_ = 0;
  std::vector<std::uint8_t> cells_;
};

// kInside: the line lies inside the raster (Left at least 0, Right at most its last
// column), the case of every converted picture, and its cells are read straight.
template <bool kInside>
class LineEncoder {
 public:
  LineEncoder(const RowCells& row, std::int32_t right, std::vector<std::uint8_t>& out)
      : row_(row), right_(right), out_(out) {}

  // Cells right of Right count as transparent.
  std::uint8_t P(std::int64_t x) const {
    if constexpr (kInside) return row_.Inside(x);
    return x > right_ ? kTransparent : row_.At(x);
  }
  bool RepeatStarts(std::int64_t x) const { return P(x) == P(x + 1) && P(x) == P(x + 2); }

  void Encode(std::int64_t x) {
    const std::size_t line_start = out_.size();
    while (x <= right_) {
      if (P(x) == kTransparent) {
        x = Skip(x, out_.size() == line_start);
      } else if (RepeatStarts(x)) {
        x = Repeat(x);
      } else {
        x = Literal(x);
      }
    }
    out_.push_back(0);
  }

 private:
  std::int64_t Skip(std::int64_t x, bool first_code) {
    int k = 0;
    if constexpr (kWordWise) {
      const int limit = static_cast<int>(std::min<std::int64_t>(kMaxSkip, right_ - x + 1));
      k = Measure(x, limit, [](const std::uint8_t* p) { return Word(p) ^ ~std::uint64_t{0}; });
      x += k;
    } else {
      while (P(x) == kTransparent && x <= right_ && k < kMaxSkip) {
        ++k;
        ++x;
      }
    }
    // Trailing transparency is not written, unless the whole line is transparent.
    if (x <= right_ || first_code) {
      out_.push_back(1);
      out_.push_back(static_cast<std::uint8_t>(k));
    }
    return x;
  }

  std::int64_t Repeat(std::int64_t x) {
    const std::uint8_t v = P(x);
    int n = 1;
    ++x;
    if constexpr (kWordWise) {
      // An opaque run ends at the latest at the transparent cell after Right.
      const std::uint64_t run = v * kEveryByte;
      n += Measure(x, kMaxRun - 1, [run](const std::uint8_t* p) { return Word(p) ^ run; });
      x += n - 1;
    } else {
      while (P(x) == v && x <= right_ && n < kMaxRun) {
        ++n;
        ++x;
      }
    }
    out_.push_back(static_cast<std::uint8_t>(2 * n));
    out_.push_back(v);
    return x;
  }

  // The run is measured first and then copied in one step: its cells are opaque, so
  // they lie in the gathered row.
  std::int64_t Literal(std::int64_t x) {
    const std::int64_t start = x;
    int n = 0;
    if constexpr (kWordWise) {
      // A cell ends the run where it is transparent or equals the next two; the
      // transparent cell after Right ends it at the latest.
      n = Measure(x, kMaxRun, [](const std::uint8_t* p) {
        const std::uint64_t cells = Word(p);
        return ZeroBytes(cells ^ ~std::uint64_t{0}) |
               ZeroBytes((cells ^ Word(p + 1)) | (cells ^ Word(p + 2)));
      });
      x += n;
    } else {
      while (n < kMaxRun && !RepeatStarts(x) && x <= right_ && P(x) != kTransparent) {
        ++n;
        ++x;
      }
    }
    out_.push_back(static_cast<std::uint8_t>(2 * n + 1));
    const std::uint8_t* cells = row_.From(start);
    out_.insert(out_.end(), cells, cells + n);
    return x;
  }

  // Inside the raster, runs are measured eight cells at a time, the first cell of a word
  // in its lowest byte.
  static constexpr bool kWordWise = kInside && std::endian::native == std::endian::little;
  static constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

  static std::uint64_t Word(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
  }
  // The high bit of each zero byte of word, exact up to the first zero byte (a borrow
  // can mark bytes only above it).
  static std::uint64_t ZeroBytes(std::uint64_t word) {
    return (word - kEveryByte) & ~word & (kEveryByte << 7);
  }
  // The number of cells from column x on, at most limit, before the first that ends the
  // run: ends(p) is non-zero in the bytes of the eight cells at p that end it, and the
  // lowest such byte is exact.
  template <typename Ends>
  int Measure(std::int64_t x, int limit, Ends&& ends) const {
    const std::uint8_t* cells = row_.From(x);
    for (int n = 0; n < limit; n += 8) {
      const std::uint64_t end = ends(cells + n);
      if (end != 0) return std::min(n + std::countr_zero(end) / 8, limit);
    }
    return limit;
  }

  const RowCells& row_;
  std::int32_t right_;
  std::vector<std::uint8_t>& out_;
};

// Encodes row y, columns left..right, gathered into row (a buffer reused line after line).
void EncodeGathered(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right,
                    RowCells& row, std::vector<std::uint8_t>& out) {
  row.Gather(ws, y, left, right);
  if (left >= 0 && right < RasterCols && y >= 0 && y < RasterRows)
    LineEncoder<true>(row, right, out).Encode(left);
  else
    LineEncoder<false>(row, right, out).Encode(left);
}

// The encoder writes zero X and Y offsets whatever CurHeader carries.
void AppendHeader(ImageHeader h, std::vector<std::uint8_t>& out) {
  h.OffsWord = 0;
  const auto bytes = SerializeImageHeader(h);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

void EncodeLine(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right,
                std::vector<std::uint8_t>& line) {
  RowCells row;
  EncodeGathered(ws, y, left, right, row, line);
}

namespace {

// Encodes lines Top..Bottom of CurHeader into bytes, calling after_line() after each.
template <typename AfterLine>
void EncodeLines(const WorkState& ws, std::vector<std::uint8_t>& bytes, AfterLine&& after_line) {
  const ImageHeader& h = ws.CurHeader;
  RowCells row;
  for (std::int64_t y = h.Top; y <= h.Bottom; ++y) {
    EncodeGathered(ws, static_cast<std::int32_t>(y), h.Left, h.Right, row, bytes);
    after_line();
  }
}

}  // namespace

std::int64_t EncodeImage(const WorkState& ws, std::vector<std::uint8_t>& record) {
  const std::size_t start = record.size();
  const ImageHeader& h = ws.CurHeader;
  // Room for the worst case of a line inside the raster (a code byte for every cell and
  // its end byte), so the record is not copied as it grows.
  const std::int64_t lines =
      std::clamp<std::int64_t>(std::int64_t{h.Bottom} - h.Top + 1, 0, RasterRows);
  const std::int64_t cells =
      std::clamp<std::int64_t>(std::int64_t{h.Right} - h.Left + 1, 0, RasterCols);
  const std::size_t needed =
      start + kImageHeaderSize + static_cast<std::size_t>(lines * (2 * cells + 1));
  if (record.capacity() < needed) record.reserve(std::max(needed, 2 * record.capacity()));
  AppendHeader(h, record);
  EncodeLines(ws, record, [] {});
  return static_cast<std::int64_t>(record.size() - start);
}

std::int64_t EncodeImage(const WorkState& ws, OutFile& out) {
  // Line by line through one small buffer: the record is never held whole.
  std::vector<std::uint8_t> bytes;
  AppendHeader(ws.CurHeader, bytes);
  std::int64_t length = 0;
  const auto flush = [&] {
    out.Write(bytes);
    length += static_cast<std::int64_t>(bytes.size());
    bytes.clear();
  };
  EncodeLines(ws, bytes, flush);
  flush();
  return length;
}

}  // namespace pelgrin
