// The writing operations of the core, each with the files it works on, for the fault and
// folder tests. Every operation's outputs already exist with older content, so that a
// test sees whether a failure touched them; the files are large enough that the file
// layer writes each in more than one piece.
#pragma once

#include <vector>

#include "fault_harness.h"

namespace pelgrin::robust {

// Replace image #2 of units.shp (or of the open file Bignew.shp itself) with New_shp.sdf.
WritingOperation ReplaceOperation(bool keep_old_header, bool output_is_open_file);
// Add New_shp.sdf after the last image of units.shp (or of the open Bignew.shp).
WritingOperation AppendOperation(bool output_is_open_file);
// Convert a loaded 400 x 300 bitmap: NewImagePath (New_shp.sdf in the program's
// directory), then New_shp.shp.
WritingOperation ConvertOperation();
// Write BMP of a 200 x 150 frame to out.bmp in BmpDir.
WritingOperation WriteBmpOperation();
// Save the view (a 200 x 120 surface) to view.bmp in BmpDir.
WritingOperation SaveViewOperation();
// Write BMP of a 200 x 150 frame to out.png in BmpDir: an indexed PNG.
WritingOperation WritePngOperation();
// Save the view (a 200 x 120 surface) to view.png in BmpDir: an RGB PNG.
WritingOperation SaveViewPngOperation();
// The loaded palette written as the GIMP palette game.gpl.
WritingOperation WritePaletteOperation();
// One transfer row: icon 0 of source/heroes.shp over icon 1 of dest/army.shp.
WritingOperation TransferOperation();
// The header fix window's Write of image #2 of units.shp.
WritingOperation HeaderWriteOperation();
// Save Script of 100 rows to script.csv.
WritingOperation SaveScriptOperation();
// Unpack of units.shp into the new folder units.
WritingOperation UnpackOperation();
// Pack of the unpacked folder units (one picture edited) over an older out.shp.
WritingOperation PackOperation();
// The settings file Pelgrin.cfg in the program's directory, rewritten at exit.
WritingOperation SettingsOperation();

std::vector<WritingOperation> AllWritingOperations();

}  // namespace pelgrin::robust
