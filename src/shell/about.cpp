#include "shell/about.h"

#include <string_view>

#include "io/text.h"

namespace pelgrin {
namespace {

constexpr std::string_view kAboutPattern =
    "Korvane SHP file editor\n"
    "   KV Pelgrin Version %s\n"
    "   first written by the original Pelgrin author\n"
    "   March 2003\n"
    "   modified in May 2025\n"
    "   by the Quillmark group";

constexpr std::string_view kEditorUsage =
    "Usage: pelgrin [ARCHIVE.shp]\n"
    "       pelgrin --help | --version\n"
    "\n"
    "Opens the editor's windows; an archive named first (ending in .shp) is opened as\n"
    "Load SHP opens it. The settings file Pelgrin.cfg beside the program keeps the\n"
    "start-up palette and the window places.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n"
    "\n"
    "Batch work without windows: run 'pelgrin-cli --help'.\n";

}  // namespace

std::string AboutText() {
  return FillPattern(kAboutPattern, {kVersionNumber});
}

std::string VersionLine() {
  return "Pelgrin " + std::string(kVersionNumber);
}

EditorRequest EditorRequestOf(int argc, const char* const* argv) {
  if (argc < 2 || argv[1] == nullptr) return EditorRequest::kRun;
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h") return EditorRequest::kHelp;
  if (first == "--version") return EditorRequest::kVersion;
  return EditorRequest::kRun;
}

std::string EditorUsage() {
  return std::string(kEditorUsage);
}

}  // namespace pelgrin
