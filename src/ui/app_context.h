// What the windows share: the working state, the settings, the dialogs, the help file
// and the six windows themselves (made once at start-up, in this order).
#pragma once

#include <string>

#include "shell/settings.h"
#include "shp/work_state.h"
#include "ui/dialogs.h"

namespace pelgrin {

class TMainForm;
class TKVFix;
class THelpForm;
class TShpForm;
class TBmpForm;
class TTransForm;

struct AppContext {
  AppContext(WorkState& work_state, Settings& app_settings, Dialogs& app_dialogs)
      : ws(work_state), settings(app_settings), dialogs(app_dialogs) {}

  WorkState& ws;
  Settings& settings;
  Dialogs& dialogs;
  // The document that Help opens.
  std::string HelpFile;

  TMainForm* MainForm = nullptr;
  TKVFix* KVFix = nullptr;
  THelpForm* HelpForm = nullptr;
  TShpForm* ShpForm = nullptr;
  TBmpForm* BmpForm = nullptr;
  TTransForm* TransForm = nullptr;

  // True while a drawing or a collage runs and lets events through (see DrawingGuard):
  // the buttons of operations that would change the working state are disabled then, and
  // their handlers return at once when called otherwise.
  bool Busy = false;
};

}  // namespace pelgrin
