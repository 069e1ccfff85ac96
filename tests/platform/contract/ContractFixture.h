#pragma once
// The fixture every contract test uses: a fresh environment (scratch folder and key) per test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/platform/contract/WholeFiles.h"
#include "tests/platform/contract/ContractEnvironment.h"

namespace ov::contract {

using platformtest::ReadWholeFile;
using platformtest::WriteWholeFile;

class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = MakeContractEnvironment();
    ASSERT_NE(env_, nullptr);
  }
  void TearDown() override { env_.reset(); }

  platform::Machine& machine() { return env_->machine(); }
  platform::FileSystem& files() { return env_->machine().files; }
  platform::Registry& registry() { return env_->machine().registry; }
  // A path inside the test's scratch folder.
  std::string Scratch(const std::string& name) { return env_->ScratchFolder() + "\\" + name; }

  std::unique_ptr<ContractEnvironment> env_;
};

}  // namespace ov::contract
