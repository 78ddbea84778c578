// A widget that shows a core Surface at 1:1, the picture of the program's image windows.
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
  // The picture as it stands (a copy).
  QImage Picture() const;

  // Repaints every view showing surface, at once.
  static void RepaintViewsOf(const Surface& surface);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Surface& surface_;
};

}  // namespace pelgrin
