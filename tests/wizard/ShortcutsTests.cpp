// The product's shortcuts: which folders get one, in which order, and what each link holds.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "support/Folders.h"
#include "wizard/Shortcuts.h"

namespace ov::wizard::testing {
namespace {

constexpr const char* kExe = "C:\\Ornivale\\ornivale.exe";
constexpr const char* kCommonDesktop = "C:\\Users\\Public\\Desktop";
constexpr const char* kUserDesktop = "C:\\users\\me\\Desktop";
constexpr const char* kCommonPrograms = "C:\\ProgramData\\Start Menu\\Programs";
constexpr const char* kUserPrograms = "C:\\users\\me\\Start Menu\\Programs";
constexpr const char* kAppData = "C:\\users\\me\\Application Data";
constexpr const char* kCommonAppData = "C:\\ProgramData";
constexpr const char* kQuickLaunch = "\\Microsoft\\Internet Explorer\\Quick Launch";

// Passes every call on and remembers the links saved, in order.
class RecordingShell : public platform::Shell {
 public:
  explicit RecordingShell(platform::Shell& inner) : inner_(inner) {}
  void OpenDocument(platform::WindowHandle owner, const std::string& file) override {
    inner_.OpenDocument(owner, file);
  }
  void NotifyAssociationsChanged() override { inner_.NotifyAssociationsChanged(); }
  bool SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) override {
    saved.push_back({link, linkFile});
    return inner_.SaveShellLink(link, linkFile);
  }
  std::optional<platform::ShellLink> LoadShellLink(const std::string& linkFile) override {
    return inner_.LoadShellLink(linkFile);
  }

  struct Saved {
    platform::ShellLink link;
    std::string file;
  };
  std::vector<Saved> saved;

 private:
  platform::Shell& inner_;
};

struct ShortcutCase {
  const char* name;
  enum { kPresent, kUnknown, kMissingOnDisk } allUsers;
  bool userQuickLaunch, commonQuickLaunch;
  std::vector<std::string> links;  // in the order they are made
};

void PrintTo(const ShortcutCase& c, std::ostream* os) { *os << c.name; }

class ShortcutsTest : public MachineFixture, public ::testing::WithParamInterface<ShortcutCase> {
 protected:
  ShortcutsTest()
      : shell_(machine().shell), recorded_{fs(),   machine().registry, machine().system,
                                           shell_, machine().messages, machine().resources} {
    for (const char* folder : {"C:\\Ornivale", kUserDesktop, kUserPrograms, kAppData, kCommonAppData}) {
      MakeFolder(folder);
    }
    emulated().SetSpecialFolder(csidl::kDesktop, kUserDesktop);
    emulated().SetSpecialFolder(csidl::kPrograms, kUserPrograms);
    emulated().SetSpecialFolder(csidl::kAppData, kAppData);
    emulated().SetSpecialFolder(csidl::kCommonAppData, kCommonAppData);
  }

  RecordingShell shell_;
  platform::Machine recorded_;
};

TEST_P(ShortcutsTest, LinksGoToTheFoldersThatExist) {
  const ShortcutCase& c = GetParam();
  if (c.allUsers == ShortcutCase::kPresent) {
    MakeFolder(kCommonDesktop);
    MakeFolder(kCommonPrograms);
  }
  if (c.allUsers != ShortcutCase::kUnknown) {
    emulated().SetSpecialFolder(csidl::kCommonDesktopDirectory, kCommonDesktop);
    emulated().SetSpecialFolder(csidl::kCommonPrograms, kCommonPrograms);
  }
  if (c.userQuickLaunch) MakeFolder(std::string(kAppData) + kQuickLaunch);
  if (c.commonQuickLaunch) MakeFolder(std::string(kCommonAppData) + kQuickLaunch);

  EXPECT_TRUE(CreateShortcuts(recorded_, kExe, 0));

  std::vector<std::string> files;
  for (const RecordingShell::Saved& saved : shell_.saved) {
    files.push_back(saved.file);
    EXPECT_EQ(saved.link.target, "C:\\Ornivale\\/Ornivale.exe");
    EXPECT_EQ(saved.link.arguments, "");
    EXPECT_EQ(saved.link.workingDirectory, "C:\\Ornivale\\");
    const std::optional<platform::ShellLink> stored = machine().shell.LoadShellLink(saved.file);
    ASSERT_TRUE(stored) << saved.file;
    EXPECT_EQ(stored->target, saved.link.target);
    EXPECT_EQ(stored->workingDirectory, "C:\\Ornivale\\");
  }
  EXPECT_EQ(files, c.links);
  // A Quick Launch folder that is not there is not made.
  EXPECT_EQ(fs().DirectoryExists(std::string(kAppData) + kQuickLaunch), c.userQuickLaunch);
  EXPECT_EQ(fs().DirectoryExists(std::string(kCommonAppData) + kQuickLaunch), c.commonQuickLaunch);
}

const std::string kCommonProgramsLink = std::string(kCommonPrograms) + "\\Ornivale/Ornivale.lnk";
const std::string kUserProgramsLink = std::string(kUserPrograms) + "\\Ornivale/Ornivale.lnk";
const std::string kCommonDesktopLink = std::string(kCommonDesktop) + "/Ornivale.lnk";
const std::string kUserDesktopLink = std::string(kUserDesktop) + "/Ornivale.lnk";
const std::string kUserQuickLaunchLink = std::string(kAppData) + kQuickLaunch + "/Ornivale.lnk";
const std::string kCommonQuickLaunchLink = std::string(kCommonAppData) + kQuickLaunch + "/Ornivale.lnk";

INSTANTIATE_TEST_SUITE_P(
    Wizard, ShortcutsTest,
    ::testing::Values(
        ShortcutCase{"AllUsersAndBothQuickLaunch",
                     ShortcutCase::kPresent,
                     true,
                     true,
                     {kCommonProgramsLink, kCommonDesktopLink, kUserQuickLaunchLink, kCommonQuickLaunchLink}},
        ShortcutCase{"NoQuickLaunchMakesExactlyTwo",
                     ShortcutCase::kPresent,
                     false,
                     false,
                     {kCommonProgramsLink, kCommonDesktopLink}},
        ShortcutCase{
            "NoAllUsersFolders", ShortcutCase::kUnknown, false, false, {kUserProgramsLink, kUserDesktopLink}},
        ShortcutCase{"AllUsersFoldersMissingOnDisk",
                     ShortcutCase::kMissingOnDisk,
                     false,
                     true,
                     {kUserProgramsLink, kUserDesktopLink, kCommonQuickLaunchLink}},
        ShortcutCase{"OnlyTheUsersQuickLaunch",
                     ShortcutCase::kPresent,
                     true,
                     false,
                     {kCommonProgramsLink, kCommonDesktopLink, kUserQuickLaunchLink}}),
    ByName());

class ShortcutsEdgeTest : public MachineFixture {};

TEST_F(ShortcutsEdgeTest, NothingHappensWhenTheExecutablesFolderIsMissing) {
  MakeFolder(kCommonPrograms);
  emulated().SetSpecialFolder(csidl::kCommonPrograms, kCommonPrograms);
  RecordingShell shell(machine().shell);
  platform::Machine recorded{fs(),  machine().registry, machine().system,
                             shell, machine().messages, machine().resources};
  EXPECT_FALSE(CreateShortcuts(recorded, kExe, 0));
  EXPECT_TRUE(shell.saved.empty());
  EXPECT_FALSE(Exists(std::string(kCommonPrograms) + "\\Ornivale"));
}

TEST_F(ShortcutsEdgeTest, WithoutAnySpecialFolderNoLinkIsMadeButTheWorkIsDone) {
  MakeFolder("C:\\Ornivale");
  RecordingShell shell(machine().shell);
  platform::Machine recorded{fs(),  machine().registry, machine().system,
                             shell, machine().messages, machine().resources};
  EXPECT_TRUE(CreateShortcuts(recorded, kExe, 0));
  EXPECT_TRUE(shell.saved.empty());
}

}  // namespace
}  // namespace ov::wizard::testing
