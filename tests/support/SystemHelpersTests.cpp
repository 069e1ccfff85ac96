#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "MachineFixture.h"
#include "support/Dates.h"
#include "support/Folders.h"

namespace ov {
namespace {

using SpecialFolderPathTest = testing::MachineTest;
using TimeTokenClockTest = testing::MachineTest;

TEST_F(SpecialFolderPathTest, WithoutTrailingBackslashOrEmpty) {
  struct Case {
    int csidl;
    std::optional<std::string> shellPath;
    std::string expected;
  };
  const Case cases[] = {
      {csidl::kProgramFiles, "C:\\Program Files", "C:\\Program Files"},
      {csidl::kCommonPrograms, "C:\\ProgramData\\Start Menu\\Programs\\",
       "C:\\ProgramData\\Start Menu\\Programs"},
      {csidl::kAppData, "C:\\Data\\\\", "C:\\Data\\"},  // only one backslash goes
      {csidl::kDesktop, std::nullopt, ""},
      {csidl::kCommonAppData, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csidl);
    emulated().SetSpecialFolder(c.csidl, c.shellPath);
    EXPECT_EQ(SpecialFolderPath(system(), c.csidl), c.expected);
  }
}

TEST_F(TimeTokenClockTest, ReadsTheLocalClockAndSeparator) {
  emulated().SetClock(platform::LocalTime{2008, 3, 15, 12, 34, 56, 789});
  for (char separator : {'.', ','}) {
    SCOPED_TRACE(separator);
    emulated().SetDecimalSeparator(separator);
    EXPECT_EQ(TimeToken(system()), "39522_5242683912");
  }
}

}  // namespace
}  // namespace ov
