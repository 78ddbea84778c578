// The main window: the picture buttons, the options, the image number, the message log
// and the intro picture. It is also the Reporter through which core operations talk to
// the user.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "shp/reporter.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;
class QToolButton;

namespace pelgrin {

struct AppContext;
class IntroPicture;
class PictureButton;
class UpDown;

// The program's path (whose directory is the program's directory) and its arguments.
struct CommandLine {
  std::string program_path;
  std::vector<std::string> args;
};

class TMainForm : public QWidget, public Reporter {
  Q_OBJECT

 public:
  TMainForm(AppContext& ctx, const CommandLine& command_line);

  // Start-up and end.
  void FormCreate(const CommandLine& command_line);
  void FormClose();
  // One tick of the intro timer; the fourth ends the intro.
  void Timer1Timer();
  void IntroImageClick();
  // F1 runs Help; true when the key was taken.
  bool FormKeyDown(int key);
  // The image-stepping keys, from the main window or the Shp Image window: Page Down / Page
  // Up step Image # and show it, Ctrl+Home / Ctrl+End show the first / last image, and in
  // ImageEdit Enter shows the typed number while Up / Down step it as the arrows do. They
  // act only while Show is usable and no drawing runs. True when the key was one of them.
  bool ImageKeyDown(const QKeyEvent& event, bool in_image_edit);

  // Buttons.
  void LoadShpBtnClick();
  void ShowBtnClick();
  void WriteBmpBtnClick();
  void LoadBmpBtnClick();
  void CvtBmpBtnClick();
  void InsertBtnClick();
  void AddBtnClick();
  void LoadPalBtnClick();
  void CancelBtnClick();
  void SaveImageBtnClick();
  void CollageBtnClick();
  void ShowPaletteBtnClick();
  void HelpBtnClick();
  void AboutBtnClick();
  void KVFixBtnClick();
  void TransBtnClick();

  // The buttons that start a drawing or change the working state: disabled while a
  // drawing in any window lets events through.
  std::vector<QWidget*> WorkControls() const;

  // Load BMP once the file is chosen: reads it, shows it in the Bmp Image window and makes
  // Convert usable. False (after the error box) when the file was refused.
  bool LoadBmpFile(const std::string& path);
  // Load SHP once OpenDialog1FileName is chosen, and Load Pal once its file is.
  void OpenShpFile();
  void LoadPalFile(const std::string& path);
  // A file dropped on the window, told by its content: an archive opens as Load SHP opens
  // it, a picture loads as Load BMP loads it, a palette file as Load Pal loads it; anything
  // else gets Load BMP's refusal. While a drawing runs, the drop is refused in the log.
  void DropFile(const std::string& path);

  // Reporter: the message log, the boxes, the image windows.
  void Log(std::string_view line) override;
  void ClearLog() override;
  void ShowError(std::string_view text) override;
  void Message(std::string_view text, std::string_view caption) override;
  void Repaint(const Surface& surface) override;
  void ProcessEvents() override;

  PictureButton* LoadShpBtn;
  PictureButton* ShowBtn;
  PictureButton* WriteBmpBtn;
  PictureButton* LoadBmpBtn;
  PictureButton* CvtBmpBtn;
  PictureButton* InsertBtn;
  PictureButton* AddBtn;
  PictureButton* TransBtn;
  PictureButton* CancelBtn;
  PictureButton* LoadPalBtn;
  PictureButton* ViewPalBtn;
  PictureButton* CollageBtn;
  PictureButton* SaveCollageBtn;
  PictureButton* HelpBtn;
  PictureButton* AboutBtn;
  PictureButton* KVFixBtn;
  QLabel* EditLbl;
  QLabel* Label1;
  QLineEdit* ImageEdit;
  UpDown* ImageUpDown;
  QCheckBox* HeaderCB;
  QCheckBox* KVNoFlashCB;
  QCheckBox* FullPalCB;
  QPlainTextEdit* MessageMemo;
  QLabel* PaletteLbl;
  IntroPicture* IntroImage;
  QTimer* Timer1;
  // The open dialog's file name, which start-up fills for a file named on the command line.
  std::string OpenDialog1FileName;
  int IntroTicks = 0;

 signals:
  // The window has closed: the program ends.
  void Closed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateButtons();
  void CreateFields();
  void ConnectButtons();
  void StartIntro();
  void SetIntroControlsVisible(bool visible);
  void ReadStartupSettings();
  void LoadCommandLineFile(const std::vector<std::string>& args);
  void ApplyStartupPalette();
  // The entry of the image number in ImageEdit (which counts from 1).
  std::int64_t ChosenEntry() const;
  enum class ImageStep { kNext, kPrevious, kFirst, kLast, kTyped, kUp, kDown };
  void StepImage(ImageStep step);
  // Show, with the active window and the focus given back afterwards.
  void ShowKeepingFocus();
  // Drags that carry one local file, onto the window or any of its controls: true when the
  // event was one of them and was taken.
  bool FileDragEvent(QEvent* event);

  AppContext& ctx_;
};

}  // namespace pelgrin
