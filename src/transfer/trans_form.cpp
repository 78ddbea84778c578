#include "transfer/trans_form.h"

#include "shell/qt/app_context.h"
#include "shell/qt/form_geometry.h"

namespace pelgrin {

TTransForm::TTransForm(AppContext& ctx) : QWidget(nullptr), ctx_(ctx) {
  setObjectName("TransForm");
  setWindowTitle("Shp Transfer");
  SetDesignSize(*this, 627, 413);
  FormCreate();
}

void TTransForm::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kTransWindow]);
}

}  // namespace pelgrin
