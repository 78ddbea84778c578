// What the fuzz targets share: the fuzzer's bytes as a file, and a reporter that
// swallows everything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shp/reporter.h"

namespace pelgrin::fuzz {

// Writes data to a per-process scratch file (in memory-backed /dev/shm when there is one)
// and returns its path. Each call overwrites the previous content of that name.
std::string AsFile(const std::uint8_t* data, std::size_t size, const std::string& name = "input");

// A directory for files a target writes; emptied on each call.
std::string ScratchDir();

class QuietReporter : public Reporter {
 public:
  void Log(std::string_view) override {}
  void ClearLog() override {}
  void ShowError(std::string_view) override {}
  void Message(std::string_view, std::string_view) override {}
};

}  // namespace pelgrin::fuzz
