#include "fuzz_support.h"

#include <unistd.h>

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

std::string AsFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const std::string path = BaseDir() + "/" + name;
  OutFile out;
  if (out.Create(path)) {
    out.Write(std::span<const std::uint8_t>(data, size));
    out.Close();
  }
  return path;
}

std::string ScratchDir() {
  const std::string dir = BaseDir() + "/scratch";
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace pelgrin::fuzz
