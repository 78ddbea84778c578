#include "cli/cli_common.h"

#include <algorithm>

#include "io/text.h"
#include "palette/palette_file.h"
#include "shp/load_shp.h"
#include "shp/shp_format.h"

namespace pelgrin::cli {
namespace {

// Normalises a decimal number, or says why the text is not one.
const CLI::Validator kDecimalNumber(
    [](std::string& text) -> std::string {
      try {
        text = std::to_string(StrToInt(text));  // normalised, so no base prefix survives
        return "";
      } catch (const ConversionError& e) {
        return e.what();
      }
    },
    "", "decimal");

}  // namespace

void AddImageNumber(CLI::App& verb, std::int32_t& number, const std::string& text) {
  verb.add_option("N", number, text)->required()->transform(kDecimalNumber);
}

void PaletteOptions::AddTo(CLI::App& verb, bool with_full_pal) {
  verb.add_option("--palette", palette,
                  "Palette file (text, GIMP, RIFF, Adobe/raw, or an indexed picture) read into "
                  "the loaded palette first, as Load Pal does")
      ->option_text("PAL");
  if (with_full_pal)
    verb.add_flag("--full-pal", full_pal,
                  "\"Use Full Pal\": show every image in the loaded palette");
}

std::unique_ptr<WorkState> NewState(const Context& context, const PaletteOptions& options,
                                    Reporter& reporter) {
  auto ws = std::make_unique<WorkState>();
  SetProgramDir(*ws, context.program_dir);
  if (options.palette.empty()) return ws;
  const PaletteReadResult read =
      ReadPaletteFile(options.palette, {&ws->LoadedPalette, &ws->ActivePalette});
  if (read.status != PaletteReadStatus::kRead) {
    reporter.ShowError(read.message);
    return nullptr;
  }
  return ws;
}

bool OpenShpQuietly(WorkState& ws, const std::string& path, Reporter& reporter, bool index_only) {
  HeldLogReporter held(reporter);
  const LoadShpResult result = index_only ? LoadShpIndex(ws, path, held) : LoadShp(ws, path, held);
  if (result == LoadShpResult::kLoaded) return true;
  held.Flush();
  return false;
}

void ReportNumberOutsideRange(const WorkState& ws, std::int32_t number, Reporter& reporter) {
  if (IsImageNumber(ws, number)) return;
  const std::string no_image = "No image #" + std::to_string(number) + ": ";
  if (ws.ImageCount < 1) {
    reporter.ShowError(no_image + "the archive holds no images.");
    return;
  }
  reporter.ShowError(no_image + "image numbers run from 1 to " +
                     std::to_string(std::min(ws.ImageCount, MaxImages)) + ".");
}

}  // namespace pelgrin::cli
