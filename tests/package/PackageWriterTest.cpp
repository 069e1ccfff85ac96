#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/PackItem.h"
#include "package/PackageWriter.h"
#include "tests/package/PackageFixture.h"

namespace ov::package {
namespace {

const std::string kMagicAndId = "OrnivalePackage:OVID_39522_5000000000";  // 37 characters, as shipped

TEST(BuildContainerHeader, FillsLineThreeToNinetyNineBytes) {
  struct Case {
    std::size_t line1;  // length of magic and identifier
    std::int32_t offset;
    std::size_t headerLength;
    std::size_t fillerLength;  // line 3 without its line end
  };
  const Case cases[] = {
      {37, 25763034, 99, 48},                     // "-" and 47 "x"
      {16, 99, 99, 75},       {87, 1000, 99, 2},  // lines 1 and 2 take 95 bytes: "-x"
      {88, 1000, 99, 1},                          // they take 96: "-" alone, still 99
      {89, 1000, 100, 1},                         // they take 97: "-" alone, and the header grows
  };
  for (const Case& c : cases) {
    const std::string header = BuildContainerHeader(std::string(c.line1, 'i'), c.offset);
    EXPECT_EQ(header.size(), c.headerLength) << c.line1;
    const std::string filler = header.substr(c.line1 + 2 + std::to_string(c.offset).size() + 2);
    EXPECT_EQ(filler, "-" + std::string(c.fillerLength - 1, 'x') + "\r\n") << c.line1;
  }
  EXPECT_EQ(BuildContainerHeader(kMagicAndId, 25763034),
            kMagicAndId + "\r\n25763034\r\n-" + std::string(47, 'x') + "\r\n");
}

TEST(LayOutPackage, PlacesMembersAfterTheHeaderAndListsThemInOrder) {
  const std::vector<PackEntry> entries = {
      {"\\", "ornivale.exe", 10, 946824133},
      {"\\Skins", "blue.skn", 0, 0},
      {"\\SampleContent\\PNGs", "a.png", 7, 1 << 21 | 1 << 16},
  };
  std::string problem;
  std::optional<PackLayout> layout = LayOutPackage(kMagicAndId, entries, problem);
  ASSERT_TRUE(layout) << problem;
  EXPECT_EQ(layout->Header, BuildContainerHeader(kMagicAndId, 116));
  EXPECT_EQ(layout->Offsets, (std::vector<std::int32_t>{99, 109, 109}));
  EXPECT_EQ(layout->Catalogue,
            "\\, ornivale.exe, 99, 10, 946824133|\r\n"
            "\\Skins, blue.skn, 109, 0, 0|\r\n"
            "\\SampleContent\\PNGs, a.png, 109, 7, 2162688|\r\n");
  EXPECT_EQ(layout->TotalSize, 116 + static_cast<std::int64_t>(layout->Catalogue.size()));
}

TEST(LayOutPackage, CountsALongerHeaderInTheOffset) {
  // 90 characters and a three-digit offset take 97 bytes: the header is 100 bytes long.
  const std::string line1 = "OrnivalePackage:" + std::string(74, 'i');
  std::string problem;
  std::optional<PackLayout> layout = LayOutPackage(line1, {{"\\", "a", 3, 0}, {"\\", "b", 4, 0}}, problem);
  ASSERT_TRUE(layout) << problem;
  EXPECT_EQ(layout->Header.size(), 100u);
  EXPECT_EQ(layout->Offsets, (std::vector<std::int32_t>{100, 103}));
  EXPECT_EQ(CatalogueOffsetFromHeader(layout->Header), 107);
}

TEST(LayOutPackage, RefusesWhatTheReadersWouldMisread) {
  struct Case {
    const char* what;
    std::string magicAndId;
    PackEntry entry;
  };
  const Case cases[] = {
      {"a comma in the name", kMagicAndId, {"\\", "a,b.txt", 1, 0}},
      {"a bar in the name", kMagicAndId, {"\\", "a|b.txt", 1, 0}},
      {"a comma in the folder", kMagicAndId, {"\\a,b", "x.txt", 1, 0}},
      {"a folder climbing out", kMagicAndId, {"\\..\\up", "x.txt", 1, 0}},
      {"a name with a separator", kMagicAndId, {"\\", "a\\b.txt", 1, 0}},
      {"a name the reader would trim", kMagicAndId, {"\\", " a.txt", 1, 0}},
      {"an empty name", kMagicAndId, {"\\", "", 1, 0}},
      {"a negative size", kMagicAndId, {"\\", "a.txt", -1, 0}},
      {"a date from 2044 on", kMagicAndId, {"\\", "a.txt", 1, -2145386496}},
      {"a date that is no date", kMagicAndId, {"\\", "a.txt", 1, 0x00000001}},
      {"a bar in the identifier", "OrnivalePackage:a|b", {"\\", "a.txt", 1, 0}},
      {"a CR in the identifier", "OrnivalePackage:a\rb", {"\\", "a.txt", 1, 0}},
      {"an identifier pushing the offset past byte 98",
       "OrnivalePackage:" + std::string(80, 'i'),
       {"\\", "a.txt", 1, 0}},
      {"members over 2 GiB", kMagicAndId, {"\\", "a.txt", 2147483647, 0}},
  };
  for (const Case& c : cases) {
    std::string problem;
    EXPECT_FALSE(LayOutPackage(c.magicAndId, {c.entry, {"\\", "z.txt", 1, 0}}, problem)) << c.what;
    EXPECT_FALSE(problem.empty()) << c.what;
  }
}

class BuildPackageTest : public PackageFixture {};

TEST_F(BuildPackageTest, TheReadersGetBackWhatWasPacked) {
  const std::vector<PackMember> members = {
      {{"\\", "ornivale.exe", 0, 946824133}, "MZ program"},
      {{"\\Skins", "empty.skn", 0, 0}, ""},
      {{"\\SampleContent\\PNGs", "a.png", 0, 1 << 21 | 1 << 16}, std::string("\x89PNG\r\n\x1A\n\0\0", 10)},
  };
  std::string problem;
  std::optional<std::string> bytes = BuildPackage(kMagicAndId, members, problem);
  ASSERT_TRUE(bytes) << problem;
  Put("C:\\p.pck", *bytes);

  std::vector<std::string> lines;
  ASSERT_EQ(ReadPackageCatalogue(fs(), "C:\\p.pck", &lines), 0);
  std::vector<std::unique_ptr<TPackItem>> items;
  ParseCatalogue(lines, items);
  ASSERT_EQ(items.size(), members.size());
  for (std::size_t i = 0; i < members.size(); ++i) {
    EXPECT_EQ(items[i]->Folder, members[i].Entry.Folder);
    EXPECT_EQ(items[i]->Name, members[i].Entry.Name);
    EXPECT_EQ(items[i]->FileDate, members[i].Entry.FileDate);
    EXPECT_EQ(
        bytes->substr(static_cast<std::size_t>(items[i]->Offset), static_cast<std::size_t>(items[i]->Size)),
        members[i].Data);
  }
  EXPECT_EQ(
      ReadCatalogueOffset(fs(), "C:\\p.pck"),
      static_cast<std::int32_t>(bytes->size() - (lines[0].size() + lines[1].size() + lines[2].size() + 6)));
}

}  // namespace
}  // namespace ov::package
