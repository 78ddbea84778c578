// pelgrin-screenshots DATA_DIR OUT_DIR: the pictures of the windows for the documentation.
// DATA_DIR is fresh demo data (as pelgrin-make-demo writes it); it becomes the current
// directory and the program's directory, and Load SHP opens the archive as demo/demo.shp
// (a file named on the command line would be shown by its absolute path), so no path of
// the machine shows in a picture. Each picture comes from a program started
// afresh: the main window beside the window it is about, each under a title strip, saved
// as OUT_DIR/NAME.png. Exits 1 when a picture could not be made or a box was asked.
#include <QCoreApplication>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "io/files.h"
#include "io/paths.h"
#include "picture/bmp_file.h"
#include "ui/app_context.h"
#include "ui/bmp_form.h"
#include "ui/dialogs.h"
#include "ui/help_form.h"
#include "ui/kvfix_form.h"
#include "ui/main_form.h"
#include "ui/pelgrin_app.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/trans_form.h"
#include "ui/up_down.h"

namespace pelgrin {
namespace {

constexpr int kTitleHeight = 22;
constexpr int kGap = 12;
constexpr const char* kArchive = "demo/demo.shp";
constexpr const char* kBitmap = "shot.bmp";

// The open dialog is answered with the files given, in turn; any other dialog is
// cancelled, and every box is a failure of the picture.
class ShotDialogs : public Dialogs {
 public:
  explicit ShotDialogs(std::deque<std::string> files) : files_(std::move(files)) {}
  std::optional<std::string> OpenFile(const FileDialogRequest&) override {
    if (files_.empty()) return Asked("open");
    std::string file = files_.front();
    files_.pop_front();
    return file;
  }
  std::optional<std::string> SaveFile(const FileDialogRequest&) override { return Asked("save"); }
  void Message(std::string_view text, std::string_view) override { Asked(text); }
  void ErrorBox(std::string_view text) override { Asked(text); }
  void ExceptionBox(std::string_view text) override { Asked(text); }
  bool asked = false;

 private:
  std::deque<std::string> files_;

  std::nullopt_t Asked(std::string_view what) {
    std::fprintf(stderr, "Asked: %.*s\n", static_cast<int>(what.size()), what.data());
    asked = true;
    return std::nullopt;
  }
};

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

// The main window, the other window and (when shown) the Bmp Image window side by side.
QImage Compose(AppContext& ctx, QWidget& beside) {
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

// Sets the window a picture is about at work, at the image number given, and returns it.
using Prepare = std::function<QWidget&(AppContext&)>;

QWidget& ShownImage(AppContext& ctx) {
  ctx.MainForm->ShowBtnClick();
  return *ctx.ShpForm;
}

QWidget& ShownImageAndItsBitmap(AppContext& ctx) {
  ShownImage(ctx);
  if (WriteRasterBmp(ctx.ws, kBitmap, *ctx.MainForm)) ctx.MainForm->LoadBmpFile(kBitmap);
  RemoveFile(kBitmap);
  return *ctx.ShpForm;
}

QWidget& Collage(AppContext& ctx) {
  ctx.MainForm->CollageBtnClick();
  return *ctx.ShpForm;
}

QWidget& PaletteView(AppContext& ctx) {
  ctx.MainForm->LoadPalBtnClick();
  ctx.MainForm->ShowPaletteBtnClick();
  return *ctx.ShpForm;
}

QWidget& HeaderFix(AppContext& ctx) {
  ctx.MainForm->KVFixBtnClick();
  ctx.KVFix->FormActivate();
  ctx.KVFix->MagShowBtnClick();
  return *ctx.KVFix;
}

QWidget& Transfer(AppContext& ctx) {
  ctx.MainForm->TransBtnClick();
  ctx.TransForm->LoadScriptFile(JoinPath(ctx.ws.ProgramDir, "demo-transfer.csv"));
  return *ctx.TransForm;
}

QWidget& Help(AppContext& ctx) {
  ctx.MainForm->HelpBtnClick();
  return *ctx.HelpForm;
}

struct Shot {
  const char* name;
  std::int32_t image;
  Prepare prepare;
  // Files the open dialog gives after the archive.
  std::deque<std::string> more_files = {};
};

const Shot kShots[] = {
    {"screenshot", 12, ShownImage},     {"screenshot-bmp", 3, ShownImageAndItsBitmap},
    {"screenshot-collage", 1, Collage}, {"screenshot-palette", 1, PaletteView, {"demo/desert.pal"}},
    {"screenshot-kvfix", 9, HeaderFix}, {"screenshot-transfer", 1, Transfer},
    {"screenshot-help", 1, Help},
};

// Starts the program afresh, past its intro, opens the demo archive and takes one picture.
bool Take(const Shot& shot, const std::string& out_dir) {
  std::deque<std::string> files = shot.more_files;
  files.push_front(kArchive);
  ShotDialogs dialogs(std::move(files));
  Pelgrin program(CommandLine{"./pelgrin", {}}, dialogs);
  TMainForm& main = program.Main();
  main.show();
  while (main.Timer1->isActive())
    main.Timer1Timer();
  main.LoadShpBtnClick();
  main.ImageUpDown->SetPosition(shot.image);
  QWidget& beside = shot.prepare(program.Context());
  QCoreApplication::processEvents();
  const std::string path = JoinPath(out_dir, std::string(shot.name) + ".png");
  if (!Compose(program.Context(), beside).save(QString::fromStdString(path))) {
    std::fprintf(stderr, "Could not write file %s.\n", path.c_str());
    return false;
  }
  main.close();
  return !dialogs.asked;
}

int Run(const std::string& data_dir, const std::string& out_dir) {
  const std::filesystem::path out = std::filesystem::absolute(FsPath(out_dir));
  std::filesystem::create_directories(out);
  std::filesystem::current_path(FsPath(data_dir));
  bool all = true;
  for (const Shot& shot : kShots)
    all = Take(shot, out.string()) && all;
  return all ? 0 : 1;
}

}  // namespace
}  // namespace pelgrin

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pelgrin-screenshots DATA_DIR OUT_DIR\n");
    return 2;
  }
  pelgrin::PelgrinApplication app(argc, argv);
  try {
    return pelgrin::Run(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return 1;
}
