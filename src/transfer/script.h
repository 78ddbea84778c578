// The transfer script: a table of 100 rows of five text cells, its comma-separated
// file, and the one-cell copy buffer of the script grid. No toolkit here: the window
// shows the table in its grid and forwards keys and button clicks.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "shp/reporter.h"

namespace pelgrin {

inline constexpr int kScriptRows = 100;  // grid rows 1..100; row 0 is the title row
inline constexpr int kScriptColumns = 5;

enum ScriptColumn : int {
  kDescriptionColumn = 0,
  kDestFileColumn = 1,
  kDestIconColumn = 2,
  kSrcFileColumn = 3,
  kSrcIconColumn = 4,
};

// The five cells of one row, in column order.
using ScriptFields = std::array<std::string, kScriptColumns>;

inline constexpr std::string_view kFileErrorCaption = "File Error";
inline constexpr std::string_view kInputErrorCaption = "Input Error";
inline constexpr std::string_view kCouldNotOpenAborting = "Could not open %s. Aborting.";

// Rows count from 1, as in the grid. A cell outside rows 1..100 or columns 0..4 reads
// as empty text, and writing it does nothing.
class ScriptTable {
 public:
  const std::string& Cell(int column, int row) const;
  void SetCell(int column, int row, std::string text);
  const ScriptFields& Row(int row) const;
  void SetRow(int row, ScriptFields fields);
  void ClearRow(int row);

 private:
  static bool IsRow(int row) { return row >= 1 && row <= kScriptRows; }
  std::array<ScriptFields, kScriptRows> rows_{};
};

// A row is complete when Dest File, D. I#, Src File and Src I# are all non-empty.
bool IsCompleteRow(const ScriptTable& table, int row);
// The number of complete rows from row 1 down to the first incomplete one.
int ScriptLength(const ScriptTable& table);

// "%s,%s,%s,%s,%s\n" of the five cells, written whole whatever its length.
std::string FormatScriptLine(const ScriptFields& fields);

// Splits one line (up to its first NUL byte) into five fields. Fields 1 to 4 run up to
// the next comma; field 5 ends at the first byte that, read as a signed byte, is at most
// ',' (line end, blank, "!" to "+", bytes of 128 and more). Each field holds at most 127
// characters. A line with fewer than four commas leaves the missing fields empty and
// its line end out of the last field it has.
ScriptFields SplitScriptLine(std::string_view line);

// Writes the script (the complete rows from row 1) to path, replacing the file only
// when every write succeeded. Reports failures with the caption "File Error".
bool SaveScript(const ScriptTable& table, const std::string& path, Reporter& reporter);

// Reads at most 100 lines of path into rows 1 onwards (a line longer than 126
// characters comes in pieces, each a row of its own), then empties the rows below the
// last loaded one down to the first row whose Dest File is empty. A file that cannot be
// opened is reported and leaves the table unchanged.
bool LoadScript(ScriptTable& table, const std::string& path, Reporter& reporter);

// Virtual-key codes of the keys the grid's copy buffer reacts to.
inline constexpr int kKeyC = 67;
inline constexpr int kKeyV = 86;

// The grid's own one-cell copy buffer, separate from the system clipboard. With Ctrl
// held (other modifiers may be held too), C copies the current cell into the buffer
// and V replaces the current cell's text by the buffer; every other key does nothing.
class GridCopyBuffer {
 public:
  // Takes the current cell's text; returns its new text when the key replaces it.
  std::optional<std::string> KeyDown(const std::string& cell_text, int key, bool ctrl);
  // The same, on a cell of the table.
  void KeyDown(ScriptTable& table, int column, int row, int key, bool ctrl);
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace pelgrin
