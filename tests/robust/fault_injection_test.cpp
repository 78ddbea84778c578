// Every writing operation, failed at every point where it consults the file layer: the
// failure is reported with the file's path, the operation fails, and the files are as
// they were (except the complete files an operation is known to keep).
#include <gtest/gtest.h>

#include <cctype>

#include "fault_harness.h"
#include "operations.h"

namespace pelgrin::robust {
namespace {

class FaultInjection : public ::testing::TestWithParam<WritingOperation> {};

TEST_P(FaultInjection, EveryFailurePointIsReportedAndChangesNothing) {
  const std::vector<FaultOutcome> rows = CheckEveryFailurePoint(GetParam());
  RecordOutcomes(rows);
}

std::string TestName(const ::testing::TestParamInfo<WritingOperation>& info) {
  std::string name;
  for (const char c : info.param.name)
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultInjection, ::testing::ValuesIn(AllWritingOperations()),
                         TestName);

}  // namespace
}  // namespace pelgrin::robust
