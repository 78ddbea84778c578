// Verbs for a whole archive at once: a table of its entries, and every image exported.
#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/cli_common.h"
#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "picture/picture_file.h"
#include "shp/show.h"
#include "shp/shp_format.h"

namespace pelgrin::cli {
namespace {

struct ListArgs {
  std::string shp;
};

struct ExportAllArgs {
  std::string shp;
  std::string dir;
  std::string format = "bmp";
  PaletteOptions palette;
};

// One table row, without trailing blanks.
std::string Columns(const char* format, auto... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  std::string row = line;
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

constexpr const char* kListRow = "%5s %9s %10s %6s %6s %7s %7s %7s %7s %6s %6s  %s";

// What is worth knowing about an entry beyond its numbers.
std::string EntryNote(const ImageHeader& h, int first_user) {
  if (IsAbsentImage(h)) return "no image";
  std::string note = (h.Left < 0 || h.Top < 0) ? "Problem??" : "";
  if (first_user >= 0)
    note += (note.empty() ? "" : ", ") + ("same as #" + std::to_string(first_user + 1));
  return note;
}

std::string EntryRow(const WorkState& ws, std::int32_t i, int first_user) {
  const ImageHeader& h = ws.CurHeader;
  const std::int32_t palette = ws.PaletteOffsets[static_cast<std::size_t>(i)];
  const auto n = [](std::int64_t v) { return std::to_string(v); };
  return Columns(kListRow, n(i + 1).c_str(),
                 n(ws.ImageOffsets[static_cast<std::size_t>(i)]).c_str(),
                 palette > 0 ? n(palette).c_str() : "-", n(h.MaxX + std::int64_t{1}).c_str(),
                 n(h.MaxY + std::int64_t{1}).c_str(), n(h.Left).c_str(), n(h.Top).c_str(),
                 n(h.Right).c_str(), n(h.Bottom).c_str(), n(h.OffsWord & 0xFFFF).c_str(),
                 n(static_cast<std::int16_t>(static_cast<std::uint32_t>(h.OffsWord) >> 16)).c_str(),
                 EntryNote(h, first_user).c_str());
}

int RunList(const Context& context, const ListArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, {}, reporter);
  if (!OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  InFile file;
  if (!file.Open(args.shp)) {
    reporter.ShowError(FillPattern("Could not open file %s.", {args.shp}));
    return kExitFailed;
  }
  std::printf("%s\n", Columns(kListRow, "#", "image at", "palette at", "width", "height", "left",
                              "top", "right", "bottom", "x offs", "y offs", "note")
                          .c_str());
  std::map<std::int32_t, int> first_user_of_offset;
  for (std::int32_t i = 0; i < ws->ImageCount; ++i) {
    ReadImageHeader(file, *ws, i);
    const auto [at, inserted] =
        first_user_of_offset.emplace(ws->ImageOffsets[static_cast<std::size_t>(i)], i);
    std::printf("%s\n", EntryRow(*ws, i, inserted ? -1 : at->second).c_str());
  }
  return kExitOk;
}

std::string NumberedName(std::int32_t number, const std::string& format) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d.%s", number, format.c_str());
  return name;
}

int RunExportAll(const Context& context, const ExportAllArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws || !OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  std::error_code ec;
  std::filesystem::create_directories(FsPath(args.dir), ec);
  if (!std::filesystem::is_directory(FsPath(args.dir), ec)) {
    reporter.ShowError(FillPattern("Could not create folder %s.", {args.dir}));
    return kExitFailed;
  }
  InFile file;
  if (!file.Open(args.shp)) {
    reporter.ShowError(FillPattern("Could not open file %s", {args.shp}));
    return kExitFailed;
  }
  int status = kExitOk;
  for (std::int32_t number = 1; number <= ws->ImageCount; ++number) {
    if (ReadImageForShow(file, *ws, number, args.palette.full_pal, reporter) != ShowResult::kShown)
      continue;
    reporter.Log(ExtentLine(*ws));
    const RasterWriteResult written =
        WriteShownImage(*ws, JoinPath(args.dir, NumberedName(number, args.format)), reporter);
    // An image too large is skipped; a failed write (a full disk) would fail again for
    // every later image.
    if (written == RasterWriteResult::kFrameTooLarge) status = kExitFailed;
    if (written == RasterWriteResult::kWriteFailed) return kExitFailed;
  }
  return status;
}

}  // namespace

void AddListVerbs(CLI::App& app, Context& context) {
  auto list_args = std::make_shared<ListArgs>();
  CLI::App* list = app.add_subcommand(
      "list", "Print a table of every entry: offsets, frame size, box, X/Y offsets, notes");
  list->add_option("SHP", list_args->shp, "The SHP archive")->required();
  list->footer("Example: pelgrin-cli list units.shp");
  list->callback([&context, list_args] { context.exit_code = RunList(context, *list_args); });

  auto all_args = std::make_shared<ExportAllArgs>();
  CLI::App* all = app.add_subcommand(
      "export-all",
      "Write every image as DIR/NNNN.bmp, or DIR/NNNN.png with --format png (N counting "
      "from 1); entries holding no image are skipped with their log line");
  all->add_option("SHP", all_args->shp, "The SHP archive")->required();
  all->add_option("DIR", all_args->dir, "Folder for the bitmaps (created when missing)")
      ->required();
  all->add_option("--format", all_args->format,
                  "bmp (24-bit bitmaps) or png (indexed PNG: every index kept)")
      ->check(CLI::IsMember({"bmp", "png"}));
  all_args->palette.AddTo(*all);
  all->footer(
      "Example: pelgrin-cli export-all units.shp units-png --format png --palette game.pal");
  all->callback([&context, all_args] { context.exit_code = RunExportAll(context, *all_args); });
}

}  // namespace pelgrin::cli
