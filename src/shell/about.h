// The program's version, the text of its About box and the editor's command-line help.
#pragma once

#include <string>
#include <string_view>

namespace pelgrin {

inline constexpr std::string_view kVersionNumber = "0.50-qm";
inline constexpr std::string_view kAboutCaption = "About KV Pelgrin";

// Six lines: the editor's name, "KV Pelgrin" and the version, and four lines of credits.
std::string AboutText();

// "Pelgrin 0.50-qm": what pelgrin --version and pelgrin-cli --version print.
std::string VersionLine();

// What the editor's command line asks for before any window is made.
enum class EditorRequest { kRun, kHelp, kVersion };
// --help (or -h) or --version as the first argument; anything else runs the editor.
EditorRequest EditorRequestOf(int argc, const char* const* argv);
// The text of pelgrin --help: the optional archive, the settings file and pelgrin-cli.
std::string EditorUsage();

}  // namespace pelgrin
