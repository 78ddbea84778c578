#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "shp/file_io.h"

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
  OutFile out;
  if (out.Create(path)) {
    out.Write(std::span<const std::uint8_t>(data, size));
    out.Close();
  }
}

std::string AsFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const std::string path = BaseDir() + "/" + name;
  WriteFile(path, data, size);
  return path;
}

std::vector<std::int32_t> SampleNumbers(std::int32_t count) {
  std::vector<std::int32_t> numbers;
  for (std::int32_t n = 0; n <= std::min(count, 4); ++n)
    numbers.push_back(n);
  for (std::int32_t n = std::max(5, count - 3); n <= count; ++n)
    numbers.push_back(n);
  numbers.push_back(count + 1);
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
