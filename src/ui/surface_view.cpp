#include "ui/surface_view.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

namespace pelgrin {
namespace {

// Wraps the surface's pixels without copying: bytes R, G, B, 255.
QImage Wrap(const Surface& surface) {
  return QImage(reinterpret_cast<const uchar*>(surface.Data()), surface.Width(), surface.Height(),
                static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGBX8888);
}

}  // namespace

SurfaceView::SurfaceView(const Surface& surface, QWidget* parent, int x, int y)
    : QWidget(parent), surface_(surface) {
  setGeometry(x, y, surface.Width(), surface.Height());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage SurfaceView::Picture() const {
  return Wrap(surface_).copy();
}

void SurfaceView::SetScale(int scale) {
  scale_ = scale;
  resize(surface_.Width() * scale, surface_.Height() * scale);
  update();
}

void SurfaceView::RepaintViewsOf(const Surface& surface) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    for (SurfaceView* view : window->findChildren<SurfaceView*>()) {
      if (&view->surface_ == &surface && view->isVisible()) view->repaint();
    }
  }
}

void SurfaceView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect area = event->rect();
  if (scale_ == 1) {
    painter.drawImage(area, Wrap(surface_), area);
    return;
  }
  // The surface pixels under the area, each drawn as a square: without smooth scaling the
  // painter takes the nearest pixel, so edges stay sharp.
  const QRect source(QPoint(area.left() / scale_, area.top() / scale_),
                     QPoint(area.right() / scale_, area.bottom() / scale_));
  const QRect target(source.topLeft() * scale_, source.size() * scale_);
  painter.drawImage(target, Wrap(surface_), source);
}

}  // namespace pelgrin
