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

bool WriteRasterPicture(WorkState& ws, const std::string& path, Reporter& reporter) {
  return IsPngName(path) ? WriteRasterPng(ws, path, reporter) : WriteRasterBmp(ws, path, reporter);
}

bool SaveSurfacePicture(const Surface& surface, const std::string& path, Reporter& reporter) {
  return IsPngName(path) ? SaveSurfacePng(surface, path, reporter)
                         : SaveSurfaceBmp(surface, path, reporter);
}

}  // namespace pelgrin
