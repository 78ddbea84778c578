// The pictures of the main window's buttons, drawn at run time. Each button has a
// coloured picture and a flat grey one for its disabled state.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace pelgrin {

enum class ButtonPicture {
  kLoadShp,
  kShow,
  kWriteBmp,
  kLoadBmp,
  kConvert,
  kReplace,
  kAdd,
  kTransfer,
  kCancel,
  kLoadPal,
  kViewPal,
  kCollage,
  kSaveCollage,
  kHelp,
  kAbout,
  kHeaderFix,
};

inline constexpr int kButtonPictureSize = 32;

QPixmap DrawButtonPicture(ButtonPicture picture, bool disabled);
// Both pictures: the normal one and the disabled one.
QIcon ButtonIcon(ButtonPicture picture);

// The program's own icon (an archive of tiles over a palette), size x size pixels. Drawn
// on a QImage, so a tool without a window system can save it.
QImage DrawAppIcon(int size);

}  // namespace pelgrin
