#pragma once
// An emulated machine on a fresh host folder, removed with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/emulated/EmulatedMachine.h"
#include "tests/platform/contract/WholeFiles.h"

namespace ov::emulated {

using platformtest::ReadWholeFile;
using platformtest::WriteWholeFile;

class TestMachine {
 public:
  TestMachine();
  ~TestMachine();
  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  EmulatedMachine& operator*() { return *machine_; }
  EmulatedMachine* operator->() { return machine_.get(); }
  // Another folder on the host, next to the machine's, for files such as .reg exports.
  std::filesystem::path Outside(const std::string& name) const;

 private:
  std::filesystem::path host_;
  std::unique_ptr<EmulatedMachine> machine_;
};

// The fixture of the emulated machine's own tests.
class EmulatedTest : public ::testing::Test {
 protected:
  platform::FileSystem& files() { return machine_->machine().files; }
  platform::Registry& registry() { return machine_->machine().registry; }

  TestMachine machine_;
};

}  // namespace ov::emulated
