#include "ui/form_geometry.h"

namespace pelgrin {

void SetDesignSize(QWidget& form, int outer_width, int outer_height, bool resizable) {
  const QSize client = QSize(outer_width, outer_height) - kStandardFrame;
  if (resizable) {
    form.resize(client);
  } else {
    form.setFixedSize(client);
  }
}

QSize DesignSize(const QWidget& form) {
  return form.size() + kStandardFrame;
}

void PlaceAt(QWidget& form, const WindowPosition& position) {
  form.move(position.Left, position.Top);
}

WindowPosition PositionOf(const QWidget& form) {
  return {form.x(), form.y()};
}

void ShowInFront(QWidget& form) {
  form.show();
  form.raise();
  form.activateWindow();
}

}  // namespace pelgrin
