#include "bitmap/bmp_form.h"

#include "shell/qt/app_context.h"
#include "shell/qt/form_geometry.h"
#include "shell/qt/surface_view.h"

namespace pelgrin {

TBmpForm::TBmpForm(AppContext& ctx) : QWidget(nullptr), BmpImage(nullptr), ctx_(ctx) {
  setObjectName("BmpForm");
  setWindowTitle("Bmp Image");
  setFixedSize(kBmpViewWidth, kBmpViewHeight);
  BmpImage = new SurfaceView(surface_, this);
  BmpImage->setObjectName("BmpImage");
  FormCreate();
}

void TBmpForm::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kBmpWindow]);
}

}  // namespace pelgrin
