// The Shp Transfer window: the transfer script grid and its buttons. The grid shows the
// window's ScriptTable through a table model, so the table is the one copy of the script:
// typing in a cell, the copy buffer, Load Script, Save Script and a run all use it.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <vector>

#include "transfer/engine.h"
#include "transfer/script.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace pelgrin {

struct AppContext;

// The script table as the grid's model: rows 0..99 of the view are script rows 1..100,
// and the column titles are the grid's fixed title row.
class ScriptGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ScriptGridModel(ScriptTable& table, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The table changed behind the model's back: every cell is shown again.
  void Refresh();

 private:
  ScriptTable& table_;
};

class TTransForm : public QWidget {
  Q_OBJECT

 public:
  explicit TTransForm(AppContext& ctx);

  void TransBtnClick();
  void PaletteBtnClick();
  void LoadScriptBtnClick();
  void SaveScriptBtnClick();
  // Ctrl+C / Ctrl+V on the grid's current cell, through the tool's copy buffer alone.
  void TransGridKeyDown(int key, Qt::KeyboardModifiers shift);
  // Load Script's work once a file is chosen.
  void LoadScriptFile(const std::string& path);

  // Transfer, Load Pal and Load Script: disabled while a drawing in any window lets events
  // through, since each changes the working state, the files or the script.
  std::vector<QWidget*> WorkControls() const;

  ScriptTable& Script() { return script_; }
  // The grid's current row (1..100), or 0 when no cell is current.
  int CurrentRow() const;
  // The view's text of a cell (column 0..4, script row 1..100), as the grid shows it.
  QString CellText(int column, int row) const;

  QPushButton* TransBtn;
  QCheckBox* AutoCB;
  QCheckBox* PaletteCB;
  QPushButton* PaletteBtn;
  QLabel* PaletteLbl;
  QPushButton* LoadScriptBtn;
  QPushButton* SaveScriptBtn;
  QLabel* FromLbl;
  QLabel* ToLbl;
  QTableView* TransGrid;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class RunReporter;
  class CellDelegate;

  void FormCreate();
  void CreateControls();
  void CreateGrid();
  void ConnectControls();
  void ShowLabels();

  AppContext& ctx_;
  ScriptTable script_;
  ScriptGridModel* model_;
  CellDelegate* delegate_;
  GridCopyBuffer copy_buffer_;
  TransferLabels labels_;
};

}  // namespace pelgrin
