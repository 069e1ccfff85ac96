#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "MachineFixture.h"
#include "platform/Types.h"
#include "support/Files.h"

namespace ov {
namespace {

using ReadWholeFileTest = testing::MachineTest;

class WriteFileAtomicallyTest : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    MakeFolder("C:\\Docs");
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const platform::FindEntry& e : fs().Find("C:\\Docs\\*")) {
      if (e.name != "." && e.name != "..") names.push_back(e.name);
    }
    return names;
  }
};

TEST_F(ReadWholeFileTest, AllBytesOrNothing) {
  MakeFolder("C:\\Docs");
  const std::string binary("a\0b\r\n\xFF", 6);
  const std::string big(70000, 'q');
  WriteFile("C:\\Docs\\binary.bin", binary);
  WriteFile("C:\\Docs\\big.bin", big);
  WriteFile("C:\\Docs\\empty.bin", "");
  struct Case {
    std::string path;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"C:\\Docs\\binary.bin", binary},        {"C:\\Docs\\big.bin", big}, {"C:\\Docs\\empty.bin", ""},
      {"C:\\Docs\\missing.bin", std::nullopt}, {"C:\\Docs", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ReadWholeFile(fs(), c.path), c.expected);
  }
}

TEST_F(WriteFileAtomicallyTest, WritesNewAndReplacesOld) {
  EXPECT_TRUE(WriteFileAtomically(fs(), "C:\\Docs\\a.txt", "first"));
  EXPECT_EQ(Contents("C:\\Docs\\a.txt"), "first");
  EXPECT_TRUE(WriteFileAtomically(fs(), "C:\\Docs\\a.txt", "2nd"));
  EXPECT_EQ(Contents("C:\\Docs\\a.txt"), "2nd");
  EXPECT_TRUE(WriteFileAtomically(fs(), "C:\\Docs\\a.txt", ""));
  EXPECT_EQ(Contents("C:\\Docs\\a.txt"), "");
  EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(WriteFileAtomicallyTest, FailureLeavesTheOldFileAndNoLeftovers) {
  WriteFile("C:\\Docs\\keep.txt", "old contents");
  struct Case {
    const char* what;
    void (*breakIt)(emulated::EmulatedMachine& machine, platform::FileSystem& fs);
  };
  const Case cases[] = {
      {"disk fills", [](emulated::EmulatedMachine& m, platform::FileSystem&) { m.FillDiskAfter('C', 5); }},
      {"folder refuses writes",
       [](emulated::EmulatedMachine& m, platform::FileSystem&) { m.FailWritesUnder("C:\\Docs"); }},
      {"target read-only",
       [](emulated::EmulatedMachine&, platform::FileSystem& f) {
         f.SetAttributes("C:\\Docs\\keep.txt", platform::attr::kReadOnly);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.breakIt(emulated(), fs());
    EXPECT_FALSE(WriteFileAtomically(fs(), "C:\\Docs\\keep.txt", std::string(1000, 'n')));
    emulated().ClearFaults();
    ASSERT_TRUE(fs().SetAttributes("C:\\Docs\\keep.txt", platform::attr::kArchive));
    EXPECT_EQ(Contents("C:\\Docs\\keep.txt"), "old contents");
    EXPECT_EQ(Names(), std::vector<std::string>{"keep.txt"});
  }
}

TEST_F(WriteFileAtomicallyTest, MissingFolderFails) {
  EXPECT_FALSE(WriteFileAtomically(fs(), "C:\\Nowhere\\a.txt", "x"));
  EXPECT_FALSE(Exists("C:\\Nowhere"));
}

}  // namespace
}  // namespace ov
