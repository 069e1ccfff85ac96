#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/platform/emulated/TestMachine.h"

namespace ov::emulated {
namespace {

using platform::FileAccess;
using platform::FileCreate;
using platform::FileShare;
namespace attr = platform::attr;
namespace drive = platform::drive;

class EmulatedFileSystem : public EmulatedTest {
 protected:
  std::vector<std::string> NamesFound(const std::string& pattern) {
    std::vector<std::string> names;
    for (const platform::FindEntry& entry : files().Find(pattern)) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(EmulatedFileSystem, DrivesReportTheirTypeAndTheFreeSpaceSet) {
  struct DriveCase {
    char letter;
    std::uint32_t type;
  };
  const std::vector<DriveCase> cases = {{'A', drive::kRemovable},
                                        {'D', drive::kCdRom},
                                        {'N', drive::kRemote},
                                        {'R', drive::kRamDisk},
                                        {'E', drive::kFixed}};
  for (const DriveCase& c : cases) {
    machine_->SetDrive(c.letter, c.type);
    machine_->SetFreeSpace(c.letter, 1000 + c.letter, 5000);
    const std::string root = std::string(1, c.letter) + ":\\";
    EXPECT_EQ(files().DriveType(root), c.type) << root;
    const platform::DiskSpace space = files().FreeSpace(root);
    EXPECT_TRUE(space.ok) << root;
    EXPECT_EQ(space.freeToCaller, 1000u + c.letter) << root;
    EXPECT_EQ(space.total, 5000u) << root;
    EXPECT_EQ(space.error, 0u) << root;
    EXPECT_TRUE(std::filesystem::is_directory(
        machine_->HostRoot() / (std::string("drive_") + static_cast<char>(c.letter - 'A' + 'a'))));
  }
  EXPECT_EQ(files().DriveType("d:/"), drive::kCdRom) << "lower case and a slash";
  EXPECT_EQ(files().DriveType("C:\\windows\\"), drive::kNoRootDir) << "not a root";
}

TEST_F(EmulatedFileSystem, AnUnmappedDriveHasNoRootAndNoFreeSpace) {
  machine_->SetDrive('D', drive::kFixed);
  ASSERT_TRUE(files().CreateDirectory("D:\\Folder"));
  machine_->SetDrive('D', drive::kNoRootDir);
  for (const char* root : {"D:\\", "Q:\\"}) {
    EXPECT_EQ(files().DriveType(root), drive::kNoRootDir) << root;
    const platform::DiskSpace space = files().FreeSpace(root);
    EXPECT_FALSE(space.ok) << root;
    EXPECT_EQ(space.error, 3u) << root;
  }
  EXPECT_FALSE(files().DirectoryExists("D:\\Folder"));
  EXPECT_FALSE(WriteWholeFile(files(), "Q:\\file.txt", "x"));
}

TEST_F(EmulatedFileSystem, FreeSpaceOfAFolderIsItsDrivesAndOfAMissingFolderFails) {
  machine_->SetFreeSpace('C', 123, 456);
  const platform::DiskSpace folder = files().FreeSpace("C:\\windows");
  EXPECT_TRUE(folder.ok);
  EXPECT_EQ(folder.freeToCaller, 123u);
  const platform::DiskSpace missing = files().FreeSpace("C:\\NoSuchFolder\\");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, 3u);
}

TEST_F(EmulatedFileSystem, TheHostFolderIsLaidOutLikeAWinePrefix) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Program Files"));
  ASSERT_TRUE(WriteWholeFile(files(), "c:/program files/Read Me.TXT", "text"));
  const auto host = machine_->HostRoot() / "drive_c" / "Program Files" / "Read Me.TXT";
  EXPECT_TRUE(std::filesystem::is_regular_file(host));
  EXPECT_EQ(machine_->HostPath("C:\\PROGRAM FILES\\read me.txt"), host);
  EXPECT_TRUE(std::filesystem::is_directory(machine_->HostRoot() / "drive_c" / "windows" / "temp"));
}

TEST_F(EmulatedFileSystem, PathsThatAreNotAbsoluteDosPathsAreRefused) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\file.txt", "x"));
  const std::vector<std::string> bad = {
      "",
      "file.txt",
      "folder\\file.txt",
      "\\file.txt",
      "C:file.txt",
      "\\\\server\\share\\file.txt",
      "//server/share/file.txt",
      "\\\\?\\C:\\file.txt",
      "1:\\file.txt",
      "C:\\a<b.txt",
      "C:\\a|b.txt",
      "C:\\a\"b.txt",
      "C:\\a:b.txt",
      "C:\\a*b.txt",
      "C:\\tab\there.txt",
      "C:\\" + std::string(257, 'x'),
  };
  for (const std::string& path : bad) {
    EXPECT_FALSE(files().FileExists(path)) << path;
    EXPECT_EQ(files().GetAttributes(path), attr::kInvalid) << path;
    EXPECT_FALSE(files().CreateDirectory(path)) << path;
    EXPECT_EQ(files().Open(path, FileAccess::Write, FileShare::None, FileCreate::CreateAlways), nullptr)
        << path;
    EXPECT_TRUE(machine_->HostPath(path).empty()) << path;
  }
}

TEST_F(EmulatedFileSystem, PathsStopShortOfMaxPath) {
  const std::string folder = "C:\\" + std::string(100, 'd');
  ASSERT_TRUE(files().CreateDirectory(folder));
  const std::string longest = folder + "\\" + std::string(155, 'f');
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_TRUE(WriteWholeFile(files(), longest, "x"));
  EXPECT_FALSE(WriteWholeFile(files(), longest + "g", "x"));
}

TEST_F(EmulatedFileSystem, SlashesDotsAndRepeatedSeparatorsAreResolved) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Dir"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Dir\\file.txt", "x"));
  for (const char* path : {"C:/Dir/file.txt", "C:\\Dir\\.\\file.txt", "C:\\Other\\..\\Dir\\file.txt",
                           "C:\\\\Dir\\\\file.txt", "C:\\..\\Dir\\file.txt", "c:\\dir/FILE.TXT"}) {
    EXPECT_TRUE(files().FileExists(path)) << path;
  }
  EXPECT_TRUE(files().DirectoryExists("C:"));
  EXPECT_TRUE(files().DirectoryExists("C:\\"));
}

TEST_F(EmulatedFileSystem, FindGivesNoDotEntriesAtTheRootAndNothingForATrailingBackslash) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Dir"));
  const auto rootNames = NamesFound("C:\\*");
  EXPECT_EQ(rootNames, (std::vector<std::string>{"Dir", "windows"}));
  EXPECT_TRUE(files().Find("C:\\Dir\\").empty());
  EXPECT_TRUE(files().Find("C:\\").empty());
  EXPECT_EQ(NamesFound("C:\\Dir"), std::vector<std::string>{"Dir"})
      << "a name without wildcards finds itself";
}

TEST_F(EmulatedFileSystem, FindMatchesWildcardsLikeFindFirstFile) {
  ASSERT_TRUE(files().CreateDirectory("C:\\W"));
  for (const char* name : {"a.ov5", "B.OV5", "ab.txt", "readme", "x.ov5x"}) {
    ASSERT_TRUE(WriteWholeFile(files(), std::string("C:\\W\\") + name, "x")) << name;
  }
  struct PatternCase {
    const char* pattern;
    std::vector<std::string> names;
  };
  const std::vector<PatternCase> cases = {
      {"*.ov5", {"B.OV5", "a.ov5"}},
      {"?.ov5", {"B.OV5", "a.ov5"}},
      {"a*", {"a.ov5", "ab.txt"}},
      {"*me", {"readme"}},
      {"*.ov5*", {"B.OV5", "a.ov5", "x.ov5x"}},
      {"??", {".."}},
      {"?", {"."}},
      {"*.*", {".", "..", "B.OV5", "a.ov5", "ab.txt", "readme", "x.ov5x"}},
      {"*", {".", "..", "B.OV5", "a.ov5", "ab.txt", "readme", "x.ov5x"}},
      {"README", {"readme"}},
      {"*z*", {}},
  };
  for (const PatternCase& c : cases) {
    EXPECT_EQ(NamesFound(std::string("C:\\W\\") + c.pattern), c.names) << c.pattern;
  }
}

TEST_F(EmulatedFileSystem, AnyAttributeBitIsKept) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\file.txt", "x"));
  ASSERT_TRUE(files().CreateDirectory("C:\\Dir"));
  struct AttributeCase {
    const char* path;
    std::uint32_t set;
    std::uint32_t reported;
  };
  const std::vector<AttributeCase> cases = {
      {"C:\\file.txt", attr::kHidden | attr::kArchive, attr::kHidden | attr::kArchive},
      {"C:\\file.txt", attr::kCompressed | attr::kHidden, attr::kCompressed | attr::kHidden},
      {"C:\\file.txt", attr::kSystem | attr::kReadOnly, attr::kSystem | attr::kReadOnly},
      {"C:\\file.txt", 0, attr::kNormal},
      {"C:\\file.txt", attr::kNormal, attr::kNormal},
      {"C:\\file.txt", attr::kDirectory | attr::kArchive, attr::kArchive},
      {"C:\\Dir", attr::kHidden, attr::kDirectory | attr::kHidden},
      {"C:\\Dir", 0, attr::kDirectory},
  };
  for (const AttributeCase& c : cases) {
    ASSERT_TRUE(files().SetAttributes(c.path, c.set));
    EXPECT_EQ(files().GetAttributes(c.path), c.reported) << c.path << " set to " << c.set;
    const auto found = files().Find(c.path);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].attributes, c.reported) << "as Find reports it";
  }
}

TEST_F(EmulatedFileSystem, AFileMadeOnTheHostIsArchiveAndAChangedFileIsMarkedArchive) {
  std::ofstream(machine_->HostRoot() / "drive_c" / "host.txt") << "made outside";
  EXPECT_EQ(files().GetAttributes("C:\\host.txt"), attr::kArchive);
  ASSERT_TRUE(files().SetAttributes("C:\\host.txt", attr::kHidden));
  auto file = files().Open("C:\\host.txt", FileAccess::Write, FileShare::None, FileCreate::OpenExisting);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(files().GetAttributes("C:\\host.txt"), attr::kHidden) << "opening changes nothing";
  ASSERT_TRUE(file->Write("x", 1));
  EXPECT_EQ(files().GetAttributes("C:\\host.txt"), attr::kHidden | attr::kArchive);
}

TEST_F(EmulatedFileSystem, AttributesFollowAMoveAndDoNotOutliveADeletion) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Dir"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Dir\\inner.txt", "x"));
  ASSERT_TRUE(files().SetAttributes("C:\\Dir\\inner.txt", attr::kHidden));
  ASSERT_TRUE(files().MoveFileReplacing("C:\\Dir", "C:\\Moved"));
  EXPECT_EQ(files().GetAttributes("C:\\Moved\\inner.txt"), attr::kHidden);

  ASSERT_TRUE(files().SetAttributes("C:\\Moved\\inner.txt", attr::kSystem));
  ASSERT_TRUE(files().DeleteFile("C:\\Moved\\inner.txt"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Moved\\inner.txt", "new"));
  EXPECT_EQ(files().GetAttributes("C:\\Moved\\inner.txt"), attr::kArchive);
}

TEST_F(EmulatedFileSystem, ReadOnlyIsEnforcedWhoeverRunsTheTests) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\locked.txt", "kept"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\other.txt", "other"));
  ASSERT_TRUE(files().CreateDirectory("C:\\LockedDir"));
  ASSERT_TRUE(files().SetAttributes("C:\\locked.txt", attr::kReadOnly | attr::kArchive));
  ASSERT_TRUE(files().SetAttributes("C:\\LockedDir", attr::kReadOnly));

  EXPECT_EQ(files().Open("C:\\LOCKED.TXT", FileAccess::Write, FileShare::None, FileCreate::OpenExisting),
            nullptr);
  EXPECT_FALSE(files().DeleteFile("C:\\locked.txt"));
  EXPECT_FALSE(files().CopyFile("C:\\other.txt", "C:\\locked.txt", false));
  EXPECT_FALSE(files().MoveFileReplacing("C:\\other.txt", "C:\\locked.txt"));
  EXPECT_FALSE(files().RemoveDirectory("C:\\LockedDir"));
  EXPECT_EQ(ReadWholeFile(files(), "C:\\locked.txt"), "kept");

  EXPECT_TRUE(files().MoveFileReplacing("C:\\locked.txt", "C:\\renamed.txt"))
      << "a read-only file may be renamed";
  EXPECT_EQ(files().GetAttributes("C:\\renamed.txt"), attr::kReadOnly | attr::kArchive);
  EXPECT_TRUE(files().CopyFile("C:\\renamed.txt", "C:\\copy.txt", true));
  EXPECT_EQ(files().GetAttributes("C:\\copy.txt"), attr::kReadOnly | attr::kArchive)
      << "a copy takes the attributes";
}

TEST_F(EmulatedFileSystem, HiddenAndSystemFilesAreNotOverwrittenByCreateOrCopy) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\source.txt", "source"));
  for (std::uint32_t bits : {attr::kHidden, attr::kSystem}) {
    ASSERT_TRUE(WriteWholeFile(files(), "C:\\target.txt", "kept"));
    ASSERT_TRUE(files().SetAttributes("C:\\target.txt", bits));
    EXPECT_EQ(files().Open("C:\\target.txt", FileAccess::Write, FileShare::None, FileCreate::CreateAlways),
              nullptr);
    EXPECT_NE(files().Open("C:\\target.txt", FileAccess::Write, FileShare::None, FileCreate::OpenExisting),
              nullptr);
    EXPECT_EQ(files().CopyFile("C:\\source.txt", "C:\\target.txt", false), bits == attr::kSystem);
    ASSERT_TRUE(files().SetAttributes("C:\\target.txt", attr::kNormal));
    ASSERT_TRUE(files().DeleteFile("C:\\target.txt"));
  }
}

TEST_F(EmulatedFileSystem, SharingFollowsTheAccessOfEveryOpenHandle) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\file.txt", "content"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\other.txt", "other"));
  auto writer =
      files().Open("C:\\file.txt", FileAccess::Write, FileShare::ReadWrite, FileCreate::OpenExisting);
  ASSERT_NE(writer, nullptr);
  EXPECT_NE(files().Open("C:\\file.txt", FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting),
            nullptr);
  EXPECT_FALSE(files().CopyFile("C:\\file.txt", "C:\\copy.txt", false)) << "CopyFile does not share writing";
  EXPECT_FALSE(files().FileExists("C:\\copy.txt"));
  EXPECT_FALSE(files().MoveFileReplacing("C:\\other.txt", "C:\\file.txt"));
  EXPECT_EQ(machine_->OpenFileCount(), 1u);
  writer.reset();
  EXPECT_EQ(machine_->OpenFileCount(), 0u);
  EXPECT_TRUE(files().CopyFile("C:\\file.txt", "C:\\copy.txt", false));
  EXPECT_EQ(machine_->OpenFileCount(), 0u) << "CopyFile closes what it opened";
}

TEST_F(EmulatedFileSystem, AFolderWithAnOpenFileCannotBeMoved) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Dir"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Dir\\file.txt", "x"));
  {
    auto open =
        files().Open("C:\\Dir\\file.txt", FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(files().MoveFileReplacing("C:\\Dir", "C:\\Moved"));
  }
  EXPECT_TRUE(files().MoveFileReplacing("C:\\Dir", "C:\\Moved"));
  EXPECT_FALSE(files().MoveFileReplacing("C:\\Moved", "C:\\Moved\\Inside")) << "a folder into itself";
  machine_->SetDrive('D', drive::kFixed);
  EXPECT_FALSE(files().MoveFileReplacing("C:\\Moved\\file.txt", "D:\\file.txt")) << "across drives";
}

TEST_F(EmulatedFileSystem, AFullDiskTakesWhatFitsAndRefusesTheRest) {
  machine_->FillDiskAfter('C', 5);
  {
    auto file = files().Open("C:\\big.bin", FileAccess::Write, FileShare::None, FileCreate::CreateAlways);
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->Write("12345678", 8));
    EXPECT_EQ(file->Size(), 5);
    EXPECT_FALSE(file->Write("9", 1));
    EXPECT_TRUE(file->Write("", 0));
  }
  EXPECT_EQ(ReadWholeFile(files(), "C:\\big.bin"), "12345");

  machine_->SetDrive('D', drive::kFixed);
  EXPECT_TRUE(WriteWholeFile(files(), "D:\\other.bin", "another drive has room"));

  machine_->ClearFaults();
  machine_->FillDiskAfter('C', 4);
  EXPECT_FALSE(files().CopyFile("C:\\big.bin", "C:\\copy.bin", false));
  EXPECT_FALSE(files().FileExists("C:\\copy.bin")) << "no half-copied file";

  machine_->ClearFaults();
  EXPECT_TRUE(WriteWholeFile(files(), "C:\\big.bin", "12345678"));
}

TEST_F(EmulatedFileSystem, WritesFailUnderAPrefix) {
  ASSERT_TRUE(files().CreateDirectory("C:\\Locked"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\Locked\\existing.txt", "kept"));
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\source.txt", "source"));
  auto openBefore = files().Open("C:\\Locked\\existing.txt", FileAccess::Write, FileShare::ReadWrite,
                                 FileCreate::OpenExisting);
  ASSERT_NE(openBefore, nullptr);
  machine_->FailWritesUnder("c:/locked");

  EXPECT_FALSE(openBefore->Write("x", 1)) << "a handle opened before";
  EXPECT_FALSE(files().CreateDirectory("C:\\Locked\\Sub"));
  EXPECT_FALSE(WriteWholeFile(files(), "C:\\Locked\\new.txt", "x"));
  EXPECT_EQ(files().Open("C:\\LOCKED\\existing.txt", FileAccess::ReadWrite, FileShare::ReadWrite,
                         FileCreate::OpenExisting),
            nullptr);
  EXPECT_FALSE(files().CopyFile("C:\\source.txt", "C:\\Locked\\copy.txt", false));
  EXPECT_FALSE(files().MoveFileReplacing("C:\\source.txt", "C:\\Locked\\moved.txt"));
  EXPECT_EQ(ReadWholeFile(files(), "C:\\Locked\\existing.txt"), "kept") << "reading still works";
  EXPECT_TRUE(files().CreateDirectory("C:\\LockedNot")) << "only whole names match";

  machine_->ClearFaults();
  EXPECT_TRUE(WriteWholeFile(files(), "C:\\Locked\\new.txt", "x"));
}

TEST_F(EmulatedFileSystem, AWrittenFileTakesTheEmulatedClocksTimeUnlessADateWasSet) {
  machine_->SetClock({2009, 7, 14, 16, 30, 22, 500});
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\now.txt", "x"));
  EXPECT_EQ(files().LastWriteDosTime("C:\\now.txt"), 0x3AEE83CBu);  // 2009-07-14 16:30:22
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\empty.txt", ""));
  EXPECT_EQ(files().LastWriteDosTime("C:\\empty.txt"), 0x3AEE83CBu) << "created without a write";
  machine_->SetClock({2010, 1, 2, 3, 4, 6, 0});
  EXPECT_NE(files().Open("C:\\now.txt", FileAccess::ReadWrite, FileShare::None, FileCreate::OpenExisting),
            nullptr);
  EXPECT_EQ(files().LastWriteDosTime("C:\\now.txt"), 0x3AEE83CBu) << "opened without a write";

  {
    auto file = files().Open("C:\\dated.txt", FileAccess::Write, FileShare::None, FileCreate::CreateAlways);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->SetLastWriteDosTime(0xFF9FBF7D));  // 2107-12-31 23:59:58
    ASSERT_TRUE(file->Write("written after the date", 22));
  }
  EXPECT_EQ(files().LastWriteDosTime("C:\\dated.txt"), 0xFF9FBF7Du);

  auto reader =
      files().Open("C:\\dated.txt", FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
  ASSERT_NE(reader, nullptr);
  EXPECT_FALSE(reader->SetLastWriteDosTime(0x00210000)) << "a handle opened for reading";
}

TEST_F(EmulatedFileSystem, ADateBefore1980HasNoDosTime) {
  ASSERT_TRUE(WriteWholeFile(files(), "C:\\old.txt", "x"));
  std::filesystem::last_write_time(machine_->HostPath("C:\\old.txt"),
                                   std::chrono::file_clock::from_sys(std::chrono::sys_seconds{
                                       std::chrono::sys_days{std::chrono::year{1975} / 6 / 1}}));
  EXPECT_FALSE(files().LastWriteDosTime("C:\\old.txt"));
}

}  // namespace
}  // namespace ov::emulated
