#include "ui/button_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace pelgrin {
namespace {

// The colours a picture is drawn with; the disabled set maps them all to greys.
struct Ink {
  bool grey = false;
  QColor Of(QColor c) const {
    if (!grey) return c;
    const int v = 110 + qGray(c.rgb()) / 3;
    return QColor(v, v, v);
  }
  QColor Line() const { return grey ? QColor(128, 128, 128) : QColor(40, 40, 40); }
};

const QColor kFolder(240, 196, 64);
const QColor kPaper(250, 250, 245);
const QColor kBlue(40, 90, 200);
const QColor kRed(210, 40, 40);
const QColor kGreen(40, 160, 60);

void Outline(QPainter& p, const Ink& ink, QColor fill) {
  p.setPen(QPen(ink.Line(), 1));
  p.setBrush(ink.Of(fill));
}

void Folder(QPainter& p, const Ink& ink) {
  Outline(p, ink, kFolder.darker(115));
  p.drawRect(2, 9, 22, 17);
  p.drawRect(2, 6, 9, 3);
  Outline(p, ink, kFolder);
  p.drawPolygon(QPolygonF({{2, 26}, {6, 13}, {28, 13}, {24, 26}}));
}

// A small image archive: three tiles in the file's colours.
void Tiles(QPainter& p, const Ink& ink, int x, int y, int size) {
  const QColor colors[] = {kRed, kGreen, kBlue, kFolder};
  for (int i = 0; i < 4; ++i) {
    Outline(p, ink, colors[i]);
    p.drawRect(x + (i % 2) * (size + 1), y + (i / 2) * (size + 1), size, size);
  }
}

void Landscape(QPainter& p, const Ink& ink, int x, int y, int w, int h) {
  Outline(p, ink, QColor(150, 200, 250));
  p.drawRect(x, y, w, h);
  p.setPen(Qt::NoPen);
  p.setBrush(ink.Of(kGreen));
  p.drawPolygon(QPolygonF({{double(x + 1), double(y + h)},
                           {x + w * 0.4, y + h * 0.4},
                           {x + w * 0.7, y + h * 0.7},
                           {double(x + w), y + h * 0.5},
                           {double(x + w), double(y + h)}}));
  p.setBrush(ink.Of(QColor(250, 220, 60)));
  p.drawEllipse(QPointF(x + w * 0.75, y + h * 0.3), 2, 2);
}

void Disk(QPainter& p, const Ink& ink) {
  Outline(p, ink, kBlue);
  p.drawRect(3, 3, 26, 26);
  Outline(p, ink, kPaper);
  p.drawRect(8, 3, 16, 10);
  Outline(p, ink, QColor(200, 200, 200));
  p.drawRect(9, 20, 14, 9);
}

void Arrow(QPainter& p, const Ink& ink, QPointF from, QPointF to, QColor color) {
  p.setPen(QPen(ink.Of(color), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  const QPointF n(-d.y(), d.x());
  p.setPen(Qt::NoPen);
  p.setBrush(ink.Of(color));
  p.drawPolygon(QPolygonF({to + d * 4, to - d * 3 + n * 5, to - d * 3 - n * 5}));
}

void Card(QPainter& p, const Ink& ink, int x, int y, int w, int h) {
  Outline(p, ink, kPaper);
  p.drawRect(x, y, w, h);
}

void Badge(QPainter& p, const Ink& ink, QColor color, const QString& text) {
  Outline(p, ink, color);
  p.drawEllipse(3, 3, 26, 26);
  QFont font = p.font();
  font.setPixelSize(20);
  font.setBold(true);
  p.setFont(font);
  p.setPen(ink.grey ? QColor(235, 235, 235) : Qt::white);
  p.drawText(QRect(3, 3, 26, 26), Qt::AlignCenter, text);
}

void Eye(QPainter& p, const Ink& ink) {
  QPainterPath almond;
  almond.moveTo(2, 16);
  almond.quadTo(16, 2, 30, 16);
  almond.quadTo(16, 30, 2, 16);
  Outline(p, ink, kPaper);
  p.drawPath(almond);
  Outline(p, ink, kBlue);
  p.drawEllipse(QPointF(16, 16), 6, 6);
  p.setBrush(ink.Line());
  p.drawEllipse(QPointF(16, 16), 2.5, 2.5);
}

void Stop(QPainter& p, const Ink& ink) {
  QPolygonF octagon;
  for (int i = 0; i < 8; ++i) {
    const double a = (22.5 + 45 * i) * 3.14159265 / 180;
    octagon << QPointF(16 + 13 * std::cos(a), 16 + 13 * std::sin(a));
  }
  Outline(p, ink, kRed);
  p.drawPolygon(octagon);
  p.setPen(Qt::NoPen);
  p.setBrush(ink.grey ? QColor(235, 235, 235) : Qt::white);
  p.drawRect(8, 14, 16, 4);
}

void PaletteGrid(QPainter& p, const Ink& ink, int x, int y, int cell) {
  for (int i = 0; i < 16; ++i) {
    Outline(p, ink, QColor::fromHsv(i * 22, 200, 230));
    p.drawRect(x + (i % 4) * cell, y + (i / 4) * cell, cell, cell);
  }
}

void Collage(QPainter& p, const Ink& ink) {
  Outline(p, ink, QColor(0, 255, 255));
  p.drawRect(2, 4, 28, 24);
  const QRect cells[] = {
      {4, 6, 8, 10}, {13, 6, 6, 6}, {20, 6, 8, 12}, {4, 18, 10, 8}, {15, 19, 6, 7}};
  const QColor colors[] = {kRed, kGreen, kBlue, kFolder, kRed};
  for (int i = 0; i < 5; ++i) {
    Outline(p, ink, colors[i]);
    p.drawRect(cells[i]);
  }
}

void Wrench(QPainter& p, const Ink& ink) {
  Card(p, ink, 3, 3, 20, 24);
  p.setPen(QPen(ink.Of(kBlue), 1));
  for (int y = 8; y <= 22; y += 4)
    p.drawLine(6, y, 20, y);
  p.setPen(QPen(ink.Of(QColor(120, 120, 130)), 5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(14, 28, 26, 14);
  Outline(p, ink, QColor(120, 120, 130));
  p.drawEllipse(QPointF(26, 12), 5, 5);
  p.setBrush(ink.Of(kPaper));
  p.drawRect(25, 6, 3, 5);
}

void Draw(QPainter& p, ButtonPicture picture, const Ink& ink) {
  switch (picture) {
    case ButtonPicture::kLoadShp:
      Folder(p, ink);
      Tiles(p, ink, 12, 15, 5);
      break;
    case ButtonPicture::kShow:
      Eye(p, ink);
      break;
    case ButtonPicture::kWriteBmp:
      Disk(p, ink);
      Landscape(p, ink, 9, 4, 14, 8);
      break;
    case ButtonPicture::kLoadBmp:
      Folder(p, ink);
      Landscape(p, ink, 11, 15, 12, 8);
      break;
    case ButtonPicture::kConvert:
      Landscape(p, ink, 1, 3, 13, 11);
      Arrow(p, ink, {8, 18}, {17, 25}, kBlue);
      Tiles(p, ink, 19, 17, 5);
      break;
    case ButtonPicture::kReplace:
      Tiles(p, ink, 4, 17, 6);
      Arrow(p, ink, {24, 2}, {24, 17}, kRed);
      break;
    case ButtonPicture::kAdd:
      Tiles(p, ink, 2, 10, 6);
      Outline(p, ink, kGreen);
      p.drawRect(23, 12, 4, 12);
      p.drawRect(19, 16, 12, 4);
      break;
    case ButtonPicture::kTransfer:
      Card(p, ink, 2, 3, 11, 15);
      Card(p, ink, 19, 14, 11, 15);
      Arrow(p, ink, {9, 24}, {18, 24}, kGreen);
      Arrow(p, ink, {23, 8}, {14, 8}, kBlue);
      break;
    case ButtonPicture::kCancel:
      Stop(p, ink);
      break;
    case ButtonPicture::kLoadPal:
      Folder(p, ink);
      PaletteGrid(p, ink, 12, 15, 3);
      break;
    case ButtonPicture::kViewPal:
      PaletteGrid(p, ink, 4, 4, 6);
      break;
    case ButtonPicture::kCollage:
      Collage(p, ink);
      break;
    case ButtonPicture::kSaveCollage:
      Disk(p, ink);
      Tiles(p, ink, 11, 4, 3);
      break;
    case ButtonPicture::kHelp:
      Badge(p, ink, kBlue, "?");
      break;
    case ButtonPicture::kAbout:
      Badge(p, ink, kGreen, "i");
      break;
    case ButtonPicture::kHeaderFix:
      Wrench(p, ink);
      break;
  }
}

}  // namespace

QPixmap DrawButtonPicture(ButtonPicture picture, bool disabled) {
  QPixmap pixmap(kButtonPictureSize, kButtonPictureSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  Draw(p, picture, Ink{disabled});
  return pixmap;
}

QImage DrawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / double(kButtonPictureSize), size / double(kButtonPictureSize));
  const Ink ink;
  PaletteGrid(p, ink, 1, 1, 5);
  Folder(p, ink);
  Tiles(p, ink, 12, 15, 6);
  return image;
}

QIcon ButtonIcon(ButtonPicture picture) {
  QIcon icon;
  icon.addPixmap(DrawButtonPicture(picture, false), QIcon::Normal);
  icon.addPixmap(DrawButtonPicture(picture, true), QIcon::Disabled);
  return icon;
}

}  // namespace pelgrin
