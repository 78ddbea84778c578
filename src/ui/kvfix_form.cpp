#include "ui/kvfix_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "io/text.h"
#include "shp/messages.h"
#include "ui/app_context.h"
#include "ui/drawing_guard.h"
#include "ui/form_geometry.h"
#include "ui/guarded.h"
#include "ui/main_form.h"
#include "ui/surface_view.h"

namespace pelgrin {
namespace {

constexpr int kFieldWidth = 39;
constexpr int kFieldHeight = 24;
constexpr int kOldLeft = 426;
constexpr int kNewLeft = 477;
constexpr int kFirstFieldTop = 27;
constexpr int kFieldPitch = 32;
// The row captions stand between these lefts, right-aligned with one another: the widest
// at the first, none right of the last.
constexpr int kCaptionLeftMost = 374;
constexpr int kCaptionLeftLeast = 394;
constexpr int kFirstCaptionTop = 34;
constexpr int kGuideRange = 1000;

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QLineEdit* MakeField(QWidget* parent, const QString& name, int x, int y, bool read_only) {
  auto* edit = new QLineEdit("0", parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, kFieldWidth, kFieldHeight);
  edit->setReadOnly(read_only);
  return edit;
}

UpDown* MakeUpDown(QWidget* parent, const char* name, Qt::Orientation orientation,
                   const QRect& place) {
  auto* updown = new UpDown(orientation, parent);
  updown->setObjectName(name);
  updown->setGeometry(place);
  updown->SetRange(-kGuideRange, kGuideRange);
  updown->SetPosition(0);
  return updown;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int x) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(x, 392, 97, 30);
  return button;
}

// Field names as the window's controls are called: "XSize" for "X Size".
QString FieldName(std::size_t k) {
  return ToQt(kHeaderFieldCaptions[k]).remove(' ');
}

std::int64_t FieldValue(const QLineEdit* edit) {
  return StrToInt(edit->text().toStdString());
}

}  // namespace

TKVFix::TKVFix(AppContext& ctx) : QWidget(nullptr), ctx_(ctx) {
  setObjectName("KVFix");
  setWindowTitle("Fix KV Header ");
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  SetDesignSize(*this, 541, 486);
  MagImage = new SurfaceView(mag_, this, 6, 8);
  MagImage->setObjectName("MagImage");
  CreateLabels();
  CreateFields();
  CreateControls();
  ConnectControls();
  FormCreate();
}

void TKVFix::CreateLabels() {
  MakeLabel(this, "Label9", "Old", 432, 8);
  MakeLabel(this, "Label10", "New", 483, 8);
  std::array<QLabel*, kHeaderFieldCount> captions{};
  int widest = 0;
  for (std::size_t k = 0; k < kHeaderFieldCount; ++k) {
    const int top = kFirstCaptionTop + kFieldPitch * static_cast<int>(k);
    captions[k] = MakeLabel(this, QString("Label%1").arg(k + 1), ToQt(kHeaderFieldCaptions[k]),
                            kCaptionLeftMost, top);
    widest = std::max(widest, captions[k]->width());
  }
  const int right = kCaptionLeftMost + widest;
  for (QLabel* caption : captions)
    caption->move(std::min(right - caption->width(), kCaptionLeftLeast), caption->y());
  MakeLabel(this, "Label11", "Width", 384, 304);
  MakeLabel(this, "Label12", "Height", 448, 304);
}

void TKVFix::CreateFields() {
  std::array<QLineEdit*, kHeaderFieldCount> old_edits{};
  std::array<QLineEdit*, kHeaderFieldCount> new_edits{};
  for (std::size_t k = 0; k < kHeaderFieldCount; ++k) {
    const int top = kFirstFieldTop + kFieldPitch * static_cast<int>(k);
    old_edits[k] = MakeField(this, "Old" + FieldName(k) + "Edit", kOldLeft, top, true);
    new_edits[k] = MakeField(this, "New" + FieldName(k) + "Edit", kNewLeft, top, false);
  }
  OldXSizeEdit = old_edits[kXSize];
  OldYSizeEdit = old_edits[kYSize];
  OldXOffsEdit = old_edits[kXOffs];
  OldYOffsEdit = old_edits[kYOffs];
  OldLeftEdit = old_edits[kLeft];
  OldTopEdit = old_edits[kTop];
  OldRightEdit = old_edits[kRight];
  OldBottomEdit = old_edits[kBottom];
  NewXSizeEdit = new_edits[kXSize];
  NewYSizeEdit = new_edits[kYSize];
  NewXOffsEdit = new_edits[kXOffs];
  NewYOffsEdit = new_edits[kYOffs];
  NewLeftEdit = new_edits[kLeft];
  NewTopEdit = new_edits[kTop];
  NewRightEdit = new_edits[kRight];
  NewBottomEdit = new_edits[kBottom];
  WidthEdit = MakeField(this, "WidthEdit", 387, 323, true);
  HeightEdit = MakeField(this, "HeightEdit", 453, 323, true);
}

void TKVFix::CreateControls() {
  YUpDown = MakeUpDown(this, "YUpDown", Qt::Vertical, QRect(344, 24, 18, 233));
  XUpDown = MakeUpDown(this, "XUpDown", Qt::Horizontal, QRect(16, 360, 233, 18));
  MagShowBtn = MakeButton(this, "MagShowBtn", "Show", 24);
  WriteBtn = MakeButton(this, "WriteBtn", "Write", 144);
  NumberLbl = MakeLabel(this, "NumberLbl", "1", 16, 435);
  QFont bold = NumberLbl->font();
  bold.setBold(true);
  NumberLbl->setFont(bold);
  NumberLbl->adjustSize();
  NameLbl = MakeLabel(this, "NameLbl", "???", 56, 432);
}

void TKVFix::ConnectControls() {
  Dialogs& d = ctx_.dialogs;
  ConnectClick(MagShowBtn, d, [this] { MagShowBtnClick(); });
  ConnectClick(WriteBtn, d, [this] { WriteBtnClick(); });
  XUpDown->SetClickHandler(
      [this](UpDown::Direction dir) { RunGuarded(ctx_.dialogs, [&] { XUpDownClick(dir); }); });
  YUpDown->SetClickHandler(
      [this](UpDown::Direction dir) { RunGuarded(ctx_.dialogs, [&] { YUpDownClick(dir); }); });
}

void TKVFix::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kKVFixWindow]);
}

std::array<QLineEdit*, kHeaderFieldCount> TKVFix::OldEdits() const {
  return {OldXSizeEdit, OldYSizeEdit, OldXOffsEdit, OldYOffsEdit,
          OldLeftEdit,  OldTopEdit,   OldRightEdit, OldBottomEdit};
}

std::array<QLineEdit*, kHeaderFieldCount> TKVFix::NewEdits() const {
  return {NewXSizeEdit, NewYSizeEdit, NewXOffsEdit, NewYOffsEdit,
          NewLeftEdit,  NewTopEdit,   NewRightEdit, NewBottomEdit};
}

std::vector<QWidget*> TKVFix::WorkControls() const {
  return {MagShowBtn, WriteBtn, XUpDown, YUpDown};
}

bool TKVFix::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) RunGuarded(ctx_.dialogs, [this] { FormActivate(); });
  return QWidget::event(event);
}

void TKVFix::FormActivate() {
  const TMainForm& main = *ctx_.MainForm;
  NameLbl->setText(main.EditLbl->text());
  NameLbl->adjustSize();
  NumberLbl->setText("#" + main.ImageEdit->text());
  NumberLbl->adjustSize();
}

void TKVFix::MagShowBtnClick() {
  if (ctx_.Busy) return;
  TMainForm& main = *ctx_.MainForm;
  HeaderShowResult shown;
  {
    DrawingGuard guard(ctx_);
    shown = HeaderFixShow(ctx_.ws, main.ImageUpDown->Position(), main.FullPalCB->isChecked(), mag_,
                          main);
  }
  if (shown.status == HeaderShowStatus::kShown) ShowFields(shown);
}

void TKVFix::ShowFields(const HeaderShowResult& shown) {
  const auto old_edits = OldEdits();
  const auto new_edits = NewEdits();
  for (std::size_t k = 0; k < kHeaderFieldCount; ++k) {
    old_edits[k]->setText(QString::number(shown.old_fields[k]));
    new_edits[k]->setText(QString::number(shown.new_fields[k]));
  }
  YUpDown->SetPosition(shown.y_position);
  XUpDown->SetPosition(shown.x_position);
  HeightEdit->setText(QString::number(shown.height));
  WidthEdit->setText(QString::number(shown.width));
}

GuideFields TKVFix::ReadGuideFields(const QLineEdit* near_edit, const QLineEdit* far_edit) const {
  return {FieldValue(near_edit), FieldValue(far_edit)};  // braces: converted in this order
}

void TKVFix::StoreGuideFields(const GuideFields& fields, QLineEdit* near_edit,
                              QLineEdit* far_edit) {
  near_edit->setText(QString::number(fields.near_edge));
  far_edit->setText(QString::number(fields.far_edge));
  SurfaceView::RepaintViewsOf(mag_);
}

void TKVFix::XUpDownClick(UpDown::Direction direction) {
  if (ctx_.Busy) return;  // the picture is being drawn
  const GuideFields left_right = ReadGuideFields(NewLeftEdit, NewRightEdit);
  StoreGuideFields(ColumnUpDownClick(mag_, left_right, direction == UpDown::Direction::kRaised),
                   NewLeftEdit, NewRightEdit);
}

void TKVFix::YUpDownClick(UpDown::Direction direction) {
  if (ctx_.Busy) return;
  const GuideFields top_bottom = ReadGuideFields(NewTopEdit, NewBottomEdit);
  StoreGuideFields(RowUpDownClick(mag_, top_bottom, direction == UpDown::Direction::kRaised),
                   NewTopEdit, NewBottomEdit);
}

void TKVFix::WriteBtnClick() {
  if (ctx_.Busy) return;
  TMainForm& main = *ctx_.MainForm;
  const std::int32_t number = StrToInt(main.ImageEdit->text().toStdString());
  HeaderFields fields{};
  const auto new_edits = NewEdits();
  // Converted in screen order: the first field that is not a number stops the write.
  for (std::size_t k = 0; k < kHeaderFieldCount; ++k)
    fields[k] = FieldValue(new_edits[k]);
  FileLock lock;
  if (!LockArchive(lock, ctx_.ws.ShpPath, /*wait=*/false, main)) return;
  WriteImageHeader(ctx_.ws, number, fields, main);
}

}  // namespace pelgrin
