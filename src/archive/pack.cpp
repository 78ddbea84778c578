#include "archive/pack.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "archive/folder_model.h"
#include "archive/record_pixels.h"
#include "convert/convert.h"
#include "io/byte_order.h"
#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "picture/picture_file.h"
#include "shp/encode.h"
#include "shp/messages.h"
#include "shp/rebuild.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kFolderModelLimit = std::int64_t{256} << 20;

// Errors pass through; Convert's log lines are not wanted here.
class ErrorsOnly : public Reporter {
 public:
  explicit ErrorsOnly(Reporter& out) : out_(out) {}
  void Log(std::string_view) override {}
  void ClearLog() override {}
  void ShowError(std::string_view text) override { out_.ShowError(text); }
  void Message(std::string_view text, std::string_view caption) override {
    out_.Message(text, caption);
  }

 private:
  Reporter& out_;
};

bool IsWholePaletteRecord(const Bytes& bytes) {
  if (bytes.size() < 4) return false;
  const std::int32_t n = GetLE32(bytes.data());
  return static_cast<std::int64_t>(bytes.size()) == 4 + 4 * std::int64_t{std::max(n, 0)};
}

class Packer {
 public:
  Packer(WorkState& ws, const std::string& dir, const PackOptions& options, Reporter& reporter)
      : ws_(ws),
        dir_(WithoutTrailingSeparators(dir)),
        options_(options),
        reporter_(reporter),
        scratch_(std::make_unique<WorkState>()),
        loaded_(ws.LoadedPalette) {}

  bool Load() {
    const std::string path = JoinPath(dir_, kFolderModelName);
    Bytes text;
    if (!ReadWholeFile(path, text, kFolderModelLimit))
      return Fail(FillPattern("Could not read file %s.", {path}));
    std::string problem;
    if (!FolderModelFromJson(
            std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), model_,
            problem))
      return Fail(FillPattern("%s is damaged: %s.", {path, problem}));
    first_entry_.assign(model_.records.size(), -1);
    for (std::size_t i = model_.entries.size(); i-- > 0;)
      first_entry_[static_cast<std::size_t>(model_.entries[i].record)] = static_cast<int>(i);
    return LoadPalettes();
  }

  bool BuildRecords(const ProgressFn& progress) {
    const int total = static_cast<int>(model_.records.size());
    records_.resize(model_.records.size());
    for (int r = 0; r < total; ++r) {
      if (!BuildRecord(r)) return false;
      if (progress) progress(r + 1, total);
    }
    return true;
  }

  // The archive: header word, count, index, then the layout with the offsets it gives.
  bool Assemble(Bytes& out) {
    const std::size_t count = model_.entries.size();
    out.assign(8 + 8 * count, 0);
    std::copy(model_.header_word.begin(), model_.header_word.end(), out.begin());
    PutLE32(&out[4], static_cast<std::uint32_t>(count));
    std::vector<std::int64_t> record_at(records_.size()), palette_at(palettes_.size());
    for (const FolderBlock& b : model_.layout) {
      const Bytes* block = &b.gap;
      if (b.kind == FolderBlock::Kind::kRecord) {
        record_at[static_cast<std::size_t>(b.id)] = static_cast<std::int64_t>(out.size());
        block = &records_[static_cast<std::size_t>(b.id)];
      } else if (b.kind == FolderBlock::Kind::kPalette) {
        palette_at[static_cast<std::size_t>(b.id)] = static_cast<std::int64_t>(out.size());
        block = &palettes_[static_cast<std::size_t>(b.id)];
      }
      out.insert(out.end(), block->begin(), block->end());
      if (out.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const FolderEntry& e = model_.entries[i];
      PutLE32(&out[8 + 8 * i],
              static_cast<std::uint32_t>(record_at[static_cast<std::size_t>(e.record)]));
      const std::int64_t palette =
          e.palette < 0 ? e.palette_offset : palette_at[static_cast<std::size_t>(e.palette)];
      PutLE32(&out[12 + 8 * i], static_cast<std::uint32_t>(palette));
    }
    return true;
  }

  int Edited() const { return edited_; }

 private:
  bool Fail(const std::string& text) {
    reporter_.ShowError(text);
    return false;
  }

  std::string EntryText(int record) const {
    const int entry = first_entry_[static_cast<std::size_t>(record)];
    return entry < 0 ? "record " + std::to_string(record) : "entry #" + std::to_string(entry + 1);
  }

  // The palette an edited picture is matched against: its first entry's own palette
  // record, else the loaded palette.
  Palette MatchingPalette(int record) const {
    const int entry = first_entry_[static_cast<std::size_t>(record)];
    const int own = entry < 0 ? -1 : model_.entries[static_cast<std::size_t>(entry)].palette;
    return own < 0 ? loaded_ : PaletteOfRecord(palettes_[static_cast<std::size_t>(own)]);
  }

  // The folder's file of that name, which must not lead out of the folder.
  bool ReadNamed(const std::string& name, const std::string& what, Bytes& bytes) {
    const std::string path = JoinPath(dir_, name);
    if (!StaysInsideFolder(dir_, path))
      return Fail(FillPattern("%s: %s leads out of the folder.", {path, what}));
    if (!ReadWholeFile(path, bytes))
      return Fail(FillPattern("Could not read file %s (%s).", {path, what}));
    return true;
  }

  bool LoadPalettes() {
    palettes_.resize(model_.palettes.size());
    for (std::size_t p = 0; p < model_.palettes.size(); ++p) {
      const std::string what = "palette record " + std::to_string(p);
      if (!ReadNamed(model_.palettes[p].file, what, palettes_[p])) return false;
      if (!IsWholePaletteRecord(palettes_[p]))
        return Fail(FillPattern("%s is not a palette record: its length does not match its count.",
                                {JoinPath(dir_, model_.palettes[p].file)}));
    }
    return true;
  }

  // The palette a record's picture was written with.
  Palette WrittenPalette(const FolderRecord& r) const {
    return r.colours < 0 ? model_.loaded
                         : PaletteOfRecord(palettes_[static_cast<std::size_t>(r.colours)]);
  }

  bool BuildRecord(int id) {
    const FolderRecord& r = model_.records[static_cast<std::size_t>(id)];
    Bytes& record = records_[static_cast<std::size_t>(id)];
    if (r.absent && !r.raw.empty())
      return ReadNamed(r.raw, "the record of " + EntryText(id), record);
    if (r.absent) {
      const auto head = SerializeImageHeader(r.header);
      record.assign(head.begin(), head.end());
      return true;
    }
    const std::string what = "the picture of " + EntryText(id);
    const std::string path = JoinPath(dir_, r.picture);
    if (!StaysInsideFolder(dir_, path))
      return Fail(FillPattern("%s: %s leads out of the folder.", {path, what}));
    const PictureReadResult read = ReadPictureFile(ws_, path);
    if (!read.ok) return Fail(read.message + " (" + what + ")");
    const FrameColours colours = ColoursOfBitmap(ws_);
    if (PixelDigest(colours) != r.digest) return BuildEdited(id, r, path, record);
    if (!r.raw.empty()) return ReadNamed(r.raw, "the record of " + EntryText(id), record);
    const bool same_indices = ws_.BmpIndexInfo.indexed && !r.index_digest.empty() &&
                              PixelDigest(IndicesOfBitmap(ws_)) == r.index_digest;
    const FrameIndices indices =
        same_indices ? IndicesOfBitmap(ws_) : IndicesOfColours(colours, WrittenPalette(r));
    if (!RecordFromIndices(*scratch_, indices, r.header, record))
      return Fail(
          FillPattern("%s is damaged: record %d has a box outside the picture and no record file.",
                      {JoinPath(dir_, kFolderModelName), std::to_string(id)}));
    return true;
  }

  // An edited picture, converted against the palette its first entry uses.
  bool BuildEdited(int id, const FolderRecord& r, const std::string& path, Bytes& record) {
    ws_.LoadedPalette = MatchingPalette(id);
    ErrorsOnly quiet(reporter_);
    const ConvertResult converted = ConvertLoadedPicture(ws_, options_.no_flash, quiet);
    ws_.LoadedPalette = loaded_;
    if (converted != ConvertResult::kConverted)
      return Fail(FillPattern(
          "%s (%s) has no pixel other than the background colour: there is no image to pack.",
          {path, "the picture of " + EntryText(id)}));
    ws_.CurHeader.OffsWord = r.header.OffsWord;
    EncodeImage(ws_, record);
    PutLE32(&record[4], static_cast<std::uint32_t>(r.header.OffsWord));
    ++edited_;
    return true;
  }

  WorkState& ws_;
  std::string dir_;
  const PackOptions& options_;
  Reporter& reporter_;
  std::unique_ptr<WorkState> scratch_;
  Palette loaded_;
  FolderModel model_;
  std::vector<int> first_entry_;  // of each record; -1 when no entry uses it
  std::vector<Bytes> records_;
  std::vector<Bytes> palettes_;
  int edited_ = 0;
};

}  // namespace

bool PackFolder(WorkState& ws, const std::string& dir, const std::string& out,
                const PackOptions& options, Reporter& reporter, const ProgressFn& progress) {
  Packer packer(ws, dir, options, reporter);
  if (!packer.Load() || !packer.BuildRecords(progress)) return false;
  Bytes archive;
  if (!packer.Assemble(archive)) {
    reporter.ShowError(FillPattern(kShpTooLarge, {out}));
    return false;
  }
  if (!WriteFileOrReport(out, "Could not open file %s.", reporter,
                         [&archive](OutFile& file) { file.Write(archive); }))
    return false;
  reporter.Log(std::to_string(packer.Edited()) + " edited pictures converted");
  return true;
}

}  // namespace pelgrin
