#include "ui/bmp_form.h"

#include "ui/app_context.h"
#include "ui/form_geometry.h"
#include "ui/surface_view.h"

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
