#pragma once
// An emulated machine with the setup program's resources, the scripted view, and the wizard
// started the way the program starts it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptedView.h"
#include "package/PackageWriter.h"
#include "platform/emulated/EmulatedMachine.h"
#include "wizard/TfrmInst.h"

namespace ov::wizard::testing {

// Where the wizard proposes to install on the fixture's machine.
inline constexpr const char* kProgramFiles = "C:\\Program Files";
inline constexpr const char* kDefaultTarget = "C:\\Program Files\\Ornivale";

// Names a parameterised case after its `name` field.
struct ByName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& tested) const {
    return tested.param.name;
  }
};

// A small package like the shipped one: the executable, a skin, content and nine samples.
std::vector<package::PackMember> SmallPackageMembers();
std::string BuildTestPackage(const std::vector<package::PackMember>& members);

class MachineFixture : public ::testing::Test {
 protected:
  MachineFixture();
  ~MachineFixture() override;

  emulated::EmulatedMachine& emulated() { return *emulated_; }
  platform::Machine& machine() { return emulated_->machine(); }
  platform::FileSystem& fs() { return machine().files; }

  void MakeFolder(const std::string& path);  // with its missing parents
  void WriteFile(const std::string& path, std::string_view content);
  bool Exists(const std::string& path) { return fs().GetAttributes(path) != platform::attr::kInvalid; }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

class WizardFixture : public MachineFixture {
 protected:
  WizardFixture();
  ~WizardFixture() override;

  // Program start: the look for another copy, the wizard's creation and its first showing.
  void Start();
  TfrmInst& frm() { return *frm_; }
  ScriptedView& view() { return view_; }

  // From the welcome page to the folder page, accepting the licence on the way.
  void GoToFolderPage();
  // From the folder page to the progress page with the folder typed in; the install job starts.
  void StartInstallInto(const std::string& target);
  // Pumps the UI queue until the condition holds; every state code taken on the way is recorded.
  bool PumpUntil(const std::function<bool()>& condition);
  // Pumps until the finish page shows in state 500; with shortcuts, until the shortcut phase
  // (400, then 500) has passed as well.
  void PumpToFinish(bool withShortcuts);
  // Waits, without pumping, until the install job's body has returned.
  void WaitForJobEnd();

  const std::vector<std::int32_t>& States() const { return states_; }
  void SetPackage(const std::vector<package::PackMember>& members);

 private:
  ScriptedView view_;
  std::vector<std::int32_t> states_;
  std::unique_ptr<TfrmInst> frm_;
};

}  // namespace ov::wizard::testing
