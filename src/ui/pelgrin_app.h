// The program as a whole: the application object that catches exceptions escaping a
// handler, and the start-up sequence that makes the working state and the six windows.
#pragma once

#include <QApplication>
#include <memory>

#include "shell/settings.h"
#include "shp/work_state.h"
#include "ui/app_context.h"
#include "ui/main_form.h"

namespace pelgrin {

class TKVFix;
class THelpForm;
class TShpForm;
class TBmpForm;
class TTransForm;

// The help document: the user guide compiled into the program.
inline constexpr const char* kHelpFile = ":/help/Pelgrin-0.50.html";

class PelgrinApplication : public QApplication {
 public:
  PelgrinApplication(int& argc, char** argv);
  // Where exceptions that escape an event handler are shown.
  void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  Dialogs* dialogs_ = nullptr;
};

// The working state, the settings and the windows, made in start-up order: the main
// window (whose FormCreate reads the settings and opens the command-line file), the
// header fix window, the help window, the Shp Image, Bmp Image and Shp Transfer windows.
// None is shown. Exceptions escaping a handler are shown through the program's dialogs.
class Pelgrin {
 public:
  Pelgrin(const CommandLine& command_line, Dialogs& dialogs);
  ~Pelgrin();
  Pelgrin(const Pelgrin&) = delete;
  Pelgrin& operator=(const Pelgrin&) = delete;

  AppContext& Context() { return ctx_; }
  WorkState& State() { return *ws_; }
  TMainForm& Main() { return *main_; }

 private:
  std::unique_ptr<WorkState> ws_;
  Settings settings_;
  AppContext ctx_;
  std::unique_ptr<TMainForm> main_;
  std::unique_ptr<TKVFix> kvfix_;
  std::unique_ptr<THelpForm> help_;
  std::unique_ptr<TShpForm> shp_;
  std::unique_ptr<TBmpForm> bmp_;
  std::unique_ptr<TTransForm> trans_;
};

// The program's path for finding its directory: argv[0] when it names a path, else (when
// the program was found through PATH) the executable the system reports.
std::string ProgramPath(const char* argv0);

// The entry point: runs the program until its main window closes; returns 0.
int RunPelgrin(int argc, char** argv);

}  // namespace pelgrin
