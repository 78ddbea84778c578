// The header fix window: one image's header beside its magnified picture, two guides
// that mark Left and Top, and the eight fields written back into the file in place.
#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "headerfix/header_fix.h"
#include "headerfix/mag_view.h"
#include "shp/show.h"
#include "shp/surface.h"
#include "ui/up_down.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pelgrin {

struct AppContext;
class SurfaceView;

class TKVFix : public QWidget {
  Q_OBJECT

 public:
  explicit TKVFix(AppContext& ctx);

  // Each time the window becomes active: the main window's file name and image number.
  void FormActivate();
  void MagShowBtnClick();
  void XUpDownClick(UpDown::Direction direction);
  void YUpDownClick(UpDown::Direction direction);
  void WriteBtnClick();

  // Show, Write and the arrows: disabled while a drawing in any window lets events through.
  std::vector<QWidget*> WorkControls() const;

  Surface& MagSurface() { return mag_; }
  // The Old and New fields in the order of HeaderFieldIndex.
  std::array<QLineEdit*, kHeaderFieldCount> OldEdits() const;
  std::array<QLineEdit*, kHeaderFieldCount> NewEdits() const;

  SurfaceView* MagImage;
  QLineEdit* OldXSizeEdit;
  QLineEdit* OldYSizeEdit;
  QLineEdit* OldXOffsEdit;
  QLineEdit* OldYOffsEdit;
  QLineEdit* OldLeftEdit;
  QLineEdit* OldTopEdit;
  QLineEdit* OldRightEdit;
  QLineEdit* OldBottomEdit;
  QLineEdit* NewXSizeEdit;
  QLineEdit* NewYSizeEdit;
  QLineEdit* NewXOffsEdit;
  QLineEdit* NewYOffsEdit;
  QLineEdit* NewLeftEdit;
  QLineEdit* NewTopEdit;
  QLineEdit* NewRightEdit;
  QLineEdit* NewBottomEdit;
  QLineEdit* WidthEdit;
  QLineEdit* HeightEdit;
  UpDown* YUpDown;
  UpDown* XUpDown;
  QPushButton* MagShowBtn;
  QPushButton* WriteBtn;
  QLabel* NumberLbl;
  QLabel* NameLbl;

 protected:
  bool event(QEvent* event) override;

 private:
  void FormCreate();
  void CreateLabels();
  void CreateFields();
  void CreateControls();
  void ConnectControls();
  void ShowFields(const HeaderShowResult& shown);
  GuideFields ReadGuideFields(const QLineEdit* near_edit, const QLineEdit* far_edit) const;
  void StoreGuideFields(const GuideFields& fields, QLineEdit* near_edit, QLineEdit* far_edit);

  AppContext& ctx_;
  Surface mag_{kMagWidth, kMagHeight, kSilver};
};

}  // namespace pelgrin
