// Verbs for a whole archive as a folder of pictures and back: unpack and pack.
#include <cstdio>

#include "archive/pack.h"
#include "archive/unpack.h"
#include "cli/cli_common.h"
#include "io/system.h"

namespace pelgrin::cli {
namespace {

struct UnpackArgs {
  std::string shp;
  std::string dir;
  std::string format = "png";
  PaletteOptions palette;
};

struct PackArgs {
  std::string dir;
  std::string out;
  bool no_flash = false;
  PaletteOptions palette;
};

// "unpacking 12 of 345" on standard error, rewritten in place; only on a terminal.
ProgressFn TerminalProgress(const char* verb) {
  if (!os::StandardErrorIsTerminal()) return {};
  return [verb](int done, int total) {
    std::fprintf(stderr, "\r%s %d of %d", verb, done, total);
    if (done == total) std::fprintf(stderr, "\n");
  };
}

int RunUnpack(const Context& context, const UnpackArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws) return kExitFailed;
  const UnpackOptions options{args.format, args.palette.full_pal};
  return UnpackArchive(*ws, args.shp, args.dir, options, reporter, TerminalProgress("unpacking"))
             ? kExitOk
             : kExitFailed;
}

int RunPack(const Context& context, const PackArgs& args) {
  StreamReporter reporter;
  auto ws = NewState(context, args.palette, reporter);
  if (!ws) return kExitFailed;
  return PackFolder(*ws, args.dir, args.out, PackOptions{args.no_flash}, reporter,
                    TerminalProgress("packing"))
             ? kExitOk
             : kExitFailed;
}

}  // namespace

void AddArchiveVerbs(CLI::App& app, Context& context) {
  auto unpack_args = std::make_shared<UnpackArgs>();
  CLI::App* unpack = app.add_subcommand(
      "unpack",
      "Write the archive into a new folder: one picture per image record (NNNN.png named "
      "after its first entry), each own palette record (NNNN-palette.bin, and as a text "
      "palette NNNN-palette.pal) and archive.json, from which pack builds it back");
  unpack->add_option("SHP", unpack_args->shp, "The SHP archive")->required();
  unpack->add_option("DIR", unpack_args->dir, "The folder to create (missing, or empty)")
      ->required();
  unpack
      ->add_option("--format", unpack_args->format,
                   "png (indexed PNG, index 255 transparent) or bmp (24-bit bitmaps)")
      ->check(CLI::IsMember({"bmp", "png"}));
  unpack_args->palette.AddTo(*unpack);
  unpack->footer(
      "Example: pelgrin-cli unpack units.shp units-folder --palette game.pal\n"
      "         (edit some pictures, then: pelgrin-cli pack units-folder units-new.shp)");
  unpack->callback(
      [&context, unpack_args] { context.exit_code = RunUnpack(context, *unpack_args); });

  auto pack_args = std::make_shared<PackArgs>();
  CLI::App* pack = app.add_subcommand(
      "pack",
      "Build an archive from a folder that unpack wrote: untouched pictures give back their "
      "records byte for byte, edited ones are converted as Convert converts them (matched "
      "against the entry's own palette record, else the loaded palette)");
  pack->add_option("DIR", pack_args->dir, "The folder unpack wrote")->required();
  pack->add_option("OUT", pack_args->out, "The SHP archive to write")->required();
  pack->add_flag(
      "--no-flash", pack_args->no_flash,
      "\"KV-No Flash\" for edited pictures: never use the flashing indices 112-127 and 224-254");
  pack_args->palette.AddTo(*pack, false);
  pack->footer("Example: pelgrin-cli pack units-folder units-new.shp --palette game.pal");
  pack->callback([&context, pack_args] { context.exit_code = RunPack(context, *pack_args); });
}

}  // namespace pelgrin::cli
