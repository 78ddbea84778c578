// The main window's shorter roads: the keys that step Image # and show the image without
// the arrows and Show, and files dropped on the window instead of chosen in a dialog.
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "picture/picture_file.h"
#include "shell/dropped_file.h"
#include "ui/app_context.h"
#include "ui/guarded.h"
#include "ui/main_form.h"
#include "ui/picture_button.h"
#include "ui/up_down.h"
#include "ui/wait_cursor.h"

namespace pelgrin {
namespace {

constexpr const char* kDropWhileDrawing = "Still drawing: the dropped file was not opened";

bool IsEnterKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The path of the one local file a drag carries, in the file system's encoding.
std::optional<std::string> DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  return QFile::encodeName(urls.front().toLocalFile()).toStdString();
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

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!FileDragEvent(event)) QWidget::dragEnterEvent(event);
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
  if (!FileDragEvent(event)) QWidget::dragMoveEvent(event);
}

void TMainForm::dropEvent(QDropEvent* event) {
  if (!FileDragEvent(event)) QWidget::dropEvent(event);
}

bool TMainForm::FileDragEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  // QDragEnterEvent is a QDragMoveEvent, which is a QDropEvent.
  auto* drag = static_cast<QDropEvent*>(event);
  const std::optional<std::string> path = DraggedFile(drag->mimeData());
  if (!path) return false;
  if (type != QEvent::Drop) {
    drag->acceptProposedAction();
    return true;
  }
  if (ctx_.Busy) {
    drag->ignore();
    Log(kDropWhileDrawing);
    return true;
  }
  drag->acceptProposedAction();
  // Opened once the drop has ended, so that the program the file came from does not wait
  // for an error box or a drawing.
  QTimer::singleShot(0, this, [this, file = *path] {
    RunGuarded(ctx_.dialogs, [this, &file] { DropFile(file); });
  });
  return true;
}

void TMainForm::DropFile(const std::string& path) {
  if (ctx_.Busy) {
    Log(kDropWhileDrawing);
    return;
  }
  switch (KindOfDroppedFile(path)) {
    case DroppedFile::kArchive:
      OpenDialog1FileName = path;
      OpenShpFile();
      return;
    case DroppedFile::kPicture: {
      WaitCursor wait;
      LoadBmpFile(path);
      return;
    }
    case DroppedFile::kPalette:
      LoadPalFile(path);
      return;
    case DroppedFile::kOther:
      // What Load BMP says of it; the refused file changes nothing.
      ShowError(ReadPictureFile(ctx_.ws, path).message);
      return;
  }
}

}  // namespace pelgrin
