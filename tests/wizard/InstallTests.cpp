// The wizard with a real install job on the emulated machine: a whole install, the finish page,
// cancelling, and an extraction error.
#include <algorithm>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WizardFixture.h"
#include "support/Folders.h"

namespace ov::wizard::testing {
namespace {

constexpr const char* kExe = "C:\\Program Files\\Ornivale\\ornivale.exe";
constexpr const char* kFinished = "Setup has finished installing Ornivale on your computer";
constexpr const char* kUserCancelled = "User cancelled installation.";

std::string FullPath(const std::string& target, const package::PackEntry& entry) {
  return target + (entry.Folder == "\\" ? std::string() : entry.Folder) + "\\" + entry.Name;
}

constexpr const char* kDesktopLink = "C:\\Users\\Public\\Desktop\\Ornivale.lnk";
constexpr const char* kProgramsLink = "C:\\ProgramData\\Start Menu\\Programs\\Ornivale\\Ornivale.lnk";

class InstallTest : public WizardFixture {
 protected:
  // All-users desktop and program menu, no Quick Launch folders: the shortcuts land in two places.
  InstallTest() {
    MakeFolder("C:\\Users\\Public\\Desktop");
    MakeFolder("C:\\ProgramData\\Start Menu\\Programs");
    MakeFolder("C:\\users\\me\\Application Data");
    emulated().SetSpecialFolder(csidl::kCommonDesktopDirectory, "C:\\Users\\Public\\Desktop");
    emulated().SetSpecialFolder(csidl::kCommonPrograms, "C:\\ProgramData\\Start Menu\\Programs");
    emulated().SetSpecialFolder(csidl::kAppData, "C:\\users\\me\\Application Data");
    emulated().SetSpecialFolder(csidl::kCommonAppData, "C:\\ProgramData");
  }

  bool HasLink(const char* linkFile) { return machine().shell.LoadShellLink(linkFile).has_value(); }
};

TEST_F(InstallTest, WholeInstallFromWelcomeToFinish) {
  const std::vector<package::PackMember> members = SmallPackageMembers();
  const std::string package = BuildTestPackage(members);
  Start();
  GoToFolderPage();
  EXPECT_EQ(view().Text(Control::btnNext), "&Install");
  EXPECT_TRUE(view().HasGlyph(Control::btnNext));

  view().Click(Control::btnNext);
  EXPECT_EQ(view().Page(), 3);
  EXPECT_EQ(view().Text(Control::gbProgress), " Extracting installation package...");
  EXPECT_EQ(view().Text(Control::lblFile), ".../...");
  EXPECT_FALSE(view().Enabled(Control::btnNext));
  EXPECT_FALSE(view().HasGlyph(Control::btnNext));
  EXPECT_FALSE(view().Enabled(Control::btnBack));
  EXPECT_EQ(frm().TargetDir(), kDefaultTarget);

  PumpToFinish(true);

  EXPECT_EQ(States(), (std::vector<std::int32_t>{50, 100, 150, 100, 200, 350, 300, 500, 400, 500}));
  EXPECT_EQ(frm().TotalBytes(), static_cast<std::int32_t>(package.size()));
  EXPECT_EQ(view().PagesShown(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(view().TextHistory(Control::gbProgress),
            (std::vector<std::string>{" Extracting installation package...", "  Extracting package... ",
                                      "  Creating folders... ", "  Extracting package... ",
                                      "  Copying files... ", "  Copying sample projects... ",
                                      "  Updating registry entries... ", "  Creating shortcuts... "}));

  // One step per file by bytes written, then one per sample: 100 / 9 = 11 a step.
  std::vector<int> progress;
  std::int64_t written = 0;
  const std::int32_t hundredth = frm().TotalBytes() / 100;
  for (const package::PackMember& member : members) {
    written += static_cast<std::int64_t>(member.Data.size());
    if (written > 100) progress.push_back(static_cast<int>(written / hundredth));
  }
  for (int i = 1; i <= 9; ++i) progress.push_back(11 * i);
  EXPECT_EQ(view().ProgressPositions(), progress);
  // The bar is repainted after every move, so it follows the job even while the UI is busy.
  const std::vector<std::string>& calls = view().Calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind("SetProgress(", 0) != 0) continue;
    ASSERT_LT(i + 1, calls.size());
    EXPECT_EQ(calls[i + 1], "Repaint(pbarInstall)") << "after " << calls[i];
  }

  // The file label names each file as it is written, then the sample being relocated: the one the
  // notification announced or, since the job does not wait for the UI, a later one.
  std::vector<std::string> shown;
  for (const std::string& text : view().TextHistory(Control::lblFile)) {
    if (!text.empty()) shown.push_back(text);
  }
  ASSERT_EQ(shown.size(), members.size() + 9);
  for (std::size_t i = 0; i < members.size(); ++i)
    EXPECT_EQ(shown[i], FullPath(kDefaultTarget, members[i].Entry));
  const std::string samples = std::string(kDefaultTarget) + "\\Projects\\sample";
  int previous = 0;
  for (int i = 1; i <= 9; ++i) {
    const std::string& label = shown[members.size() + i - 1];
    ASSERT_EQ(label.rfind(samples, 0), 0u) << label;
    const int named = std::stoi(label.substr(samples.size()));
    EXPECT_GE(named, i) << label;
    EXPECT_GE(named, previous) << label;
    previous = named;
  }
  EXPECT_EQ(previous, 9);
  for (const package::PackMember& member : members)
    EXPECT_TRUE(Exists(FullPath(kDefaultTarget, member.Entry)));

  EXPECT_EQ(view().Text(Control::lblFinal), kFinished);
  EXPECT_EQ(view().Text(Control::btnCancel), "&Finish");
  EXPECT_TRUE(view().Enabled(Control::btnCancel));
  for (Control button : {Control::btnNext, Control::btnBack}) {
    EXPECT_FALSE(view().Enabled(button)) << Name(button);
    EXPECT_FALSE(view().Visible(button)) << Name(button);
  }
  EXPECT_TRUE(view().Visible(Control::cboxStart));
  EXPECT_TRUE(view().Checked(Control::cboxStart));
  EXPECT_TRUE(view().Visible(Control::gbNOTE));
  EXPECT_TRUE(HasLink(kDesktopLink));
  EXPECT_TRUE(HasLink(kProgramsLink));
  EXPECT_TRUE(view().Boxes().empty());

  EXPECT_TRUE(emulated().OpenedDocuments().empty());
  view().Click(Control::btnCancel);
  EXPECT_EQ(emulated().OpenedDocuments(), std::vector<std::string>{kExe});
  EXPECT_TRUE(view().Closed());
}

struct FinishCase {
  const char* name;
  enum { kShipped, kNoResource, kTiny, kNoExecutable, kNoResourceOverProduct } package;
  std::string text;
  std::vector<std::int32_t> states;
  bool runOption;
};

void PrintTo(const FinishCase& c, std::ostream* os) { *os << c.name; }

class FinishTextTest : public InstallTest, public ::testing::WithParamInterface<FinishCase> {};

TEST_P(FinishTextTest, NamesTheOutcome) {
  const FinishCase& c = GetParam();
  std::vector<package::PackMember> members = SmallPackageMembers();
  switch (c.package) {
    case FinishCase::kShipped:
      break;
    case FinishCase::kNoResourceOverProduct:
      MakeFolder(kDefaultTarget);
      WriteFile(kExe, "old");
      [[fallthrough]];
    case FinishCase::kNoResource:
      emulated().RemoveResource("OVPACK", platform::ResourceType::RcData);
      break;
    case FinishCase::kTiny:
      members.resize(2);
      members[0].Data = "tiny";
      SetPackage(members);
      break;
    case FinishCase::kNoExecutable:
      members.erase(members.begin());
      SetPackage(members);
      break;
  }
  Start();
  StartInstallInto(kDefaultTarget);
  PumpToFinish(c.package == FinishCase::kShipped);
  EXPECT_EQ(frm().StateCode(), state::kFinished);
  EXPECT_EQ(view().Text(Control::lblFinal), c.text);
  EXPECT_EQ(States(), c.states);
  EXPECT_EQ(view().Visible(Control::cboxStart), c.runOption);
  const bool shortcuts = c.package == FinishCase::kShipped;
  EXPECT_EQ(HasLink(kDesktopLink), shortcuts);
  EXPECT_EQ(HasLink(kProgramsLink), shortcuts);

  view().Click(Control::btnCancel);
  EXPECT_EQ(emulated().OpenedDocuments().size(), c.runOption ? 1u : 0u);
  EXPECT_TRUE(view().Closed());
}

const std::vector<std::int32_t> kFullRun = {50, 100, 150, 100, 200, 350, 300, 500};

INSTANTIATE_TEST_SUITE_P(
    Wizard, FinishTextTest,
    ::testing::Values(FinishCase{"Success",
                                 FinishCase::kShipped,
                                 kFinished,
                                 {50, 100, 150, 100, 200, 350, 300, 500, 400, 500},
                                 true},
                      FinishCase{"NoPackage",
                                 FinishCase::kNoResource,
                                 "Setup has finished installing Ornivale on your computer. (err.code=-111)",
                                 {50, 100, 500},
                                 false},
                      FinishCase{"PackageBelow1000Bytes",
                                 FinishCase::kTiny,
                                 "Setup has finished installing Ornivale on your computer. (err.code=-119)",
                                 {50, 100, 500},
                                 false},
                      FinishCase{"NoExecutable", FinishCase::kNoExecutable,
                                 "Setup has finished installing Ornivale on your computer. (err.code=-312)",
                                 kFullRun, false},
                      FinishCase{"FailedOverAnExistingProduct",
                                 FinishCase::kNoResourceOverProduct,
                                 "Setup has finished installing Ornivale on your computer. (err.code=-111)",
                                 {50, 100, 500},
                                 true}),
    ByName());

struct LeaveCase {
  const char* name;
  bool uncheck;
  bool closeBox;
};

void PrintTo(const LeaveCase& c, std::ostream* os) { *os << c.name; }

class LeaveFinishPageTest : public WizardFixture, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeaveFinishPageTest, ProductStartsOnlyFromTheFinishButtonWithTheOptionChecked) {
  Start();
  StartInstallInto(kDefaultTarget);
  PumpToFinish(true);
  ASSERT_TRUE(view().Visible(Control::cboxStart));
  if (GetParam().uncheck) view().Click(Control::cboxStart);
  if (GetParam().closeBox) {
    view().PressCloseBox();
  } else {
    view().Click(Control::btnCancel);
  }
  EXPECT_TRUE(view().Closed());
  EXPECT_TRUE(emulated().OpenedDocuments().empty());
}

INSTANTIATE_TEST_SUITE_P(Wizard, LeaveFinishPageTest,
                         ::testing::Values(LeaveCase{"OptionCleared", true, false},
                                           LeaveCase{"CloseBox", false, true}),
                         ByName());

struct JavaCase {
  const char* name;
  bool jdk, wtk;
};

void PrintTo(const JavaCase& c, std::ostream* os) { *os << c.name; }

class JavaNoteTest : public WizardFixture, public ::testing::WithParamInterface<JavaCase> {};

TEST_P(JavaNoteTest, NamesWhatIsMissing) {
  const JavaCase& c = GetParam();
  if (c.jdk) {
    MakeFolder("C:\\jdk1.6.0\\bin");
    ASSERT_TRUE(
        machine()
            .registry
            .Create(platform::RegRoot::LocalMachine, "SOFTWARE\\JavaSoft\\Java Development Kit\\1.6.0")
            ->SetString("JavaHome", "C:\\jdk1.6.0"));
  }
  if (c.wtk) {
    MakeFolder("C:\\WTK252\\bin");
    ASSERT_TRUE(machine()
                    .registry
                    .Create(platform::RegRoot::LocalMachine,
                            "SOFTWARE\\Sun Microsystems, Inc.\\J2ME Wireless Toolkit\\2.5.2")
                    ->SetString("InstallDir", "C:\\WTK252"));
  }
  emulated().RemoveResource("OVPACK", platform::ResourceType::RcData);  // the finish page, quickly
  Start();
  EXPECT_EQ(frm().SelectedJDK() != nullptr, c.jdk);
  EXPECT_EQ(frm().SelectedWTK() != nullptr, c.wtk);
  StartInstallInto(kDefaultTarget);
  PumpToFinish(false);
  EXPECT_EQ(view().Visible(Control::gbNOTE), !c.jdk || !c.wtk);
  EXPECT_EQ(view().Visible(Control::lblJDKUrl), !c.jdk);
  EXPECT_EQ(view().Visible(Control::lblWTKUrl), !c.wtk);
}

INSTANTIATE_TEST_SUITE_P(Wizard, JavaNoteTest,
                         ::testing::Values(JavaCase{"Neither", false, false},
                                           JavaCase{"JdkOnly", true, false}, JavaCase{"WtkOnly", false, true},
                                           JavaCase{"Both", true, true}),
                         ByName());

struct TargetCase {
  const char* name;
  const char* typed;
  const char* handedOver;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class TargetDirTest : public WizardFixture, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetDirTest, JobGetsTheFolderCollapsedWithoutTrailingBackslash) {
  emulated().SetDrive('D', platform::drive::kFixed);
  emulated().SetFreeSpace('D', 1ull << 32, 1ull << 33);
  Start();
  StartInstallInto(GetParam().typed);
  EXPECT_EQ(frm().TargetDir(), GetParam().handedOver);
  EXPECT_EQ(frm().InstallJob()->TargetDir, GetParam().handedOver);
  PumpToFinish(true);
  EXPECT_TRUE(Exists(std::string(GetParam().handedOver) + "\\ornivale.exe"));
}

INSTANTIATE_TEST_SUITE_P(Wizard, TargetDirTest,
                         ::testing::Values(TargetCase{"TrailingBackslash", "D:\\A\\", "D:\\A"},
                                           TargetCase{"Plain", "D:\\A", "D:\\A"},
                                           TargetCase{"DoubledBackslashes", "C:\\\\Ornivale\\\\",
                                                      "C:\\Ornivale"},
                                           TargetCase{"Blanks", "  D:\\B \t", "D:\\B"}),
                         ByName());

struct DeclineCase {
  const char* name;
  std::int32_t askIn;  // the state reached before the user asks; 50 = before any notification
  int answer;
  bool closeBox;
};

void PrintTo(const DeclineCase& c, std::ostream* os) { *os << c.name; }

class DeclineCancelTest : public WizardFixture, public ::testing::WithParamInterface<DeclineCase> {};

TEST_P(DeclineCancelTest, JobGoesOnAndNothingIsLost) {
  const DeclineCase& c = GetParam();
  Start();
  StartInstallInto(kDefaultTarget);
  if (c.askIn != state::kBeforeInstall) {
    ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == c.askIn; }));
  }
  view().AnswerBoxes({c.answer});
  if (c.closeBox) {
    view().PressCloseBox();
  } else {
    view().Click(Control::btnCancel);
  }
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, "Are you sure you want to abort the installation?");
  EXPECT_FALSE(view().Closed());

  PumpToFinish(true);
  EXPECT_EQ(view().Text(Control::lblFinal), kFinished);
  EXPECT_EQ(frm().InstallJob()->Mode, engine::kModeInstall);
  EXPECT_FALSE(frm().InstallJob()->Cancelled);
  EXPECT_EQ(frm().RollbackJob(), nullptr);
  for (const package::PackMember& member : SmallPackageMembers()) {
    EXPECT_TRUE(Exists(FullPath(kDefaultTarget, member.Entry)));
  }
}

INSTANTIATE_TEST_SUITE_P(Wizard, DeclineCancelTest,
                         ::testing::Values(DeclineCase{"BeforeTheFirstNotificationNo", 50, kIdNo, false},
                                           DeclineCase{"WhileCopyingCancel", 200, kIdCancel, false},
                                           DeclineCase{"CloseBoxWhileRelocatingNo", 350, kIdNo, true}),
                         ByName());

TEST_F(InstallTest, ConfirmedCancelRollsTheInstallBack) {
  Start();
  StartInstallInto(kDefaultTarget);
  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == 200; }));
  view().AnswerBoxes({kIdYes, kIdOk});
  view().Click(Control::btnCancel);
  ASSERT_EQ(view().Boxes().size(), 2u);
  EXPECT_EQ(view().Boxes()[1].text,
            "Ornivale\x99 installation is cancelled.\rSetup Program will perform cleanup of copied files.");
  EXPECT_EQ(view().Boxes()[1].kind, BoxKind::Information);
  EXPECT_EQ(view().Boxes()[1].buttons, BoxButtons::Ok);
  EXPECT_EQ(frm().InstallJob()->Mode, engine::kModeCancelled);
  EXPECT_TRUE(frm().InstallJob()->Cancelled);
  EXPECT_FALSE(view().Closed());

  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == state::kRollingBack; }));
  ASSERT_NE(frm().RollbackJob(), nullptr);
  EXPECT_EQ(frm().RollbackJob()->Mode, engine::kModeRollback);
  EXPECT_EQ(frm().RollbackJob()->TargetDir, kDefaultTarget);
  EXPECT_EQ(view().Page(), 3);

  // While the rollback runs, neither Exit nor the close box does anything.
  view().Click(Control::btnCancel);
  view().PressCloseBox();
  EXPECT_EQ(view().Boxes().size(), 2u);
  EXPECT_FALSE(view().Closed());
  EXPECT_EQ(frm().StateCode(), state::kRollingBack);

  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == state::kClosing && view().Page() == 4; }));
  EXPECT_EQ(view().Text(Control::lblFinal), kUserCancelled);
  EXPECT_EQ(view().Text(Control::btnCancel), "&Finish");
  EXPECT_TRUE(view().Visible(Control::gbNOTE));
  EXPECT_FALSE(Exists(kExe));
  EXPECT_FALSE(machine().registry.Open(
      platform::RegRoot::LocalMachine,
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}",
      platform::RegAccess::Read));

  view().Click(Control::btnCancel);
  EXPECT_TRUE(view().Closed());
  EXPECT_TRUE(emulated().OpenedDocuments().empty());
}

TEST_F(InstallTest, CancelConfirmedAfterTheJobEndedStillRollsBack) {
  Start();
  StartInstallInto(kDefaultTarget);
  // The job's end is announced (mode 100) but not yet handled when the user confirms the cancel.
  const std::string announced = "PostToOwnWindow(" + std::to_string(engine::WM_OV_JOB_ENDED) + ", 100, 0)";
  ASSERT_TRUE(PumpUntil([&] {
    const auto& calls = view().Calls();
    return std::find(calls.begin(), calls.end(), announced) != calls.end();
  }));
  ASSERT_EQ(frm().StateCode(), 300);
  view().AnswerBoxes({kIdYes, kIdOk});
  view().Click(Control::btnCancel);
  ASSERT_EQ(view().Boxes().size(), 2u);

  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == state::kClosing && view().Page() == 4; }));
  ASSERT_NE(frm().RollbackJob(), nullptr);
  EXPECT_EQ(view().Text(Control::lblFinal), kUserCancelled);
  EXPECT_FALSE(Exists(kExe));
}

TEST_F(InstallTest, ConfirmedCancelBeforeTheFirstNotificationClosesAtOnce) {
  Start();
  StartInstallInto(kDefaultTarget);
  view().AnswerBoxes({kIdYes});
  view().Click(Control::btnCancel);
  EXPECT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(frm().StateCode(), state::kClosing);
  EXPECT_TRUE(view().Closed());
}

class ExtractErrorTest : public WizardFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(ExtractErrorTest, ShowsTheCodeAndLetsTheUserLeave) {
  emulated().FailWritesUnder("C:\\Program Files\\Ornivale\\readme.txt");
  Start();
  StartInstallInto(kDefaultTarget);
  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == state::kExtractError; }));
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, "An error occurred during installation process. Error Code = -333");
  EXPECT_EQ(view().Boxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(view().Page(), 3);
  EXPECT_TRUE(Exists(kExe));  // written before the failure, and left there

  // The job has parked: nothing more arrives.
  emulated().PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(frm().StateCode(), state::kExtractError);
  EXPECT_EQ(view().Page(), 3);

  if (GetParam()) {
    view().PressCloseBox();
  } else {
    view().Click(Control::btnCancel);
  }
  EXPECT_TRUE(view().Closed());
  EXPECT_EQ(view().Boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Wizard, ExtractErrorTest, ::testing::Values(false, true),
                         [](const auto& tested) { return std::string(tested.param ? "CloseBox" : "Exit"); });

TEST_F(InstallTest, JobEndThatCannotBeAnnouncedLeavesTheWizardClosable) {
  Start();
  StartInstallInto(kDefaultTarget);
  view().FailPosts();
  ASSERT_TRUE(PumpUntil([&] { return frm().StateCode() == state::kClosing; }));
  EXPECT_EQ(view().Text(Control::lblFinal), kUserCancelled);
  EXPECT_EQ(view().Page(), 3);
  view().Click(Control::btnCancel);
  EXPECT_TRUE(view().Closed());
}

}  // namespace
}  // namespace ov::wizard::testing
