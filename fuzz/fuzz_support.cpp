#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "io/files.h"

namespace pelgrin::fuzz {
namespace {

std::string BaseDir() {
  static const std::string base = [] {
    const std::string root = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    const std::string dir = root + "/pelgrin-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    return dir;
  }();
  return base;
}

}  // namespace

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  ReplaceFileContent(path, std::span<const std::uint8_t>(data, size));
}

std::string AsFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const std::string path = BaseDir() + "/" + name;
  WriteFile(path, data, size);
  return path;
}

std::vector<std::int32_t> SampleNumbers(std::int32_t count) {
  // In 64 bits: the count comes from the file and may be any 32-bit value.
  const std::int64_t n = count;
  std::vector<std::int32_t> numbers;
  for (std::int64_t k = 0; k <= std::min<std::int64_t>(n, 4); ++k)
    numbers.push_back(static_cast<std::int32_t>(k));
  for (std::int64_t k = std::max<std::int64_t>(5, n - 3); k <= n; ++k)
    numbers.push_back(static_cast<std::int32_t>(k));
  if (n + 1 <= INT32_MAX) numbers.push_back(static_cast<std::int32_t>(n + 1));
  return numbers;
}

std::string ScratchDir() {
  const std::string dir = BaseDir() + "/scratch";
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace pelgrin::fuzz
