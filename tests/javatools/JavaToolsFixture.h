#pragma once
// An emulated machine with helpers to lay out kits and toolkits and register them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Machine.h"
#include "platform/emulated/EmulatedMachine.h"

namespace ov::javatools::testing {

class JavaToolsTest : public ::testing::Test {
 protected:
  JavaToolsTest();
  ~JavaToolsTest() override;

  platform::Machine& machine() { return emulated_.machine(); }
  platform::FileSystem& files() { return machine().files; }

  void MakeFolder(const std::string& path);
  void MakeFile(const std::string& path);  // with its folders
  // A folder with bin\javac.exe.
  void MakeJdk(const std::string& home);
  // A folder with bin\preverify.exe, lib\cldcapi10.jar and lib\midpapi20.jar.
  void MakeWtk(const std::string& home);
  // A device folder under home\wtklib\devices, with or without its N\N.properties.
  void MakeDevice(const std::string& home, const std::string& name, bool withProperties);

  // A REG_SZ value in HKLM\root\subKey.
  void Register(std::string_view root, const std::string& subKey, const std::string& valueName,
                const std::string& value);
  void RegisterDword(std::string_view root, const std::string& subKey, const std::string& valueName,
                     std::uint32_t value);
  // Replaces the whole registry with REGEDIT4 text (for value types the key API cannot write).
  void LoadRegistry(const std::string& regText);

 private:
  std::filesystem::path hostRoot_;
  emulated::EmulatedMachine emulated_;
};

}  // namespace ov::javatools::testing
