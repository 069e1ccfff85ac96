#pragma once
// An emulated machine per test with its clock standing at a known time, and small file helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emulated/EmulatedMachine.h"
#include "project/JavaApp.h"

namespace ov::project::testing {

// 15 December 2008, 14:21:30.189 local time.
constexpr const char* kStamp = "39797_5982660764";

class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    hostRoot_ = std::filesystem::temp_directory_path() /
                ("ov-project-" + std::to_string(random()) + "-" + std::to_string(random()));
    emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
    emulated_->SetClock({2008, 12, 15, 14, 21, 30, 189});
  }

  void TearDown() override {
    emulated_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(hostRoot_, ignored);
  }

  emulated::EmulatedMachine& emulated() { return *emulated_; }
  platform::Machine& machine() { return emulated_->machine(); }
  platform::FileSystem& fs() { return emulated_->machine().files; }

  void MakeFolder(const std::string& path) {
    for (std::size_t cut = path.find('\\', 3);; cut = path.find('\\', cut + 1)) {
      const std::string part = path.substr(0, cut);
      if (!fs().DirectoryExists(part)) {
        ASSERT_TRUE(fs().CreateDirectory(part)) << part;
      }
      if (cut == std::string::npos) break;
    }
  }

  void WriteFile(const std::string& path, std::string_view content) {
    auto file = fs().Open(path, platform::FileAccess::Write, platform::FileShare::None,
                          platform::FileCreate::CreateAlways);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(content.data(), static_cast<std::uint32_t>(content.size()))) << path;
  }

  std::optional<std::string> Contents(const std::string& path) {
    auto file = fs().Open(path, platform::FileAccess::Read, platform::FileShare::ReadWrite,
                          platform::FileCreate::OpenExisting);
    if (!file) return std::nullopt;
    std::string data;
    char buffer[4096];
    std::uint32_t got = 0;
    while (file->Read(buffer, sizeof buffer, got) && got > 0) data.append(buffer, got);
    return data;
  }

  // Names in the folder, sorted, "." and ".." left out.
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs().Find(folder + "\\*")) {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // A document opened from an existing file, so that it starts without a chapter.
  std::unique_ptr<TOVJavaApp> Open(const std::string& fileName, const std::string& workBase = "C:\\work\\") {
    return std::make_unique<TOVJavaApp>(machine(), fileName, kDefaultVendor, kDefaultPackage, workBase);
  }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

struct BundleMember {
  std::string name;
  std::string data;
};

// A bundle laid out by hand: the 99-byte header, the members, then one "name,offset,size" line per
// member and the extra lines, each ended by CR LF.
inline std::string BundleBytes(const std::string& id, const std::vector<BundleMember>& members,
                               const std::vector<std::string>& extraLines = {}) {
  std::string body;
  std::string catalogue;
  for (const BundleMember& m : members) {
    catalogue += m.name + "," + std::to_string(99 + body.size()) + "," + std::to_string(m.data.size()) + "\r\n";
    body += m.data;
  }
  for (const std::string& line : extraLines) catalogue += line + "\r\n";
  const std::string line1 = "OrnivaleProject:" + id + "\r\n";
  const std::string line2 = std::to_string(99 + body.size()) + "\r\n";
  const std::string line3 = "-" + std::string(99 - line1.size() - line2.size() - 3, 'x') + "\r\n";
  return line1 + line2 + line3 + body + catalogue;
}

}  // namespace ov::project::testing
