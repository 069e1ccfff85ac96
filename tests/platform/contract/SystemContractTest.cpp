#include <string>

#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using SystemContract = ContractTest;

TEST_F(SystemContract, TempPathEndsWithABackslashAndExists) {
  const std::string temp = machine().system.TempPath();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files().DirectoryExists(temp));
}

TEST_F(SystemContract, WindowsDirectoryHasNoTrailingBackslashAndExists) {
  const std::string windows = machine().system.WindowsDirectory();
  ASSERT_GT(windows.size(), 3u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(files().DirectoryExists(windows));
}

TEST_F(SystemContract, ProgramFilesIsAnExistingFolderOnDriveC) {
  constexpr int kProgramFiles = 0x26;
  const auto folder = machine().system.SpecialFolder(kProgramFiles, 0);
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->size() > 3 &&
              (folder->compare(0, 3, "C:\\") == 0 || folder->compare(0, 3, "c:\\") == 0))
      << *folder;
  EXPECT_TRUE(files().DirectoryExists(*folder)) << *folder;
}

TEST_F(SystemContract, TheClockGivesAValidLocalTime) {
  const platform::LocalTime now = machine().system.Now();
  EXPECT_GE(now.year, 1980);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
  EXPECT_TRUE(now.day >= 1 && now.day <= 31);
  EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
  EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
  EXPECT_TRUE(now.second >= 0 && now.second <= 59);
  EXPECT_TRUE(now.millisecond >= 0 && now.millisecond <= 999);
}

}  // namespace
}  // namespace ov::contract
