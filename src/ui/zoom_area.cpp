#include "ui/zoom_area.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "ui/surface_view.h"

namespace pelgrin {
namespace {

// Keeps the picture point at `anchor` pixels into the visible part where it is across a
// change of scale.
void KeepPoint(QScrollBar& bar, int anchor, int old_scale, int new_scale) {
  const double point = (bar.value() + anchor) / static_cast<double>(old_scale);
  bar.setValue(static_cast<int>(point * new_scale - anchor));
}

}  // namespace

ZoomArea::ZoomArea(SurfaceView* view, QWidget* parent) : QScrollArea(parent), view_(view) {
  setFrameShape(QFrame::NoFrame);
  // The window takes the keys: the stepping keys must not scroll.
  setFocusPolicy(Qt::NoFocus);
  setWidget(view);
  setGeometry(parent->rect());
}

int ZoomArea::Scale() const {
  return view_->Scale();
}

void ZoomArea::SetScale(int scale, QPoint anchor) {
  const int old_scale = view_->Scale();
  const int new_scale = std::clamp(scale, 1, kMaxScale);
  if (new_scale == old_scale) return;
  view_->SetScale(new_scale);
  KeepPoint(*horizontalScrollBar(), anchor.x(), old_scale, new_scale);
  KeepPoint(*verticalScrollBar(), anchor.y(), old_scale, new_scale);
}

bool ZoomArea::ZoomKey(const QKeyEvent& event) {
  // Shift may be needed to type "+", and the keypad's keys count as the main block's.
  const Qt::KeyboardModifiers modifiers =
      event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  const bool ctrl = modifiers == Qt::ControlModifier;
  const int key = event.key();
  if (event.matches(QKeySequence::ZoomIn) ||
      (ctrl && (key == Qt::Key_Plus || key == Qt::Key_Equal))) {
    SetScale(Scale() + 1);
  } else if (event.matches(QKeySequence::ZoomOut) || (ctrl && key == Qt::Key_Minus)) {
    SetScale(Scale() - 1);
  } else if (ctrl && key == Qt::Key_0) {
    SetScale(1);
  } else {
    return false;
  }
  return true;
}

void ZoomArea::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    QScrollArea::wheelEvent(event);
    return;
  }
  wheel_rest_ += event->angleDelta().y();
  const int notches = wheel_rest_ / QWheelEvent::DefaultDeltasPerStep;
  wheel_rest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
  SetScale(Scale() + notches, event->position().toPoint());  // the point under the mouse
  event->accept();
}

}  // namespace pelgrin
