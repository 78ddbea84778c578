// The Shp Transfer window, driven through its buttons and keys with scripted dialogs:
// runs over source and dest folders in the program's directory, the cell copy buffer,
// Load Script, Save Script and Load Pal.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "transfer/trans_form.h"
#include "ui_test_support.h"

namespace pelgrin::test {

namespace {

namespace fs = std::filesystem;

const std::vector<Frame> kHeroes{{4, 2, 21}, {6, 3, 22}, {3, 5, 23}};
const std::vector<Frame> kArmy{{5, 5, 31}, {2, 2, 32}, {7, 1, 33}};

// A started program with source/heroes.shp and dest/army.shp in its directory.
class TransferSetup {
 public:
  TransferSetup() {
    p.Start();
    fs::create_directory(p.Path("source"));
    fs::create_directory(p.Path("dest"));
    WriteFileBytes(p.Path("source/heroes.shp"), ArchiveOf(kHeroes));
    WriteFileBytes(p.Path("dest/army.shp"), ArchiveOf(kArmy));
    p.Main().TransBtnClick();
  }
  TTransForm& Form() { return *p.Ctx().TransForm; }
  // Types a row's cells into the grid.
  void Type(int row, const ScriptFields& cells) {
    QAbstractItemModel& model = *Form().TransGrid->model();
    for (int column = 0; column < kScriptColumns; ++column)
      model.setData(model.index(row - 1, column),
                    QString::fromStdString(cells[static_cast<std::size_t>(column)]));
  }
  void SetCurrent(int column, int row) {
    Form().TransGrid->setCurrentIndex(Form().TransGrid->model()->index(row - 1, column));
  }
  Bytes Army() { return ReadFileBytes(p.Path("dest/army.shp")); }

  TestProgram p;
};

// The army archive with each (icon, frame) replaced.
Bytes ArmyWith(std::initializer_list<std::pair<std::size_t, Frame>> copies) {
  std::vector<Frame> frames = kArmy;
  for (const auto& [icon, frame] : copies)
    frames[icon] = frame;
  return ArchiveOf(frames);
}

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

class TransFormTest : public QObject {
  Q_OBJECT

 private slots:
  void autoModeRunsTheScriptAndGoesOnAfterAFailingRow() {
    TransferSetup s;
    TTransForm& t = s.Form();
    s.Type(1, {"first", "army", "0", "heroes", "1"});
    s.Type(2, {"", "army", "1", "heroes", "9"});  // heroes has 3 icons
    s.Type(3, {"third", "army", "2", "heroes", "2"});
    s.Type(5, {"after the gap", "army", "1", "heroes", "0"});
    s.SetCurrent(0, 3);
    std::vector<QString> from_during_message;
    s.p.dialogs.on_message = [&] { from_during_message.push_back(t.FromLbl->text()); };
    t.AutoCB->setChecked(true);
    QTest::mouseClick(t.TransBtn, Qt::LeftButton);

    QCOMPARE(s.p.dialogs.messages, (std::vector<std::pair<std::string, std::string>>{
                                       {"Icon 9 of 3 does not exist. Aborting.", "Input Error"}}));
    QCOMPARE(from_during_message, (std::vector<QString>{"source/heroes.shp"}));
    // Rows 1 and 3 took effect, row 2 changed nothing, row 5 lies after the script's end.
    QCOMPARE(s.Army(), ArmyWith({{0, kHeroes[1]}, {2, kHeroes[2]}}));
    QCOMPARE(t.FromLbl->text(), QString("source/heroes.shp Icon 2"));
    QCOMPARE(t.ToLbl->text(), QString("dest/army.shp Icon 2"));
    QVERIFY(!fs::exists(s.p.Path("dest/new.shp")));
    QVERIFY(fs::exists(s.p.Path("TransTmp.sdf")));
    QVERIFY(s.p.dialogs.exceptions.empty());
  }

  void transferRunsTheCurrentRowOrNothing() {
    const struct {
      const char* name;
      int current_row;
      bool two_palettes;
      Bytes army;
      const char* from;
      const char* to;
    } cases[] = {
        {"second row alone", 2, false, ArmyWith({{1, kHeroes[0]}}), "source/heroes.shp Icon 0",
         "dest/army.shp Icon 1"},
        {"remapped from the source palette", 2, true, ArmyWith({{1, {4, 2, 40}}}),
         "source/heroes.shp Icon 0", "dest/army.shp Icon 1"},
        {"incomplete row", 3, false, ArchiveOf(kArmy), "From:", "To:"},
        {"empty row", 7, false, ArchiveOf(kArmy), "From:", "To:"},
    };
    for (const auto& c : cases) {
      TransferSetup s;
      TTransForm& t = s.Form();
      WorkState& ws = s.p.State();
      for (int i = 0; i < 256; ++i)
        ws.LoadedPalette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0};
      ws.SourcePalette[21] = {40, 0, 0};  // heroes icon 0's colour, as loaded entry 40
      s.Type(1, {"", "army", "0", "heroes", "2"});
      s.Type(2, {"", "army", "1", "heroes", "0"});
      s.Type(3, {"no source icon", "army", "2", "heroes", ""});
      s.SetCurrent(4, c.current_row);
      t.PaletteCB->setChecked(c.two_palettes);
      QTest::mouseClick(t.TransBtn, Qt::LeftButton);
      QVERIFY2(s.Army() == c.army, c.name);
      QCOMPARE(t.FromLbl->text(), QString(c.from));
      QCOMPARE(t.ToLbl->text(), QString(c.to));
      QVERIFY2(s.p.dialogs.messages.empty() && s.p.dialogs.exceptions.empty(), c.name);
    }
  }

  void anIconCellWithoutANumberEndsTheWholeRun() {
    TransferSetup s;
    TTransForm& t = s.Form();
    s.Type(1, {"", "army", "0", "heroes", "1"});
    s.Type(2, {"", "army", "1", "heroes", "x1"});
    s.Type(3, {"", "army", "2", "heroes", "2"});
    t.AutoCB->setChecked(true);
    QTest::mouseClick(t.TransBtn, Qt::LeftButton);
    QCOMPARE(s.p.dialogs.exceptions,
             (std::vector<std::string>{"'x1' is not a valid integer value"}));
    QCOMPARE(s.Army(), ArmyWith({{0, kHeroes[1]}}));
    QCOMPARE(t.FromLbl->text(), QString("source/heroes.shp Icon 1"));
  }

  void typingInACellEditsTheScript() {
    TransferSetup s;
    TTransForm& t = s.Form();
    s.SetCurrent(1, 4);
    QTest::keyClick(t.TransGrid, Qt::Key_T);  // the first key opens the cell's editor
    auto* editor = t.TransGrid->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, "iles");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the grid takes the edit in a queued call
    QCOMPARE(Q(t.Script().Cell(kDestFileColumn, 4)), QString("tiles"));
    QCOMPARE(t.CellText(kDestFileColumn, 4), QString("tiles"));
  }

  void ctrlCAndCtrlVCopyOneCellThroughTheBuffer() {
    TransferSetup s;
    TTransForm& t = s.Form();
    s.Type(1, {"alpha", "army", "0", "heroes", "1"});
    s.Type(2, {"beta", "", "", "", ""});
    const auto key = [&](int column, int row, Qt::Key k, Qt::KeyboardModifiers mods) {
      s.SetCurrent(column, row);
      QTest::keyClick(t.TransGrid, k, mods);
    };
    key(3, 2, Qt::Key_V, Qt::ControlModifier);  // nothing copied yet: empties the cell
    QCOMPARE(t.CellText(3, 2), QString());
    key(3, 1, Qt::Key_C, Qt::ControlModifier);
    // The grid's own handling follows: its copy reaches the system clipboard.
    QCOMPARE(QApplication::clipboard()->text(), QString("heroes"));
    key(2, 1, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    key(1, 2, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(t.CellText(1, 2), QString("0"));
    key(0, 1, Qt::Key_C, Qt::AltModifier);  // no Ctrl: the buffer keeps "0"
    t.close();
    QVERIFY(!t.isVisible());
    s.p.Main().TransBtnClick();
    key(4, 2, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(t.CellText(4, 2), QString("0"));
    QCOMPARE(Q(t.Script().Cell(kSrcIconColumn, 2)), QString("0"));
    QCOMPARE(t.CellText(0, 1), QString("alpha"));
  }

  void saveScriptWritesTheCompleteRows() {
    TransferSetup s;
    TTransForm& t = s.Form();
    s.Type(1, {"tank, row", "armour", "12", "allied", "3 "});
    s.Type(2, {"", "army", "0", "heroes", "1"});
    s.Type(4, {"after the gap", "army", "0", "heroes", "1"});
    s.p.dialogs.save_answers.push_back(s.p.Path("script.csv"));
    QTest::mouseClick(t.SaveScriptBtn, Qt::LeftButton);
    QCOMPARE(ReadText(s.p.Path("script.csv")),
             std::string("tank, row,armour,12,allied,3 \n,army,0,heroes,1\n"));
    const FileDialogRequest& request = s.p.dialogs.save_requests.at(0);
    QCOMPARE(Q(request.filter), QString("Standard (*.csv)| *.CSV| All files (*.*)|*.*"));
    QCOMPARE(Q(request.title), QString("Save Script"));
    QCOMPARE(Q(request.default_ext), QString("csv"));
    QCOMPARE(Q(request.initial_dir), QString());

    const std::string nowhere = s.p.Path("missing/script.csv");
    s.p.dialogs.save_answers.push_back(nowhere);
    t.SaveScriptBtnClick();
    QCOMPARE(s.p.dialogs.messages,
             (std::vector<std::pair<std::string, std::string>>{
                 {"Could not open " + nowhere + ". Aborting.", "File Error"}}));
    t.SaveScriptBtnClick();  // cancelled
    QCOMPARE(s.p.dialogs.messages.size(), std::size_t{1});
  }

  void loadScriptFillsTheGridAndEmptiesTheRowsBelow() {
    TransferSetup s;
    TTransForm& t = s.Form();
    for (int row = 1; row <= 6; ++row)
      s.Type(row, {"old", "d" + std::to_string(row), "1", "s", "2"});
    s.Type(5, {"keeps", "", "1", "s", "2"});
    s.SetCurrent(2, 6);
    WriteFileText(s.p.Path("in.csv"), "one,army,0,heroes,1\r\ntwo,tiles,3,heroes,5 x\n");
    s.p.dialogs.open_answers.push_back(s.p.Path("in.csv"));
    QTest::mouseClick(t.LoadScriptBtn, Qt::LeftButton);
    const FileDialogRequest& request = s.p.dialogs.open_requests.at(0);
    QCOMPARE(Q(request.filter), QString("Comma Separated (*.csv)|*.CSV|All files (*.*)|*.*"));
    QCOMPARE(Q(request.initial_dir), Q(s.p.Dir()));
    QCOMPARE(Q(request.file_name), QString());
    const struct {
      int row;
      QStringList cells;
    } rows[] = {
        {1, {"one", "army", "0", "heroes", "1"}},
        {2, {"two", "tiles", "3", "heroes", "5"}},
        {3, {"", "", "", "", ""}},
        {4, {"", "", "", "", ""}},
        {5, {"keeps", "", "1", "s", "2"}},
        {6, {"old", "d6", "1", "s", "2"}},
    };
    for (const auto& r : rows) {
      QStringList shown;
      for (int column = 0; column < kScriptColumns; ++column)
        shown << t.CellText(column, r.row);
      QCOMPARE(shown, r.cells);
    }
    QCOMPARE(t.CurrentRow(), 6);

    s.p.dialogs.open_answers.push_back(s.p.Path("gone.csv"));
    t.LoadScriptBtnClick();
    QCOMPARE(s.p.dialogs.messages,
             (std::vector<std::pair<std::string, std::string>>{
                 {"Could not open " + s.p.Path("gone.csv") + ". Aborting.", "File Error"}}));
    QCOMPARE(t.CellText(1, 2), QString("tiles"));
  }

  void loadPalFillsTheSourcePaletteAlone() {
    TransferSetup s;
    TTransForm& t = s.Form();
    WorkState& ws = s.p.State();
    const Palette loaded = ws.LoadedPalette;
    WriteFileText(s.p.Path("src.pal"), PaletteText(2, 2));
    s.p.dialogs.open_answers.push_back(s.p.Path("src.pal"));
    QTest::mouseClick(t.PaletteBtn, Qt::LeftButton);
    const FileDialogRequest& request = s.p.dialogs.open_requests.at(0);
    QCOMPARE(Q(request.filter), QString("Paintshop pal (*.pal)|*.PAL|All files (*.*)|*.*"));
    QCOMPARE(Q(request.initial_dir), Q(s.p.Dir()));
    QCOMPARE(t.PaletteBtn->toolTip(), QString("Load Source Palette"));
    QCOMPARE(ws.SourcePalette[1], (Rgb{1, 254, 7}));
    QCOMPARE(ws.SourcePalette[2], (Rgb{0, 0, 0}));
    QVERIFY(ws.LoadedPalette == loaded);
    QCOMPARE(Q(ws.SourcePaletteName), QString("src.pal"));
    QCOMPARE(t.PaletteLbl->text(), QString("src.pal"));

    s.p.dialogs.open_answers.push_back(s.p.Path("gone.pal"));
    t.PaletteBtnClick();
    QCOMPARE(s.p.dialogs.errors,
             (std::vector<std::string>{"Could not open file " + s.p.Path("gone.pal") + "."}));
    QCOMPARE(t.PaletteLbl->text(), QString("src.pal"));
    QCOMPARE(Q(ws.SourcePaletteName), QString("src.pal"));
    QCOMPARE(ws.SourcePalette[1], (Rgb{1, 254, 7}));
  }
};

}  // namespace pelgrin::test

PELGRIN_UI_TEST_MAIN(pelgrin::test::TransFormTest)
#include "trans_form_test.moc"
