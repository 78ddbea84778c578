#include "operations.h"

#include <filesystem>

#include "archive/pack.h"
#include "archive/unpack.h"
#include "convert/convert.h"
#include "headerfix/header_fix.h"
#include "io/paths.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "picture/bmp_file.h"
#include "picture/picture_file.h"
#include "picture/png_file.h"
#include "shell/settings.h"
#include "shp/archive_builder.h"
#include "shp/load_shp.h"
#include "shp/messages.h"
#include "shp/rebuild.h"
#include "shp/show.h"
#include "transfer/engine.h"
#include "transfer/script.h"

namespace pelgrin::robust {
namespace {

// An image record of rows lines, each one literal run of cols pixels (cols <= 127).
Bytes LineRecord(int rows, int cols, std::uint8_t seed) {
  Bytes data;
  for (int y = 0; y < rows; ++y) {
    data.push_back(static_cast<std::uint8_t>(2 * cols + 1));
    for (int x = 0; x < cols; ++x)
      data.push_back(static_cast<std::uint8_t>((seed * 31 + x + 3 * y) % 255));
    data.push_back(0);
  }
  return test::Record(test::Header(cols, rows, 0, 0, cols - 1, rows - 1), data);
}

// Three images of about 30 KB each; the first has a palette record of its own.
Bytes SampleArchive(std::uint8_t seed) {
  std::vector<ArchiveImage> images(3);
  for (int i = 0; i < 3; ++i)
    images[static_cast<std::size_t>(i)].record =
        LineRecord(300, 100, static_cast<std::uint8_t>(seed + i));
  images[0].has_palette = true;
  images[0].palette = {{0, 1, 2, 3}, {1, 60, 50, 40}};
  return BuildArchive(images);
}

// Opens name (Bignew.shp or units.shp) as Load SHP does, with New_shp.sdf beside it and,
// when the open file is not itself the output, an older Bignew.shp.
void PrepareOpenArchive(Workspace& w, const std::string& name) {
  test::WriteFileBytes(w.Path(name), SampleArchive(1));
  test::WriteFileBytes(w.Path("New_shp.sdf"), LineRecord(200, 120, 9));
  if (name != "Bignew.shp") test::WriteFileText(w.Path("Bignew.shp"), "an older output");
  LoadShp(*w.ws, w.Path(name), w.reporter);
  w.ws->NewImagePath = w.Path("New_shp.sdf");
  w.reporter.log.clear();
}

std::string OpenFileName(bool output_is_open_file) {
  return output_is_open_file ? "Bignew.shp" : "units.shp";
}

// The index of the open file as the program holds it.
std::string Tables(const Workspace& w) {
  std::string text = std::to_string(w.ws->ImageCount) + ":";
  for (std::int32_t i = 0; i < w.ws->ImageCount; ++i) {
    const auto at = static_cast<std::size_t>(i);
    text += " " + std::to_string(w.ws->ImageOffsets[at]) + "/" +
            std::to_string(w.ws->PaletteOffsets[at]);
  }
  return text;
}

std::string BmpHeaderSizes(const Workspace& w) {
  const BmpHeaderRecord& h = w.ws->BmpHeader;
  return std::to_string(h.biWidth) + "x" + std::to_string(h.biHeight) + " " +
         std::to_string(h.bfSize) + " " + std::to_string(h.biSizeImage);
}

Surface PatternSurface() {
  Surface surface(200, 120);
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      surface.SetPixel(x, y, PackRGB(x, y, x ^ y));
  return surface;
}

// A loaded bitmap of width x height in colours of the default palette.
void FillBitmap(WorkState& ws, int width, int height) {
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      const Rgb c = DefaultPalette[static_cast<std::size_t>((x / 3 + y) % 200)];
      const std::size_t at =
          3 * (static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y));
      ws.BmpPixels[at] = c.r;
      ws.BmpPixels[at + 1] = c.g;
      ws.BmpPixels[at + 2] = c.b;
    }
  }
  ws.BmpHeader.biWidth = width;
  ws.BmpHeader.biHeight = height;
}

// A shown image of width x height, index 255 (transparent) among the others.
void FillRaster(WorkState& ws, int width, int height) {
  ws.CurHeader = test::Header(width, height, 0, 0, width - 1, height - 1);
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y)
      ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)] =
          static_cast<std::uint8_t>(x + y);
  UseLoadedPalette(ws);
}

ScriptTable FullScript() {
  ScriptTable table;
  for (int row = 1; row <= kScriptRows; ++row) {
    const std::string n = std::to_string(row);
    table.SetRow(row, {"row " + n, "dest" + n, n, "src" + n, n});
  }
  return table;
}

}  // namespace

WritingOperation ReplaceOperation(bool keep_old_header, bool output_is_open_file) {
  std::string name = keep_old_header ? "Replace, Use Old Header" : "Replace";
  if (output_is_open_file) name += ", over the open Bignew.shp";
  return {name,
          [output_is_open_file](Workspace& w) {
            PrepareOpenArchive(w, OpenFileName(output_is_open_file));
          },
          [keep_old_header](Workspace& w) {
            return ReplaceImageInShp(*w.ws, RebuildPathsOf(*w.ws), 1, keep_old_header, w.reporter);
          },
          {},
          {"the index tables", Tables}};
}

WritingOperation AppendOperation(bool output_is_open_file) {
  return {output_is_open_file ? "Add, over the open Bignew.shp" : "Add",
          [output_is_open_file](Workspace& w) {
            PrepareOpenArchive(w, OpenFileName(output_is_open_file));
          },
          [](Workspace& w) { return AppendImageToShp(*w.ws, RebuildPathsOf(*w.ws), w.reporter); },
          {},
          {"the index tables", Tables}};
}

WritingOperation ConvertOperation() {
  return {"Convert",
          [](Workspace& w) {
            FillBitmap(*w.ws, 400, 300);
            SetProgramDir(*w.ws, w.Path(""));
            test::WriteFileText(w.Path("New_shp.sdf"), "an older record");
            test::WriteFileText(w.Path("New_shp.shp"), "an older one-image file");
          },
          [](Workspace& w) {
            Surface view(kViewWidth, kViewHeight);
            return ConvertLoadedBitmap(*w.ws, false, view, w.ws->NewImagePath,
                                       w.Path("New_shp.shp"),
                                       w.reporter) == ConvertOutcome::kWritten;
          },
          // The record file is complete before the one-image file is begun.
          {{"New_shp.shp", std::nullopt, {{"New_shp.sdf", "New_shp.sdf"}}, ""}},
          {}};
}

WritingOperation WriteBmpOperation() {
  return {"Write BMP",
          [](Workspace& w) {
            FillRaster(*w.ws, 200, 150);
            w.ws->BmpHeader.biWidth = 320;  // a bitmap of 320 x 240 was loaded
            w.ws->BmpHeader.biHeight = 240;
            w.ws->BmpDir = w.Path("");
            test::WriteFileText(w.Path("out.bmp"), "an older bitmap");
          },
          [](Workspace& w) {
            return WriteRasterBmp(*w.ws, JoinPath(w.ws->BmpDir, "out.bmp"), w.reporter);
          },
          {},
          {"BmpHeader's sizes", BmpHeaderSizes}};
}

WritingOperation SaveViewOperation() {
  return {"Save the view",
          [](Workspace& w) {
            w.ws->BmpDir = w.Path("");
            test::WriteFileText(w.Path("view.bmp"), "an older bitmap");
          },
          [](Workspace& w) {
            return SaveSurfaceBmp(PatternSurface(), JoinPath(w.ws->BmpDir, "view.bmp"), w.reporter);
          },
          {},
          {}};
}

WritingOperation WritePngOperation() {
  return {"Write PNG",
          [](Workspace& w) {
            FillRaster(*w.ws, 200, 150);
            w.ws->BmpDir = w.Path("");
            test::WriteFileText(w.Path("out.png"), "an older picture");
          },
          [](Workspace& w) {
            return WriteRasterPicture(*w.ws, JoinPath(w.ws->BmpDir, "out.png"), w.reporter);
          },
          {},
          {}};
}

WritingOperation SaveViewPngOperation() {
  return {"Save the view as PNG",
          [](Workspace& w) {
            w.ws->BmpDir = w.Path("");
            test::WriteFileText(w.Path("view.png"), "an older picture");
          },
          [](Workspace& w) {
            return SaveSurfacePicture(PatternSurface(), JoinPath(w.ws->BmpDir, "view.png"),
                                      w.reporter);
          },
          {},
          {}};
}

WritingOperation WritePaletteOperation() {
  return {"Write a GIMP palette",
          [](Workspace& w) { test::WriteFileText(w.Path("game.gpl"), "an older palette"); },
          [](Workspace& w) {
            return WritePaletteFile(w.Path("game.gpl"), w.ws->LoadedPalette, w.reporter);
          },
          {},
          {}};
}

WritingOperation TransferOperation() {
  return {"Transfer row",
          [](Workspace& w) {
            std::filesystem::create_directory(w.Path("source"));
            std::filesystem::create_directory(w.Path("dest"));
            std::vector<ArchiveImage> heroes(2);
            heroes[0].record = LineRecord(500, 127, 40);
            heroes[1].record = LineRecord(3, 5, 41);
            test::WriteFileBytes(w.Path("source/heroes.shp"), BuildArchive(heroes));
            test::WriteFileBytes(w.Path("dest/army.shp"), SampleArchive(20));
            test::WriteFileText(w.Path("TransTmp.sdf"), "the record of an older row");
            SetProgramDir(*w.ws, w.Path(""));
          },
          [](Workspace& w) {
            TransferLabels labels;
            return TransferRow(*w.ws, {"row", "army", "1", "heroes", "0"}, false, labels,
                               w.reporter) == RowResult::kDone;
          },
          {// Creating the new destination fails before TransTmp.sdf is committed, with the
           // program's fixed message.
           {"dest/army.shp", Op::kCreate, {}, "Could not open bignew.shp. Aborting."},
           // A failed rename keeps the new destination under its temporary name.
           {"dest/army.shp",
            Op::kRename,
            {{"TransTmp.sdf", "TransTmp.sdf"}, {"dest/army.shp.*.tmp", "dest/army.shp"}},
            ""},
           // TransTmp.sdf is committed before the new destination is finished.
           {"dest/army.shp", std::nullopt, {{"TransTmp.sdf", "TransTmp.sdf"}}, ""}},
          {}};
}

WritingOperation HeaderWriteOperation() {
  return {"Header fix Write",
          [](Workspace& w) { PrepareOpenArchive(w, "units.shp"); },
          [](Workspace& w) {
            const HeaderFields fields = {99, 299, 3, -2, -5, -3, 94, 296};
            return WriteImageHeader(*w.ws, 2, fields, w.reporter) == HeaderWriteResult::kWritten;
          },
          {},
          {}};
}

WritingOperation SaveScriptOperation() {
  return {"Save Script",
          [](Workspace& w) { test::WriteFileText(w.Path("script.csv"), "an,older,1,script,2\n"); },
          [](Workspace& w) { return SaveScript(FullScript(), w.Path("script.csv"), w.reporter); },
          {},
          {}};
}

WritingOperation SettingsOperation() {
  return {"Settings file",
          [](Workspace& w) {
            SetProgramDir(*w.ws, w.Path(""));
            w.ws->PaletteName = w.Path("desert.pal");
            test::WriteFileText(w.Path("Pelgrin.cfg"), "1\nold.pal\ndefault\n");
          },
          [](Workspace& w) {
            Settings settings;
            settings.SettingsPath = SettingsPathFor(w.ws->ProgramDir);
            settings.RememberSettings = 1;
            const WindowPositions now = {{{10, 20}, {30, 40}, {50, 60}, {70, 80}, {90, 100}}};
            if (WriteSettings(settings, *w.ws, now) == SettingsWrite::kWritten) return true;
            // The core only returns the failure; the main window says this at exit.
            w.reporter.ShowError(FillPattern(kCouldNotWriteFile, {settings.SettingsPath}));
            return false;
          },
          {},
          {}};
}

WritingOperation UnpackOperation() {
  return {"Unpack",
          [](Workspace& w) { test::WriteFileBytes(w.Path("units.shp"), SampleArchive(1)); },
          [](Workspace& w) {
            return UnpackArchive(*w.ws, w.Path("units.shp"), w.Path("units"), {}, w.reporter);
          },
          {},
          {}};
}

WritingOperation PackOperation() {
  return {"Pack",
          [](Workspace& w) {
            test::WriteFileBytes(w.Path("units.shp"), SampleArchive(1));
            UnpackArchive(*w.ws, w.Path("units.shp"), w.Path("units"), {}, w.reporter);
            FillRaster(*w.ws, 20, 10);
            WriteRasterPng(*w.ws, w.Path("units/0002.png"), w.reporter);
            test::WriteFileText(w.Path("out.shp"), "an older archive");
            w.reporter.log.clear();
          },
          [](Workspace& w) {
            return PackFolder(*w.ws, w.Path("units"), w.Path("out.shp"), {}, w.reporter);
          },
          {},
          {}};
}

std::vector<WritingOperation> AllWritingOperations() {
  return {ReplaceOperation(false, false),
          ReplaceOperation(true, false),
          ReplaceOperation(false, true),
          AppendOperation(false),
          AppendOperation(true),
          ConvertOperation(),
          WriteBmpOperation(),
          SaveViewOperation(),
          WritePngOperation(),
          SaveViewPngOperation(),
          WritePaletteOperation(),
          TransferOperation(),
          HeaderWriteOperation(),
          SaveScriptOperation(),
          UnpackOperation(),
          PackOperation(),
          SettingsOperation()};
}

}  // namespace pelgrin::robust
