// Verbs that read an archive and show or export what is in it.
#include "cli/cli_common.h"
#include "picture/picture_file.h"
#include "shp/load_shp.h"
#include "shp/show.h"

namespace pelgrin::cli {
namespace {

struct InfoArgs {
  std::string shp;
};

struct ExportArgs {
  std::string shp;
  std::int32_t number = 0;
  std::string out;
  PaletteOptions palette;
};

int RunInfo(const Context& context, const InfoArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, {}, reporter);
  return LoadShp(*ws, args.shp, reporter) == LoadShpResult::kLoaded ? kExitOk : kExitFailed;
}

int RunExport(const Context& context, const ExportArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws || !OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  Surface view(kViewWidth, kViewHeight);
  if (ShowImage(*ws, args.number, args.palette.full_pal, view, reporter) != ShowResult::kShown) {
    ReportNumberOutsideRange(*ws, args.number, reporter);
    return kExitFailed;
  }
  return WriteRasterPicture(*ws, args.out, reporter) ? kExitOk : kExitFailed;
}

}  // namespace

void AddViewVerbs(CLI::App& app, Context& context) {
  auto info_args = std::make_shared<InfoArgs>();
  CLI::App* info = app.add_subcommand(
      "info", "Open an archive and print its name, image count and largest frame (Load SHP)");
  info->add_option("SHP", info_args->shp, "The SHP archive")->required();
  info->footer("Example: pelgrin-cli info units.shp");
  info->callback([&context, info_args] { context.exit_code = RunInfo(context, *info_args); });

  auto export_args = std::make_shared<ExportArgs>();
  CLI::App* exp = app.add_subcommand(
      "export",
      "Show image N and save it as a 24-bit bitmap, or as an indexed PNG when OUT ends in "
      ".png (Show, then Write BMP)");
  exp->add_option("SHP", export_args->shp, "The SHP archive")->required();
  AddImageNumber(*exp, export_args->number);
  exp->add_option("OUT", export_args->out, "The bitmap or .png to write")->required();
  export_args->palette.AddTo(*exp);
  exp->footer("Example: pelgrin-cli export units.shp 3 unit3.bmp --palette game.pal");
  exp->callback([&context, export_args] { context.exit_code = RunExport(context, *export_args); });
}

}  // namespace pelgrin::cli
