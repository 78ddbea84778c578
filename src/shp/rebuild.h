// Replace and Add: a complete new SHP file with one image record replaced, or with one
// appended after the last image, and the index rewritten so that every offset still
// points at its record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "shp/reporter.h"
#include "shp/work_state.h"

namespace pelgrin {

// The files of a rebuild. The main window passes ShpPath, NewImagePath and OutShpPath.
struct RebuildPaths {
  std::string source;  // the open SHP file; only read
  std::string record;  // the new image record
  std::string output;  // the new SHP file, written in place of any file of that name
};
RebuildPaths RebuildPathsOf(const WorkState& ws);

// The image offset of the first later entry (k + 1, k + 2 ...) whose image offset is
// greater than entry k's; file_length when there is none. k must be an entry.
std::int64_t NextImageStart(std::span<const std::int32_t> image_offsets, std::int32_t k,
                            std::int64_t file_length);

// The bytes of entry k's image record: from its offset up to the next image, or up to the
// nearest image or palette record of any entry that starts before that (its own palette
// record right after it, a record placed out of order); to the end of the file when
// nothing follows. Never negative; never covers the start of another record.
std::int64_t OldImageLength(std::span<const std::int32_t> image_offsets,
                            std::span<const std::int32_t> palette_offsets, std::int32_t k,
                            std::int64_t file_length);

// Replaces entry k (image number k + 1; any other number is reported as typed) with the
// record file: every image and palette
// offset greater than entry k's grows by the change in length. keep_old_header keeps the
// old record's 24 header bytes in front of the new lines. The output is written whole
// through a temporary file. When the output is the open file, the tables take the new
// offsets. False (after reporting) when nothing was written.
bool ReplaceImageInShp(WorkState& ws, const RebuildPaths& paths, std::int64_t k,
                       bool keep_old_header, Reporter& reporter);

// Appends the record file as a new last image, which shares the palette record of the
// image before it (none in a file without images). Every offset grows by 8 for the
// longer index. When the output is the open file, the tables and ImageCount describe it
// afterwards. False (after reporting) when nothing was written.
bool AppendImageToShp(WorkState& ws, const RebuildPaths& paths, Reporter& reporter);

inline constexpr std::string_view kCouldNotOpenFile = "Could not open file %s.";
inline constexpr std::string_view kCouldNotReadFile = "Could not read file %s.";
inline constexpr std::string_view kNoSuchImage = "There is no image #%d in %s.";
inline constexpr std::string_view kDamagedShp =
    "%s is damaged: its index or an offset in it lies outside the file.";
inline constexpr std::string_view kShpChanged =
    "%s has changed since it was opened; open it again.";
inline constexpr std::string_view kNotARecord =
    "%s does not hold an image record: it is shorter than the 24-byte image header.";
inline constexpr std::string_view kNotAnImageRecord =
    "%s does not hold an image record: its box is upside down or its lines do not end "
    "within it.";
inline constexpr std::string_view kShpTooLarge =
    "%s would be larger than the 2 GB that the offsets of an SHP file can address.";
inline constexpr std::string_view kShpFull =
    "%s already holds 10000 images, the most an SHP file can hold.";

}  // namespace pelgrin
