#include "ui/picture_button.h"

namespace pelgrin {

PictureButton::PictureButton(QWidget* parent, const char* name, ButtonPicture picture,
                             const char* hint, int x, int y)
    : QToolButton(parent) {
  setObjectName(name);
  setGeometry(x, y, kPictureButtonSize, kPictureButtonSize);
  setIcon(ButtonIcon(picture));
  setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
  setToolTip(hint);
  setFocusPolicy(Qt::TabFocus);
}

}  // namespace pelgrin
