// The registration fault matrix: every registry change the registration phase makes (key creations,
// opens for writing, value writes, in the order of a clean install with a Java kit and toolkit
// chosen), denied one at a time. What must follow:
// - a settings value that cannot be written ends the settings there, and the file types, the
//   uninstall entry and the log follow;
// - a settings key that cannot be created in the first pass is of no consequence to the rest;
// - in the ".ov5" association and anywhere in the uninstall entry, the failure ends the registration:
//   nothing after it is tried and no log is written;
// - an "Applications" key that fails loses only its own remaining values;
// and in every case the job ends as a successful install, (100, 0).
// The wizard's side of it (the finish page reports success) is the last test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "javatools/JavaTools.h"
#include "tests/reliability/InstallRig.h"
#include "tests/reliability/Tally.h"
#include "tests/wizard/WizardFixture.h"

namespace ov::reliability {
namespace {

using engine::JobEnded;
using platform::RegRoot;

enum class Phase { SettingsKeys, Settings, Association, Applications, Uninstall };

const char* Name(Phase phase) {
  switch (phase) {
    case Phase::SettingsKeys: return "settings key";
    case Phase::Settings: return "settings value";
    case Phase::Association: return ".ov5 association";
    case Phase::Applications: return "Applications key";
    case Phase::Uninstall: return "uninstall entry";
  }
  return "?";
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::toupper(ch); });
  return text;
}

bool IsValueWrite(const RegChange& c) { return c.op == RegOp::SetString || c.op == RegOp::SetDword; }

// What a change belongs to, by its key; a settings key created without a value written into it
// belongs to the first pass that only creates the keys.
std::vector<Phase> Phases(const std::vector<RegChange>& changes) {
  std::vector<Phase> phases;
  for (std::size_t i = 0; i < changes.size(); ++i) {
    const RegChange& c = changes[i];
    const std::string key = Upper(c.key);
    if (c.root == RegRoot::ClassesRoot) {
      phases.push_back(key.rfind(".OV5", 0) == 0 ? Phase::Association : Phase::Applications);
    } else if (key.rfind("SOFTWARE\\VELMORRA", 0) == 0) {
      const bool valueFollows =
          i + 1 < changes.size() && IsValueWrite(changes[i + 1]) && Upper(changes[i + 1].key) == key;
      phases.push_back(IsValueWrite(c) || valueFollows ? Phase::Settings : Phase::SettingsKeys);
    } else {
      phases.push_back(Phase::Uninstall);
    }
  }
  return phases;
}

struct Java {
  explicit Java(platform::FileSystem& fs)
      : jdk(fs, "1.6.0_13", "C:\\Program Files\\Java\\jdk1.6.0_13"), wtk(fs, "2.5.2", "C:\\WTK2.5.2") {}
  javatools::TSunJDK jdk;
  javatools::TMobileWTK wtk;
};

// Every registry change of an install that nothing disturbs, in order.
const std::vector<RegChange>& CleanChanges() {
  static const std::vector<RegChange> changes = [] {
    std::vector<RegChange> seen;
    InstallRig rig;
    rig.SetPackage(SmallPackage().bytes);
    rig.SeedSystemRegistry();
    rig.tappedRegistry().tap = [&seen](const RegChange& change) {
      seen.push_back(change);
      return Verdict::Pass;
    };
    Java java(rig.fs());
    rig.StartInstall(InstallRig::kTarget, &java.jdk, &java.wtk);
    if (!rig.RunToEnd()) seen.clear();
    return seen;
  }();
  return changes;
}

// The changes a run tries when change n fails.
std::vector<RegChange> ExpectedTries(const std::vector<RegChange>& clean, std::size_t n) {
  const std::vector<Phase> phases = Phases(clean);
  std::vector<RegChange> tries(clean.begin(), clean.begin() + static_cast<std::ptrdiff_t>(n) + 1);
  for (std::size_t m = n + 1; m < clean.size(); ++m) {
    bool tried = true;
    switch (phases[n]) {
      case Phase::SettingsKeys: break;
      case Phase::Settings: tried = phases[m] != Phase::Settings; break;
      case Phase::Association:
      case Phase::Uninstall: tried = false; break;
      case Phase::Applications:
        tried = !(phases[m] == Phase::Applications && Upper(clean[m].key) == Upper(clean[n].key));
        break;
    }
    if (tried) tries.push_back(clean[m]);
  }
  return tries;
}

class RegistrationFaultTest : public ::testing::TestWithParam<std::size_t> {
 protected:
  InstallRig rig_;
};

TEST(RegistrationChangesTest, ACleanInstallMakesThemInTheDocumentedOrder) {
  const std::vector<RegChange>& clean = CleanChanges();
  ASSERT_FALSE(clean.empty());
  const std::vector<Phase> phases = Phases(clean);
  EXPECT_TRUE(std::is_sorted(phases.begin(), phases.end()))
      << "settings, .ov5, Applications, uninstall entry";
  for (Phase phase :
       {Phase::SettingsKeys, Phase::Settings, Phase::Association, Phase::Applications, Phase::Uninstall}) {
    EXPECT_NE(std::find(phases.begin(), phases.end(), phase), phases.end()) << Name(phase);
  }
  // The settings' last values are the toolkit's.
  const auto lastSetting = std::find(phases.rbegin(), phases.rend(), Phase::Settings);
  EXPECT_EQ(clean[static_cast<std::size_t>(phases.rend() - lastSetting - 1)].value, "WTKVersion");
  EXPECT_EQ(clean.back().value, "NoRepair");
}

TEST_P(RegistrationFaultTest, DeniedChangeHasItsDocumentedConsequence) {
  const std::vector<RegChange>& clean = CleanChanges();
  const std::size_t n = GetParam();
  ASSERT_LT(n, clean.size());
  const Phase phase = Phases(clean)[n];
  const std::string target = InstallRig::kTarget;

  rig_.SetPackage(SmallPackage().bytes);
  rig_.SeedSystemRegistry();
  std::vector<RegChange> tried;
  rig_.tappedRegistry().tap = [&tried, n](const RegChange& change) {
    tried.push_back(change);
    return tried.size() == n + 1 ? Verdict::Fail : Verdict::Pass;
  };
  Java java(rig_.fs());
  rig_.StartInstall(target, &java.jdk, &java.wtk);
  ASSERT_TRUE(rig_.RunToEnd());
  rig_.tappedRegistry().tap = nullptr;

  EXPECT_EQ(rig_.received().back(), JobEnded(engine::kModeInstall, 0)) << "the install counts as done";
  const std::vector<RegChange> expected = ExpectedTries(clean, n);
  EXPECT_EQ(tried, expected) << "failed: " << clean[n];

  // Every value the clean install wrote is there exactly when its write was tried and did not fail.
  for (std::size_t m = 0; m < clean.size(); ++m) {
    if (!IsValueWrite(clean[m])) continue;
    const bool wanted = m != n && std::find(expected.begin(), expected.end(), clean[m]) != expected.end();
    const auto key = rig_.registry().Open(clean[m].root, clean[m].key, platform::RegAccess::Read);
    EXPECT_EQ(key && key->Value(clean[m].value).has_value(), wanted)
        << clean[m] << " after failed " << clean[n];
  }

  const bool registrationEnded = phase == Phase::Association || phase == Phase::Uninstall;
  EXPECT_EQ(rig_.fs().FileExists("C:\\windows\\OVinstall.log"), !registrationEnded) << "failed: " << clean[n];
  // The uninstaller moves right before "UnInstallString" is written.
  const auto moveAt = std::find_if(clean.begin(), clean.end(),
                                   [](const RegChange& c) { return c.value == "UnInstallString"; });
  const bool moved = !registrationEnded ||
                     (phase == Phase::Uninstall && clean.begin() + static_cast<std::ptrdiff_t>(n) >= moveAt);
  EXPECT_EQ(rig_.fs().FileExists("C:\\windows\\OVUninstall.exe"), moved);
  EXPECT_EQ(rig_.fs().FileExists(target + "\\OVUninstall.exe"), !moved) << "the uninstaller is never lost";
  Tally("registration faults",
        std::string("failed ") + Name(phase) + ": " +
            (registrationEnded ? "rest of registration and log skipped" : "log written"));
}

INSTANTIATE_TEST_SUITE_P(EveryChange, RegistrationFaultTest,
                         ::testing::Range<std::size_t>(0, CleanChanges().size()), [](const auto& tested) {
                           const RegChange& c = CleanChanges()[tested.param];
                           std::string name =
                               std::to_string(tested.param) + "_" + Name(c.op) + "_" + c.key + "_" + c.value;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

// The wizard with registry rights missing where the registration cannot go on: it still reports a
// successful install, and the settings it could write are there.
struct DeniedCase {
  std::string name;
  RegRoot root;
  std::string key;
  bool associationWritten;
};

class WizardRegistrationFaultTest : public wizard::testing::WizardFixture,
                                    public ::testing::WithParamInterface<DeniedCase> {};

TEST_P(WizardRegistrationFaultTest, ReportsSuccessWithoutUninstallEntryOrLog) {
  const DeniedCase& c = GetParam();
  const std::string uninstallKey =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";
  emulated().SetWindowsDirectory("C:\\windows");
  emulated().DenyRegistryWritesUnder(c.root, c.key);
  Start();
  StartInstallInto(wizard::testing::kDefaultTarget);
  PumpToFinish(false);

  EXPECT_EQ(view().Text(wizard::Control::lblFinal),
            "Setup has finished installing Ornivale on your computer");
  EXPECT_TRUE(view().Boxes().empty());
  platform::Registry& registry = machine().registry;
  EXPECT_TRUE(registry.Open(RegRoot::LocalMachine, "SOFTWARE\\Velmorra\\Ornivale\\System",
                            platform::RegAccess::Read));
  EXPECT_EQ(
      registry.Open(RegRoot::ClassesRoot, ".ov5\\Shell\\Open\\Command", platform::RegAccess::Read) != nullptr,
      c.associationWritten);
  EXPECT_FALSE(registry.Open(RegRoot::LocalMachine, uninstallKey, platform::RegAccess::Read));
  EXPECT_FALSE(fs().FileExists("C:\\windows\\OVinstall.log"));
}

INSTANTIATE_TEST_SUITE_P(
    Wizard, WizardRegistrationFaultTest,
    ::testing::Values(DeniedCase{"NoClassesRoot", RegRoot::ClassesRoot, "", false},
                      DeniedCase{"NoUninstallKey", RegRoot::LocalMachine,
                                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true}),
    wizard::testing::ByName());

}  // namespace
}  // namespace ov::reliability
