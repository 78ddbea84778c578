// The main window's editing operations, in the order of an edit: the shown image out to
// a bitmap, the edited bitmap back in, a palette file, the conversion into an image
// record, and the new file with that image replacing image N or added after the last.
#include <QCheckBox>
#include <QLabel>
#include <algorithm>

#include "convert/convert.h"
#include "io/paths.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "picture/bmp_file.h"
#include "picture/picture_file.h"
#include "shp/messages.h"
#include "shp/rebuild.h"
#include "shp/show.h"
#include "ui/app_context.h"
#include "ui/bmp_form.h"
#include "ui/drawing_guard.h"
#include "ui/form_geometry.h"
#include "ui/main_form.h"
#include "ui/main_form_internal.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/up_down.h"
#include "ui/wait_cursor.h"

namespace pelgrin {
namespace {

constexpr const char* kWriteBmpFilter =
    "Bitmaps (*.bmp)|*.BMP|All files (*.*)|*.*|PNG images (*.png)|*.PNG";
constexpr const char* kWriteBmpTitle = "Save Windows Bitmap";
constexpr const char* kLoadBmpFilter =
    "Windows Bitmap (*.bmp) | *.BMP|PNG images (*.png)|*.PNG|All pictures|*.BMP;*.PNG";
constexpr const char* kPaletteFilter = "Paintshop pal (*.pal)|*.PAL|All files (*.*)|*.*";
// The one-image file of Convert, by its bare name: it lands in the current directory.
constexpr const char* kSingleShpName = "New_shp.shp";

}  // namespace

std::int64_t TMainForm::ChosenEntry() const {
  return std::int64_t{ImageUpDown->Position()} - 1;  // messages name the number as shown
}

void TMainForm::WriteBmpBtnClick() {
  if (ctx_.Busy) return;
  WaitCursor wait;
  FileDialogRequest request;
  request.filter = kWriteBmpFilter;
  request.initial_dir = InitialDir(ctx_.ws.BmpDir);
  request.default_ext = "BMP";
  request.title = kWriteBmpTitle;
  const auto chosen = ctx_.dialogs.SaveFile(request);
  if (!chosen) return;
  ctx_.ws.BmpDir = DirectoryPart(*chosen);
  WriteRasterPicture(ctx_.ws, *chosen, *this);
}

void TMainForm::LoadBmpBtnClick() {
  if (ctx_.Busy) return;
  WaitCursor wait;
  FileDialogRequest request;
  request.filter = kLoadBmpFilter;
  request.initial_dir = InitialDir(ctx_.ws.BmpDir);
  const auto chosen = ctx_.dialogs.OpenFile(request);
  if (!chosen) return;
  LoadBmpFile(*chosen);
}

bool TMainForm::LoadBmpFile(const std::string& path) {
  Surface& view = ctx_.BmpForm->BmpSurface();
  ClearBmpWindow(view, *this);
  ctx_.ws.BmpDir = DirectoryPart(path);
  const PictureReadResult read = ReadPictureFile(ctx_.ws, path);
  if (!read.ok) {
    ShowError(read.message);
    return false;
  }
  ShowInFront(*ctx_.BmpForm);
  {
    DrawingGuard guard(ctx_);
    DrawBmpPixels(ctx_.ws, view, *this);
  }
  CvtBmpBtn->setEnabled(true);
  return true;
}

void TMainForm::LoadPalBtnClick() {
  if (ctx_.Busy) return;
  FileDialogRequest request;
  request.filter = kPaletteFilter;
  request.initial_dir = ctx_.ws.ProgramDir;
  const auto chosen = ctx_.dialogs.OpenFile(request);
  if (chosen) LoadPalFile(*chosen);
}

void TMainForm::LoadPalFile(const std::string& path) {
  const PaletteReadResult read =
      ReadPaletteFile(path, {&ctx_.ws.LoadedPalette, &ctx_.ws.ActivePalette});
  // A file that is no palette changes nothing, its name included.
  if (read.status == PaletteReadStatus::kRefused) {
    ShowError(read.message);
    return;
  }
  // A file that cannot be opened leaves its full path as the name (and in the settings
  // file at exit), but changes no colour.
  ctx_.ws.PaletteName = path;
  if (read.status == PaletteReadStatus::kOpenFailed) {
    ShowError(FillPattern(kCouldNotOpenFile, {path}));
    return;
  }
  ctx_.ws.PaletteName = FileNamePart(path);
  PaletteLbl->setText(QString::fromStdString(ctx_.ws.PaletteName));
  ViewPalBtn->setEnabled(true);
}

void TMainForm::CvtBmpBtnClick() {
  if (ctx_.Busy) return;
  WaitCursor wait;
  ShowInFront(*ctx_.ShpForm);
  ConvertOutcome outcome;
  {
    // The drawing of the converted image lets events through.
    DrawingGuard guard(ctx_);
    outcome = ConvertLoadedBitmap(ctx_.ws, KVNoFlashCB->isChecked(), ctx_.ShpForm->ShpSurface(),
                                  ctx_.ws.NewImagePath, kSingleShpName, *this);
  }
  if (outcome != ConvertOutcome::kWritten) return;
  InsertBtn->setEnabled(true);
  AddBtn->setEnabled(true);
}

void TMainForm::InsertBtnClick() {
  if (ctx_.Busy) return;
  WaitCursor wait;
  FileLock lock;
  if (!LockArchive(lock, ctx_.ws.ShpPath, /*wait=*/false, *this)) return;
  ReplaceImageInShp(ctx_.ws, RebuildPathsOf(ctx_.ws), ChosenEntry(), HeaderCB->isChecked(), *this);
}

void TMainForm::AddBtnClick() {
  if (ctx_.Busy) return;
  WaitCursor wait;
  FileLock lock;
  if (!LockArchive(lock, ctx_.ws.ShpPath, /*wait=*/false, *this)) return;
  const std::int32_t count = ctx_.ws.ImageCount;
  if (!AppendImageToShp(ctx_.ws, RebuildPathsOf(ctx_.ws), *this)) return;
  // When the open file was itself rebuilt, its new last image is a number to step to.
  if (ctx_.ws.ImageCount != count)
    ImageUpDown->SetRange(1, static_cast<std::int16_t>(ctx_.ws.ImageCount));
}

}  // namespace pelgrin
