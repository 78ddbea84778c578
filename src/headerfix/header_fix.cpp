#include "headerfix/header_fix.h"

#include <string>

#include "headerfix/corner_decode.h"
#include "headerfix/mag_view.h"
#include "io/byte_order.h"
#include "io/files.h"
#include "io/text.h"
#include "shp/messages.h"
#include "shp/rebuild.h"
#include "shp/show.h"

namespace pelgrin {
namespace {

constexpr std::string_view kCouldNotOpen = "Could not open file %s";

std::int64_t Magnitude(std::int32_t v) {
  return v < 0 ? -std::int64_t{v} : v;
}

std::string NumberText(std::int32_t number) {
  return std::to_string(number);
}

// Fills the result's fields from the header just read and the measured extent.
void FillFields(HeaderShowResult& result, const ImageHeader& h, const CornerDecode& extent) {
  result.old_fields = FieldsOf(h);
  result.new_fields = result.old_fields;
  result.new_fields[kRight] = std::int64_t{extent.DecodedWidth} - Magnitude(h.Left) - 1;
  result.new_fields[kBottom] = std::int64_t{extent.DecodedRows} - Magnitude(h.Top) - 1;
  result.x_position = static_cast<std::int16_t>(h.Left);
  result.y_position = static_cast<std::int16_t>(h.Top);
  result.width = extent.DecodedWidth;
  result.height = extent.DecodedRows;
}

}  // namespace

HeaderFields FieldsOf(const ImageHeader& h) {
  const auto offs = static_cast<std::uint32_t>(h.OffsWord);
  return {h.MaxY,         h.MaxX,
          offs & 0xFFFFu, static_cast<std::int16_t>(static_cast<std::uint16_t>(offs >> 16)),
          h.Left,         h.Top,
          h.Right,        h.Bottom};
}

HeaderShowResult HeaderFixShow(WorkState& ws, std::int32_t number, bool full_pal, Surface& mag,
                               Reporter& reporter) {
  HeaderShowResult result;
  mag.Fill(kSilver);
  reporter.Repaint(mag);
  ws.UsedCols = 0;
  ws.UsedRows = 0;
  InFile file;
  if (!file.Open(ws.ShpPath)) {
    reporter.ShowError(FillPattern(kCouldNotOpen, {ws.ShpPath}));
    return result;
  }
  result.status = HeaderShowStatus::kNoImage;
  ClearRaster(ws);
  if (!IsImageNumber(ws, number)) {
    reporter.Log("No image #" + NumberText(number));
    return result;
  }
  const std::int32_t i = number - 1;
  ReadImageHeader(file, ws, i);
  const ImageHeader& h = ws.CurHeader;
  if (IsAbsentImage(h)) {
    reporter.Log("No image #" + NumberText(number));
    return result;
  }
  if (h.Left < 0 || h.Top < 0) reporter.Log("#" + NumberText(number) + " KV Icon");
  ChooseImagePalette(file, ws, i, full_pal);
  const CornerDecode extent = DecodeFromCorner(file, ws, i);
  file.Close();
  reporter.Log("cols " + std::to_string(ws.UsedCols) + ", lines " + std::to_string(ws.UsedRows));

  result.status = HeaderShowStatus::kShown;
  FillFields(result, h, extent);
  DrawMagnified(ws, mag, reporter);
  DrawColumnGuide(mag, Magnitude(h.Left));
  DrawRowGuide(mag, Magnitude(h.Top));
  reporter.Repaint(mag);
  return result;
}

std::array<std::uint8_t, kImageHeaderSize> HeaderFieldBytes(const HeaderFields& f) {
  std::array<std::uint8_t, kImageHeaderSize> bytes{};
  for (std::size_t k = kXSize; k <= kYOffs; ++k)
    PutLE16(&bytes[2 * k], static_cast<std::uint32_t>(static_cast<std::uint64_t>(f[k])));
  for (std::size_t k = kLeft; k <= kBottom; ++k)
    PutLE32(&bytes[8 + 4 * (k - kLeft)],
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(f[k])));
  return bytes;
}

HeaderWriteResult WriteImageHeader(const WorkState& ws, std::int32_t number,
                                   const HeaderFields& fields, Reporter& reporter) {
  InFile probe;
  if (!probe.Open(ws.ShpPath)) {
    reporter.ShowError(FillPattern(kCouldNotOpen, {ws.ShpPath}));
    return HeaderWriteResult::kOpenFailed;
  }
  if (!IsImageNumber(ws, number)) {
    reporter.ShowError(
        FillPattern("No image #%d in file %s, nothing written.", {NumberText(number), ws.ShpPath}));
    return HeaderWriteResult::kNoImage;
  }
  const std::int32_t i = number - 1;
  const std::int64_t offset = ws.ImageOffsets[static_cast<std::size_t>(i)];
  // A damaged index may point back into itself: 24 bytes written there would destroy the
  // count and the offsets of other images.
  if (offset >= 0 && offset < ImageOffsetField(ws.ImageCount)) {
    reporter.ShowError(
        FillPattern("The header of image #%d lies inside the index of file %s, nothing written.",
                    {NumberText(number), ws.ShpPath}));
    return HeaderWriteResult::kInsideIndex;
  }
  if (!IndexMatchesTables(probe, ws)) {
    reporter.ShowError(FillPattern(kShpChanged, {ws.ShpPath}));
    return HeaderWriteResult::kChanged;
  }
  probe.Close();
  const auto bytes = HeaderFieldBytes(fields);
  switch (OverwriteBytes(ws.ShpPath, offset, bytes)) {
    case OverwriteResult::kOk:
      return HeaderWriteResult::kWritten;
    case OverwriteResult::kOpenFailed:
      reporter.ShowError(FillPattern(kCouldNotOpen, {ws.ShpPath}));
      return HeaderWriteResult::kOpenFailed;
    case OverwriteResult::kOutsideFile:
      reporter.ShowError(
          FillPattern("The header of image #%d lies outside file %s, nothing written.",
                      {NumberText(number), ws.ShpPath}));
      return HeaderWriteResult::kOutsideFile;
    case OverwriteResult::kWriteFailed:
      break;
  }
  reporter.ShowError(FillPattern(kCouldNotWriteFile, {ws.ShpPath}));
  return HeaderWriteResult::kWriteFailed;
}

}  // namespace pelgrin
