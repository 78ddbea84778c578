// The settings file Pelgrin.cfg in the program's directory: a switch on line 1, the
// start-up palette and the transfer tool's palette on lines 2 and 3, and the positions
// of five windows on lines 4 to 8. Read at start-up, rewritten at exit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shp/work_state.h"

namespace pelgrin {

inline constexpr std::string_view kSettingsFileName = "Pelgrin.cfg";
// Each line is read into a buffer of this size: at most 254 characters of a line.
inline constexpr std::size_t kSettingsLineCapacity = 255;

struct WindowPosition {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  friend bool operator==(const WindowPosition&, const WindowPosition&) = default;
};

// The windows whose positions the file keeps, in the order of lines 4 to 8.
enum SavedWindow : std::size_t {
  kMainWindow,
  kBmpWindow,
  kShpWindow,
  kKVFixWindow,
  kTransWindow,
  kSavedWindowCount
};
using WindowPositions = std::array<WindowPosition, kSavedWindowCount>;

struct Settings {
  std::string SettingsPath{kSettingsFileName};
  // Line 1; non-zero means the file is used at start-up and rewritten at exit.
  std::int32_t RememberSettings = 0;
  WindowPositions SavedPositions{};
};

// The settings file of a program directory (which ends with its separator).
std::string SettingsPathFor(std::string_view program_dir);

// Reads SettingsPath. A missing file leaves everything as it was. Otherwise line 1 sets
// RememberSettings, and when it is non-zero, lines 2 and 3 (trailing blanks and control
// characters removed, prefixed with ProgramDir) set PaletteName and SourcePaletteName and
// lines 4 to 8 the saved positions. A line missing from the file reads as the last line
// that was there.
void ReadSettings(Settings& settings, WorkState& ws);

enum class SettingsWrite { kSwitchedOff, kWritten, kFailed };

// Rewrites SettingsPath with the names and the windows' current positions, unless
// RememberSettings is 0. The old file stays whole when the new one cannot be written.
SettingsWrite WriteSettings(const Settings& settings, const WorkState& ws,
                            const WindowPositions& current);

}  // namespace pelgrin
