// Replace and Add on a 50 MB archive against a plain copy of the same file; and the copy
// an append makes (its records move by the 8 bytes of a new index entry) done by the
// kernel against CopyBytes.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "io/files.h"
#include "ratio_report.h"
#include "shp/archive_builder.h"
#include "shp/load_shp.h"
#include "shp/rebuild.h"
#include "shp/work_state.h"

namespace {

namespace fs = std::filesystem;

constexpr int kImages = 2000;
constexpr std::size_t kRecordBytes = 25000;  // 2000 records of 25 kB: 50 MB

class QuietReporter : public pelgrin::Reporter {
 public:
  void Log(std::string_view) override {}
  void ClearLog() override {}
  void ShowError(std::string_view text) override { errors += std::string(text) + "\n"; }
  void Message(std::string_view, std::string_view) override {}
  std::string errors;
};

std::vector<std::uint8_t> RecordOf(std::size_t bytes, std::uint32_t seed) {
  std::vector<std::uint8_t> record(bytes);
  for (std::size_t i = 0; i < bytes; ++i) {
    seed = seed * 1664525u + 1013904223u;
    record[i] = static_cast<std::uint8_t>(seed >> 24);
  }
  return record;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The archive, the new record and the opened state, made once for every benchmark.
struct Setup {
  Setup() : dir(fs::temp_directory_path() / ("pelgrin-bench-" + std::to_string(::getpid()))) {
    fs::create_directories(dir);
    std::vector<pelgrin::ArchiveImage> images(kImages);
    for (int i = 0; i < kImages; ++i) {
      images[static_cast<std::size_t>(i)].record =
          RecordOf(kRecordBytes, static_cast<std::uint32_t>(i));
      if (i % 3 == 0) {
        images[static_cast<std::size_t>(i)].has_palette = true;
        images[static_cast<std::size_t>(i)].palette.assign(240, {1, 2, 3, 4});
      }
    }
    WriteBytes(Path("big.shp"), pelgrin::BuildArchive(images));
    WriteBytes(Path("New_shp.sdf"), RecordOf(kRecordBytes + 777, 99));
    ws = std::make_unique<pelgrin::WorkState>();
    QuietReporter quiet;
    pelgrin::LoadShp(*ws, Path("big.shp"), quiet);
    ws->NewImagePath = Path("New_shp.sdf");
  }
  ~Setup() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  fs::path dir;
  std::unique_ptr<pelgrin::WorkState> ws;
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

void BM_CopyFile(benchmark::State& state) {
  Setup& s = TheSetup();
  for (auto _ : state) {
    fs::copy_file(s.Path("big.shp"), s.Path("copy.shp"), fs::copy_options::overwrite_existing);
  }
}

void BM_CopyLoop(benchmark::State& state) {
  Setup& s = TheSetup();
  std::vector<char> block(1 << 20);
  for (auto _ : state) {
    std::FILE* in = std::fopen(s.Path("big.shp").c_str(), "rb");
    std::FILE* out = std::fopen(s.Path("copy.shp").c_str(), "wb");
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), in)) > 0;)
      std::fwrite(block.data(), 1, got, out);
    std::fclose(in);
    std::fclose(out);
  }
}

void BM_ReplaceMiddle(benchmark::State& state) {
  Setup& s = TheSetup();
  QuietReporter quiet;
  for (auto _ : state) {
    if (!pelgrin::ReplaceImageInShp(*s.ws, pelgrin::RebuildPathsOf(*s.ws), kImages / 2, false,
                                    quiet))
      state.SkipWithError(quiet.errors.c_str());
  }
}

void BM_Append(benchmark::State& state) {
  Setup& s = TheSetup();
  QuietReporter quiet;
  for (auto _ : state) {
    if (!pelgrin::AppendImageToShp(*s.ws, pelgrin::RebuildPathsOf(*s.ws), quiet))
      state.SkipWithError(quiet.errors.c_str());
  }
}

// The bytes after the index of the archive, copied to 8 bytes further on in a new file.
constexpr std::int64_t kShiftFrom = 16008;
constexpr std::int64_t kShiftTo = kShiftFrom + 8;

#if defined(__linux__)
void BM_KernelCopyShifted(benchmark::State& state) {
  Setup& s = TheSetup();
  const std::vector<std::uint8_t> head(kShiftTo);
  for (auto _ : state) {
    std::FILE* in = std::fopen(s.Path("big.shp").c_str(), "rb");
    std::FILE* out = std::fopen(s.Path("copy.shp").c_str(), "wb");
    std::fwrite(head.data(), 1, head.size(), out);
    std::fflush(out);
    loff_t from = kShiftFrom;
    while (::copy_file_range(fileno(in), &from, fileno(out), nullptr, 1 << 30, 0) > 0) {
    }
    std::fclose(in);
    std::fclose(out);
  }
}
BENCHMARK(BM_KernelCopyShifted)->Unit(benchmark::kMillisecond);
#endif

void BM_CopyBytesShifted(benchmark::State& state) {
  Setup& s = TheSetup();
  const std::vector<std::uint8_t> head(kShiftTo);
  for (auto _ : state) {
    pelgrin::InFile in;
    pelgrin::AtomicFile out;
    if (!in.Open(s.Path("big.shp")) || !out.Create(s.Path("copy.shp"))) {
      state.SkipWithError("cannot open the files");
      break;
    }
    out.Out().Write(head);
    in.Seek(kShiftFrom);
    pelgrin::CopyBytes(in, out.Out(), in.Size() - kShiftFrom);
    out.Commit();
  }
}
BENCHMARK(BM_CopyBytesShifted)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceMiddle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return pelgrin::bench::RunWithRatios(argc, argv,
                                       {{"BM_CopyFile", "BM_ReplaceMiddle"},
                                        {"BM_CopyLoop", "BM_ReplaceMiddle"},
                                        {"BM_CopyFile", "BM_Append"},
                                        {"BM_CopyLoop", "BM_Append"},
                                        {"BM_KernelCopyShifted", "BM_CopyBytesShifted"}});
}
