// The install folder check: the refusals as the user sees them on the folder page, and what an
// accepted folder leaves behind.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "WizardFixture.h"
#include "wizard/FolderCheck.h"

namespace ov::wizard::testing {
namespace {

constexpr std::uint64_t kMB = 1024 * 1024;

std::string Box(const std::string& path, const std::string& reason) {
  return "Install folder \"" + path + "\r\" has no valid drive or it is not valid path\r" + reason;
}

struct RefusedCase {
  const char* name;
  const char* typed;
  const char* path;  // as the box names it: trimmed
  const char* reason;
  std::function<void(emulated::EmulatedMachine&)> setUp;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedFolderTest : public WizardFixture, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFolderTest, ShowsTheReasonAndStaysOnTheFolderPage) {
  const RefusedCase& c = GetParam();
  if (c.setUp) c.setUp(emulated());
  Start();
  GoToFolderPage();
  view().Type(Control::edtTarget, c.typed);
  view().Click(Control::btnNext);

  ASSERT_EQ(view().Boxes().size(), 1u);
  EXPECT_EQ(view().Boxes()[0].text, Box(c.path, c.reason));
  EXPECT_EQ(view().Boxes()[0].kind, BoxKind::Error);
  EXPECT_EQ(view().Boxes()[0].buttons, BoxButtons::Ok);
  EXPECT_EQ(frm().PageIndex(), 2);
  EXPECT_EQ(view().Page(), 2);
  EXPECT_EQ(frm().InstallJob(), nullptr);
  EXPECT_EQ(frm().StateCode(), state::kBeforeInstall);
  EXPECT_EQ(view().Text(Control::edtTarget), c.typed);
}

void Drive(emulated::EmulatedMachine& machine, std::uint32_t type, std::uint64_t freeBytes = 1ull << 32) {
  machine.SetDrive('D', type);
  machine.SetFreeSpace('D', freeBytes, 1ull << 34);
}

INSTANTIATE_TEST_SUITE_P(
    Wizard, RefusedFolderTest,
    ::testing::Values(RefusedCase{"RelativePath", "Ornivale", "Ornivale", "\"Ornivale\" is invalid path.",
                                  nullptr},
                      RefusedCase{"UncPath", "\\\\server\\share\\Ornivale", "\\\\server\\share\\Ornivale",
                                  "\"\\\\server\\share\\Ornivale\" is invalid path.", nullptr},
                      RefusedCase{"BlankRelativePath", "  Ornivale\t", "Ornivale",
                                  "\"Ornivale\" is invalid path.", nullptr},
                      RefusedCase{"NoSuchDrive", "Q:\\Ornivale", "Q:\\Ornivale",
                                  "The root directory does not exist.", nullptr},
                      RefusedCase{"CdRom", "D:\\Ornivale", "D:\\Ornivale", "The drive is a CD-ROM drive.",
                                  [](auto& m) { Drive(m, platform::drive::kCdRom); }},
                      RefusedCase{"UnknownDriveType", "D:\\Ornivale", "D:\\Ornivale",
                                  "The drive type cannot be determined.",
                                  [](auto& m) { Drive(m, platform::drive::kUnknown); }},
                      RefusedCase{"DriveTypeOutsideTheTable", "D:\\Ornivale", "D:\\Ornivale", "",
                                  [](auto& m) { Drive(m, 7); }},
                      RefusedCase{"Exactly32MB", "D:\\Ornivale", "D:\\Ornivale",
                                  "Not enough free disk space on drive \"D:\\\". Available space=32 MB",
                                  [](auto& m) { Drive(m, platform::drive::kFixed, 32 * kMB); }},
                      RefusedCase{"JustBelow33MB", "D:\\Ornivale", "D:\\Ornivale",
                                  "Not enough free disk space on drive \"D:\\\". Available space=32 MB",
                                  [](auto& m) { Drive(m, platform::drive::kRemovable, 33 * kMB - 1); }},
                      RefusedCase{"NearlyFull", " D:\\Ornivale ", "D:\\Ornivale",
                                  "Not enough free disk space on drive \"D:\\\". Available space=0 MB",
                                  [](auto& m) { Drive(m, platform::drive::kFixed, 1000); }},
                      RefusedCase{"CharactersTheFileSystemRefuses", "C:\\Orni<vale>", "C:\\Orni<vale>",
                                  "Folder \"C:\\Orni<vale>\" cannot be created", nullptr},
                      RefusedCase{"CannotBeCreated", "D:\\Locked\\Ornivale", "D:\\Locked\\Ornivale",
                                  "Folder \"D:\\Locked\\Ornivale\" cannot be created",
                                  [](auto& m) {
                                    Drive(m, platform::drive::kFixed);
                                    m.FailWritesUnder("D:\\Locked");
                                  }}),
    ByName());

// Two boxes written out whole: the path's closing quote begins the second line.
using FolderBoxTest = WizardFixture;

TEST_F(FolderBoxTest, FolderBoxHasThreeLinesAndEndsAfterTheSecondWithoutAReason) {
  emulated().SetDrive('D', platform::drive::kCdRom);
  emulated().SetDrive('E', 7);
  Start();
  GoToFolderPage();
  view().Type(Control::edtTarget, "D:\\Ornivale");
  view().Click(Control::btnNext);
  view().Type(Control::edtTarget, "E:\\Ornivale");
  view().Click(Control::btnNext);
  ASSERT_EQ(view().Boxes().size(), 2u);
  EXPECT_EQ(view().Boxes()[0].text,
            "Install folder \"D:\\Ornivale\r\" has no valid drive or it is not valid path\r"
            "The drive is a CD-ROM drive.");
  EXPECT_EQ(view().Boxes()[1].text,
            "Install folder \"E:\\Ornivale\r\" has no valid drive or it is not valid path\r");
}

class AcceptedFolderTest : public MachineFixture {
 protected:
  bool Check(const std::string& text) {
    reason_ = "untouched";
    return CheckTargetFolder(fs(), text, reason_);
  }
  std::string reason_;
};

TEST_F(AcceptedFolderTest, AcceptedDriveTypesWithRoom) {
  const struct {
    char letter;
    std::uint32_t type;
    std::uint64_t freeBytes;
  } drives[] = {
      {'D', platform::drive::kRemovable, 1ull << 32},
      {'E', platform::drive::kRemote, 1ull << 32},
      {'F', platform::drive::kRamDisk, 1ull << 32},
      {'G', platform::drive::kFixed, 33 * kMB},
  };
  for (const auto& d : drives) {
    SCOPED_TRACE(d.letter);
    emulated().SetDrive(d.letter, d.type);
    emulated().SetFreeSpace(d.letter, d.freeBytes, 1ull << 34);
    const std::string target = std::string(1, d.letter) + ":\\Ornivale";
    EXPECT_TRUE(Check(target)) << reason_;
    EXPECT_FALSE(Exists(target));  // proved and removed again
  }
}

TEST_F(AcceptedFolderTest, DriveRootPasses) {
  EXPECT_TRUE(Check("C:\\")) << reason_;
  EXPECT_TRUE(fs().DirectoryExists("C:\\"));
}

TEST_F(AcceptedFolderTest, ExistingFolderKeepsItsContentAndAnEmptyOneIsRemoved) {
  MakeFolder("C:\\Full");
  WriteFile("C:\\Full\\keep.txt", "keep");
  MakeFolder("C:\\Empty");
  EXPECT_TRUE(Check("C:\\Full")) << reason_;
  EXPECT_TRUE(Exists("C:\\Full\\keep.txt"));
  EXPECT_TRUE(Check("C:\\Empty")) << reason_;
  EXPECT_FALSE(Exists("C:\\Empty"));
}

TEST_F(AcceptedFolderTest, ParentsCreatedOnTheWayStay) {
  EXPECT_TRUE(Check("  C:\\New\\Deep\\Ornivale ")) << reason_;
  EXPECT_TRUE(fs().DirectoryExists("C:\\New\\Deep"));
  EXPECT_FALSE(Exists("C:\\New\\Deep\\Ornivale"));
}

// The free-space query decides by its own outcome, whatever error code it reports.
class FreeSpaceFileSystem : public platform::FileSystem {
 public:
  FreeSpaceFileSystem(platform::FileSystem& inner, platform::DiskSpace space)
      : inner_(inner), space_(space) {}
  bool FileExists(const std::string& p) override { return inner_.FileExists(p); }
  bool DirectoryExists(const std::string& p) override { return inner_.DirectoryExists(p); }
  std::uint32_t GetAttributes(const std::string& p) override { return inner_.GetAttributes(p); }
  bool SetAttributes(const std::string& p, std::uint32_t a) override { return inner_.SetAttributes(p, a); }
  bool CreateDirectory(const std::string& p) override { return inner_.CreateDirectory(p); }
  bool RemoveDirectory(const std::string& p) override { return inner_.RemoveDirectory(p); }
  bool DeleteFile(const std::string& p) override { return inner_.DeleteFile(p); }
  bool CopyFile(const std::string& f, const std::string& t, bool e) override {
    return inner_.CopyFile(f, t, e);
  }
  bool MoveFileReplacing(const std::string& f, const std::string& t) override {
    return inner_.MoveFileReplacing(f, t);
  }
  std::vector<platform::FindEntry> Find(const std::string& p) override { return inner_.Find(p); }
  std::unique_ptr<platform::File> Open(const std::string& p, platform::FileAccess a, platform::FileShare s,
                                       platform::FileCreate c) override {
    return inner_.Open(p, a, s, c);
  }
  std::optional<std::uint32_t> LastWriteDosTime(const std::string& p) override {
    return inner_.LastWriteDosTime(p);
  }
  std::uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  platform::DiskSpace FreeSpace(const std::string&) override { return space_; }

 private:
  platform::FileSystem& inner_;
  platform::DiskSpace space_;
};

TEST_F(AcceptedFolderTest, StaleErrorCodeDoesNotRefuseAGoodDrive) {
  const struct {
    const char* name;
    platform::DiskSpace space;
    bool accepted;
    const char* reason;
  } cases[] = {
      {"succeeded with a stale code", {true, 1ull << 32, 1ull << 34, 183}, true, "untouched"},
      {"failed", {false, 0, 0, 3}, false, "Invalid drive \"C:\\\". System Error Code=3"},
      {"failed without a code", {false, 0, 0, 0}, false, "Invalid drive \"C:\\\". System Error Code=0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FreeSpaceFileSystem files(fs(), c.space);
    std::string reason = "untouched";
    EXPECT_EQ(CheckTargetFolder(files, "C:\\Ornivale", reason), c.accepted);
    if (!c.accepted) {
      EXPECT_EQ(reason, c.reason);
    }
  }
}

}  // namespace
}  // namespace ov::wizard::testing
