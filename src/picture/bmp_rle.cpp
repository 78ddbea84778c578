#include "picture/bmp_rle.h"

namespace pelgrin {
namespace {

class RleDecoder {
 public:
  RleDecoder(InFile& file, const BmpInfo& info, Picture& picture)
      : file_(file), info_(info), picture_(picture) {
    // Every code spends at least one byte on at least one pixel, a skip or a row; data
    // that goes on much longer than that holds no picture.
    budget_ = 4 * (info.width + 2) * (info.height + 2) + 1024;
  }

  bool Run(std::string& why) {
    file_.Seek(info_.offset);
    while (y_ < info_.height) {
      const int count = Next();
      const int value = Next();
      if (value < 0) return Fail(why, "its run-length data ends before its end code");
      if (budget_ < 0) return Fail(why, "its run-length data does not end");
      if (count > 0) {
        Repeat(count, static_cast<std::uint8_t>(value));
      } else if (value == 0) {
        x_ = 0;
        ++y_;
      } else if (value == 1) {
        return true;
      } else if (value == 2) {
        const int dx = Next(), dy = Next();
        if (dy < 0) return Fail(why, "its run-length data ends before its end code");
        x_ += dx;
        y_ += dy;
      } else if (!Absolute(value)) {
        return Fail(why, "its run-length data ends before its end code");
      }
    }
    return true;
  }

  bool BadIndex() const { return bad_index_; }

 private:
  int Next() {
    --budget_;
    return file_.ReadByte();
  }

  static bool Fail(std::string& why, const char* text) {
    why = text;
    return false;
  }

  void Put(std::uint8_t index) {
    if (x_ < info_.width && y_ < info_.height) {
      const auto row = static_cast<std::int32_t>(info_.top_down ? y_ : info_.height - 1 - y_);
      picture_.PutIndex(static_cast<std::int32_t>(x_), row, index);
      if (index >= picture_.entries) bad_index_ = true;
    }
    ++x_;
  }

  // An encoded run: one index (RLE8) or two alternating ones (RLE4).
  void Repeat(int count, std::uint8_t value) {
    for (int i = 0; i < count; ++i) {
      if (info_.bits == 8)
        Put(value);
      else
        Put(static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F));
    }
  }

  // count indices given one by one, padded to an even number of bytes.
  bool Absolute(int count) {
    const int bytes = info_.bits == 8 ? count : (count + 1) / 2;
    for (int i = 0; i < bytes; ++i) {
      const int b = Next();
      if (b < 0) return false;
      if (info_.bits == 8) {
        Put(static_cast<std::uint8_t>(b));
      } else {
        Put(static_cast<std::uint8_t>(b >> 4));
        if (2 * i + 1 < count) Put(static_cast<std::uint8_t>(b & 0x0F));
      }
    }
    if (bytes % 2 == 1 && Next() < 0) return false;
    return true;
  }

  InFile& file_;
  const BmpInfo& info_;
  Picture& picture_;
  std::int64_t x_ = 0;
  std::int64_t y_ = 0;  // counted from the first row stored
  std::int64_t budget_ = 0;
  bool bad_index_ = false;
};

}  // namespace

bool DecodeBmpRle(InFile& file, const BmpInfo& info, Picture& picture, std::string& why) {
  RleDecoder decoder(file, info, picture);
  if (!decoder.Run(why)) return false;
  if (decoder.BadIndex()) {
    why = "it uses a colour index that its colour table does not hold";
    return false;
  }
  return true;
}

}  // namespace pelgrin
