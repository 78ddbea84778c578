// Reads a fuzzed settings file as start-up does, loads the start-up palette it names, and
// writes the settings back as the program does at exit.
#include <memory>

#include "fuzz_support.h"
#include "shell/settings.h"
#include "shell/startup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  auto ws = std::make_unique<WorkState>();
  const std::string dir = fuzz::ScratchDir() + "/";
  SetProgramDir(*ws, dir);
  fuzz::WriteFile(dir + "Pelgrin.cfg", data, size);
  Settings settings;
  settings.SettingsPath = SettingsPathFor(dir);
  ReadSettings(settings, *ws);
  if (settings.RememberSettings != 0) LoadStartupPalette(*ws);
  WriteSettings(settings, *ws, settings.SavedPositions);
  return 0;
}
