// Palette files by content: each format gives the same entries as its text twin, counts
// set only their entries, and what is no palette is refused without changing any.
#include <gtest/gtest.h>

#include <memory>

#include "io/byte_order.h"
#include "io/files.h"
#include "palette/act_palette.h"
#include "palette/gpl_palette.h"
#include "palette/palette_file.h"
#include "palette/text_palette.h"
#include "picture/png_file.h"
#include "support/test_support.h"

namespace pelgrin {
namespace {

using test::Bytes;

Palette Colours() {
  Palette p;
  for (int i = 0; i < 256; ++i)
    p[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i),
                                      static_cast<std::uint8_t>(7 * i),
                                      static_cast<std::uint8_t>(255 - 3 * i)};
  p[255] = BackColor;  // the entry an exported PNG holds there
  return p;
}

std::string Written(const std::string& path, const std::function<void(OutFile&)>& write) {
  AtomicFile out;
  EXPECT_TRUE(out.Create(path));
  write(out.Out());
  EXPECT_EQ(out.Commit(), AtomicFile::Result::kOk);
  return path;
}

Bytes Riff(const Palette& p, int count, int stored) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'P', 'A', 'L', ' '};
  const Bytes other = {'n', 'o', 't', 'e', 3, 0, 0, 0, 'a', 'b', 'c', 0};  // odd size, padded
  b.insert(b.end(), other.begin(), other.end());
  Bytes data = {'d', 'a', 't', 'a', 0, 0, 0, 0, 0, 3, 0, 0};
  PutLE32(&data[4], static_cast<std::uint32_t>(4 + 4 * count));
  PutLE16(&data[10], static_cast<std::uint32_t>(count));
  for (int i = 0; i < stored; ++i) {
    const Rgb c = p[static_cast<std::size_t>(i)];
    data.insert(data.end(), {c.r, c.g, c.b, 0});
  }
  b.insert(b.end(), data.begin(), data.end());
  PutLE32(&b[4], static_cast<std::uint32_t>(b.size() - 8));
  return b;
}

Bytes Act(const Palette& p, int count) {
  Bytes b;
  for (const Rgb& c : p)
    b.insert(b.end(), {c.r, c.g, c.b});
  if (count >= 0)
    b.insert(b.end(),
             {static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count), 0, 255});
  return b;
}

Bytes Bmp8(const Palette& p) {
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLE32(&b[10], 54 + 1024);
  PutLE32(&b[14], 40);
  PutLE32(&b[18], 1);
  PutLE32(&b[22], 1);
  PutLE16(&b[26], 1);
  PutLE16(&b[28], 8);
  for (const Rgb& c : p)
    b.insert(b.end(), {c.b, c.g, c.r, 0});
  b.insert(b.end(), {5, 0, 0, 0});
  return b;
}

std::string GimpText(const Palette& p, int rows) {
  std::string text = "GIMP Palette\r\nName: Game colours\nColumns: 16\n#\n# made by hand\n\n";
  for (int i = 0; i < rows; ++i) {
    const Rgb c = p[static_cast<std::size_t>(i)];
    text += std::to_string(c.r) + "\t" + std::to_string(c.g) + "  " + std::to_string(c.b) +
            (i % 2 ? "\tcolour " + std::to_string(i) : "") + "\n";
  }
  return text;
}

TEST(PaletteFiles, EachFormatGivesTheEntriesOfItsTextTwin) {
  const Palette colours = Colours();
  test::TempDir dir;
  const std::string text =
      Written(dir.Path("twin.pal"), [&](OutFile& o) { WriteTextPalette(o, colours); });
  Palette twin{};
  ASSERT_TRUE(ReadPalFile(text, {&twin}));
  ASSERT_EQ(twin, colours);
  auto ws = std::make_unique<WorkState>();
  ws->ActivePalette = colours;
  ClearRaster(*ws);
  test::RecordingReporter r;
  ASSERT_TRUE(WriteRasterPng(*ws, dir.Path("indexed.png"), r));
  test::WriteFileText(dir.Path("gimp.gpl"), GimpText(colours, 256));
  test::WriteFileBytes(dir.Path("riff.pal"), Riff(colours, 256, 256));
  test::WriteFileBytes(dir.Path("raw.act"), Act(colours, -1));
  test::WriteFileBytes(dir.Path("count0.act"), Act(colours, 0));
  test::WriteFileBytes(dir.Path("indexed.bmp"), Bmp8(colours));
  const std::string ours =
      Written(dir.Path("ours.gpl"), [&](OutFile& o) { WriteGplPalette(o, colours, "x"); });
  const std::string act =
      Written(dir.Path("ours.act"), [&](OutFile& o) { WriteActPalette(o, colours); });
  for (const char* name : {"gimp.gpl", "riff.pal", "raw.act", "count0.act", "indexed.png",
                           "indexed.bmp", "ours.gpl", "ours.act", "twin.pal"}) {
    Palette a{}, b{};
    const PaletteReadResult read = ReadPaletteFile(dir.Path(name), {&a, &b});
    ASSERT_EQ(read.status, PaletteReadStatus::kRead) << name << ": " << read.message;
    EXPECT_EQ(a, twin) << name;
    EXPECT_EQ(b, twin) << name;
  }
}

TEST(PaletteFiles, ACountSetsOnlyItsEntries) {
  const Palette colours = Colours();
  test::TempDir dir;
  test::WriteFileText(dir.Path("three.gpl"), GimpText(colours, 3));
  test::WriteFileBytes(dir.Path("two.pal"), Riff(colours, 2, 2));
  test::WriteFileBytes(dir.Path("sixteen.act"), Act(colours, 16));
  test::WriteFileBytes(dir.Path("many.act"), Act(colours, 300));
  std::string text768 = "JASC-PAL\n0100\n2\n0 0 255\n1 7 252\n";  // entries 0 and 1
  text768 += std::string(767 - text768.size(), ' ') + "\n";
  test::WriteFileText(dir.Path("text768.pal"), text768);
  const struct {
    const char* name;
    int count;
  } cases[] = {
      {"three.gpl", 3}, {"two.pal", 2}, {"sixteen.act", 16}, {"many.act", 256}, {"text768.pal", 2}};
  for (const auto& c : cases) {
    Palette p;
    p.fill({9, 9, 9});
    ASSERT_EQ(ReadPaletteFile(dir.Path(c.name), {&p}).status, PaletteReadStatus::kRead) << c.name;
    for (int i = 0; i < 256; ++i) {
      const Rgb expected = i < c.count ? colours[static_cast<std::size_t>(i)] : Rgb{9, 9, 9};
      EXPECT_EQ(p[static_cast<std::size_t>(i)], expected) << c.name << " entry " << i;
    }
  }
}

TEST(PaletteFiles, WhatIsNoPaletteIsRefusedAndChangesNoEntry) {
  const Palette colours = Colours();
  Bytes riff_cut = Riff(colours, 256, 10);
  Bytes no_data = Riff(colours, 0, 0);
  no_data.resize(24);  // the "note" chunk only
  Bytes rgb_png;
  {
    test::TempDir dir;
    test::RecordingReporter r;
    ASSERT_TRUE(SaveSurfacePng(Surface(2, 2, 0), dir.Path("v.png"), r));
    rgb_png = test::ReadFileBytes(dir.Path("v.png"));
  }
  Bytes bmp24 = Bmp8(colours);
  bmp24[28] = 24;
  const struct {
    const char* name;
    Bytes file;
    std::string message;  // after the path
  } cases[] = {
      {"words",
       {'h', 'e', 'l', 'l', 'o', '\n', 'y', 'o', 'u', '\n', 'x', '\n'},
       " is not a palette file"},
      {"769 bytes", Bytes(769, 1), " is not a palette file"},
      {"gimp row of two values", Bytes{}, " is a damaged GIMP palette: line 3 is not"},
      {"gimp value above 255", Bytes{}, " is a damaged GIMP palette: line 2 is not"},
      {"riff cut short", riff_cut, " is a damaged RIFF palette: its data chunk is cut short."},
      {"riff without data", no_data, " is a damaged RIFF palette: it has no data chunk."},
      {"rgb png", rgb_png, " holds no palette: it is not an indexed picture."},
      {"24-bit bitmap", bmp24, " holds no palette: it is not an indexed picture."},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    if (std::string(c.name) == "gimp row of two values")
      test::WriteFileText(dir.Path("in"), "GIMP Palette\n1 2 3 x\n1 2\n");
    else if (std::string(c.name) == "gimp value above 255")
      test::WriteFileText(dir.Path("in"), "GIMP Palette\n1 2 256\n");
    else
      test::WriteFileBytes(dir.Path("in"), c.file);
    Palette p;
    p.fill({9, 9, 9});
    const Palette before = p;
    const PaletteReadResult read = ReadPaletteFile(dir.Path("in"), {&p});
    EXPECT_EQ(read.status, PaletteReadStatus::kRefused) << c.name;
    EXPECT_EQ(read.message.rfind(dir.Path("in") + c.message, 0), 0u)
        << c.name << ": " << read.message;
    EXPECT_EQ(p, before) << c.name;
  }
  Palette p{};
  EXPECT_EQ(ReadPaletteFile("/no/such/file.pal", {&p}).status, PaletteReadStatus::kOpenFailed);
}

}  // namespace
}  // namespace pelgrin
