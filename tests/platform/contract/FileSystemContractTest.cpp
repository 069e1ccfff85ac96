#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using platform::FileAccess;
using platform::FileCreate;
using platform::FileShare;
namespace attr = platform::attr;

class FileSystemContract : public ContractTest {
 protected:
  std::map<std::string, platform::FindEntry> FindByName(const std::string& pattern) {
    std::map<std::string, platform::FindEntry> byName;
    for (const platform::FindEntry& entry : files().Find(pattern)) byName[entry.name] = entry;
    return byName;
  }
  std::vector<std::string> NamesFound(const std::string& pattern) {
    std::vector<std::string> names;
    for (const platform::FindEntry& entry : files().Find(pattern)) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FileSystemContract, CreatesAndRemovesOneFolder) {
  const std::string folder = Scratch("Folder");
  ASSERT_TRUE(files().CreateDirectory(folder));
  EXPECT_TRUE(files().DirectoryExists(folder));
  EXPECT_TRUE(files().DirectoryExists(folder + "\\"));
  EXPECT_FALSE(files().FileExists(folder));
  EXPECT_FALSE(files().CreateDirectory(folder)) << "it exists";
  EXPECT_FALSE(files().CreateDirectory(Scratch("Missing\\Child"))) << "its parent is missing";

  ASSERT_TRUE(files().RemoveDirectory(folder));
  EXPECT_FALSE(files().DirectoryExists(folder));
  EXPECT_FALSE(files().RemoveDirectory(folder)) << "it is gone";
}

TEST_F(FileSystemContract, RemoveDirectoryRefusesAFolderWithContentsAndAFile) {
  ASSERT_TRUE(files().CreateDirectory(Scratch("Full")));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("Full\\inside.txt"), "x"));
  EXPECT_FALSE(files().RemoveDirectory(Scratch("Full")));
  EXPECT_FALSE(files().RemoveDirectory(Scratch("Full\\inside.txt")));
  EXPECT_TRUE(files().DirectoryExists(Scratch("Full")));
  EXPECT_TRUE(files().FileExists(Scratch("Full\\inside.txt")));
}

TEST_F(FileSystemContract, WritesReadsAndSeeks) {
  const std::string path = Scratch("data.bin");
  auto file = files().Open(path, FileAccess::ReadWrite, FileShare::None, FileCreate::CreateAlways);
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Write("hello world", 11));
  EXPECT_EQ(file->Size(), 11);
  EXPECT_EQ(file->Position(), 11);

  ASSERT_TRUE(file->Seek(6));
  char buffer[16] = {};
  std::uint32_t got = 0;
  ASSERT_TRUE(file->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(buffer, got), "world");
  EXPECT_EQ(file->Position(), 11);
  ASSERT_TRUE(file->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u) << "at the end";

  ASSERT_TRUE(file->Seek(0));
  ASSERT_TRUE(file->Write("J", 1));
  EXPECT_FALSE(file->Seek(-1));
  file.reset();
  EXPECT_EQ(ReadWholeFile(files(), path), "Jello world");
  EXPECT_TRUE(files().FileExists(path));
  EXPECT_FALSE(files().DirectoryExists(path));
}

TEST_F(FileSystemContract, OpenNeedsAnExistingFileOrFolder) {
  EXPECT_EQ(
      files().Open(Scratch("absent.txt"), FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting),
      nullptr);
  EXPECT_EQ(files().Open(Scratch("absent.txt"), FileAccess::Write, FileShare::None, FileCreate::OpenExisting),
            nullptr);
  EXPECT_EQ(files().Open(Scratch("NoFolder\\new.txt"), FileAccess::Write, FileShare::None,
                         FileCreate::CreateAlways),
            nullptr);
  EXPECT_FALSE(files().FileExists(Scratch("absent.txt")));
  EXPECT_EQ(
      files().Open(env_->ScratchFolder(), FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting),
      nullptr)
      << "a folder is not a file";
}

TEST_F(FileSystemContract, CreateAlwaysEmptiesAnExistingFile) {
  const std::string path = Scratch("again.txt");
  ASSERT_TRUE(WriteWholeFile(files(), path, "a long first text"));
  ASSERT_TRUE(WriteWholeFile(files(), path, "short"));
  EXPECT_EQ(ReadWholeFile(files(), path), "short");
}

TEST_F(FileSystemContract, AHandleDoesOnlyWhatItWasOpenedFor) {
  const std::string path = Scratch("modes.txt");
  ASSERT_TRUE(WriteWholeFile(files(), path, "content"));
  char buffer[8];
  std::uint32_t got = 0;
  {
    auto reader = files().Open(path, FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
    ASSERT_NE(reader, nullptr);
    EXPECT_FALSE(reader->Write("x", 1));
  }
  {
    auto writer = files().Open(path, FileAccess::Write, FileShare::None, FileCreate::OpenExisting);
    ASSERT_NE(writer, nullptr);
    EXPECT_FALSE(writer->Read(buffer, sizeof buffer, got));
    EXPECT_EQ(writer->Size(), 7) << "opening for writing keeps the contents";
  }
  EXPECT_EQ(ReadWholeFile(files(), path), "content");
}

TEST_F(FileSystemContract, DeleteFileRemovesOnlyAnExistingFile) {
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("gone.txt"), "x"));
  EXPECT_TRUE(files().DeleteFile(Scratch("gone.txt")));
  EXPECT_FALSE(files().FileExists(Scratch("gone.txt")));
  EXPECT_FALSE(files().DeleteFile(Scratch("gone.txt")));
  ASSERT_TRUE(files().CreateDirectory(Scratch("AFolder")));
  EXPECT_FALSE(files().DeleteFile(Scratch("AFolder")));
  EXPECT_TRUE(files().DirectoryExists(Scratch("AFolder")));
}

TEST_F(FileSystemContract, CopyFileCopiesContentsAndDateAndHonoursFailIfExists) {
  const std::string from = Scratch("from.txt");
  const std::string to = Scratch("to.txt");
  ASSERT_TRUE(WriteWholeFile(files(), from, "original"));
  {
    auto file = files().Open(from, FileAccess::Write, FileShare::None, FileCreate::OpenExisting);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->SetLastWriteDosTime(0x38A46000));  // 2008-05-04 12:00:00
  }
  ASSERT_TRUE(files().CopyFile(from, to, true));
  EXPECT_EQ(ReadWholeFile(files(), to), "original");
  EXPECT_EQ(files().LastWriteDosTime(to), 0x38A46000u);

  ASSERT_TRUE(WriteWholeFile(files(), from, "changed"));
  EXPECT_FALSE(files().CopyFile(from, to, true)) << "the target exists";
  EXPECT_EQ(ReadWholeFile(files(), to), "original");
  EXPECT_TRUE(files().CopyFile(from, to, false));
  EXPECT_EQ(ReadWholeFile(files(), to), "changed");

  EXPECT_FALSE(files().CopyFile(Scratch("absent.txt"), Scratch("other.txt"), false));
  EXPECT_FALSE(files().FileExists(Scratch("other.txt")));
  EXPECT_FALSE(files().CopyFile(from, Scratch("NoFolder\\to.txt"), false));
}

TEST_F(FileSystemContract, MoveFileReplacingRenamesAndReplaces) {
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("first.txt"), "first"));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("second.txt"), "second"));
  ASSERT_TRUE(files().MoveFileReplacing(Scratch("first.txt"), Scratch("second.txt")));
  EXPECT_FALSE(files().FileExists(Scratch("first.txt")));
  EXPECT_EQ(ReadWholeFile(files(), Scratch("second.txt")), "first");

  ASSERT_TRUE(files().MoveFileReplacing(Scratch("second.txt"), Scratch("third.txt")));
  EXPECT_EQ(ReadWholeFile(files(), Scratch("third.txt")), "first");
  EXPECT_FALSE(files().FileExists(Scratch("second.txt")));

  EXPECT_FALSE(files().MoveFileReplacing(Scratch("absent.txt"), Scratch("fourth.txt")));
  EXPECT_FALSE(files().FileExists(Scratch("fourth.txt")));
}

TEST_F(FileSystemContract, MoveFileCanChangeOnlyTheCase) {
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("lower.txt"), "x"));
  ASSERT_TRUE(files().MoveFileReplacing(Scratch("lower.txt"), Scratch("LOWER.TXT")));
  EXPECT_EQ(NamesFound(Scratch("*.txt")), std::vector<std::string>{"LOWER.TXT"});
  EXPECT_EQ(ReadWholeFile(files(), Scratch("lower.txt")), "x");
}

TEST_F(FileSystemContract, AttributesOfNewFilesAndFolders) {
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("new.txt"), "x"));
  ASSERT_TRUE(files().CreateDirectory(Scratch("NewFolder")));
  EXPECT_EQ(files().GetAttributes(Scratch("new.txt")), attr::kArchive);
  EXPECT_NE(files().GetAttributes(Scratch("NewFolder")) & attr::kDirectory, 0u);
  EXPECT_EQ(files().GetAttributes(Scratch("NewFolder")) & attr::kReadOnly, 0u);
  EXPECT_EQ(files().GetAttributes(Scratch("absent.txt")), attr::kInvalid);
  EXPECT_FALSE(files().SetAttributes(Scratch("absent.txt"), attr::kNormal));
}

TEST_F(FileSystemContract, ReadOnlyAttributeIsSetAndCleared) {
  const std::string path = Scratch("flagged.txt");
  ASSERT_TRUE(WriteWholeFile(files(), path, "x"));
  ASSERT_TRUE(files().SetAttributes(path, attr::kReadOnly));
  EXPECT_NE(files().GetAttributes(path) & attr::kReadOnly, 0u);
  ASSERT_TRUE(files().SetAttributes(path, attr::kNormal));
  EXPECT_EQ(files().GetAttributes(path) & attr::kReadOnly, 0u);
}

TEST_F(FileSystemContract, AReadOnlyFileRefusesEveryChange) {
  if (env_->UnderWine()) {
    GTEST_SKIP()
        << "Wine running as root lets root write read-only files; Windows refuses even administrators";
  }
  const std::string path = Scratch("locked.txt");
  ASSERT_TRUE(WriteWholeFile(files(), path, "kept"));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("other.txt"), "other"));
  ASSERT_TRUE(files().SetAttributes(path, attr::kReadOnly));

  EXPECT_EQ(files().Open(path, FileAccess::Write, FileShare::None, FileCreate::OpenExisting), nullptr);
  EXPECT_EQ(files().Open(path, FileAccess::ReadWrite, FileShare::None, FileCreate::OpenExisting), nullptr);
  EXPECT_EQ(files().Open(path, FileAccess::Write, FileShare::None, FileCreate::CreateAlways), nullptr);
  EXPECT_FALSE(files().DeleteFile(path));
  EXPECT_FALSE(files().CopyFile(Scratch("other.txt"), path, false));
  EXPECT_FALSE(files().MoveFileReplacing(Scratch("other.txt"), path));
  EXPECT_EQ(ReadWholeFile(files(), path), "kept") << "reading is still allowed";

  ASSERT_TRUE(files().SetAttributes(path, attr::kNormal));
  EXPECT_TRUE(files().DeleteFile(path));
}

TEST_F(FileSystemContract, LooksUpNamesWithoutRegardToCaseAndKeepsTheCaseGiven) {
  ASSERT_TRUE(files().CreateDirectory(Scratch("SubFolder")));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("SubFolder\\MixedCase.Txt"), "mixed"));
  EXPECT_TRUE(files().FileExists(Scratch("subfolder\\MIXEDCASE.TXT")));
  EXPECT_TRUE(files().DirectoryExists(Scratch("SUBFOLDER")));
  EXPECT_EQ(ReadWholeFile(files(), Scratch("SUBFOLDER\\mixedcase.txt")), "mixed");
  EXPECT_EQ(NamesFound(Scratch("subfolder\\MIXED*")), std::vector<std::string>{"MixedCase.Txt"});
  EXPECT_EQ(NamesFound(Scratch("Sub*")), std::vector<std::string>{"SubFolder"});

  ASSERT_TRUE(WriteWholeFile(files(), Scratch("SUBFOLDER\\MIXEDCASE.TXT"), "replaced"));
  EXPECT_EQ(NamesFound(Scratch("SubFolder\\*.txt")), std::vector<std::string>{"MixedCase.Txt"})
      << "writing through another case reuses the file";
  EXPECT_TRUE(files().DeleteFile(Scratch("subfolder\\mixedcase.txt")));
  EXPECT_TRUE(files().RemoveDirectory(Scratch("SUBFOLDER")));
}

TEST_F(FileSystemContract, FindListsEntriesWithAttributesAndSizes) {
  ASSERT_TRUE(files().CreateDirectory(Scratch("sub")));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("a.ov5"), "abc"));
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("b.txt"), "0123456789"));

  const auto all = FindByName(Scratch("*"));
  ASSERT_EQ(all.size(), 5u);
  ASSERT_TRUE(all.count(".") && all.count("..") && all.count("sub") && all.count("a.ov5") &&
              all.count("b.txt"));
  EXPECT_NE(all.at(".").attributes & attr::kDirectory, 0u);
  EXPECT_NE(all.at("..").attributes & attr::kDirectory, 0u);
  EXPECT_NE(all.at("sub").attributes & attr::kDirectory, 0u);
  EXPECT_EQ(all.at("a.ov5").attributes, attr::kArchive);
  EXPECT_EQ(all.at("a.ov5").size, 3u);
  EXPECT_EQ(all.at("b.txt").size, 10u);

  struct PatternCase {
    const char* pattern;
    std::vector<std::string> names;
  };
  const std::vector<PatternCase> cases = {
      {"*.*", {".", "..", "a.ov5", "b.txt", "sub"}},
      {"*.ov5", {"a.ov5"}},
      {"*.OV5", {"a.ov5"}},
      {"?.txt", {"b.txt"}},
      {"s?b", {"sub"}},
      {"b.txt", {"b.txt"}},
      {"nothing*", {}},
  };
  for (const PatternCase& c : cases) EXPECT_EQ(NamesFound(Scratch(c.pattern)), c.names) << c.pattern;
  EXPECT_TRUE(files().Find(Scratch("Missing\\*")).empty());
}

TEST_F(FileSystemContract, AFileOpenedWithoutSharingExcludesOtherHandles) {
  const std::string path = Scratch("shared.txt");
  ASSERT_TRUE(WriteWholeFile(files(), path, "x"));
  {
    auto exclusive = files().Open(path, FileAccess::Read, FileShare::None, FileCreate::OpenExisting);
    ASSERT_NE(exclusive, nullptr);
    EXPECT_EQ(files().Open(path, FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting), nullptr);
    EXPECT_FALSE(ReadWholeFile(files(), path));
  }
  {
    auto first = files().Open(path, FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
    auto second = files().Open(path, FileAccess::Read, FileShare::ReadWrite, FileCreate::OpenExisting);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(files().Open(path, FileAccess::Read, FileShare::None, FileCreate::OpenExisting), nullptr);
    EXPECT_FALSE(files().DeleteFile(path)) << "an open file cannot be deleted";
    EXPECT_FALSE(files().MoveFileReplacing(path, Scratch("moved.txt"))) << "nor moved";
  }
  EXPECT_NE(files().Open(path, FileAccess::Read, FileShare::None, FileCreate::OpenExisting), nullptr);
  EXPECT_TRUE(files().MoveFileReplacing(path, Scratch("moved.txt")));
  EXPECT_TRUE(files().DeleteFile(Scratch("moved.txt")));
}

TEST_F(FileSystemContract, ADosDateSetThroughAHandleReadsBack) {
  struct DateCase {
    const char* what;
    std::uint32_t dos;
  };
  const std::vector<DateCase> cases = {
      {"1980-01-01 00:00:00", 0x00210000},
      {"2008-03-15 12:00:00", 0x386F6000},
      {"1999-12-31 23:59:58", 0x279FBF7D},
      {"2037-12-31 23:59:58", 0x739FBF7D},
  };
  for (const DateCase& c : cases) {
    const std::string path = Scratch("dated.txt");
    {
      auto file = files().Open(path, FileAccess::Write, FileShare::None, FileCreate::CreateAlways);
      ASSERT_NE(file, nullptr);
      ASSERT_TRUE(file->Write("x", 1));
      ASSERT_TRUE(file->SetLastWriteDosTime(c.dos)) << c.what;
    }
    EXPECT_EQ(files().LastWriteDosTime(path), c.dos) << c.what;
  }
  EXPECT_FALSE(files().LastWriteDosTime(Scratch("absent.txt")));
}

TEST_F(FileSystemContract, AnInvalidDosDateIsRefused) {
  auto file =
      files().Open(Scratch("undated.txt"), FileAccess::Write, FileShare::None, FileCreate::CreateAlways);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->SetLastWriteDosTime(0x01A10000)) << "month 13";
  EXPECT_FALSE(file->SetLastWriteDosTime(0x00200000)) << "day 0";
}

TEST_F(FileSystemContract, DriveCIsAFixedDiskWithFreeSpace) {
  EXPECT_EQ(files().DriveType("C:\\"), platform::drive::kFixed);
  const platform::DiskSpace space = files().FreeSpace("C:\\");
  ASSERT_TRUE(space.ok);
  EXPECT_EQ(space.error, 0u);
  EXPECT_GT(space.total, 0u);
  EXPECT_LE(space.freeToCaller, space.total);
}

}  // namespace
}  // namespace ov::contract
