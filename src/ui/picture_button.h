// A 41 x 41 picture button with a hint, as the main window's buttons are.
#pragma once

#include <QToolButton>

#include "ui/button_icons.h"

namespace pelgrin {

inline constexpr int kPictureButtonSize = 41;

class PictureButton : public QToolButton {
  Q_OBJECT

 public:
  // A button named name at (x, y) showing picture, with hint as its tool tip.
  PictureButton(QWidget* parent, const char* name, ButtonPicture picture, const char* hint, int x,
                int y);
};

}  // namespace pelgrin
