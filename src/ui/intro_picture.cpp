#include "ui/intro_picture.h"

#include <QFile>
#include <QPainter>

#include "ui/intro_jpeg.h"

namespace pelgrin {
namespace {

constexpr const char* kIntroResource = ":/intro/intro.jpg";

}  // namespace

QImage LoadIntroImage() {
  QFile file(kIntroResource);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  const auto surface = DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size())));
  if (!surface) return {};
  const QImage wrapped(reinterpret_cast<const uchar*>(surface->Data()), surface->Width(),
                       surface->Height(), static_cast<qsizetype>(surface->Width()) * 4,
                       QImage::Format_RGBX8888);
  return wrapped.copy();
}

IntroPicture::IntroPicture(QImage image, QWidget* parent)
    : QWidget(parent), image_(std::move(image)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void IntroPicture::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), image_);
}

}  // namespace pelgrin
