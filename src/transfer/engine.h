// The transfer engine: copies one image ("icon") of an archive in the source folder over
// an icon of an archive in the dest folder, row by row of a transfer script.
//
// Every path is relative to the program's directory: "source/NAME.shp", "dest/NAME.shp"
// and "TransTmp.sdf" (with the platform's separator). NAME is a file name: a cell that
// holds a path is refused for its row.
// The engine does not change the process's current directory; it joins these paths to
// WorkState::ProgramDir, and shows them, in messages and labels, as the relative paths.
//
// A row reads and checks everything first and writes nothing until the new destination
// is complete, so a refused row leaves every file as it was. The destination is locked
// from before it is read until its new content is in place. TransTmp.sdf and the new
// destination are written through temporary files of their own (a failed write is
// reported and leaves the destination as it was), TransTmp.sdf keeps the copied record,
// and the destination is replaced by one rename of the new file over it.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "shp/reporter.h"
#include "shp/work_state.h"
#include "transfer/script.h"

namespace pelgrin {

inline constexpr std::string_view kTransferTempName = "TransTmp.sdf";

// The texts of the transfer window's From and To labels.
struct TransferLabels {
  std::string from = "From:";
  std::string to = "To:";
};

enum class RowResult {
  kDone,
  kFailed,  // reported; no file changed
  // The new destination could not be renamed over the old one; it is kept under its
  // temporary name (the message names it) and the run ends there.
  kKeptNewFile,
};

// Runs one script row (its Dest File, D. I#, Src File and Src I# cells). Updates the
// labels as the row goes: From becomes the source path, To the destination path, and on
// success each gets " Icon " and its number. With use_two_palettes, every pixel byte v
// becomes the LoadedPalette entry nearest to SourcePalette entry v. Reports its own
// failures. Throws ConversionError when an icon cell does not hold a whole number. With
// wait_for_lock, a destination that another writer is changing is waited for; without,
// the row fails and says the file is busy.
RowResult TransferRow(const WorkState& ws, const ScriptFields& row, bool use_two_palettes,
                      TransferLabels& labels, Reporter& reporter, bool wait_for_lock = true);

struct TransferRunOptions {
  bool auto_mode = false;  // "Auto Mode": the whole script from row 1
  int current_row = 1;     // the grid's current row, run alone when not in Auto Mode
  bool use_two_palettes = false;
  bool wait_for_locks = true;  // false: a busy destination fails its row at once
};

struct TransferRunSummary {
  int rows_run = 0;
  int rows_failed = 0;
};

// The Transfer button: runs the current row, or in Auto Mode every row from row 1 down to
// the first incomplete row; an incomplete row ends the run silently. A failing row does
// not stop the run, except one whose new destination could not take its place. row_done is
// called after each row that succeeded, with the labels it set. A ConversionError of an
// icon cell ends the whole run (it is passed on to the caller).
TransferRunSummary RunTransfer(const WorkState& ws, const ScriptTable& table,
                               const TransferRunOptions& options, TransferLabels& labels,
                               Reporter& reporter,
                               const std::function<void(const TransferLabels&)>& row_done = {});

}  // namespace pelgrin
