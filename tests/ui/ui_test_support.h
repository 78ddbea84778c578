// Helpers for the window tests: dialogs answered by a script, a whole program started in
// a temporary program directory, and SHP archives to open.
#pragma once

#include <QString>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/main_form.h"
#include "ui/pelgrin_app.h"

namespace pelgrin::test {

class ScriptedDialogs : public Dialogs {
 public:
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  void Message(std::string_view text, std::string_view caption) override;
  void ErrorBox(std::string_view text) override;
  void ExceptionBox(std::string_view text) override;

  // Answers in order; an empty answer (or none left) is a cancelled dialog.
  std::deque<std::optional<std::string>> open_answers;
  std::deque<std::optional<std::string>> save_answers;
  std::vector<FileDialogRequest> open_requests;
  std::vector<FileDialogRequest> save_requests;
  std::vector<std::pair<std::string, std::string>> messages;  // text, caption
  std::vector<std::string> errors;
  std::vector<std::string> exceptions;
  // Called while a message box would be up, after it was recorded.
  std::function<void()> on_message;

  // For every dialog and box in the order asked: was the wait cursor up when it was asked?
  std::vector<bool> wait_cursor;

 private:
  void NoteCursor();
};

// A program whose directory is a fresh temporary directory.
class TestProgram {
 public:
  TestProgram() = default;
  // Starts the program with these arguments after the program's own path.
  void Start(const std::vector<std::string>& args = {});

  std::string Dir() const { return dir_.Path() + "/"; }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  TMainForm& Main() { return program_->Main(); }
  AppContext& Ctx() { return program_->Context(); }
  WorkState& State() { return program_->State(); }
  // The message log, one entry a line.
  std::vector<std::string> Log();
  // Ends the intro as the fourth timer tick does.
  void EndIntro();

  ScriptedDialogs dialogs;

 private:
  TempDir dir_;
  std::unique_ptr<Pelgrin> program_;
};

// An archive of frames filled with one palette index each (width, height, index).
struct Frame {
  int width, height;
  std::uint8_t index;
};
Bytes ArchiveOf(const std::vector<Frame>& frames);

// Text of a palette file that declares a count and lists entries i = 0..given-1 as
// (i % 256, 255 - i % 256, 7 + i / 256).
std::string PaletteText(int declared, int given);

}  // namespace pelgrin::test

// A Qt Test main whose application object is the program's own (it catches exceptions
// escaping a handler).
#define PELGRIN_UI_TEST_MAIN(TestObject)         \
  int main(int argc, char** argv) {              \
    pelgrin::PelgrinApplication app(argc, argv); \
    app.setAttribute(Qt::AA_Use96Dpi, true);     \
    TestObject test;                             \
    return QTest::qExec(&test, argc, argv);      \
  }
