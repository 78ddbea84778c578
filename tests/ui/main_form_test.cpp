// The main window's handlers, driven with scripted dialogs: Load SHP, Show, Cancel,
// saving the view, Help, About, the buttons over a run and exceptions from handlers.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

#include "io/text.h"
#include "picture/bmp_file.h"
#include "shp/archive_builder.h"
#include "ui/bmp_form.h"
#include "ui/guarded.h"
#include "ui/help_form.h"
#include "ui/kvfix_form.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/surface_view.h"
#include "ui/trans_form.h"
#include "ui/up_down.h"
#include "ui/zoom_area.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

const std::uint32_t kPink = PackRGB(BackColor);

// A program past its intro with the archive "a.shp" of the given frames open.
void StartWithArchive(TestProgram& p, const std::vector<Frame>& frames) {
  WriteFileBytes(p.Path("a.shp"), ArchiveOf(frames));
  p.Start();
  p.EndIntro();
  p.dialogs.open_answers.push_back(p.Path("a.shp"));
  p.Main().LoadShpBtnClick();
}

const Surface& View(TestProgram& p) {
  return p.Ctx().ShpForm->ShpSurface();
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void loadShpThroughTheDialog() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}, {6, 9, 13}, {2, 2, 1}});
    TMainForm& m = p.Main();
    QCOMPARE(p.dialogs.open_requests.size(), std::size_t{1});
    const FileDialogRequest& first = p.dialogs.open_requests[0];
    QCOMPARE(QString::fromStdString(first.filter),
             QString("shp files (*.shp)| *.SHP| All files\t(*.*)|*.*"));
    QCOMPARE(QString::fromStdString(first.initial_dir), QString());
    QCOMPARE(p.Log(),
             (std::vector<std::string>{"a.shp", "3 Icons", "8 Max Height", "5 Max Width"}));
    const std::string path = p.Path("a.shp");
    const std::string shown =
        path.size() <= 33 ? path : path.substr(0, 12) + "..." + path.substr(path.size() - 19);
    QCOMPARE(m.EditLbl->text(), QString::fromStdString("Editing: " + shown));
    for (QToolButton* b :
         {static_cast<QToolButton*>(m.ShowBtn), static_cast<QToolButton*>(m.CollageBtn),
          static_cast<QToolButton*>(m.ViewPalBtn)})
      QVERIFY(b->isEnabled());
    QCOMPARE(m.ImageUpDown->Min(), 1);
    QCOMPARE(m.ImageUpDown->Max(), 3);

    // The next dialog starts in the open file's directory; cancelling changes nothing.
    m.ImageUpDown->SetPosition(3);
    m.LoadShpBtnClick();
    QCOMPARE(QString::fromStdString(p.dialogs.open_requests[1].initial_dir),
             QString::fromStdString(p.Dir()));
    QCOMPARE(m.ImageEdit->text(), QString("3"));
    QCOMPARE(p.Log().size(), std::size_t{4});

    // Reopening resets the image number to 1.
    p.dialogs.open_answers.push_back(path);
    m.LoadShpBtnClick();
    QCOMPARE(m.ImageEdit->text(), QString("1"));
  }

  void loadShpThatCannotBeOpenedShowsTheErrorBox() {
    TestProgram p;
    p.Start();
    p.dialogs.open_answers.push_back(p.Path("gone.shp"));
    p.Main().LoadShpBtnClick();
    QCOMPARE(p.dialogs.errors,
             (std::vector<std::string>{"Could not open file " + p.Path("gone.shp") + "."}));
    QVERIFY(!p.Main().ShowBtn->isEnabled());
  }

  void showDrawsTheImageAndLogsItsExtent() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}, {6, 9, 13}});
    TMainForm& m = p.Main();
    m.ImageUpDown->Click(UpDown::Direction::kRaised);
    QCOMPARE(m.ImageEdit->text(), QString("2"));
    m.ShowBtnClick();
    QVERIFY(p.Ctx().ShpForm->isVisible());
    QCOMPARE(p.Log().back(), std::string("cols 6, lines 9"));
    const std::uint32_t green = PackRGB(DefaultPalette[13]);
    QCOMPARE(View(p).GetPixel(0, 0), green);
    QCOMPARE(View(p).GetPixel(5, 8), green);
    QCOMPARE(View(p).GetPixel(6, 0), kAqua);
    QCOMPARE(View(p).GetPixel(0, 9), kAqua);
    // The window shows what the surface holds.
    const QImage shown = p.Ctx().ShpForm->ShpImage->grab().toImage();
    QCOMPARE(shown.pixelColor(2, 2),
             QColor(DefaultPalette[13].r, DefaultPalette[13].g, DefaultPalette[13].b));
    QVERIFY(m.WriteBmpBtn->isEnabled());
    QVERIFY(m.SaveCollageBtn->isEnabled());
  }

  void keysStepTheImageNumberAndShowAsTheArrowsAndShowDo() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 1}, {6, 9, 13}, {2, 2, 14}, {5, 5, 15}});
    TMainForm& m = p.Main();
    QWidget* shp = p.Ctx().ShpForm;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
      QWidget* target;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      const char* number;  // Image # afterwards
      int shown;           // the index of the image drawn, or -1 when nothing is shown
    } cases[] = {
        {m.ImageEdit, Qt::Key_PageDown, none, "2", 13},
        {m.MessageMemo, Qt::Key_PageDown, none, "3", 14},
        {shp, Qt::Key_PageDown, none, "4", 15},
        {shp, Qt::Key_PageDown, none, "4", 15},  // no wrapping round past the last
        {&m, Qt::Key_PageUp, none, "3", 14},
        {m.ImageEdit, Qt::Key_Home, ctrl, "1", 1},
        {shp, Qt::Key_End, ctrl, "4", 15},
        {m.MessageMemo, Qt::Key_Home, ctrl, "1", 1},
        {m.ImageEdit, Qt::Key_PageUp, none, "1", 1},
        {m.ImageEdit, Qt::Key_Up, none, "2", -1},  // steps only, as the arrow does
        {m.ImageEdit, Qt::Key_Up, none, "3", -1},
        {m.ImageEdit, Qt::Key_Down, none, "2", -1},
        {m.ImageEdit, Qt::Key_Return, none, "2", 13},
        {m.ImageEdit, Qt::Key_Enter, Qt::KeypadModifier, "2", 13},
        {m.ImageEdit, Qt::Key_Home, none, "2", -1},  // plain Home stays the field's
        {shp, Qt::Key_Up, none, "2", -1},            // the arrow keys are the field's only
    };
    for (const auto& c : cases) {
      const std::string name = m.ImageEdit->text().toStdString() + " " +
                               c.target->objectName().toStdString() + " " + std::to_string(c.key);
      p.Ctx().ShpForm->ShpSurface().Fill(kPink);
      m.ClearLog();
      QTest::keyClick(c.target, c.key, c.modifiers);
      QCOMPARE(m.ImageEdit->text(), QString(c.number));
      if (c.shown < 0) {
        QVERIFY2(p.Log().empty(), name.c_str());
        QVERIFY2(View(p).GetPixel(0, 0) == kPink, name.c_str());
      } else {
        QVERIFY2(!p.Log().empty() && p.Log().back().rfind("cols ", 0) == 0, name.c_str());
        QVERIFY2(View(p).GetPixel(0, 0) == PackRGB(DefaultPalette[c.shown]), name.c_str());
      }
    }
    // Typed past the end: Enter shows what Show shows.
    m.ImageEdit->setText("9");
    QTest::keyClick(m.ImageEdit, Qt::Key_Return);
    QCOMPARE(p.Log().back(), std::string("No image #9"));
  }

  void keyDrivenShowLeavesTheFocusWhereItWas() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 1}, {6, 9, 13}, {2, 2, 14}});
    TMainForm& m = p.Main();
    m.show();
    m.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m));
    m.ImageEdit->setFocus();
    for (const char* number : {"2", "3"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
      QCOMPARE(m.ImageEdit->text(), QString(number));
      QVERIFY(p.Ctx().ShpForm->isVisible());
      QTRY_COMPARE(QApplication::activeWindow(), &m);
      QTRY_COMPARE(QApplication::focusWidget(), m.ImageEdit);
    }
  }

  void steppingKeysDoNothingWithoutAFileOrWhileADrawingRuns() {
    TestProgram p;
    p.Start();
    p.EndIntro();
    TMainForm& m = p.Main();
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Return}) {
      QTest::keyClick(m.ImageEdit, key);
      QCOMPARE(m.ImageEdit->text(), QString("1"));
      QVERIFY(!p.Ctx().ShpForm->isVisible());
    }
    WriteFileBytes(p.Path("a.shp"), ArchiveOf({{20, 120, 15}, {20, 120, 14}}));
    p.dialogs.open_answers.push_back(p.Path("a.shp"));
    m.LoadShpBtnClick();
    QTimer::singleShot(0, &m, [&] {
      for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_Up, Qt::Key_End})
        QTest::keyClick(m.ImageEdit, key,
                        key == Qt::Key_End ? Qt::ControlModifier : Qt::NoModifier);
      QTest::keyClick(p.Ctx().ShpForm, Qt::Key_PageDown);
    });
    m.ShowBtnClick();
    QCOMPARE(m.ImageEdit->text(), QString("1"));
    const std::vector<std::string> log = p.Log();
    QCOMPARE(std::count_if(log.begin(), log.end(),
                           [](const std::string& line) { return line.rfind("cols ", 0) == 0; }),
             1);
  }

  void zoomEnlargesThePictureOnScreenOnly() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}, {6, 9, 13}});
    TMainForm& m = p.Main();
    m.ImageEdit->setText("2");
    m.ShowBtnClick();
    TShpForm& shp = *p.Ctx().ShpForm;
    const QSize window = shp.size();
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const struct {
      Qt::Key key;  // or a wheel turn when Key_unknown
      Qt::KeyboardModifiers modifiers;
      int wheel;
      int scale;  // afterwards
    } steps[] = {
        {Qt::Key_Plus, ctrl, 0, 2},
        {Qt::Key_Equal, ctrl, 0, 3},
        {Qt::Key_Plus, ctrl | Qt::ShiftModifier, 0, 4},
        {Qt::Key_Minus, ctrl, 0, 3},
        {Qt::Key_0, ctrl, 0, 1},
        {Qt::Key_Minus, ctrl, 0, 1},  // never below 1:1
        {Qt::Key_Plus, Qt::NoModifier, 0, 1},
        {Qt::Key_unknown, ctrl, 120, 2},
        {Qt::Key_unknown, ctrl, 60, 2},  // half a notch, then the other half
        {Qt::Key_unknown, ctrl, 60, 3},
        {Qt::Key_unknown, Qt::NoModifier, 120, 3},  // without Ctrl the wheel scrolls
        {Qt::Key_unknown, ctrl, -240, 1},
        {Qt::Key_unknown, ctrl, 1200, 8},  // at most 8:1
    };
    const QColor green(DefaultPalette[13].r, DefaultPalette[13].g, DefaultPalette[13].b);
    for (const auto& step : steps) {
      if (step.key != Qt::Key_unknown) {
        QTest::keyClick(&shp, step.key, step.modifiers);
      } else {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, shp.mapToGlobal(at), QPoint(), QPoint(0, step.wheel), Qt::NoButton,
                          step.modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(shp.ShpZoom->viewport(), &wheel);
      }
      const int s = step.scale;
      QCOMPARE(shp.ShpImage->size(), QSize(810 * s, 630 * s));
      QCOMPARE(shp.size(), window);
      QCOMPARE(shp.ShpZoom->horizontalScrollBar()->maximum(),
               810 * s - shp.ShpZoom->viewport()->width());
      // Keys keep the picture's top-left corner in place, the wheel the point under the mouse.
      const int left = step.key != Qt::Key_unknown ? 0 : 10 * s - 10;
      QCOMPARE(shp.ShpZoom->horizontalScrollBar()->value(), left);
      // The image's 6 x 9 pixels as squares of s x s, sharp at the edges.
      const QImage shown = shp.ShpImage->grab(QRect(0, 0, 7 * s, 10 * s)).toImage();
      QCOMPARE(shown.pixelColor(6 * s - 1, 9 * s - 1), green);
      QCOMPARE(shown.pixelColor(6 * s, 0), QColor(0, 255, 255));
      QCOMPARE(shown.pixelColor(0, 9 * s), QColor(0, 255, 255));
    }
    // The scale stays from one Show to the next; the saved view is the 1:1 picture.
    m.ImageEdit->setText("1");
    m.ShowBtnClick();
    QCOMPARE(shp.ShpImage->size(), QSize(810 * 8, 630 * 8));
    p.dialogs.save_answers.push_back(p.Path("view.bmp"));
    m.SaveImageBtnClick();
    const QImage saved(QString::fromStdString(p.Path("view.bmp")));
    QCOMPARE(saved.size(), QSize(810, 630));
    QCOMPARE(saved.pixelColor(3, 2),
             QColor(DefaultPalette[15].r, DefaultPalette[15].g, DefaultPalette[15].b));
    QCOMPARE(saved.pixelColor(4, 0), QColor(0, 255, 255));

    // The Bmp Image window zooms the same way.
    TBmpForm& bmp = *p.Ctx().BmpForm;
    QTest::keyClick(&bmp, Qt::Key_Plus, ctrl);
    QCOMPARE(bmp.BmpImage->size(), QSize(1600, 1200));
    QTest::keyClick(&bmp, Qt::Key_0, ctrl);
    QCOMPARE(bmp.BmpImage->size(), QSize(800, 600));
    QCOMPARE(bmp.size(), QSize(800, 600));
  }

  void showOfANumberOutsideTheFileSaysNoImage() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}});
    p.Main().ImageEdit->setText("7");
    p.Main().ShowBtnClick();
    QCOMPARE(p.Log().back(), std::string("No image #7"));
    QVERIFY(!p.Main().WriteBmpBtn->isEnabled());
  }

  void cancelStopsADrawingAfterItsRow() {
    TestProgram p;
    StartWithArchive(p, {{20, 120, 15}});
    TMainForm& m = p.Main();
    // The click waits in the event queue until the drawing lets events through.
    QTimer::singleShot(0, m.CancelBtn, &QToolButton::click);
    m.ShowBtnClick();
    QCOMPARE(View(p).GetPixel(0, 0), PackRGB(DefaultPalette[15]));
    QCOMPARE(View(p).GetPixel(0, 1), kAqua);
    QCOMPARE(p.Log().back(), std::string("cols 20, lines 120"));
    QVERIFY(m.WriteBmpBtn->isEnabled());

    // The next Show starts afresh and draws everything.
    m.ShowBtnClick();
    QCOMPARE(View(p).GetPixel(19, 119), PackRGB(DefaultPalette[15]));
  }

  void buttonsThatChangeTheStateWaitWhileADrawingRuns() {
    TestProgram p;
    StartWithArchive(p, {{20, 60, 15}});
    TMainForm& m = p.Main();
    std::vector<bool> during;
    QTimer::singleShot(0, &m, [&] {
      for (QToolButton* b :
           {static_cast<QToolButton*>(m.LoadShpBtn), static_cast<QToolButton*>(m.ShowBtn),
            static_cast<QToolButton*>(m.CollageBtn), static_cast<QToolButton*>(m.LoadBmpBtn),
            static_cast<QToolButton*>(m.LoadPalBtn), static_cast<QToolButton*>(m.CancelBtn),
            static_cast<QToolButton*>(m.HelpBtn)})
        during.push_back(b->isEnabled());
      // A second Show asked for now does nothing.
      m.ShowBtnClick();
    });
    m.ShowBtnClick();
    QCOMPARE(during, (std::vector<bool>{false, false, false, false, false, true, true}));
    const std::vector<std::string> log = p.Log();
    QCOMPARE(std::count(log.begin(), log.end(), std::string("cols 20, lines 60")), 1);
    QVERIFY(m.LoadShpBtn->isEnabled());
    QVERIFY(m.ShowBtn->isEnabled());
    QVERIFY(m.CollageBtn->isEnabled());
    QVERIFY(!m.CvtBmpBtn->isEnabled());
    QVERIFY(!p.Ctx().Busy);
  }

  void everyWindowsWorkWaitsWhileAnyWindowDraws() {
    TestProgram p;
    StartWithArchive(p, {{20, 120, 15}, {20, 120, 14}});
    TMainForm& m = p.Main();
    TKVFix& k = *p.Ctx().KVFix;
    TTransForm& t = *p.Ctx().TransForm;
    m.ShowBtnClick();  // Write BMP and Save collage become usable
    const std::vector<QWidget*> usable{m.CancelBtn, m.HelpBtn,  m.AboutBtn,
                                       m.KVFixBtn,  m.TransBtn, t.SaveScriptBtn};
    const std::vector<QWidget*> waiting{
        m.LoadShpBtn, m.ShowBtn,    m.WriteBmpBtn,    m.LoadBmpBtn, m.LoadPalBtn,
        m.ViewPalBtn, m.CollageBtn, m.SaveCollageBtn, k.MagShowBtn, k.WriteBtn,
        k.XUpDown,    k.YUpDown,    t.TransBtn,       t.PaletteBtn, t.LoadScriptBtn};
    const struct {
      const char* name;
      std::function<void()> draw;
    } drawings[] = {
        {"Show", [&] { m.ShowBtnClick(); }},
        {"collage", [&] { m.CollageBtnClick(); }},
        {"header fix Show", [&] { k.MagShowBtnClick(); }},
    };
    for (const auto& d : drawings) {
      QStringList wrong;  // controls in the wrong state while it draws
      bool looked = false;
      QTimer::singleShot(0, &m, [&] {
        looked = true;
        for (QWidget* w : usable)
          if (!w->isEnabled()) wrong << w->objectName();
        for (QWidget* w : waiting)
          if (w->isEnabled()) wrong << w->objectName();
      });
      d.draw();
      QVERIFY2(looked, d.name);
      QVERIFY2(wrong.empty(), qPrintable(QString(d.name) + ": " + wrong.join(' ')));
      for (QWidget* w : waiting)
        QVERIFY2(w->isEnabled(), qPrintable(QString(d.name) + ": " + w->objectName()));
      QVERIFY(!p.Ctx().Busy);
    }
  }

  void collageLaysOutImagesFromTheChosenNumber() {
    TestProgram p;
    StartWithArchive(p, {{10, 10, 1}, {10, 10, 13}, {10, 10, 14}, {10, 10, 15}});
    TMainForm& m = p.Main();
    m.ImageEdit->setText("2");
    QTest::mouseClick(m.CollageBtn, Qt::LeftButton);
    QVERIFY(p.Ctx().ShpForm->isVisible());
    QCOMPARE(p.Log().back(), std::string("Last #4"));
    QCOMPARE(View(p).GetPixel(0, 0), PackRGB(DefaultPalette[13]));
    QCOMPARE(View(p).GetPixel(10, 0), kAqua);
    QCOMPARE(View(p).GetPixel(11, 0), PackRGB(DefaultPalette[14]));
    QCOMPARE(View(p).GetPixel(22, 9), PackRGB(DefaultPalette[15]));
    QCOMPARE(View(p).GetPixel(33, 0), kAqua);
    QVERIFY(m.SaveCollageBtn->isEnabled());
    QVERIFY(!m.WriteBmpBtn->isEnabled());
    QVERIFY(m.CollageBtn->isEnabled());
  }

  void collageReadsUseFullPalForEachImage() {
    TestProgram p;
    // Three frames of index 20, each with its own palette: entry 20 is (40, 0, 0), (80, 0, 0)
    // and (120, 0, 0) once read.
    std::vector<ArchiveImage> images(3);
    for (std::size_t k = 0; k < images.size(); ++k) {
      Bytes rows;
      for (int y = 0; y < 10; ++y)
        rows.insert(rows.end(), {20, 20, 0});
      images[k].record = Record(Header(10, 10, 0, 0, 9, 9), rows);
      images[k].has_palette = true;
      images[k].palette = {{20, static_cast<std::uint8_t>(10 * (k + 1)), 0, 0}};
    }
    WriteFileBytes(p.Path("a.shp"), BuildArchive(images));
    p.Start();
    p.EndIntro();
    p.dialogs.open_answers.push_back(p.Path("a.shp"));
    TMainForm& m = p.Main();
    m.LoadShpBtnClick();
    m.FullPalCB->setChecked(true);
    // Unticked while the first image is handed over: the others take their own palettes.
    QTimer::singleShot(0, &m, [&] { m.FullPalCB->setChecked(false); });
    m.CollageBtnClick();
    QCOMPARE(View(p).GetPixel(0, 0), PackRGB(DefaultPalette[20]));
    QCOMPARE(View(p).GetPixel(11, 0), PackRGB(80, 0, 0));
    QCOMPARE(View(p).GetPixel(22, 0), PackRGB(120, 0, 0));
  }

  void cancelStopsACollageWithoutItsSummary() {
    TestProgram p;
    StartWithArchive(p, {{10, 10, 1}, {10, 10, 13}, {10, 10, 14}});
    TMainForm& m = p.Main();
    bool cancel_usable = false;
    QTimer::singleShot(0, &m, [&] {
      cancel_usable = m.CancelBtn->isEnabled() && !m.CollageBtn->isEnabled();
      m.CancelBtn->click();
    });
    m.CollageBtnClick();
    QVERIFY(cancel_usable);
    QCOMPARE(p.Log().back(), std::string("9 Max Width"));
    QCOMPARE(View(p).GetPixel(0, 0), kAqua);
    QVERIFY(!m.SaveCollageBtn->isEnabled());
    QVERIFY(m.CollageBtn->isEnabled());
  }

  void paletteViewShowsTheActivePaletteAndCanBeSaved() {
    TestProgram p;
    WriteFileText(p.Path("Pelgrin.cfg"), "1\nq.pal\nsrc.pal\n0 0\n0 0\n0 0\n0 0\n0 0\n");
    WriteFileText(p.Path("q.pal"), PaletteText(3, 3));
    p.Start();
    TMainForm& m = p.Main();
    QTest::mouseClick(m.ViewPalBtn, Qt::LeftButton);
    QVERIFY(p.Ctx().ShpForm->isVisible());
    QCOMPARE(View(p).GetPixel(0, 0), PackRGB(0, 255, 7));
    QCOMPARE(View(p).GetPixel(62, 0), PackRGB(1, 254, 7));
    QCOMPARE(View(p).GetPixel(124, 30), PackRGB(2, 253, 7));
    QVERIFY(m.SaveCollageBtn->isEnabled());
    p.dialogs.save_answers.push_back(p.Path("grid.bmp"));
    m.SaveImageBtnClick();
    const QImage saved(QString::fromStdString(p.Path("grid.bmp")));
    QCOMPARE(saved.pixelColor(62, 0), QColor(1, 254, 7));
  }

  void savingTheViewWritesTheWholeSurface() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}});
    TMainForm& m = p.Main();
    m.ShowBtnClick();
    std::filesystem::create_directory(p.Path("out"));
    p.dialogs.save_answers.push_back(p.Path("out/view.bmp"));
    m.SaveImageBtnClick();
    const FileDialogRequest& request = p.dialogs.save_requests.at(0);
    QCOMPARE(QString::fromStdString(request.filter),
             QString("Windows Bitmaps (*.bmp)|*.BMP|All files (*.*)|*.*|PNG images (*.png)|*.PNG"));
    QCOMPARE(QString::fromStdString(request.default_ext), QString("BMP"));
    QCOMPARE(QString::fromStdString(request.initial_dir), QString());
    QCOMPARE(QString::fromStdString(p.State().BmpDir), QString::fromStdString(p.Dir() + "out/"));

    const QImage saved(QString::fromStdString(p.Path("out/view.bmp")));
    QCOMPARE(saved.size(), QSize(810, 630));
    QCOMPARE(saved.pixelColor(0, 0),
             QColor(DefaultPalette[15].r, DefaultPalette[15].g, DefaultPalette[15].b));
    QCOMPARE(saved.pixelColor(809, 629), QColor(0, 255, 255));

    m.SaveImageBtnClick();  // cancelled
    QCOMPARE(QString::fromStdString(p.dialogs.save_requests.at(1).initial_dir),
             QString::fromStdString(p.Dir() + "out/"));
  }

  void helpOpensTheViewerAtFeatures() {
    TestProgram p;
    p.Start();
    p.Main().HelpBtnClick();
    THelpForm& help = *p.Ctx().HelpForm;
    QVERIFY(help.isVisible());
    QCOMPARE(help.HelpRichEdit->cursorForPosition(QPoint(4, 4)).block().text(),
             QString("Features"));
    // The files written outside the program's directory are named too.
    for (const char* name : {"Bignew.shp", "New_shp.shp", "New_shp.sdf", "Pelgrin.cfg"})
      QVERIFY2(help.HelpRichEdit->toPlainText().contains(name), name);
    QTest::mouseClick(help.Button1, Qt::LeftButton);
    QVERIFY(!help.isVisible());
    // F1 opens it again and Escape closes it, wherever its focus is.
    for (QWidget* focus : std::initializer_list<QWidget*>{help.HelpRichEdit, help.Button1}) {
      QTest::keyClick(p.Main().MessageMemo, Qt::Key_F1);
      QVERIFY(help.isVisible());
      QTest::keyClick(focus, Qt::Key_Escape);
      QVERIFY(!help.isVisible());
    }
  }

  void aboutShowsTheVersionOnItsSecondLine() {
    TestProgram p;
    p.Start();
    QTest::mouseClick(p.Main().AboutBtn, Qt::LeftButton);
    QCOMPARE(p.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(p.dialogs.messages[0].second), QString("About KV Pelgrin"));
    const std::vector<std::string> lines = Lines(p.dialogs.messages[0].first);
    QCOMPARE(lines.size(), std::size_t{6});
    QCOMPARE(QString::fromStdString(lines[1]), QString("   KV Pelgrin Version 0.50-qm"));
    QVERIFY(lines[5].find("Quillmark") != std::string::npos);
  }

  void secondaryWindowsOpenModelessAndOnlyHideWhenClosed() {
    TestProgram p;
    p.Start();
    QTest::mouseClick(p.Main().KVFixBtn, Qt::LeftButton);
    QTest::mouseClick(p.Main().TransBtn, Qt::LeftButton);
    QWidget* kvfix = p.Ctx().KVFix;
    QWidget* trans = p.Ctx().TransForm;
    QVERIFY(kvfix->isVisible() && !kvfix->isModal());
    QVERIFY(trans->isVisible() && !trans->isModal());
    trans->close();
    QVERIFY(!trans->isVisible());
    QTest::mouseClick(p.Main().TransBtn, Qt::LeftButton);
    QVERIFY(trans->isVisible());
  }

  void exceptionFromAHandlerIsShownAndTheProgramGoesOn() {
    TestProgram p;
    StartWithArchive(p, {{4, 3, 15}});
    // A button wired as the windows wire theirs.
    QPushButton faulty("faulty");
    ConnectClick(&faulty, p.Ctx().dialogs, [] { StrToInt("abc"); });
    QTest::mouseClick(&faulty, Qt::LeftButton);
    // Anything else that escapes into the event loop lands in the same box.
    QTimer::singleShot(0, [] { StrToInt("12x"); });
    QTest::qWait(20);
    QCOMPARE(p.dialogs.exceptions,
             (std::vector<std::string>{"'abc' is not a valid integer value",
                                       "'12x' is not a valid integer value"}));
    QTest::mouseClick(p.Main().ShowBtn, Qt::LeftButton);
    QCOMPARE(p.Log().back(), std::string("cols 4, lines 3"));
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::MainFormTest)
#include "main_form_test.moc"
