#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/InstallLog.h"
#include "support/ProfileFile.h"
#include "tests/engine/JobFixture.h"
#include "tests/engine/RegistryProbe.h"

namespace ov::engine {
namespace {

using package::PackMember;
using platform::RegRoot;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

constexpr const char* kLog = "C:\\windows\\OVinstall.log";
constexpr const char* kEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";

class InstallLogTest : public JobFixture {
 protected:
  // The names in a folder, without "." and "..".
  std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const platform::FindEntry& entry : fs().Find(folder + "\\*")) {
      if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
    }
    return names;
  }
  platform::Registry& registry() { return emulated().machine().registry; }
};

// --- the log on its own ---

TEST_F(InstallLogTest, CountsAreMinusOneAndEveryPathHasItsKey) {
  struct Case {
    const char* what;
    std::vector<std::string> folders, files;
    std::string text;
  };
  const Case cases[] = {
      {"a fresh folder",
       {"C:\\Ornivale", "C:\\Ornivale\\Skins"},
       {"C:\\Ornivale\\ornivale.exe", "C:\\Ornivale\\Skins\\blue.skn", "C:\\Ornivale\\OVUninstall.exe"},
       "[Document]\r\nFolders=1\r\nFiles=2\r\n"
       "[Folders]\r\nId_0=C:\\Ornivale\r\nId_1=C:\\Ornivale\\Skins\r\n"
       "[Files]\r\nId_0=C:\\Ornivale\\ornivale.exe\r\nId_1=C:\\Ornivale\\Skins\\blue.skn\r\n"
       "Id_2=C:\\Ornivale\\OVUninstall.exe\r\n"},
      {"every folder there already",
       {},
       {"C:\\Ornivale\\ornivale.exe"},
       "[Document]\r\nFolders=-1\r\nFiles=0\r\n[Files]\r\nId_0=C:\\Ornivale\\ornivale.exe\r\n"},
      {"nothing recorded", {}, {}, "[Document]\r\nFolders=-1\r\nFiles=-1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    EXPECT_EQ(WriteInstallLog(fs(), "C:\\windows", kTarget, c.folders, c.files), 0);
    EXPECT_EQ(Contents(kLog), c.text);
  }
}

TEST_F(InstallLogTest, AnEarlierLargerLogKeepsItsExtraKeys) {
  Put(kLog,
      "[Document]\r\nFolders=2\r\nFiles=3\r\n"
      "[Folders]\r\nId_0=D:\\Old\r\nId_1=D:\\Old\\A\r\nId_2=D:\\Old\\B\r\n"
      "[Files]\r\nId_0=D:\\Old\\1\r\nId_1=D:\\Old\\2\r\nId_2=D:\\Old\\3\r\nId_3=D:\\Old\\4\r\n");
  EXPECT_EQ(WriteInstallLog(fs(), "C:\\windows", kTarget, {"C:\\Ornivale"},
                            {"C:\\Ornivale\\a.exe", "C:\\Ornivale\\b.dll"}),
            0);
  // A reader goes by the counts.
  EXPECT_EQ(Contents(kLog),
            "[Document]\r\nFolders=0\r\nFiles=1\r\n"
            "[Folders]\r\nId_0=C:\\Ornivale\r\nId_1=D:\\Old\\A\r\nId_2=D:\\Old\\B\r\n"
            "[Files]\r\nId_0=C:\\Ornivale\\a.exe\r\nId_1=C:\\Ornivale\\b.dll\r\nId_2=D:\\Old\\3\r\n"
            "Id_3=D:\\Old\\4\r\n");
}

TEST_F(InstallLogTest, TheLogGoesToTheInstallFolderOnlyWithoutAWindowsFolder) {
  EXPECT_EQ(InstallLogPath(fs(), "C:\\windows", kTarget), kLog);
  EXPECT_EQ(InstallLogPath(fs(), "C:\\nowindows", kTarget), "C:\\Ornivale\\install.log");
  EXPECT_EQ(InstallLogPath(fs(), "", kTarget), "C:\\Ornivale\\install.log");
  Put("C:\\afile", "not a folder");
  EXPECT_EQ(InstallLogPath(fs(), "C:\\afile", kTarget), "C:\\Ornivale\\install.log");
}

TEST_F(InstallLogTest, AFailedWriteReportsMinusOneAndKeepsWhatWasWritten) {
  // A log that cannot be written at all leaves the earlier one whole.
  const std::string earlier = "[Document]\r\nFolders=0\r\nFiles=0\r\n";
  Put(kLog, earlier);
  emulated().FailWritesUnder("C:\\windows");
  EXPECT_EQ(WriteInstallLog(fs(), "C:\\windows", kTarget, {"C:\\Ornivale"}, {"C:\\Ornivale\\a.exe"}), -1);
  EXPECT_EQ(Contents(kLog), earlier);
  emulated().ClearFaults();

  // A path that cannot be a line stops the writing; what came before it is in the file.
  EXPECT_EQ(WriteInstallLog(fs(), "C:\\windows", kTarget, {"C:\\Ornivale"},
                            {"C:\\Ornivale\\a.exe", "C:\\Ornivale\\b\r\nId_9=C:\\x", "C:\\Ornivale\\c.exe"}),
            -1);
  EXPECT_EQ(Contents(kLog),
            "[Document]\r\nFolders=0\r\nFiles=2\r\n[Folders]\r\nId_0=C:\\Ornivale\r\n"
            "[Files]\r\nId_0=C:\\Ornivale\\a.exe\r\n");
}

// --- the log of a real install ---

std::vector<PackMember> Product() {
  const std::int32_t date = Dos(2009, 2, 1, 10, 0, 0);
  return {
      {{"\\", "ornivale.exe", 0, date}, "MZ" + std::string(1500, '\x90')},
      {{"\\", "OVUninstall.exe", 0, date}, "MZ uninstaller"},
      {{"\\Projects", "readme.txt", 0, date}, "samples"},
      {{"\\Projects\\Compiled\\Alpha", "alpha.jad", 0, date}, "MIDlet-Name: Alpha"},
      {{"\\Projects\\Compiled\\Alpha", "alpha.jar", 0, date}, "PK alpha"},
      {{"\\Projects\\Compiled\\Beta", "beta.jar", 0, date}, "PK beta"},
      {{"\\Skins", "blue.skn", 0, date}, std::string(300, 'b')},
      {{"\\Skins", "red.skn", 0, date}, std::string(300, 'r')},
  };
}

const std::vector<std::string> kProductFolders = {
    "C:\\Ornivale", "C:\\Ornivale\\Projects", "C:\\Ornivale\\Projects\\Compiled\\Alpha",
    "C:\\Ornivale\\Projects\\Compiled\\Beta", "C:\\Ornivale\\Skins"};

std::string LogText(const std::vector<std::string>& folders, const std::vector<std::string>& files) {
  std::string text = "[Document]\r\nFolders=" + std::to_string(static_cast<int>(folders.size()) - 1) +
                     "\r\nFiles=" + std::to_string(static_cast<int>(files.size()) - 1) + "\r\n";
  if (!folders.empty()) text += "[Folders]\r\n";
  for (std::size_t i = 0; i < folders.size(); ++i)
    text += "Id_" + std::to_string(i) + "=" + folders[i] + "\r\n";
  if (!files.empty()) text += "[Files]\r\n";
  for (std::size_t i = 0; i < files.size(); ++i) text += "Id_" + std::to_string(i) + "=" + files[i] + "\r\n";
  return text;
}

std::vector<std::string> ProductFiles() {
  std::vector<std::string> files;
  for (const PackMember& m : Product()) {
    files.push_back(std::string(JobFixture::kTarget) + (m.Entry.Folder == "\\" ? "" : m.Entry.Folder) + "\\" +
                    m.Entry.Name);
  }
  return files;
}

TEST_F(InstallLogTest, AnInstallLogsWhatItCreatedWithTheUninstallerAtItsInstallPath) {
  SetPackage(Build(Product()));
  Start();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(received_.back(), JobEnded(100, 0));
  // "\Projects\Compiled" came about as a parent and is not recorded.
  EXPECT_EQ(folders_, kProductFolders);
  EXPECT_EQ(files_list_, ProductFiles());
  EXPECT_EQ(Contents(kLog), LogText(kProductFolders, ProductFiles()));
  // The uninstaller moved, yet the log names it where the install wrote it.
  EXPECT_TRUE(fs().FileExists("C:\\windows\\OVUninstall.exe"));
  EXPECT_EQ(ProfileFile(fs(), kLog).ReadString("Files", "Id_1", ""), "C:\\Ornivale\\OVUninstall.exe");
}

TEST_F(InstallLogTest, AnInstallIntoExistingFoldersLogsNoFolders) {
  for (const char* folder : {"C:\\Ornivale", "C:\\Ornivale\\Projects", "C:\\Ornivale\\Projects\\Compiled",
                             "C:\\Ornivale\\Projects\\Compiled\\Alpha",
                             "C:\\Ornivale\\Projects\\Compiled\\Beta", "C:\\Ornivale\\Skins"}) {
    ASSERT_TRUE(fs().CreateDirectory(folder)) << folder;
  }
  SetPackage(Build(Product()));
  Start();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_THAT(folders_, IsEmpty());
  const ProfileFile log(fs(), kLog);
  EXPECT_EQ(log.ReadInteger("Document", "Folders", 99), -1);
  EXPECT_THAT(log.SectionNames(), ElementsAre("Document", "Files"));
}

TEST_F(InstallLogTest, WithoutAWindowsFolderTheLogAndTheUninstallerStayInTheInstallFolder) {
  emulated().SetWindowsDirectory("C:\\nowindows");
  SetPackage(Build(Product()));
  Start();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(received_.back(), JobEnded(100, 0));
  EXPECT_EQ(Contents("C:\\Ornivale\\install.log"), LogText(kProductFolders, ProductFiles()));
  EXPECT_FALSE(fs().FileExists(kLog));
  EXPECT_EQ(files_list_, ProductFiles());  // the log itself is not among them
  EXPECT_EQ(StringOf(registry(), RegRoot::LocalMachine, kEntry, "UnInstallString"),
            "C:\\Ornivale\\OVUninstall.exe");
  EXPECT_TRUE(fs().FileExists("C:\\Ornivale\\OVUninstall.exe"));
}

// --- rollback ---

class RollbackTest : public InstallLogTest {
 protected:
  // An install that the user cancels once it is registering: it completes, then ends with 210.
  void InstallCancelledWhileRegistering() {
    SetPackage(Build(Product()));
    hookedMessages().onPost = [this](std::uint32_t id, std::uintptr_t, std::intptr_t state) {
      if (id == WM_OV_STATE && state == kStateRegistering) Cancel();
    };
    Start();
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(received_.back(), JobEnded(kModeCancelled, 0));
    ASSERT_TRUE(fs().FileExists(kLog));
  }

  // What the wizard does on the end message of a cancelled install.
  void RunRollback(bool withLists = true) {
    hookedMessages().onPost = nullptr;
    hookedFiles().onOpen = nullptr;
    received_.clear();
    ended_ = false;
    Create(kModeRollback, withLists).Resume();  // the install job goes first
    ASSERT_TRUE(RunToEnd());
    // The rollback itself posts nothing.
    EXPECT_EQ(received_, (std::vector<Message>{{WM_OV_JOB_FREED, 0, 0}, JobEnded(kModeRollback, 0)}));
  }

  void Cancel() {
    job_->Mode = kModeCancelled;
    job_->Cancelled = true;
  }

  void ExpectNoProductKeys() {
    for (const char* key : {"{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}", ".ov5", "Applications\\ornivale.exe"}) {
      EXPECT_FALSE(KeyExists(registry(), RegRoot::ClassesRoot, key)) << key;
    }
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, kEntry));
  }
};

TEST_F(RollbackTest, AfterACompleteInstallOnlyTheDocumentedLeftoversStay) {
  InstallCancelledWhileRegistering();
  ASSERT_TRUE(KeyExists(registry(), RegRoot::LocalMachine, kEntry));
  RunRollback();

  for (const std::string& file : ProductFiles()) EXPECT_FALSE(fs().FileExists(file)) << file;
  for (const std::string& folder : kProductFolders) {
    if (folder != "C:\\Ornivale" && folder != "C:\\Ornivale\\Projects") {
      EXPECT_FALSE(fs().DirectoryExists(folder)) << folder;
    }
  }
  // The unrecorded "\Projects\Compiled" stays, empty, and with it the folders above it.
  EXPECT_THAT(Entries("C:\\Ornivale"), ElementsAre("Projects"));
  EXPECT_THAT(Entries("C:\\Ornivale\\Projects"), ElementsAre("Compiled"));
  EXPECT_THAT(Entries("C:\\Ornivale\\Projects\\Compiled"), IsEmpty());
  // So do the log, the uninstaller's copy and the settings.
  EXPECT_EQ(Contents(kLog), LogText(kProductFolders, ProductFiles()));
  EXPECT_EQ(Contents("C:\\windows\\OVUninstall.exe"), "MZ uninstaller");
  EXPECT_EQ(
      StringOf(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra\\Ornivale\\System", "OpenProject"),
      "C:\\Ornivale\\Projects");
  ExpectNoProductKeys();
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "Applications"));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::LocalMachine,
                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
}

TEST_F(RollbackTest, AfterACancelDuringExtractionExactlyTheFilesWrittenGo) {
  struct Case {
    std::size_t cancelledAt;                           // the file in progress when the user confirms
    std::vector<std::string> installFolder, projects;  // what stays in them
    bool installFolderStays;
  };
  const Case cases[] = {
      // Each recorded folder goes after what was put into it, the install folder last.
      {2, {}, {}, false},
      // "\Projects\Compiled" was created as a parent only: it keeps the folders above it.
      {3, {"Projects"}, {"Compiled"}, true},
  };
  const std::vector<std::string> files = ProductFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cancelledAt);
    TearDown();
    SetUp();
    SetPackage(Build(Product()));
    hookedFiles().onOpen = [this, &files, &c](const std::string& path, platform::FileAccess access) {
      if (path == files[c.cancelledAt] && access == platform::FileAccess::Write) Cancel();
      return true;
    };
    // Keys of other programs are none of the rollback's business.
    platform::RegValue other;
    other.text = "another program";
    ASSERT_TRUE(emulated().SetRegistryValue(RegRoot::ClassesRoot, "Applications\\notepad.exe", "", other));
    Start();
    ASSERT_TRUE(RunToEnd());
    ASSERT_EQ(received_.back(), JobEnded(kModeCancelled, 0));
    // The file in progress was completed and recorded; nothing after it was written.
    ASSERT_EQ(files_list_, std::vector<std::string>(files.begin(), files.begin() + c.cancelledAt + 1));
    ASSERT_FALSE(fs().FileExists(files[c.cancelledAt + 1]));
    EXPECT_FALSE(fs().FileExists(kLog));

    RunRollback();
    for (const std::string& file : files) EXPECT_FALSE(fs().FileExists(file)) << file;
    EXPECT_EQ(fs().DirectoryExists(kTarget), c.installFolderStays);
    EXPECT_EQ(Entries(kTarget), c.installFolder);
    EXPECT_EQ(Entries("C:\\Ornivale\\Projects"), c.projects);
    // The registration never ran: nothing of it to remove, and nothing else removed.
    ExpectNoProductKeys();
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra"));
    EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "Applications\\notepad.exe"));
  }
}

TEST_F(RollbackTest, AFileThatCannotBeDeletedKeepsTheFoldersThatHoldIt) {
  struct Case {
    const char* what;
    std::string kept;
    std::function<std::unique_ptr<platform::File>(RollbackTest&, const std::string&)> hold;
  };
  const Case cases[] = {
      {"a file in use", "C:\\Ornivale\\Skins\\red.skn",
       [](RollbackTest& t, const std::string& path) {
         return t.fs().Open(path, platform::FileAccess::Read, platform::FileShare::None,
                            platform::FileCreate::OpenExisting);
       }},
      {"a read-only file", "C:\\Ornivale\\Skins\\red.skn",
       [](RollbackTest& t, const std::string& path) {
         EXPECT_TRUE(t.fs().SetAttributes(path, platform::attr::kReadOnly));
         return std::unique_ptr<platform::File>();
       }},
      {"a file the install did not write", "C:\\Ornivale\\Skins\\mine.skn",
       [](RollbackTest& t, const std::string& path) {
         t.Put(path, "the user's own");
         return std::unique_ptr<platform::File>();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    InstallCancelledWhileRegistering();
    const std::unique_ptr<platform::File> held = c.hold(*this, c.kept);
    RunRollback();
    EXPECT_TRUE(fs().FileExists(c.kept));
    EXPECT_THAT(Entries("C:\\Ornivale"), UnorderedElementsAre("Projects", "Skins"));
    EXPECT_THAT(Entries("C:\\Ornivale\\Skins"), ElementsAre(c.kept.substr(c.kept.rfind('\\') + 1)));
    EXPECT_FALSE(fs().DirectoryExists("C:\\Ornivale\\Projects\\Compiled\\Alpha"));
    EXPECT_FALSE(fs().FileExists("C:\\Ornivale\\ornivale.exe"));
  }
}

TEST_F(RollbackTest, WithoutTheListsTheRegistryEntriesStillGo) {
  SetPackage(Build(Product()));
  Start();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(received_.back(), JobEnded(kModeInstall, 0));
  ASSERT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, ".ov5"));
  RunRollback(false);
  ExpectNoProductKeys();
  EXPECT_TRUE(fs().FileExists("C:\\Ornivale\\ornivale.exe"));
}

}  // namespace
}  // namespace ov::engine
