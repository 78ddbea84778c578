#include "shell/qt/screenshot.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "shell/main_form.h"
#include "shell/qt/app_context.h"
#include "shell/qt/picture_button.h"
#include "shell/qt/up_down.h"
#include "shp/shp_form.h"

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

void TakeScreenshot(AppContext& ctx, const std::string& path) {
  TMainForm& main = *ctx.MainForm;
  while (main.Timer1->isActive())
    main.Timer1Timer();
  if (main.ShowBtn->isEnabled()) {
    main.ImageUpDown->SetPosition(ImageNumber());
    main.ShowBtnClick();
  }
  if (!ComposeScreenshot(ctx).save(QString::fromStdString(path)))
    std::fprintf(stderr, "Could not write file %s.\n", path.c_str());
  main.close();
}

}  // namespace

QImage ComposeScreenshot(AppContext& ctx) {
  const QImage left = Framed(*ctx.MainForm);
  const QImage right = Framed(*ctx.ShpForm);
  QImage shot(left.width() + kGap + right.width(), std::max(left.height(), right.height()),
              QImage::Format_RGB32);
  shot.fill(QColor(230, 230, 230));
  QPainter p(&shot);
  p.drawImage(0, 0, left);
  p.drawImage(left.width() + kGap, 0, right);
  return shot;
}

void ScheduleScreenshot(AppContext& ctx, std::string path) {
  QTimer::singleShot(200, QCoreApplication::instance(),
                     [&ctx, path = std::move(path)] { TakeScreenshot(ctx, path); });
}

}  // namespace pelgrin
