#include "picture/picture_file.h"

#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "picture/bmp_file.h"
#include "picture/bmp_kinds.h"
#include "picture/picture.h"
#include "picture/png_file.h"

namespace pelgrin {
namespace {

constexpr std::string_view kFrameTooLarge =
    "%s is %s x %s pixels, larger than the 839 x 649 a picture can hold: nothing was "
    "written to %s.";

PictureReadResult Refused(std::string message) {
  return {false, std::move(message)};
}

// The 24-bit kind, and any bitmap whose headers make no sense: ReadBmpFile as before.
PictureReadResult ReadBmp24(WorkState& ws, const std::string& path) {
  const BmpReadResult read = ReadBmpFile(ws, path);
  if (read != BmpReadResult::kOk) return Refused(BmpReadMessage(read, path));
  ws.BmpIndexInfo.indexed = false;
  return {};
}

}  // namespace

PictureReadResult ReadPictureFile(WorkState& ws, const std::string& path) {
  InFile file;
  if (!file.Open(path)) return Refused(BmpReadMessage(BmpReadResult::kOpenFailed, path));
  Picture picture;
  std::string error;
  if (HasPngSignature(file)) {
    if (!ReadPngPicture(file, path, picture, error)) return Refused(error);
    CommitPicture(ws, picture);
    return {};
  }
  if (!HasBmpSignature(file))
    return Refused(FillPattern("%s is neither a PNG picture nor a Windows bitmap.", {path}));
  BmpInfo info;
  if (!ParseBmpInfo(file, info) || IsPlainBmp24(info)) {
    file.Close();
    return ReadBmp24(ws, path);
  }
  if (!ReadBmpPicture(file, path, info, picture, error)) return Refused(error);
  CommitPicture(ws, picture);
  ws.BmpHeader.bfOffBits = static_cast<std::uint32_t>(info.offset);
  return {};
}

bool IsPngName(std::string_view path) {
  return LowerExtension(path) == ".png";
}

RasterWriteResult WriteShownImage(WorkState& ws, const std::string& path, Reporter& reporter) {
  const std::int64_t width = std::int64_t{ws.CurHeader.MaxX} + 1;
  const std::int64_t height = std::int64_t{ws.CurHeader.MaxY} + 1;
  if (width > RasterCols || height > RasterRows) {
    const std::string image =
        ws.ShownNumber > 0 ? "Image #" + std::to_string(ws.ShownNumber) : "The image";
    reporter.ShowError(
        FillPattern(kFrameTooLarge, {image, std::to_string(width), std::to_string(height), path}));
    return RasterWriteResult::kFrameTooLarge;
  }
  const bool written =
      IsPngName(path) ? WriteRasterPng(ws, path, reporter) : WriteRasterBmp(ws, path, reporter);
  return written ? RasterWriteResult::kWritten : RasterWriteResult::kWriteFailed;
}

bool WriteRasterPicture(WorkState& ws, const std::string& path, Reporter& reporter) {
  return WriteShownImage(ws, path, reporter) == RasterWriteResult::kWritten;
}

bool SaveSurfacePicture(const Surface& surface, const std::string& path, Reporter& reporter) {
  return IsPngName(path) ? SaveSurfacePng(surface, path, reporter)
                         : SaveSurfaceBmp(surface, path, reporter);
}

}  // namespace pelgrin
