// Discovery on the real registry and file system (run under Wine): a kit and a toolkit are
// registered under the vendors' own keys for the test and removed afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "javatools/JavaTools.h"
#include "platform/Types.h"
#include "platform/win32/Win32Machine.h"
#include "support/FolderTree.h"
#include "support/Folders.h"

namespace ov::javatools {
namespace {

using platform::RegAccess;
using platform::RegRoot;
using ::testing::ElementsAre;

constexpr char kScratch[] = "C:\\ovjavatools";
constexpr char kJdkVersion[] = "1.6.0_ovtest";
constexpr char kWtkVersion[] = "2.5.2_ovtest";

class Win32DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every key the seeding may create, parents first, and whether it was there before.
    for (const char* path :
         {"SOFTWARE\\JavaSoft", "SOFTWARE\\JavaSoft\\Java Development Kit",
          "SOFTWARE\\Sun Microsystems, Inc.", "SOFTWARE\\Sun Microsystems, Inc.\\J2ME Wireless Toolkit",
          "SOFTWARE\\Sun Microsystems, Inc.\\Sun Java Wireless Toolkit"}) {
      keys_.push_back({path, registry().Open(RegRoot::LocalMachine, path, RegAccess::Read) != nullptr});
    }
    RemoveSeeds();
    ASSERT_TRUE(ForceFolder(files(), Jdk() + "\\bin"));
    WriteFile(Jdk() + "\\bin\\javac.exe");
    ASSERT_TRUE(ForceFolder(files(), Wtk() + "\\bin"));
    ASSERT_TRUE(ForceFolder(files(), Wtk() + "\\lib"));
    WriteFile(Wtk() + "\\bin\\preverify.exe");
    WriteFile(Wtk() + "\\lib\\cldcapi10.jar");
    WriteFile(Wtk() + "\\lib\\midpapi20.jar");
    for (const char* device : {"DefaultColorPhone", "HiddenPhone", "NoPropertiesPhone"}) {
      ASSERT_TRUE(ForceFolder(files(), Devices() + device));
      if (std::string(device) != "NoPropertiesPhone") {
        WriteFile(Devices() + device + "\\" + device + ".properties");
      }
    }
    ASSERT_TRUE(files().SetAttributes(Devices() + "HiddenPhone", platform::attr::kHidden));

    Seed(std::string(kJdkRoot) + "\\" + kJdkVersion, "JavaHome", Jdk());
    Seed(std::string(kJ2meWtkRoot) + "\\" + kWtkVersion, "InstallDir", Wtk());
    Seed(std::string(kSunWtkRoot) + "\\" + kWtkVersion, "InstallDir", Wtk());
  }

  void TearDown() override {
    RemoveSeeds();
    for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
      if (!key->existed) registry().DeleteKey(RegRoot::LocalMachine, key->path);
    }
    DeleteFolderTreeRecursive(files(), kScratch, true);
  }

  platform::Machine& machine() { return win32_.machine(); }
  platform::FileSystem& files() { return machine().files; }
  platform::Registry& registry() { return machine().registry; }
  static std::string Jdk() { return std::string(kScratch) + "\\jdk"; }
  static std::string Wtk() { return std::string(kScratch) + "\\wtk"; }
  static std::string Devices() { return Wtk() + "\\wtklib\\devices\\"; }

  void WriteFile(const std::string& path) {
    const auto file = files().Open(path, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileCreate::CreateAlways);
    ASSERT_NE(file, nullptr) << path;
    ASSERT_TRUE(file->Write("x", 1)) << path;
  }

  void Seed(const std::string& keyPath, const std::string& name, const std::string& value) {
    const auto key = registry().Create(RegRoot::LocalMachine, keyPath);
    ASSERT_NE(key, nullptr) << keyPath;
    ASSERT_TRUE(key->SetString(name, value)) << keyPath;
  }

  void RemoveSeeds() {
    registry().DeleteKey(RegRoot::LocalMachine, std::string(kJdkRoot) + "\\" + kJdkVersion);
    registry().DeleteKey(RegRoot::LocalMachine, std::string(kJ2meWtkRoot) + "\\" + kWtkVersion);
    registry().DeleteKey(RegRoot::LocalMachine, std::string(kSunWtkRoot) + "\\" + kWtkVersion);
  }

 private:
  struct Key {
    std::string path;
    bool existed;
  };
  win32::Win32Machine win32_;
  std::vector<Key> keys_;
};

template <class Record>
const Record* FindVersion(const std::vector<std::unique_ptr<Record>>& list, const std::string& version) {
  for (const auto& record : list) {
    if (record->Version == version) return record.get();
  }
  return nullptr;
}

TEST_F(Win32DiscoveryTest, FindsTheSeededKit) {
  std::vector<std::unique_ptr<TSunJDK>> jdks;
  EXPECT_EQ(ScanJDKs(machine(), jdks), 0);
  const TSunJDK* jdk = FindVersion(jdks, kJdkVersion);
  ASSERT_NE(jdk, nullptr);
  EXPECT_EQ(jdk->HomeDir, Jdk());
  EXPECT_EQ(jdk->Status, 0);

  std::vector<std::unique_ptr<TSunJDK>> kept;
  TSunJDK* selected = nullptr;
  CollectJDKs(machine(), kept, selected);
  EXPECT_NE(FindVersion(kept, kJdkVersion), nullptr);
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(selected, kept.front().get());
}

TEST_F(Win32DiscoveryTest, FindsTheSeededToolkitUnderBothRootsWithItsVisibleDevices) {
  std::vector<std::unique_ptr<TMobileWTK>> j2me;
  EXPECT_EQ(ScanWTKs(machine(), kJ2meWtkRoot, j2me), 0);
  const TMobileWTK* wtk = FindVersion(j2me, kWtkVersion);
  ASSERT_NE(wtk, nullptr);
  EXPECT_EQ(wtk->HomeDir, Wtk());
  EXPECT_EQ(wtk->Status, 0);
  ASSERT_NE(wtk->Devices, nullptr);
  EXPECT_THAT(*wtk->Devices, ElementsAre("DefaultColorPhone"));

  std::vector<std::unique_ptr<TMobileWTK>> kept;
  TMobileWTK* selected = nullptr;
  CollectWTKs(machine(), kept, selected);
  std::vector<const TMobileWTK*> seeded;
  for (const auto& record : kept) {
    if (record->Version == kWtkVersion) seeded.push_back(record.get());
  }
  EXPECT_EQ(seeded.size(), 2u);
  ASSERT_FALSE(kept.empty());
  EXPECT_EQ(selected, kept.front().get());
}

}  // namespace
}  // namespace ov::javatools
