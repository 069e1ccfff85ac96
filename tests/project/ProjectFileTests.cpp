#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "project/JavaApp.h"
#include "support/ProfileFile.h"
#include "tests/project/ProjectFixture.h"

namespace ov::project {
namespace {

using testing::kStamp;

const std::string kDoc = "C:\\p\\doc.mjp";

class ProjectFileTest : public testing::ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    MakeFolder("C:\\p");
    MakeFolder("C:\\out");
  }

  std::unique_ptr<TOVJavaApp> Load(const std::string& text) {
    WriteFile(kDoc, text);
    auto app = Open(kDoc);
    app->LoadProjectFile(kDoc);
    return app;
  }
};

struct LoadCase {
  const char* name;
  std::string text;
  std::function<void(const TOVJavaApp&)> check;
};

TEST_F(ProjectFileTest, LoadAppliesDefaultsAndCorrections) {
  const std::vector<LoadCase> cases = {
      {"empty vendor and bad package take the defaults",
       "[Document]\r\nMidletVendor=\r\nJavaPackage=com.my_app\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.MidletVendor, "Velmorra srl");
         EXPECT_EQ(app.ProjectDef->JavaPackage, "com.velmorra.ornivale");
       }},
      {"missing vendor and package take the defaults", "[Document]\r\nTitle=T\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.MidletVendor, "Velmorra srl");
         EXPECT_EQ(app.ProjectDef->JavaPackage, "com.velmorra.ornivale");
         EXPECT_EQ(app.Title, "T");
       }},
      {"accepted package is normalised", "[Document]\r\nJavaPackage=com..app\r\nMidletVendor=Acme\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.ProjectDef->JavaPackage, "com");
         EXPECT_EQ(app.MidletVendor, "Acme");
       }},
      {"missing description differs from an empty one", "[Document]\r\nTitle=x\r\n",
       [](const TOVJavaApp& app) { EXPECT_EQ(app.Description, "no description"); }},
      {"empty description stays empty", "[Document]\r\nDescription=\r\n",
       [](const TOVJavaApp& app) { EXPECT_EQ(app.Description, ""); }},
      {"stored ID replaces the new one, an empty one does not", "[Document]\r\nID=OVID_1\r\n",
       [](const TOVJavaApp& app) { EXPECT_EQ(app.ID, "OVID_1"); }},
      {"empty ID keeps the new one", "[Document]\r\nID=\r\n",
       [](const TOVJavaApp& app) { EXPECT_EQ(app.ID, std::string("OVID_") + kStamp); }},
      {"font size is 0 or 8", "[Preferences]\r\nFontSize=16\r\n",
       [](const TOVJavaApp& app) { EXPECT_EQ(app.ProjectDef->FontSize, 8); }},
      {"read defaults differ from creation defaults", "[Document]\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.ProjectDef->FontSize, 0);
         EXPECT_EQ(app.ProjectDef->MarqOn, 0);
         EXPECT_EQ(app.ProjectDef->FullScreen, 0);
         EXPECT_FALSE(app.ProjectDef->CustomList);
         EXPECT_EQ(app.ProjectDef->HLiteMode, 100);
         EXPECT_EQ(app.MIDP, 200);
         EXPECT_EQ(app.ViewChp, 250);
         EXPECT_EQ(app.SplitLeft, 375);
       }},
      {"no full screen under MIDP 1.0", "[Document]\r\nMIDP=100\r\n[Preferences]\r\nFullScreen=100\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.ProjectDef->FullScreen, 0);
         EXPECT_EQ(app.ProjectDef->MIDP, 100);
       }},
      {"an unknown profile is kept as read but validated for the generator", "[Document]\r\nMIDP=0x12C\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.MIDP, 300);
         EXPECT_EQ(app.ProjectDef->MIDP, 200);
       }},
      {"custom list is on above 0", "[Preferences]\r\nCustomList=5\r\n",
       [](const TOVJavaApp& app) { EXPECT_TRUE(app.ProjectDef->CustomList); }},
      {"descriptor names are matched by position",
       "[Document]\r\nDescriptors=5\r\n[Descriptor_1]\r\nId=midlet-name\r\nValue=Demo\r\n"
       "[Descriptor_4]\r\nId=MIDlet-Name\r\nValue=Wrong\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_EQ(app.Jad->Attributes[1]->Value, "Demo");
         EXPECT_EQ(app.Jad->Attributes[4]->Value, "");
         EXPECT_EQ(app.Jad->Attributes.size(), 17u);
       }},
      {"a descriptor beyond the list is added, a known name is skipped",
       "[Document]\r\nDescriptors=19\r\n[Descriptor_17]\r\nId=X-New\r\nValue=1\r\n"
       "[Descriptor_18]\r\nId=MIDlet-Icon\r\nValue=i.png\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.Jad->Attributes.size(), 18u);
         EXPECT_EQ(app.Jad->Attributes[17]->Name, "X-New");
         EXPECT_EQ(app.Jad->Attributes[17]->Value, "1");
         EXPECT_EQ(app.Jad->Attributes[9]->Value, "");
       }},
      {"no Chapters key gives one chapter from Chapter_0",
       "[Document]\r\nTitle=x\r\n[Chapter_0]\r\nTitle=First\r\nItemCount=2\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ChapterList.size(), 1u);
         EXPECT_EQ(app.ChapterList[0]->Title, "First");
         EXPECT_EQ(app.ChapterList[0]->ItemCount, 2);
         EXPECT_EQ(app.ChapterList[0]->ID, std::string("CHP_") + kStamp + "_0");
       }},
      {"chapters without sections get numbered IDs", "[Document]\r\nChapters=2\r\n[Chapter_1]\r\nId=CHP_B\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ChapterList.size(), 2u);
         EXPECT_EQ(app.ChapterList[0]->ID, std::string("CHP_") + kStamp + "_0");
         EXPECT_EQ(app.ChapterList[1]->ID, "CHP_B");
       }},
      {"an item of another kind keeps its creation defaults",
       "[Document]\r\nItems=2\r\n[Item_0]\r\nmType=300\r\nTitle=ignored\r\nId=D_X\r\n[Item_1]\r\nTitle=no type\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ItemList.size(), 1u);
         EXPECT_EQ(app.ItemList[0]->mType, 300);
         EXPECT_EQ(app.ItemList[0]->Title, "");
         EXPECT_EQ(app.ItemList[0]->ID, std::string("D_") + kStamp);
         EXPECT_EQ(app.ItemList[0]->HighLite, -1);
       }},
      {"file item defaults and its resource in the working folder",
       "[Document]\r\nItems=1\r\n[Preferences]\r\nHLiteMode=7\r\n[Item_0]\r\nmType=100\r\n"
       "ResTxtFile=D:\\old\\r.txt\r\nSrcTxtFile=D:\\made\\a.doc\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ItemList.size(), 1u);
         const TOVItem& item = *app.ItemList[0];
         EXPECT_EQ(item.HighLite, 7);
         EXPECT_EQ(item.TabSeparator, 124);
         EXPECT_EQ(item.SheetIdx, -1);
         EXPECT_EQ(item.SplitPos, -1);
         EXPECT_EQ(item.CinV, 1);
         EXPECT_EQ(item.ResTxtFile, app.WorkFolder + "\\r.txt");
         EXPECT_EQ(item.SrcTxtFile, "D:\\made\\a.doc");
       }},
      {"clipboard source lives in the working folder, separator keeps its low byte",
       "[Document]\r\nItems=1\r\n[Item_0]\r\nmType=100\r\nClipboard=100\r\nSrcTxtFile=D:\\x\\clip.txt\r\n"
       "TabSeparator=300\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ItemList.size(), 1u);
         EXPECT_TRUE(app.ItemList[0]->Clipboard);
         EXPECT_EQ(app.ItemList[0]->SrcTxtFile, app.WorkFolder + "\\clip.txt");
         EXPECT_EQ(app.ItemList[0]->TabSeparator, 44);
         EXPECT_EQ(app.ItemList[0]->ResTxtFile, "");
       }},
      {"URL item reads its table keys whatever its type",
       "[Document]\r\nItems=1\r\n[Item_0]\r\nmType=200\r\nType=10\r\nTxtUrl=http://x/\r\nHeader=a|b\r\n"
       "TabSeparator=59\r\nImgId=IMG_1\r\nChpID=CHP_1\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ItemList.size(), 1u);
         const TOVItem& item = *app.ItemList[0];
         EXPECT_EQ(item.TxtUrl, "http://x/");
         EXPECT_EQ(item.Header, "a|b");
         EXPECT_EQ(item.TabSeparator, 59);
         EXPECT_EQ(item.ImgID, "IMG_1");
         EXPECT_EQ(item.ChpID, "CHP_1");
       }},
      {"file images without files are dropped, URL images kept",
       "[Document]\r\nImages=3\r\n[Image_0]\r\nmType=100\r\nID=IMG_A\r\nSrcImgFile=D:\\none.bmp\r\n"
       "ResImgFile=gone.png\r\n[Image_1]\r\nmType=200\r\nImgUrl=http://x/i.png\r\n[Image_2]\r\nmType=300\r\n",
       [](const TOVJavaApp& app) {
         ASSERT_EQ(app.ImageList.size(), 1u);
         EXPECT_EQ(app.ImageList[0]->mType, 200);
         EXPECT_EQ(app.ImageList[0]->ImgUrl, "http://x/i.png");
         EXPECT_EQ(app.ImageList[0]->ID, "");
       }},
      {"an absurd count is not followed past the file's end", "[Document]\r\nChapters=2000000000\r\nItems=2000000000\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_LE(app.ChapterList.size(), 4u);  // one per line of the file at most
         EXPECT_TRUE(app.ItemList.empty());
       }},
      // A section numbered just below an absurd count made the load visit every number before it
      // (hours) and make a chapter for each (memory); the bundle fuzz target timed out on it.
      {"a far section under an absurd count is read at once",
       "[Document]\r\nChapters=2147483647\r\nItems=2147483647\r\nImages=2147483647\r\nDescriptors=2147483647\r\n"
       "[Chapter_2147483646]\r\nTitle=far\r\n[Item_2147483646]\r\nmType=200\r\nTitle=far\r\n"
       "[Image_2147483646]\r\nmType=200\r\nImgUrl=http://x/\r\n[Descriptor_2147483646]\r\nId=X-Far\r\nValue=1\r\n",
       [](const TOVJavaApp& app) {
         EXPECT_LE(app.ChapterList.size(), 18u);  // one per line of the file at most
         ASSERT_EQ(app.ItemList.size(), 1u);
         EXPECT_EQ(app.ItemList[0]->Title, "far");
         ASSERT_EQ(app.ImageList.size(), 1u);
         EXPECT_EQ(app.ImageList[0]->ImgUrl, "http://x/");
         ASSERT_EQ(app.Jad->Attributes.size(), 18u);
         EXPECT_EQ(app.Jad->Attributes[17]->Value, "1");
       }},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto app = Load(c.text);
    EXPECT_EQ(app->LoadStatus, 0);
    c.check(*app);
  }
}

TEST_F(ProjectFileTest, FileImageIsKeptWhenItsResourceIsInTheWorkFolder) {
  WriteFile(kDoc,
            "[Document]\r\nMIDP=100\r\nImages=1\r\n[Image_0]\r\nmType=100\r\nID=IMG_A\r\nSrcType=300\r\nResType=200\r\n"
            "ResImgFile=E:\\elsewhere\\p.png\r\nResPngFile=q.png\r\nQuality=150\r\n");
  auto app = Open(kDoc);
  WriteFile(app->WorkFolder + "\\p.png", "png");
  app->LoadProjectFile(kDoc);
  ASSERT_EQ(app->ImageList.size(), 1u);
  const TOVImgItem& image = *app->ImageList[0];
  EXPECT_EQ(image.ID, "IMG_A");
  EXPECT_EQ(image.ResImgFile, app->WorkFolder + "\\p.png");
  EXPECT_EQ(image.ResPngFile, app->WorkFolder + "\\q.png");
  EXPECT_EQ(image.SrcType, 300);
  EXPECT_EQ(image.ResType, 100);  // MIDP 1.0 shows PNG only
  EXPECT_EQ(image.Quality, 100);
}

TEST_F(ProjectFileTest, OwnLogoIsKeptOnlyWhenItsFileIsThere) {
  WriteFile(kDoc, "[Document]\r\nOwnLogo=D:\\x\\logo.png\r\nOwnIcon=icon.png\r\n");
  auto app = Open(kDoc);
  WriteFile(app->WorkFolder + "\\logo.png", "logo");
  app->LoadProjectFile(kDoc);
  EXPECT_EQ(app->OwnLogo, app->WorkFolder + "\\logo.png");
  EXPECT_EQ(app->OwnIcon, "");
}

TEST_F(ProjectFileTest, MissingDocumentSetsLoadStatusOnly) {
  auto app = Open("C:\\p\\none.mjp");
  const std::string id = app->ID;
  app->LoadProjectFile("C:\\p\\none.mjp");
  EXPECT_EQ(app->LoadStatus, -117);
  EXPECT_EQ(app->ID, id);
  EXPECT_EQ(app->MidletVendor, kDefaultVendor);
}

TEST_F(ProjectFileTest, SaveWritesBackTheCorrectedValues) {
  auto app = Load(
      "[Document]\r\nMIDP=100\r\nItems=2\r\nUnknown=1\r\n[Preferences]\r\nCustomList=5\r\nFullScreen=100\r\n"
      "FontSize=3\r\n[Item_0]\r\nmType=300\r\n[Item_1]\r\nmType=200\r\nType=10\r\nHeader=h\r\nTxtUrl=u\r\n");
  // A document left beside the bundle by an earlier run lends none of its keys.
  WriteFile("C:\\out\\x.mjp", "[Item_1]\r\nSplitPos=5\r\nColWidths=9\r\n");
  ASSERT_EQ(app->SaveProject("C:\\out\\x.ov5"), 0);
  auto reopened = Open("C:\\out\\x.ov5");
  ASSERT_EQ(reopened->ReadBundle("C:\\out\\x.ov5", reopened->WorkFolder), 0);
  EXPECT_TRUE(reopened->ProjectDef->CustomList);
  EXPECT_EQ(reopened->ProjectDef->FullScreen, 0);
  EXPECT_EQ(reopened->ProjectDef->FontSize, 8);
  ASSERT_EQ(reopened->ItemList.size(), 1u);  // the 300 item used up number 0 without a section
  EXPECT_EQ(reopened->ItemList[0]->mType, 200);
  EXPECT_EQ(reopened->ItemList[0]->Header, "");  // table keys survive only for Type 20
  EXPECT_EQ(reopened->ItemList[0]->SplitPos, -1);
  EXPECT_EQ(reopened->ItemList[0]->ColWidths, "");
  EXPECT_FALSE(fs().FileExists("C:\\out\\x.mjp"));
}

struct SaveCase {
  const char* path;
  std::int32_t status;
};

TEST_F(ProjectFileTest, SaveRefusesNamesThatAreNoPlainIdentifier) {
  const std::vector<SaveCase> cases = {
      {"C:\\out\\1x.ov5", -11},     {"C:\\out\\my_app.ov5", -11}, {"C:\\out\\my-app.ov5", -11},
      {"C:\\out\\.ov5", -11},       {"C:\\out\\x.mjp", -1},       {"C:\\out\\x", -1},
      {"C:\\out\\x.ov5.bak", -1},
  };
  for (const SaveCase& c : cases) {
    TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
    EXPECT_EQ(app.SaveProject(c.path), c.status) << c.path;
    EXPECT_TRUE(app.Modified) << c.path;
    EXPECT_TRUE(Names("C:\\out").empty()) << c.path;
  }
}

TEST_F(ProjectFileTest, SaveTrimsThePathAndAcceptsTheExtensionInAnyCase) {
  TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
  app.Modified = true;
  EXPECT_EQ(app.SaveProject("  C:\\out\\Demo.OV5 "), 0);
  EXPECT_FALSE(app.Modified);
  EXPECT_EQ(app.BaseName, "Demo");
  EXPECT_EQ(app.ProjectFolder, "C:\\out\\");
  EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"Demo.OV5"});
}

TEST_F(ProjectFileTest, DocumentWriteFailureFailsTheSave) {
  TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
  emulated().FailWritesUnder("C:\\out");
  EXPECT_EQ(app.SaveProject("C:\\out\\x.ov5"), -1);
  EXPECT_TRUE(app.Modified);
  emulated().ClearFaults();
  EXPECT_TRUE(Names("C:\\out").empty());
}

}  // namespace
}  // namespace ov::project
