#include "tools/demotree/Samples.h"

#include <memory>
#include <system_error>

#include "platform/emulated/EmulatedMachine.h"
#include "project/JavaApp.h"
#include "support/Dates.h"
#include "support/Errors.h"
#include "support/Files.h"
#include "support/Folders.h"
#include "tools/demotree/Zip.h"

namespace ov::demotree {

namespace {

using project::TOVChapter;
using project::TOVImgItem;
using project::TOVItem;
using project::TOVJavaApp;

enum class From { kFile, kUrl, kClipboard };

struct ItemPlan {
  int Chapter;
  From Kind;
  const char* Source;  // a document of "\SampleContent", a URL, or the pasted text
  const char* Title;
  int Image = -1;  // index into the sample's images
};

struct ImagePlan {
  From Kind;
  // A picture of "\SampleContent" or a URL; for the clipboard, the picture that was copied.
  const char* Source;
  const char* Caption;
  bool Thumbnail = false;  // a small PNG rendition beside the resource picture
};

struct SamplePlan {
  const char* Name;
  const char* Title;
  const char* Description;
  std::int32_t Midp;
  const char* SourceFolder;  // where the sources lay on the machine the sample was made on
  const char* JavaPackage;
  const char* Colours;
  const char* Strings;
  const char* Icons;
  const char* Welcome;
  bool OwnArtwork;
  platform::LocalTime Started;
  std::vector<const char*> Chapters;
  std::vector<ItemPlan> Items;  // in chapter order
  std::vector<ImagePlan> Images;
};

constexpr const char* kLavoro = "D:\\Lavoro\\Esempi\\SampleContent\\";
constexpr const char* kGiulia = "C:\\Documents and Settings\\giulia\\Documenti\\Ornivale\\Contenuti\\";
constexpr const char* kDemo = "E:\\Demo\\Ornivale 1.0\\SampleContent\\";
constexpr const char* kInfoUrl = "http://www.example.com/ornivale/samples/";

const std::vector<SamplePlan>& Plans() {
  static const std::vector<SamplePlan> plans = {
      {"CityGuide",
       "Marvento City Guide",
       "Sights, museums, food and transport of a seaside town",
       project::kMidp20,
       kLavoro,
       "com.velmorra.samples.cityguide",
       "COL_OCEAN",
       "STR_ENGLISH",
       "ICO_ROUND",
       "Welcome to Marvento!",
       true,
       {2009, 5, 4, 9, 12, 0, 0},
       {"Sights", "Eating out", "Getting around"},
       {{0, From::kFile, "CityGuide_Sights.rtf", "Sights", 0},
        {0, From::kFile, "CityGuide_Museums.rtf", "Museums", 1},
        {1, From::kFile, "CityGuide_Restaurants.txt", "Restaurants", 2},
        {2, From::kFile, "CityGuide_Transport.htm", "Transport"}},
       {{From::kFile, "harbour.bmp", "The harbour at dawn"},
        {From::kFile, "cathedral.bmp", "San Lorenzo"},
        {From::kFile, "market.png", "The covered market"}}},
      {"Recipes",
       "Cooking by the Sea",
       "Recipes from the coast, with a shopping list",
       project::kMidp20,
       kGiulia,
       "com.velmorra.samples.recipes",
       "COL_SAND",
       "STR_ITALIANO",
       "ICO_SOFT",
       "Buon appetito!",
       false,
       {2009, 5, 11, 15, 40, 0, 0},
       {"Starters", "Main courses", "Desserts", "Shopping"},
       {{0, From::kFile, "Recipes_Starters.txt", "Starters"},
        {1, From::kFile, "Recipes_Mains.txt", "Main courses", 1},
        {2, From::kFile, "Recipes_Desserts.rtf", "Desserts", 0},
        {3, From::kFile, "Recipes_Shopping.csv", "Shopping list"}},
       {{From::kFile, "lemon_tart.png", "Lemon tart"}, {From::kFile, "risotto.bmp", "Seafood risotto"}}},
      {"TrainTimes",
       "Coast and Valley Trains",
       "Timetables of two railway lines, for MIDP 1.0 phones",
       project::kMidp10,
       kLavoro,
       "com.velmorra.samples.trains",
       "COL_CLASSIC",
       "STR_ENGLISH",
       "ICO_SQUARE",
       "",
       false,
       {2009, 5, 18, 10, 5, 0, 0},
       {"Coast line", "Valley line", "Notes"},
       {{0, From::kFile, "Timetable_Coast.csv", "Coast line"},
        {1, From::kFile, "Timetable_Valley.csv", "Valley line"},
        {2, From::kFile, "Timetable_Notes.txt", "Notes", 0}},
       {{From::kFile, "coast_train.png", "The coast train"}}},
      {"PhraseBook",
       "Italian Phrase Book",
       "Phrases for travelling, eating out and emergencies",
       project::kMidp20,
       kGiulia,
       "com.velmorra.samples.phrases",
       "COL_PAPER",
       "STR_ITALIANO",
       "ICO_OUTLINE",
       "",
       false,
       {2009, 5, 20, 17, 22, 0, 0},
       {"Travelling", "At the restaurant", "Emergencies"},
       {{0, From::kFile, "Phrases_Travel.htm", "Travelling"},
        {1, From::kFile, "Phrases_Restaurant.htm", "At the restaurant"},
        {2, From::kFile, "Phrases_Emergency.txt", "Emergencies"}},
       {}},
      {"LightsCatalogue",
       "Velmorra Lights 2009",
       "A product catalogue with a price list",
       project::kMidp20,
       kDemo,
       "com.velmorra.samples.lights",
       "COL_RUBY",
       "STR_ENGLISH",
       "ICO_BOLD",
       "The 2009 collection",
       true,
       {2009, 5, 26, 11, 48, 0, 0},
       {"Collection", "Prices", "Terms"},
       {{0, From::kFile, "Catalogue_Products.rtf", "The collection", 0},
        {1, From::kFile, "Catalogue_Prices.csv", "Price list"},
        {2, From::kFile, "Catalogue_Terms.txt", "Terms of sale"}},
       {{From::kFile, "lamp.png", "The Rete pendant", true}}},
      {"Poems",
       "Poems of Marvento",
       "Three poems, with a cover picture from the web",
       project::kMidp10,
       kDemo,
       "com.velmorra.samples.poems",
       "COL_NIGHT",
       "STR_ENGLISH",
       "ICO_MONO",
       "",
       false,
       {2009, 6, 2, 21, 3, 0, 0},
       {"Poems"},
       {{0, From::kFile, "Poems_Spring.txt", "Spring"},
        {0, From::kFile, "Poems_Sea.txt", "The sea at Marvento"},
        {0, From::kFile, "Poems_Night.rtf", "Night ferry"}},
       {{From::kUrl, "http://www.example.com/ornivale/samples/poems/cover.png", "Cover"}}},
      {"BirdWatch",
       "Birds of the Saline",
       "A checklist, field notes and bird calls",
       project::kMidp20,
       kLavoro,
       "com.velmorra.samples.birds",
       "COL_MEADOW",
       "STR_ENGLISH",
       "ICO_ROUND",
       "Good birding!",
       true,
       {2009, 6, 8, 6, 30, 0, 0},
       {"Checklist", "Field notes", "Calls"},
       {{0, From::kFile, "Birds_Checklist.csv", "Checklist"},
        {1, From::kFile, "Birds_Notes.txt", "Field notes", 0},
        {2, From::kFile, "Birds_Calls.htm", "Bird calls", 1}},
       {{From::kFile, "heron.bmp", "Grey heron"}, {From::kFile, "kingfisher.png", "Kingfisher"}}},
      {"TradeFair",
       "Mobile Media Fair 2009",
       "A fair guide: welcome, programme, exhibitors and news",
       project::kMidp20,
       kDemo,
       "com.velmorra.samples.fair",
       "COL_GRAPHITE",
       "STR_ENGLISH",
       "ICO_BOLD",
       "Welcome to the fair",
       false,
       {2009, 6, 12, 14, 15, 0, 0},
       {"Welcome", "Programme", "Exhibitors", "News"},
       {{0, From::kFile, "TradeFair_Welcome.txt", "Welcome"},
        {1, From::kFile, "TradeFair_Programme.htm", "Programme"},
        {2, From::kFile, "TradeFair_Exhibitors.csv", "Exhibitors", 0},
        {3, From::kUrl, "http://www.example.com/mmf2009/news.txt", "Latest news"}},
       {{From::kFile, "stand_map.bmp", "Map of the halls"}}},
      {"Newsletter",
       "Ornivale News",
       "A newsletter made of pasted text and pages on the web",
       project::kMidp20,
       kGiulia,
       "com.velmorra.samples.news",
       "COL_ICE",
       "STR_ENGLISH",
       "ICO_SOFT",
       "",
       false,
       {2009, 6, 19, 16, 50, 0, 0},
       {"This month", "Archive"},
       {{0, From::kClipboard,
         "Ornivale\x99 1.0 is here. Turn your documents into applications for any Java phone: collect, "
         "arrange, build.\r\nNine sample projects show how.",
         "This month", 0},
        {1, From::kUrl, "http://www.example.com/ornivale/news/archive.txt", "Archive"},
        {1, From::kUrl, "http://www.example.com/ornivale/news/dates.csv", "Dates"}},
       {{From::kClipboard, "lamp.png", "Pasted picture"},
        {From::kUrl, "http://www.example.com/ornivale/news/banner.png", "Banner"}}},
  };
  return plans;
}

// The clock of the machine the samples were made on: each object the model creates takes its ID
// from it, so it moves on between them.
class AuthoringClock {
 public:
  AuthoringClock(emulated::EmulatedMachine& machine, platform::LocalTime start)
      : machine_(machine), now_(start) {
    machine_.SetClock(now_);
  }
  void Advance(double seconds) {
    now_ = FromDayNumber(DayNumber(now_) + seconds / 86400.0);
    machine_.SetClock(now_);
  }
  const platform::LocalTime& Now() const { return now_; }

 private:
  emulated::EmulatedMachine& machine_;
  platform::LocalTime now_;
};

void Put(platform::FileSystem& fs, const std::string& path, const std::string& data) {
  std::unique_ptr<platform::File> file = fs.Open(path, platform::FileAccess::Write, platform::FileShare::None,
                                                 platform::FileCreate::CreateAlways);
  if (!file || !WriteAll(*file, data)) throw OvError("cannot write " + path);
}

void SetAttribute(TOVJavaApp& app, const std::string& name, const std::string& value) {
  for (auto& attribute : app.Jad->Attributes) {
    if (attribute->Name == name) {
      attribute->SetValue(value);
      return;
    }
  }
  throw OvError("the descriptor has no attribute " + name);
}

// Manifest lines hold at most 72 bytes; longer ones go on in lines that start with a space.
std::string ManifestLine(const std::string& name, const std::string& value) {
  const std::string line = name + ": " + value;
  std::string out = line.substr(0, 72) + "\r\n";
  for (std::size_t at = 72; at < line.size(); at += 71) out += " " + line.substr(at, 71) + "\r\n";
  return out;
}

// The picture as the product converts it for the phone: 176 pixels wide for MIDP 2.0, 128 for 1.0.
std::string Rendition(const Picture& picture, std::int32_t midp) {
  const int width = midp == project::kMidp10 ? 128 : 176;
  return EncodePng(Scale(picture, width, picture.height * width / picture.width));
}

class SampleBuilder {
 public:
  SampleBuilder(emulated::EmulatedMachine& machine, const std::vector<Document>& documents,
                const std::vector<SourcePicture>& pictures)
      : emulated_(machine), machine_(machine.machine()), documents_(documents), pictures_(pictures) {}

  CompiledSample Build(const SamplePlan& plan, int variant) {
    AuthoringClock clock(emulated_, plan.Started);
    usesNetwork_ = false;
    TOVJavaApp app(machine_, "", project::kDefaultVendor, plan.JavaPackage, "C:\\Work\\");
    app.Title = plan.Title;
    app.Description = plan.Description;
    app.MIDP = plan.Midp;
    app.ProjectDef->SetMIDP(plan.Midp);
    app.ProjectDef->SetFullScreen(project::kOn);
    app.ProjectDef->JavaPackage = plan.JavaPackage;
    app.ProjectDef->Messages[0] = plan.Welcome;
    app.ProjectDef->StartDlg = *plan.Welcome ? project::kOn : project::kOff;
    app.IdColors = plan.Colours;
    app.IdStrings = plan.Strings;
    app.IdIcons = plan.Icons;

    jarMembers_.clear();
    jarMembers_.push_back({"icon.png", SampleIcon(variant)});
    if (plan.OwnArtwork) {
      app.OwnLogo = app.WorkFolder + "\\logo.png";
      app.OwnIcon = app.WorkFolder + "\\icon.png";
      Put(machine_.files, app.OwnLogo, SampleLogo(variant));
      Put(machine_.files, app.OwnIcon, jarMembers_.front().Data);
      jarMembers_.push_back({"logo.png", SampleLogo(variant)});
    }

    app.ChapterList.front()->Title = plan.Chapters.front();
    for (std::size_t c = 1; c < plan.Chapters.size(); ++c) {
      clock.Advance(41.3);
      app.ChapterList.push_back(std::make_unique<TOVChapter>(machine_.system));
      app.ChapterList.back()->Title = plan.Chapters[c];
    }
    for (const ImagePlan& image : plan.Images) {
      clock.Advance(57.9);
      AddImage(app, plan, image);
    }
    for (const ItemPlan& item : plan.Items) {
      clock.Advance(83.1);
      AddItem(app, plan, item);
    }

    clock.Advance(600);
    CompiledSample sample;
    sample.Name = plan.Name;
    sample.Built = clock.Now();
    const std::string jarName = std::string(plan.Name) + ".jar";
    SetAttribute(app, "MIDlet-1",
                 std::string(plan.Title) + ", /icon.png, " + plan.JavaPackage + "." + plan.Name);
    SetAttribute(app, "MIDlet-Name", plan.Title);
    SetAttribute(app, "MIDlet-Version", "1.0.0");
    SetAttribute(app, "MIDlet-Vendor", app.MidletVendor);
    SetAttribute(app, "MicroEdition-Profile", plan.Midp == project::kMidp10 ? "MIDP-1.0" : "MIDP-2.0");
    SetAttribute(app, "MicroEdition-Configuration", "CLDC-1.0");
    SetAttribute(app, "MIDlet-Jar-URL", jarName);
    SetAttribute(app, "MIDlet-Description", plan.Description);
    SetAttribute(app, "MIDlet-Icon", "/icon.png");
    SetAttribute(app, "MIDlet-Info-URL", std::string(kInfoUrl) + plan.Name);
    if (usesNetwork_ && plan.Midp == project::kMidp20) {
      SetAttribute(app, "MIDlet-Permissions", "javax.microedition.io.Connector.http");
    }
    sample.Jar = Jar(app, *DosDateTime(sample.Built));
    app.JarSize = static_cast<std::int32_t>(sample.Jar.size());
    SetAttribute(app, "MIDlet-Jar-Size", std::to_string(sample.Jar.size()));
    sample.Jad = Jad(app);

    clock.Advance(95);
    sample.Saved = clock.Now();
    const std::string bundlePath = "C:\\Projects\\" + std::string(plan.Name) + ".ov5";
    if (app.SaveProject(bundlePath) != 0) throw OvError("the project model did not save " + bundlePath);
    std::optional<std::string> bundle = ReadWholeFile(machine_.files, bundlePath);
    if (!bundle) throw OvError("cannot read " + bundlePath);
    sample.Bundle = std::move(*bundle);
    return sample;
  }

 private:
  void AddImage(TOVJavaApp& app, const SamplePlan& sample, const ImagePlan& plan) {
    const bool local = plan.Kind != From::kUrl;
    auto image = std::make_unique<TOVImgItem>(
        machine_.system, local ? project::kSourceFile : project::kSourceUrl, app.WorkFolder);
    image->Caption = plan.Caption;
    if (!local) {
      image->ImgUrl = plan.Source;
      usesNetwork_ = true;
      app.ImageList.push_back(std::move(image));
      return;
    }
    const SourcePicture& source = PictureNamed(pictures_, plan.Source);
    image->Quality = 85;
    image->ResImgFile = app.WorkFolder + "\\" + image->ID + ".png";
    image->ResPngFile = image->ResImgFile;
    if (plan.Kind == From::kClipboard) {
      // A pasted picture arrives as a bitmap and is kept in the project.
      image->Clipboard = true;
      image->SrcImgFile = app.WorkFolder + "\\" + image->ID + "_clip.bmp";
      image->SetTypes(app.MIDP, project::kImageBmp, project::kImagePng);
      Put(machine_.files, image->SrcImgFile, EncodeBmp(source.Image));
    } else {
      image->SrcImgFile = std::string(sample.SourceFolder) + source.Name;
      image->SetTypes(app.MIDP, source.Format, project::kImagePng);
    }
    const std::string rendition = Rendition(source.Image, app.MIDP);
    Put(machine_.files, image->ResImgFile, rendition);
    jarMembers_.push_back({"i" + std::to_string(app.ImageList.size()) + ".png", rendition});
    if (plan.Thumbnail) {
      image->ResPngFile = app.WorkFolder + "\\" + image->ID + "_t.png";
      const std::string thumbnail = EncodePng(Scale(source.Image, 48, 36));
      Put(machine_.files, image->ResPngFile, thumbnail);
      jarMembers_.push_back({"i" + std::to_string(app.ImageList.size()) + "t.png", thumbnail});
    }
    app.ImageList.push_back(std::move(image));
  }

  void AddItem(TOVJavaApp& app, const SamplePlan& sample, const ItemPlan& plan) {
    const bool local = plan.Kind != From::kUrl;
    auto item = std::make_unique<TOVItem>(machine_.system, local ? project::kSourceFile : project::kSourceUrl,
                                          app.WorkFolder);
    item->Title = plan.Title;
    TOVChapter& chapter = *app.ChapterList[static_cast<std::size_t>(plan.Chapter)];
    item->ChpID = chapter.ID;
    if (chapter.ItemCount == 0) chapter.ItemIdx = static_cast<std::int32_t>(app.ItemList.size());
    ++chapter.ItemCount;
    if (plan.Image >= 0) item->ImgID = app.ImageList[static_cast<std::size_t>(plan.Image)]->ID;

    const std::string source = plan.Source;
    const bool table = source.size() > 4 && source.compare(source.size() - 4, 4, ".csv") == 0;
    if (table) {
      item->Type = project::kItemTable;
      item->TabSeparator = static_cast<std::uint8_t>(';');
      item->ColWidths = "40,30,30";
    }
    if (plan.Kind == From::kUrl) {
      item->TxtUrl = source;
      if (table) item->Header = "Date;Title";
      usesNetwork_ = true;
      app.ItemList.push_back(std::move(item));
      return;
    }
    item->ResTxtFile = app.WorkFolder + "\\" + item->ID + ".txt";
    std::string text;
    if (plan.Kind == From::kClipboard) {
      item->Clipboard = true;
      item->SrcTxtFile = app.WorkFolder + "\\" + item->ID + "_clip.txt";
      text = source + "\r\n";
      Put(machine_.files, item->SrcTxtFile, text);
    } else {
      const Document& document = DocumentNamed(documents_, source);
      item->SrcTxtFile = std::string(sample.SourceFolder) + document.Name;
      text = document.PlainText();
      if (table) {
        item->TabSeparator = static_cast<std::uint8_t>(document.Separator);
        item->SheetTitle = document.Title;
      } else {
        item->SheetIdx = -1;  // not taken from a sheet
      }
    }
    Put(machine_.files, item->ResTxtFile, text);
    jarMembers_.push_back({"t" + std::to_string(app.ItemList.size()) + ".txt", text});
    app.ItemList.push_back(std::move(item));
  }

  std::string Jar(const TOVJavaApp& app, std::uint32_t dosDateTime) const {
    std::string manifest = "Manifest-Version: 1.0\r\n";
    for (const auto& attribute : app.Jad->Attributes) {
      const std::string& name = attribute->Name;
      if (attribute->Value.empty() || name == "MIDlet-Jar-URL" || name == "MIDlet-Jar-Size") continue;
      manifest += ManifestLine(name, attribute->Value);
    }
    std::vector<ZipMember> members = {{"META-INF/MANIFEST.MF", manifest + "\r\n"}};
    members.insert(members.end(), jarMembers_.begin(), jarMembers_.end());
    return StoredZip(members, dosDateTime);
  }

  static std::string Jad(const TOVJavaApp& app) {
    std::string jad;
    for (const auto& attribute : app.Jad->Attributes) {
      if (!attribute->Value.empty()) jad += attribute->Name + ": " + attribute->Value + "\r\n";
    }
    return jad;
  }

  emulated::EmulatedMachine& emulated_;
  platform::Machine& machine_;
  const std::vector<Document>& documents_;
  const std::vector<SourcePicture>& pictures_;
  std::vector<ZipMember> jarMembers_;
  bool usesNetwork_ = false;
};

}  // namespace

std::vector<std::string> SampleNames() {
  std::vector<std::string> names;
  for (const SamplePlan& plan : Plans()) names.push_back(plan.Name);
  return names;
}

std::vector<CompiledSample> BuildSamples(const std::vector<Document>& documents,
                                         const std::vector<SourcePicture>& pictures,
                                         const std::filesystem::path& scratch) {
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  std::vector<CompiledSample> samples;
  {
    emulated::EmulatedMachine machine(scratch);
    ForceFolder(machine.machine().files, "C:\\Projects");
    SampleBuilder builder(machine, documents, pictures);
    int variant = 0;
    for (const SamplePlan& plan : Plans()) samples.push_back(builder.Build(plan, variant++));
  }
  std::filesystem::remove_all(scratch, ignored);
  return samples;
}

}  // namespace ov::demotree
