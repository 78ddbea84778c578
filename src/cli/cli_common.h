// What every pelgrin-cli verb shares: its reporter, its working state, and the
// --palette / --full-pal options.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Log lines to stdout, message-box texts to stderr, one line each.
class StreamReporter : public Reporter {
 public:
  void Log(std::string_view line) override { std::cout << line << '\n'; }
  void ClearLog() override {}
  void ShowError(std::string_view text) override { std::cerr << text << '\n'; }
  void Message(std::string_view text, std::string_view) override { std::cerr << text << '\n'; }
};

// Keeps log lines back (errors pass through) until Flush; for steps whose log the verb
// does not print unless they fail.
class HeldLogReporter : public Reporter {
 public:
  explicit HeldLogReporter(Reporter& out) : out_(out) {}
  void Log(std::string_view line) override { held_.emplace_back(line); }
  void ClearLog() override { held_.clear(); }
  void ShowError(std::string_view text) override { out_.ShowError(text); }
  void Message(std::string_view text, std::string_view caption) override {
    out_.Message(text, caption);
  }
  void Flush() {
    for (const auto& line : held_)
      out_.Log(line);
    held_.clear();
  }

 private:
  Reporter& out_;
  std::vector<std::string> held_;
};

// Shared by all verbs: where the program lives and the status the verb ended with.
struct Context {
  std::string program_dir;
  int exit_code = kExitOk;
};

// The options --palette PAL and --full-pal, added to a verb that takes them.
struct PaletteOptions {
  std::string palette;
  bool full_pal = false;
  void AddTo(CLI::App& verb, bool with_full_pal = true);
};

// The required positional option N, an image number. Image numbers are whole decimal
// numbers: "010" is 10, not an octal 8, and "0x0A" or "1e1" are wrong usage.
void AddImageNumber(CLI::App& verb, std::int32_t& number,
                    const std::string& text = "Image number, counting from 1");

// A fresh working state whose LoadedPalette is the default one, with ProgramDir set and
// --palette read into LoadedPalette and ActivePalette. Null (after reporting) when the
// palette file cannot be opened or is refused.
std::unique_ptr<WorkState> NewState(const Context& context, const PaletteOptions& options,
                                    Reporter& reporter);

// Opens an SHP file as Load SHP does, printing its log lines only if it fails. False when
// the file could not be opened or was refused.
// With index_only, the frames are not measured (LoadShpIndex).
bool OpenShpQuietly(WorkState& ws, const std::string& path, Reporter& reporter,
                    bool index_only = false);

// After a verb found no image #number: a number outside 1..ImageCount is a mistake that
// stderr names with the valid range (an absent image inside it stays a log line only).
void ReportNumberOutsideRange(const WorkState& ws, std::int32_t number, Reporter& reporter);

// Verb groups, each in its own file.
void AddViewVerbs(CLI::App& app, Context& context);
void AddListVerbs(CLI::App& app, Context& context);
void AddCollageVerbs(CLI::App& app, Context& context);
void AddHeaderVerbs(CLI::App& app, Context& context);
void AddTransferVerbs(CLI::App& app, Context& context);
void AddEditVerbs(CLI::App& app, Context& context);
void AddArchiveVerbs(CLI::App& app, Context& context);

}  // namespace pelgrin::cli
