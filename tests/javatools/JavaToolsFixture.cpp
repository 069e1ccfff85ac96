#include "tests/javatools/JavaToolsFixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <memory>

#include "support/Folders.h"

namespace ov::javatools::testing {

namespace {

std::filesystem::path FreshHostRoot() {
  static std::atomic<int> counter{0};
  return std::filesystem::temp_directory_path() /
         ("ov-javatools-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

}  // namespace

JavaToolsTest::JavaToolsTest() : hostRoot_(FreshHostRoot()), emulated_(hostRoot_) {}

JavaToolsTest::~JavaToolsTest() {
  std::error_code ignored;
  std::filesystem::remove_all(hostRoot_, ignored);
}

void JavaToolsTest::MakeFolder(const std::string& path) { ASSERT_TRUE(ForceFolder(files(), path)) << path; }

void JavaToolsTest::MakeFile(const std::string& path) {
  MakeFolder(Parent(path));
  const std::unique_ptr<platform::File> file = files().Open(
      path, platform::FileAccess::Write, platform::FileShare::None, platform::FileCreate::CreateAlways);
  ASSERT_NE(file, nullptr) << path;
  ASSERT_TRUE(file->Write("x", 1)) << path;
}

void JavaToolsTest::MakeJdk(const std::string& home) { MakeFile(home + "\\bin\\javac.exe"); }

void JavaToolsTest::MakeWtk(const std::string& home) {
  MakeFile(home + "\\bin\\preverify.exe");
  MakeFile(home + "\\lib\\cldcapi10.jar");
  MakeFile(home + "\\lib\\midpapi20.jar");
}

void JavaToolsTest::MakeDevice(const std::string& home, const std::string& name, bool withProperties) {
  const std::string folder = home + "\\wtklib\\devices\\" + name;
  MakeFolder(folder);
  if (withProperties) MakeFile(folder + "\\" + name + ".properties");
}

void JavaToolsTest::Register(std::string_view root, const std::string& subKey, const std::string& valueName,
                             const std::string& value) {
  const auto key =
      machine().registry.Create(platform::RegRoot::LocalMachine, std::string(root) + "\\" + subKey);
  ASSERT_NE(key, nullptr) << subKey;
  ASSERT_TRUE(key->SetString(valueName, value)) << subKey;
}

void JavaToolsTest::RegisterDword(std::string_view root, const std::string& subKey,
                                  const std::string& valueName, std::uint32_t value) {
  const auto key =
      machine().registry.Create(platform::RegRoot::LocalMachine, std::string(root) + "\\" + subKey);
  ASSERT_NE(key, nullptr) << subKey;
  ASSERT_TRUE(key->SetDword(valueName, value)) << subKey;
}

void JavaToolsTest::LoadRegistry(const std::string& regText) {
  const std::filesystem::path regFile = hostRoot_ / "seed.reg";
  {
    std::ofstream out(regFile, std::ios::binary);
    out << regText;
  }
  ASSERT_TRUE(emulated_.LoadRegistry(regFile));
}

}  // namespace ov::javatools::testing
