#include <string>
#include <vector>

#include "tests/platform/emulated/TestMachine.h"

namespace ov::emulated {
namespace {

using platform::ResourceType;

class EmulatedSystem : public EmulatedTest {
 protected:
  platform::System& system() { return machine_->machine().system; }
  platform::Shell& shell() { return machine_->machine().shell; }
  platform::Resources& resources() { return machine_->machine().resources; }
};

TEST_F(EmulatedSystem, TheSystemFoldersAreSetByTheTest) {
  EXPECT_EQ(system().TempPath(), "C:\\windows\\temp\\");
  EXPECT_EQ(system().WindowsDirectory(), "C:\\windows");
  EXPECT_TRUE(files().DirectoryExists(system().TempPath()));
  machine_->SetTempPath("D:\\Temp");
  EXPECT_EQ(system().TempPath(), "D:\\Temp\\");
  machine_->SetTempPath("");
  EXPECT_EQ(system().TempPath(), "") << "the query fails";
  machine_->SetWindowsDirectory("C:\\WINNT");
  EXPECT_EQ(system().WindowsDirectory(), "C:\\WINNT");
}

TEST_F(EmulatedSystem, ASpecialFolderIsUnsetUntilATestSetsIt) {
  EXPECT_FALSE(system().SpecialFolder(0x26, 0));
  machine_->SetSpecialFolder(0x26, "D:\\Apps");
  EXPECT_EQ(system().SpecialFolder(0x26, 0), "D:\\Apps");
  machine_->SetSpecialFolder(0x26, std::nullopt);
  EXPECT_FALSE(system().SpecialFolder(0x26, 0));
}

TEST_F(EmulatedSystem, TheStandardFoldersExistLikeInAFreshWinePrefix) {
  machine_->UseStandardFolders();
  const std::vector<std::pair<int, std::string>> expected = {
      {0x00, "C:\\users\\root\\Desktop"},
      {0x02, "C:\\users\\root\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {0x10, "C:\\users\\root\\Desktop"},
      {0x17, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {0x19, "C:\\users\\Public\\Desktop"},
      {0x1A, "C:\\users\\root\\AppData\\Roaming"},
      {0x23, "C:\\ProgramData"},
      {0x24, "C:\\windows"},
      {0x26, "C:\\Program Files"},
  };
  for (const auto& [csidl, path] : expected) {
    EXPECT_EQ(system().SpecialFolder(csidl, 0), path) << csidl;
    EXPECT_TRUE(std::filesystem::is_directory(machine_->HostPath(path))) << path;
  }
  EXPECT_FALSE(system().SpecialFolder(0x05, 0)) << "My Documents is not set up";
}

TEST_F(EmulatedSystem, TheClockStandsStillOnceSetAndTheLocaleIsSettable) {
  const platform::LocalTime set{2008, 3, 15, 12, 0, 0, 250};
  machine_->SetClock(set);
  for (int i = 0; i < 2; ++i) {
    const platform::LocalTime now = system().Now();
    EXPECT_EQ(
        std::vector<int>({now.year, now.month, now.day, now.hour, now.minute, now.second, now.millisecond}),
        std::vector<int>({2008, 3, 15, 12, 0, 0, 250}));
  }
  EXPECT_EQ(system().DecimalSeparator(), '.');
  machine_->SetDecimalSeparator(',');
  EXPECT_EQ(system().DecimalSeparator(), ',');
}

TEST_F(EmulatedSystem, ResourcesAreFoundByNameWithoutRegardToCaseAndByType) {
  EXPECT_FALSE(resources().Find("OVPACK", ResourceType::RcData));
  machine_->SetResource("OVPACK", ResourceType::RcData, std::string("pack\0data", 9));
  machine_->SetResource("OVPACK", ResourceType::Bitmap, "bitmap");
  EXPECT_EQ(resources().Find("ovpack", ResourceType::RcData), std::string_view("pack\0data", 9));
  EXPECT_EQ(resources().Find("OvPack", ResourceType::Bitmap), "bitmap");

  const auto view = resources().Find("OVPACK", ResourceType::RcData);
  machine_->SetResource("OVPACK", ResourceType::RcData, "replaced");
  EXPECT_EQ(*view, std::string_view("pack\0data", 9)) << "a view handed out stays valid";
  EXPECT_EQ(resources().Find("OVPACK", ResourceType::RcData), "replaced");
  machine_->RemoveResource("OVPACK", ResourceType::RcData);
  EXPECT_FALSE(resources().Find("OVPACK", ResourceType::RcData));
  EXPECT_TRUE(resources().Find("OVPACK", ResourceType::Bitmap));
}

TEST_F(EmulatedSystem, TheShellRecordsDocumentsOpenedAndAssociationNotices) {
  shell().OpenDocument(0, "C:\\Program Files\\Ornivale\\ornivale.exe");
  shell().OpenDocument(0, "http://example.invalid/download");
  shell().NotifyAssociationsChanged();
  shell().NotifyAssociationsChanged();
  EXPECT_EQ(machine_->OpenedDocuments(),
            (std::vector<std::string>{"C:\\Program Files\\Ornivale\\ornivale.exe",
                                      "http://example.invalid/download"}));
  EXPECT_EQ(machine_->AssociationChangeNotifications(), 2);
}

TEST_F(EmulatedSystem, AShellLinkIsATextFileOnTheEmulatedDisk) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Links"));
  const platform::ShellLink link{"C:\\Program Files\\Ornivale\\ornivale.exe", "",
                                 "C:\\Program Files\\Ornivale"};
  ASSERT_TRUE(shell().SaveShellLink(link, "C:/Links/Ornivale.lnk"));
  EXPECT_EQ(ReadWholeFile(files(), "C:\\Links\\Ornivale.lnk"),
            "[ShellLink]\r\ntarget=C:\\Program Files\\Ornivale\\ornivale.exe\r\narguments=\r\n"
            "workdir=C:\\Program Files\\Ornivale\r\n");
  const auto loaded = shell().LoadShellLink("C:\\LINKS\\ornivale.lnk");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->target, link.target);

  EXPECT_FALSE(shell().SaveShellLink({"C:\\a.exe", "two\r\nlines", ""}, "C:\\Links\\Bad.lnk"));
  EXPECT_FALSE(shell().SaveShellLink(link, "C:\\NoFolder\\Ornivale.lnk"));
  ASSERT_TRUE(files().SetAttributes("C:\\Links\\Ornivale.lnk", platform::attr::kReadOnly));
  EXPECT_FALSE(shell().SaveShellLink(link, "C:\\Links\\Ornivale.lnk")) << "a read-only link is kept";
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Links\\Odd.lnk", "[ShellLink]\r\ncolour=blue\r\n"));
  EXPECT_FALSE(shell().LoadShellLink("C:\\Links\\Odd.lnk"));
}

}  // namespace
}  // namespace ov::emulated
