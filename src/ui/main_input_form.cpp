// The main window's keyboard road to its images: stepping Image # and showing the image
// without reaching for the arrows and Show.
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <optional>

#include "ui/app_context.h"
#include "ui/guarded.h"
#include "ui/main_form.h"
#include "ui/picture_button.h"
#include "ui/up_down.h"

namespace pelgrin {
namespace {

bool IsEnterKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

bool TMainForm::ImageKeyDown(const QKeyEvent& event, bool in_image_edit) {
  // The keypad's keys count as the main block's.
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  const int key = event.key();
  std::optional<ImageStep> step;
  if (modifiers == Qt::NoModifier) {
    if (key == Qt::Key_PageDown) step = ImageStep::kNext;
    if (key == Qt::Key_PageUp) step = ImageStep::kPrevious;
    if (in_image_edit && IsEnterKey(key)) step = ImageStep::kTyped;
    if (in_image_edit && key == Qt::Key_Up) step = ImageStep::kUp;
    if (in_image_edit && key == Qt::Key_Down) step = ImageStep::kDown;
  } else if (modifiers == Qt::ControlModifier) {
    if (key == Qt::Key_Home) step = ImageStep::kFirst;
    if (key == Qt::Key_End) step = ImageStep::kLast;
  }
  if (!step) return false;
  if (ShowBtn->isEnabled() && !ctx_.Busy)
    RunGuarded(ctx_.dialogs, [this, step] { StepImage(*step); });
  return true;
}

void TMainForm::StepImage(ImageStep step) {
  switch (step) {
    case ImageStep::kUp:
      ImageUpDown->Click(UpDown::Direction::kRaised);
      return;
    case ImageStep::kDown:
      ImageUpDown->Click(UpDown::Direction::kLowered);
      return;
    case ImageStep::kNext:
      ImageUpDown->Click(UpDown::Direction::kRaised);
      break;
    case ImageStep::kPrevious:
      ImageUpDown->Click(UpDown::Direction::kLowered);
      break;
    case ImageStep::kFirst:
      ImageUpDown->SetPosition(ImageUpDown->Min());
      break;
    case ImageStep::kLast:
      ImageUpDown->SetPosition(ImageUpDown->Max());
      break;
    case ImageStep::kTyped:
      break;
  }
  ShowKeepingFocus();
}

void TMainForm::ShowKeepingFocus() {
  // Show brings the Shp Image window to the front; the key's window keeps the keyboard so
  // that the next key press steps on. Either may go while the drawing lets events through.
  const QPointer<QWidget> window = QApplication::activeWindow();
  const QPointer<QWidget> focus = QApplication::focusWidget();
  ShowBtnClick();
  if (window) window->activateWindow();
  if (focus) focus->setFocus(Qt::OtherFocusReason);
}

}  // namespace pelgrin
