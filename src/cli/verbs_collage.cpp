// Verbs that draw on the viewing window's surface and save it: the collage and the
// palette view.
#include "cli/cli_common.h"
#include "palette/palette_file.h"
#include "picture/picture_file.h"
#include "shp/collage.h"
#include "shp/palette_view.h"
#include "shp/show.h"

namespace pelgrin::cli {
namespace {

struct CollageArgs {
  std::string shp;
  std::int32_t number = 0;
  std::string out;
  PaletteOptions palette;
};

struct PaletteArgs {
  std::string out;
  PaletteOptions palette;
};

int RunCollage(const Context& context, const CollageArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws || !OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  Surface view(kViewWidth, kViewHeight);
  if (Collage(*ws, args.number, args.palette.full_pal, view, reporter) != CollageResult::kDone) {
    ReportNumberOutsideRange(*ws, args.number, reporter);
    return kExitFailed;
  }
  return SaveSurfacePicture(view, args.out, reporter) ? kExitOk : kExitFailed;
}

int RunPalette(const Context& context, const PaletteArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws) return kExitFailed;
  UseLoadedPalette(*ws);
  if (IsPaletteName(args.out))
    return WritePaletteFile(args.out, ws->LoadedPalette, reporter) ? kExitOk : kExitFailed;
  Surface view(kViewWidth, kViewHeight);
  ShowPaletteView(ws->ActivePalette, view, reporter);
  return SaveSurfacePicture(view, args.out, reporter) ? kExitOk : kExitFailed;
}

}  // namespace

void AddCollageVerbs(CLI::App& app, Context& context) {
  auto collage_args = std::make_shared<CollageArgs>();
  CLI::App* collage = app.add_subcommand(
      "collage",
      "Lay out images from N onwards in bands on the 810 x 630 view and save it as a bitmap "
      "(or an RGB PNG when OUT ends in .png)");
  collage->add_option("SHP", collage_args->shp, "The SHP archive")->required();
  AddImageNumber(*collage, collage_args->number, "First image, counting from 1");
  collage->add_option("OUT", collage_args->out, "The bitmap or .png to write")->required();
  collage_args->palette.AddTo(*collage);
  collage->footer("Example: pelgrin-cli collage units.shp 1 sheet.bmp --palette game.pal");
  collage->callback(
      [&context, collage_args] { context.exit_code = RunCollage(context, *collage_args); });

  auto palette_args = std::make_shared<PaletteArgs>();
  CLI::App* palette = app.add_subcommand(
      "palette",
      "Draw the loaded palette as a grid of cells and save it as a bitmap (or an RGB PNG for "
      ".png); for OUT ending in .pal, .gpl or .act, write the loaded palette itself as a "
      "text (JASC-PAL), GIMP or Adobe colour table palette");
  palette->add_option("OUT", palette_args->out, "The bitmap, .png or palette file to write")
      ->required();
  palette_args->palette.AddTo(*palette, false);
  palette->footer(
      "Examples: pelgrin-cli palette colours.bmp --palette game.pal\n"
      "          pelgrin-cli palette game.gpl --palette game.pal");
  palette->callback(
      [&context, palette_args] { context.exit_code = RunPalette(context, *palette_args); });
}

}  // namespace pelgrin::cli
