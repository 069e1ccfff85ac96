#pragma once
// The product's project document: a MIDP application made of chapters, content items, images,
// the application descriptor's attributes and the code generator's settings.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace ov::project {

// Switch values stored as integers.
constexpr std::int32_t kOn = 100;
constexpr std::int32_t kOff = 0;
// Source kinds (mType).
constexpr std::int32_t kSourceFile = 100;
constexpr std::int32_t kSourceUrl = 200;
// Target profiles.
constexpr std::int32_t kMidp10 = 100;
constexpr std::int32_t kMidp20 = 200;
// Image formats (SrcType, ResType).
constexpr std::int32_t kImageNone = 0;
constexpr std::int32_t kImagePng = 100;
constexpr std::int32_t kImageGif = 200;
constexpr std::int32_t kImageJpeg = 300;
constexpr std::int32_t kImageBmp = 400;
constexpr std::int32_t kImageUnknown = -333;  // the document gave no value
// Item type of tabular content.
constexpr std::int32_t kItemText = 10;
constexpr std::int32_t kItemTable = 20;

constexpr const char* kDefaultVendor = "Velmorra srl";
constexpr const char* kDefaultPackage = "com.velmorra.ornivale";

class TOVItem;

// The code generator's settings of a project.
class TVOProjectDef {
 public:
  TVOProjectDef(std::vector<std::unique_ptr<TOVItem>>& itemList, std::int32_t midp, std::string javaPackage,
                std::string title);

  void SetMIDP(std::int32_t value);
  void SetFullScreen(std::int32_t value);
  std::int32_t GetFullScreen() const;
  void SetFontSize(std::int32_t value);

  std::string Title;
  std::vector<std::unique_ptr<TOVItem>>& ItemList;  // the document's, not owned
  // Generator defaults, carried unchanged.
  std::string CodeHeader;
  std::string ScreenTable = "{ 0,     0,     0,    Rs.PAG_SY,     0,     0,     4,     0,      0,     0,    0}";
  std::string ButtonLabels =
      "{\"Back\", \"Exit\", \"Next\", \"Image\", \"Password\", \"Cancel\", \"OK\", \"Velmorra\", "
      "\"Velmorra\",\"Select\"}";
  std::string MessageTexts =
      "{\"\", \"action cancelled!\", \"out of memory\",\"I/O error\",\"unspec. error!\",\"bad url!\","
      "\"wrong pwd!\",\"format...\",\"connect...\",\"open...\",\"size unknown\"}";
  std::int32_t CodeLimit = 400;
  std::int32_t Encrypt = 0;
  std::int32_t CodeOption = 0;
  std::int32_t MIDP = kMidp20;
  std::int32_t HLiteMode = kOn;
  std::int32_t FontSize = 8;
  std::int32_t FullScreen = kOn;
  std::int32_t MarqOn = kOn;
  std::int32_t CodeNumber = 18000;
  std::int32_t LogoMoves = 0;
  std::int32_t StartDlg = 0;
  std::int32_t CloseDlg = 0;
  std::int32_t ExitDlg = 0;
  bool CodeFlag1 = false;
  bool CodeFlag2 = false;
  bool CustomList = true;
  std::string Pwd;
  std::string CodeNull1 = "null";
  std::string JavaPackage;
  std::string CodePackage = "com.velmorra.dg";
  std::string CodeText;
  std::string CodeNull2 = "null";
  std::string CodeNull3 = "null";
  std::string CodeNull4 = "null";
  std::int32_t CodeValue1 = 2;
  std::int32_t CodeValue2 = 0;
  std::int32_t CodeValue3 = 10;
  std::int32_t CodeValue4 = 124;
  std::int32_t CodeValue5 = 59;
  // MsgStart, MsgClose, MsgExit.
  std::vector<std::string> Messages = std::vector<std::string>(3);
};

class TOVChapter {
 public:
  explicit TOVChapter(platform::System& system);

  std::int32_t ItemCount = 0;
  std::int32_t ItemIdx = 0;
  std::string Title;
  std::string ID;
};

// One content item: a text or a table, from a local file or a URL.
class TOVItem {
 public:
  TOVItem(platform::System& system, std::int32_t mType, std::string workFolder);

  std::int32_t Type = kItemText;
  std::int32_t mType;
  std::int32_t HighLite = -1;
  std::uint8_t TabSeparator = 0;
  std::string Title;
  std::string SheetTitle;
  std::string ColWidths;
  std::string WorkFolder;
  std::string SrcTxtFile;
  std::string ResTxtFile;
  std::int32_t SheetIdx = 0;
  std::int32_t CinV = 1;
  std::int32_t SplitPos = 0;
  std::string TxtUrl;
  std::string ID;
  std::string ImgID;
  std::string ChpID;
  std::string Header;
  bool Clipboard = false;
};

class TOVImgItem {
 public:
  TOVImgItem(platform::System& system, std::int32_t mType, std::string workFolder);

  void SetTypes(std::int32_t midp, std::int32_t srcType, std::int32_t resType);
  void SetQuality(std::int32_t value);

  std::string ID;
  std::int32_t mType;
  std::string ImgUrl;
  std::string Caption;
  std::string ResImgFile;
  std::string ResPngFile;
  std::string SrcImgFile;
  std::string WorkFolder;
  std::int32_t SrcType = kImageNone;
  std::int32_t ResType = kImageNone;
  std::int32_t Mono = kOff;
  std::int32_t Quality = 100;
  bool Clipboard = false;
};

// One attribute of the application descriptor.
class TOVJadItem {
 public:
  // From "name|number|number".
  TOVJadItem(const std::string& templateText, std::int32_t order);

  void SetValue(std::string value) { Value = std::move(value); }

  std::int32_t Order;
  std::int32_t Status = 0;  // -12 when the template did not parse
  std::string Value;
  std::int32_t Code1 = -1;
  std::int32_t Code2 = -1;
  std::string Name;
};

class TOVJad {
 public:
  explicit TOVJad(platform::System& system);

  // 0, -3 empty name, -4 already there (case-sensitive), -66 not a valid attribute, -22 creation failed.
  std::int32_t AddAttribute(const std::string& name);

  std::vector<std::unique_ptr<TOVJadItem>> Attributes;
  std::string ID;
};

class TOVJavaApp {
 public:
  // fileName: an existing bundle or document to open, or anything else for a new project.
  // The working folder is workFolderBase followed directly by a stamp.
  TOVJavaApp(platform::Machine& machine, const std::string& fileName, std::string midletVendor,
             std::string javaPackage, const std::string& workFolderBase);
  // Deletes the working folder with everything in it.
  ~TOVJavaApp();
  TOVJavaApp(const TOVJavaApp&) = delete;
  TOVJavaApp& operator=(const TOVJavaApp&) = delete;

  // 0 IdColors, 1 IdStrings, 2 IdIcons, "" otherwise.
  std::string SchemeId(std::int32_t index) const;

  // Fills the document from a ".mjp" file; LoadStatus -117 when it does not exist.
  void LoadProjectFile(const std::string& path);
  // Writes the document and the bundle: 0, -1 not an ".ov5" path or a write failed, -11 the name is not
  // a plain Java identifier.
  std::int32_t SaveProject(const std::string& path);

  // Total size of the resource files a bundle carries; raises OvError when a clipboard source is missing.
  std::int64_t BundleResourceSize();
  // Puts the document and its resources into the bundle and deletes the document file: 0 or -1. The old
  // bundle is replaced only by a complete new one.
  std::int32_t WriteBundle(const std::string& bundlePath, const std::string& documentPath);
  // Unpacks the bundle into the folder and loads its document: LoadStatus, -1 no readable bundle, -3 no
  // document for this project. allUnpacked (optional) tells whether every member could be unpacked.
  std::int32_t ReadBundle(const std::string& bundlePath, const std::string& folder, bool* allUnpacked = nullptr);

  std::string ID;
  std::string Title;
  std::string Description;
  std::string BaseName;
  bool Modified = false;
  std::int32_t JarSize = 0;
  std::int32_t LoadStatus = 0;
  std::int32_t MIDP = kMidp20;
  std::int32_t ViewChp = 250;
  std::int32_t SplitMain = 225;
  std::int32_t SplitLeft = 375;
  std::unique_ptr<TOVJad> Jad;
  std::string BundlePath;
  std::string ProjectFolder;
  std::string WorkFolder;
  std::string IdColors;
  std::string IdStrings;
  std::string IdIcons;
  std::string MidletVendor;
  std::unique_ptr<TVOProjectDef> ProjectDef;
  std::string OwnLogo;
  std::string OwnIcon;
  std::vector<std::unique_ptr<TOVChapter>> ChapterList;
  std::vector<std::unique_ptr<TOVItem>> ItemList;
  std::vector<std::unique_ptr<TOVImgItem>> ImageList;

 private:
  std::int32_t WriteDocument(const std::string& documentPath);

  platform::Machine& machine_;
};

}  // namespace ov::project
