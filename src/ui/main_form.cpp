#include "ui/main_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

#include "io/paths.h"
#include "shell/about.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shp/messages.h"
#include "ui/app_context.h"
#include "ui/bmp_form.h"
#include "ui/form_geometry.h"
#include "ui/guarded.h"
#include "ui/help_form.h"
#include "ui/intro_picture.h"
#include "ui/kvfix_form.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/surface_view.h"
#include "ui/trans_form.h"
#include "ui/up_down.h"

namespace pelgrin {
namespace {

// The program's name and the group that modified it; the About box gives the credits.
constexpr const char* kMainCaption = "Pelgrin - Quillmark";
constexpr int kIntroEndTick = 3;

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont ArialFont(int pixel_size) {
  QFont font("Arial");
  font.setPixelSize(pixel_size);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(x, y);
  label->adjustSize();
  return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* text, int x, int y,
                        int width) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setGeometry(x, y, width, 17);
  return box;
}

}  // namespace

TMainForm::TMainForm(AppContext& ctx, const CommandLine& command_line)
    : QWidget(nullptr), ctx_(ctx) {
  setObjectName("MainForm");
  setWindowTitle(kMainCaption);
  setFont(ArialFont(12));
  setAcceptDrops(true);
  SetDesignSize(*this, 403, 320);
  move(341, 132);
  CreateButtons();
  CreateFields();
  ConnectButtons();
  FormCreate(command_line);
}

void TMainForm::CreateButtons() {
  using P = ButtonPicture;
  LoadShpBtn = new PictureButton(this, "LoadShpBtn", P::kLoadShp, "Load SHP file", 8, 24);
  ShowBtn = new PictureButton(this, "ShowBtn", P::kShow, "Show Image #", 56, 24);
  WriteBmpBtn =
      new PictureButton(this, "WriteBmpBtn", P::kWriteBmp, "Save SHP image as BMP", 104, 24);
  LoadBmpBtn = new PictureButton(this, "LoadBmpBtn", P::kLoadBmp, "Load BMP from disk", 152, 24);
  CvtBmpBtn = new PictureButton(this, "CvtBmpBtn", P::kConvert, "Convert BMP to SHP", 200, 24);
  InsertBtn = new PictureButton(this, "InsertBtn", P::kReplace,
                                "Replace Image # with new SHP image", 248, 24);
  AddBtn = new PictureButton(this, "AddBtn", P::kAdd, "Add image to end of SHP file", 296, 24);
  TransBtn = new PictureButton(this, "TransBtn", P::kTransfer, "Transfer SHP's", 344, 24);
  CancelBtn = new PictureButton(this, "CancelBtn", P::kCancel, "Stop Process", 344, 72);
  LoadPalBtn = new PictureButton(this, "LoadPalBtn", P::kLoadPal, "Load a color palette", 8, 176);
  ViewPalBtn =
      new PictureButton(this, "ViewPalBtn", P::kViewPal, "Display current palette", 56, 176);
  CollageBtn = new PictureButton(this, "CollageBtn", P::kCollage, "View collage", 104, 176);
  SaveCollageBtn =
      new PictureButton(this, "SaveCollageBtn", P::kSaveCollage, "Save SHP collage as bmp", 8, 224);
  HelpBtn = new PictureButton(this, "HelpBtn", P::kHelp, "Help !", 56, 224);
  AboutBtn = new PictureButton(this, "AboutBtn", P::kAbout, "About KV Pelgrin", 104, 224);
  KVFixBtn = new PictureButton(this, "KVFixBtn", P::kHeaderFix, "Fix Header for Korvane", 344, 224);
}

void TMainForm::CreateFields() {
  EditLbl = MakeLabel(this, "EditLbl", "Editing: ?", 8, 0);
  QPalette navy = EditLbl->palette();
  navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
  EditLbl->setPalette(navy);
  Label1 = MakeLabel(this, "Label1", "Image #", 8, 74);
  ImageEdit = new QLineEdit("1", this);
  ImageEdit->setObjectName("ImageEdit");
  ImageEdit->setGeometry(72, 70, 49, 28);
  ImageUpDown = new UpDown(Qt::Vertical, this);
  ImageUpDown->setObjectName("ImageUpDown");
  ImageUpDown->setGeometry(121, 70, 15, 28);
  ImageUpDown->SetRange(1, 3000);
  ImageUpDown->SetAssociate(ImageEdit);
  ImageUpDown->SetPosition(1);
  HeaderCB = MakeCheckBox(this, "HeaderCB", "Use Old Header", 16, 104, 137);
  KVNoFlashCB = MakeCheckBox(this, "KVNoFlashCB", "KV-No Flash", 16, 128, 121);
  FullPalCB = MakeCheckBox(this, "FullPalCB", "Use Full Pal", 16, 152, 121);
  MessageMemo = new QPlainTextEdit(this);
  MessageMemo->setObjectName("MessageMemo");
  MessageMemo->setGeometry(168, 72, 169, 193);
  MessageMemo->setReadOnly(true);
  MessageMemo->setFont(ArialFont(13));
  MessageMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MessageMemo->setPlainText("Welcome to Pelgrin\nthe shp file editor\n \n ");
  PaletteLbl = new QLabel("The Quillmark Palette is loaded at start up ", this);
  PaletteLbl->setObjectName("PaletteLbl");
  PaletteLbl->setGeometry(19, 274, 345, 18);
  IntroImage = new IntroPicture(LoadIntroImage(), this);
  IntroImage->setObjectName("IntroImage");
  IntroImage->setGeometry(rect());
  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
}

void TMainForm::ConnectButtons() {
  Dialogs& d = ctx_.dialogs;
  ConnectClick(LoadShpBtn, d, [this] { LoadShpBtnClick(); });
  ConnectClick(ShowBtn, d, [this] { ShowBtnClick(); });
  ConnectClick(WriteBmpBtn, d, [this] { WriteBmpBtnClick(); });
  ConnectClick(LoadBmpBtn, d, [this] { LoadBmpBtnClick(); });
  ConnectClick(CvtBmpBtn, d, [this] { CvtBmpBtnClick(); });
  ConnectClick(InsertBtn, d, [this] { InsertBtnClick(); });
  ConnectClick(AddBtn, d, [this] { AddBtnClick(); });
  ConnectClick(LoadPalBtn, d, [this] { LoadPalBtnClick(); });
  ConnectClick(CancelBtn, d, [this] { CancelBtnClick(); });
  ConnectClick(SaveCollageBtn, d, [this] { SaveImageBtnClick(); });
  ConnectClick(CollageBtn, d, [this] { CollageBtnClick(); });
  ConnectClick(ViewPalBtn, d, [this] { ShowPaletteBtnClick(); });
  ConnectClick(HelpBtn, d, [this] { HelpBtnClick(); });
  ConnectClick(AboutBtn, d, [this] { AboutBtnClick(); });
  ConnectClick(KVFixBtn, d, [this] { KVFixBtnClick(); });
  ConnectClick(TransBtn, d, [this] { TransBtnClick(); });
  connect(Timer1, &QTimer::timeout, this,
          [this] { RunGuarded(ctx_.dialogs, [this] { Timer1Timer(); }); });
}

void TMainForm::FormCreate(const CommandLine& command_line) {
  // Key preview: F1 reaches the window whatever control has the focus.
  for (QWidget* child : findChildren<QWidget*>())
    child->installEventFilter(this);
  SetProgramDir(ctx_.ws, ProgramDirectoryFrom(command_line.program_path));
  StartIntro();
  for (QToolButton* b :
       {ShowBtn, CollageBtn, WriteBmpBtn, SaveCollageBtn, CvtBmpBtn, InsertBtn, AddBtn, ViewPalBtn})
    b->setEnabled(false);
  ReadStartupSettings();
  LoadCommandLineFile(command_line.args);
}

void TMainForm::StartIntro() {
  IntroImage->setGeometry(35, 8, 325, 200);
  IntroImage->raise();
  SetIntroControlsVisible(false);
  Timer1->start();
  IntroTicks = 0;
}

void TMainForm::ReadStartupSettings() {
  ctx_.settings.SettingsPath = SettingsPathFor(ctx_.ws.ProgramDir);
  ReadSettings(ctx_.settings, ctx_.ws);
  if (ctx_.settings.RememberSettings == 0) return;
  PlaceAt(*this, ctx_.settings.SavedPositions[kMainWindow]);
  ApplyStartupPalette();
}

void TMainForm::ApplyStartupPalette() {
  if (!LoadStartupPalette(ctx_.ws)) return;
  PaletteLbl->setText(QString::fromStdString(ctx_.ws.PaletteName));
  FullPalCB->setChecked(true);
  ViewPalBtn->setEnabled(true);
}

void TMainForm::LoadCommandLineFile(const std::vector<std::string>& args) {
  const auto file = CommandLineShpFile(args);
  if (!file) return;
  ctx_.ws.OpenFromCommandLine = true;
  OpenDialog1FileName = *file;
  LoadShpBtnClick();
  ctx_.ws.OpenFromCommandLine = false;
}

void TMainForm::SetIntroControlsVisible(bool visible) {
  for (QWidget* w : std::initializer_list<QWidget*>{ImageEdit, ImageUpDown, MessageMemo, HeaderCB,
                                                    FullPalCB, KVNoFlashCB})
    w->setVisible(visible);
}

void TMainForm::Timer1Timer() {
  ++IntroTicks;
  if (IntroTicks <= kIntroEndTick) return;
  Timer1->stop();
  if (!IntroImage->isHidden()) IntroImageClick();
}

void TMainForm::IntroImageClick() {
  IntroImage->hide();
  IntroImage->resize(0, IntroImage->height());
  SetIntroControlsVisible(true);
}

void TMainForm::FormClose() {
  WindowPositions now{};
  now[kMainWindow] = PositionOf(*this);
  now[kBmpWindow] = PositionOf(*ctx_.BmpForm);
  now[kShpWindow] = PositionOf(*ctx_.ShpForm);
  now[kKVFixWindow] = PositionOf(*ctx_.KVFix);
  now[kTransWindow] = PositionOf(*ctx_.TransForm);
  // A directory the program may not write to keeps its old settings file; the program is
  // ending, so this is said on the error stream rather than in a box.
  if (WriteSettings(ctx_.settings, ctx_.ws, now) == SettingsWrite::kFailed) {
    const std::string text = FillPattern(kCouldNotWriteFile, {ctx_.settings.SettingsPath});
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // A drawing still running stops at its next look at the Cancel flag.
  ctx_.ws.CancelRequested = true;
  FormClose();
  event->accept();
  emit Closed();
}

bool TMainForm::FormKeyDown(int key) {
  if (key != Qt::Key_F1) return false;
  RunGuarded(ctx_.dialogs, [this] { HelpBtnClick(); });
  return true;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key.key()) || ImageKeyDown(key, watched == ImageEdit)) return true;
  }
  // A file dragged over a control that takes dropped text (the image number, the log) is
  // the window's.
  if (FileDragEvent(event)) return true;
  return QWidget::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (!FormKeyDown(event->key()) && !ImageKeyDown(*event, false)) QWidget::keyPressEvent(event);
}

void TMainForm::HelpBtnClick() {
  ctx_.HelpForm->ShowTopic(ctx_.HelpFile, "Features");
}

void TMainForm::AboutBtnClick() {
  ctx_.dialogs.Message(AboutText(), kAboutCaption);
}

void TMainForm::KVFixBtnClick() {
  ShowInFront(*ctx_.KVFix);
}

void TMainForm::TransBtnClick() {
  ShowInFront(*ctx_.TransForm);
}

void TMainForm::Log(std::string_view line) {
  MessageMemo->appendPlainText(ToQt(line));
}

void TMainForm::ClearLog() {
  MessageMemo->clear();
}

void TMainForm::ShowError(std::string_view text) {
  ctx_.dialogs.ErrorBox(text);
}

void TMainForm::Message(std::string_view text, std::string_view caption) {
  ctx_.dialogs.Message(text, caption);
}

void TMainForm::Repaint(const Surface& surface) {
  SurfaceView::RepaintViewsOf(surface);
}

void TMainForm::ProcessEvents() {
  QCoreApplication::processEvents();
}

}  // namespace pelgrin
