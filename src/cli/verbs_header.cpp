// Verbs of the header fix window: show one image's header beside the measured box, and
// rewrite the 24 header bytes in place.
#include <array>
#include <sstream>

#include "cli/cli_common.h"
#include "headerfix/header_fix.h"
#include "headerfix/mag_view.h"
#include "io/file_lock.h"
#include "io/text.h"

namespace pelgrin::cli {
namespace {

struct HeaderArgs {
  std::string shp;
  std::int32_t number = 0;
  PaletteOptions palette;
};

struct SetHeaderArgs {
  std::string shp;
  std::int32_t number = 0;
  // As typed: converted the way the window converts its fields.
  std::array<std::string, kHeaderFieldCount> fields;
};

std::string FieldLine(std::string_view label, const HeaderFields& fields) {
  std::ostringstream line;
  line << label;
  for (std::size_t k = 0; k < fields.size(); ++k)
    line << (k == 0 ? "" : " ") << fields[k];
  return line.str();
}

int RunHeader(const Context& context, const HeaderArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws || !OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  Surface mag(kMagWidth, kMagHeight);
  const HeaderShowResult shown =
      HeaderFixShow(*ws, args.number, args.palette.full_pal, mag, reporter);
  if (shown.status != HeaderShowStatus::kShown) {
    if (shown.status == HeaderShowStatus::kNoImage)
      ReportNumberOutsideRange(*ws, args.number, reporter);
    return kExitFailed;
  }
  reporter.Log(FieldLine("Old: ", shown.old_fields));
  reporter.Log(FieldLine("New: ", shown.new_fields));
  reporter.Log("Width: " + std::to_string(shown.width));
  reporter.Log("Height: " + std::to_string(shown.height));
  return kExitOk;
}

int RunSetHeader(const Context& context, const SetHeaderArgs& args) {
  StreamReporter reporter;
  FileLock lock;  // held from before the index is read until the header is written
  lock.Lock(args.shp, /*wait=*/true);
  auto ws = NewState(context, {}, reporter);
  if (!OpenShpQuietly(*ws, args.shp, reporter)) return kExitFailed;
  HeaderFields fields{};
  for (std::size_t k = 0; k < fields.size(); ++k)
    fields[k] = StrToInt(args.fields[k]);  // throws the conversion error: nothing written
  return WriteImageHeader(*ws, args.number, fields, reporter) == HeaderWriteResult::kWritten
             ? kExitOk
             : kExitFailed;
}

}  // namespace

void AddHeaderVerbs(CLI::App& app, Context& context) {
  auto header_args = std::make_shared<HeaderArgs>();
  CLI::App* header = app.add_subcommand(
      "header",
      "Print image N's header fields as read and with Right and Bottom measured from its data");
  header->add_option("SHP", header_args->shp, "The SHP archive")->required();
  AddImageNumber(*header, header_args->number);
  header_args->palette.AddTo(*header);
  header->footer("Example: pelgrin-cli header units.shp 12");
  header->callback(
      [&context, header_args] { context.exit_code = RunHeader(context, *header_args); });

  auto set_args = std::make_shared<SetHeaderArgs>();
  CLI::App* set = app.add_subcommand(
      "set-header", "Rewrite the 24 header bytes of image N in place; nothing else changes");
  set->add_option("SHP", set_args->shp, "The SHP archive")->required();
  AddImageNumber(*set, set_args->number);
  constexpr std::array<const char*, kHeaderFieldCount> kNames{"XSIZE", "YSIZE", "XOFFS", "YOFFS",
                                                              "LEFT",  "TOP",   "RIGHT", "BOTTOM"};
  for (std::size_t k = 0; k < kHeaderFieldCount; ++k)
    set->add_option(kNames[k], set_args->fields[k],
                    "\"" + std::string(kHeaderFieldCaptions[k]) + "\" (negative numbers allowed)")
        ->required();
  set->footer("Example: pelgrin-cli set-header units.shp 3 0 0 65535 -1 -5 -3 10 10");
  set->callback([&context, set_args] { context.exit_code = RunSetHeader(context, *set_args); });
}

}  // namespace pelgrin::cli
