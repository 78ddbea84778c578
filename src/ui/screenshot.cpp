#include "ui/screenshot.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "io/files.h"
#include "io/paths.h"
#include "ui/app_context.h"
#include "ui/bmp_form.h"
#include "ui/help_form.h"
#include "ui/kvfix_form.h"
#include "ui/main_form.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/trans_form.h"
#include "ui/up_down.h"

namespace pelgrin {
namespace {

constexpr int kTitleHeight = 22;
constexpr int kGap = 12;

// A window's picture under a strip with its title, as a window manager would frame it.
QImage Framed(QWidget& window) {
  const QImage body = window.grab().toImage();
  QImage framed(body.width() + 2, body.height() + kTitleHeight + 1, QImage::Format_RGB32);
  framed.fill(QColor(60, 60, 70));
  QPainter p(&framed);
  p.fillRect(1, 1, body.width(), kTitleHeight - 1, QColor(40, 70, 140));
  p.setPen(Qt::white);
  p.drawText(QRect(8, 1, body.width() - 8, kTitleHeight - 1), Qt::AlignVCenter,
             window.windowTitle());
  p.drawImage(1, kTitleHeight, body);
  return framed;
}

std::int32_t ImageNumber() {
  const char* text = std::getenv("PELGRIN_SCREENSHOT_IMAGE");
  return text != nullptr ? std::atoi(text) : 1;
}

std::string WindowChoice() {
  const char* text = std::getenv("PELGRIN_SCREENSHOT_WINDOW");
  return text != nullptr ? text : "";
}

// Shows the window the picture is about, at work, and returns it.
QWidget& PrepareWindow(AppContext& ctx) {
  TMainForm& main = *ctx.MainForm;
  const std::string choice = WindowChoice();
  if (choice == "transfer") {
    main.TransBtnClick();
    const std::string script = JoinPath(ctx.ws.ProgramDir, "demo-transfer.csv");
    if (std::filesystem::exists(FsPath(script))) ctx.TransForm->LoadScriptFile(script);
    return *ctx.TransForm;
  }
  if (choice == "help") {
    main.HelpBtnClick();
    return *ctx.HelpForm;
  }
  main.ImageUpDown->SetPosition(ImageNumber());
  if (choice == "collage" && main.CollageBtn->isEnabled()) {
    main.CollageBtnClick();
    return *ctx.ShpForm;
  }
  if (choice == "palette" && main.ViewPalBtn->isEnabled()) {
    main.ShowPaletteBtnClick();
    return *ctx.ShpForm;
  }
  if (choice == "kvfix") {
    main.KVFixBtnClick();
    ctx.KVFix->FormActivate();
    if (main.ShowBtn->isEnabled()) ctx.KVFix->MagShowBtnClick();
    return *ctx.KVFix;
  }
  if (main.ShowBtn->isEnabled()) main.ShowBtnClick();
  return *ctx.ShpForm;
}

void TakeScreenshot(AppContext& ctx, const std::string& path) {
  TMainForm& main = *ctx.MainForm;
  while (main.Timer1->isActive())
    main.Timer1Timer();
  QWidget& beside = PrepareWindow(ctx);
  if (const char* bitmap = std::getenv("PELGRIN_SCREENSHOT_BMP")) main.LoadBmpFile(bitmap);
  if (!ComposeScreenshot(ctx, beside).save(QString::fromStdString(path)))
    std::fprintf(stderr, "Could not write file %s.\n", path.c_str());
  main.close();
}

}  // namespace

QImage ComposeScreenshot(AppContext& ctx, QWidget& beside) {
  std::vector<QImage> windows{Framed(*ctx.MainForm), Framed(beside)};
  if (ctx.BmpForm->isVisible()) windows.push_back(Framed(*ctx.BmpForm));
  int width = -kGap;
  int height = 0;
  for (const QImage& w : windows) {
    width += w.width() + kGap;
    height = std::max(height, w.height());
  }
  QImage shot(width, height, QImage::Format_RGB32);
  shot.fill(QColor(230, 230, 230));
  QPainter p(&shot);
  int x = 0;
  for (const QImage& w : windows) {
    p.drawImage(x, 0, w);
    x += w.width() + kGap;
  }
  return shot;
}

void ScheduleScreenshot(AppContext& ctx, std::string path) {
  QTimer::singleShot(200, QCoreApplication::instance(),
                     [&ctx, path = std::move(path)] { TakeScreenshot(ctx, path); });
}

}  // namespace pelgrin
