// Every file dialog and message box of the program goes through this interface, so that
// tests can answer them without a person. The application answers with Qt's dialogs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelgrin {

struct FileDialogRequest {
  // The program's own filter form: "description|pattern|description|pattern".
  std::string filter;
  // Where the dialog starts; empty for the toolkit's choice.
  std::string initial_dir;
  std::string file_name;
  // Empty for the toolkit's own title.
  std::string title;
  // Added to a typed name without extension ("BMP"); empty for none.
  std::string default_ext;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // The chosen file, or nothing when the user cancels.
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
  // The chosen file (the user has agreed to replace an existing one), or nothing.
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
  // A modal box with a single OK button.
  virtual void Message(std::string_view text, std::string_view caption) = 0;
  // The error box: caption "Sorry, an error!".
  virtual void ErrorBox(std::string_view text) = 0;
  // The application's standard box for an exception that escaped a handler.
  virtual void ExceptionBox(std::string_view text) = 0;
};

}  // namespace pelgrin
