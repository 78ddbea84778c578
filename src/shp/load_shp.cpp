#include "shp/load_shp.h"

#include <algorithm>

#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "shp/shp_format.h"

namespace pelgrin {

std::string AbbreviatePath(std::string_view path) {
  if (path.size() <= 33) return std::string(path);
  return std::string(path.substr(0, 12)) + "..." + std::string(path.substr(path.size() - 19));
}

std::string ShortName(std::string_view path) {
  return FileNamePart(path).substr(0, 15);
}

namespace {

// Paths, log, count and index: Load SHP up to the measuring of the frames.
LoadShpResult ReadPathsAndIndex(WorkState& ws, const std::string& path, Reporter& reporter,
                                InFile& file) {
  ws.ShpPath = path;
  ws.ShpDir = DirectoryPart(path);
  ws.OutShpPath = ws.ShpDir + "Bignew.shp";
  reporter.ClearLog();
  if (!file.Open(path)) {
    reporter.ShowError(FillPattern("Could not open file %s.", {path}));
    return LoadShpResult::kOpenFailed;
  }
  const std::int32_t count = ReadImageCount(file);
  reporter.Log(ShortName(path));
  if (count > MaxImages) {
    reporter.Log(std::to_string(count) + " icons exceeds");
    reporter.Log(std::to_string(MaxImages) + " maximum");
    ws.ImageCount = 0;
    return LoadShpResult::kTooManyImages;
  }
  ws.ImageCount = count;
  reporter.Log(std::to_string(count) + " Icons");
  ReadIndex(file, ws, count);
  return LoadShpResult::kLoaded;
}

}  // namespace

LoadShpResult LoadShpIndex(WorkState& ws, const std::string& path, Reporter& reporter) {
  InFile file;
  return ReadPathsAndIndex(ws, path, reporter, file);
}

LoadShpResult LoadShp(WorkState& ws, const std::string& path, Reporter& reporter) {
  InFile file;
  const LoadShpResult result = ReadPathsAndIndex(ws, path, reporter, file);
  if (result != LoadShpResult::kLoaded) return result;
  std::int32_t max_height = 0;
  std::int32_t max_width = 0;
  for (std::int32_t i = 0; i < ws.ImageCount; ++i) {
    ReadImageHeader(file, ws, i);
    max_height = std::max(max_height, ws.CurHeader.MaxY);
    max_width = std::max(max_width, ws.CurHeader.MaxX);
  }
  reporter.Log(std::to_string(max_height) + " Max Height");
  reporter.Log(std::to_string(max_width) + " Max Width");
  return LoadShpResult::kLoaded;
}

}  // namespace pelgrin
