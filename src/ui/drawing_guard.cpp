#include "ui/drawing_guard.h"

#include <QWidget>

#include "ui/app_context.h"
#include "ui/kvfix_form.h"
#include "ui/main_form.h"
#include "ui/trans_form.h"

namespace pelgrin {
namespace {

std::vector<QWidget*> WorkControlsOf(const AppContext& ctx) {
  std::vector<QWidget*> controls;
  const auto add = [&controls](const std::vector<QWidget*>& more) {
    controls.insert(controls.end(), more.begin(), more.end());
  };
  if (ctx.MainForm != nullptr) add(ctx.MainForm->WorkControls());
  if (ctx.KVFix != nullptr) add(ctx.KVFix->WorkControls());
  if (ctx.TransForm != nullptr) add(ctx.TransForm->WorkControls());
  return controls;
}

}  // namespace

DrawingGuard::DrawingGuard(AppContext& ctx) : ctx_(ctx), was_busy_(ctx.Busy) {
  ctx_.Busy = true;
  for (QWidget* control : WorkControlsOf(ctx_)) {
    saved_.emplace_back(control, control->isEnabled());
    control->setEnabled(false);
  }
}

DrawingGuard::~DrawingGuard() {
  for (const auto& [control, enabled] : saved_)
    control->setEnabled(enabled);
  ctx_.Busy = was_busy_;
}

}  // namespace pelgrin
