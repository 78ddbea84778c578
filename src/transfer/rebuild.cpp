#include "transfer/rebuild.h"

#include <vector>

#include "io/byte_order.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

// Moves every value of the index block that lies after the old record; false when one
// points inside it.
bool CorrectIndex(std::vector<std::uint8_t>& index, RecordSpan old_record,
                  std::int64_t new_length) {
  const std::int64_t old_end = old_record.offset + old_record.length;
  const std::int64_t shift = new_length - old_record.length;
  for (std::size_t field = 8; field + 4 <= index.size(); field += 4) {
    const std::int64_t value = GetLE32(&index[field]);
    if (value <= old_record.offset) continue;
    if (value < old_end) return false;
    PutLE32(&index[field], static_cast<std::uint32_t>(value + shift));
  }
  return true;
}

}  // namespace

RebuildResult WriteRebuiltArchive(InFile& dest, std::int32_t count, RecordSpan old_record,
                                  std::span<const std::uint8_t> new_record, OutFile& out) {
  // The index lies wholly before the old record, which starts after it.
  std::vector<std::uint8_t> index(static_cast<std::size_t>(ImageOffsetField(count)));
  dest.Seek(0);
  if (dest.Read(index) != index.size()) return RebuildResult::kFileEnded;
  if (!CorrectIndex(index, old_record, static_cast<std::int64_t>(new_record.size())))
    return RebuildResult::kOverlap;

  const std::int64_t between = old_record.offset - static_cast<std::int64_t>(index.size());
  const std::int64_t old_end = old_record.offset + old_record.length;
  const std::int64_t after = dest.Size() - old_end;
  out.Write(index);
  if (CopyBytes(dest, out, between) != between) return RebuildResult::kFileEnded;
  out.Write(new_record);
  dest.Seek(old_end);
  if (CopyBytes(dest, out, after) != after) return RebuildResult::kFileEnded;
  return RebuildResult::kWritten;
}

}  // namespace pelgrin
