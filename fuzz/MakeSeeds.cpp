// Writes the fuzz targets' seed corpora with our own writers: a sample project saved as a bundle, its
// document, small packages (one carrying the sample), and a few hand-made hostile cases.
//   ov_fuzz_seeds <corpus folder>     (writes <folder>/<target>/<seed>)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "package/Container.h"
#include "package/PackageWriter.h"
#include "project/JavaApp.h"
#include "support/Files.h"

namespace {

using namespace ov;

constexpr const char* kPackageId = "OrnivalePackage:OVID_39522_5000000000";

void WriteSeed(const std::filesystem::path& folder, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
  std::printf("%s/%s: %zu bytes\n", folder.string().c_str(), name.c_str(), bytes.size());
}

// A project with two chapters, a file text, a table from a URL, a file picture, a URL picture, an own
// logo and descriptor values, saved as the bundle x.ov5.
std::string SampleBundle(platform::Machine& machine) {
  project::TOVJavaApp app(machine, "C:\\seeds\\new.ov5", project::kDefaultVendor, project::kDefaultPackage,
                          "C:\\seeds\\work");
  platform::FileSystem& fs = machine.files;
  app.Title = "Demo";
  app.Description = "A sample";
  app.ChapterList.push_back(std::make_unique<project::TOVChapter>(machine.system));
  app.ChapterList.back()->Title = "Second";
  app.ChapterList.back()->ItemCount = 1;

  fuzz::PutFile(fs, app.WorkFolder + "\\t.txt", "Hello\r\nWorld\r\n");
  auto text = std::make_unique<project::TOVItem>(machine.system, project::kSourceFile, app.WorkFolder);
  text->Title = "Greeting";
  text->SrcTxtFile = "C:\\Authoring\\Texts\\a.txt";
  text->ResTxtFile = app.WorkFolder + "\\t.txt";
  text->SheetIdx = 0;
  text->SheetTitle = "Sheet1";
  app.ItemList.push_back(std::move(text));
  auto table = std::make_unique<project::TOVItem>(machine.system, project::kSourceUrl, app.WorkFolder);
  table->Type = project::kItemTable;
  table->TxtUrl = "http://example.invalid/t.csv";
  table->Header = "a|b";
  table->TabSeparator = 59;
  app.ItemList.push_back(std::move(table));

  fuzz::PutFile(fs, app.WorkFolder + "\\p.png", "\x89PNG\r\n\x1a\n");
  auto picture = std::make_unique<project::TOVImgItem>(machine.system, project::kSourceFile, app.WorkFolder);
  picture->Caption = "Picture";
  picture->SrcImgFile = "C:\\Authoring\\Pictures\\p.bmp";
  picture->ResImgFile = app.WorkFolder + "\\p.png";
  picture->ResPngFile = app.WorkFolder + "\\p.png";
  picture->SetTypes(project::kMidp20, project::kImageBmp, project::kImagePng);
  app.ImageList.push_back(std::move(picture));
  auto remote = std::make_unique<project::TOVImgItem>(machine.system, project::kSourceUrl, app.WorkFolder);
  remote->ImgUrl = "http://example.invalid/p.png";
  app.ImageList.push_back(std::move(remote));

  fuzz::PutFile(fs, app.WorkFolder + "\\logo.png", "logo");
  app.OwnLogo = app.WorkFolder + "\\logo.png";
  app.Jad->Attributes.front()->SetValue("Demo");
  app.Jad->AddAttribute("MIDlet-Info-URL");
  app.Jad->Attributes.back()->SetValue("http://example.invalid/");

  OV_FUZZ_CHECK(app.SaveProject("C:\\seeds\\x.ov5") == 0, "the sample does not save");
  std::optional<std::string> bytes = ReadWholeFile(fs, "C:\\seeds\\x.ov5");
  OV_FUZZ_CHECK(bytes.has_value(), "the sample bundle cannot be read");
  return *bytes;
}

// The first member of a bundle: its document.
std::string DocumentOf(const std::string& bundle) {
  const std::int32_t offset = package::CatalogueOffsetFromHeader(bundle).value_or(0);
  const std::vector<std::string> lines =
      package::SplitCatalogueText(bundle.substr(static_cast<std::size_t>(offset)));
  const std::string& first = lines.at(0);
  const std::size_t size = std::stoul(first.substr(first.rfind(',') + 1));
  return bundle.substr(package::kHeaderLength, size);
}

std::string Package(const std::vector<package::PackMember>& members) {
  std::string problem;
  std::optional<std::string> bytes = package::BuildPackage(kPackageId, members, problem);
  OV_FUZZ_CHECK(bytes.has_value(), problem);
  return *bytes;
}

// A package whose catalogue is the given text, whatever it says; the members are padding.
std::string RawPackage(const std::string& catalogue) {
  const std::string members(1200, 'm');
  return package::BuildContainerHeader(kPackageId, static_cast<std::int32_t>(99 + members.size())) + members +
         catalogue;
}

std::int32_t Dos(int year, int month, int day) {
  return static_cast<std::int32_t>(((year - 1980) << 25) | (month << 21) | (day << 16) | (12 << 11));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ov_fuzz_seeds <corpus folder>\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  platform::Machine& machine = fuzz::Machine().machine();

  const std::string bundle = SampleBundle(machine);
  const std::string document = DocumentOf(bundle);
  WriteSeed(out / "bundle", "sample.ov5", bundle);
  WriteSeed(out / "bundle", "sample-document", "\x01" + document);
  // Sections numbered just below absurd counts: a load must not visit every number before them.
  WriteSeed(
      out / "bundle", "far-sections",
      "\x01[Document]\r\nChapters=2147483647\r\nItems=2147483647\r\nImages=2147483647\r\n"
      "Descriptors=2147483647\r\n[Chapter_2147483646]\r\nTitle=far\r\n[Item_2147483646]\r\nmType=200\r\n"
      "[Image_2147483646]\r\nmType=200\r\n[Descriptor_2147483646]\r\nId=X-Far\r\nValue=1\r\n");
  WriteSeed(out / "profile", "sample.mjp", document + "Document/Title=Renamed");
  WriteSeed(
      out / "profile", "quirks.ini",
      "; comment\r\n[Doc]\r\nA = \"quoted\"\r\nb='single'\r\nHex=0x1F\r\nNeg=-12\r\n[doc]\r\nA=hidden\r\n"
      "[Open\r\nnokey\r\n=empty\r\n\r\n[Last]\rK=lone CR\nL=lone LF\r\nNew/k= value ");

  const std::string small = Package({{{"\\", "a.txt", 0, Dos(2009, 5, 1)}, "alpha"},
                                     {{"\\Skins", "b.skn", 0, 0}, "bravo!"},
                                     {{"\\SampleContent\\PNGs", "c.png", 0, Dos(2008, 1, 2)}, ""}});
  WriteSeed(out / "container", "small.pck", small);
  WriteSeed(out / "container", "sample.ov5", bundle);
  WriteSeed(
      out / "container", "hostile.pck",
      RawPackage("\\.., up.txt, 99, 4, 0|\r\nC:\\, drive.txt, 103, 4, 0|\r\n\\a, b.txt:stream, 107, 4, 0|\r\n"
                 "\\\\server\\share, unc.txt, 111, 4, 0|\r\n\\a/b, slash.txt, 115, 4, 0|\r\n"
                 "\\, -1.txt, 99, -1, 0|\r\n\\, far.txt, 2147483000, 9000, 0|\r\n\\, ok.txt, 99, 4, 0|\r\n"));
  WriteSeed(out / "container", "bad-header.pck",
            "OrnivalePackage:OVID_39522_5000000000\r\n12x4\r\n-"
            "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\r\n"
            "\\, a.txt, 99, 5, 0|\r\n");

  // The install needs a package of at least 1000 bytes: the product, content, skins and the sample.
  const std::string filler(400, 'f');
  WriteSeed(out / "extract", "install.pck",
            Package({{{"\\", "ornivale.exe", 0, Dos(2009, 5, 1)}, "MZ" + filler},
                     {{"\\SampleContent", "a.txt", 0, Dos(2009, 5, 1)}, "content"},
                     {{"\\SampleContent\\Pictures", "p.bmp", 0, 0}, "BM"},
                     {{"\\Projects", "x.ov5", 0, Dos(2009, 5, 2)}, bundle},
                     {{"\\Skins", "s.skn", 0, 0}, filler}}));
  WriteSeed(out / "extract", "no-samples.pck",
            Package({{{"\\", "ornivale.exe", 0, Dos(2009, 5, 1)}, "MZ" + filler + filler},
                     {{"\\Schemas", "s.xml", 0, 0}, "<s/>" + filler}}));
  WriteSeed(out / "extract", "hostile.pck",
            RawPackage("\\.., up.txt, 99, 4, 0|\r\n\\, ok.txt, 103, 4, 0|\r\n\\a, b.txt:s, 107, 4, 0|\r\n"));
  return 0;
}
