#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/JavaApp.h"
#include "tests/project/ProjectFixture.h"

namespace ov::project {
namespace {

using testing::kStamp;

class ModelTest : public testing::ProjectTest {};

TEST_F(ModelTest, ObjectsTakeTheirPrefixAndTheStamp) {
  const std::string stamp = kStamp;
  TOVJavaApp app(machine(), "C:\\none.ov5", "Vendor", "com.x", "C:\\work\\");
  EXPECT_EQ(app.ID, "OVID_" + stamp);
  EXPECT_EQ(app.Jad->ID, "JAD_" + stamp);
  ASSERT_EQ(app.ChapterList.size(), 1u);
  EXPECT_EQ(app.ChapterList[0]->ID, "CHP_" + stamp);
  EXPECT_EQ(TOVItem(machine().system, kSourceFile, app.WorkFolder).ID, "D_" + stamp);
  EXPECT_EQ(TOVImgItem(machine().system, kSourceUrl, app.WorkFolder).ID, "IMG_" + stamp);
}

struct OpenCase {
  const char* name;
  const char* fileName;
  bool create;
  const char* baseName;
  bool bundle;
};

TEST_F(ModelTest, ConstructorTakesNamesFromAnExistingFile) {
  MakeFolder("C:\\p");
  const std::vector<OpenCase> cases = {
      {"cut at the first dot", "C:\\p\\my.project.ov5", true, "my", true},
      {"a dot first keeps the name", "C:\\p\\.ov5", true, ".ov5", true},
      {"extension in any case", "C:\\p\\Demo.OV5", true, "Demo", true},
      {"a document is no bundle", "C:\\p\\doc.mjp", true, "doc", false},
  };
  for (const OpenCase& c : cases) {
    if (c.create) WriteFile(c.fileName, "x");
    TOVJavaApp app(machine(), c.fileName, kDefaultVendor, kDefaultPackage, "C:\\work\\");
    EXPECT_EQ(app.BaseName, c.baseName) << c.name;
    EXPECT_EQ(app.BundlePath, c.bundle ? c.fileName : "") << c.name;
    EXPECT_EQ(app.ProjectFolder, "C:\\p\\") << c.name;
    EXPECT_TRUE(app.ChapterList.empty()) << c.name;
  }
}

TEST_F(ModelTest, NewProjectWorksInItsOwnFolderWithOneChapter) {
  TOVJavaApp app(machine(), "C:\\p\\missing.ov5", kDefaultVendor, kDefaultPackage, "C:\\work\\");
  EXPECT_EQ(app.WorkFolder, std::string("C:\\work\\") + kStamp);
  EXPECT_TRUE(fs().DirectoryExists(app.WorkFolder));
  EXPECT_EQ(app.ProjectFolder, app.WorkFolder + "\\");
  EXPECT_EQ(app.BaseName, "");
  EXPECT_EQ(app.BundlePath, "");
  ASSERT_EQ(app.ChapterList.size(), 1u);
  EXPECT_EQ(app.ChapterList[0]->Title, "");
}

TEST_F(ModelTest, WorkFolderBaseIsFollowedDirectlyByTheStamp) {
  MakeFolder("C:\\Apps");
  TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\Apps\\Ornivale");
  EXPECT_EQ(app.WorkFolder, std::string("C:\\Apps\\Ornivale") + kStamp);
  EXPECT_TRUE(fs().DirectoryExists(app.WorkFolder));
}

TEST_F(ModelTest, DestructorDeletesTheWorkFolderWithItsContent) {
  std::string workFolder;
  {
    TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
    workFolder = app.WorkFolder;
    MakeFolder(workFolder + "\\sub");
    WriteFile(workFolder + "\\a.txt", "a");
    WriteFile(workFolder + "\\sub\\b.txt", "b");
  }
  EXPECT_FALSE(fs().DirectoryExists(workFolder));
  EXPECT_TRUE(fs().DirectoryExists("C:\\work"));
}

struct TemplateCase {
  const char* text;
  const char* name;
  std::int32_t code1;
  std::int32_t code2;
  std::int32_t status;
};

TEST_F(ModelTest, DescriptorTemplatesParse) {
  const std::vector<TemplateCase> cases = {
      {"MIDlet-1|9|9", "MIDlet-1", 9, 9, 0},
      {" MIDlet-Jar-URL |1| 2 ", "MIDlet-Jar-URL", 1, 2, 0},
      {"x|a|1", "x", -1, 1, -12},
      {"x|-1|0", "x", -1, 0, -12},
      {"x|1", "x", 1, -1, -12},
      {"x|1|2|3", "x", 1, 2, 0},
  };
  for (const TemplateCase& c : cases) {
    const TOVJadItem item(c.text, 5);
    EXPECT_EQ(item.Name, c.name) << c.text;
    EXPECT_EQ(item.Code1, c.code1) << c.text;
    EXPECT_EQ(item.Code2, c.code2) << c.text;
    EXPECT_EQ(item.Status, c.status) << c.text;
    EXPECT_EQ(item.Order, 5) << c.text;
    EXPECT_EQ(item.Value, "") << c.text;
  }
}

struct AddCase {
  const char* name;
  std::int32_t result;
};

TEST_F(ModelTest, AddAttributeChangesTheListOnlyOnSuccess) {
  const std::vector<AddCase> cases = {
      {"  MIDlet-Name  ", -4},
      {"midlet-name", 0},
      {"", -3},
      {"   ", -3},
      {"a|b", -66},
      {" X-Custom ", 0},
  };
  TOVJad jad(machine().system);
  std::size_t expectedCount = jad.Attributes.size();
  for (const AddCase& c : cases) {
    const std::size_t before = jad.Attributes.size();
    EXPECT_EQ(jad.AddAttribute(c.name), c.result) << "'" << c.name << "'";
    if (c.result == 0) {
      ++expectedCount;
      EXPECT_EQ(jad.Attributes.back()->Order, static_cast<std::int32_t>(before)) << c.name;
    }
    EXPECT_EQ(jad.Attributes.size(), expectedCount) << c.name;
  }
  EXPECT_EQ(jad.Attributes.back()->Name, "X-Custom");
}

TEST_F(ModelTest, ProjectSettersKeepValuesInRange) {
  std::vector<std::unique_ptr<TOVItem>> items;
  TVOProjectDef def(items, 200, "com.x", "");
  for (const auto& [given, stored] : std::vector<std::pair<int, int>>{{100, 100}, {200, 200}, {300, 200}, {0, 200}}) {
    def.SetMIDP(given);
    EXPECT_EQ(def.MIDP, stored) << "SetMIDP " << given;
  }
  for (const auto& [given, stored] : std::vector<std::pair<int, int>>{{16, 8}, {0, 0}, {-1, 8}, {8, 8}}) {
    def.SetFontSize(given);
    EXPECT_EQ(def.FontSize, stored) << "SetFontSize " << given;
  }
  def.SetMIDP(200);
  def.SetFullScreen(100);
  EXPECT_EQ(def.GetFullScreen(), 100);
  def.SetMIDP(100);
  EXPECT_EQ(def.GetFullScreen(), 0);
  def.SetFullScreen(100);
  EXPECT_EQ(def.FullScreen, 0);
}

TEST_F(ModelTest, ImageSettersFollowTheProfile) {
  struct TypesCase {
    std::int32_t midp, src, res, wantSrc, wantRes;
  };
  for (const TypesCase& c : std::vector<TypesCase>{
           {100, 300, 200, 300, 100}, {200, 300, 200, 300, 200}, {150, 300, 200, 0, 0}}) {
    TOVImgItem image(machine().system, kSourceFile, "C:\\w");
    image.SetTypes(c.midp, c.src, c.res);
    EXPECT_EQ(image.SrcType, c.wantSrc) << "midp " << c.midp;
    EXPECT_EQ(image.ResType, c.wantRes) << "midp " << c.midp;
  }
  TOVImgItem image(machine().system, kSourceFile, "C:\\w");
  for (const auto& [given, stored] : std::vector<std::pair<int, int>>{{-5, 0}, {150, 100}, {50, 50}}) {
    image.SetQuality(given);
    EXPECT_EQ(image.Quality, stored) << "SetQuality " << given;
  }
}

TEST_F(ModelTest, SchemeIdByIndex) {
  TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
  app.IdColors = "colors";
  app.IdStrings = "strings";
  app.IdIcons = "icons";
  EXPECT_EQ(app.SchemeId(0), "colors");
  EXPECT_EQ(app.SchemeId(1), "strings");
  EXPECT_EQ(app.SchemeId(2), "icons");
  EXPECT_EQ(app.SchemeId(3), "");
  EXPECT_EQ(app.SchemeId(-1), "");
}

}  // namespace
}  // namespace ov::project
