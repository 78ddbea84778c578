#include "archive/unpack.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "archive/folder_model.h"
#include "archive/layout.h"
#include "archive/record_pixels.h"
#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "palette/text_palette.h"
#include "picture/picture_file.h"
#include "shp/decode.h"
#include "shp/messages.h"
#include "shp/show.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

std::string NumberedName(int entry, const char* suffix) {
  char name[40];
  std::snprintf(name, sizeof name, "%04d%s", entry + 1, suffix);
  return name;
}

std::span<const std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::int64_t start,
                                    std::int64_t length) {
  return std::span<const std::uint8_t>(bytes).subspan(static_cast<std::size_t>(start),
                                                      static_cast<std::size_t>(length));
}

// One unpack: the archive's bytes and layout, the folder being filled and its model.
class Unpacker {
 public:
  Unpacker(WorkState& ws, const UnpackOptions& options, Reporter& reporter)
      : ws_(ws), options_(options), reporter_(reporter), scratch_(std::make_unique<WorkState>()) {}

  bool Load(const std::string& shp) {
    if (!ReadWholeFile(shp, bytes_)) {
      reporter_.ShowError(FillPattern("Could not open file %s.", {shp}));
      return false;
    }
    std::string problem;
    if (!ScanLayout(bytes_, layout_, problem)) {
      reporter_.ShowError(FillPattern("%s is damaged: %s.", {shp, problem}));
      return false;
    }
    if (!file_.Open(shp)) {
      reporter_.ShowError(FillPattern("Could not open file %s.", {shp}));
      return false;
    }
    ws_.ImageCount = static_cast<std::int32_t>(layout_.entries.size());
    for (std::size_t i = 0; i < layout_.entries.size(); ++i) {
      ws_.ImageOffsets[i] = layout_.entries[i].image_offset;
      ws_.PaletteOffsets[i] = layout_.entries[i].palette_offset;
    }
    return true;
  }

  bool WriteInto(const std::string& folder, const ProgressFn& progress) {
    folder_ = folder;
    model_.header_word = layout_.header_word;
    model_.format = options_.format;
    model_.full_pal = options_.full_pal;
    model_.loaded = ws_.LoadedPalette;
    for (std::size_t p = 0; p < layout_.palettes.size(); ++p)
      if (!WritePalette(layout_.palettes[p])) return false;
    const int total = static_cast<int>(layout_.records.size());
    for (int r = 0; r < total; ++r) {
      if (!WriteRecord(layout_.records[static_cast<std::size_t>(r)])) return false;
      if (progress) progress(r + 1, total);
    }
    ModelEntriesAndLayout();
    const std::string json = FolderModelToJson(model_);
    return WriteFile(std::string(kFolderModelName),
                     std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()));
  }

 private:
  bool WriteFile(const std::string& name, std::span<const std::uint8_t> bytes) {
    if (ReplaceFileContent(JoinPath(folder_, name), bytes)) return true;
    reporter_.ShowError(FillPattern(kCouldNotWriteFile, {JoinPath(folder_, name)}));
    return false;
  }

  bool WritePalette(const LayoutPalette& p) {
    const auto bytes = Slice(bytes_, p.start, p.length);
    FolderPalette fp{NumberedName(p.first_entry, "-palette.bin"),
                     NumberedName(p.first_entry, "-palette.pal")};
    if (!WriteFile(fp.file, bytes)) return false;
    if (!WriteFileOrReport(
            JoinPath(folder_, fp.text), kCouldNotWriteFile, reporter_,
            [&bytes](OutFile& text) { WriteTextPalette(text, PaletteOfRecord(bytes)); }))
      return false;
    model_.palettes.push_back(fp);
    return true;
  }

  // Decodes the record's image as Show does for its first entry.
  void Decode(const LayoutRecord& r, std::int32_t width, std::int32_t height) {
    ClearRasterBox(ws_, width, height);
    ws_.UsedCols = 0;
    ws_.UsedRows = 0;
    ws_.CurHeader = r.header;
    ChooseImagePalette(file_, ws_, r.first_entry, options_.full_pal);
    DecodeImage(file_, ws_, r.first_entry);
  }

  bool WriteRecord(const LayoutRecord& r) {
    FolderRecord fr;
    fr.header = r.header;
    fr.absent = r.absent;
    if (r.absent) {
      // A header cut short by the next block is kept as it is.
      if (r.length < kImageHeaderSize) {
        fr.raw = NumberedName(r.first_entry, "-record.bin");
        if (!WriteFile(fr.raw, Slice(bytes_, r.start, r.length))) return false;
      }
      model_.records.push_back(fr);
      return true;
    }
    const std::int32_t width = PictureWidth(r.header);
    const std::int32_t height = PictureHeight(r.header);
    Decode(r, width, height);
    const FrameIndices indices = IndicesOfRaster(ws_, width, height);
    const FrameColours colours = ColoursOfIndices(indices, ws_.ActivePalette);
    fr.digest = PixelDigest(colours);
    const int own = layout_.entries[static_cast<std::size_t>(r.first_entry)].palette;
    fr.colours = options_.full_pal ? -1 : own;
    // Pack takes an untouched PNG's indices as they are, a bitmap's back from its colours.
    const bool png = options_.format != "bmp";
    if (png) fr.index_digest = PixelDigest(indices);
    const auto stored = Slice(bytes_, r.start, r.length);
    rebuilt_.clear();
    if (!RecordFromIndices(*scratch_, png ? indices : IndicesOfColours(colours, ws_.ActivePalette),
                           r.header, rebuilt_) ||
        !std::equal(rebuilt_.begin(), rebuilt_.end(), stored.begin(), stored.end())) {
      fr.raw = NumberedName(r.first_entry, "-record.bin");
      if (!WriteFile(fr.raw, stored)) return false;
    }
    fr.picture = NumberedName(r.first_entry, options_.format == "bmp" ? ".bmp" : ".png");
    // The picture shows the frame as far as the raster holds it.
    ws_.CurHeader.MaxX = width - 1;
    ws_.CurHeader.MaxY = height - 1;
    if (!WriteRasterPicture(ws_, JoinPath(folder_, fr.picture), reporter_)) return false;
    model_.records.push_back(fr);
    return true;
  }

  void ModelEntriesAndLayout() {
    for (const LayoutEntry& e : layout_.entries)
      model_.entries.push_back({e.record, e.palette, e.palette < 0 ? e.palette_offset : 0});
    for (const LayoutBlock& b : layout_.blocks) {
      FolderBlock fb;
      fb.id = b.id;
      if (b.kind == LayoutBlock::Kind::kRecord) fb.kind = FolderBlock::Kind::kRecord;
      if (b.kind == LayoutBlock::Kind::kPalette) fb.kind = FolderBlock::Kind::kPalette;
      if (b.kind == LayoutBlock::Kind::kGap) {
        const auto gap = Slice(bytes_, b.start, b.length);
        fb.gap.assign(gap.begin(), gap.end());
      }
      model_.layout.push_back(std::move(fb));
    }
  }

  WorkState& ws_;
  const UnpackOptions& options_;
  Reporter& reporter_;
  std::unique_ptr<WorkState> scratch_;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> rebuilt_;
  ArchiveLayout layout_;
  InFile file_;
  FolderModel model_;
  std::string folder_;
};

}  // namespace

std::string WithoutTrailingSeparators(std::string dir) {
  while (dir.size() > 1 && IsPathSeparator(dir.back()))
    dir.pop_back();
  return dir;
}

bool UnpackArchive(WorkState& ws, const std::string& shp, const std::string& dir,
                   const UnpackOptions& options, Reporter& reporter, const ProgressFn& progress) {
  const std::string target = WithoutTrailingSeparators(dir);
  if (InspectFolder(target) == FolderState::kOther) {
    reporter.ShowError(FillPattern(kFolderNotEmpty, {dir}));
    return false;
  }
  Unpacker unpacker(ws, options, reporter);
  if (!unpacker.Load(shp)) return false;
  const std::string temp = CreateTemporaryFolder(target);
  if (temp.empty()) {
    reporter.ShowError(FillPattern(kCouldNotCreateFolder, {dir}));
    return false;
  }
  bool written = false;
  {
    const FreshFolderScope fresh(temp);
    written = unpacker.WriteInto(temp, progress);
  }
  if (!written) {
    RemoveFolderTree(temp);
    return false;
  }
  if (!RenameFolder(temp, target)) {
    RemoveFolderTree(temp);
    reporter.ShowError(FillPattern(kCouldNotCreateFolder, {dir}));
    return false;
  }
  return true;
}

}  // namespace pelgrin
