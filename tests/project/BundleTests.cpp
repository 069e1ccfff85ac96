#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "package/Container.h"
#include "project/JavaApp.h"
#include "support/Errors.h"
#include "tests/project/ProjectFixture.h"

namespace ov::project {
namespace {

using testing::BundleBytes;
using testing::BundleMember;
using testing::kStamp;

const std::string kBundle = "C:\\out\\x.ov5";

class BundleTest : public testing::ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    MakeFolder("C:\\out");
    MakeFolder("C:\\work");
  }

  std::unique_ptr<TOVJavaApp> NewProject() {
    return std::make_unique<TOVJavaApp>(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\work\\");
  }

  TOVItem& AddFileItem(TOVJavaApp& app, const std::string& resName, const std::string& data) {
    auto item = std::make_unique<TOVItem>(machine().system, kSourceFile, app.WorkFolder);
    item->ResTxtFile = app.WorkFolder + "\\" + resName;
    WriteFile(item->ResTxtFile, data);
    app.ItemList.push_back(std::move(item));
    return *app.ItemList.back();
  }

  // Everything a document stores, with its working folder written as <W> and each resource file
  // followed by its bytes, so that two documents in different folders compare.
  std::string Describe(const TOVJavaApp& app) {
    std::ostringstream out;
    const auto path = [&](const std::string& p) {
      std::string shown = p;
      if (shown.rfind(app.WorkFolder, 0) == 0) shown = "<W>" + shown.substr(app.WorkFolder.size());
      if (fs().FileExists(p)) shown += " {" + Contents(p).value_or("?") + "}";
      return shown;
    };
    const TVOProjectDef& d = *app.ProjectDef;
    out << app.ID << '|' << app.Title << '|' << app.Description << '|' << app.MIDP << '|' << app.MidletVendor
        << '|' << app.JarSize << '|' << app.ViewChp << ',' << app.SplitMain << ',' << app.SplitLeft << '|'
        << app.IdColors << ',' << app.IdStrings << ',' << app.IdIcons << '|' << path(app.OwnLogo) << '|'
        << path(app.OwnIcon) << '\n';
    out << d.MIDP << '|' << d.JavaPackage << '|' << d.Pwd << '|' << d.Encrypt << '|' << d.MarqOn << '|'
        << d.FontSize << '|' << d.HLiteMode << '|' << d.GetFullScreen() << '|' << d.StartDlg << d.CloseDlg
        << d.ExitDlg << '|' << d.LogoMoves << '|' << d.CustomList << '|' << d.Messages[0] << ','
        << d.Messages[1] << ',' << d.Messages[2] << '\n';
    for (const auto& a : app.Jad->Attributes) out << a->Name << '=' << a->Value << '\n';
    for (const auto& c : app.ChapterList) {
      out << "chapter " << c->ID << '|' << c->ItemIdx << '|' << c->ItemCount << '|' << c->Title << '\n';
    }
    for (const auto& i : app.ItemList) {
      out << "item " << i->ID << '|' << i->mType << '|' << i->Type << '|' << i->HighLite << '|'
          << int{i->TabSeparator} << '|' << i->Title << '|' << i->SheetTitle << '|' << i->ColWidths << '|'
          << path(i->SrcTxtFile) << '|' << path(i->ResTxtFile) << '|' << i->SheetIdx << '|' << i->CinV << '|'
          << i->SplitPos << '|' << i->TxtUrl << '|' << i->ImgID << '|' << i->ChpID << '|' << i->Header << '|'
          << i->Clipboard << '\n';
    }
    for (const auto& m : app.ImageList) {
      out << "image " << m->ID << '|' << m->mType << '|' << m->ImgUrl << '|' << m->Caption << '|'
          << path(m->ResImgFile) << '|' << path(m->ResPngFile) << '|' << path(m->SrcImgFile) << '|'
          << m->SrcType << '|' << m->ResType << '|' << m->Mono << '|' << m->Quality << '|' << m->Clipboard
          << '\n';
    }
    return out.str();
  }
};

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST_F(BundleTest, GoldenBundleAndLoadBack) {
  const std::string stamp = kStamp;
  TOVJavaApp app(machine(), "", "Acme", "com.acme.demo", "C:\\work\\");
  const std::string w = app.WorkFolder;
  app.Title = "Demo";
  app.Description = "A demo";
  app.IdColors = "COL_1";
  app.Jad->Attributes[1]->SetValue("Demo");
  app.ChapterList[0]->Title = "Start";
  app.ChapterList[0]->ItemCount = 3;

  TOVItem& intro = AddFileItem(app, "a.txt", "alpha");
  intro.ID = "D_1";
  intro.Title = "Intro";
  intro.SrcTxtFile = "D:\\src\\a.doc";
  intro.ImgID = "IMG_1";
  intro.ChpID = "CHP_" + stamp;
  TOVItem& pasted = AddFileItem(app, "b.txt", "bravo!");
  pasted.ID = "D_2";
  pasted.Title = "Pasted";
  pasted.Clipboard = true;
  pasted.SrcTxtFile = w + "\\clip.txt";
  WriteFile(pasted.SrcTxtFile, "clip");
  pasted.SheetIdx = -1;
  pasted.SplitPos = -1;
  auto table = std::make_unique<TOVItem>(machine().system, kSourceUrl, w);
  table->ID = "D_3";
  table->Type = kItemTable;
  table->Title = "Prices";
  table->TxtUrl = "http://example.com/t.csv";
  table->TabSeparator = ';';
  table->Header = "a;b";
  table->ColWidths = "40,60";
  table->HighLite = 100;
  table->SplitPos = -1;
  app.ItemList.push_back(std::move(table));

  auto picture = std::make_unique<TOVImgItem>(machine().system, kSourceFile, w);
  picture->ID = "IMG_1";
  picture->Caption = "Pic";
  picture->SrcImgFile = "D:\\src\\p.bmp";
  picture->SetTypes(200, kImageBmp, kImagePng);
  picture->Quality = 80;
  picture->ResImgFile = w + "\\p.png";
  picture->ResPngFile = w + "\\p.png";  // the same file, stored once
  WriteFile(picture->ResImgFile, "PNGDATA");
  app.ImageList.push_back(std::move(picture));
  auto web = std::make_unique<TOVImgItem>(machine().system, kSourceUrl, w);
  web->ID = "IMG_2";
  web->Caption = "Web";
  web->ImgUrl = "http://example.com/i.png";
  app.ImageList.push_back(std::move(web));
  app.OwnLogo = w + "\\logo.png";
  WriteFile(app.OwnLogo, "LOGO");

  ASSERT_EQ(app.SaveProject(kBundle), 0);
  EXPECT_FALSE(app.Modified);

  std::vector<std::string> doc = {
      "[Document]", "MIDP=200", "Title=Demo", "Description=A demo", "Pwd=", "ID=OVID_" + stamp,
      "JavaPackage=com.acme.demo", "MidletVendor=Acme", "Encrypt=0", "Items=3", "Images=2", "Chapters=1",
      "Descriptors=17", "IdColors=COL_1", "IdStrings=", "IdIcons=", "OwnLogo=logo.png",
      "[Prez]", "ViewChp=250", "SplitMain=225", "SplitLeft=375",
      "[Preferences]", "JarSize=0", "MarqOn=100", "FontSize=8", "HLiteMode=100", "FullScreen=100", "StartDlg=0",
      "CloseDlg=0", "ExitDlg=0", "LogoMoves=0", "CustomList=100", "MsgStart=", "MsgClose=", "MsgExit="};
  const std::vector<std::string> attributes = {
      "MIDlet-1", "MIDlet-Name", "MIDlet-Version", "MIDlet-Vendor", "MicroEdition-Profile",
      "MicroEdition-Configuration", "MIDlet-Jar-URL", "MIDlet-Jar-Size", "MIDlet-Description", "MIDlet-Icon",
      "MIDlet-Info-URL", "MIDlet-Data-Size", "MIDlet-Install-Notify", "MIDlet-Delete-Notify",
      "MIDlet-Delete-Confirm", "MIDlet-Permissions", "MIDlet-Permissions-Opt"};
  for (std::size_t n = 0; n < attributes.size(); ++n) {
    doc.insert(doc.end(), {"[Descriptor_" + std::to_string(n) + "]", "Id=" + attributes[n],
                           std::string("Value=") + (n == 1 ? "Demo" : "")});
  }
  doc.insert(doc.end(), {
      "[Chapter_0]", "Id=CHP_" + stamp, "ItemIdx=0", "ItemCount=3", "Title=Start",
      "[Item_0]", "Id=D_1", "mType=100", "Type=10", "Title=Intro", "SrcTxtFile=D:\\src\\a.doc", "ResTxtFile=a.txt",
      "ImgID=IMG_1", "TabSeparator=0", "HighLite=-1", "CinV=1", "ChpId=CHP_" + stamp, "SheetIdx=0", "SheetTitle=",
      "SplitPos=0",
      "[Item_1]", "Id=D_2", "mType=100", "Type=10", "Title=Pasted", "SrcTxtFile=" + w + "\\clip.txt",
      "ResTxtFile=b.txt", "ImgID=", "TabSeparator=0", "HighLite=-1", "CinV=1", "ChpId=", "Clipboard=100",
      "[Item_2]", "Id=D_3", "mType=200", "Type=20", "HighLite=100", "Title=Prices",
      "TxtUrl=http://example.com/t.csv", "ImgId=", "ChpId=", "TabSeparator=59", "Header=a;b", "CinV=1",
      "ColWidths=40,60",
      "[Image_0]", "mType=100", "Caption=Pic", "ID=IMG_1", "SrcType=400", "ResType=100", "SrcImgFile=D:\\src\\p.bmp",
      "Mono=0", "Quality=80", "ResImgFile=p.png", "ResPngFile=p.png",
      "[Image_1]", "mType=200", "Caption=Web", "ID=IMG_2", "ImgUrl=http://example.com/i.png"});

  const std::string expected = BundleBytes("OVID_" + stamp, {{"x.mjp", Lines(doc)},
                                                             {"a.txt", "alpha"},
                                                             {"b.txt", "bravo!"},
                                                             {"clip.txt", "clip"},
                                                             {"p.png", "PNGDATA"},
                                                             {"logo.png", "LOGO"}});
  const std::string actual = Contents(kBundle).value_or("");
  ASSERT_EQ(actual.size(), expected.size());
  EXPECT_EQ(actual.substr(0, 99), expected.substr(0, 99));
  EXPECT_EQ(actual, expected);
  // Nothing but the bundle is left beside it.
  EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"x.ov5"});

  auto loaded = Open(kBundle, "C:\\work2\\");
  ASSERT_EQ(loaded->ReadBundle(kBundle, loaded->WorkFolder), 0);
  EXPECT_EQ(Describe(*loaded), Describe(app));
  EXPECT_FALSE(fs().FileExists(loaded->WorkFolder + "\\x.mjp"));
}

TEST_F(BundleTest, MinimalProjectIsHeaderDocumentAndOneLine) {
  auto app = NewProject();
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  const std::string bytes = Contents(kBundle).value_or("");
  const std::int32_t offset = package::ReadCatalogueOffset(fs(), kBundle);
  ASSERT_GT(offset, 99);
  const std::string documentSize = std::to_string(offset - 99);
  EXPECT_EQ(bytes.substr(0, 39), "OrnivaleProject:OVID_" + std::string(kStamp) + "\r\n");
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(offset)), "x.mjp,99," + documentSize + "\r\n");
  EXPECT_EQ(bytes.substr(99, 12), "[Document]\r\n");
}

TEST_F(BundleTest, RenamedBundleHasNoDocumentForItsName) {
  auto app = NewProject();
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  ASSERT_TRUE(fs().MoveFileReplacing(kBundle, "C:\\out\\y.ov5"));
  auto renamed = Open("C:\\out\\y.ov5");
  EXPECT_EQ(renamed->ReadBundle("C:\\out\\y.ov5", renamed->WorkFolder), -3);
  EXPECT_TRUE(renamed->ChapterList.empty());
}

TEST_F(BundleTest, ReadBundleResults) {
  WriteFile("C:\\out\\header.ov5", BundleBytes("OVID_1", {}));
  WriteFile("C:\\out\\text.ov5", "just some text\r\nwith lines\r\n");
  struct Case {
    const char* path;
    std::int32_t status;
  };
  for (const Case& c : std::vector<Case>{{"C:\\out\\none.ov5", -1},
                                        {"C:\\out\\header.ov5", -1},
                                        {"C:\\out\\text.ov5", -3}}) {
    auto app = Open(c.path);
    EXPECT_EQ(app->ReadBundle(c.path, app->WorkFolder), c.status) << c.path;
  }
}

TEST_F(BundleTest, EmptyMemberIsListedButNotRecreated) {
  auto app = NewProject();
  AddFileItem(*app, "e.txt", "");
  AddFileItem(*app, "f.txt", "full");
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  const std::string bytes = Contents(kBundle).value_or("");
  const std::string catalogue = bytes.substr(static_cast<std::size_t>(package::ReadCatalogueOffset(fs(), kBundle)));
  const std::size_t fullAt = bytes.size() - catalogue.size() - 4;
  EXPECT_NE(catalogue.find("\r\ne.txt," + std::to_string(fullAt) + ",0\r\nf.txt," + std::to_string(fullAt) +
                           ",4\r\n"),
            std::string::npos)
      << catalogue;

  auto loaded = Open(kBundle, "C:\\work2\\");
  ASSERT_EQ(loaded->ReadBundle(kBundle, loaded->WorkFolder), 0);
  EXPECT_FALSE(fs().FileExists(loaded->WorkFolder + "\\e.txt"));
  EXPECT_EQ(Contents(loaded->WorkFolder + "\\f.txt"), "full");
}

TEST_F(BundleTest, LinesThatDoNotConvertAreSkipped) {
  const std::string doc = "[Document]\r\nTitle=T\r\n";
  WriteFile(kBundle, BundleBytes("OVID_1", {{"x.mjp", doc}, {"r.txt", "data"}},
                                 {"a,1,2,3", "b,x,4", "c,99", "", "d, 99, 4"}));
  auto app = Open(kBundle);
  bool allUnpacked = false;
  ASSERT_EQ(app->ReadBundle(kBundle, app->WorkFolder, &allUnpacked), 0);
  EXPECT_TRUE(allUnpacked);
  EXPECT_EQ(app->Title, "T");
  EXPECT_EQ(Names(app->WorkFolder), std::vector<std::string>{"r.txt"});
}

TEST_F(BundleTest, ReadingAgainReplacesUnpackedFiles) {
  WriteFile(kBundle, BundleBytes("OVID_1", {{"x.mjp", "[Document]\r\n"}, {"r.txt", "data"}}));
  auto app = Open(kBundle);
  ASSERT_EQ(app->ReadBundle(kBundle, app->WorkFolder), 0);
  WriteFile(app->WorkFolder + "\\r.txt", "changed and longer");
  ASSERT_EQ(app->ReadBundle(kBundle, app->WorkFolder), 0);
  EXPECT_EQ(Contents(app->WorkFolder + "\\r.txt"), "data");
}

TEST_F(BundleTest, MemberNamesNeverLeaveTheTargetFolder) {
  MakeFolder("C:\\work\\target\\sub");
  const std::vector<std::string> names = {"..\\evil1.txt", "sub\\evil2.txt", "C:evil3.txt", "/evil4.txt",
                                          "C:\\evil5.txt", "evil6.txt.",     "CON",         "lpt1.txt",
                                          "a?b",           "..",             "NUL .txt"};
  std::vector<BundleMember> members = {{"x.mjp", "[Document]\r\nTitle=Safe\r\n"}};
  for (const std::string& name : names) members.push_back({name, "evil"});
  members.push_back({"good.txt", "good"});
  WriteFile(kBundle, BundleBytes("OVID_1", members, {"far.txt,99,100000"}));

  auto app = Open(kBundle);
  bool allUnpacked = true;
  EXPECT_EQ(app->ReadBundle(kBundle, "C:\\work\\target", &allUnpacked), 0);
  EXPECT_FALSE(allUnpacked);
  EXPECT_EQ(app->Title, "Safe");
  EXPECT_EQ(Names("C:\\work\\target"), (std::vector<std::string>{"good.txt", "sub"}));
  EXPECT_TRUE(Names("C:\\work\\target\\sub").empty());
  EXPECT_EQ(Names("C:\\work").size(), 2u);  // the target and the document's working folder
  EXPECT_FALSE(fs().FileExists("C:\\evil3.txt"));
  EXPECT_FALSE(fs().FileExists("C:\\evil4.txt"));
  EXPECT_FALSE(fs().FileExists("C:\\evil5.txt"));
}

TEST_F(BundleTest, FailedRewriteKeepsTheOldBundle) {
  auto app = NewProject();
  AddFileItem(*app, "a.txt", "alpha");
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  const auto old = Contents(kBundle);
  app->Title = "Changed";

  emulated().FailWritesUnder(kBundle);  // the finished bundle cannot replace the old one
  EXPECT_EQ(app->SaveProject(kBundle), -1);
  EXPECT_TRUE(app->Modified);
  emulated().ClearFaults();
  EXPECT_EQ(Contents(kBundle), old);
  EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"x.ov5"});

  WriteFile("C:\\out\\x.mjp", "[Document]\r\nTitle=Changed\r\n");
  emulated().FillDiskAfter('C', 150);  // the disk fills while the new bundle is written
  EXPECT_EQ(app->WriteBundle(kBundle, "C:\\out\\x.mjp"), -1);
  emulated().ClearFaults();
  EXPECT_EQ(Contents(kBundle), old);
  EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"x.ov5"});
}

TEST_F(BundleTest, MissingClipboardSourceFailsTheSaveAndKeepsTheOldBundle) {
  auto app = NewProject();
  TOVItem& item = AddFileItem(*app, "a.txt", "alpha");
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  const auto old = Contents(kBundle);
  item.Clipboard = true;
  item.SrcTxtFile = app->WorkFolder + "\\gone.txt";
  EXPECT_THROW(app->BundleResourceSize(), OvError);
  EXPECT_EQ(app->SaveProject(kBundle), -1);
  EXPECT_TRUE(app->Modified);
  EXPECT_EQ(Contents(kBundle), old);
  EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"x.ov5"});
}

TEST_F(BundleTest, UnreadableMemberIsLeftOutAndTheCatalogueStillFound) {
  auto app = NewProject();
  AddFileItem(*app, "a.txt", "alpha");
  AddFileItem(*app, "b.txt", "bravo");
  EXPECT_EQ(app->BundleResourceSize(), 10);
  {
    // Another reader holds a.txt open: its size can be taken, its bytes cannot be had alone.
    auto holder = fs().Open(app->WorkFolder + "\\a.txt", platform::FileAccess::Read,
                            platform::FileShare::ReadWrite, platform::FileCreate::OpenExisting);
    ASSERT_TRUE(holder);
    ASSERT_EQ(app->SaveProject(kBundle), 0);
  }
  std::vector<std::string> lines;
  ASSERT_EQ(package::ReadBundleCatalogue(fs(), kBundle, &lines), 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("x.mjp,99,", 0), 0u);
  EXPECT_EQ(lines[1].rfind("b.txt,", 0), 0u);

  auto loaded = Open(kBundle, "C:\\work2\\");
  ASSERT_EQ(loaded->ReadBundle(kBundle, loaded->WorkFolder), 0);
  EXPECT_EQ(Contents(loaded->WorkFolder + "\\b.txt"), "bravo");
  EXPECT_FALSE(fs().FileExists(loaded->WorkFolder + "\\a.txt"));
}

TEST_F(BundleTest, TitleFileNamesCannotHoldStillSaves) {
  auto app = NewProject();
  app->Title = "Q&A: \"What?\" <1/2> *|*";
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  auto loaded = Open(kBundle, "C:\\work2\\");
  ASSERT_EQ(loaded->ReadBundle(kBundle, loaded->WorkFolder), 0);
  EXPECT_EQ(loaded->Title, app->Title);
}

TEST_F(BundleTest, IdThatWouldSpoilTheHeaderFailsTheSave) {
  auto app = NewProject();
  ASSERT_EQ(app->SaveProject(kBundle), 0);
  const auto old = Contents(kBundle);
  for (const std::string& id : {std::string("OVID_1|2"), "OVID_" + std::string(80, '9')}) {
    app->ID = id;
    EXPECT_EQ(app->SaveProject(kBundle), -1) << id;
    EXPECT_EQ(Contents(kBundle), old) << id;
    EXPECT_EQ(Names("C:\\out"), std::vector<std::string>{"x.ov5"}) << id;
  }
}

}  // namespace
}  // namespace ov::project
