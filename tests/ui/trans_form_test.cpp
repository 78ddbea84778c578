// The Shp Transfer window through its buttons and keys, with scripted dialogs: runs over
// the source and dest folders of the program's directory, the cell copy buffer, scripts
// and Load Pal.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "ui/trans_form.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::pair<std::string, std::string>>;

const std::vector<Frame> kHeroes{{4, 2, 21}, {6, 3, 22}, {3, 5, 23}};
const std::vector<Frame> kArmy{{5, 5, 31}, {2, 2, 32}, {7, 1, 33}};

// A started program with source/heroes.shp and dest/army.shp, its transfer window shown.
struct TransferSetup {
  TransferSetup() {
    fs::create_directory(p.Path("source"));
    fs::create_directory(p.Path("dest"));
    WriteFileBytes(p.Path("source/heroes.shp"), ArchiveOf(kHeroes));
    WriteFileBytes(p.Path("dest/army.shp"), ArchiveOf(kArmy));
    p.Main().TransBtnClick();
  }
  // Types a row into the grid, cell by cell.
  void Type(int row, const QStringList& cells) {
    for (int column = 0; column < kScriptColumns; ++column)
      t.TransGrid->model()->setData(t.TransGrid->model()->index(row - 1, column), cells[column]);
  }
  void SetCurrent(int column, int row) {
    t.TransGrid->setCurrentIndex(t.TransGrid->model()->index(row - 1, column));
  }
  void Key(int column, int row, Qt::Key key, Qt::KeyboardModifiers mods) {
    SetCurrent(column, row);
    QTest::keyClick(t.TransGrid, key, mods);
  }
  static TTransForm& Started(TestProgram& program) {
    program.Start();
    return *program.Ctx().TransForm;
  }
  Bytes Army() { return ReadFileBytes(p.Path("dest/army.shp")); }

  TestProgram p;
  TTransForm& t = Started(p);
};

// The army archive with each (icon, frame) replaced.
Bytes ArmyWith(std::initializer_list<std::pair<std::size_t, Frame>> copies) {
  std::vector<Frame> frames = kArmy;
  for (const auto& [icon, frame] : copies)
    frames[icon] = frame;
  return ArchiveOf(frames);
}

}  // namespace

class TransFormTest : public QObject {
  Q_OBJECT

 private slots:
  void autoModeRunsTheScriptAndGoesOnAfterAFailingRow() {
    TransferSetup s;
    s.Type(1, {"first", "army", "0", "heroes", "1"});
    s.Type(2, {"", "army", "1", "heroes", "9"});  // heroes has 3 icons
    s.Type(3, {"third", "army", "2", "heroes", "2"});
    s.Type(5, {"after the end", "army", "1", "heroes", "0"});
    s.SetCurrent(0, 3);  // Auto Mode starts at row 1 whatever the current row
    QStringList from_during_message;
    s.p.dialogs.on_message = [&] { from_during_message << s.t.FromLbl->text(); };
    s.t.AutoCB->setChecked(true);
    QTest::mouseClick(s.t.TransBtn, Qt::LeftButton);
    QCOMPARE(s.p.dialogs.messages,
             (Messages{{"Icon 9 of 3 does not exist. Aborting.", "Input Error"}}));
    QCOMPARE(from_during_message, QStringList{"source/heroes.shp"});
    QVERIFY(s.Army() == ArmyWith({{0, kHeroes[1]}, {2, kHeroes[2]}}));
    QCOMPARE(s.t.FromLbl->text(), QString("source/heroes.shp Icon 2"));
    QCOMPARE(s.t.ToLbl->text(), QString("dest/army.shp Icon 2"));
    QVERIFY(!fs::exists(s.p.Path("dest/new.shp")));
  }

  void transferRunsTheCurrentRowOrNothing() {
    const struct {
      int current_row;
      bool two_palettes;
      Bytes army;
      QString from;
      std::vector<std::string> exceptions;
    } cases[] = {
        {2, false, ArmyWith({{1, kHeroes[0]}}), "source/heroes.shp Icon 0", {}},
        {2, true, ArmyWith({{1, {4, 2, 40}}}), "source/heroes.shp Icon 0", {}},  // remapped
        {3, false, ArchiveOf(kArmy), "From:", {}},                               // incomplete
        {7, false, ArchiveOf(kArmy), "From:", {}},                               // empty
        {4, false, ArchiveOf(kArmy), "From:", {"'x1' is not a valid integer value"}},
    };
    for (const auto& c : cases) {
      TransferSetup s;
      WorkState& ws = s.p.State();
      for (int i = 0; i < 256; ++i)
        ws.LoadedPalette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0};
      ws.SourcePalette[21] = {40, 0, 0};  // heroes icon 0's colour is loaded entry 40
      s.Type(1, {"", "army", "0", "heroes", "2"});
      s.Type(2, {"", "army", "1", "heroes", "0"});
      s.Type(3, {"no source icon", "army", "2", "heroes", ""});
      s.Type(4, {"", "army", "2", "heroes", "x1"});
      s.SetCurrent(4, c.current_row);
      s.t.PaletteCB->setChecked(c.two_palettes);
      QTest::mouseClick(s.t.TransBtn, Qt::LeftButton);
      QVERIFY(s.Army() == c.army);
      QCOMPARE(s.t.FromLbl->text(), c.from);
      QCOMPARE(s.p.dialogs.exceptions, c.exceptions);
      QVERIFY(s.p.dialogs.messages.empty());
    }
  }

  void ctrlCAndCtrlVCopyOneCellThroughTheBuffer() {
    TransferSetup s;
    s.Type(1, {"alpha", "army", "0", "heroes", "1"});
    s.Type(2, {"beta", "", "", "", ""});
    s.Key(0, 2, Qt::Key_V, Qt::ControlModifier);  // nothing copied yet: empties the cell
    QCOMPARE(s.t.CellText(0, 2), QString());
    QApplication::clipboard()->setText("kept");
    s.Key(3, 1, Qt::Key_C, Qt::ControlModifier);
    // The tool's buffer alone takes the cell: the system clipboard keeps its text.
    QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
    s.Key(2, 1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    s.Key(1, 2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(s.t.CellText(1, 2), QString("0"));
    s.Key(0, 1, Qt::Key_C, Qt::AltModifier);  // no Ctrl: the buffer keeps "0"
    s.t.close();
    s.p.Main().TransBtnClick();
    s.Key(4, 2, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(QString::fromStdString(s.t.Script().Cell(kSrcIconColumn, 2)), QString("0"));
  }

  void ctrlCAndCtrlVInACellBeingEditedEndTheEditFirst() {
    TransferSetup s;
    QApplication::clipboard()->setText("kept");
    QAbstractItemModel& model = *s.t.TransGrid->model();
    // Types into the cell's editor, then presses Ctrl+key there.
    const auto edit_then = [&](int column, int row, const QString& typed, Qt::Key key) {
      s.SetCurrent(column, row);
      s.t.TransGrid->edit(model.index(row - 1, column));
      QWidget* editor = s.t.TransGrid->indexWidget(model.index(row - 1, column));
      QVERIFY(editor != nullptr);
      QTest::keyClicks(editor, typed);
      QTest::keyClick(editor, key, Qt::ControlModifier);
      QCOMPARE(s.t.TransGrid->indexWidget(model.index(row - 1, column)), nullptr);  // edit ended
    };
    edit_then(1, 1, "navy", Qt::Key_C);
    QCOMPARE(s.t.CellText(1, 1), QString("navy"));  // the edit was kept
    edit_then(3, 2, "zz", Qt::Key_V);
    QCOMPARE(s.t.CellText(3, 2), QString("navy"));
    QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
  }

  void scriptsAreSavedAndLoadedThroughTheDialogs() {
    TransferSetup s;
    for (int row = 1; row <= 5; ++row)
      s.Type(row, {"tank, row", "d" + QString::number(row), "12", "allied", "3 "});
    s.Type(4, {"keeps", "", "1", "s", "2"});
    s.p.dialogs.save_answers = {s.p.Path("out.csv"), s.p.Path("no/out.csv")};
    s.t.SaveScriptBtnClick();
    s.t.SaveScriptBtnClick();
    const Bytes saved = ReadFileBytes(s.p.Path("out.csv"));
    QCOMPARE(std::string(saved.begin(), saved.end()),
             "tank, row,d1,12,allied,3 \ntank, row,d2,12,allied,3 \ntank, row,d3,12,allied,3 \n");
    const FileDialogRequest& save = s.p.dialogs.save_requests.at(0);
    QVERIFY(save.filter == "Standard (*.csv)| *.CSV| All files (*.*)|*.*" &&
            save.title == "Save Script" && save.default_ext == "csv" && save.initial_dir.empty());

    WriteFileText(s.p.Path("in.csv"), "one,army,0,heroes,1\r\n");
    s.p.dialogs.open_answers = {s.p.Path("in.csv"), s.p.Path("gone.csv")};
    QTest::mouseClick(s.t.LoadScriptBtn, Qt::LeftButton);
    s.t.LoadScriptBtnClick();
    const FileDialogRequest& load = s.p.dialogs.open_requests.at(0);
    QVERIFY(load.filter == "Comma Separated (*.csv)|*.CSV|All files (*.*)|*.*" &&
            load.initial_dir == s.p.Dir() && load.file_name.empty());
    QStringList shown;
    for (int row = 1; row <= 5; ++row)
      shown << s.t.CellText(0, row) + "|" + s.t.CellText(1, row) + "|" + s.t.CellText(4, row);
    // Rows 2 and 3 are emptied down to row 4, whose Dest File is empty.
    QCOMPARE(shown, QStringList({"one|army|1", "||", "||", "keeps||2", "tank, row|d5|3 "}));
    QCOMPARE(s.p.dialogs.messages,
             (Messages{{"Could not open " + s.p.Path("no/out.csv") + ". Aborting.", "File Error"},
                       {"Could not open " + s.p.Path("gone.csv") + ". Aborting.", "File Error"}}));
  }

  void loadPalFillsTheSourcePaletteAlone() {
    TransferSetup s;
    WorkState& ws = s.p.State();
    const Palette loaded = ws.LoadedPalette;
    WriteFileText(s.p.Path("src.pal"), PaletteText(2, 2));
    s.p.dialogs.open_answers = {s.p.Path("src.pal"), s.p.Path("gone.pal")};
    QTest::mouseClick(s.t.PaletteBtn, Qt::LeftButton);
    s.t.PaletteBtnClick();
    const FileDialogRequest& request = s.p.dialogs.open_requests.at(0);
    QVERIFY(request.filter == "Paintshop pal (*.pal)|*.PAL|All files (*.*)|*.*" &&
            request.initial_dir == s.p.Dir());
    QVERIFY(ws.SourcePalette[1] == (Rgb{1, 254, 7}) && ws.SourcePalette[2] == Rgb{});
    QVERIFY(ws.LoadedPalette == loaded);
    // The second file could not be opened: reported, and nothing changed.
    QCOMPARE(s.p.dialogs.errors,
             (std::vector<std::string>{"Could not open file " + s.p.Path("gone.pal") + "."}));
    QCOMPARE(QString::fromStdString(ws.SourcePaletteName), QString("src.pal"));
    QCOMPARE(s.t.PaletteLbl->text(), QString("src.pal"));
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::TransFormTest)
#include "trans_form_test.moc"
