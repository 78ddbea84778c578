// Window sizes and positions as the program states them. Sizes are outer sizes, frame
// included: the client area is smaller by a standard frame of 8 x 27 pixels (borders of
// 4 and a title bar of 23). Positions are those of the frame's top-left corner.
#pragma once

#include <QSize>
#include <QWidget>

#include "shell/settings.h"

namespace pelgrin {

inline constexpr QSize kStandardFrame{8, 27};

// Gives form the client area of a window of outer size w x h; fixed unless resizable.
void SetDesignSize(QWidget& form, int outer_width, int outer_height, bool resizable = false);
// The outer size that SetDesignSize was given.
QSize DesignSize(const QWidget& form);

// Moves form to a saved position, kept on the available desktop: the window goes whole onto
// the screen that holds the position (or the nearest screen), or to that screen's left and
// top edges where it is larger than the screen.
void PlaceAt(QWidget& form, const WindowPosition& position);
WindowPosition PositionOf(const QWidget& form);

// Shows a modeless window, brings it to the front and gives it the focus.
void ShowInFront(QWidget& form);

}  // namespace pelgrin
