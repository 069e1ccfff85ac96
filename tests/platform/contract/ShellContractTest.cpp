#include <string>

#include "tests/platform/contract/ContractFixture.h"

namespace ov::contract {
namespace {

using ShellContract = ContractTest;

TEST_F(ShellContract, AShellLinkSavesAndLoadsBack) {
  const std::string target = Scratch("program.exe");
  ASSERT_TRUE(WriteWholeFile(files(), target, "MZ"));
  const std::string linkFile = Scratch("Program.lnk");
  const platform::ShellLink link{target, "-open \"a file.mjp\"", env_->ScratchFolder()};
  ASSERT_TRUE(machine().shell.SaveShellLink(link, linkFile));
  EXPECT_TRUE(files().FileExists(linkFile));

  const auto loaded = machine().shell.LoadShellLink(linkFile);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->target, link.target);
  EXPECT_EQ(loaded->arguments, link.arguments);
  EXPECT_EQ(loaded->workingDirectory, link.workingDirectory);
}

TEST_F(ShellContract, SavingALinkAgainReplacesIt) {
  const std::string first = Scratch("first.exe");
  const std::string second = Scratch("second.exe");
  ASSERT_TRUE(WriteWholeFile(files(), first, "MZ"));
  ASSERT_TRUE(WriteWholeFile(files(), second, "MZ"));
  const std::string linkFile = Scratch("Replaced.lnk");
  ASSERT_TRUE(machine().shell.SaveShellLink({first, "one", env_->ScratchFolder()}, linkFile));
  ASSERT_TRUE(machine().shell.SaveShellLink({second, "", env_->ScratchFolder()}, linkFile));
  const auto loaded = machine().shell.LoadShellLink(linkFile);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->target, second);
  EXPECT_EQ(loaded->arguments, "");
}

TEST_F(ShellContract, LoadingSomethingElseThanALinkFails) {
  ASSERT_TRUE(WriteWholeFile(files(), Scratch("notes.lnk"), "just some text\r\n"));
  EXPECT_FALSE(machine().shell.LoadShellLink(Scratch("notes.lnk")));
  EXPECT_FALSE(machine().shell.LoadShellLink(Scratch("absent.lnk")));
}

}  // namespace
}  // namespace ov::contract
