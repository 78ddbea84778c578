#include "ui/pelgrin_app.h"

#include <exception>

#include "io/paths.h"
#include "ui/bmp_form.h"
#include "ui/button_icons.h"
#include "ui/help_form.h"
#include "ui/kvfix_form.h"
#include "ui/qt_dialogs.h"
#include "ui/shp_form.h"
#include "ui/trans_form.h"

namespace pelgrin {

PelgrinApplication::PelgrinApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Pelgrin");
  setWindowIcon(QIcon(QPixmap::fromImage(DrawAppIcon(64))));
}

bool PelgrinApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    if (dialogs_ != nullptr) dialogs_->ExceptionBox(e.what());
  } catch (...) {
    if (dialogs_ != nullptr) dialogs_->ExceptionBox("An unknown error occurred.");
  }
  return false;
}

Pelgrin::Pelgrin(const CommandLine& command_line, Dialogs& dialogs)
    : ws_(std::make_unique<WorkState>()), ctx_(*ws_, settings_, dialogs) {
  if (auto* app = dynamic_cast<PelgrinApplication*>(QCoreApplication::instance()))
    app->SetDialogs(&dialogs);
  ctx_.HelpFile = kHelpFile;
  main_ = std::make_unique<TMainForm>(ctx_, command_line);
  ctx_.MainForm = main_.get();
  kvfix_ = std::make_unique<TKVFix>(ctx_);
  ctx_.KVFix = kvfix_.get();
  help_ = std::make_unique<THelpForm>();
  ctx_.HelpForm = help_.get();
  shp_ = std::make_unique<TShpForm>(ctx_);
  ctx_.ShpForm = shp_.get();
  bmp_ = std::make_unique<TBmpForm>(ctx_);
  ctx_.BmpForm = bmp_.get();
  trans_ = std::make_unique<TTransForm>(ctx_);
  ctx_.TransForm = trans_.get();
}

Pelgrin::~Pelgrin() {
  if (auto* app = dynamic_cast<PelgrinApplication*>(QCoreApplication::instance()))
    app->SetDialogs(nullptr);
}

std::string ProgramPath(const char* argv0) {
  const std::string given = argv0 != nullptr ? argv0 : "";
  if (FileNamePart(given) != given) return given;
  return QCoreApplication::applicationFilePath().toStdString();
}

namespace {

CommandLine CommandLineOf(int argc, char** argv) {
  CommandLine command_line;
  command_line.program_path = ProgramPath(argc > 0 ? argv[0] : nullptr);
  for (int i = 1; i < argc; ++i)
    command_line.args.emplace_back(argv[i]);
  return command_line;
}

int Run(PelgrinApplication& app, int argc, char** argv, Dialogs& dialogs) {
  Pelgrin program(CommandLineOf(argc, argv), dialogs);
  QObject::connect(&program.Main(), &TMainForm::Closed, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  program.Main().show();
  PelgrinApplication::exec();
  return 0;
}

}  // namespace

int RunPelgrin(int argc, char** argv) {
  PelgrinApplication app(argc, argv);
  QtDialogs dialogs;
  app.SetDialogs(&dialogs);
  try {
    return Run(app, argc, argv, dialogs);
  } catch (const std::exception& e) {
    dialogs.ExceptionBox(e.what());
  }
  return 0;
}

}  // namespace pelgrin
