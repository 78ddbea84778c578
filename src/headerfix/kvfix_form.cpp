#include "headerfix/kvfix_form.h"

#include "shell/qt/app_context.h"
#include "shell/qt/form_geometry.h"

namespace pelgrin {

TKVFix::TKVFix(AppContext& ctx) : QWidget(nullptr), ctx_(ctx) {
  setObjectName("KVFix");
  setWindowTitle("Fix KV Header ");
  SetDesignSize(*this, 541, 486);
  FormCreate();
}

void TKVFix::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kKVFixWindow]);
}

}  // namespace pelgrin
