#pragma once
// An emulated machine per test for the container readers, in a host folder that goes away afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "platform/emulated/EmulatedMachine.h"

namespace ov::package {

class PackageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    hostRoot_ = std::filesystem::temp_directory_path() /
                ("ov-package-" + std::to_string(random()) + "-" + std::to_string(random()));
    emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
  }

  void TearDown() override {
    emulated_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(hostRoot_, ignored);
  }

  platform::FileSystem& fs() { return emulated_->machine().files; }
  emulated::EmulatedMachine& emulated() { return *emulated_; }

  void Put(const std::string& path, std::string_view bytes) {
    std::unique_ptr<platform::File> file = fs().Open(
        path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()))) << path;
  }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

}  // namespace ov::package
