// Load Script of a fuzzed file, then Save Script of the table and Load Script again:
// whatever was loaded must save and load without trouble.
#include <memory>

#include "fuzz_support.h"
#include "transfer/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelgrin;
  static auto table = std::make_unique<ScriptTable>();
  fuzz::QuietReporter quiet;
  if (!LoadScript(*table, fuzz::AsFile(data, size), quiet)) return 0;
  const std::string saved = fuzz::ScratchDir() + "/saved.csv";
  if (SaveScript(*table, saved, quiet)) LoadScript(*table, saved, quiet);
  return 0;
}
