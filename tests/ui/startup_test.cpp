// Start-up: the windows and their places, the settings file, the start-up palette, the
// command-line file, the intro and F1.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "io/file_faults.h"
#include "io/files.h"
#include "ui/bmp_form.h"
#include "ui/form_geometry.h"
#include "ui/help_form.h"
#include "ui/intro_jpeg.h"
#include "ui/intro_picture.h"
#include "ui/kvfix_form.h"
#include "ui/picture_button.h"
#include "ui/shp_form.h"
#include "ui/surface_view.h"
#include "ui/trans_form.h"
#include "ui/up_down.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

const char* kEightLines = "1\ndesert.pal\nsrc.pal\n10 20\n30 40\n50 60\n70 80\n90 100\n";

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

WindowPositions PositionsOf(AppContext& ctx) {
  return {PositionOf(*ctx.MainForm), PositionOf(*ctx.BmpForm), PositionOf(*ctx.ShpForm),
          PositionOf(*ctx.KVFix), PositionOf(*ctx.TransForm)};
}

// The text of the first line the help viewer shows at its top.
QString TopLineOfHelp(THelpForm& help) {
  return help.HelpRichEdit->cursorForPosition(QPoint(4, 4)).block().text();
}

// Makes one kind of file operation fail, as a directory the program may not write to
// would.
class FailingOp : public FileFaults {
 public:
  explicit FailingOp(Op op) : op_(op), previous_(SetFileFaults(this)) {}
  ~FailingOp() override { SetFileFaults(previous_); }
  bool ShouldFail(Op op, const std::string&) override { return op == op_; }

 private:
  Op op_;
  FileFaults* previous_;
};

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void windowsHaveTheirCaptionsSizesAndStartHidden() {
    TestProgram p;
    p.Start();
    AppContext& ctx = p.Ctx();
    const struct {
      QWidget* window;
      const char* caption;
      QSize outer;
    } windows[] = {
        {ctx.MainForm, "Pelgrin - Quillmark", {403, 320}},
        {ctx.ShpForm, "Shp Image", {818, 657}},
        {ctx.KVFix, "Fix KV Header ", {541, 486}},
        {ctx.HelpForm, "Help for Pelgrin", {647, 437}},
        {ctx.TransForm, "Shp Transfer", {627, 413}},
    };
    for (const auto& w : windows) {
      QCOMPARE(w.window->windowTitle(), QString(w.caption));
      QCOMPARE(DesignSize(*w.window), w.outer);
      QVERIFY(!w.window->isVisible());
    }
    QCOMPARE(ctx.BmpForm->windowTitle(), QString("Bmp Image"));
    QCOMPARE(ctx.BmpForm->BmpImage->size(), QSize(800, 600));
    QCOMPARE(ctx.ShpForm->ShpImage->size(), QSize(810, 630));
    QCOMPARE(ctx.HelpForm->Button1->text(), QString("Close"));
  }

  void buttonsHaveTheirHintsPlacesAndStates() {
    TestProgram p;
    p.Start();
    TMainForm& m = p.Main();
    const struct {
      PictureButton* button;
      const char* hint;
      QPoint at;
      bool enabled;
    } buttons[] = {
        {m.LoadShpBtn, "Load SHP file", {8, 24}, true},
        {m.ShowBtn, "Show Image #", {56, 24}, false},
        {m.WriteBmpBtn, "Save SHP image as BMP", {104, 24}, false},
        {m.LoadBmpBtn, "Load BMP from disk", {152, 24}, true},
        {m.CvtBmpBtn, "Convert BMP to SHP", {200, 24}, false},
        {m.InsertBtn, "Replace Image # with new SHP image", {248, 24}, false},
        {m.AddBtn, "Add image to end of SHP file", {296, 24}, false},
        {m.TransBtn, "Transfer SHP's", {344, 24}, true},
        {m.CancelBtn, "Stop Process", {344, 72}, true},
        {m.LoadPalBtn, "Load a color palette", {8, 176}, true},
        {m.ViewPalBtn, "Display current palette", {56, 176}, false},
        {m.CollageBtn, "View collage", {104, 176}, false},
        {m.SaveCollageBtn, "Save SHP collage as bmp", {8, 224}, false},
        {m.HelpBtn, "Help !", {56, 224}, true},
        {m.AboutBtn, "About KV Pelgrin", {104, 224}, true},
        {m.KVFixBtn, "Fix Header for Korvane", {344, 224}, true},
    };
    for (const auto& b : buttons) {
      QCOMPARE(b.button->toolTip(), QString(b.hint));
      QCOMPARE(b.button->geometry(), QRect(b.at, QSize(41, 41)));
      QCOMPARE(b.button->isEnabled(), b.enabled);
      // The disabled picture is a picture of its own, not the normal one.
      const QIcon icon = b.button->icon();
      QVERIFY(icon.pixmap(32, QIcon::Disabled).toImage() != icon.pixmap(32).toImage());
    }
    QCOMPARE(m.ImageEdit->text(), QString("1"));
    QCOMPARE(m.ImageUpDown->Max(), 3000);
    QCOMPARE(m.PaletteLbl->text(), QString("The Quillmark Palette is loaded at start up "));
    QCOMPARE(m.EditLbl->text(), QString("Editing: ?"));
  }

  void withoutSettingsNothingIsUsedOrWritten() {
    TestProgram p;
    p.Start();
    AppContext& ctx = p.Ctx();
    QCOMPARE(QString::fromStdString(ctx.settings.SettingsPath),
             QString::fromStdString(p.Dir() + "Pelgrin.cfg"));
    QCOMPARE(PositionOf(*ctx.MainForm), (WindowPosition{341, 132}));
    for (QWidget* w : {static_cast<QWidget*>(ctx.ShpForm), static_cast<QWidget*>(ctx.BmpForm),
                       static_cast<QWidget*>(ctx.KVFix), static_cast<QWidget*>(ctx.TransForm)})
      QCOMPARE(PositionOf(*w), (WindowPosition{0, 0}));
    QVERIFY(!p.Main().FullPalCB->isChecked());
    QVERIFY(p.State().LoadedPalette == DefaultPalette);
    QCOMPARE(QString::fromStdString(p.State().NewImagePath),
             QString::fromStdString(p.Dir() + "New_shp.sdf"));
    QCOMPARE(QString::fromStdString(p.State().TempShpPath),
             QString::fromStdString(p.Dir() + "~temp.shp"));
    p.Main().FormClose();
    QVERIFY(!std::filesystem::exists(p.Path("Pelgrin.cfg")));
  }

  void settingsRestorePositionsAndPaletteAndAreRewritten() {
    TestProgram p;
    WriteFileText(p.Path("Pelgrin.cfg"), kEightLines);
    WriteFileText(p.Path("desert.pal"), PaletteText(300, 300));
    p.Start();
    AppContext& ctx = p.Ctx();
    QVERIFY(PositionsOf(ctx) ==
            (WindowPositions{{{10, 20}, {30, 40}, {50, 60}, {70, 80}, {90, 100}}}));
    // 300 declared: exactly 256 entries, none wrapped round onto the first ones.
    QVERIFY((p.State().LoadedPalette[0] == Rgb{0, 255, 7}));
    QVERIFY((p.State().LoadedPalette[255] == Rgb{255, 0, 7}));
    QVERIFY(p.State().ActivePalette == p.State().LoadedPalette);
    QCOMPARE(p.Main().PaletteLbl->text(), QString("desert.pal"));
    QVERIFY(p.Main().FullPalCB->isChecked());
    QVERIFY(p.Main().ViewPalBtn->isEnabled());

    ctx.ShpForm->move(111, 222);
    ctx.MainForm->move(5, 6);
    p.Main().FormClose();
    QCOMPARE(QString::fromStdString(ReadText(p.Path("Pelgrin.cfg"))),
             QString("1\ndesert.pal\nsrc.pal\n5 6\n30 40\n111 222\n70 80\n90 100\n"));
  }

  void savedPlacesAreKeptOnTheDesktop() {
    // The test desktop: a left screen of 1600 x 1024 and a right one of 1280 x 800 beside it.
    const struct {
      const char* line;        // lines 4 to 8 alike
      WindowPositions placed;  // main, Bmp Image, Shp Image, header fix, Shp Transfer
    } cases[] = {
        // Beyond every screen: whole on the nearest one.
        {"2147483647 2147483647",
         {{{2477, 480}, {2072, 173}, {2062, 143}, {2339, 314}, {2253, 387}}}},
        {"-2147483648 -2147483648", {{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}}},
        // On the right screen, reaching past its bottom: moved up onto it.
        {"1700 700", {{{1700, 480}, {1700, 173}, {1700, 143}, {1700, 314}, {1700, 387}}}},
    };
    for (const auto& c : cases) {
      TestProgram p;
      std::string text = "1\ndesert.pal\nsrc.pal\n";
      for (int line = 4; line <= 8; ++line)
        text += std::string(c.line) + "\n";
      WriteFileText(p.Path("Pelgrin.cfg"), text);
      p.Start();
      QVERIFY2(PositionsOf(p.Ctx()) == c.placed, c.line);
      p.Main().FormClose();
      std::string written = "1\ndesert.pal\nsrc.pal\n";
      for (const WindowPosition& at : c.placed)
        written += std::to_string(at.Left) + " " + std::to_string(at.Top) + "\n";
      QCOMPARE(QString::fromStdString(ReadText(p.Path("Pelgrin.cfg"))),
               QString::fromStdString(written));
    }
  }

  void startUpPaletteDeclaringSixteenChangesSixteenEntries() {
    TestProgram p;
    WriteFileText(p.Path("Pelgrin.cfg"), kEightLines);
    WriteFileText(p.Path("desert.pal"), PaletteText(16, 40));
    p.Start();
    QVERIFY((p.State().LoadedPalette[15] == Rgb{15, 240, 7}));
    QVERIFY(p.State().LoadedPalette[16] == DefaultPalette[16]);
    QVERIFY((p.State().ActivePalette[16] == Rgb{0, 0, 0}));
  }

  void settingsThatCannotBeWrittenKeepTheOldFile() {
    for (FileFaults::Op op : {FileFaults::Op::kCreate, FileFaults::Op::kWrite,
                              FileFaults::Op::kClose, FileFaults::Op::kRename}) {
      TestProgram p;
      WriteFileText(p.Path("Pelgrin.cfg"), kEightLines);
      p.Start();
      p.Ctx().ShpForm->move(300, 300);
      {
        FailingOp fault(op);
        p.Main().FormClose();
      }
      QCOMPARE(QString::fromStdString(ReadText(p.Path("Pelgrin.cfg"))), QString(kEightLines));
      QCOMPARE(std::distance(std::filesystem::directory_iterator(p.Dir()),
                             std::filesystem::directory_iterator()),
               std::ptrdiff_t{1});
      QVERIFY(p.dialogs.errors.empty());
    }
  }

  void settingsSwitchedOffAreNeitherUsedNorRewritten() {
    TestProgram p;
    const std::string off = "0\ndesert.pal\nsrc.pal\n10 20\n30 40\n50 60\n70 80\n90 100\n";
    WriteFileText(p.Path("Pelgrin.cfg"), off);
    WriteFileText(p.Path("desert.pal"), PaletteText(4, 4));
    p.Start();
    QCOMPARE(PositionOf(*p.Ctx().ShpForm), (WindowPosition{0, 0}));
    QVERIFY(p.State().LoadedPalette == DefaultPalette);
    QVERIFY(!p.Main().ViewPalBtn->isEnabled());
    p.Ctx().ShpForm->move(40, 40);
    p.Main().FormClose();
    QCOMPARE(QString::fromStdString(ReadText(p.Path("Pelgrin.cfg"))), QString::fromStdString(off));
  }

  void paletteInASubdirectoryIsWrittenBackAsItsFileName() {
    TestProgram p;
    std::filesystem::create_directory(p.Path("pals"));
    WriteFileText(p.Path("pals/x.pal"), PaletteText(2, 2));
    WriteFileText(p.Path("Pelgrin.cfg"), "1\npals/x.pal\nsrc.pal\n0 0\n0 0\n0 0\n0 0\n0 0\n");
    p.Start();
    QCOMPARE(p.Main().PaletteLbl->text(), QString("x.pal"));
    QVERIFY((p.State().LoadedPalette[1] == Rgb{1, 254, 7}));
    p.Main().FormClose();
    QCOMPARE(QString::fromStdString(Lines(ReadText(p.Path("Pelgrin.cfg")))[1]), QString("x.pal"));
  }

  void missingStartUpPaletteKeepsTheLabelButItsNameIsKept() {
    TestProgram p;
    WriteFileText(p.Path("Pelgrin.cfg"), kEightLines);
    p.Start();
    QCOMPARE(p.Main().PaletteLbl->text(), QString("The Quillmark Palette is loaded at start up "));
    QVERIFY(!p.Main().FullPalCB->isChecked());
    QVERIFY(p.dialogs.errors.empty());
    p.Main().FormClose();
    QCOMPARE(QString::fromStdString(Lines(ReadText(p.Path("Pelgrin.cfg")))[1]),
             QString("desert.pal"));
  }

  void commandLineFileIsOpenedByThePathAsGiven() {
    TestProgram p;
    std::filesystem::create_directory(p.Path("Images"));
    const std::string mixed = p.Path("Images/UNITS.SHP");
    WriteFileBytes(mixed, ArchiveOf({{3, 2, 15}, {5, 4, 15}}));
    p.Start({mixed, "ignored.txt"});
    QCOMPARE(p.dialogs.open_requests.size(), std::size_t{0});
    QCOMPARE(QString::fromStdString(p.State().ShpPath), QString::fromStdString(mixed));
    QVERIFY(!p.State().OpenFromCommandLine);
    QCOMPARE(p.Log(),
             (std::vector<std::string>{"UNITS.SHP", "2 Icons", "3 Max Height", "4 Max Width"}));
    QVERIFY(p.Main().ShowBtn->isEnabled());
  }

  void commandLineFileWithoutShpExtensionOpensNothing() {
    TestProgram p;
    WriteFileBytes(p.Path("readme.txt"), ArchiveOf({{3, 2, 15}}));
    p.Start({p.Path("readme.txt")});
    QCOMPARE(p.Log(),
             (std::vector<std::string>{"Welcome to Pelgrin", "the shp file editor", " ", " "}));
    QCOMPARE(p.Main().EditLbl->text(), QString("Editing: ?"));
    QVERIFY(p.dialogs.errors.empty());
  }

  void introEndsOnTheFourthTickAndIgnoresTheMouse() {
    TestProgram p;
    p.Start();
    TMainForm& m = p.Main();
    m.show();
    QCOMPARE(m.IntroImage->geometry(), QRect(35, 8, 325, 200));
    QCOMPARE(m.IntroImage->Image().size(), QSize(463, 345));
    QVERIFY(m.Timer1->isActive());
    QCOMPARE(m.Timer1->interval(), 1000);
    QTest::mouseClick(m.IntroImage, Qt::LeftButton);
    for (int tick = 1; tick <= 3; ++tick) {
      m.Timer1Timer();
      QVERIFY(!m.IntroImage->isHidden());
      QVERIFY(m.MessageMemo->isHidden());
    }
    m.Timer1Timer();
    QVERIFY(m.IntroImage->isHidden());
    QVERIFY(!m.Timer1->isActive());
    for (QWidget* w : std::initializer_list<QWidget*>{m.ImageEdit, m.ImageUpDown, m.MessageMemo,
                                                      m.HeaderCB, m.FullPalCB, m.KVNoFlashCB})
      QVERIFY(w->isVisible());
  }

  void introTimerTicksOnItsOwn() {
    TestProgram p;
    p.Start();
    p.Main().Timer1->setInterval(1);
    QTRY_VERIFY_WITH_TIMEOUT(p.Main().IntroImage->isHidden(), 2000);
    QCOMPARE(p.Main().IntroTicks, 4);
  }

  void f1FromAnyControlOpensHelpAtFeatures() {
    TestProgram p;
    p.Start();
    TMainForm& m = p.Main();
    m.show();
    p.EndIntro();
    for (QWidget* target :
         std::initializer_list<QWidget*>{m.MessageMemo, m.ImageEdit, m.FullPalCB, &m}) {
      p.Ctx().HelpForm->hide();
      QTest::keyClick(target, Qt::Key_F1);
      QVERIFY(p.Ctx().HelpForm->isVisible());
      QCOMPARE(TopLineOfHelp(*p.Ctx().HelpForm), QString("Features"));
    }
    // Other keys still reach the controls.
    m.ImageEdit->setFocus();
    QTest::keyClick(m.ImageEdit, Qt::Key_7);
    QCOMPARE(m.ImageEdit->text(), QString("17"));
  }

  void programDirectoryComesFromTheProgramsPath() {
    QCOMPARE(QString::fromStdString(ProgramPath("/opt/pelgrin/bin/pelgrin")),
             QString("/opt/pelgrin/bin/pelgrin"));
    // Found through PATH: argv[0] names no directory, so the system's answer is used.
    QCOMPARE(QString::fromStdString(ProgramPath("pelgrin")),
             QCoreApplication::applicationFilePath());
    TestProgram p;
    p.Start();
    QCOMPARE(QString::fromStdString(p.State().ProgramDir), QString::fromStdString(p.Dir()));
  }

  void introJpegDecoderRefusesWhatItCannotRead() {
    QFile intro(":/intro/intro.jpg");
    QVERIFY(intro.open(QIODevice::ReadOnly));
    const QByteArray bytes = intro.readAll();
    const auto span = [](const QByteArray& b) {
      return std::span(reinterpret_cast<const std::uint8_t*>(b.data()),
                       static_cast<std::size_t>(b.size()));
    };
    const auto whole = DecodeJpeg(span(bytes));
    QVERIFY(whole.has_value());
    QCOMPARE(whole->Width(), 463);
    QVERIFY(!DecodeJpeg(span(QByteArray())).has_value());
    QVERIFY(!DecodeJpeg(span(QByteArray(500, 'x'))).has_value());
    QVERIFY(!DecodeJpeg(span(bytes.left(100))).has_value());
    QVERIFY(!DecodeJpeg(span(bytes), 1000).has_value());
    // Cut inside the picture data: what is there is decoded, the rest filled in.
    const auto cut = DecodeJpeg(span(bytes.left(bytes.size() / 2)));
    QVERIFY(cut.has_value());
    QCOMPARE(cut->Height(), 345);
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::StartupTest)
#include "startup_test.moc"
