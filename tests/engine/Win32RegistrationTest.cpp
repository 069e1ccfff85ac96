// Registration, the install log and their removal on the real registry and file system (run
// under Wine). The product's own keys are written for the test and removed afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/InstallLog.h"
#include "engine/Registration.h"
#include "javatools/JavaTools.h"
#include "platform/win32/Win32Machine.h"
#include "support/Dates.h"
#include "support/FolderTree.h"
#include "support/Folders.h"
#include "support/ProfileFile.h"
#include "support/Text.h"
#include "tests/engine/RegistryProbe.h"

namespace ov::engine {
namespace {

using platform::RegRoot;
using ::testing::ElementsAre;

constexpr char kScratch[] = "C:\\ovregistration";
constexpr char kTarget[] = "C:\\ovregistration\\Ornivale";
constexpr char kWindows[] = "C:\\ovregistration\\windows";
constexpr char kSystem[] = "SOFTWARE\\Velmorra\\Ornivale\\System";
constexpr char kEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";

struct ProductKey {
  RegRoot root;
  const char* path;
};
// What a rollback removes.
constexpr ProductKey kRemoved[] = {
    {RegRoot::ClassesRoot, "{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}"},
    {RegRoot::ClassesRoot, ".ov5"},
    {RegRoot::ClassesRoot, "Applications\\ornivale.exe"},
    {RegRoot::ClassesRoot, "Applications\\rirovor.exe"},
    {RegRoot::LocalMachine, kEntry},
};

class Win32RegistrationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A machine where the product is registered is left alone.
    for (const ProductKey& key : kRemoved) {
      if (KeyExists(registry(), key.root, key.path)) GTEST_SKIP() << "already registered: " << key.path;
    }
    if (KeyExists(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra")) {
      GTEST_SKIP() << "the product's settings exist already";
    }
    owned_ = true;
    ASSERT_TRUE(ForceFolder(files(), kTarget));
    ASSERT_TRUE(ForceFolder(files(), kWindows));
    WriteFile(std::string(kTarget) + "\\ornivale.exe", "MZ product");
    WriteFile(std::string(kTarget) + "\\OVUninstall.exe", "MZ uninstaller");
  }

  void TearDown() override {
    if (!owned_) return;
    for (const ProductKey& key : kRemoved) DeleteRegistryTree(registry(), key.root, key.path);
    DeleteRegistryTree(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra");
    DeleteFolderTreeRecursive(files(), kScratch, true);
  }

  platform::Machine& machine() { return win32_.machine(); }
  platform::FileSystem& files() { return machine().files; }
  platform::Registry& registry() { return machine().registry; }

  void WriteFile(const std::string& path, const std::string& data) {
    const auto file = files().Open(path, platform::FileAccess::Write, platform::FileShare::None,
                                   platform::FileCreate::CreateAlways);
    ASSERT_NE(file, nullptr) << path;
    ASSERT_TRUE(file->Write(data.data(), static_cast<std::uint32_t>(data.size()))) << path;
  }

  std::optional<std::string> String(RegRoot root, const std::string& key, const std::string& name) {
    return StringOf(registry(), root, key, name);
  }

 private:
  win32::Win32Machine win32_;
  bool owned_ = false;
};

TEST_F(Win32RegistrationTest, RegistersLogsAndRemovesTheProduct) {
  const javatools::TSunJDK jdk(files(), "1.6.0_ovtest", "C:\\ovregistration\\jdk");
  const javatools::TMobileWTK wtk(files(), "2.5.2_ovtest", "C:\\ovregistration\\wtk");
  WriteSettings(registry(), kTarget, &jdk, &wtk);
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "OpenProject"), "C:\\ovregistration\\Ornivale\\Projects");
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaVersion"), "1.6.0_ovtest");
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "WTKVersion"), "2.5.2_ovtest");
  EXPECT_EQ(DwordOf(registry(), RegRoot::LocalMachine, kSystem, "OpenImgIdx"), 0u);
  EXPECT_TRUE(KeyExists(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra\\Ornivale\\Dialogs"));

  RegisterFileTypes(registry(), machine().shell, kTarget);
  const std::string command = "\"C:\\ovregistration\\Ornivale\\ornivale.exe\" \"%1\"";
  EXPECT_EQ(String(RegRoot::ClassesRoot, ".ov5\\Shell\\Open\\Command", ""), command);
  EXPECT_EQ(String(RegRoot::ClassesRoot, "Applications\\Ornivale.exe\\shell\\open\\command", ""), command);
  EXPECT_EQ(String(RegRoot::ClassesRoot, ".ov5\\DefaultIcon", ""),
            "C:\\ovregistration\\Ornivale\\ornivale.exe,0");
  EXPECT_EQ(String(RegRoot::ClassesRoot, "Applications\\ornivale.exe\\SupportedTypes", ".ov5"),
            "Ornivale Project");
  int applicationKeys = 0;
  for (const std::string& name : SubKeysOf(registry(), RegRoot::ClassesRoot, "Applications")) {
    if (EqualsNoCase(name, "ornivale.exe")) ++applicationKeys;
  }
  EXPECT_EQ(applicationKeys, 1);

  WriteUninstallEntry(machine(), kTarget, kWindows, 123456);
  EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "UnInstallString"),
            "C:\\ovregistration\\windows\\OVUninstall.exe");
  EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "DisplayVersion"), "1.0.7.25");
  EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "InstallDate"),
            DateStamp(DayNumber(machine().system.Now())));
  EXPECT_EQ(DwordOf(registry(), RegRoot::LocalMachine, kEntry, "EstimatedSize"), 121u);
  EXPECT_EQ(DwordOf(registry(), RegRoot::LocalMachine, kEntry, "NoRepair"), 1u);
  EXPECT_TRUE(files().FileExists("C:\\ovregistration\\windows\\OVUninstall.exe"));
  EXPECT_FALSE(files().FileExists("C:\\ovregistration\\Ornivale\\OVUninstall.exe"));

  const std::vector<std::string> folders = {kTarget};
  const std::vector<std::string> written = {"C:\\ovregistration\\Ornivale\\ornivale.exe",
                                            "C:\\ovregistration\\Ornivale\\OVUninstall.exe"};
  EXPECT_EQ(WriteInstallLog(files(), kWindows, kTarget, folders, written), 0);
  const ProfileFile log(files(), "C:\\ovregistration\\windows\\OVinstall.log");
  EXPECT_THAT(log.SectionNames(), ElementsAre("Document", "Folders", "Files"));
  EXPECT_EQ(log.ReadInteger("Document", "Files", 99), 1);
  EXPECT_EQ(log.ReadString("Files", "Id_1", ""), "C:\\ovregistration\\Ornivale\\OVUninstall.exe");

  // The rollback also takes the keys the install itself never writes.
  ASSERT_NE(registry().Create(RegRoot::ClassesRoot, "{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}\\InprocServer32"),
            nullptr);
  ASSERT_NE(registry().Create(RegRoot::ClassesRoot, "Applications\\rirovor.exe\\shell\\open\\command"),
            nullptr);
  RemoveRegistration(registry());
  for (const ProductKey& key : kRemoved) EXPECT_FALSE(KeyExists(registry(), key.root, key.path)) << key.path;
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "Applications"));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::LocalMachine,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaVersion"), "1.6.0_ovtest");

  RemoveCopiedFiles(files(), folders, written);
  EXPECT_FALSE(files().DirectoryExists(kTarget));
  EXPECT_TRUE(files().FileExists("C:\\ovregistration\\windows\\OVUninstall.exe"));
}

}  // namespace
}  // namespace ov::engine
