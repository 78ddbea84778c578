#include "transfer/engine.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "io/file_lock.h"
#include "io/files.h"
#include "io/paths.h"
#include "io/text.h"
#include "shp/messages.h"
#include "transfer/rebuild.h"
#include "transfer/record.h"

namespace pelgrin {
namespace {

constexpr std::string_view kCouldNotSetPath = "Could not set path %s. Aborting.";
constexpr std::string_view kSourceIconMissing = "Icon %d of %d does not exist. Aborting.";
constexpr std::string_view kCouldNotOpenTemp = "Couldn't open temp file %s. Aborting.";
constexpr std::string_view kCouldNotOpenNewFile = "Could not open bignew.shp. Aborting.";
constexpr std::string_view kDestIconMissing = "Icon %d does not exist in %s";
constexpr std::string_view kIconOutsideFile = "Icon %d of %s points outside the file. Aborting.";
constexpr std::string_view kIconCutOff =
    "Icon %d of %s is cut off by the end of the file. Aborting.";
constexpr std::string_view kIconOverlaps =
    "Icon %d of %s overlaps another record of the file. Aborting.";
constexpr std::string_view kKeptNewFile =
    "Could not rename %s to %s. The new content is kept in %s. Aborting.";
constexpr std::string_view kCouldNotRename = "Could not rename %s to %s. Aborting.";
constexpr std::string_view kNotAFileName =
    "'%s' is not a file name: a script names files of the source and dest folders, without "
    "folders of its own. Aborting.";

using Bytes = std::vector<std::uint8_t>;

// "FOLDER/NAME.shp", the way messages and labels show it.
std::string ArchivePath(std::string_view folder, const std::string& name) {
  return std::string(folder) + kPathSeparator + name + ".shp";
}

// A script cell names a file inside its folder: no path of its own, no way out.
bool IsFileName(const std::string& name) {
  return name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
}

// A file of the program's directory as messages show it: relative to that directory.
std::string Shown(const WorkState& ws, const std::string& path) {
  return path.starts_with(ws.ProgramDir) ? path.substr(ws.ProgramDir.size()) : path;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(FsPath(path), ec);
}

// Everything the engine needs to say about one file of a row.
class RowReporter {
 public:
  explicit RowReporter(Reporter& reporter) : reporter_(reporter) {}
  void FileError(std::string_view pattern, std::initializer_list<std::string_view> args) {
    reporter_.Message(FillPattern(pattern, args), kFileErrorCaption);
  }
  void InputError(std::string_view pattern, std::initializer_list<std::string_view> args) {
    reporter_.Message(FillPattern(pattern, args), kInputErrorCaption);
  }
  // Icons whose index entry or record is damaged.
  void OutsideFile(std::int32_t icon, const std::string& path) {
    FileError(kIconOutsideFile, {std::to_string(icon), path});
  }
  void CutOff(std::int32_t icon, const std::string& path) {
    FileError(kIconCutOff, {std::to_string(icon), path});
  }
  bool Commit(AtomicFile& file, const std::string& shown_path) {
    if (file.Commit() == AtomicFile::Result::kOk) return true;
    FileError(kCouldNotWriteFile, {shown_path});
    return false;
  }

 private:
  Reporter& reporter_;
};

// Reads icon n of the source archive, remapped when asked. Nothing when it fails.
std::optional<Bytes> ReadSourceRecord(const WorkState& ws, const std::string& source,
                                      std::int32_t n, bool use_two_palettes, RowReporter& say) {
  InFile file;
  if (!file.Open(JoinPath(ws.ProgramDir, source))) {
    say.FileError(kCouldNotOpenAborting, {source});
    return std::nullopt;
  }
  const IconLocation where = LocateIcon(file, n);
  if (where.status == IconLocation::Status::kNoIcon) {
    say.InputError(kSourceIconMissing, {std::to_string(n), std::to_string(where.count)});
    return std::nullopt;
  }
  if (where.status != IconLocation::Status::kFound) {
    say.OutsideFile(n, source);
    return std::nullopt;
  }
  std::optional<RemapTable> remap;
  if (use_two_palettes) remap = BuildRemapTable(ws.SourcePalette, ws.LoadedPalette);
  ImageRecord record = ReadImageRecord(file, where.offset, remap ? &*remap : nullptr);
  if (!record.complete) {
    say.CutOff(n, source);
    return std::nullopt;
  }
  return std::move(record.bytes);
}

// Writes the destination with icon m replaced by record into out. False when it fails.
bool WriteNewDestination(const WorkState& ws, const std::string& dest, std::int32_t m,
                         const Bytes& record, OutFile& out, RowReporter& say) {
  InFile file;
  if (!file.Open(JoinPath(ws.ProgramDir, dest))) {
    say.FileError(kCouldNotOpenAborting, {dest});
    return false;
  }
  const IconLocation where = LocateIcon(file, m);
  if (where.status == IconLocation::Status::kNoIcon) {
    say.InputError(kDestIconMissing, {std::to_string(m), dest});
    return false;
  }
  if (where.status != IconLocation::Status::kFound) {
    say.OutsideFile(m, dest);
    return false;
  }
  const ImageRecord old_record = ReadImageRecord(file, where.offset, nullptr);
  if (!old_record.complete) {
    say.CutOff(m, dest);
    return false;
  }
  const RecordSpan span{where.offset, static_cast<std::int64_t>(old_record.bytes.size())};
  switch (WriteRebuiltArchive(file, where.count, span, record, out)) {
    case RebuildResult::kWritten:
      return true;
    case RebuildResult::kOverlap:
      say.FileError(kIconOverlaps, {std::to_string(m), dest});
      return false;
    case RebuildResult::kFileEnded:
      say.CutOff(m, dest);
      return false;
  }
  return false;
}

// Commits TransTmp.sdf, then puts the new destination in place of the old one. A new
// destination that cannot take its place is kept under its temporary name, and said so.
RowResult PutInPlace(const WorkState& ws, AtomicFile& temp, AtomicFile& rebuilt,
                     const std::string& dest, RowReporter& say) {
  if (!say.Commit(temp, std::string(kTransferTempName))) return RowResult::kFailed;
  rebuilt.KeepIfRenameFails();
  switch (rebuilt.Commit()) {
    case AtomicFile::Result::kOk:
      return RowResult::kDone;
    case AtomicFile::Result::kWriteFailed:
      say.FileError(kCouldNotWriteFile, {dest});
      return RowResult::kFailed;
    case AtomicFile::Result::kRenameFailed:
      break;
  }
  const std::string kept = Shown(ws, rebuilt.KeptPath());
  if (rebuilt.KeptPath().empty() || !FileExists(rebuilt.KeptPath())) {
    say.FileError(kCouldNotRename, {kept, dest});
    return RowResult::kFailed;
  }
  say.FileError(kKeptNewFile, {kept, dest, kept});
  return RowResult::kKeptNewFile;
}

}  // namespace

RowResult TransferRow(const WorkState& ws, const ScriptFields& row, bool use_two_palettes,
                      TransferLabels& labels, Reporter& reporter, bool wait_for_lock) {
  RowReporter say(reporter);
  if (!IsDirectory(ws.ProgramDir)) {
    say.FileError(kCouldNotSetPath, {ws.ProgramDir});
    return RowResult::kFailed;
  }
  const std::string source = ArchivePath("source", row[kSrcFileColumn]);
  const std::int32_t n = StrToInt(row[kSrcIconColumn]);
  labels.from = source;
  if (!IsFileName(row[kSrcFileColumn])) {
    say.InputError(kNotAFileName, {row[kSrcFileColumn]});
    return RowResult::kFailed;
  }
  const std::optional<Bytes> record = ReadSourceRecord(ws, source, n, use_two_palettes, say);
  if (!record) return RowResult::kFailed;

  const std::string temp_name(kTransferTempName);
  AtomicFile temp;
  if (!temp.Create(JoinPath(ws.ProgramDir, temp_name))) {
    say.FileError(kCouldNotOpenTemp, {temp_name});
    return RowResult::kFailed;
  }
  temp.Out().Write(*record);

  const std::string dest = ArchivePath("dest", row[kDestFileColumn]);
  if (!IsFileName(row[kDestFileColumn])) {
    say.InputError(kNotAFileName, {row[kDestFileColumn]});
    return RowResult::kFailed;
  }
  // The destination is read and replaced under its lock, so that no other writer changes
  // it in between.
  const std::string dest_path = JoinPath(ws.ProgramDir, dest);
  FileLock lock;
  if (lock.Lock(dest_path, wait_for_lock) == FileLock::Result::kBusy) {
    say.FileError(kArchiveBusy, {dest});
    return RowResult::kFailed;
  }
  // The new destination is written beside the old one under a name of its own, so that
  // two runs on the same folder never take each other's work.
  AtomicFile rebuilt;
  if (!rebuilt.Create(dest_path)) {
    say.FileError(kCouldNotOpenNewFile, {});
    return RowResult::kFailed;
  }

  const std::int32_t m = StrToInt(row[kDestIconColumn]);
  labels.to = dest;
  if (!WriteNewDestination(ws, dest, m, *record, rebuilt.Out(), say)) return RowResult::kFailed;
  const RowResult result = PutInPlace(ws, temp, rebuilt, dest, say);
  if (result != RowResult::kDone) return result;
  labels.from = source + " Icon " + std::to_string(n);
  labels.to = dest + " Icon " + std::to_string(m);
  return RowResult::kDone;
}

TransferRunSummary RunTransfer(const WorkState& ws, const ScriptTable& table,
                               const TransferRunOptions& options, TransferLabels& labels,
                               Reporter& reporter,
                               const std::function<void(const TransferLabels&)>& row_done) {
  TransferRunSummary summary;
  int row = options.auto_mode ? 1 : options.current_row;
  while (IsCompleteRow(table, row)) {
    const RowResult result = TransferRow(ws, table.Row(row), options.use_two_palettes, labels,
                                         reporter, options.wait_for_locks);
    ++summary.rows_run;
    if (result == RowResult::kDone) {
      if (row_done) row_done(labels);
    } else {
      ++summary.rows_failed;
    }
    if (result == RowResult::kKeptNewFile || !options.auto_mode) break;
    ++row;
  }
  return summary;
}

}  // namespace pelgrin
