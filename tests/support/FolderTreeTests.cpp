#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "MachineFixture.h"
#include "platform/Types.h"
#include "support/FolderTree.h"

namespace ov {
namespace {

namespace attr = platform::attr;

struct Routine {
  const char* name;
  void (*run)(platform::FileSystem& fs, const std::string& folder, bool removeRoot);
};

void PrintTo(const Routine& routine, std::ostream* out) { *out << routine.name; }

const Routine kRoutines[] = {{"BreadthFirst", &DeleteFolderTree}, {"DepthFirst", &DeleteFolderTreeRecursive}};

class DeleteTreeTest : public testing::MachineTest, public ::testing::WithParamInterface<Routine> {
 protected:
  void Delete(const std::string& folder, bool removeRoot) { GetParam().run(fs(), folder, removeRoot); }
};

TEST_P(DeleteTreeTest, RemovesEverythingWithTheRoot) {
  MakeFolder("C:\\Work\\a\\b\\c");
  MakeFolder("C:\\Work\\d");
  MakeFolder("C:\\Work\\a\\empty");
  WriteFile("C:\\Work\\top.txt", "top");
  WriteFile("C:\\Work\\a\\zero.bin", "");
  WriteFile("C:\\Work\\a\\b\\hidden.txt", "h", attr::kHidden);
  WriteFile("C:\\Work\\a\\b\\c\\system.dat", "s", attr::kSystem | attr::kHidden);
  WriteFile("C:\\Work\\d\\plain.txt", "p", attr::kNormal);  // no attribute at all
  MakeFolder("C:\\Work\\hiddenDir\\inner");
  ASSERT_TRUE(fs().SetAttributes("C:\\Work\\hiddenDir", attr::kHidden));
  WriteFile("C:\\Work\\hiddenDir\\inner\\x.txt", "x");

  Delete("C:\\Work", true);

  EXPECT_FALSE(Exists("C:\\Work"));
  EXPECT_TRUE(fs().DirectoryExists("C:\\windows")) << "nothing beside the folder is touched";
}

TEST_P(DeleteTreeTest, ReadOnlyFileKeepsItsFolderChain) {
  MakeFolder("C:\\Work\\a\\b");
  MakeFolder("C:\\Work\\other");
  WriteFile("C:\\Work\\a\\b\\locked.txt", "ro", attr::kReadOnly);
  WriteFile("C:\\Work\\a\\b\\free.txt", "f");
  WriteFile("C:\\Work\\a\\beside.txt", "f");
  WriteFile("C:\\Work\\other\\gone.txt", "g");

  Delete("C:\\Work", true);

  for (const char* stays : {"C:\\Work", "C:\\Work\\a", "C:\\Work\\a\\b", "C:\\Work\\a\\b\\locked.txt"}) {
    EXPECT_TRUE(Exists(stays)) << stays;
  }
  for (const char* gone : {"C:\\Work\\a\\b\\free.txt", "C:\\Work\\a\\beside.txt", "C:\\Work\\other"}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
}

TEST_P(DeleteTreeTest, UnusualAttributeIsLeftAlone) {
  // The compressed file lies in the root, one level and two levels below it.
  for (const std::string folder : {"C:\\Work", "C:\\Work\\sub", "C:\\Work\\sub\\deeper"}) {
    SCOPED_TRACE(folder);
    MakeFolder(folder);
    MakeFolder("C:\\Work\\plain");
    WriteFile(folder + "\\packed.dat", "z", attr::kArchive | attr::kCompressed);
    WriteFile(folder + "\\loose.txt", "l");

    Delete("C:\\Work", true);

    EXPECT_TRUE(Exists(folder + "\\packed.dat"));
    EXPECT_TRUE(fs().DirectoryExists(folder));
    EXPECT_TRUE(fs().DirectoryExists("C:\\Work"));
    EXPECT_FALSE(Exists(folder + "\\loose.txt"));
    EXPECT_FALSE(Exists("C:\\Work\\plain"));

    ASSERT_TRUE(fs().DeleteFile(folder + "\\packed.dat"));
  }
}

TEST_P(DeleteTreeTest, UnusualFolderIsNotEntered) {
  MakeFolder("C:\\Work\\link");
  WriteFile("C:\\Work\\link\\target.txt", "t");
  ASSERT_TRUE(fs().SetAttributes("C:\\Work\\link", attr::kDirectory | 0x400));  // a reparse point

  Delete("C:\\Work", true);

  EXPECT_TRUE(Exists("C:\\Work\\link\\target.txt"));
}

TEST_P(DeleteTreeTest, KeepsTheRootWhenAsked) {
  MakeFolder("C:\\Work\\a");
  WriteFile("C:\\Work\\a\\f.txt", "f");
  MakeFolder("C:\\Empty");

  Delete("C:\\Work", false);
  Delete("C:\\Empty", false);

  EXPECT_TRUE(fs().DirectoryExists("C:\\Work"));
  EXPECT_FALSE(Exists("C:\\Work\\a"));
  EXPECT_TRUE(fs().DirectoryExists("C:\\Empty"));
}

TEST_P(DeleteTreeTest, DoubledBackslashesAreCollapsedForTheWalk) {
  MakeFolder("C:\\Work\\a");
  WriteFile("C:\\Work\\a\\f.txt", "f");

  Delete("C:\\\\Work\\\\", false);

  EXPECT_FALSE(Exists("C:\\Work\\a"));
  EXPECT_TRUE(fs().DirectoryExists("C:\\Work"));
}

TEST_P(DeleteTreeTest, MissingFolderIsNoError) {
  Delete("C:\\Nothing\\Here", true);
  Delete("", true);
  EXPECT_TRUE(fs().DirectoryExists("C:\\windows"));
}

INSTANTIATE_TEST_SUITE_P(Both, DeleteTreeTest, ::testing::ValuesIn(kRoutines),
                         [](const ::testing::TestParamInfo<Routine>& param) { return param.param.name; });

using ListSubfoldersTest = testing::MachineTest;

TEST_F(ListSubfoldersTest, ListsPlainFoldersAndDeletesWhatItSees) {
  MakeFolder("C:\\F\\plainDir");
  MakeFolder("C:\\F\\hiddenDir");
  MakeFolder("C:\\F\\archivedDir");
  ASSERT_TRUE(fs().SetAttributes("C:\\F\\hiddenDir", attr::kHidden));
  ASSERT_TRUE(fs().SetAttributes("C:\\F\\archivedDir", attr::kArchive));
  WriteFile("C:\\F\\plain.txt", "p");
  WriteFile("C:\\F\\hidden.txt", "h", attr::kHidden);
  WriteFile("C:\\F\\system.txt", "s", attr::kSystem);
  WriteFile("C:\\F\\readonly.txt", "r", attr::kReadOnly);
  WriteFile("C:\\F\\packed.dat", "z", attr::kCompressed);

  std::vector<std::string> list{"earlier"};
  ListSubfoldersDeletingFiles(fs(), "C:\\\\F", list);

  EXPECT_EQ(list, (std::vector<std::string>{"earlier", "C:\\F\\plainDir"}));
  EXPECT_FALSE(Exists("C:\\F\\plain.txt"));
  for (const char* stays :
       {"C:\\F\\hidden.txt", "C:\\F\\system.txt", "C:\\F\\readonly.txt", "C:\\F\\packed.dat",
        "C:\\F\\hiddenDir", "C:\\F\\archivedDir", "C:\\F\\plainDir"}) {
    EXPECT_TRUE(Exists(stays)) << stays;
  }
}

}  // namespace
}  // namespace ov
