// What the main window's handler files share: the guard that keeps the buttons still while
// a drawing lets events through, and the rule for a dialog's starting directory.
#pragma once

#include <QToolButton>
#include <string>
#include <utility>
#include <vector>

#include "ui/app_context.h"
#include "ui/main_form.h"

namespace pelgrin {

// A dialog's starting directory: the remembered one when it is longer than 2 characters.
inline std::string InitialDir(const std::string& dir) {
  return dir.size() > 2 ? dir : std::string();
}

// While a drawing lets events through, the buttons that would start another drawing or
// change the working state are disabled; each gets its own state back afterwards.
class TMainForm::RunGuard {
 public:
  explicit RunGuard(TMainForm& form) : ctx_(form.ctx_) {
    ctx_.Busy = true;
    for (QToolButton* button : form.WorkButtons()) {
      saved_.emplace_back(button, button->isEnabled());
      button->setEnabled(false);
    }
  }
  ~RunGuard() {
    for (const auto& [button, enabled] : saved_)
      button->setEnabled(enabled);
    ctx_.Busy = false;
  }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  AppContext& ctx_;
  std::vector<std::pair<QToolButton*, bool>> saved_;
};

}  // namespace pelgrin
