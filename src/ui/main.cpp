// The editor's entry point. --help and --version are answered before the toolkit starts,
// so that they work without a display.
#include <cstdio>
#include <string>

#include "io/system.h"
#include "shell/about.h"
#include "ui/pelgrin_app.h"

namespace {

// Prints text on standard output; 0 when it got there, 1 otherwise.
int Print(const std::string& text) {
  const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed standard stream must not be taken over by a file the program opens.
  pelgrin::os::GuardStandardStreams();
  switch (pelgrin::EditorRequestOf(argc, argv)) {
    case pelgrin::EditorRequest::kHelp:
      return Print(pelgrin::EditorUsage());
    case pelgrin::EditorRequest::kVersion:
      return Print(pelgrin::VersionLine() + "\n");
    case pelgrin::EditorRequest::kRun:
      break;
  }
  return pelgrin::RunPelgrin(argc, argv);
}
