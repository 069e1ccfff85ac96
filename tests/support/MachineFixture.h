#pragma once
// A fresh emulated machine per test, in a host folder of its own that goes away afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "platform/emulated/EmulatedMachine.h"

namespace ov::testing {

class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    hostRoot_ = std::filesystem::temp_directory_path() /
                ("ov-support-" + std::to_string(random()) + "-" + std::to_string(random()));
    emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
  }

  void TearDown() override {
    emulated_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(hostRoot_, ignored);
  }

  emulated::EmulatedMachine& emulated() { return *emulated_; }
  platform::FileSystem& fs() { return emulated_->machine().files; }
  platform::Registry& registry() { return emulated_->machine().registry; }
  platform::System& system() { return emulated_->machine().system; }

  // Creates the folder and its missing parents through the machine itself.
  void MakeFolder(const std::string& path) {
    for (std::size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
      const std::string part = path.substr(0, cut);
      if (!fs().DirectoryExists(part)) {
        ASSERT_TRUE(fs().CreateDirectory(part)) << part;
      }
      if (cut == std::string::npos) break;
    }
  }

  void WriteFile(const std::string& path, std::string_view content,
                 std::optional<std::uint32_t> attributes = std::nullopt) {
    {
      std::unique_ptr<platform::File> file = fs().Open(
          path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
      ASSERT_TRUE(file) << path;
      ASSERT_TRUE(file->Write(content.data(), static_cast<std::uint32_t>(content.size()))) << path;
    }
    if (attributes) {
      ASSERT_TRUE(fs().SetAttributes(path, *attributes)) << path;
    }
  }

  // The file's bytes, nullopt when it cannot be read.
  std::optional<std::string> Contents(const std::string& path) {
    std::unique_ptr<platform::File> file = fs().Open(
        path, platform::FileAccess::Read, platform::FileShare::ReadWrite, platform::FileCreate::OpenExisting);
    if (!file) return std::nullopt;
    std::string data;
    char buffer[4096];
    std::uint32_t got = 0;
    while (file->Read(buffer, sizeof buffer, got) && got > 0) data.append(buffer, got);
    return data;
  }

  bool Exists(const std::string& path) { return fs().GetAttributes(path) != platform::attr::kInvalid; }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

}  // namespace ov::testing
