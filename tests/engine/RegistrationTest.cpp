#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/Registration.h"
#include "javatools/JavaTools.h"
#include "support/Errors.h"
#include "tests/engine/JobFixture.h"
#include "tests/engine/RegistryProbe.h"
#include "support/Product.h"

namespace ov::engine {
namespace {

using package::PackMember;
using platform::RegRoot;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kHelp = "SOFTWARE\\Velmorra\\Ornivale\\Help";
constexpr const char* kSystem = "SOFTWARE\\Velmorra\\Ornivale\\System";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kEntry =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}";
constexpr const char* kCommand = "\"C:\\Ornivale\\ornivale.exe\" \"%1\"";
constexpr const char* kIcon = "C:\\Ornivale\\ornivale.exe,0";
constexpr const char* kPage = "http://www.velmorra.example/ornivale.htm";
constexpr platform::LocalTime k5March2009{2009, 3, 5, 14, 30, 0, 0};

// The changes in the log that set values or notify the shell, without the key creations.
ChangeLog Writes(const ChangeLog& log) {
  ChangeLog writes;
  std::copy_if(log.begin(), log.end(), std::back_inserter(writes),
               [](const std::string& line) { return line.rfind("create ", 0) != 0; });
  return writes;
}

// The emulated machine, and the same machine seen through a registry and shell that log changes.
class RegistrationTest : public JobFixture {
 protected:
  void SetUp() override {
    JobFixture::SetUp();
    log_.clear();
    platform::Machine& inner = emulated().machine();
    recordingRegistry_ = std::make_unique<RecordingRegistry>(inner.registry, log_);
    recordingShell_ = std::make_unique<RecordingShell>(inner.shell, log_);
    recorded_ = std::make_unique<platform::Machine>(platform::Machine{
        inner.files, *recordingRegistry_, inner.system, *recordingShell_, inner.messages, inner.resources});
    // The registration reads only the version and the folder of each record.
    jdk_ = std::make_unique<javatools::TSunJDK>(fs(), "1.6.0_11", "C:\\Java\\jdk1.6.0_11");
    wtk_ = std::make_unique<javatools::TMobileWTK>(fs(), "2.5.2", "C:\\WTK252");
  }
  void TearDown() override {
    job_.reset();  // before the records it may hold
    wtk_.reset();
    jdk_.reset();
    recorded_.reset();
    recordingShell_.reset();
    recordingRegistry_.reset();
    JobFixture::TearDown();
  }

  platform::Registry& registry() { return emulated().machine().registry; }
  platform::Machine& recorded() { return *recorded_; }
  std::optional<std::string> String(RegRoot root, const std::string& key, const std::string& name) {
    return StringOf(registry(), root, key, name);
  }
  std::optional<std::uint32_t> Dword(RegRoot root, const std::string& key, const std::string& name) {
    return DwordOf(registry(), root, key, name);
  }
  void Seed(RegRoot root, const std::string& key, const std::string& name, const std::string& text) {
    platform::RegValue value;
    value.text = text;
    ASSERT_TRUE(emulated().SetRegistryValue(root, key, name, value));
  }
  void SeedDword(RegRoot root, const std::string& key, const std::string& name, std::uint32_t number) {
    platform::RegValue value;
    value.type = platform::RegType::Dword;
    value.number = number;
    ASSERT_TRUE(emulated().SetRegistryValue(root, key, name, value));
  }

  ChangeLog log_;
  std::unique_ptr<javatools::TSunJDK> jdk_;
  std::unique_ptr<javatools::TMobileWTK> wtk_;

 private:
  std::unique_ptr<RecordingRegistry> recordingRegistry_;
  std::unique_ptr<RecordingShell> recordingShell_;
  std::unique_ptr<platform::Machine> recorded_;
};

// --- settings ---

TEST_F(RegistrationTest, SettingsKeysComeFirstThenEveryValueInOrder) {
  WriteSettings(recorded().registry, kTarget, jdk_.get(), wtk_.get());

  const ChangeLog firstFive(log_.begin(), log_.begin() + std::min<std::size_t>(5, log_.size()));
  EXPECT_THAT(firstFive,
              ElementsAre("create HKLM\\SOFTWARE\\Velmorra", "create HKLM\\SOFTWARE\\Velmorra\\Ornivale",
                          "create HKLM\\SOFTWARE\\Velmorra\\Ornivale\\Dialogs",
                          "create HKLM\\SOFTWARE\\Velmorra\\Ornivale\\Help",
                          "create HKLM\\SOFTWARE\\Velmorra\\Ornivale\\System"));
  const std::string help = "HKLM\\" + std::string(kHelp) + " ";
  const std::string system = "HKLM\\" + std::string(kSystem) + " ";
  EXPECT_THAT(
      Writes(log_),
      ElementsAre(help + "\"HWND\"=dword:0", help + "\"ARG\"=\"\"",
                  system + "\"OpenProject\"=\"C:\\Ornivale\\Projects\"", system + "\"OpenDoc\"=\"\"",
                  system + "\"OpenImg\"=\"\"", system + "\"OpenDocIdx\"=dword:0",
                  system + "\"OpenImgIdx\"=dword:0", system + "\"DefColorSchema\"=\"\"",
                  system + "\"DefStringsSchema\"=\"\"", system + "\"DefIconSchema\"=\"\"",
                  system + "\"JavaHome\"=\"C:\\Java\\jdk1.6.0_11\"", system + "\"JavaVersion\"=\"1.6.0_11\"",
                  system + "\"RootWTK\"=\"C:\\WTK252\"", system + "\"WTKVersion\"=\"2.5.2\""));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::LocalMachine, "SOFTWARE\\Velmorra\\Ornivale\\Dialogs"));
  // Nothing under the current user, whatever the product reads there.
  EXPECT_FALSE(KeyExists(registry(), RegRoot::CurrentUser, "SOFTWARE\\Velmorra"));
}

TEST_F(RegistrationTest, JavaValuesOnlyForTheRecordsThatAreSet) {
  struct Case {
    bool withJdk, withWtk;
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
    SCOPED_TRACE(std::string(c.withJdk ? "jdk" : "no jdk") + ", " + (c.withWtk ? "wtk" : "no wtk"));
    // An earlier install's values stay where nothing is written.
    for (const char* name : {"JavaHome", "JavaVersion", "RootWTK", "WTKVersion"}) {
      Seed(RegRoot::LocalMachine, kSystem, name, "earlier");
    }
    WriteSettings(registry(), kTarget, c.withJdk ? jdk_.get() : nullptr, c.withWtk ? wtk_.get() : nullptr);
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaHome"), c.withJdk ? jdk_->HomeDir : "earlier");
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaVersion"), c.withJdk ? jdk_->Version : "earlier");
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "RootWTK"), c.withWtk ? wtk_->HomeDir : "earlier");
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "WTKVersion"), c.withWtk ? wtk_->Version : "earlier");
    // Skipping them does not end the sequence before them.
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "DefIconSchema"), "");
  }
}

TEST_F(RegistrationTest, AFailedSettingsWriteStopsEverythingAfterIt) {
  struct Case {
    const char* denied;
    std::vector<std::string> written;
  };
  const std::string help = "HKLM\\" + std::string(kHelp) + " ";
  const Case cases[] = {
      // The System key is writable, yet nothing reaches it: the sequence stopped at "HWND".
      {kHelp, {}},
      {kSystem, {help + "\"HWND\"=dword:0", help + "\"ARG\"=\"\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.denied);
    TearDown();
    SetUp();
    emulated().DenyRegistryWritesUnder(RegRoot::LocalMachine, c.denied);
    WriteSettings(recorded().registry, kTarget, jdk_.get(), wtk_.get());
    EXPECT_EQ(Writes(log_), c.written);
    EXPECT_FALSE(String(RegRoot::LocalMachine, kSystem, "OpenProject"));
    EXPECT_FALSE(String(RegRoot::LocalMachine, kSystem, "JavaHome"));
  }
}

// --- file association and application keys ---

TEST_F(RegistrationTest, AssociationThenNoticeThenApplicationKeys) {
  RegisterFileTypes(recorded().registry, recorded().shell, kTarget);

  const std::string app = "HKCR\\Applications\\";
  EXPECT_THAT(Writes(log_),
              ElementsAre("HKCR\\.ov5 @=\"Ornivale Project Desc.\"",
                          "HKCR\\.ov5\\DefaultIcon @=\"" + std::string(kIcon) + "\"",
                          "HKCR\\.ov5\\Shell\\Open @=\"&Open\"",
                          "HKCR\\.ov5\\Shell\\Open\\Command @=\"" + std::string(kCommand) + "\"",
                          "notify associations", app + "ornivale.exe @=\"Ornivale Executable\"",
                          app + "ornivale.exe \"FriendlyAppName\"=\"Ornivale - " +
                              std::string(product::kTagline) + "\"",
                          app + "Ornivale.exe\\DefaultIcon @=\"" + std::string(kIcon) + "\"",
                          app + "Ornivale.exe\\shell @=\"open\"",
                          app + "Ornivale.exe\\shell\\open @=\"&Open Ornivale\"",
                          app + "Ornivale.exe\\shell\\open\\command @=\"" + std::string(kCommand) + "\"",
                          app + "Ornivale.exe\\SupportedTypes \".ov5\"=\"Ornivale Project\""));

  // One application key, whatever the case it is named in; it keeps its first spelling.
  EXPECT_THAT(SubKeysOf(registry(), RegRoot::ClassesRoot, "Applications"), ElementsAre("ornivale.exe"));
  EXPECT_THAT(SubKeysOf(registry(), RegRoot::ClassesRoot, "Applications\\ornivale.exe"),
              ElementsAre("DefaultIcon", "shell", "SupportedTypes"));
  EXPECT_EQ(String(RegRoot::ClassesRoot, ".ov5\\Shell\\Open\\Command", ""),
            R"("C:\Ornivale\ornivale.exe" "%1")");
  EXPECT_EQ(String(RegRoot::ClassesRoot, "Applications\\ORNIVALE.EXE\\shell\\open\\command", ""),
            R"("C:\Ornivale\ornivale.exe" "%1")");
  EXPECT_EQ(String(RegRoot::ClassesRoot, ".ov5\\DefaultIcon", ""), R"(C:\Ornivale\ornivale.exe,0)");
  EXPECT_EQ(emulated().AssociationChangeNotifications(), 1);
}

TEST_F(RegistrationTest, AssociationFailuresEscapeApplicationFailuresAreSkipped) {
  struct Case {
    const char* denied;
    bool escapes;
    std::vector<std::string> written;
  };
  const std::string app = "HKCR\\Applications\\";
  const std::string icon = "HKCR\\.ov5\\DefaultIcon @=\"" + std::string(kIcon) + "\"";
  const std::string open = "HKCR\\.ov5\\Shell\\Open @=\"&Open\"";
  const std::string command = "HKCR\\.ov5\\Shell\\Open\\Command @=\"" + std::string(kCommand) + "\"";
  const std::string friendly =
      app + "ornivale.exe \"FriendlyAppName\"=\"Ornivale - " + std::string(product::kTagline) + "\"";
  const Case cases[] = {
      {"", true, {}},  // no rights under HKEY_CLASSES_ROOT at all
      {".ov5\\Shell\\Open\\Command", true, {"HKCR\\.ov5 @=\"Ornivale Project Desc.\"", icon, open}},
      {"Applications\\Ornivale.exe\\shell",
       false,
       {"HKCR\\.ov5 @=\"Ornivale Project Desc.\"", icon, open, command, "notify associations",
        app + "ornivale.exe @=\"Ornivale Executable\"", friendly,
        app + "Ornivale.exe\\DefaultIcon @=\"" + std::string(kIcon) + "\"",
        app + "Ornivale.exe\\SupportedTypes \".ov5\"=\"Ornivale Project\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.denied);
    TearDown();
    SetUp();
    emulated().DenyRegistryWritesUnder(RegRoot::ClassesRoot, c.denied);
    if (c.escapes) {
      EXPECT_THROW(RegisterFileTypes(recorded().registry, recorded().shell, kTarget), OvError);
    } else {
      EXPECT_NO_THROW(RegisterFileTypes(recorded().registry, recorded().shell, kTarget));
    }
    EXPECT_EQ(Writes(log_), c.written);
    // Nothing lands anywhere else, such as below the root of HKEY_LOCAL_MACHINE.
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, ".ov5"));
  }
}

// --- uninstall entry ---

TEST_F(RegistrationTest, EveryUninstallValueInOrder) {
  emulated().SetClock(k5March2009);
  ASSERT_TRUE(fs().CreateDirectory(kTarget));
  Put("C:\\Ornivale\\OVUninstall.exe", "uninstaller");
  WriteUninstallEntry(recorded(), kTarget, "C:\\windows", 123456);

  const std::string entry = "HKLM\\" + std::string(kEntry) + " ";
  EXPECT_THAT(
      Writes(log_),
      ElementsAre(entry + "\"DisplayName\"=\"Ornivale\"", entry + "\"DisplayVersion\"=\"1.0.7.25\"",
                  entry + "\"UnInstallString\"=\"C:\\windows\\OVUninstall.exe\"",
                  entry + "\"Publisher\"=\"Velmorra srl\"", entry + "\"URLInfoAbout\"=\"" + kPage + "\"",
                  entry + "\"HelpLink\"=\"" + kPage + "\"", entry + "\"URLUpdateInfo\"=\"" + kPage + "\"",
                  entry + "\"InstallLocation\"=\"C:\\Ornivale\"", entry + "\"InstallDate\"=\"20090305\"",
                  entry + "\"InstallSource\"=\"\"",
                  entry + "\"EstimatedSize\"=dword:121",  // 123456 bytes are 120.6 KiB
                  entry + "\"NoModify\"=dword:1", entry + "\"NoRepair\"=dword:1"));
}

TEST_F(RegistrationTest, EstimatedSizeIsInKilobytesRoundedUp) {
  struct Case {
    std::int32_t bytes;
    std::uint32_t kib;
  };
  for (const Case c :
       {Case{1000, 1}, Case{1024, 1}, Case{1025, 2}, Case{1048576, 1024}, Case{2147483647, 2097152}}) {
    SCOPED_TRACE(c.bytes);
    WriteUninstallEntry(emulated().machine(), kTarget, "C:\\windows", c.bytes);
    EXPECT_EQ(Dword(RegRoot::LocalMachine, kEntry, "EstimatedSize"), c.kib);
  }
}

TEST_F(RegistrationTest, TheUninstallerIsMovedWithoutEverBeingLost) {
  struct Case {
    const char* what;
    std::function<void(RegistrationTest&)> setUp;
    const char* windowsDir;
    const char* named;                     // by "UnInstallString"
    std::optional<std::string> inInstall;  // what stays in the install folder
    std::optional<std::string> inWindows;  // what is in the Windows folder afterwards
  };
  const char* installed = "C:\\Ornivale\\OVUninstall.exe";
  const char* moved = "C:\\windows\\OVUninstall.exe";
  const auto newOne = [installed](RegistrationTest& t) { t.Put(installed, "new"); };
  const Case cases[] = {
      {"moved into the Windows folder", newOne, "C:\\windows", moved, std::nullopt, "new"},
      {"an earlier copy there is replaced",
       [=](RegistrationTest& t) {
         newOne(t);
         t.Put(moved, "earlier, and longer than the new one");
       },
       "C:\\windows", moved, std::nullopt, "new"},
      {"no Windows folder", newOne, "C:\\nowindows", installed, "new", std::nullopt},
      {"the copy cannot be written",
       [=](RegistrationTest& t) {
         newOne(t);
         t.emulated().FailWritesUnder(moved);
       },
       "C:\\windows", installed, "new", std::nullopt},
      {"a read-only earlier copy cannot be replaced",
       [=](RegistrationTest& t) {
         newOne(t);
         t.Put(moved, "earlier");
         ASSERT_TRUE(t.fs().SetAttributes(moved, platform::attr::kReadOnly));
       },
       "C:\\windows", installed, "new", "earlier"},
      {"no uninstaller in the install folder", [](RegistrationTest&) {}, "C:\\windows", moved, std::nullopt,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    ASSERT_TRUE(fs().CreateDirectory(kTarget));
    c.setUp(*this);
    WriteUninstallEntry(emulated().machine(), kTarget, c.windowsDir, 5000);
    EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "UnInstallString"), c.named);
    EXPECT_EQ(Contents(installed), c.inInstall);
    EXPECT_EQ(Contents(moved), c.inWindows);
    // The values after it follow whatever became of the file.
    EXPECT_EQ(Dword(RegRoot::LocalMachine, kEntry, "NoRepair"), 1u);
  }
}

TEST_F(RegistrationTest, AnEarlierUninstallEntryIsOverwrittenAndKeepsWhatElseItHas) {
  Seed(RegRoot::LocalMachine, kEntry, "DisplayName", "Ornivale 0.9");
  Seed(RegRoot::LocalMachine, kEntry, "Comments", "kept");
  Seed(RegRoot::LocalMachine, std::string(kEntry) + "\\Extra", "Note", "kept too");
  SeedDword(RegRoot::LocalMachine, kEntry, "EstimatedSize", 99999999);
  WriteUninstallEntry(emulated().machine(), kTarget, "C:\\windows", 4096);
  EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "DisplayName"), "Ornivale");
  EXPECT_EQ(Dword(RegRoot::LocalMachine, kEntry, "EstimatedSize"), 4u);
  EXPECT_EQ(String(RegRoot::LocalMachine, kEntry, "Comments"), "kept");
  EXPECT_EQ(String(RegRoot::LocalMachine, std::string(kEntry) + "\\Extra", "Note"), "kept too");
}

TEST_F(RegistrationTest, AnUninstallEntryThatCannotBeWrittenEscapesAndMovesNothing) {
  for (const char* denied : {kUninstall, kEntry}) {
    SCOPED_TRACE(denied);
    TearDown();
    SetUp();
    ASSERT_TRUE(fs().CreateDirectory(kTarget));
    Put("C:\\Ornivale\\OVUninstall.exe", "new");
    emulated().DenyRegistryWritesUnder(RegRoot::LocalMachine, denied);
    EXPECT_THROW(WriteUninstallEntry(recorded(), kTarget, "C:\\windows", 5000), OvError);
    EXPECT_THAT(Writes(log_), IsEmpty());
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, kEntry));
    // Never anywhere else, such as straight below HKEY_LOCAL_MACHINE.
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, "{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}"));
    EXPECT_TRUE(fs().FileExists("C:\\Ornivale\\OVUninstall.exe"));
  }
}

// --- removal ---

TEST_F(RegistrationTest, DeleteRegistryTreeGoesDeepestFirstAndTheNamedKeyLast) {
  for (const char* key : {"Tree\\A\\A1", "Tree\\A\\A2", "Tree\\B", "TreeSibling"}) {
    Seed(RegRoot::ClassesRoot, key, "v", "x");
  }
  DeleteRegistryTree(recorded().registry, RegRoot::ClassesRoot, "Tree");
  EXPECT_THAT(log_, ElementsAre("delete HKCR\\Tree\\A\\A1", "delete HKCR\\Tree\\A\\A2",
                                "delete HKCR\\Tree\\A", "delete HKCR\\Tree\\B", "delete HKCR\\Tree"));
  EXPECT_FALSE(KeyExists(registry(), RegRoot::ClassesRoot, "Tree"));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "TreeSibling"));

  log_.clear();
  DeleteRegistryTree(recorded().registry, RegRoot::ClassesRoot, "Missing\\Key");
  DeleteRegistryTree(recorded().registry, RegRoot::ClassesRoot, "");
  EXPECT_THAT(log_, IsEmpty());
  EXPECT_FALSE(KeyExists(registry(), RegRoot::ClassesRoot, "Missing"));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "TreeSibling"));
}

TEST_F(RegistrationTest, RemoveRegistrationTakesTheFiveKeysAndLeavesTheRest) {
  WriteSettings(registry(), kTarget, jdk_.get(), wtk_.get());
  RegisterFileTypes(registry(), emulated().machine().shell, kTarget);
  WriteUninstallEntry(emulated().machine(), kTarget, "C:\\windows", 5000);
  Seed(RegRoot::ClassesRoot, "{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}\\InprocServer32", "", "x");
  Seed(RegRoot::ClassesRoot, "Applications\\rirovor.exe\\shell\\open\\command", "", "x");
  Seed(RegRoot::ClassesRoot, "Applications\\notepad.exe", "", "another program");
  Seed(RegRoot::ClassesRoot, ".ov4", "", "another type");
  Seed(RegRoot::LocalMachine, std::string(kUninstall) + "\\Another", "DisplayName", "another product");

  RemoveRegistration(registry());
  for (const char* key : {"{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}", ".ov5", "Applications\\ornivale.exe",
                          "Applications\\rirovor.exe"}) {
    EXPECT_FALSE(KeyExists(registry(), RegRoot::ClassesRoot, key)) << key;
  }
  EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, kEntry));
  EXPECT_THAT(SubKeysOf(registry(), RegRoot::ClassesRoot, "Applications"), ElementsAre("notepad.exe"));
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, ".ov4"));
  EXPECT_THAT(SubKeysOf(registry(), RegRoot::LocalMachine, kUninstall), ElementsAre("Another"));
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "OpenProject"), "C:\\Ornivale\\Projects");
  EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaHome"), jdk_->HomeDir);
}

TEST_F(RegistrationTest, RemoveRegistrationWithNothingRegisteredChangesNothing) {
  Seed(RegRoot::ClassesRoot, "Applications\\notepad.exe", "", "another program");
  RemoveRegistration(recorded().registry);
  EXPECT_THAT(log_, IsEmpty());
  EXPECT_TRUE(KeyExists(registry(), RegRoot::ClassesRoot, "Applications\\notepad.exe"));
}

// --- through a real install ---

std::vector<PackMember> Product() {
  return {
      {{"\\", "ornivale.exe", 0, Dos(2009, 2, 1, 10, 0, 0)}, "MZ" + std::string(1500, '\x90')},
      {{"\\", "OVUninstall.exe", 0, Dos(2009, 2, 1, 10, 0, 0)}, "MZ uninstaller"},
      {{"\\Skins", "blue.skn", 0, Dos(2009, 2, 1, 10, 0, 0)}, std::string(300, 's')},
  };
}

class InstallRegistrationTest : public RegistrationTest {
 protected:
  TOVInstallThread& StartWithJava() {
    TOVInstallThread& job = Create(kModeInstall);
    job.TargetDir = kTarget;
    job.SetJdk(jdk_.get());
    job.SetWtk(wtk_.get());
    job.Resume();
    return job;
  }
};

TEST_F(InstallRegistrationTest, AnInstallRecordsTheProductAsWindowsExpects) {
  emulated().SetClock(k5March2009);
  const std::string package = Build(Product());
  SetPackage(package);
  // What the product stored since an earlier install is reset.
  Seed(RegRoot::LocalMachine, kSystem, "OpenProject", "D:\\Earlier\\Projects");
  Seed(RegRoot::LocalMachine, kSystem, "OpenDoc", "D:\\Docs\\chapter.txt");
  Seed(RegRoot::LocalMachine, kSystem, "OpenImg", "D:\\Docs\\cover.png");
  SeedDword(RegRoot::LocalMachine, kSystem, "OpenDocIdx", 3);
  SeedDword(RegRoot::LocalMachine, kSystem, "OpenImgIdx", 7);
  for (const char* schema : {"DefColorSchema", "DefStringsSchema", "DefIconSchema"}) {
    Seed(RegRoot::LocalMachine, kSystem, schema, "Earlier");
  }
  SeedDword(RegRoot::LocalMachine, kHelp, "HWND", 0x1234);
  Seed(RegRoot::LocalMachine, kHelp, "ARG", "topic");

  StartWithJava();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(received_.back(), JobEnded(100, 0));

  struct Text {
    RegRoot root;
    std::string key, name, data;
  };
  const Text texts[] = {
      {RegRoot::LocalMachine, kHelp, "ARG", ""},
      {RegRoot::LocalMachine, kSystem, "OpenProject", "C:\\Ornivale\\Projects"},
      {RegRoot::LocalMachine, kSystem, "OpenDoc", ""},
      {RegRoot::LocalMachine, kSystem, "OpenImg", ""},
      {RegRoot::LocalMachine, kSystem, "DefColorSchema", ""},
      {RegRoot::LocalMachine, kSystem, "DefStringsSchema", ""},
      {RegRoot::LocalMachine, kSystem, "DefIconSchema", ""},
      {RegRoot::LocalMachine, kSystem, "JavaHome", "C:\\Java\\jdk1.6.0_11"},
      {RegRoot::LocalMachine, kSystem, "JavaVersion", "1.6.0_11"},
      {RegRoot::LocalMachine, kSystem, "RootWTK", "C:\\WTK252"},
      {RegRoot::LocalMachine, kSystem, "WTKVersion", "2.5.2"},
      {RegRoot::ClassesRoot, ".ov5", "", "Ornivale Project Desc."},
      {RegRoot::ClassesRoot, ".ov5\\DefaultIcon", "", kIcon},
      {RegRoot::ClassesRoot, ".ov5\\Shell\\Open\\Command", "", kCommand},
      {RegRoot::ClassesRoot, "Applications\\ornivale.exe\\DefaultIcon", "", kIcon},
      {RegRoot::ClassesRoot, "Applications\\ornivale.exe\\shell\\open\\command", "", kCommand},
      {RegRoot::LocalMachine, kEntry, "UnInstallString", "C:\\windows\\OVUninstall.exe"},
      {RegRoot::LocalMachine, kEntry, "InstallLocation", "C:\\Ornivale"},
      {RegRoot::LocalMachine, kEntry, "InstallDate", "20090305"},
  };
  for (const Text& t : texts) {
    EXPECT_EQ(String(t.root, t.key, t.name), t.data) << t.key << " " << t.name;
  }
  for (const char* name : {"OpenDocIdx", "OpenImgIdx"}) {
    EXPECT_EQ(Dword(RegRoot::LocalMachine, kSystem, name), 0u) << name;
  }
  EXPECT_EQ(Dword(RegRoot::LocalMachine, kHelp, "HWND"), 0u);
  EXPECT_EQ(Dword(RegRoot::LocalMachine, kEntry, "EstimatedSize"), (package.size() + 1023) / 1024);
  EXPECT_EQ(emulated().AssociationChangeNotifications(), 1);
  EXPECT_EQ(Contents("C:\\windows\\OVUninstall.exe"), "MZ uninstaller");
  EXPECT_FALSE(fs().FileExists("C:\\Ornivale\\OVUninstall.exe"));
  EXPECT_TRUE(fs().FileExists("C:\\windows\\OVinstall.log"));
}

// A registration step that fails ends the registration phase; the install still counts as done.
TEST_F(InstallRegistrationTest, AFailedRegistrationStepSkipsTheRestButTheInstallSucceeds) {
  struct Case {
    const char* what;
    RegRoot root;
    const char* denied;
    bool associated;
  };
  const Case cases[] = {
      {"no rights under HKEY_CLASSES_ROOT", RegRoot::ClassesRoot, "", false},
      {"no rights on the uninstall entry", RegRoot::LocalMachine, kEntry, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    SetPackage(Build(Product()));
    emulated().DenyRegistryWritesUnder(c.root, c.denied);
    StartWithJava();
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(received_.back(), JobEnded(100, 0));
    EXPECT_EQ(String(RegRoot::LocalMachine, kSystem, "JavaHome"), "C:\\Java\\jdk1.6.0_11");
    EXPECT_EQ(String(RegRoot::ClassesRoot, ".ov5\\Shell\\Open\\Command", "").has_value(), c.associated);
    EXPECT_EQ(KeyExists(registry(), RegRoot::ClassesRoot, "Applications\\ornivale.exe"), c.associated);
    EXPECT_FALSE(KeyExists(registry(), RegRoot::LocalMachine, kEntry));
    EXPECT_FALSE(fs().FileExists("C:\\windows\\OVinstall.log"));
    EXPECT_FALSE(fs().FileExists("C:\\Ornivale\\install.log"));
    EXPECT_TRUE(fs().FileExists("C:\\Ornivale\\OVUninstall.exe"));
  }
}

}  // namespace
}  // namespace ov::engine
