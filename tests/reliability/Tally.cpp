#include "tests/reliability/Tally.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <mutex>

namespace ov::reliability {
namespace {

struct Counts {
  std::mutex mutex;
  std::map<std::string, std::map<std::string, int>> byMatrix;
};

Counts& counts() {
  static Counts instance;
  return instance;
}

class PrintTally final : public ::testing::Environment {
 public:
  void TearDown() override {
    std::lock_guard lock(counts().mutex);
    for (const auto& [matrix, outcomes] : counts().byMatrix) {
      int total = 0;
      for (const auto& [outcome, count] : outcomes) total += count;
      std::cout << "[" << matrix << "] " << total << " cases\n";
      for (const auto& [outcome, count] : outcomes) std::cout << "  " << count << " x " << outcome << "\n";
    }
  }
};

// Registered before main runs the tests.
[[maybe_unused]] ::testing::Environment* const kPrinter = ::testing::AddGlobalTestEnvironment(new PrintTally);

}  // namespace

void Tally(const std::string& matrix, const std::string& outcome) {
  std::lock_guard lock(counts().mutex);
  ++counts().byMatrix[matrix][outcome];
}

}  // namespace ov::reliability
