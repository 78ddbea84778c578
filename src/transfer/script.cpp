#include "transfer/script.h"

#include "io/files.h"
#include "io/text.h"
#include "shp/messages.h"

namespace pelgrin {
namespace {

// The script reader's line buffer: a line holds at most 126 characters.
constexpr std::size_t kScriptLineCapacity = 127;
// The longest field the splitter takes.
constexpr std::size_t kMaxFieldLength = 127;

const ScriptFields kEmptyRow{};

// A field that runs to the end of a short line stops before the line end.
std::string_view WithoutLineEnd(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

std::string Field(std::string_view text) {
  return std::string(text.substr(0, kMaxFieldLength));
}

// True for the bytes that end the last field: codes up to ',' compared as signed bytes.
bool EndsLastField(char c) {
  return static_cast<signed char>(c) <= ',';
}

}  // namespace

const std::string& ScriptTable::Cell(int column, int row) const {
  static const std::string empty;
  if (!IsRow(row) || column < 0 || column >= kScriptColumns) return empty;
  return rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)];
}

void ScriptTable::SetCell(int column, int row, std::string text) {
  if (!IsRow(row) || column < 0 || column >= kScriptColumns) return;
  rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column)] = std::move(text);
}

const ScriptFields& ScriptTable::Row(int row) const {
  return IsRow(row) ? rows_[static_cast<std::size_t>(row - 1)] : kEmptyRow;
}

void ScriptTable::SetRow(int row, ScriptFields fields) {
  if (IsRow(row)) rows_[static_cast<std::size_t>(row - 1)] = std::move(fields);
}

void ScriptTable::ClearRow(int row) {
  SetRow(row, ScriptFields{});
}

bool IsCompleteRow(const ScriptTable& table, int row) {
  for (int column : {kDestFileColumn, kDestIconColumn, kSrcFileColumn, kSrcIconColumn}) {
    if (table.Cell(column, row).empty()) return false;
  }
  return true;
}

int ScriptLength(const ScriptTable& table) {
  int rows = 0;
  while (rows < kScriptRows && IsCompleteRow(table, rows + 1))
    ++rows;
  return rows;
}

std::string FormatScriptLine(const ScriptFields& fields) {
  std::string line;
  for (int column = 0; column < kScriptColumns; ++column) {
    if (column > 0) line += ',';
    line += fields[static_cast<std::size_t>(column)];
  }
  line += '\n';
  return line;
}

ScriptFields SplitScriptLine(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  ScriptFields fields;
  std::size_t at = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t comma = line.find(',', at);
    if (comma == std::string_view::npos) {
      fields[i] = Field(WithoutLineEnd(line.substr(at)));
      return fields;
    }
    fields[i] = Field(line.substr(at, comma - at));
    at = comma + 1;
  }
  std::size_t end = at;
  while (end < line.size() && end - at < kMaxFieldLength && !EndsLastField(line[end]))
    ++end;
  fields[4] = std::string(line.substr(at, end - at));
  return fields;
}

bool SaveScript(const ScriptTable& table, const std::string& path, Reporter& reporter) {
  AtomicFile file;
  if (!file.Create(path)) {
    reporter.Message(FillPattern(kCouldNotOpenAborting, {path}), kFileErrorCaption);
    return false;
  }
  const int rows = ScriptLength(table);
  for (int row = 1; row <= rows; ++row)
    file.Out().WriteText(FormatScriptLine(table.Row(row)));
  if (file.Commit() != AtomicFile::Result::kOk) {
    reporter.Message(FillPattern(kCouldNotWriteFile, {path}), kFileErrorCaption);
    return false;
  }
  return true;
}

bool LoadScript(ScriptTable& table, const std::string& path, Reporter& reporter) {
  InFile file;
  if (!file.Open(path)) {
    reporter.Message(FillPattern(kCouldNotOpenAborting, {path}), kFileErrorCaption);
    return false;
  }
  TextLineReader lines(file);
  std::string line;
  int row = 1;
  while (row <= kScriptRows && lines.ReadLine(kScriptLineCapacity, line))
    table.SetRow(row++, SplitScriptLine(line));
  file.Close();
  for (; row <= kScriptRows && !table.Cell(kDestFileColumn, row).empty(); ++row)
    table.ClearRow(row);
  return true;
}

std::optional<std::string> GridCopyBuffer::KeyDown(const std::string& cell_text, int key,
                                                   bool ctrl) {
  if (!ctrl) return std::nullopt;
  if (key == kKeyC) text_ = cell_text;
  if (key == kKeyV) return text_;
  return std::nullopt;
}

void GridCopyBuffer::KeyDown(ScriptTable& table, int column, int row, int key, bool ctrl) {
  if (auto text = KeyDown(table.Cell(column, row), key, ctrl))
    table.SetCell(column, row, std::move(*text));
}

}  // namespace pelgrin
