#include "ui/shp_form.h"

#include <QKeyEvent>

#include "ui/app_context.h"
#include "ui/form_geometry.h"
#include "ui/main_form.h"
#include "ui/surface_view.h"
#include "ui/zoom_area.h"

namespace pelgrin {

TShpForm::TShpForm(AppContext& ctx)
    : QWidget(nullptr), ShpImage(nullptr), ShpZoom(nullptr), ctx_(ctx) {
  setObjectName("ShpForm");
  setWindowTitle("Shp Image");
  SetDesignSize(*this, 818, 657);
  ShpImage = new SurfaceView(surface_, this);
  ShpImage->setObjectName("ShpImage");
  ShpZoom = new ZoomArea(ShpImage, this);
  FormCreate();
}

void TShpForm::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kShpWindow]);
}

void TShpForm::keyPressEvent(QKeyEvent* event) {
  if (ctx_.MainForm != nullptr && ctx_.MainForm->ImageKeyDown(*event, false)) return;
  if (!ShpZoom->ZoomKey(*event)) QWidget::keyPressEvent(event);
}

}  // namespace pelgrin
