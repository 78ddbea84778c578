// Helpers shared by the tests: temporary directories, a reporter that records what it
// is told, SHP record builders, and running pelgrin-cli.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin::test {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string Path(const std::string& name) const;

 private:
  std::string path_;
};

class RecordingReporter : public Reporter {
 public:
  void Log(std::string_view line) override { log.emplace_back(line); }
  void ClearLog() override {
    log.clear();
    ++clears;
  }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  void Message(std::string_view text, std::string_view caption) override {
    messages.emplace_back(text, caption);
  }
  void Repaint(const Surface&) override { ++repaints; }
  void ProcessEvents() override {
    ++event_rounds;
    if (on_events) on_events();
  }

  std::vector<std::string> log;
  std::vector<std::string> errors;
  std::vector<std::pair<std::string, std::string>> messages;
  int clears = 0;
  int repaints = 0;
  int event_rounds = 0;
  std::function<void()> on_events;
};

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
void WriteFileText(const std::string& path, const std::string& text);

// The 24 header bytes of a record.
Bytes HeaderBytes(const ImageHeader& h);
// An image record: the header followed by raw pixel-data bytes.
Bytes Record(const ImageHeader& h, const Bytes& pixel_data);
// A header whose frame is width x height with the box (left, top, right, bottom).
ImageHeader Header(int width, int height, int left, int top, int right, int bottom);

// The raster byte at (x, y).
std::uint8_t RasterByte(const WorkState& ws, int x, int y);

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Runs pelgrin-cli with the arguments, capturing its output. With a stdout redirection
// (">/dev/full", ">&-"), its standard output goes there instead of being captured.
CliResult RunCli(const std::vector<std::string>& args, const std::string& stdout_to = "");
// The shell command that runs pelgrin-cli with the arguments.
std::string CliCommand(const std::vector<std::string>& args);

// Splits text into lines (without their line ends).
std::vector<std::string> Lines(const std::string& text);

}  // namespace pelgrin::test
