// An up-down control: two arrow buttons that step a position within a range, without
// wrapping round, and show it in a bound edit field. Vertical (up above down) or
// horizontal (left lowers, right raises).
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace pelgrin {

class UpDown : public QWidget {
  Q_OBJECT

 public:
  enum class Direction { kRaised, kLowered };
  using ClickHandler = std::function<void(Direction)>;

  UpDown(Qt::Orientation orientation, QWidget* parent);

  // The edit that shows the position; its text is read back as the position.
  void SetAssociate(QLineEdit* edit);
  void SetRange(int min, int max);
  int Min() const { return min_; }
  int Max() const { return max_; }
  // The edit's number when it holds one, else the last position set or stepped to.
  int Position() const;
  void SetPosition(int position);
  // Called after each arrow click, with the direction of the click.
  void SetClickHandler(ClickHandler handler) { on_click_ = std::move(handler); }

  // One click on the raising or lowering arrow.
  void Click(Direction direction);

  QToolButton* RaiseButton() const { return raise_; }
  QToolButton* LowerButton() const { return lower_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  int Clamped(int position) const;
  void Show();

  Qt::Orientation orientation_;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  QLineEdit* associate_ = nullptr;
  QToolButton* raise_;
  QToolButton* lower_;
  ClickHandler on_click_;
};

}  // namespace pelgrin
