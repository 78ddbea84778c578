// A widget that shows a core Surface, the picture of the program's image windows: at 1:1, or
// enlarged a whole number of times with each pixel a sharp square.
#pragma once

#include <QWidget>

#include "shp/surface.h"

namespace pelgrin {

class SurfaceView : public QWidget {
  Q_OBJECT

 public:
  // Shows surface (which must outlive the view) at (x, y), at the surface's size.
  SurfaceView(const Surface& surface, QWidget* parent, int x = 0, int y = 0);

  const Surface& surface() const { return surface_; }
  // The picture as it stands (a copy), at 1:1 whatever the scale.
  QImage Picture() const;
  // Each surface pixel is shown as a scale x scale square; the widget is that much larger.
  int Scale() const { return scale_; }
  void SetScale(int scale);

  // Repaints every view showing surface, at once.
  static void RepaintViewsOf(const Surface& surface);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Surface& surface_;
  int scale_ = 1;
};

}  // namespace pelgrin
