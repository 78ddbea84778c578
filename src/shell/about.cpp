#include "shell/about.h"

#include "io/text.h"

namespace pelgrin {
namespace {

constexpr std::string_view kAboutPattern =
    "Korvane SHP file editor\n"
    "   KV Pelgrin %s\n"
    "   first written by the original Pelgrin author\n"
    "   March 2003\n"
    "   modified in May 2025\n"
    "   by the Quillmark group";

}  // namespace

std::string AboutText() {
  return FillPattern(kAboutPattern, {VersionText});
}

}  // namespace pelgrin
