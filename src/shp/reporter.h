// How core operations tell the user what happened. The main window implements it with
// its message log and message boxes, pelgrin-cli with stdout and stderr, tests with a
// recorder.
#pragma once

#include <string_view>

namespace pelgrin {

class Surface;

class Reporter {
 public:
  virtual ~Reporter() = default;
  // Appends one line to the message log.
  virtual void Log(std::string_view line) = 0;
  // Empties the message log.
  virtual void ClearLog() = 0;
  // The error box: the text with the caption "Sorry, an error!".
  virtual void ShowError(std::string_view text) = 0;
  // A message box with its own caption.
  virtual void Message(std::string_view text, std::string_view caption) = 0;
  // The surface changed and should be shown as it stands now.
  virtual void Repaint(const Surface& /*surface*/) {}
  // Lets pending user events run (a click on Cancel sets WorkState::CancelRequested).
  virtual void ProcessEvents() {}
};

inline constexpr std::string_view kErrorCaption = "Sorry, an error!";

}  // namespace pelgrin
