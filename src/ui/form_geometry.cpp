#include "ui/form_geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>

namespace pelgrin {
namespace {

// How far a point lies outside an area, in 64 bits: saved positions may be any 32-bit value.
std::int64_t DistanceOutside(const QRect& area, std::int64_t x, std::int64_t y) {
  const auto outside = [](std::int64_t v, std::int64_t low, std::int64_t high) {
    return v < low ? low - v : (v > high ? v - high : 0);
  };
  return outside(x, area.left(), area.right()) + outside(y, area.top(), area.bottom());
}

// The start of a window of the given extent inside [low, low + length): as asked where it
// fits, else moved in; a window longer than the area starts at its beginning.
int KeptInside(std::int64_t start, int extent, int low, int length) {
  const std::int64_t last_start = std::int64_t{low} + length - extent;
  return static_cast<int>(std::max<std::int64_t>(low, std::min(start, last_start)));
}

// The available area of the screen that holds the point, or of the screen nearest to it.
QRect AreaFor(std::int64_t x, std::int64_t y) {
  QRect best;
  std::int64_t best_distance = -1;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    const std::int64_t distance = DistanceOutside(area, x, y);
    if (best_distance < 0 || distance < best_distance) {
      best = area;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace

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
  const QRect area = AreaFor(position.Left, position.Top);
  if (area.isEmpty()) {
    form.move(position.Left, position.Top);
    return;
  }
  const QSize outer = DesignSize(form);
  form.move(KeptInside(position.Left, outer.width(), area.left(), area.width()),
            KeptInside(position.Top, outer.height(), area.top(), area.height()));
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
