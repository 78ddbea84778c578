// The Shp Image window: the program's viewing window, one 810 x 630 image surface that
// Show, the collage and the palette view draw on, shown at 1:1 or enlarged.
#pragma once

#include <QWidget>

#include "shp/show.h"
#include "shp/surface.h"

namespace pelgrin {

struct AppContext;
class SurfaceView;
class ZoomArea;

class TShpForm : public QWidget {
  Q_OBJECT

 public:
  explicit TShpForm(AppContext& ctx);

  Surface& ShpSurface() { return surface_; }
  const Surface& ShpSurface() const { return surface_; }

  SurfaceView* ShpImage;
  ZoomArea* ShpZoom;

 protected:
  // The main window's image-stepping keys work here too, and the zoom keys.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();

  AppContext& ctx_;
  Surface surface_{kViewWidth, kViewHeight, PackRGB(255, 255, 255)};
};

}  // namespace pelgrin
