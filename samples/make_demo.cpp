// Writes Pelgrin's demo data, drawn by code: a demo archive with a palette file, and a
// transfer setup (source and dest folders, a script and a source palette).
//
//   pelgrin-make-demo DIR
//
// DIR/demo/demo.shp      44 images of varied sizes; some carry their own palette,
//                        #9 has a negative Left, #13 holds no image, #22 shares #21's record
// DIR/demo/desert.pal    a 256-entry text palette
// DIR/source/heroes.shp, DIR/dest/army.shp, DIR/dest/tiles.shp   transfer archives
// DIR/demo-transfer.csv  a transfer script over them; DIR/demo/heroes.pal its source palette
//
// The output depends on nothing but this program: the same bytes every run.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "io/byte_order.h"
#include "io/files.h"
#include "io/paths.h"
#include "shp/archive_builder.h"
#include "shp/encode.h"
#include "shp/work_state.h"

namespace pelgrin {
namespace {

// A small deterministic generator for the pictures' variations.
class Lcg {
 public:
  int Next(int bound) {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) % static_cast<unsigned>(bound));
  }

 private:
  unsigned state_ = 20261208u;
};

// A picture drawn into the raster: frame size and palette indices.
class Canvas {
 public:
  Canvas(WorkState& ws, int width, int height) : ws_(ws), width_(width), height_(height) {
    ClearRaster(ws_);
  }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Dot(int x, int y, int index) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    ws_.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
        static_cast<std::uint8_t>(index);
  }
  void Box(int x0, int y0, int x1, int y1, int index) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        Dot(x, y, index);
  }
  // A filled ellipse shaded from the ramp's light top-left to its dark bottom-right.
  void Ball(int cx, int cy, int rx, int ry, int ramp) {
    for (int y = cy - ry; y <= cy + ry; ++y) {
      for (int x = cx - rx; x <= cx + rx; ++x) {
        const double dx = double(x - cx) / rx;
        const double dy = double(y - cy) / ry;
        if (dx * dx + dy * dy > 1.0) continue;
        const int shade =
            std::clamp(int(8 + 6 * (dx + dy) / 2.0 - 4 * (1 - dx * dx - dy * dy)), 0, 15);
        Dot(x, y, ramp + 15 - shade);
      }
    }
  }
  // Encodes the picture: the frame is the canvas, the box its non-transparent pixels.
  std::vector<std::uint8_t> Record() {
    ImageHeader& h = ws_.CurHeader;
    h = {};
    h.MaxX = width_ - 1;
    h.MaxY = height_ - 1;
    h.Left = width_;
    h.Top = -1;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (RasterAt(ws_, x, y) == kTransparent) continue;
        h.Left = std::min(h.Left, x);
        h.Right = std::max(h.Right, x);
        if (h.Top < 0) h.Top = y;
        h.Bottom = y;
      }
    }
    if (h.Top < 0) h.Left = h.Top = h.Right = h.Bottom = 0;
    std::vector<std::uint8_t> record;
    EncodeImage(ws_, record);
    return record;
  }

 private:
  WorkState& ws_;
  int width_;
  int height_;
};

constexpr int kRamps[] = {32, 48, 64, 80, 96, 128, 144, 160, 176, 192, 208};

void DrawTank(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  c.Box(w / 8, h / 2, w - w / 8, h - h / 6, ramp + 6);  // hull
  c.Box(w / 8, h - h / 6, w - w / 8, h - 1, 3);         // tracks
  for (int x = w / 8; x < w - w / 8; x += 4)
    c.Box(x, h - h / 8, x + 1, h - 2, 7);
  c.Ball(w / 2, h / 2, w / 5, h / 5, ramp);      // turret
  c.Box(w / 2, h / 2 - 2, w - 2, h / 2 + 1, 5);  // barrel
}

void DrawTree(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  c.Box(w / 2 - w / 12, h / 2, w / 2 + w / 12, h - 1, 166);  // trunk
  c.Ball(w / 2, h / 3, w / 3, h / 3, ramp);                  // crown
  c.Ball(w / 3, h / 2, w / 5, h / 6, ramp);
}

void DrawHouse(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  c.Box(w / 6, h / 2, w - w / 6, h - 1, ramp + 10);  // walls
  for (int y = h / 6; y < h / 2; ++y) {              // roof
    const int half = (y - h / 6) * (w / 2) / std::max(1, h / 2 - h / 6);
    c.Box(w / 2 - half, y, w / 2 + half, y, 36);
  }
  c.Box(w / 2 - w / 12, h - h / 4, w / 2 + w / 12, h - 1, 164);     // door
  c.Box(w / 4, h / 2 + h / 10, w / 4 + w / 8, h / 2 + h / 5, 138);  // window
}

void DrawGem(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  for (int y = 0; y < h; ++y) {
    const int half = y < h / 3 ? (y * w / 2) / std::max(1, h / 3)
                               : ((h - 1 - y) * w / 2) / std::max(1, h - h / 3);
    for (int x = w / 2 - half; x <= w / 2 + half; ++x)
      c.Dot(x, y, ramp + std::clamp(15 - (x + y) * 12 / (w + h), 0, 15));
  }
}

void DrawTile(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      c.Dot(x, y, ramp + 4 + ((x + 2 * y) / 6) % 6);
  c.Box(0, 0, w - 1, 0, 1);
  c.Box(0, 0, 0, h - 1, 1);
}

void DrawFlag(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  c.Box(1, 0, 2, h - 1, 6);      // pole
  for (int x = 3; x < w; ++x) {  // waving cloth
    const int wave = static_cast<int>(std::lround(2.0 * std::sin(x / 4.0)));
    c.Box(x, 2 + wave, x, h / 2 + wave, ramp + 6 + (x / 5) % 4);
  }
}

void DrawArrow(Canvas& c, int ramp) {
  const int w = c.Width(), h = c.Height();
  c.Box(0, h / 3, w / 2, h - h / 3, ramp + 8);
  for (int x = w / 2; x < w; ++x) {
    const int half = (w - 1 - x) * (h / 2) / std::max(1, w / 2);
    c.Box(x, h / 2 - half, x, h / 2 + half, ramp + 12);
  }
}

void DrawRock(Canvas& c, int /*ramp*/) {
  const int w = c.Width(), h = c.Height();
  c.Ball(w / 2, h / 2 + h / 8, w / 2 - 1, h / 3, 16);
  c.Ball(w / 3, h / 2, w / 4, h / 4, 16);
}

using Drawer = void (*)(Canvas&, int);
constexpr Drawer kDrawers[] = {DrawTank, DrawTree, DrawHouse, DrawGem,
                               DrawTile, DrawFlag, DrawArrow, DrawRock};

// An own palette record: the ramp indices recoloured (6-bit channels).
std::vector<std::array<std::uint8_t, 4>> OwnPalette(int seed) {
  std::vector<std::array<std::uint8_t, 4>> entries;
  for (int i = 0; i < 256; ++i) {
    const Rgb c = DefaultPalette[static_cast<std::size_t>(i)];
    const int r = c.r / 4, g = c.g / 4, b = c.b / 4;
    // Rotate the channels so the image shows in other colours than the loaded palette.
    const int rot = seed % 3;
    const int ch[3] = {r, g, b};
    entries.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(ch[rot % 3]),
                       static_cast<std::uint8_t>(ch[(rot + 1) % 3]),
                       static_cast<std::uint8_t>(ch[(rot + 2) % 3])});
  }
  return entries;
}

std::vector<std::uint8_t> WithHeaderField(std::vector<std::uint8_t> record, int at,
                                          std::int32_t v) {
  PutLE32(&record[static_cast<std::size_t>(at)], static_cast<std::uint32_t>(v));
  return record;
}

// An archive of count pictures; picture k has the drawer kind (first_kind + k) and a size
// from the generator.
std::vector<ArchiveImage> Pictures(WorkState& ws, Lcg& lcg, int count, int first_kind, int max_w,
                                   int max_h) {
  std::vector<ArchiveImage> images;
  for (int k = 0; k < count; ++k) {
    const int w = 16 + lcg.Next(max_w - 15);
    const int h = 12 + lcg.Next(max_h - 11);
    Canvas canvas(ws, w, h);
    const int kind = (first_kind + k) % 8;
    kDrawers[kind](canvas, kRamps[(k * 3 + first_kind) % 11]);
    ArchiveImage image;
    image.record = canvas.Record();
    images.push_back(std::move(image));
  }
  return images;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return ReplaceFileContent(path, bytes);
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string PaletteText(const char* title, int tint_r, int tint_g, int tint_b) {
  std::string text = std::string(title) + "\nversion 1\n256\n";
  for (const Rgb& c : DefaultPalette) {
    const auto tint = [](int v, int t) { return std::clamp(v + t, 0, 255) / 4 * 4 + 3; };
    text += std::to_string(std::min(255, tint(c.r, tint_r))) + " " +
            std::to_string(std::min(255, tint(c.g, tint_g))) + " " +
            std::to_string(std::min(255, tint(c.b, tint_b))) + "\n";
  }
  return text;
}

std::vector<ArchiveImage> DemoArchive(WorkState& ws, Lcg& lcg) {
  std::vector<ArchiveImage> images = Pictures(ws, lcg, 44, 0, 200, 150);
  for (std::size_t k = 4; k < images.size(); k += 7) {  // #5, #12, #19 ... own palettes
    images[k].has_palette = true;
    images[k].palette = OwnPalette(static_cast<int>(k));
  }
  images[8].record = WithHeaderField(images[8].record, 8, -3);      // #9: Left -3
  images[12].record = WithHeaderField(images[12].record, 8, 5000);  // #13: no image
  images[21].same_as = 20;                                          // #22 shows #21
  return images;
}

int Run(const std::string& dir) {
  auto ws = std::make_unique<WorkState>();
  Lcg lcg;
  for (const char* sub : {"demo", "source", "dest"}) {
    std::error_code ec;
    std::filesystem::create_directories(FsPath(JoinPath(dir, sub)), ec);
  }
  std::vector<ArchiveImage> heroes = Pictures(*ws, lcg, 8, 3, 60, 48);
  std::vector<ArchiveImage> army = Pictures(*ws, lcg, 6, 0, 64, 48);
  army[2].has_palette = true;
  army[2].palette = OwnPalette(1);
  army[5].has_palette = true;
  army[5].palette = OwnPalette(2);
  const bool ok =
      WriteBytes(JoinPath(dir, "demo/demo.shp"), BuildArchive(DemoArchive(*ws, lcg))) &&
      WriteText(JoinPath(dir, "demo/desert.pal"), PaletteText("Desert palette", 20, 8, -16)) &&
      WriteText(JoinPath(dir, "demo/heroes.pal"), PaletteText("Heroes palette", -24, 0, 24)) &&
      WriteBytes(JoinPath(dir, "source/heroes.shp"), BuildArchive(heroes)) &&
      WriteBytes(JoinPath(dir, "dest/army.shp"), BuildArchive(army)) &&
      WriteBytes(JoinPath(dir, "dest/tiles.shp"), BuildArchive(Pictures(*ws, lcg, 5, 4, 48, 48))) &&
      WriteText(JoinPath(dir, "demo-transfer.csv"),
                "new leader,army,0,heroes,2\n"
                "scout,army,3,heroes,5\n"
                "banner on the last image,army,5,heroes,0\n"
                "gem tile,tiles,1,heroes,3\n");
  if (!ok) {
    std::fprintf(stderr, "Could not write the demo data in %s\n", dir.c_str());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace pelgrin

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelgrin-make-demo DIR\n");
    return 2;
  }
  return pelgrin::Run(argv[1]);
}
