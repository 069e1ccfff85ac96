#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MachineFixture.h"
#include "support/Errors.h"
#include "support/Folders.h"

namespace ov {
namespace {

using FolderExistsTest = testing::MachineTest;
using ForceFolderTest = testing::MachineTest;

TEST_F(FolderExistsTest, OnlyExistingFolders) {
  MakeFolder("C:\\Apps\\Bin");
  WriteFile("C:\\Apps\\readme.txt", "x");
  struct Case {
    std::string path;
    bool expected;
  };
  const Case cases[] = {
      {"C:\\Apps\\Bin", true},
      {"C:\\Apps\\Bin\\", true},
      {"c:\\APPS\\bin", true},
      {"C:\\", true},
      {"", false},
      {"C:\\Apps\\readme.txt", false},
      {"C:\\Apps\\readme.txt\\", false},
      {"C:\\Apps\\Missing", false},
      {"Q:\\", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FolderExists(fs(), c.path), c.expected);
  }
}

TEST_F(ForceFolderTest, CreatesEveryMissingFolder) {
  MakeFolder("C:\\Existing\\Full");
  WriteFile("C:\\Existing\\Full\\keep.txt", "keep");
  struct Case {
    std::string path;
    std::vector<std::string> createdAfter;
  };
  const Case cases[] = {
      {"C:\\A\\B\\", {"C:\\A", "C:\\A\\B"}},
      {"C:\\One", {"C:\\One"}},
      {"C:\\Existing\\Full", {"C:\\Existing\\Full\\keep.txt"}},
      {"C:\\Existing\\New\\Deep\\Deeper", {"C:\\Existing\\New\\Deep\\Deeper"}},
      {"C:\\Two\\Slashes\\\\", {"C:\\Two\\Slashes"}},  // a doubled trailing backslash names the folder too
      {"C:\\", {}},
      {"C:", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_TRUE(ForceFolder(fs(), c.path));
    for (const std::string& path : c.createdAfter) EXPECT_TRUE(Exists(path)) << path;
  }
}

TEST_F(ForceFolderTest, DriveRootCreatesNothing) {
  const std::size_t before = fs().Find("C:\\*").size();
  EXPECT_TRUE(ForceFolder(fs(), "C:\\"));
  EXPECT_TRUE(ForceFolder(fs(), "C:"));
  EXPECT_EQ(fs().Find("C:\\*").size(), before);
}

TEST_F(ForceFolderTest, FailsWithoutRaisingWhereNothingCanBeCreated) {
  WriteFile("C:\\file.txt", "x");
  emulated().FailWritesUnder("C:\\Locked");
  struct Case {
    std::string path;
    std::vector<std::string> existsAfter;
    std::vector<std::string> missingAfter;
  };
  const Case cases[] = {
      {"C:\\file.txt\\Sub", {}, {"C:\\file.txt\\Sub"}},
      {"Q:\\Nowhere", {}, {"Q:\\Nowhere"}},
      {"C:\\Locked\\Inner", {}, {"C:\\Locked", "C:\\Locked\\Inner"}},
      // Folders created above a failure stay.
      {"C:\\Open\\Locked2\\x", {"C:\\Open"}, {"C:\\Open\\Locked2"}},
      {"abc:", {}, {}},  // a drive-like name that is no folder: refused, and no endless retry
  };
  emulated().FailWritesUnder("C:\\Open\\Locked2");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(ForceFolder(fs(), c.path));
    for (const std::string& path : c.existsAfter) EXPECT_TRUE(fs().DirectoryExists(path)) << path;
    for (const std::string& path : c.missingAfter) EXPECT_FALSE(Exists(path)) << path;
  }
}

TEST_F(ForceFolderTest, EmptyPathRaises) {
  try {
    ForceFolder(fs(), "");
    FAIL() << "no error raised";
  } catch (const OvError& error) {
    EXPECT_STREQ(error.what(), "Unable to create directory");
  }
}

}  // namespace
}  // namespace ov
