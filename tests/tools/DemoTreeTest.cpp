#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "package/Container.h"
#include "package/PackItem.h"
#include "support/Dates.h"
#include "support/Errors.h"
#include "tests/tools/DemoTreeFixture.h"
#include "tests/tools/FormatChecks.h"
#include "tests/tools/ShippedFolders.h"
#include "tools/demotree/Checksums.h"
#include "tools/demotree/DemoTree.h"
#include "tools/demotree/ProductFiles.h"
#include "tools/ovpack/Commands.h"

namespace ov::demotree {
namespace {

namespace fs = std::filesystem;

TEST(ChecksumTest, KnownValues) {
  struct Case {
    std::string data;
    std::uint32_t crc, adler;
  };
  const Case cases[] = {
      {"", 0x00000000, 0x00000001},
      {"123456789", 0xCBF43926, 0x091E01DE},
      {"Wikipedia", 0xADAAC02E, 0x11E60398},
      {std::string(70000, '\xFF'), 0x80F95A0A, 0x2A286E81},  // more than one modulus round
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Crc32(c.data), c.crc) << c.data.size();
    EXPECT_EQ(Adler32(c.data), c.adler) << c.data.size();
    // Taken in two pieces, the CRC is the same.
    const std::size_t half = c.data.size() / 2;
    EXPECT_EQ(Crc32(std::string_view(c.data).substr(half), Crc32(std::string_view(c.data).substr(0, half))),
              c.crc);
  }
}

class DemoTreeTest : public DemoTreeFixture {};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

TEST_F(DemoTreeTest, HasTheShapeOfTheShippedProduct) {
  const std::vector<TreeFile>& files = Tree();
  ASSERT_EQ(files.size(), 207u);

  // Extraction creates the folders in the order their first files come.
  std::vector<std::string> firstSeen;
  std::map<std::string, int> perFolder;
  std::set<std::string> paths;
  std::int64_t total = 0;
  const TreeFile* largest = &files.front();
  for (const TreeFile& file : files) {
    if (std::find(firstSeen.begin(), firstSeen.end(), file.Folder) == firstSeen.end()) {
      firstSeen.push_back(file.Folder);
    }
    ++perFolder[file.Folder];
    EXPECT_TRUE(paths.insert(Lower(RelativePath(file))).second) << RelativePath(file) << " twice";
    total += static_cast<std::int64_t>(file.Data.size());
    if (file.Data.size() > largest->Data.size()) largest = &file;
  }
  const std::vector<std::string>& expected = testing_tools::kShippedFolderOrder;
  EXPECT_EQ(firstSeen, expected);
  EXPECT_EQ(FolderOrder(), expected);
  // A file there would make extraction record it.
  EXPECT_EQ(perFolder.count("\\Projects\\Compiled"), 0u);
  EXPECT_EQ(perFolder["\\SampleContent\\PNGs"], 100);
  EXPECT_EQ(perFolder["\\Projects"], 9);
  for (std::size_t i = 6; i < expected.size(); ++i) {
    const std::string name = expected[i].substr(expected[i].rfind('\\') + 1);
    EXPECT_TRUE(paths.count(Lower("Projects\\Compiled\\" + name + "\\" + name + ".jad")) &&
                paths.count(Lower("Projects\\Compiled\\" + name + "\\" + name + ".jar")) &&
                perFolder[expected[i]] == 2)
        << expected[i];
    EXPECT_TRUE(paths.count(Lower("Projects\\" + name + ".ov5"))) << name;
  }
  for (const char* program : {"ornivale.exe", "ovuninstall.exe"})
    EXPECT_TRUE(paths.count(program)) << program;

  EXPECT_EQ(total, 25'762'935);
  EXPECT_EQ(RelativePath(*largest), "Skins\\Classic.skin");
  EXPECT_GT(largest->Data.size(), 3'350'000u);
  EXPECT_LT(largest->Data.size(), 3'450'000u);
}

TEST_F(DemoTreeTest, EveryFileIsDatedIn2009AsAnMsDosDateCanHoldIt) {
  for (const TreeFile& file : Tree()) {
    const platform::LocalTime& t = file.Written;
    EXPECT_EQ(t.year, 2009) << RelativePath(file);
    EXPECT_EQ(t.second % 2, 0) << RelativePath(file);
    EXPECT_EQ(t.millisecond, 0) << RelativePath(file);
    ASSERT_TRUE(DosDateTime(t)) << RelativePath(file);
    EXPECT_EQ(FromDosDateTime(*DosDateTime(t))->minute, t.minute);
  }
}

TEST_F(DemoTreeTest, IsTheSameOnEveryRun) {
  const std::vector<TreeFile> again = BuildDemoTree({}, Scratch() / "again");
  ASSERT_EQ(again.size(), Tree().size());
  for (std::size_t i = 0; i < again.size(); ++i) {
    const TreeFile& a = Tree()[i];
    const TreeFile& b = again[i];
    EXPECT_TRUE(a.Folder == b.Folder && a.Name == b.Name && a.Data == b.Data &&
                DosDateTime(a.Written) == DosDateTime(b.Written))
        << RelativePath(a);
  }
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(DemoTreeTest, PicturesAndArchivesAreWellFormed) {
  int pictures = 0, archives = 0;
  for (const TreeFile& file : Tree()) {
    const std::string name = Lower(file.Name);
    if (EndsWith(name, ".png")) {
      EXPECT_EQ(checks::CheckPng(file.Data), "") << RelativePath(file);
      ++pictures;
    } else if (EndsWith(name, ".bmp")) {
      EXPECT_EQ(checks::CheckBmp(file.Data), "") << RelativePath(file);
      ++pictures;
    } else if (EndsWith(name, ".skin") || EndsWith(name, ".icz") || EndsWith(name, ".jar")) {
      std::vector<checks::ZipEntry> entries;
      EXPECT_EQ(checks::CheckZip(file.Data, entries), "") << RelativePath(file);
      EXPECT_FALSE(entries.empty()) << RelativePath(file);
      for (const checks::ZipEntry& entry : entries) {
        if (EndsWith(entry.Name, ".png")) {
          EXPECT_EQ(checks::CheckPng(entry.Data), "") << RelativePath(file) << ":" << entry.Name;
        }
      }
      ++archives;
    }
  }
  // The collection, the sample pictures, the skins, the icon sets and the compiled samples.
  EXPECT_EQ(pictures, 110);
  EXPECT_EQ(archives, 10 + 6 + 9);
}

// "Name: value" lines; a manifest's continuation lines (starting with a space) joined on.
std::map<std::string, std::string> Attributes(const std::string& text, bool manifest) {
  std::map<std::string, std::string> attributes;
  std::istringstream lines(text);
  std::string line, last;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (manifest) {
      EXPECT_LE(line.size(), 72u) << line;
    }
    if (manifest && !line.empty() && line[0] == ' ') {
      attributes[last] += line.substr(1);
    } else if (const std::size_t colon = line.find(": "); colon != std::string::npos) {
      last = line.substr(0, colon);
      attributes[last] = line.substr(colon + 2);
    }
  }
  return attributes;
}

TEST_F(DemoTreeTest, CompiledSamplesAgreeWithTheirDescriptors) {
  int compiled = 0;
  for (const TreeFile& jad : Tree()) {
    if (!EndsWith(jad.Name, ".jad")) continue;
    ++compiled;
    const std::string base = jad.Name.substr(0, jad.Name.size() - 4);
    const TreeFile& jar = File(jad.Folder, base + ".jar");
    std::map<std::string, std::string> descriptor = Attributes(jad.Data, false);
    EXPECT_EQ(descriptor["MIDlet-Jar-Size"], std::to_string(jar.Data.size())) << base;
    EXPECT_EQ(descriptor["MIDlet-Jar-URL"], base + ".jar");
    EXPECT_FALSE(descriptor["MIDlet-Name"].empty()) << base;

    std::vector<checks::ZipEntry> entries;
    ASSERT_EQ(checks::CheckZip(jar.Data, entries), "") << base;
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().Name, "META-INF/MANIFEST.MF") << base;
    std::map<std::string, std::string> manifest = Attributes(entries.front().Data, true);
    EXPECT_EQ(manifest["Manifest-Version"], "1.0");
    for (const char* name : {"MIDlet-1", "MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version",
                             "MicroEdition-Profile", "MicroEdition-Configuration"}) {
      EXPECT_FALSE(manifest[name].empty()) << base << " " << name;
      EXPECT_EQ(manifest[name], descriptor[name]) << base << " " << name;
    }
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const checks::ZipEntry& e) {
      return "/" + e.Name == descriptor["MIDlet-Icon"];
    })) << base;
  }
  EXPECT_EQ(compiled, 9);
}

TEST_F(DemoTreeTest, RealProgramsTakeTheHelpPagesRoom) {
  Programs programs{std::string(900'000, 'P'), std::string(20'000, 'U')};
  const std::vector<TreeFile> files = BuildDemoTree(programs, Scratch() / "programs");
  EXPECT_EQ(File(files, "\\", "ornivale.exe").Data, *programs.Product);
  EXPECT_EQ(File(files, "\\", "OVUninstall.exe").Data, *programs.Uninstaller);
  std::int64_t total = 0;
  for (const TreeFile& file : files) total += static_cast<std::int64_t>(file.Data.size());
  EXPECT_EQ(total, kTreeBytes);
  EXPECT_EQ(File(files, "\\", "OrnivaleHelp.htm").Data.size() + 900'000 + 20'000,
            File("\\", "OrnivaleHelp.htm").Data.size() + File("\\", "ornivale.exe").Data.size() +
                File("\\", "OVUninstall.exe").Data.size());
  // Without them, the tree says what stands in their place.
  EXPECT_NE(File("\\", "ornivale.exe").Data.find("It is not a program."), std::string::npos);
  EXPECT_NE(File("\\", "OVUninstall.exe").Data.find("It is not a program."), std::string::npos);
}

TEST_F(DemoTreeTest, ReplacesOnlyATreeOfItsOwn) {
  const fs::path other = Scratch() / "other";
  fs::create_directories(other);
  std::ofstream(other / "notes.txt") << "somebody's file";
  EXPECT_THROW(WriteTree(Tree(), other), OvError);
  EXPECT_TRUE(fs::exists(other / "notes.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);
}

TEST(HelpPageTest, FillsTheSizeItIsGivenWhenItCan) {
  const std::size_t least = HelpPage(0).size();
  struct Case {
    std::size_t asked, expected;
  };
  const Case cases[] = {
      {0, least},  // no room: the chapters all the same
      {least - 1, least},
      {least, least},
      {least + 1, least + 1},  // too little for a table row: blanks before the table ends
      {least + 100'001, least + 100'001},
      {2'000'000, 2'000'000},
  };
  for (const Case& c : cases) {
    const std::string page = HelpPage(c.asked);
    EXPECT_EQ(page.size(), c.expected) << c.asked;
    EXPECT_TRUE(page.size() >= 20 && page.compare(page.size() - 20, 20, "\r\n</body>\r\n</html>\r\n") == 0)
        << c.asked;
    EXPECT_NE(page.find("<h2 id=\"devices\">"), std::string::npos) << c.asked;
  }
  // The device table fills the room, not blanks.
  EXPECT_EQ(HelpPage(2'000'000).find(std::string(100, ' ')), std::string::npos);
}

// The written tree packs with ovpack in the given order, and the host dates come back unchanged.
TEST_F(DemoTreeTest, WrittenTreePacksInOrderWithItsDates) {
  const fs::path root = Scratch() / "written";
  WriteTree(Tree(), root);
  fs::create_directories(root / "Stale");
  std::ofstream(root / "Stale" / "left.txt") << "from an earlier run";
  WriteTree(Tree(), root);
  EXPECT_FALSE(fs::exists(root / "Stale"));

  const fs::path order = Scratch() / "written.order";
  std::ofstream(order, std::ios::binary) << OrderFileText(Tree());
  const fs::path pack = Scratch() / "written.pck";
  std::ostringstream out, err;
  ASSERT_EQ(
      ovpack::Run({"build", root.string(), pack.string(), "--order", order.string(), "--id", "OVID_TEST"},
                  out, err),
      0)
      << err.str();

  std::ifstream in(pack, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::optional<std::int32_t> offset = package::CatalogueOffsetFromHeader(bytes.substr(0, 98));
  ASSERT_TRUE(offset);
  std::vector<std::unique_ptr<package::TPackItem>> items;
  package::ParseCatalogue(
      package::SplitCatalogueText(std::string_view(bytes).substr(*offset, bytes.size() - *offset - 2)),
      items);
  ASSERT_EQ(items.size(), Tree().size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TreeFile& file = Tree()[i];
    const package::TPackItem& item = *items[i];
    EXPECT_EQ(item.Folder, file.Folder);
    EXPECT_EQ(item.Name, file.Name);
    EXPECT_EQ(item.FileDate, static_cast<std::int32_t>(*DosDateTime(file.Written))) << RelativePath(file);
    EXPECT_TRUE(bytes.compare(static_cast<std::size_t>(item.Offset), file.Data.size(), file.Data) == 0)
        << RelativePath(file);
  }
}

}  // namespace
}  // namespace ov::demotree
