// The transfer verb: a transfer script run in Auto Mode.
#include <iostream>
#include <memory>

#include "cli/cli_common.h"
#include "io/paths.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "transfer/engine.h"
#include "transfer/script.h"

namespace pelgrin::cli {
namespace {

constexpr std::string_view kNothingToTransfer =
    "%s transfers nothing: its first row does not name a destination file and icon and a "
    "source file and icon.";

struct TransferArgs {
  std::string script;
  std::string dir;
  std::string source_palette;
  PaletteOptions palette;
};

int RunTransferVerb(const Context& context, const TransferArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws) return kExitFailed;
  SetProgramDir(*ws, JoinPath(args.dir, ""));
  TransferRunOptions options;
  options.auto_mode = true;
  if (!args.source_palette.empty()) {
    // The transfer window's Load Pal: the source palette alone.
    const PaletteReadResult read = ReadPaletteFile(args.source_palette, {&ws->SourcePalette});
    if (read.status != PaletteReadStatus::kRead) {
      reporter.ShowError(read.message);
      return kExitFailed;
    }
    ws->SourcePaletteName = FileNamePart(args.source_palette);
    options.use_two_palettes = true;
  }
  auto table = std::make_unique<ScriptTable>();  // 500 cells: kept off the stack
  if (!LoadScript(*table, args.script, reporter)) return kExitFailed;
  if (!IsCompleteRow(*table, 1)) {
    reporter.ShowError(FillPattern(kNothingToTransfer, {args.script}));
    return kExitFailed;
  }
  TransferLabels labels;
  const TransferRunSummary summary = RunTransfer(
      *ws, *table, options, labels, reporter,
      [](const TransferLabels& done) { std::cout << done.from << " -> " << done.to << '\n'; });
  return summary.rows_failed == 0 ? kExitOk : kExitFailed;
}

}  // namespace

void AddTransferVerbs(CLI::App& app, Context& context) {
  auto args = std::make_shared<TransferArgs>();
  CLI::App* verb = app.add_subcommand(
      "transfer",
      "Run a transfer script in Auto Mode: copy each row's source icon over its destination "
      "icon, in DIR/source and DIR/dest");
  verb->add_option("SCRIPT", args->script, "The transfer script (.csv), loaded as Load Script does")
      ->required();
  verb->add_option("DIR", args->dir,
                   "The directory that holds source/, dest/ and TransTmp.sdf (the program's "
                   "directory of the transfer window)")
      ->required();
  args->palette.AddTo(*verb, false);
  verb->add_option("--source-palette", args->source_palette,
                   "Palette file read into the source palette; checks \"Use 2 Palettes\", "
                   "so every copied pixel is remapped to the loaded palette")
      ->option_text("SPAL");
  verb->footer(
      "Example: pelgrin-cli transfer demo-transfer.csv . --source-palette demo/heroes.pal\n"
      "Prints 'FROM -> TO' for each row that succeeded; exits 1 if any row failed.");
  verb->callback([&context, args] { context.exit_code = RunTransferVerb(context, *args); });
}

}  // namespace pelgrin::cli
