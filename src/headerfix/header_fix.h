// The header fix window's two operations without the window: Show reads one image's
// header, measures its pixel data from the raster's corner and draws it magnified;
// Write puts eight edited fields back as the image's 24 header bytes, in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shp/reporter.h"
#include "shp/shp_format.h"
#include "shp/surface.h"
#include "shp/work_state.h"

namespace pelgrin {

// The window's eight header rows, in their order on screen and in the file.
enum HeaderFieldIndex : std::size_t {
  kXSize,
  kYSize,
  kXOffs,
  kYOffs,
  kLeft,
  kTop,
  kRight,
  kBottom
};
inline constexpr std::size_t kHeaderFieldCount = 8;
inline constexpr std::array<std::string_view, kHeaderFieldCount> kHeaderFieldCaptions{
    "X Size", "Y Size", "X Offs", "Y Offs", "Left", "Top", "Right", "Bottom"};
using HeaderFields = std::array<std::int64_t, kHeaderFieldCount>;

// The fields as the window shows a header: the two size words and X Offs unsigned, Y Offs
// signed 16-bit, the box as signed 32-bit values.
HeaderFields FieldsOf(const ImageHeader& h);

enum class HeaderShowStatus { kShown, kNoImage, kOpenFailed };

struct HeaderShowResult {
  HeaderShowStatus status = HeaderShowStatus::kOpenFailed;
  // Filled only when shown; otherwise the window keeps what its fields held.
  HeaderFields old_fields{};    // the header as read from the file
  HeaderFields new_fields{};    // the same, with Right and Bottom measured from the data
  std::int16_t x_position = 0;  // the column up-down's position: Left as a 16-bit value
  std::int16_t y_position = 0;  // the row up-down's position: Top as a 16-bit value
  std::int32_t width = 0;       // DecodedWidth
  std::int32_t height = 0;      // DecodedRows
};

// Show of image number (counting from 1): clears the picture to silver, reads the
// header, logs "No image #" for a number outside the file or an implausible header (and
// stops), "#N KV Icon" for a negative Left or Top, chooses the palette as Show does,
// decodes from the corner, logs "cols ..., lines ...", draws the magnified picture and
// the guides at |Left| and |Top|. New Right = DecodedWidth - |Left| - 1 and New Bottom =
// DecodedRows - |Top| - 1.
HeaderShowResult HeaderFixShow(WorkState& ws, std::int32_t number, bool full_pal, Surface& mag,
                               Reporter& reporter);

// The 24 header bytes of the fields: the low 16 bits of the first four, the low 32 bits
// of the last four, little-endian.
std::array<std::uint8_t, kImageHeaderSize> HeaderFieldBytes(const HeaderFields& fields);

enum class HeaderWriteResult {
  kWritten,
  kOpenFailed,
  kNoImage,
  kOutsideFile,
  kInsideIndex,
  kChanged,  // the file's index is no longer the one the tables hold
  kWriteFailed
};

// Write: the fields become the 24 header bytes of image number (counting from 1) of
// ShpPath, at its index offset; nothing else in the file changes. Refused, with an error
// box and nothing written, when the file cannot be opened, the number is not an image of
// the open file, the 24 bytes would not lie wholly inside the file or would lie inside its
// index, or the file's index has changed since it was read (the offset would be stale); a
// failed write is reported with the path. No message on success. The caller holds the
// archive's lock (FileLock), so that nothing changes the file between check and write.
HeaderWriteResult WriteImageHeader(const WorkState& ws, std::int32_t number,
                                   const HeaderFields& fields, Reporter& reporter);

}  // namespace pelgrin
