// The Bmp Image window: shows the loaded bitmap on an 800 x 600 image surface, at 1:1 or
// enlarged.
#pragma once

#include <QWidget>

#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

struct AppContext;
class SurfaceView;
class ZoomArea;

inline constexpr int kBmpViewWidth = 800;
inline constexpr int kBmpViewHeight = 600;

class TBmpForm : public QWidget {
  Q_OBJECT

 public:
  explicit TBmpForm(AppContext& ctx);

  Surface& BmpSurface() { return surface_; }
  const Surface& BmpSurface() const { return surface_; }

  SurfaceView* BmpImage;
  ZoomArea* BmpZoom;

 protected:
  // The zoom keys.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormCreate();

  AppContext& ctx_;
  Surface surface_{kBmpViewWidth, kBmpViewHeight, PackRGB(255, 255, 255)};
};

}  // namespace pelgrin
