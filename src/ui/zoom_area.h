// The scrolling frame of an image window's picture: shows its SurfaceView at 1:1 up to 8:1,
// one step a wheel notch with Ctrl held or a zoom key, with scroll bars once the picture
// outgrows the window. Only the screen changes: the surface stays the 1:1 picture.
#pragma once

#include <QScrollArea>

class QKeyEvent;

namespace pelgrin {

class SurfaceView;

class ZoomArea : public QScrollArea {
  Q_OBJECT

 public:
  static constexpr int kMaxScale = 8;

  // Takes view as the area's picture; fills parent's client area.
  ZoomArea(SurfaceView* view, QWidget* parent);

  int Scale() const;
  // Clamped to 1..kMaxScale. The picture point at `anchor` (viewport pixels) stays there:
  // the top-left corner for the keys, since the picture is drawn from the view's top-left
  // corner, and the point under the mouse for the wheel.
  void SetScale(int scale, QPoint anchor = QPoint(0, 0));
  // Ctrl++ and Ctrl+= (and the platform's zoom-in keys) one step up, Ctrl+- (and the
  // platform's zoom-out keys) one step down, Ctrl+0 back to 1:1. True when the key was one.
  bool ZoomKey(const QKeyEvent& event);

 protected:
  void wheelEvent(QWheelEvent* event) override;

 private:
  SurfaceView* view_;
  int wheel_rest_ = 0;  // the part of a notch a fine-grained wheel has turned so far
};

}  // namespace pelgrin
