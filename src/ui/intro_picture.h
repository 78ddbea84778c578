// The intro picture: a JPEG shown stretched over the widget. It lets mouse clicks pass
// through to what lies under it.
#pragma once

#include <QImage>
#include <QWidget>

namespace pelgrin {

// The intro JPEG compiled into the program, decoded with the IJG library (a null image
// when it cannot be read).
QImage LoadIntroImage();

class IntroPicture : public QWidget {
  Q_OBJECT

 public:
  IntroPicture(QImage image, QWidget* parent);
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
};

}  // namespace pelgrin
