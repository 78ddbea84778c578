// Draws the editor's intro picture, 463 x 345 pixels, and writes it as a JPEG with the
// IJG library: a pilgrim crossing dunes at dawn under the program's name. The build runs
// it; the picture is compiled into the editor.
//
//   pelgrin-make-intro OUT.jpg
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

constexpr int kWidth = 463;
constexpr int kHeight = 345;
constexpr int kHorizon = 205;

struct Color {
  double r, g, b;
};

Color Mix(Color a, Color b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Canvas {
 public:
  Canvas() : pixels_(static_cast<std::size_t>(kWidth) * kHeight) {}
  void Set(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels_[Index(x, y)] = c;
  }
  Color Get(int x, int y) const { return pixels_[Index(x, y)]; }
  void Blend(int x, int y, Color c, double alpha) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) Set(x, y, Mix(Get(x, y), c, alpha));
  }
  void Rect(int x, int y, int w, int h, Color c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i)
        Set(i, j, c);
  }
  void Disc(double cx, double cy, double radius, Color c) {
    for (int y = int(cy - radius) - 1; y <= int(cy + radius) + 1; ++y)
      for (int x = int(cx - radius) - 1; x <= int(cx + radius) + 1; ++x) {
        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
        Blend(x, y, c, std::clamp(radius - d + 0.5, 0.0, 1.0));
      }
  }
  void ThickLine(double x0, double y0, double x1, double y1, double width, Color c) {
    const int steps = int(std::hypot(x1 - x0, y1 - y0) * 2) + 1;
    for (int s = 0; s <= steps; ++s) {
      const double t = double(s) / steps;
      Disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, c);
    }
  }
  std::vector<std::uint8_t> Rgb() const {
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 3);
    for (const Color& c : pixels_)
      for (double v : {c.r, c.g, c.b})
        out.push_back(static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)));
    return out;
  }

 private:
  static std::size_t Index(int x, int y) { return static_cast<std::size_t>(y) * kWidth + x; }
  std::vector<Color> pixels_;
};

// A 5 x 7 block font for the few letters the picture needs.
struct Glyph {
  char c;
  std::array<const char*, 7> rows;
};
constexpr Glyph kFont[] = {
    {'P', {"11110", "10001", "10001", "11110", "10000", "10000", "10000"}},
    {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
    {'L', {"10000", "10000", "10000", "10000", "10000", "10000", "11111"}},
    {'G', {"01110", "10001", "10000", "10111", "10001", "10001", "01111"}},
    {'R', {"11110", "10001", "10001", "11110", "10100", "10010", "10001"}},
    {'I', {"01110", "00100", "00100", "00100", "00100", "00100", "01110"}},
    {'N', {"10001", "11001", "10101", "10011", "10001", "10001", "10001"}},
    {'S', {"01111", "10000", "10000", "01110", "00001", "00001", "11110"}},
    {'H', {"10001", "10001", "10001", "11111", "10001", "10001", "10001"}},
    {'F', {"11111", "10000", "10000", "11110", "10000", "10000", "10000"}},
    {'D', {"11110", "10001", "10001", "10001", "10001", "10001", "11110"}},
    {'T', {"11111", "00100", "00100", "00100", "00100", "00100", "00100"}},
    {'O', {"01110", "10001", "10001", "10001", "10001", "10001", "01110"}},
    {'V', {"10001", "10001", "10001", "10001", "10001", "01010", "00100"}},
    {'Q', {"01110", "10001", "10001", "10001", "10101", "10010", "01101"}},
    {'M', {"10001", "11011", "10101", "10101", "10001", "10001", "10001"}},
    {'0', {"01110", "10001", "10011", "10101", "11001", "10001", "01110"}},
    {'5', {"11111", "10000", "11110", "00001", "00001", "10001", "01110"}},
    {'-', {"00000", "00000", "00000", "11111", "00000", "00000", "00000"}},
    {'.', {"00000", "00000", "00000", "00000", "00000", "01100", "01100"}},
};

const Glyph* FindGlyph(char c) {
  for (const Glyph& g : kFont)
    if (g.c == c) return &g;
  return nullptr;
}

int TextWidth(std::string_view text, int scale) {
  return static_cast<int>(text.size()) * 6 * scale - scale;
}

void Text(Canvas& canvas, std::string_view text, int x, int y, int scale, Color c) {
  for (char ch : text) {
    if (const Glyph* g = FindGlyph(ch)) {
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g->rows[row][col] == '1')
            canvas.Rect(x + col * scale, y + row * scale, scale, scale, c);
    }
    x += 6 * scale;
  }
}

void CentredText(Canvas& canvas, std::string_view text, int y, int scale, Color c, Color shadow) {
  const int x = (kWidth - TextWidth(text, scale)) / 2;
  Text(canvas, text, x + scale / 2 + 1, y + scale / 2 + 1, scale, shadow);
  Text(canvas, text, x, y, scale, c);
}

void Sky(Canvas& canvas) {
  const Color top{28, 36, 92}, middle{196, 96, 110}, low{252, 190, 110};
  for (int y = 0; y < kHeight; ++y) {
    const double t = std::min(1.0, double(y) / kHorizon);
    const Color c = t < 0.6 ? Mix(top, middle, t / 0.6) : Mix(middle, low, (t - 0.6) / 0.4);
    for (int x = 0; x < kWidth; ++x)
      canvas.Set(x, y, c);
  }
  canvas.Disc(300, kHorizon - 6, 30, Color{255, 226, 150});
  canvas.Disc(300, kHorizon - 6, 24, Color{255, 240, 200});
}

// The height of dune layer k at column x (smaller is higher on the picture).
double DuneTop(int k, int x) {
  const double base = kHorizon - 8 + k * 34;
  return base + 10 * std::sin(x * 0.011 + k * 1.7) + 6 * std::sin(x * 0.029 + k * 0.6);
}

void Dunes(Canvas& canvas) {
  const Color sand[] = {{170, 110, 80}, {200, 140, 90}, {222, 170, 106}, {236, 196, 128}};
  for (int k = 0; k < 4; ++k) {
    for (int x = 0; x < kWidth; ++x) {
      const int top = int(DuneTop(k, x));
      for (int y = std::max(top, 0); y < kHeight; ++y) {
        const double shade = 1.0 - 0.25 * std::clamp((y - top) / 60.0, 0.0, 1.0);
        canvas.Set(x, y, Color{sand[k].r * shade, sand[k].g * shade, sand[k].b * shade});
      }
    }
  }
}

void Pilgrim(Canvas& canvas) {
  const Color dark{48, 30, 34};
  const double feet_x = 150, feet_y = DuneTop(1, 150) + 2;
  for (int i = 0; i < 7; ++i)
    canvas.Disc(feet_x - 20 - i * 16, DuneTop(1, int(feet_x - 20 - i * 16)) + 6 + (i % 2) * 3, 2,
                Color{150, 96, 70});
  for (int y = 0; y < 46; ++y) {
    const double half = 5 + y * 0.22;
    for (int x = int(-half); x <= int(half); ++x)
      canvas.Set(int(feet_x + x + (46 - y) * 0.08), int(feet_y - y), dark);
  }
  canvas.Disc(feet_x + 4, feet_y - 52, 7, dark);
  canvas.ThickLine(feet_x + 16, feet_y + 2, feet_x + 24, feet_y - 66, 2.5, dark);
  canvas.Disc(feet_x - 8, feet_y - 34, 8, dark);
}

bool WriteJpeg(const char* path, const std::vector<std::uint8_t>& rgb) {
  std::FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = kWidth;
  info.image_height = kHeight;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(&rgb[std::size_t{info.next_scanline} * kWidth * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelgrin-make-intro OUT.jpg\n");
    return 2;
  }
  Canvas canvas;
  Sky(canvas);
  Dunes(canvas);
  Pilgrim(canvas);
  const Color ink{255, 246, 226}, shadow{60, 30, 50};
  CentredText(canvas, "PELGRIN", 26, 9, ink, shadow);
  CentredText(canvas, "SHP FILE EDITOR", 104, 3, ink, shadow);
  CentredText(canvas, "VERSION 0.50-QM", 318, 2, Color{90, 50, 40}, Color{250, 220, 160});
  if (!WriteJpeg(argv[1], canvas.Rgb())) {
    std::fprintf(stderr, "Could not write file %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
