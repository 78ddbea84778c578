#include "shell/settings.h"

#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"

namespace pelgrin {
namespace {

// Reads the file line by line into one buffer, as a fixed line buffer does: at the end
// of the file the buffer keeps the last line read.
class SettingsLines {
 public:
  explicit SettingsLines(InFile& file) : reader_(file) {}
  const std::string& Next() {
    std::string line;
    if (reader_.ReadLine(kSettingsLineCapacity, line)) buffer_ = std::move(line);
    return buffer_;
  }

 private:
  TextLineReader reader_;
  std::string buffer_;
};

std::string WithoutTrailingBlanks(std::string text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
    text.pop_back();
  return text;
}

// "%d %d": the first number sets Left, a second one after it sets Top.
void ScanPosition(const std::string& line, WindowPosition& position) {
  const auto left = ScanInt(line);
  if (!left) return;
  position.Left = left->value;
  if (const auto top = ScanInt(line, left->end)) position.Top = top->value;
}

std::string PositionLine(const WindowPosition& p) {
  return std::to_string(p.Left) + " " + std::to_string(p.Top) + "\n";
}

}  // namespace

std::string SettingsPathFor(std::string_view program_dir) {
  return JoinPath(program_dir, kSettingsFileName);
}

void ReadSettings(Settings& settings, WorkState& ws) {
  InFile file;
  if (!file.Open(settings.SettingsPath)) return;
  SettingsLines lines(file);
  if (const auto number = ScanInt(lines.Next())) settings.RememberSettings = number->value;
  if (settings.RememberSettings == 0) return;
  ws.PaletteName = JoinPath(ws.ProgramDir, WithoutTrailingBlanks(lines.Next()));
  ws.SourcePaletteName = JoinPath(ws.ProgramDir, WithoutTrailingBlanks(lines.Next()));
  for (WindowPosition& position : settings.SavedPositions)
    ScanPosition(lines.Next(), position);
}

SettingsWrite WriteSettings(const Settings& settings, const WorkState& ws,
                            const WindowPositions& current) {
  if (settings.RememberSettings == 0) return SettingsWrite::kSwitchedOff;
  std::string text = std::to_string(settings.RememberSettings) + "\n";
  text += ws.PaletteName + "\n";
  text += ws.SourcePaletteName + "\n";
  for (const WindowPosition& position : current)
    text += PositionLine(position);
  AtomicFile file;
  if (!file.Create(settings.SettingsPath)) return SettingsWrite::kFailed;
  file.Out().WriteText(text);
  return file.Commit() == AtomicFile::Result::kOk ? SettingsWrite::kWritten
                                                  : SettingsWrite::kFailed;
}

}  // namespace pelgrin
