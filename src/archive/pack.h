// Pack: an archive built back from a folder that unpack wrote. Untouched pictures give
// back their records exactly; edited ones are converted as Convert converts.
#pragma once

#include <string>

#include "archive/unpack.h"
#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {

struct PackOptions {
  bool no_flash = false;  // edited pictures: Convert's "KV-No Flash" matching
};

// Builds the archive that dir's archive.json describes and writes it to out (through a
// temporary file). An edited picture is matched against the palette its entry uses: its
// own palette record, else ws's LoadedPalette. Reads only the files archive.json names;
// on any failure (reported, naming the file and the entry) nothing is written.
bool PackFolder(WorkState& ws, const std::string& dir, const std::string& out,
                const PackOptions& options, Reporter& reporter, const ProgressFn& progress = {});

}  // namespace pelgrin
