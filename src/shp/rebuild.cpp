#include "shp/rebuild.h"

#include <algorithm>
#include <array>
#include <limits>
#include <span>
#include <system_error>
#include <vector>

#include "io/byte_order.h"
#include "io/files.h"
#include "io/text.h"
#include "shp/messages.h"
#include "shp/shp_format.h"

namespace pelgrin {
namespace {

// Offsets are signed 32-bit: no byte of a file may lie beyond this position.
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

// The header word, the count and the index of a source file, as the file holds them.
struct SourceIndex {
  std::array<std::uint8_t, 4> header_word{};
  std::int32_t count = 0;
  std::vector<std::int32_t> image;
  std::vector<std::int32_t> palette;
  std::int64_t size = 0;
  std::int64_t IndexEnd() const { return ImageOffsetField(count); }
};

// Reads the index and checks it against the file: a count from 0 to MaxImages whose
// index lies inside the file, image offsets inside the file, palette offsets either none
// (0 or less) or inside the file. False when the file is damaged.
bool ReadSourceIndex(InFile& file, SourceIndex& index) {
  index.size = file.Size();
  std::array<std::uint8_t, 8> head{};
  file.Seek(0);
  if (file.Read(head) < head.size()) return false;
  std::copy_n(head.begin(), 4, index.header_word.begin());
  index.count = GetLE32(&head[4]);
  if (index.count < 0 || index.count > MaxImages || index.IndexEnd() > index.size) return false;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(index.count) * 8);
  if (file.Read(block) < block.size()) return false;
  for (std::size_t i = 0; i < static_cast<std::size_t>(index.count); ++i) {
    const std::int32_t image = GetLE32(&block[8 * i]);
    const std::int32_t palette = GetLE32(&block[8 * i + 4]);
    if (image < 0 || image > index.size || palette > index.size) return false;
    index.image.push_back(image);
    index.palette.push_back(palette);
  }
  return true;
}

bool MatchesTables(const SourceIndex& index, const WorkState& ws) {
  return ws.ImageCount == index.count &&
         std::equal(index.image.begin(), index.image.end(), ws.ImageOffsets.begin()) &&
         std::equal(index.palette.begin(), index.palette.end(), ws.PaletteOffsets.begin());
}

// After the output took its place: does the open file now read as the output?
bool OpensSameFile(const std::string& open_path, const std::string& output) {
  if (open_path == output) return true;
  std::error_code ec;
  return !open_path.empty() && std::filesystem::equivalent(FsPath(open_path), FsPath(output), ec);
}

void AdoptTables(WorkState& ws, const std::vector<std::int32_t>& image,
                 const std::vector<std::int32_t>& palette) {
  ws.ImageCount = static_cast<std::int32_t>(image.size());
  std::copy(image.begin(), image.end(), ws.ImageOffsets.begin());
  std::copy(palette.begin(), palette.end(), ws.PaletteOffsets.begin());
}

bool Refuse(Reporter& reporter, std::string_view pattern, const std::string& path) {
  reporter.ShowError(FillPattern(pattern, {path}));
  return false;
}

bool OpenOrReport(InFile& file, const std::string& path, Reporter& reporter) {
  return file.Open(path) || Refuse(reporter, kCouldNotOpenFile, path);
}

void WriteIndex(OutFile& out, const std::vector<std::int32_t>& image,
                const std::vector<std::int32_t>& palette) {
  std::vector<std::uint8_t> block(image.size() * 8);
  for (std::size_t i = 0; i < image.size(); ++i) {
    PutLE32(&block[8 * i], static_cast<std::uint32_t>(image[i]));
    PutLE32(&block[8 * i + 4], static_cast<std::uint32_t>(palette[i]));
  }
  out.Write(block);
}

// Copies count bytes of in from position from; false when the file ran short.
bool CopyRange(InFile& in, std::int64_t from, std::int64_t count, OutFile& out) {
  in.Seek(from);
  return CopyBytes(in, out, count) == count;
}

// Writes the output through a temporary file: write_body copies everything and says
// which input ran short, if any. Reports every failure; true once the output is in place.
template <typename WriteBody>
bool WriteOutput(const RebuildPaths& paths, Reporter& reporter, WriteBody write_body) {
  AtomicFile out;
  if (!out.Create(paths.output)) return Refuse(reporter, kCouldNotOpenFile, paths.output);
  const std::string* short_input = write_body(out.Out());
  if (short_input != nullptr) {
    out.Discard();
    return Refuse(reporter, kCouldNotReadFile, *short_input);
  }
  return CommitOrReport(out, paths.output, reporter);
}

// Whether the record file holds an image: a box whose Right is not left of its Left nor
// its Bottom above its Top, and Bottom - Top + 1 lines of codes that all end inside it.
bool IsImageRecord(InFile& record) {
  std::array<std::uint8_t, kImageHeaderSize> bytes{};
  record.Seek(0);
  if (record.Read(bytes) < bytes.size()) return false;
  const ImageHeader h = ParseImageHeader(bytes);
  if (h.Right < h.Left || h.Bottom < h.Top) return false;
  for (std::int64_t lines = std::int64_t{h.Bottom} - h.Top + 1; lines > 0;) {
    const int code = record.ReadByte();
    if (code < 0) return false;
    if (code == 0) {
      --lines;
      continue;
    }
    const int follow = (code & 1) && code != 1 ? code >> 1 : 1;
    record.Seek(record.Tell() + follow);
    if (record.Tell() > record.Size()) return false;
  }
  return true;
}

// Opens the record file and the source and reads the source's index; reports and returns
// false when any of it fails.
bool OpenInputs(const RebuildPaths& paths, InFile& record, InFile& source, SourceIndex& index,
                Reporter& reporter) {
  if (!OpenOrReport(record, paths.record, reporter) ||
      !OpenOrReport(source, paths.source, reporter))
    return false;
  if (!ReadSourceIndex(source, index)) return Refuse(reporter, kDamagedShp, paths.source);
  return true;
}

}  // namespace

RebuildPaths RebuildPathsOf(const WorkState& ws) {
  return {ws.ShpPath, ws.NewImagePath, ws.OutShpPath};
}

std::int64_t NextImageStart(std::span<const std::int32_t> image_offsets, std::int32_t k,
                            std::int64_t file_length) {
  const auto at = static_cast<std::size_t>(k);
  for (std::size_t i = at + 1; i < image_offsets.size(); ++i) {
    if (image_offsets[i] > image_offsets[at]) return image_offsets[i];
  }
  return file_length;
}

std::int64_t OldImageLength(std::span<const std::int32_t> image_offsets,
                            std::span<const std::int32_t> palette_offsets, std::int32_t k,
                            std::int64_t file_length) {
  const std::int64_t start = image_offsets[static_cast<std::size_t>(k)];
  std::int64_t end = NextImageStart(image_offsets, k, file_length);
  for (std::size_t i = 0; i < image_offsets.size(); ++i) {
    if (image_offsets[i] > start) end = std::min<std::int64_t>(end, image_offsets[i]);
    if (palette_offsets[i] > start) end = std::min<std::int64_t>(end, palette_offsets[i]);
  }
  return std::max<std::int64_t>(end - start, 0);
}

bool ReplaceImageInShp(WorkState& ws, const RebuildPaths& paths, std::int64_t entry,
                       bool keep_old_header, Reporter& reporter) {
  InFile record;
  InFile source;
  SourceIndex index;
  if (!OpenInputs(paths, record, source, index, reporter)) return false;
  if (entry < 0 || entry >= index.count) {
    reporter.ShowError(FillPattern(kNoSuchImage, {std::to_string(entry + 1), paths.source}));
    return false;
  }
  const auto k = static_cast<std::int32_t>(entry);
  if (paths.source == ws.ShpPath && !MatchesTables(index, ws))
    return Refuse(reporter, kShpChanged, paths.source);
  const std::int64_t new_length = record.Size();
  if (new_length < kImageHeaderSize) return Refuse(reporter, kNotARecord, paths.record);
  if (!IsImageRecord(record)) return Refuse(reporter, kNotAnImageRecord, paths.record);
  const std::int64_t start = index.image[static_cast<std::size_t>(k)];
  if (start < index.IndexEnd() || (keep_old_header && start + kImageHeaderSize > index.size))
    return Refuse(reporter, kDamagedShp, paths.source);
  const std::int64_t old_length = OldImageLength(index.image, index.palette, k, index.size);
  const std::int64_t shift = new_length - old_length;
  if (index.size + shift > kMaxOffset) return Refuse(reporter, kShpTooLarge, paths.output);

  // Everything after the old record moves by shift; records before it and those that
  // share it stay where they are.
  std::vector<std::int32_t> image = index.image;
  std::vector<std::int32_t> palette = index.palette;
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (image[i] > start) image[i] = static_cast<std::int32_t>(image[i] + shift);
    if (palette[i] > start) palette[i] = static_cast<std::int32_t>(palette[i] + shift);
  }

  const bool written = WriteOutput(paths, reporter, [&](OutFile& out) -> const std::string* {
    out.Write(index.header_word);
    out.WriteLE32(static_cast<std::uint32_t>(index.count));
    WriteIndex(out, image, palette);
    if (!CopyRange(source, index.IndexEnd(), start - index.IndexEnd(), out)) return &paths.source;
    std::int64_t from_record = 0;
    if (keep_old_header) {
      if (!CopyRange(source, start, kImageHeaderSize, out)) return &paths.source;
      from_record = kImageHeaderSize;
    }
    if (!CopyRange(record, from_record, new_length - from_record, out)) return &paths.record;
    const std::int64_t rest = start + old_length;
    if (!CopyRange(source, rest, index.size - rest, out)) return &paths.source;
    return nullptr;
  });
  if (written && OpensSameFile(ws.ShpPath, paths.output)) AdoptTables(ws, image, palette);
  return written;
}

bool AppendImageToShp(WorkState& ws, const RebuildPaths& paths, Reporter& reporter) {
  InFile record;
  InFile source;
  SourceIndex index;
  if (!OpenInputs(paths, record, source, index, reporter)) return false;
  if (index.count >= MaxImages) return Refuse(reporter, kShpFull, paths.source);
  const std::int64_t new_length = record.Size();
  if (new_length < kImageHeaderSize) return Refuse(reporter, kNotARecord, paths.record);
  if (!IsImageRecord(record)) return Refuse(reporter, kNotAnImageRecord, paths.record);
  if (index.size + 8 + new_length > kMaxOffset) return Refuse(reporter, kShpTooLarge, paths.output);

  // The index grows by one entry of 8 bytes, so every record moves by 8; the new record
  // follows the old file's last byte and shares the last image's palette record.
  std::vector<std::int32_t> image = index.image;
  std::vector<std::int32_t> palette = index.palette;
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] += 8;
    if (palette[i] > 0) palette[i] += 8;
  }
  image.push_back(static_cast<std::int32_t>(index.size + 8));
  palette.push_back(palette.empty() ? 0 : palette.back());

  const bool written = WriteOutput(paths, reporter, [&](OutFile& out) -> const std::string* {
    out.Write(index.header_word);
    out.WriteLE32(static_cast<std::uint32_t>(index.count + 1));
    WriteIndex(out, image, palette);
    if (!CopyRange(source, index.IndexEnd(), index.size - index.IndexEnd(), out))
      return &paths.source;
    if (!CopyRange(record, 0, new_length, out)) return &paths.record;
    return nullptr;
  });
  if (written && OpensSameFile(ws.ShpPath, paths.output)) AdoptTables(ws, image, palette);
  return written;
}

}  // namespace pelgrin
