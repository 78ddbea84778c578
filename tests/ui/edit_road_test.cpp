// The editing road in the windows, driven with scripted dialogs: an image of an archive
// out to a bitmap, edited as an outside paint program would, loaded back, converted and
// put into Bignew.shp, which is opened and shown again. Also the buttons over the road,
// the dialogs, the wait cursor, every failure's message and Load Pal.
#include <QCheckBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "convert/convert.h"
#include "io/byte_order.h"
#include "io/file_faults.h"
#include "io/files.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "shp/show.h"
#include "ui/bmp_form.h"
#include "ui/picture_button.h"
#include "ui/qt_dialogs.h"
#include "ui/shp_form.h"
#include "ui/up_down.h"
#include "ui/wait_cursor.h"
#include "ui_test_support.h"

namespace pelgrin::test {
namespace {

// Convert writes "New_shp.shp" in the current directory: the test works in the program's.
class InDirectory {
 public:
  explicit InDirectory(const std::string& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

// Makes writes to files whose path contains a text fail, as a full disk would.
class FailingWrites : public FileFaults {
 public:
  explicit FailingWrites(std::string part)
      : part_(std::move(part)), previous_(SetFileFaults(this)) {}
  ~FailingWrites() override { SetFileFaults(previous_); }
  bool ShouldFail(Op op, const std::string& path) override {
    return op == Op::kWrite && path.find(part_) != std::string::npos;
  }

 private:
  std::string part_;
  FileFaults* previous_;
};

QColor ColorOf(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

std::uint32_t Packed(const QColor& c) {
  return PackRGB(c.red(), c.green(), c.blue());
}

void OpenArchive(TestProgram& p, const std::string& name) {
  p.dialogs.open_answers.push_back(p.Path(name));
  p.Main().LoadShpBtnClick();
}

void ShowImage(TestProgram& p, int number) {
  p.Main().ImageEdit->setText(QString::number(number));
  p.Main().ShowBtnClick();
}

void WriteBitmap(TestProgram& p, const std::string& path) {
  p.dialogs.save_answers.push_back(path);
  p.Main().WriteBmpBtnClick();
}

void LoadBitmap(TestProgram& p, const std::string& path) {
  p.dialogs.open_answers.push_back(path);
  p.Main().LoadBmpBtnClick();
}

// What a user does in a paint program: three pixels in other colours of the palette and
// one in the background colour, which becomes transparent.
QImage EditBitmap(const std::string& path) {
  QImage image(QString::fromStdString(path));
  image.setPixelColor(1, 1, ColorOf(DefaultPalette[40]));
  image.setPixelColor(4, 2, ColorOf(DefaultPalette[200]));
  image.setPixelColor(2, 3, ColorOf(DefaultPalette[77]));
  image.setPixelColor(0, 0, ColorOf(BackColor));
  image.save(QString::fromStdString(path), "BMP");
  return image;
}

void SaveFilled(const std::string& path, int width, int height, QColor color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  image.save(QString::fromStdString(path), "BMP");
}

// Where the surface first differs from the picture at its top-left corner, with aqua to
// its right and below it; empty when it shows exactly that.
QString FirstDifference(const Surface& view, const QImage& picture) {
  const int w = picture.width();
  const int h = picture.height();
  for (int y = 0; y <= h; ++y) {
    for (int x = 0; x <= w; ++x) {
      if (x == w && y == h) continue;
      const std::uint32_t want = x < w && y < h ? Packed(picture.pixelColor(x, y)) : kAqua;
      if (view.GetPixel(x, y) != want) return QString("(%1, %2)").arg(x).arg(y);
    }
  }
  return {};
}

const Surface& View(TestProgram& p) {
  return p.Ctx().ShpForm->ShpSurface();
}

// The file dialog that is open now.
QFileDialog* OpenFileDialog() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog != nullptr && dialog->isVisible())
      return dialog;
  }
  return nullptr;
}

// A program past its intro with "a.shp" of three solid images open; image 2 carries the
// drawing offsets XOffs 3, YOffs 5 in its header.
void StartOnArchive(TestProgram& p) {
  Bytes archive = ArchiveOf({{6, 5, 13}, {8, 6, 14}, {5, 4, 15}});
  const auto second = static_cast<std::size_t>(GetLE32(&archive[16]));
  archive[second + 4] = 3;
  archive[second + 6] = 5;
  WriteFileBytes(p.Path("a.shp"), archive);
  p.Start();
  p.EndIntro();
  OpenArchive(p, "a.shp");
}

// Drops files on a widget as a file manager does; true when the window took the drop.
// The file opens once the drop has ended.
bool DropFiles(QWidget* target, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths)
    urls << QUrl::fromLocalFile(path);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  QCoreApplication::processEvents();
  return drop.isAccepted();
}

}  // namespace

class EditRoadTest : public QObject {
  Q_OBJECT

 private slots:
  void anEditedImageComesBackInTheRebuiltArchive() {
    const struct {
      const char* name;
      bool add;
      bool old_header;
      int shown;
      std::int32_t offsets;
    } cases[] = {{"replace", false, false, 2, 0},
                 {"add", true, false, 4, 0},
                 {"replace keeping the old header", false, true, 2, 0x00050003}};
    for (const auto& c : cases) {
      TestProgram p;
      StartOnArchive(p);
      std::filesystem::create_directory(p.Path("cwd"));
      InDirectory here(p.Path("cwd"));
      TMainForm& m = p.Main();
      for (PictureButton* b : {m.WriteBmpBtn, m.CvtBmpBtn, m.InsertBtn, m.AddBtn})
        QVERIFY(!b->isEnabled());
      ShowImage(p, 2);
      QVERIFY(m.WriteBmpBtn->isEnabled());
      WriteBitmap(p, p.Path("two.bmp"));
      const QImage edited = EditBitmap(p.Path("two.bmp"));
      QCOMPARE(edited.size(), QSize(8, 6));

      LoadBitmap(p, p.Path("two.bmp"));
      QVERIFY(p.Ctx().BmpForm->isVisible());
      const Surface& bmp_view = p.Ctx().BmpForm->BmpSurface();
      QCOMPARE(bmp_view.GetPixel(4, 2), PackRGB(DefaultPalette[200]));
      QCOMPARE(bmp_view.GetPixel(8, 0), kSilver);
      QVERIFY(m.CvtBmpBtn->isEnabled() && !m.InsertBtn->isEnabled());

      m.CvtBmpBtnClick();
      QCOMPARE(FirstDifference(View(p), edited), QString());
      // The record beside the program, the one-image file in the current directory.
      QVERIFY(FileExists(p.Path("New_shp.sdf")) && FileExists(p.Path("cwd/New_shp.shp")));
      QVERIFY(!FileExists(p.Path("New_shp.shp")));
      QVERIFY(m.InsertBtn->isEnabled() && m.AddBtn->isEnabled());

      m.HeaderCB->setChecked(c.old_header);
      m.ImageEdit->setText("2");
      c.add ? m.AddBtnClick() : m.InsertBtnClick();
      OpenArchive(p, "Bignew.shp");
      ShowImage(p, c.shown);
      QVERIFY2(FirstDifference(View(p), edited).isEmpty(), c.name);
      QCOMPARE(p.State().CurHeader.OffsWord, c.offsets);
      // The images around it are where the new index says.
      ShowImage(p, 1);
      QCOMPARE(View(p).GetPixel(5, 4), PackRGB(DefaultPalette[13]));
      ShowImage(p, 3);
      QCOMPARE(View(p).GetPixel(4, 3), PackRGB(DefaultPalette[15]));
      QCOMPARE(p.dialogs.errors, std::vector<std::string>{});
      QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }
  }

  void writeBmpAfterLoadBmpSetsTheSizeConvertUses() {
    TestProgram p;
    StartOnArchive(p);
    InDirectory here(p.Dir());
    SaveFilled(p.Path("big.bmp"), 30, 20, ColorOf(DefaultPalette[9]));
    LoadBitmap(p, p.Path("big.bmp"));
    ShowImage(p, 3);  // 5 x 4
    WriteBitmap(p, p.Path("three.bmp"));
    p.Main().CvtBmpBtnClick();
    QCOMPARE(p.State().CurHeader.MaxX, 4);
    QCOMPARE(p.State().CurHeader.MaxY, 3);
    QCOMPARE(View(p).GetPixel(4, 3), PackRGB(DefaultPalette[9]));
    QCOMPARE(View(p).GetPixel(5, 0), kAqua);
  }

  void dialogsAskAsTheyShould() {
    TestProgram p;
    p.Start();
    TMainForm& m = p.Main();
    const std::string dir = p.Dir();
    // A remembered bitmap directory of 2 characters or fewer is not used.
    const struct { std::string bmp_dir, initial; } dirs[] = {{"", ""}, {"C:", ""}, {dir, dir}};
    for (const auto& d : dirs) {
      p.State().BmpDir = d.bmp_dir;
      m.WriteBmpBtnClick();
      m.LoadBmpBtnClick();
      QCOMPARE(QString::fromStdString(p.dialogs.save_requests.back().initial_dir),
               QString::fromStdString(d.initial));
      QCOMPARE(QString::fromStdString(p.dialogs.open_requests.back().initial_dir),
               QString::fromStdString(d.initial));
    }
    p.State().BmpDir = "/elsewhere/";
    m.LoadPalBtnClick();
    const FileDialogRequest& write = p.dialogs.save_requests.back();
    const FileDialogRequest& load = p.dialogs.open_requests.end()[-2];
    const FileDialogRequest& pal = p.dialogs.open_requests.back();
    const struct {
      const FileDialogRequest& request;
      const char *filter, *title, *ext;
    } asked[] = {
        {write, "Bitmaps (*.bmp)|*.BMP|All files (*.*)|*.*|PNG images (*.png)|*.PNG",
         "Save Windows Bitmap", "BMP"},
        {load, "Windows Bitmap (*.bmp) | *.BMP|PNG images (*.png)|*.PNG|All pictures|*.BMP;*.PNG",
         "", ""},
        {pal, "Paintshop pal (*.pal)|*.PAL|All files (*.*)|*.*", "", ""},
    };
    for (const auto& a : asked) {
      QCOMPARE(QString::fromStdString(a.request.filter), QString(a.filter));
      QCOMPARE(QString::fromStdString(a.request.title), QString(a.title));
      QCOMPARE(QString::fromStdString(a.request.default_ext), QString(a.ext));
      QCOMPARE(QString::fromStdString(a.request.file_name), QString());
    }
    QCOMPARE(QString::fromStdString(pal.initial_dir), QString::fromStdString(p.State().ProgramDir));
    QCOMPARE(p.dialogs.errors, std::vector<std::string>{});

    // The application's save dialog for Write BMP, asked under the wait cursor.
    QString title, suffix, directory;
    bool confirms = false;
    QStringList filters;
    Qt::CursorShape cursor = Qt::BlankCursor;
    QTimer::singleShot(0, [&] {
      QFileDialog* dialog = OpenFileDialog();
      QVERIFY(dialog != nullptr);
      title = dialog->windowTitle();
      suffix = dialog->defaultSuffix();
      directory = dialog->directory().absolutePath() + "/";
      confirms = dialog->acceptMode() == QFileDialog::AcceptSave &&
                 !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      filters = dialog->nameFilters();
      cursor = QGuiApplication::overrideCursor()->shape();
      dialog->reject();
    });
    QtDialogs qt;
    {
      WaitCursor wait;
      QVERIFY(!qt.SaveFile(write).has_value());
    }
    QCOMPARE(title, QString("Save Windows Bitmap"));
    QCOMPARE(suffix, QString("BMP"));
    QCOMPARE(directory, QString::fromStdString(dir));
    QVERIFY(confirms);
    QCOMPARE(filters, QtFilterList(write.filter));
    QCOMPARE(cursor, Qt::ArrowCursor);
  }

  void failuresSayWhatWentWrongUnderTheWaitCursorAndKeepTheButtons() {
    TestProgram p;
    StartOnArchive(p);
    InDirectory here(p.Dir());
    TMainForm& m = p.Main();
    ShowImage(p, 2);
    QImage indexed(4, 4, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3)});
    indexed.fill(0);
    indexed.save(QString::fromStdString(p.Path("indexed.bmp")), "BMP");
    Bytes jpeg_inside = ReadFileBytes(p.Path("indexed.bmp"));
    jpeg_inside[28] = 8;
    jpeg_inside[30] = 4;  // 8 bits a pixel of JPEG data in a bitmap: still not read
    WriteFileBytes(p.Path("indexed.bmp"), jpeg_inside);
    SaveFilled(p.Path("wide.bmp"), 840, 2, Qt::red);
    SaveFilled(p.Path("empty.bmp"), 7, 7, ColorOf(BackColor));
    SaveFilled(p.Path("ok.bmp"), 7, 7, ColorOf(DefaultPalette[3]));
    WriteFileText(p.Path("text.bmp"), "not a picture");
    const std::string sdf = p.Path("New_shp.sdf");
    const std::string out = p.Path("Bignew.shp");
    WriteFileText(out, "an older Bignew.shp");

    const struct {
      std::function<void()> run;
      std::string message;
      bool convert_on, rebuild_on;
    } failures[] = {
        {[&] { m.WriteBmpBtnClick(); }, "", false, false},  // cancelled
        {[&] { m.LoadBmpBtnClick(); }, "", false, false},
        {[&] { WriteBitmap(p, p.Path("no/x.bmp")); },
         "Could not open bmp file " + p.Path("no/x.bmp"), false, false},
        {[&] { LoadBitmap(p, p.Path("none.bmp")); }, "Could not open " + p.Path("none.bmp") + ".",
         false, false},
        {[&] { LoadBitmap(p, p.Path("text.bmp")); },
         p.Path("text.bmp") + " is neither a PNG picture nor a Windows bitmap.", false, false},
        {[&] { LoadBitmap(p, p.Path("indexed.bmp")); },
         p.Path("indexed.bmp") +
             " is a kind of bitmap that cannot be read here (8 bits a pixel, compression 4).",
         false, false},
        {[&] { LoadBitmap(p, p.Path("wide.bmp")); },
         p.Path("wide.bmp") + " is larger than 839 x 649 pixels.", false, false},
        {[&] {
           LoadBitmap(p, p.Path("empty.bmp"));
           m.CvtBmpBtnClick();
           QVERIFY(!FileExists(sdf));
         },
         std::string(kNoOpaquePixelMessage), true, false},
        {[&] {
           LoadBitmap(p, p.Path("ok.bmp"));
           p.State().NewImagePath = p.Path("no/New_shp.sdf");
           m.CvtBmpBtnClick();
           p.State().NewImagePath = sdf;
         },
         "Could not open " + p.Path("no/New_shp.sdf") + ".", true, false},
        {[&] {
           FailingWrites full("New_shp.shp");
           m.CvtBmpBtnClick();
         },
         "Could not write file New_shp.shp.", true, false},
        {[&] {
           FailingWrites full("Bignew.shp");
           m.InsertBtnClick();
         },
         "Could not write file " + out + ".", true, false},
        {[&] {
           m.CvtBmpBtnClick();
           m.ImageEdit->setText("9");
           m.InsertBtnClick();
         },
         "There is no image #9 in " + p.Path("a.shp") + ".", true, true},
        {[&] {
           RemoveFile(sdf);
           m.AddBtnClick();
         },
         "Could not open file " + sdf + ".", true, true},
    };
    for (const auto& f : failures) {
      p.dialogs.errors.clear();
      p.dialogs.wait_cursor.clear();
      f.run();
      QCOMPARE(p.dialogs.errors, f.message.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{f.message});
      // Every dialog and box was asked under the wait cursor, which is gone afterwards.
      QCOMPARE(p.dialogs.wait_cursor, std::vector<bool>(p.dialogs.wait_cursor.size(), true));
      QVERIFY(!p.dialogs.wait_cursor.empty() && QGuiApplication::overrideCursor() == nullptr);
      QCOMPARE(m.CvtBmpBtn->isEnabled(), f.convert_on);
      QCOMPARE(m.InsertBtn->isEnabled(), f.rebuild_on);
      QCOMPARE(m.AddBtn->isEnabled(), f.rebuild_on);
    }
    // Nothing half-written is left, and the older output is as it was.
    const std::string older = "an older Bignew.shp";
    QCOMPARE(ReadFileBytes(out), Bytes(older.begin(), older.end()));
    for (const auto& entry : std::filesystem::directory_iterator(p.Dir()))
      QVERIFY(entry.path().extension() != ".tmp");
    QCOMPARE(QString::fromStdString(p.State().BmpDir), QString::fromStdString(p.Dir()));
  }

  void loadPalSetsTheLabelTheNameAndTheViewButton() {
    TestProgram p;
    p.Start();
    TMainForm& m = p.Main();
    WriteFileText(p.Path("q.pal"), PaletteText(3, 3));
    const QString design = m.PaletteLbl->text();
    const Palette before = p.State().LoadedPalette;

    p.dialogs.open_answers.push_back(p.Path("none.pal"));
    m.LoadPalBtnClick();
    QCOMPARE(p.dialogs.errors.back(), "Could not open file " + p.Path("none.pal") + ".");
    QCOMPARE(QString::fromStdString(p.State().PaletteName),
             QString::fromStdString(p.Path("none.pal")));
    QCOMPARE(m.PaletteLbl->text(), design);
    QVERIFY(!m.ViewPalBtn->isEnabled());
    QVERIFY(p.State().LoadedPalette == before);

    p.dialogs.open_answers.push_back(p.Path("q.pal"));
    m.LoadPalBtnClick();
    QCOMPARE(QString::fromStdString(p.State().PaletteName), QString("q.pal"));
    QCOMPARE(m.PaletteLbl->text(), QString("q.pal"));
    QVERIFY(m.ViewPalBtn->isEnabled());
    QCOMPARE(PackRGB(p.State().LoadedPalette[2]), PackRGB(2, 253, 7));
    QCOMPARE(PackRGB(p.State().ActivePalette[2]), PackRGB(2, 253, 7));
    QCOMPARE(PackRGB(p.State().LoadedPalette[3]), PackRGB(before[3]));

    m.LoadPalBtnClick();  // cancelled
    QCOMPARE(QString::fromStdString(p.State().PaletteName), QString("q.pal"));
    QCOMPARE(p.dialogs.errors.size(), std::size_t{1});
    QCOMPARE(p.dialogs.wait_cursor, std::vector<bool>(4, false));  // no wait cursor

    // A file that is no palette changes no colour and no name; a GIMP palette is read.
    const Palette loaded = p.State().LoadedPalette;
    WriteFileText(p.Path("notes.txt"), "shopping\nlist\n");
    p.dialogs.open_answers.push_back(p.Path("notes.txt"));
    m.LoadPalBtnClick();
    QCOMPARE(p.dialogs.errors.back(), FillPattern(kNotAPaletteFile, {p.Path("notes.txt")}));
    QCOMPARE(QString::fromStdString(p.State().PaletteName), QString("q.pal"));
    QCOMPARE(m.PaletteLbl->text(), QString("q.pal"));
    QVERIFY(p.State().LoadedPalette == loaded);
    WriteFileText(p.Path("g.gpl"), "GIMP Palette\nName: g\n#\n9 8 7\tfirst\n");
    p.dialogs.open_answers.push_back(p.Path("g.gpl"));
    m.LoadPalBtnClick();
    QCOMPARE(m.PaletteLbl->text(), QString("g.gpl"));
    QCOMPARE(PackRGB(p.State().LoadedPalette[0]), PackRGB(9, 8, 7));
    QCOMPARE(PackRGB(p.State().LoadedPalette[2]), PackRGB(2, 253, 7));
  }

  void droppedFilesOpenByTheirContentAsTheButtonsOpenThem() {
    TestProgram p;
    p.Start();
    p.EndIntro();
    TMainForm& m = p.Main();
    // Every name but the archive's belongs to another kind: content decides.
    WriteFileBytes(p.Path("archive.bmp"), ArchiveOf({{6, 5, 13}, {8, 6, 14}}));
    SaveFilled(p.Path("picture.pal"), 3, 2, ColorOf(DefaultPalette[9]));
    WriteFileText(p.Path("colours.shp"), PaletteText(3, 3));
    WriteFileText(p.Path("notes.png"), "shopping\nlist\n");
    // Raw RGB triples: its image count would be negative, so it is no archive.
    Bytes raw(768, 0);
    raw[6] = 4;
    raw[7] = 251;
    raw[8] = 9;
    WriteFileBytes(p.Path("raw.bmp"), raw);
    WriteFileText(p.Path("damaged.gpl"), "GIMP Palette\n1 2\n");
    const struct {
      QWidget* target;
      const char* file;
      std::function<bool()> opened;
    } drops[] = {
        {&m, "archive.bmp",
         [&] {
           return p.Log() == std::vector<std::string>{"archive.bmp", "2 Icons", "5 Max Height",
                                                      "7 Max Width"} &&
                  m.ShowBtn->isEnabled() && m.ImageUpDown->Max() == 2 &&
                  m.EditLbl->text().endsWith("archive.bmp") &&
                  p.State().ShpPath == p.Path("archive.bmp");
         }},
        {m.ImageEdit, "picture.pal",
         [&] {
           const Surface& bmp = p.Ctx().BmpForm->BmpSurface();
           return p.Ctx().BmpForm->isVisible() && m.CvtBmpBtn->isEnabled() &&
                  bmp.GetPixel(2, 1) == PackRGB(DefaultPalette[9]) &&
                  bmp.GetPixel(3, 0) != PackRGB(DefaultPalette[9]) && m.ImageEdit->text() == "1";
         }},
        {m.MessageMemo->viewport(), "colours.shp",
         [&] {
           return m.PaletteLbl->text() == "colours.shp" && m.ViewPalBtn->isEnabled() &&
                  PackRGB(p.State().ActivePalette[2]) == PackRGB(2, 253, 7) &&
                  p.State().ShpPath == p.Path("archive.bmp");
         }},
        {&m, "raw.bmp",
         [&] {
           return m.PaletteLbl->text() == "raw.bmp" &&
                  PackRGB(p.State().ActivePalette[2]) == PackRGB(4, 251, 9);
         }},
        {&m, "notes.png",
         [&] {
           return p.dialogs.errors ==
                  std::vector<std::string>{p.Path("notes.png") +
                                           " is neither a PNG picture nor a Windows bitmap."};
         }},
        {&m, "damaged.gpl",
         [&] {
           return p.dialogs.errors.back().find("is a damaged GIMP palette") != std::string::npos &&
                  m.PaletteLbl->text() == "raw.bmp";
         }},
    };
    for (const auto& d : drops) {
      QVERIFY2(DropFiles(d.target, {QString::fromStdString(p.Path(d.file))}), d.file);
      QVERIFY2(d.opened(), d.file);
    }
    // Two files at once are not taken.
    QVERIFY(!DropFiles(&m, {QString::fromStdString(p.Path("archive.bmp")),
                            QString::fromStdString(p.Path("colours.shp"))}));

    // While a drawing runs a drop is refused, and the log says so.
    WriteFileBytes(p.Path("tall.shp"), ArchiveOf({{20, 120, 15}}));
    OpenArchive(p, "tall.shp");
    bool taken = true;
    QTimer::singleShot(
        0, &m, [&] { taken = DropFiles(&m, {QString::fromStdString(p.Path("archive.bmp"))}); });
    m.ShowBtnClick();
    QVERIFY(!taken);
    QCOMPARE(p.State().ShpPath, p.Path("tall.shp"));
    const std::vector<std::string> log = p.Log();
    QVERIFY(std::find(log.begin(), log.end(), "Still drawing: the dropped file was not opened") !=
            log.end());
  }

  // Write BMP to a PNG, Load BMP of it and Convert: every index comes back, and the log
  // says so.
  void thePngRoadKeepsTheIndicesAndSaysSo() {
    TestProgram p;
    StartOnArchive(p);
    InDirectory here(p.Dir());
    TMainForm& m = p.Main();
    ShowImage(p, 2);
    WriteBitmap(p, p.Path("two.png"));
    LoadBitmap(p, p.Path("two.png"));
    QCOMPARE(p.Ctx().BmpForm->BmpSurface().GetPixel(7, 5), PackRGB(DefaultPalette[14]));
    m.CvtBmpBtnClick();
    QCOMPARE(p.Log().back(), std::string("48 pixels kept their palette index"));
    QCOMPARE(int{RasterByte(p.State(), 7, 5)}, 14);
    QCOMPARE(p.dialogs.errors, std::vector<std::string>{});
  }

  void convertKeepsTheButtonsStillWhileItDraws() {
    TestProgram p;
    StartOnArchive(p);
    InDirectory here(p.Dir());
    TMainForm& m = p.Main();
    SaveFilled(p.Path("ok.bmp"), 7, 7, ColorOf(DefaultPalette[3]));
    LoadBitmap(p, p.Path("ok.bmp"));
    bool still = false;
    QTimer::singleShot(0, &m, [&] {
      still = p.Ctx().Busy && !m.CvtBmpBtn->isEnabled() && !m.LoadBmpBtn->isEnabled() &&
              !m.LoadPalBtn->isEnabled();
      m.LoadBmpBtnClick();  // asked now, it does nothing
      m.LoadPalBtnClick();
    });
    const std::size_t asked = p.dialogs.open_requests.size();
    m.CvtBmpBtnClick();
    QVERIFY(still);
    QCOMPARE(p.dialogs.open_requests.size(), asked);
    QVERIFY(m.CvtBmpBtn->isEnabled() && m.InsertBtn->isEnabled());
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::EditRoadTest)
#include "edit_road_test.moc"
