// The main window's viewing operations: opening an SHP file, showing an image, the
// collage and the palette view, stopping a drawing and saving the view window.
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

#include "io/paths.h"
#include "picture/picture_file.h"
#include "shp/collage.h"
#include "shp/load_shp.h"
#include "shp/palette_view.h"
#include "shp/show.h"
#include "ui/app_context.h"
#include "ui/drawing_guard.h"
#include "ui/form_geometry.h"
#include "ui/main_form.h"
#include "ui/main_form_internal.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/up_down.h"

namespace pelgrin {
namespace {

constexpr const char* kShpFilter = "shp files (*.shp)| *.SHP| All files\t(*.*)|*.*";
constexpr const char* kViewBmpFilter =
    "Windows Bitmaps (*.bmp)|*.BMP|All files (*.*)|*.*|PNG images (*.png)|*.PNG";

}  // namespace

std::vector<QWidget*> TMainForm::WorkControls() const {
  return {LoadShpBtn, ShowBtn,    WriteBmpBtn, LoadBmpBtn, CvtBmpBtn,     InsertBtn,
          AddBtn,     LoadPalBtn, ViewPalBtn,  CollageBtn, SaveCollageBtn};
}

void TMainForm::LoadShpBtnClick() {
  if (ctx_.Busy) return;
  if (!ctx_.ws.OpenFromCommandLine) {
    FileDialogRequest request;
    request.filter = kShpFilter;
    request.initial_dir = InitialDir(ctx_.ws.ShpDir);
    const auto chosen = ctx_.dialogs.OpenFile(request);
    if (!chosen) return;
    OpenDialog1FileName = *chosen;
  }
  OpenShpFile();
}

void TMainForm::OpenShpFile() {
  const std::string path = OpenDialog1FileName;
  EditLbl->setText(QString::fromStdString("Editing: " + AbbreviatePath(path)));
  EditLbl->adjustSize();
  if (LoadShp(ctx_.ws, path, *this) != LoadShpResult::kLoaded) return;
  for (QToolButton* button : {ShowBtn, CollageBtn, ViewPalBtn})
    button->setEnabled(true);
  ImageUpDown->SetRange(1, static_cast<std::int16_t>(ctx_.ws.ImageCount));
  ImageUpDown->SetPosition(1);
}

void TMainForm::ShowBtnClick() {
  if (ctx_.Busy) return;
  ShowInFront(*ctx_.ShpForm);
  ShowResult result;
  {
    DrawingGuard guard(ctx_);
    result = ShowImage(ctx_.ws, ImageUpDown->Position(), FullPalCB->isChecked(),
                       ctx_.ShpForm->ShpSurface(), *this);
  }
  if (result != ShowResult::kShown) return;
  WriteBmpBtn->setEnabled(true);
  SaveCollageBtn->setEnabled(true);
}

void TMainForm::CollageBtnClick() {
  if (ctx_.Busy) return;
  ShowInFront(*ctx_.ShpForm);
  CollageResult result;
  {
    DrawingGuard guard(ctx_);
    // "Use Full Pal" is read for each image: it can be changed while the collage runs.
    result = Collage(
        ctx_.ws, ImageUpDown->Position(), [this] { return FullPalCB->isChecked(); },
        ctx_.ShpForm->ShpSurface(), *this);
  }
  if (result == CollageResult::kDone) SaveCollageBtn->setEnabled(true);
}

void TMainForm::ShowPaletteBtnClick() {
  if (ctx_.Busy) return;
  ShowInFront(*ctx_.ShpForm);
  ShowPaletteView(ctx_.ws.ActivePalette, ctx_.ShpForm->ShpSurface(), *this);
  SaveCollageBtn->setEnabled(true);
}

void TMainForm::CancelBtnClick() {
  ctx_.ws.CancelRequested = true;
}

void TMainForm::SaveImageBtnClick() {
  if (ctx_.Busy) return;
  FileDialogRequest request;
  request.filter = kViewBmpFilter;
  request.initial_dir = InitialDir(ctx_.ws.BmpDir);
  request.default_ext = "BMP";
  const auto chosen = ctx_.dialogs.SaveFile(request);
  if (!chosen) return;
  ctx_.ws.BmpDir = DirectoryPart(*chosen);
  SaveSurfacePicture(ctx_.ShpForm->ShpSurface(), *chosen, *this);
}

}  // namespace pelgrin
