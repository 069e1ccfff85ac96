// The wizard before the install: its texts, the pages and their buttons, the refusals and the
// cancel question.
#include <gtest/gtest.h>

#include "WizardFixture.h"
#include "support/Folders.h"

namespace ov::wizard::testing {
namespace {

using PagesTest = WizardFixture;

constexpr const char* kIntro =
    "This setup program will install Ornivale ver 1.0.7.25 on your computer.\r"
    "It is recomended that you close all other applications before continuing\r";
constexpr const char* kAbortQuestion = "Are you sure you want to abort the installation?";

TEST_F(PagesTest, CreationSetsTheTextsAndShowsTheWelcomePage) {
  Start();
  const struct {
    Control control;
    const char* text;
  } expected[] = {
      {Control::frmInst, "Ornivale\x99 - Setup"},
      {Control::lblWelcome, "Welcome to the Ornivale Setup Wizard"},
      {Control::lblIntro, kIntro},
      {Control::lblOPTIONS, "Click Next to continue, or Exit to exit Setup"},
      {Control::lblFolder, "Select folder to install"},
      {Control::btnBrowse, "Browse..."},
      {Control::lblWait, "Please wait until Setup is installing Ornivale\x99 on your computer"},
      {Control::btnBack, "< &Back"},
      {Control::btnNext, "&Next >"},
      {Control::btnCancel, "E&xit"},
      {Control::cbEULA, "&Yes, I accept the License Agreement above"},
      {Control::cboxStart, "Run Ornivale\x99 now!"},
      {Control::gbNOTE, "  NOTE  "},
      {Control::lblNote,
       "Please note that Ornivale requires following Sun Java\x99 software to be installed on your computer"},
      {Control::lblJDKUrl, "- Java Development Kit (JDK) ver. 1.5 (or higher)"},
      {Control::lblWTKUrl, "- Java Wireless Toolkit (WTK) ver. 2.5.2 (or higher)"},
      {Control::lblCopy, "\xA9 2008-2009 Velmorra srl. All rights reserved."},
      {Control::lblURL, "http://www.velmorra.example/"},
      {Control::lblMCC, "Your content, on every phone"},
      {Control::edtTarget, kDefaultTarget},
      {Control::mmEULA, "LICENCE AGREEMENT\r\nUse it well.\r\n"},
      {Control::lblFile, ".../..."},
  };
  for (const auto& item : expected) EXPECT_EQ(view().Text(item.control), item.text) << Name(item.control);

  EXPECT_EQ(view().LinkOf(Control::lblURL).url, "http://www.velmorra.example/");
  EXPECT_EQ(view().LinkOf(Control::lblJDKUrl).url, "http://java.vendor.example/javase/downloads/index.jsp");
  EXPECT_EQ(view().LinkOf(Control::lblJDKUrl).hint,
            "link to download page (http://java.vendor.example/javase/downloads/index.jsp)");
  EXPECT_EQ(view().LinkOf(Control::lblWTKUrl).url,
            "http://java.vendor.example/products/sjwtoolkit/download.html");
  EXPECT_EQ(view().LinkOf(Control::lblWTKUrl).hint,
            "link to download page (http://java.vendor.example/products/sjwtoolkit/download.html)");

  EXPECT_EQ(view().PagesShown(), std::vector<int>{0});
  EXPECT_FALSE(view().Visible(Control::btnBack));
  EXPECT_TRUE(view().Enabled(Control::btnNext));
  EXPECT_EQ(frm().StateCode(), state::kBeforeInstall);
  EXPECT_EQ(frm().InstallJob(), nullptr);
  EXPECT_TRUE(view().Boxes().empty());
}

TEST_F(PagesTest, ShowingTheWindowAgainDoesNotPrepareThePageAgain) {
  Start();
  frm().FormShow();
  EXPECT_EQ(view().PagesShown(), std::vector<int>{0});
}

TEST_F(PagesTest, LicenceTextComesFromItsResourceWhenThereIsOne) {
  const struct {
    const char* name;
    std::optional<std::string> resource;
    std::string memo;
  } cases[] = {
      {"resource", "Terms.\r\n", "Terms.\r\n"},
      {"empty resource", "", ScriptedView::kDesignEula},
      {"no resource", std::nullopt, ScriptedView::kDesignEula},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.resource) {
      emulated().SetResource("OVEULA", platform::ResourceType::RcData, *c.resource);
    } else {
      emulated().RemoveResource("OVEULA", platform::ResourceType::RcData);
    }
    ScriptedView view(emulated());
    TfrmInst wizard(machine(), view, 0);
    view.Attach(wizard);
    wizard.FormCreate();
    EXPECT_EQ(view.Text(Control::mmEULA), c.memo);
  }
}

TEST_F(PagesTest, DefaultFolderIsBelowProgramFilesWhenThatFolderExists) {
  const struct {
    const char* name;
    std::optional<std::string> programFiles;
    const char* target;
  } cases[] = {
      {"existing folder", kProgramFiles, kDefaultTarget},
      {"no such special folder", std::nullopt, "C:\\Ornivale"},
      {"special folder missing on disk", "C:\\Programme", "C:\\Ornivale"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    emulated().SetSpecialFolder(csidl::kProgramFiles, c.programFiles);
    ScriptedView view(emulated());
    TfrmInst wizard(machine(), view, 0);
    view.Attach(wizard);
    wizard.FormCreate();
    EXPECT_EQ(view.Text(Control::edtTarget), c.target);
  }
}

TEST_F(PagesTest, LicenceMustBeAcceptedOnEveryVisit) {
  Start();
  view().Click(Control::btnNext);
  EXPECT_EQ(view().Page(), 1);
  EXPECT_FALSE(view().Checked(Control::cbEULA));
  EXPECT_FALSE(view().Enabled(Control::btnNext));
  EXPECT_TRUE(view().Visible(Control::btnBack));
  EXPECT_TRUE(view().Enabled(Control::btnBack));

  view().Click(Control::cbEULA);
  EXPECT_TRUE(view().Enabled(Control::btnNext));
  view().Click(Control::cbEULA);
  EXPECT_FALSE(view().Enabled(Control::btnNext));

  view().Click(Control::cbEULA);
  view().Click(Control::btnBack);
  EXPECT_EQ(view().Page(), 0);
  EXPECT_FALSE(view().Visible(Control::btnBack));
  EXPECT_TRUE(view().Enabled(Control::btnNext));

  view().Click(Control::btnNext);
  EXPECT_FALSE(view().Checked(Control::cbEULA));
  EXPECT_FALSE(view().Enabled(Control::btnNext));

  // Back from the folder page clears the acceptance too.
  view().Click(Control::cbEULA);
  view().Click(Control::btnNext);
  EXPECT_EQ(view().Page(), 2);
  view().Click(Control::btnBack);
  EXPECT_EQ(view().Page(), 1);
  EXPECT_FALSE(view().Checked(Control::cbEULA));
  EXPECT_FALSE(view().Enabled(Control::btnNext));
  EXPECT_EQ(view().Text(Control::btnNext), "&Next >");
  EXPECT_FALSE(view().HasGlyph(Control::btnNext));
  EXPECT_EQ(view().PagesShown(), (std::vector<int>{0, 1, 0, 1, 2, 1}));
}

TEST_F(PagesTest, FolderPageOffersInstallWithTheTickWhateverTheBoxHolds) {
  Start();
  GoToFolderPage();
  EXPECT_EQ(view().Text(Control::btnNext), "&Install");
  EXPECT_TRUE(view().HasGlyph(Control::btnNext));
  EXPECT_GE(view().Repaints(Control::btnNext), 1);
  EXPECT_TRUE(view().Enabled(Control::btnNext));
  EXPECT_TRUE(view().Enabled(Control::btnBack));

  const struct {
    const char* text;
    bool nextEnabled;
  } edits[] = {{"C:\\A", true}, {"", false}, {" \t ", false}, {" D:\\B ", true}, {"", false}};
  for (const auto& edit : edits) {
    view().Type(Control::edtTarget, edit.text);
    EXPECT_EQ(view().Enabled(Control::btnNext), edit.nextEnabled) << "'" << edit.text << "'";
  }

  // Coming back with the box still empty, Install is offered and the check refuses the folder.
  view().Click(Control::btnBack);
  view().Click(Control::cbEULA);
  view().Click(Control::btnNext);
  EXPECT_TRUE(view().Enabled(Control::btnNext));
  view().Click(Control::btnNext);
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text,
            "Install folder \"\r\" has no valid drive or it is not valid path\r\"\" is invalid path.");
  EXPECT_EQ(frm().PageIndex(), 2);
}

TEST_F(PagesTest, FolderPageWithoutTheTickBitmapKeepsItsCaption) {
  emulated().RemoveResource("BMP_GREEN_TICK", platform::ResourceType::Bitmap);
  Start();
  GoToFolderPage();
  EXPECT_EQ(view().Text(Control::btnNext), "&Install");
  EXPECT_FALSE(view().HasGlyph(Control::btnNext));
  EXPECT_EQ(view().Repaints(Control::btnNext), 0);
  EXPECT_TRUE(view().Enabled(Control::btnNext));
}

TEST_F(PagesTest, BrowsingAppendsTheProductFolderToAnExistingChoice) {
  MakeFolder("C:\\Work");
  const struct {
    const char* name;
    std::optional<std::string> chosen;
    const char* target;
  } cases[] = {
      {"existing folder", "C:\\Work", "C:\\Work\\Ornivale"},
      {"dialog cancelled", std::nullopt, kDefaultTarget},
      {"folder gone", "C:\\Gone", kDefaultTarget},
      {"drive root", "C:\\", "C:\\\\Ornivale"},
  };
  Start();
  GoToFolderPage();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    view().Type(Control::edtTarget, kDefaultTarget);
    view().ChooseFolder(c.chosen);
    view().Click(Control::btnBrowse);
    EXPECT_EQ(view().Text(Control::edtTarget), c.target);
    EXPECT_EQ(view().DialogTitles().back(), "Select folder to install");
  }
}

struct RefusalCase {
  const char* name;
  bool otherCopy, installed, running;
  std::optional<std::string> box;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class RefusalTest : public WizardFixture, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, RefusesBesideAnotherCopyARunningProductOrAnInstall) {
  const RefusalCase& c = GetParam();
  if (c.otherCopy) emulated().AddForeignWindow("TfrmInst");
  if (c.running) emulated().AddForeignWindow("TVelOVMainMDIFrm");
  if (c.installed) {
    ASSERT_TRUE(machine().registry.Create(
        platform::RegRoot::LocalMachine,
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}"));
  }
  Start();
  EXPECT_EQ(frm().StateCode(), state::kClosing);
  if (!c.box) {
    EXPECT_TRUE(view().Boxes().empty());
    EXPECT_TRUE(view().Closed());
    return;
  }
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, *c.box);
  EXPECT_EQ(view().Boxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(view().Boxes()[0].buttons, BoxButtons::Ok);
  EXPECT_FALSE(view().Closed());
  EXPECT_EQ(view().Text(Control::lblWelcome), "Installation can not proceed.");
  EXPECT_EQ(view().FontColor(Control::lblWelcome), Rgb(255, 0, 0));
  EXPECT_FALSE(view().Visible(Control::lblIntro));
  for (Control button : {Control::btnNext, Control::btnBack}) {
    EXPECT_FALSE(view().Enabled(button)) << Name(button);
    EXPECT_FALSE(view().Visible(button)) << Name(button);
  }
  EXPECT_TRUE(view().Enabled(Control::btnCancel));
  EXPECT_EQ(view().Text(Control::btnCancel), "&Close");

  view().Click(Control::btnCancel);
  EXPECT_TRUE(view().Closed());
  EXPECT_EQ(view().Boxes().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Wizard, RefusalTest,
    ::testing::Values(RefusalCase{"SecondCopyClosesSilently", true, true, true, std::nullopt},
                      RefusalCase{"InstalledBeatsRunning", false, true, true,
                                  "Ornivale\x99 software is already installed on this computer."},
                      RefusalCase{"Installed", false, true, false,
                                  "Ornivale\x99 software is already installed on this computer."},
                      RefusalCase{"Running", false, false, true,
                                  "Ornivale\x99 software is currently running on this computer."}),
    ByName());

TEST_F(PagesTest, ProductStartedWhileTheWizardIsOpenStopsItAtTheNextPage) {
  Start();
  view().Click(Control::btnNext);
  emulated().AddForeignWindow("TVelOVMainMDIFrm");
  view().Click(Control::cbEULA);
  view().Click(Control::btnNext);
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, "Ornivale\x99 software is currently running on this computer.");
  EXPECT_EQ(view().Text(Control::lblWelcome), "Installation can not proceed.");
  EXPECT_EQ(view().Text(Control::btnCancel), "&Close");
  EXPECT_EQ(frm().StateCode(), state::kClosing);
  EXPECT_EQ(frm().InstallJob(), nullptr);
}

struct AbortCase {
  const char* name;
  bool closeBox;
  int answer;
  bool closes;
};

void PrintTo(const AbortCase& c, std::ostream* os) { *os << c.name; }

class AbortBeforeInstallTest : public WizardFixture, public ::testing::WithParamInterface<AbortCase> {};

TEST_P(AbortBeforeInstallTest, AsksAndClosesOnlyOnYes) {
  const AbortCase& c = GetParam();
  Start();
  view().Click(Control::btnNext);
  view().AnswerBoxes({c.answer});
  if (c.closeBox) {
    view().PressCloseBox();
  } else {
    view().Click(Control::btnCancel);
  }
  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, kAbortQuestion);
  EXPECT_EQ(view().Boxes()[0].kind, BoxKind::Confirmation);
  EXPECT_EQ(view().Boxes()[0].buttons, BoxButtons::YesNoCancel);
  EXPECT_EQ(view().Closed(), c.closes);
  EXPECT_EQ(frm().StateCode(), c.closes ? state::kClosing : state::kBeforeInstall);
  EXPECT_EQ(view().Page(), 1);
}

INSTANTIATE_TEST_SUITE_P(Wizard, AbortBeforeInstallTest,
                         ::testing::Values(AbortCase{"ExitNo", false, kIdNo, false},
                                           AbortCase{"ExitCancel", false, kIdCancel, false},
                                           AbortCase{"ExitYes", false, kIdYes, true},
                                           AbortCase{"CloseBoxNo", true, kIdNo, false},
                                           AbortCase{"CloseBoxYes", true, kIdYes, true}),
                         ByName());

TEST_F(PagesTest, ViewFailuresWhilePreparingAPageAreSwallowed) {
  view().FailSetText(Control::btnNext);
  Start();
  view().Click(Control::btnNext);
  EXPECT_EQ(frm().PageIndex(), 1);
  EXPECT_EQ(view().Page(), 1);
  EXPECT_FALSE(view().Enabled(Control::btnNext));
}

}  // namespace
}  // namespace ov::wizard::testing
