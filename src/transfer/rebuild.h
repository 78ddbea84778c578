// Rebuilding a destination archive with one image record replaced.
#pragma once

#include <cstdint>
#include <span>

#include "io/files.h"

namespace pelgrin {

struct RecordSpan {
  std::int64_t offset = 0;  // where the old record starts; lies after the index
  std::int64_t length = 0;  // its length, header included
};

enum class RebuildResult {
  kWritten,
  kOverlap,    // another index value points inside the old record
  kFileEnded,  // the destination ended before its length said (it changed meanwhile)
};

// Writes to out: the destination's bytes before the old record, the new record, then the
// destination's bytes after the old record. Every index value (count entries of two
// values) greater than the old record's offset moves by the difference in length; the
// others, the header word and the count are kept. Refuses before writing anything when an
// index value points inside the old record, as the rebuild would cut that record apart.
RebuildResult WriteRebuiltArchive(InFile& dest, std::int32_t count, RecordSpan old_record,
                                  std::span<const std::uint8_t> new_record, OutFile& out);

}  // namespace pelgrin
