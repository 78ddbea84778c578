#include "ui/bmp_form.h"

#include <QKeyEvent>

#include "ui/app_context.h"
#include "ui/form_geometry.h"
#include "ui/surface_view.h"
#include "ui/zoom_area.h"

namespace pelgrin {

TBmpForm::TBmpForm(AppContext& ctx)
    : QWidget(nullptr), BmpImage(nullptr), BmpZoom(nullptr), ctx_(ctx) {
  setObjectName("BmpForm");
  setWindowTitle("Bmp Image");
  setFixedSize(kBmpViewWidth, kBmpViewHeight);
  BmpImage = new SurfaceView(surface_, this);
  BmpImage->setObjectName("BmpImage");
  BmpZoom = new ZoomArea(BmpImage, this);
  FormCreate();
}

void TBmpForm::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kBmpWindow]);
}

void TBmpForm::keyPressEvent(QKeyEvent* event) {
  if (!BmpZoom->ZoomKey(*event)) QWidget::keyPressEvent(event);
}

}  // namespace pelgrin
