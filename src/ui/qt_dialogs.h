// The application's dialogs: Qt's file dialogs and message boxes.
#pragma once

#include <QStringList>
#include <QWidget>
#include <string_view>

#include "ui/dialogs.h"

namespace pelgrin {

// Turns the program's filter ("description|pattern|...") into Qt's filter list. Each
// entry keeps its description as written; its patterns (separated by ';' or blanks) are
// rewritten to match letters in either case, so "units.shp" shows under "*.SHP".
QStringList QtFilterList(std::string_view program_filter);

// A wildcard pattern whose letters match in either case: "*.SHP" -> "*.[sS][hH][pP]".
QString AnyCasePattern(const QString& pattern);

class QtDialogs : public Dialogs {
 public:
  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  void Message(std::string_view text, std::string_view caption) override;
  void ErrorBox(std::string_view text) override;
  void ExceptionBox(std::string_view text) override;
};

}  // namespace pelgrin
