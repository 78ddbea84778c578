#include "ui/trans_form.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <array>

#include "io/paths.h"
#include "io/text.h"
#include "palette/palette_file.h"
#include "ui/app_context.h"
#include "ui/form_geometry.h"
#include "ui/guarded.h"
#include "ui/main_form.h"

namespace pelgrin {
namespace {

constexpr const char* kSaveScriptFilter = "Standard (*.csv)| *.CSV| All files (*.*)|*.*";
constexpr const char* kLoadScriptFilter = "Comma Separated (*.csv)|*.CSV|All files (*.*)|*.*";
constexpr const char* kPaletteFilter = "Paintshop pal (*.pal)|*.PAL|All files (*.*)|*.*";
constexpr std::string_view kCouldNotOpenFile = "Could not open file %s.";

constexpr std::array<const char*, kScriptColumns> kColumnTitles{"Description", "Dest File", "D. I#",
                                                                "Src File", "Src I#"};
constexpr std::array<int, kScriptColumns> kColumnWidths{120, 100, 40, 100, 40};
constexpr int kGridWidth = 427;
constexpr int kGridTop = 130;
constexpr int kGridRowHeight = 22;
constexpr int kLabelWidth = 600;

QString ToQt(const std::string& text) {
  return QString::fromStdString(text);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int x, int y) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setGeometry(x, y, 75, 25);
  return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* text, int x, int y) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setGeometry(x, y, 113, 17);
  return box;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setGeometry(x, y, kLabelWidth, 16);
  return label;
}

// Ctrl+C or Ctrl+V, whatever other modifiers are held: the keys of the tool's copy buffer.
bool IsCopyBufferKey(const QKeyEvent& key) {
  return key.modifiers().testFlag(Qt::ControlModifier) &&
         (key.key() == Qt::Key_C || key.key() == Qt::Key_V);
}

}  // namespace

// The grid's cell editor reports its keys to the window, so that Ctrl+C and Ctrl+V reach
// the tool's copy buffer while a cell is being edited too.
class TTransForm::CellDelegate : public QStyledItemDelegate {
 public:
  CellDelegate(QObject* key_watcher, QObject* parent)
      : QStyledItemDelegate(parent), key_watcher_(key_watcher) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor != nullptr) editor->installEventFilter(key_watcher_);
    return editor;
  }

  // Ends an edit, keeping the text typed so far in the cell.
  void Commit(QWidget* editor) {
    emit commitData(editor);
    emit closeEditor(editor);
  }

 private:
  QObject* key_watcher_;
};

ScriptGridModel::ScriptGridModel(ScriptTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int ScriptGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kScriptRows;
}

int ScriptGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kScriptColumns;
}

QVariant ScriptGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return ToQt(table_.Cell(index.column(), index.row() + 1));
}

bool ScriptGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  table_.SetCell(index.column(), index.row() + 1, value.toString().toStdString());
  emit dataChanged(index, index);
  return true;
}

QVariant ScriptGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal && section >= 0 && section < kScriptColumns)
    return QString(kColumnTitles[static_cast<std::size_t>(section)]);
  return section + 1;
}

Qt::ItemFlags ScriptGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void ScriptGridModel::Refresh() {
  emit dataChanged(index(0, 0), index(kScriptRows - 1, kScriptColumns - 1));
}

// What a run reports: its message boxes through the program's dialogs, shown with the
// labels of the row that speaks.
class TTransForm::RunReporter : public Reporter {
 public:
  explicit RunReporter(TTransForm& form) : form_(form) {}
  void Log(std::string_view line) override { form_.ctx_.MainForm->Log(line); }
  void ClearLog() override { form_.ctx_.MainForm->ClearLog(); }
  void ShowError(std::string_view text) override {
    form_.ShowLabels();
    form_.ctx_.dialogs.ErrorBox(text);
  }
  void Message(std::string_view text, std::string_view caption) override {
    form_.ShowLabels();
    form_.ctx_.dialogs.Message(text, caption);
  }

 private:
  TTransForm& form_;
};

TTransForm::TTransForm(AppContext& ctx) : QWidget(nullptr), ctx_(ctx) {
  setObjectName("TransForm");
  setWindowTitle("Shp Transfer");
  SetDesignSize(*this, 627, 413);
  CreateControls();
  CreateGrid();
  ConnectControls();
  FormCreate();
}

void TTransForm::CreateControls() {
  TransBtn = MakeButton(this, "TransBtn", "Transfer", 8, 8);
  AutoCB = MakeCheckBox(this, "AutoCB", "Auto Mode", 96, 12);
  PaletteCB = MakeCheckBox(this, "PaletteCB", "Use 2 Palettes", 184, 12);
  LoadScriptBtn = MakeButton(this, "LoadScriptBtn", "Load Script", 8, 40);
  SaveScriptBtn = MakeButton(this, "SaveScriptBtn", "Save Script", 96, 40);
  PaletteBtn = MakeButton(this, "PaletteBtn", "Load Pal", 184, 40);
  PaletteBtn->setToolTip("Load Source Palette");
  PaletteLbl = MakeLabel(this, "PaletteLbl", "No 2nd Palette", 184, 70);
  FromLbl = MakeLabel(this, "FromLbl", "From:", 8, 90);
  ToLbl = MakeLabel(this, "ToLbl", "To:", 8, 108);
}

void TTransForm::CreateGrid() {
  TransGrid = new QTableView(this);
  TransGrid->setObjectName("TransGrid");
  model_ = new ScriptGridModel(script_, TransGrid);
  TransGrid->setModel(model_);
  delegate_ = new CellDelegate(this, TransGrid);
  TransGrid->setItemDelegate(delegate_);
  TransGrid->verticalHeader()->hide();  // no fixed column
  TransGrid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
  TransGrid->horizontalHeader()->setSectionsClickable(false);
  TransGrid->setShowGrid(true);
  TransGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  TransGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  TransGrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                             QAbstractItemView::EditKeyPressed);
  TransGrid->setCurrentIndex(model_->index(0, 0));
  TransGrid->installEventFilter(this);
}

void TTransForm::ConnectControls() {
  Dialogs& d = ctx_.dialogs;
  ConnectClick(TransBtn, d, [this] { TransBtnClick(); });
  ConnectClick(PaletteBtn, d, [this] { PaletteBtnClick(); });
  ConnectClick(LoadScriptBtn, d, [this] { LoadScriptBtnClick(); });
  ConnectClick(SaveScriptBtn, d, [this] { SaveScriptBtnClick(); });
}

void TTransForm::FormCreate() {
  PlaceAt(*this, ctx_.settings.SavedPositions[kTransWindow]);
  const int client_height = height();
  TransGrid->setGeometry(8, kGridTop, kGridWidth, client_height - kGridTop - 8);
  for (int column = 0; column < kScriptColumns; ++column)
    TransGrid->setColumnWidth(column, kColumnWidths[static_cast<std::size_t>(column)]);
}

std::vector<QWidget*> TTransForm::WorkControls() const {
  return {TransBtn, PaletteBtn, LoadScriptBtn};
}

int TTransForm::CurrentRow() const {
  const QModelIndex current = TransGrid->currentIndex();
  return current.isValid() ? current.row() + 1 : 0;
}

QString TTransForm::CellText(int column, int row) const {
  return model_->data(model_->index(row - 1, column), Qt::DisplayRole).toString();
}

void TTransForm::ShowLabels() {
  FromLbl->setText(ToQt(labels_.from));
  ToLbl->setText(ToQt(labels_.to));
}

void TTransForm::TransBtnClick() {
  if (ctx_.Busy) return;
  TransferRunOptions options;
  options.auto_mode = AutoCB->isChecked();
  options.current_row = CurrentRow();
  options.use_two_palettes = PaletteCB->isChecked();
  options.wait_for_locks = false;  // the window says a busy archive is busy
  RunReporter reporter(*this);
  const auto row_done = [this](const TransferLabels&) {
    ShowLabels();
    repaint();
  };
  try {
    RunTransfer(ctx_.ws, script_, options, labels_, reporter, row_done);
  } catch (...) {
    // A cell that holds no number ends the whole run; the labels show how far it got.
    ShowLabels();
    throw;
  }
  ShowLabels();
}

void TTransForm::PaletteBtnClick() {
  if (ctx_.Busy) return;
  FileDialogRequest request;
  request.filter = kPaletteFilter;
  request.initial_dir = ctx_.ws.ProgramDir;
  const auto chosen = ctx_.dialogs.OpenFile(request);
  if (!chosen) return;
  const PaletteReadResult read = ReadPaletteFile(*chosen, {&ctx_.ws.SourcePalette});
  if (read.status != PaletteReadStatus::kRead) {
    ctx_.dialogs.ErrorBox(read.status == PaletteReadStatus::kRefused
                              ? read.message
                              : FillPattern(kCouldNotOpenFile, {*chosen}));
    return;
  }
  ctx_.ws.SourcePaletteName = FileNamePart(*chosen);
  PaletteLbl->setText(ToQt(ctx_.ws.SourcePaletteName));
}

void TTransForm::LoadScriptBtnClick() {
  if (ctx_.Busy) return;
  FileDialogRequest request;
  request.filter = kLoadScriptFilter;
  request.initial_dir = ctx_.ws.ProgramDir;
  const auto chosen = ctx_.dialogs.OpenFile(request);
  if (chosen) LoadScriptFile(*chosen);
}

void TTransForm::LoadScriptFile(const std::string& path) {
  RunReporter reporter(*this);
  if (LoadScript(script_, path, reporter)) model_->Refresh();
}

void TTransForm::SaveScriptBtnClick() {
  FileDialogRequest request;
  request.filter = kSaveScriptFilter;
  request.title = "Save Script";
  request.default_ext = "csv";
  const auto chosen = ctx_.dialogs.SaveFile(request);
  if (!chosen) return;
  RunReporter reporter(*this);
  SaveScript(script_, *chosen, reporter);
}

void TTransForm::TransGridKeyDown(int key, Qt::KeyboardModifiers shift) {
  const QModelIndex current = TransGrid->currentIndex();
  if (!current.isValid()) return;
  const std::string& text = script_.Cell(current.column(), current.row() + 1);
  if (auto pasted = copy_buffer_.KeyDown(text, key, shift.testFlag(Qt::ControlModifier)))
    model_->setData(current, ToQt(*pasted), Qt::EditRole);
}

// Watches the grid and its cell editor. Ctrl+C and Ctrl+V go to the tool's copy buffer
// only, never to the system clipboard; in an editor they first end the edit, keeping its
// text. Other keys take their usual way.
bool TTransForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const bool buffer_key = IsCopyBufferKey(*key);
  if (watched != TransGrid) {
    if (!buffer_key) return QWidget::eventFilter(watched, event);
    delegate_->Commit(static_cast<QWidget*>(watched));
  }
  RunGuarded(ctx_.dialogs, [&] { TransGridKeyDown(key->key(), key->modifiers()); });
  return buffer_key || QWidget::eventFilter(watched, event);
}

}  // namespace pelgrin
