#include "shp/encode.h"

#include "shp/shp_format.h"

namespace pelgrin {
namespace {

constexpr int kMaxRun = 127;
constexpr int kMaxSkip = 255;

class LineEncoder {
 public:
  LineEncoder(const WorkState& ws, std::int32_t y, std::int32_t right,
              std::vector<std::uint8_t>& out)
      : ws_(ws), y_(y), right_(right), out_(out) {}

  // Cells right of Right count as transparent.
  std::uint8_t P(std::int64_t x) const { return x > right_ ? kTransparent : RasterAt(ws_, x, y_); }
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

  std::int64_t Literal(std::int64_t x) {
    const std::size_t code_at = out_.size();
    out_.push_back(1);
    int n = 0;
    while (n < kMaxRun) {
      if ((RepeatStarts(x) || x > right_ || P(x) == kTransparent)) break;
      out_.push_back(P(x));
      ++n;
      ++x;
    }
    out_[code_at] = static_cast<std::uint8_t>(2 * n + 1);
    return x;
  }

  const WorkState& ws_;
  std::int32_t y_;
  std::int32_t right_;
  std::vector<std::uint8_t>& out_;
};

// The encoder writes zero X and Y offsets whatever CurHeader carries.
void AppendHeader(ImageHeader h, std::vector<std::uint8_t>& out) {
  h.OffsWord = 0;
  const auto bytes = SerializeImageHeader(h);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

void EncodeLine(const WorkState& ws, std::int32_t y, std::int32_t left, std::int32_t right,
                std::vector<std::uint8_t>& line) {
  LineEncoder(ws, y, right, line).Encode(left);
}

std::int64_t EncodeImage(const WorkState& ws, std::vector<std::uint8_t>& record) {
  const std::size_t start = record.size();
  const ImageHeader& h = ws.CurHeader;
  AppendHeader(h, record);
  for (std::int64_t y = h.Top; y <= h.Bottom; ++y) {
    EncodeLine(ws, static_cast<std::int32_t>(y), h.Left, h.Right, record);
  }
  return static_cast<std::int64_t>(record.size() - start);
}

std::int64_t EncodeImage(const WorkState& ws, OutFile& out) {
  std::vector<std::uint8_t> record;
  const std::int64_t length = EncodeImage(ws, record);
  out.Write(record);
  return length;
}

}  // namespace pelgrin
