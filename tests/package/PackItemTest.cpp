#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/PackItem.h"
#include "package/SafeNames.h"

namespace ov::package {
namespace {

TEST(TPackItem, ParsesTheFiveFieldsTrimmed) {
  struct Case {
    const char* text;
    const char* folder;
    const char* name;
    std::int32_t offset, size, date, error;
  };
  const Case cases[] = {
      {"\\, a.txt, 99, 0, 0", "\\", "a.txt", 99, 0, 0, 0},
      {"\\Skins,blue.skn,104,20,946824133", "\\Skins", "blue.skn", 104, 20, 946824133, 0},
      {"  \\Skins ,  blue.skn ,  104 , 20 , 946824133 ", "\\Skins", "blue.skn", 104, 20, 946824133, 0},
      {", a.txt, 99, 5, 0", "", "a.txt", 99, 5, 0, 0},
      // Four fields: the date is missing.
      {"\\Skins, x, 1, 2", "\\Skins", "x", 1, 2, 0, -11},
      // A comma in the name shifts the numbers.
      {"\\, a,b.txt, 99, 5, 0", "\\", "a", 0, 0, 0, -11},
      // The last field runs to the end, so a sixth one spoils it.
      {"\\, a.txt, 99, 5, 0, 7", "\\", "a.txt", 99, 5, 0, -11},
      {"\\, a.txt, 99, x5, 0", "\\", "a.txt", 99, 0, 0, -11},
      {"\\, a.txt, 99, 5, 2147483648", "\\", "a.txt", 99, 5, 0, -11},
      {"\\, a.txt, -7, -5, 0", "\\", "a.txt", -7, -5, 0, 0},
  };
  for (const Case& c : cases) {
    TPackItem item;
    item.Parse(c.text);
    EXPECT_EQ(item.Folder, c.folder) << c.text;
    EXPECT_EQ(item.Name, c.name) << c.text;
    EXPECT_EQ(item.Offset, c.offset) << c.text;
    EXPECT_EQ(item.Size, c.size) << c.text;
    EXPECT_EQ(item.FileDate, c.date) << c.text;
    EXPECT_EQ(item.Error, c.error) << c.text;
  }
}

TEST(ParseCatalogue, KeepsOnlyValidLinesInOrder) {
  const std::vector<std::string> lines = {
      "\\, ornivale.exe, 99, 10, 946824133|",
      "",
      "\\Skins, no-bar.skn, 109, 5, 0",
      "\\, a.txt, 114, 5, 0|comment after the bar",
      "\\Skins, x, 1, 2|",
      "\\, a,b.txt, 99, 5, 0|",
      "\\SampleContent\\PNGs, a.png , 119 , 3 , 0 |",
      "\\.., evil.txt, 122, 1, 0|",
  };
  std::vector<std::unique_ptr<TPackItem>> items;
  ParseCatalogue(lines, items);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0]->Name, "ornivale.exe");
  EXPECT_EQ(items[1]->Name, "a.txt");
  EXPECT_EQ(items[1]->Size, 5);
  EXPECT_EQ(items[2]->Folder, "\\SampleContent\\PNGs");
  EXPECT_EQ(items[2]->Name, "a.png");
}

TEST(ParseCatalogue, AppendsToWhatTheListHolds) {
  std::vector<std::unique_ptr<TPackItem>> items;
  items.push_back(std::make_unique<TPackItem>());
  ParseCatalogue({"\\, a.txt, 99, 5, 0|"}, items);
  EXPECT_EQ(items.size(), 2u);
}

// Every line below parses; only the names decide whether the file could land outside the
// install folder.
TEST(ParseCatalogue, DropsNamesThatLeaveTheInstallFolder) {
  struct Case {
    const char* folder;
    const char* name;
    bool kept;
  };
  const Case cases[] = {
      {"\\", "a.txt", true},
      {"", "a.txt", true},
      {"\\Skins", "a.txt", true},
      {"\\Skins\\", "a.txt", true},
      {"\\Projects\\Compiled\\Demo One", "demo.jar", true},
      {"\\Sample Content", "caf\xE9.png", true},
      {"\\..", "a.txt", false},
      {"\\Skins\\..\\..", "a.txt", false},
      {"\\Skins\\.", "a.txt", false},
      {"\\...", "a.txt", false},
      {"\\Skins.", "a.txt", false},
      {"\\Skins \\x", "a.txt", false},
      {"Skins", "a.txt", false},  // would become a sibling: C:\OrnivaleSkins
      {"C:\\Windows", "a.txt", false},
      {"\\C:", "a.txt", false},
      {"\\\\server\\share", "a.txt", false},
      {"\\Skins\\\\x", "a.txt", false},
      {"\\Skins/..", "a.txt", false},
      {"\\Sk\tins", "a.txt", false},
      {"\\", "..", false},
      {"\\", ".", false},
      {"\\", "a.txt.", false},
      {"\\", "..\\a.txt", false},
      {"\\", "sub\\a.txt", false},
      {"\\", "C:a.txt", false},
      {"\\", "a.txt:stream", false},
      {"\\", "../a.txt", false},
      {"\\", "a\x01.txt", false},
      {"\\", "a\x7F.txt", false},
      // Device names, with any extension: Windows opens the device, not a file.
      {"\\SampleContent\\..Gs", "nul.txtc.png", false},  // found by fuzzing
      {"\\", "CON", false},
      {"\\", "aux .txt", false},
      {"\\", "Com1.log", false},
      {"\\", "lpt9", false},
      {"\\", "COM\xB9.txt", false},
      {"\\NUL", "a.txt", false},
      {"\\", "console.txt", true},
      {"\\", "com10.txt", true},
      {"\\", "COM0", true},
  };
  for (const Case& c : cases) {
    const std::string line = std::string(c.folder) + ", " + c.name + ", 99, 5, 0|";
    std::vector<std::unique_ptr<TPackItem>> items;
    ParseCatalogue({line}, items);
    EXPECT_EQ(items.size(), c.kept ? 1u : 0u) << line;
    EXPECT_EQ(IsSafeFolder(c.folder) && IsSafeName(c.name), c.kept) << line;
  }
}

}  // namespace
}  // namespace ov::package
