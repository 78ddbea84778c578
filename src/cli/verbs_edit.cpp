// Verbs that write SHP data: converting a bitmap, replacing and appending an image.
#include "cli/cli_common.h"
#include "convert/convert.h"
#include "io/file_lock.h"
#include "picture/picture_file.h"
#include "shp/rebuild.h"
#include "shp/show.h"

namespace pelgrin::cli {
namespace {

struct ConvertArgs {
  std::string bmp;
  std::string record;
  std::string shp;
  PaletteOptions palette;
  bool no_flash = false;
};

struct ReplaceArgs {
  std::string shp;
  std::int32_t number = 0;
  std::string record;
  std::string out;
  bool keep_header = false;
};

struct AppendArgs {
  std::string shp;
  std::string record;
  std::string out;
};

int RunConvert(const Context& context, const ConvertArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws) return kExitFailed;
  const PictureReadResult read = ReadPictureFile(*ws, args.bmp);
  if (!read.ok) {
    reporter.ShowError(read.message);
    return kExitFailed;
  }
  const ConvertOutcome outcome =
      ConvertLoadedBitmap(*ws, args.no_flash, args.record, args.shp, reporter);
  return outcome == ConvertOutcome::kWritten ? kExitOk : kExitFailed;
}

// Opens the archive and names the files of the rebuild; OUT defaults to Bignew.shp in
// the archive's directory.
std::unique_ptr<WorkState> OpenForRebuild(const Context& context, const std::string& shp,
                                          const std::string& record, const std::string& out,
                                          RebuildPaths& paths, Reporter& reporter) {
  auto ws = NewState(context, {}, reporter);
  if (!ws || !OpenShpQuietly(*ws, shp, reporter, /*index_only=*/true)) return nullptr;
  ws->NewImagePath = record;
  if (!out.empty()) ws->OutShpPath = out;
  paths = RebuildPathsOf(*ws);
  return ws;
}

int RunReplace(const Context& context, const ReplaceArgs& args) {
  StreamReporter reporter;
  FileLock lock;  // held from before the first read until the new archive is in place
  lock.Lock(args.shp, /*wait=*/true);
  RebuildPaths paths;
  auto ws = OpenForRebuild(context, args.shp, args.record, args.out, paths, reporter);
  if (!ws) return kExitFailed;
  const std::int64_t entry = std::int64_t{args.number} - 1;  // reported as typed
  return ReplaceImageInShp(*ws, paths, entry, args.keep_header, reporter) ? kExitOk : kExitFailed;
}

int RunAppend(const Context& context, const AppendArgs& args) {
  StreamReporter reporter;
  FileLock lock;  // held from before the first read until the new archive is in place
  lock.Lock(args.shp, /*wait=*/true);
  RebuildPaths paths;
  auto ws = OpenForRebuild(context, args.shp, args.record, args.out, paths, reporter);
  if (!ws) return kExitFailed;
  return AppendImageToShp(*ws, paths, reporter) ? kExitOk : kExitFailed;
}

void AddConvert(CLI::App& app, Context& context) {
  auto args = std::make_shared<ConvertArgs>();
  CLI::App* verb = app.add_subcommand(
      "convert",
      "Convert a picture (PNG, or a bitmap of 1 to 32 bits) into an SHP image record against "
      "the palette (Load BMP, then Convert); pixels in the background colour 255 225 225 or "
      "with alpha below 128 become transparent. An indexed picture whose colours are the "
      "palette's keeps its indices, and says which road it took");
  verb->add_option("BMP", args->bmp, "The picture to convert (PNG or BMP, told by content)")
      ->required();
  verb->add_option("OUT", args->record, "The image record file to write (.sdf)")->required();
  verb->add_option("--shp", args->shp, "Also write the image as a one-image SHP file")
      ->option_text("OUT.shp");
  args->palette.AddTo(*verb, false);
  verb->add_flag("--no-flash", args->no_flash,
                 "\"KV-No Flash\": never use the flashing indices 112-127 and 224-254");
  verb->footer(
      "Example: pelgrin-cli convert unit3.bmp unit3.sdf --shp unit3.shp --palette game.pal");
  verb->callback([&context, args] { context.exit_code = RunConvert(context, *args); });
}

void AddReplace(CLI::App& app, Context& context) {
  auto args = std::make_shared<ReplaceArgs>();
  CLI::App* verb = app.add_subcommand(
      "replace",
      "Write a copy of an archive with image N replaced by an image record (Replace Image #)");
  verb->add_option("SHP", args->shp, "The SHP archive; it is only read")->required();
  AddImageNumber(*verb, args->number);
  verb->add_option("RECORD", args->record, "The image record, as convert writes it")->required();
  verb->add_flag("--keep-header", args->keep_header,
                 "\"Use Old Header\": keep the 24 header bytes of the replaced image");
  verb->add_option("--out", args->out, "The archive to write (default: Bignew.shp beside SHP)")
      ->option_text("OUT.shp");
  verb->footer("Example: pelgrin-cli replace units.shp 3 unit3.sdf --out units-new.shp");
  verb->callback([&context, args] { context.exit_code = RunReplace(context, *args); });
}

void AddAppend(CLI::App& app, Context& context) {
  auto args = std::make_shared<AppendArgs>();
  CLI::App* verb = app.add_subcommand(
      "append", "Write a copy of an archive with an image record added after its last image");
  verb->add_option("SHP", args->shp, "The SHP archive; it is only read")->required();
  verb->add_option("RECORD", args->record, "The image record, as convert writes it")->required();
  verb->add_option("--out", args->out, "The archive to write (default: Bignew.shp beside SHP)")
      ->option_text("OUT.shp");
  verb->footer("Example: pelgrin-cli append units.shp unit3.sdf");
  verb->callback([&context, args] { context.exit_code = RunAppend(context, *args); });
}

}  // namespace

void AddEditVerbs(CLI::App& app, Context& context) {
  AddConvert(app, context);
  AddReplace(app, context);
  AddAppend(app, context);
}

}  // namespace pelgrin::cli
