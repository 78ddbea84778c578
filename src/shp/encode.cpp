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
// end, as far as the encoder looks ahead (sixteen cells at a time, two beyond them).
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
  static constexpr std::size_t kLookAhead = 32;
  // The gathered cells from column x on; x must be a column the buffer holds.
  const std::uint8_t* From(std::int64_t x) const {
    return cells_.data() + static_cast<std::size_t>(x - first_);
  }

 private:
  std::int64_t first_ = 0;
  std::size_t gathered_ = 0;
  std::vector<std::uint8_t> cells_;
};

// Encodes a line cell by cell, cells right of Right counting as transparent: the road of
// a line that reaches outside the raster (a damaged header), and of every line where the
// machine does not store the lowest byte first.
class LineEncoder {
 public:
  LineEncoder(const RowCells& row, std::int32_t right, std::vector<std::uint8_t>& out)
      : row_(row), right_(right), out_(out) {}

  std::uint8_t P(std::int64_t x) const { return x > right_ ? kTransparent : row_.At(x); }
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
    while (P(x) == kTransparent && x <= right_ && k < kMaxSkip) {
      ++k;
      ++x;
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
    while (P(x) == v && x <= right_ && n < kMaxRun) {
      ++n;
      ++x;
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
    while (n < kMaxRun && !RepeatStarts(x) && x <= right_ && P(x) != kTransparent) {
      ++n;
      ++x;
    }
    out_.push_back(static_cast<std::uint8_t>(2 * n + 1));
    const std::uint8_t* cells = row_.From(start);
    out_.insert(out_.end(), cells, cells + n);
    return x;
  }

  const RowCells& row_;
  std::int32_t right_;
  std::vector<std::uint8_t>& out_;
};

// Encodes the count cells of a line inside the raster, which transparent cells follow,
// into to (room for 2 * count + 1 + kLiteralCopy bytes), measuring skips, repeats and
// literals sixteen cells at a time (eight cells to a word, the first in its lowest byte,
// where the machine stores it so). Returns the end of the bytes written. Only locals are
// used: a byte stored through to may alias anything, and members would be read again.
class InsideLine {
 public:
  static constexpr std::size_t kLiteralCopy = 16;  // a short literal is copied whole
  static constexpr bool kAvailable = std::endian::native == std::endian::little;

  static std::uint8_t* Encode(const std::uint8_t* cells, std::int64_t count, std::uint8_t* to) {
    std::uint8_t* const line_start = to;
    std::int64_t x = 0;
    while (x < count) {
      const std::uint8_t v = cells[x];
      if (v == kTransparent) {
        const int limit = static_cast<int>(std::min<std::int64_t>(kMaxSkip, count - x));
        const int k = Measure(cells + x, limit, [](const std::uint8_t* p) { return ~Word(p); });
        x += k;
        // Trailing transparency is not written, unless the whole line is transparent.
        if (x < count || to == line_start) to = Put(to, 1, static_cast<std::uint8_t>(k));
      } else if (v == cells[x + 1] && v == cells[x + 2]) {
        // An opaque run ends at the latest at the transparent cell after the line.
        const std::uint64_t run = v * kEveryByte;
        const int n = 1 + Measure(cells + x + 1, kMaxRun - 1,
                                  [run](const std::uint8_t* p) { return Word(p) ^ run; });
        x += n;
        to = Put(to, static_cast<std::uint8_t>(2 * n), v);
      } else {
        // A cell ends the literal where it is transparent or equals the next two.
        const int n = Measure(cells + x, kMaxRun, [](const std::uint8_t* p) {
          const std::uint64_t word = Word(p);
          return ZeroBytes(~word) | ZeroBytes((word ^ Word(p + 1)) | (word ^ Word(p + 2)));
        });
        *to = static_cast<std::uint8_t>(2 * n + 1);
        if (n <= static_cast<int>(kLiteralCopy))
          std::memcpy(to + 1, cells + x, kLiteralCopy);
        else
          std::memcpy(to + 1, cells + x, static_cast<std::size_t>(n));
        to += 1 + n;
        x += n;
      }
    }
    *to = 0;
    return to + 1;
  }

 private:
  static constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

  static std::uint8_t* Put(std::uint8_t* to, std::uint8_t code, std::uint8_t value) {
    to[0] = code;
    to[1] = value;
    return to + 2;
  }
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
  // The number of cells from p on, at most limit, before the first that ends the run:
  // ends(q) is non-zero in the bytes of the eight cells at q that end it, and the lowest
  // such byte is exact. Sixteen cells a step: most runs end within them.
  template <typename Ends>
  static int Measure(const std::uint8_t* p, int limit, Ends&& ends) {
    for (int n = 0; n < limit; n += 16) {
      const std::uint64_t low = ends(p + n);
      const std::uint64_t high = ends(p + n + 8);
      if ((low | high) != 0) {
        const int at = low != 0 ? std::countr_zero(low) / 8 : 8 + std::countr_zero(high) / 8;
        return std::min(n + at, limit);
      }
    }
    return limit;
  }
};

// Encodes row y, columns left..right, gathered into row (a buffer reused line after line).
void EncodeGathered(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right,
                    RowCells& row, std::vector<std::uint8_t>& out) {
  row.Gather(ws, y, left, right);
  const bool inside = left >= 0 && right < RasterCols && y >= 0 && y < RasterRows;
  if (!InsideLine::kAvailable || !inside) {
    LineEncoder(row, right, out).Encode(left);
    return;
  }
  const auto count = std::max<std::int64_t>(std::int64_t{right} - left + 1, 0);
  const std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(2 * count + 1) + InsideLine::kLiteralCopy);
  const std::uint8_t* end = InsideLine::Encode(row.From(left), count, out.data() + start);
  out.resize(static_cast<std::size_t>(end - out.data()));
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
  // Room for the worst case of a line inside the raster (two bytes for every cell and
  // its end byte) and the whole copy of a short literal, so the record is not copied as
  // it grows.
  const std::int64_t lines =
      std::clamp<std::int64_t>(std::int64_t{h.Bottom} - h.Top + 1, 0, RasterRows);
  const std::int64_t cells =
      std::clamp<std::int64_t>(std::int64_t{h.Right} - h.Left + 1, 0, RasterCols);
  const std::size_t needed = start + kImageHeaderSize +
                             static_cast<std::size_t>(lines * (2 * cells + 1)) +
                             InsideLine::kLiteralCopy;
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
