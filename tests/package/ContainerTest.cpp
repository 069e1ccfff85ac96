#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/PackItem.h"
#include "support/Errors.h"
#include "tests/package/PackageFixture.h"

namespace ov::package {
namespace {

using Lines = std::vector<std::string>;

const std::string kFile = "C:\\p.pck";

// Header for the given offset text, members, and catalogue text: exactly the bytes a test wants.
std::string Container(const std::string& offsetText, const std::string& members,
                      const std::string& catalogue) {
  std::string header = "OrnivalePackage:OVID_39522_5000000000000\r\n" + offsetText + "\r\n-";
  while (header.size() + 2 < 99) header += 'x';
  return header + "\r\n" + members + catalogue;
}

std::string At(std::size_t offset) { return std::to_string(offset); }

constexpr const char* kMembers = "alphabravo!";  // a.txt at 99 (5 bytes), b.txt at 104 (6 bytes)
constexpr const char* kCatalogue = "\\, a.txt, 99, 5, 946824133|\r\n\\Skins, b.txt, 104, 6, 0|\r\n";

class ContainerTest : public PackageFixture {};

TEST_F(ContainerTest, ReadsTheOffsetFromTheHeader) {
  struct Case {
    const char* what;
    std::string bytes;
    std::int32_t expected;
  };
  std::string shipped =
      "OrnivalePackage:OVID_39522_5000000000\r\n25763034\r\n-" + std::string(47, 'x') + "\r\n";
  const Case cases[] = {
      {"the shipped package's header", shipped, 25763034},
      {"a 50-byte file", std::string(50, 'x'), -1},
      {"97 bytes", shipped.substr(0, 97), -1},
      {"exactly 98 bytes", shipped.substr(0, 98), 25763034},
      {"a second line that is no number", Container("12a", "", ""), -1},
      {"a \"|\" in line 1 shifts the fields", "OrnivalePackage:a|b\r\n110\r\n" + std::string(80, 'x'), -1},
      {"an LF alone ends no line", "OrnivalePackage:a\n110\r\n120\r\n" + std::string(80, 'x'), 120},
      {"a NUL ends the text",
       std::string("OrnivalePackage:a\r\n1\0"
                   "10\r\n",
                   25) +
           std::string(80, 'x'),
       1},
      {"digits beyond byte 98 are not read",
       "OrnivalePackage:" + std::string(78, 'i') + "\r\n" + "12345678\r\n", 12},
  };
  for (const Case& c : cases) {
    Put(kFile, c.bytes);
    EXPECT_EQ(ReadCatalogueOffset(fs(), kFile), c.expected) << c.what;
  }
  EXPECT_EQ(ReadCatalogueOffset(fs(), "C:\\missing.pck"), 0);
}

TEST_F(ContainerTest, SplitsTheCatalogueTextAsTheReadersDo) {
  struct Case {
    std::string text;
    Lines expected;
  };
  const Case cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {" \r\n a \r\n\t", {"a"}},
      {std::string("a\r\nb\0c\r\nd", 9), {"a", "b"}},
      {"", {}},
      {" \r\n ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCatalogueText(c.text), c.expected) << c.text;
}

TEST_F(ContainerTest, ReadsTheCatalogueLines) {
  const std::string bytes = Container(At(110), kMembers, kCatalogue);
  Put(kFile, bytes);
  Lines lines = {"old"};
  EXPECT_EQ(ReadPackageCatalogue(fs(), kFile, &lines), 0);
  EXPECT_EQ(lines, (Lines{"\\, a.txt, 99, 5, 946824133|", "\\Skins, b.txt, 104, 6, 0|"}));
  Lines bundleLines;
  EXPECT_EQ(ReadBundleCatalogue(fs(), kFile, &bundleLines), 0);
  EXPECT_EQ(bundleLines, lines);
}

// The outcomes callers rely on, including the reads from the file's start when the header
// names offset 0 or cannot be parsed.
TEST_F(ContainerTest, ReadCatalogueEdgeCases) {
  struct Case {
    const char* what;
    std::string bytes;
    std::int32_t result;
    Lines expected;  // the list afterwards; it holds {"old"} before
  };
  const std::string sound = Container(At(110), kMembers, kCatalogue);
  const std::string noNumber = Container("none", kMembers, kCatalogue);
  const std::string atZero = Container("0", kMembers, kCatalogue);
  const Case cases[] = {
      {"an empty catalogue", Container(At(110), kMembers, "\r\n"), 0, {}},
      {"a catalogue offset of size - 1", Container(At(111), kMembers, "\r\n"), 0, {}},
      {"the last line without CR LF loses its last two characters",
       Container(At(110), kMembers, "\\, a.txt, 99, 5, 0|\r\n\\Skins, b.txt, 104, 6, 0|"),
       0,
       {"\\, a.txt, 99, 5, 0|", "\\Skins, b.txt, 104, 6,"}},
      {"offset 0 reads the file from its start, less the last two bytes", atZero, 0,
       SplitCatalogueText(atZero.substr(0, atZero.size() - 2))},
      {"a header without an offset reads size - 1 bytes from the start", noNumber, 0,
       SplitCatalogueText(noNumber.substr(0, noNumber.size() - 1))},
      {"an offset beyond the end fails", Container(At(5000), kMembers, kCatalogue), -1, {"old"}},
      {"a negative offset reads more than the file holds",
       Container("-200", kMembers, kCatalogue),
       -1,
       {"old"}},
      {"a NUL cuts the catalogue",
       Container(At(110), kMembers, std::string("\\, a.txt, 99, 5, 0|\r\n\0xx\r\n", 26)),
       0,
       {"\\, a.txt, 99, 5, 0|"}},
  };
  for (const Case& c : cases) {
    Put(kFile, c.bytes);
    Lines lines = {"old"};
    EXPECT_EQ(ReadPackageCatalogue(fs(), kFile, &lines), c.result) << c.what;
    EXPECT_EQ(lines, c.expected) << c.what;
    lines = {"old"};
    EXPECT_EQ(ReadBundleCatalogue(fs(), kFile, &lines), c.result) << c.what;
    EXPECT_EQ(lines, c.expected) << c.what;
  }
  // What a header without an offset gives is no catalogue: nothing in it parses.
  Put(kFile, noNumber);
  Lines lines;
  ReadPackageCatalogue(fs(), kFile, &lines);
  std::vector<std::unique_ptr<TPackItem>> items;
  ParseCatalogue(lines, items);
  EXPECT_LT(items.size(), 2u);
}

TEST_F(ContainerTest, MissingFileOrListGivesMinus11) {
  Lines lines = {"old"};
  EXPECT_EQ(ReadPackageCatalogue(fs(), "C:\\missing.pck", &lines), -11);
  EXPECT_EQ(ReadBundleCatalogue(fs(), "C:\\missing.pck", &lines), -11);
  EXPECT_EQ(lines, Lines{"old"});
  Put(kFile, Container(At(110), kMembers, kCatalogue));
  EXPECT_EQ(ReadPackageCatalogue(fs(), kFile, nullptr), -11);
  EXPECT_EQ(ReadBundleCatalogue(fs(), kFile, nullptr), -11);
}

TEST_F(ContainerTest, AContainerHeldOpenElsewhereRaises) {
  Put(kFile, Container(At(110), kMembers, kCatalogue));
  std::unique_ptr<platform::File> holder = fs().Open(
      kFile, platform::FileAccess::Read, platform::FileShare::None, platform::FileCreate::OpenExisting);
  ASSERT_TRUE(holder);
  Lines lines;
  EXPECT_THROW(ReadCatalogueOffset(fs(), kFile), OvError);
  EXPECT_THROW(ReadPackageCatalogue(fs(), kFile, &lines), OvError);
  EXPECT_THROW(ReadBundleCatalogue(fs(), kFile, &lines), OvError);
}

}  // namespace
}  // namespace ov::package
