#include "ui/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "io/text.h"

namespace pelgrin {
namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

UpDown::UpDown(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent),
      orientation_(orientation),
      raise_(ArrowButton(orientation == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow, this)),
      lower_(ArrowButton(orientation == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow, this)) {
  connect(raise_, &QToolButton::clicked, this, [this] { Click(Direction::kRaised); });
  connect(lower_, &QToolButton::clicked, this, [this] { Click(Direction::kLowered); });
}

void UpDown::SetAssociate(QLineEdit* edit) {
  associate_ = edit;
  Show();
}

void UpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
}

int UpDown::Position() const {
  if (associate_ == nullptr) return position_;
  try {
    return StrToInt(associate_->text().toStdString());
  } catch (const ConversionError&) {
    return position_;
  }
}

void UpDown::SetPosition(int position) {
  position_ = Clamped(position);
  Show();
}

void UpDown::Click(Direction direction) {
  const int towards_max = min_ <= max_ ? 1 : -1;
  const int step = direction == Direction::kRaised ? towards_max : -towards_max;
  SetPosition(Clamped(Position()) + step);
  if (on_click_) on_click_(direction);
}

int UpDown::Clamped(int position) const {
  return std::clamp(position, std::min(min_, max_), std::max(min_, max_));
}

void UpDown::Show() {
  if (associate_ != nullptr) associate_->setText(QString::number(position_));
}

void UpDown::resizeEvent(QResizeEvent*) {
  if (orientation_ == Qt::Vertical) {
    const int half = height() / 2;
    raise_->setGeometry(0, 0, width(), half);
    lower_->setGeometry(0, half, width(), height() - half);
  } else {
    const int half = width() / 2;
    lower_->setGeometry(0, 0, half, height());
    raise_->setGeometry(half, 0, width() - half, height());
  }
}

}  // namespace pelgrin
