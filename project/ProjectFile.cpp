// The project document: an INI text with sections Document, Prez, Preferences, Descriptor_N,
// Chapter_N, Item_N and Image_N.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/JavaNames.h"
#include "support/ProfileFile.h"
#include "support/Text.h"

namespace ov::project {
namespace {

std::string Numbered(const char* prefix, std::size_t n) { return std::string(prefix) + std::to_string(n); }

// The numbers N, in ascending order, below count for which the file has a section prefix + N, spelled
// as the reader asks for it (decimal, no sign, no leading zeros). A number without a section adds no
// descriptor, item or image, so only these are worth visiting: a damaged count then costs nothing.
std::vector<std::size_t> SectionNumbers(const ProfileFile& file, std::string_view prefix,
                                        std::int32_t count) {
  std::vector<std::size_t> numbers;
  for (const std::string& name : file.SectionNames()) {
    if (name.size() <= prefix.size() || !EqualsNoCase(std::string_view(name).substr(0, prefix.size()), prefix)) {
      continue;
    }
    const std::string_view suffix = std::string_view(name).substr(prefix.size());
    if (const auto n = ParseInt32(suffix); n && *n >= 0 && *n < count && std::to_string(*n) == suffix) {
      numbers.push_back(static_cast<std::size_t>(*n));
    }
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// Sets keys in order and remembers whether all of them could be stored.
class DocumentWriter {
 public:
  explicit DocumentWriter(ProfileFile& file) : file_(file) {}
  void Section(std::string name) { section_ = std::move(name); }
  void Text(const char* key, const std::string& value) { ok_ = file_.SetString(section_, key, value) && ok_; }
  void Integer(const char* key, std::int32_t value) { ok_ = file_.SetInteger(section_, key, value) && ok_; }
  bool Ok() const { return ok_; }

 private:
  ProfileFile& file_;
  std::string section_;
  bool ok_ = true;
};

}  // namespace

void TOVJavaApp::LoadProjectFile(const std::string& path) {
  platform::FileSystem& fs = machine_.files;
  if (!fs.FileExists(path)) {
    LoadStatus = -117;
    return;
  }
  const ProfileFile file(fs, path);

  MIDP = file.ReadInteger("Document", "MIDP", kMidp20);
  ProjectDef->SetMIDP(MIDP);
  Title = file.ReadString("Document", "Title", "");
  Description = file.ReadString("Document", "Description", "no description");
  MidletVendor = file.ReadString("Document", "MidletVendor", "");
  if (MidletVendor.empty()) MidletVendor = kDefaultVendor;
  if (std::string id = file.ReadString("Document", "ID", ""); !id.empty()) ID = std::move(id);
  std::string javaPackage = file.ReadString("Document", "JavaPackage", "");
  ProjectDef->JavaPackage = CheckPackageName(javaPackage) ? javaPackage : kDefaultPackage;
  ProjectDef->Encrypt = file.ReadInteger("Document", "Encrypt", 0);
  ProjectDef->Pwd = file.ReadString("Document", "Pwd", "");
  const std::vector<std::size_t> items =
      SectionNumbers(file, "Item_", file.ReadInteger("Document", "Items", 0));
  const std::vector<std::size_t> images =
      SectionNumbers(file, "Image_", file.ReadInteger("Document", "Images", 0));
  // Chapters without a section are made with defaults, but not more of them than the file has lines:
  // every chapter a document stores takes lines of its own.
  const auto chapters = static_cast<std::size_t>(std::clamp<std::int64_t>(
      file.ReadInteger("Document", "Chapters", 1), 0, static_cast<std::int64_t>(file.LineCount()) + 1));
  IdColors = file.ReadString("Document", "IdColors", "");
  IdStrings = file.ReadString("Document", "IdStrings", "");
  IdIcons = file.ReadString("Document", "IdIcons", "");
  const std::vector<std::size_t> descriptors =
      SectionNumbers(file, "Descriptor_", file.ReadInteger("Document", "Descriptors", 0));
  const auto ownFile = [&](const char* key) {
    const std::string candidate = WorkFolder + "\\" + FileNamePart(file.ReadString("Document", key, ""));
    return fs.FileExists(candidate) ? candidate : std::string();
  };
  OwnLogo = ownFile("OwnLogo");
  OwnIcon = ownFile("OwnIcon");

  ViewChp = file.ReadInteger("Prez", "ViewChp", 250);
  SplitMain = file.ReadInteger("Prez", "SplitMain", 225);
  SplitLeft = file.ReadInteger("Prez", "SplitLeft", 375);

  TVOProjectDef& def = *ProjectDef;
  JarSize = file.ReadInteger("Preferences", "JarSize", 0);
  def.MarqOn = file.ReadInteger("Preferences", "MarqOn", 0);
  def.SetFontSize(file.ReadInteger("Preferences", "FontSize", 0));
  def.HLiteMode = file.ReadInteger("Preferences", "HLiteMode", kOn);
  def.SetFullScreen(file.ReadInteger("Preferences", "FullScreen", 0));
  def.StartDlg = file.ReadInteger("Preferences", "StartDlg", 0);
  def.CloseDlg = file.ReadInteger("Preferences", "CloseDlg", 0);
  def.ExitDlg = file.ReadInteger("Preferences", "ExitDlg", 0);
  def.LogoMoves = file.ReadInteger("Preferences", "LogoMoves", 0);
  def.CustomList = file.ReadInteger("Preferences", "CustomList", 0) > 0;
  def.Messages[0] = file.ReadString("Preferences", "MsgStart", "");
  def.Messages[1] = file.ReadString("Preferences", "MsgClose", "");
  def.Messages[2] = file.ReadString("Preferences", "MsgExit", "");

  for (const std::size_t n : descriptors) {
    const std::string section = Numbered("Descriptor_", n);
    const std::string name = file.ReadString(section, "Id", "");
    std::string value = file.ReadString(section, "Value", "");
    auto& attributes = Jad->Attributes;
    if (n < attributes.size()) {
      // Names are matched by position; a name elsewhere in the list does not count.
      if (EqualsNoCase(attributes[n]->Name, name)) attributes[n]->SetValue(std::move(value));
    } else if (Jad->AddAttribute(name) == 0) {
      attributes.back()->SetValue(std::move(value));
    }
  }

  for (std::size_t n = 0; n < chapters; ++n) {
    const std::string section = Numbered("Chapter_", n);
    auto chapter = std::make_unique<TOVChapter>(machine_.system);
    chapter->ID += "_" + std::to_string(n);
    chapter->Title = file.ReadString(section, "Title", "");
    chapter->ItemIdx = file.ReadInteger(section, "ItemIdx", 0);
    chapter->ItemCount = file.ReadInteger(section, "ItemCount", 0);
    if (std::string id = file.ReadString(section, "Id", ""); !id.empty()) chapter->ID = std::move(id);
    ChapterList.push_back(std::move(chapter));
  }

  // Resource files are named without folders and always looked for in the working folder.
  const auto inWorkFolder = [&](const std::string& stored) { return WorkFolder + "\\" + FileNamePart(stored); };

  for (const std::size_t n : items) {
    const std::string section = Numbered("Item_", n);
    const std::int32_t type = file.ReadInteger(section, "mType", -1);
    if (type == -1) continue;
    auto item = std::make_unique<TOVItem>(machine_.system, type, WorkFolder);
    const auto text = [&](const char* key) { return file.ReadString(section, key, ""); };
    const auto integer = [&](const char* key, std::int32_t fallback) {
      return file.ReadInteger(section, key, fallback);
    };
    if (type == kSourceFile || type == kSourceUrl) {
      if (std::string id = text("Id"); !id.empty()) item->ID = std::move(id);
      item->Title = text("Title");
      item->Type = integer("Type", kItemText);
      item->ImgID = text("ImgID");
      item->TabSeparator = static_cast<std::uint8_t>(integer("TabSeparator", 124) & 0xFF);
      item->HighLite = integer("HighLite", def.HLiteMode);
      item->CinV = integer("CinV", 1);
      item->ChpID = text("ChpID");
      item->SplitPos = integer("SplitPos", -1);
      item->ColWidths = text("ColWidths");
    }
    if (type == kSourceFile) {
      item->Clipboard = integer("Clipboard", 0) == kOn;
      if (std::string res = text("ResTxtFile"); !res.empty()) item->ResTxtFile = inWorkFolder(res);
      item->SrcTxtFile = text("SrcTxtFile");
      // A clipboard source travels in the bundle.
      if (item->Clipboard) item->SrcTxtFile = inWorkFolder(item->SrcTxtFile);
      item->SheetIdx = integer("SheetIdx", -1);
      item->SheetTitle = text("SheetTitle");
    } else if (type == kSourceUrl) {
      item->TxtUrl = text("TxtUrl");
      item->Header = text("Header");
    }
    ItemList.push_back(std::move(item));
  }

  for (const std::size_t n : images) {
    const std::string section = Numbered("Image_", n);
    const std::int32_t type = file.ReadInteger(section, "mType", -1);
    if (type != kSourceFile && type != kSourceUrl) continue;
    auto image = std::make_unique<TOVImgItem>(machine_.system, type, WorkFolder);
    image->ID = file.ReadString(section, "ID", "");
    image->Caption = file.ReadString(section, "Caption", "");
    if (type == kSourceUrl) {
      image->ImgUrl = file.ReadString(section, "ImgUrl", "");
      ImageList.push_back(std::move(image));
      continue;
    }
    image->SetTypes(MIDP, file.ReadInteger(section, "SrcType", kImageUnknown),
                    file.ReadInteger(section, "ResType", kImageUnknown));
    image->Clipboard = file.ReadInteger(section, "Clipboard", 0) == kOn;
    image->SetQuality(file.ReadInteger(section, "Quality", 100));
    image->SrcImgFile = file.ReadString(section, "SrcImgFile", "");
    image->ResImgFile = inWorkFolder(file.ReadString(section, "ResImgFile", ""));
    image->ResPngFile = inWorkFolder(file.ReadString(section, "ResPngFile", ""));
    if (image->Clipboard) image->SrcImgFile = inWorkFolder(image->SrcImgFile);
    image->Mono = file.ReadInteger(section, "Mono", kOff);
    // A picture with neither its source nor its resource is of no use.
    if (fs.FileExists(image->SrcImgFile) || fs.FileExists(image->ResImgFile)) ImageList.push_back(std::move(image));
  }
}

std::int32_t TOVJavaApp::SaveProject(const std::string& path) {
  const std::string trimmed = Trim(path);
  std::int32_t status = 0;
  std::string documentPath;
  if (!IsBundlePath(trimmed)) {
    status = -1;
  } else {
    std::string name = FileNamePart(trimmed);
    name.resize(std::min(name.size(), name.find('.')));
    if (!IsPlainIdentifier(name)) {
      status = -11;
    } else {
      BaseName = name;
      ProjectFolder = FolderPart(trimmed);
      BundlePath = trimmed;
      documentPath = ProjectFolder + BaseName + ".mjp";
      ProjectDef->SetMIDP(MIDP);
      status = WriteDocument(documentPath);
      if (status == 0) status = WriteBundle(BundlePath, documentPath);
    }
  }
  Modified = status != 0;
  return status;
}

std::int32_t TOVJavaApp::WriteDocument(const std::string& documentPath) {
  platform::FileSystem& fs = machine_.files;
  // A document left over from an earlier save would lend its keys to this one.
  if (fs.FileExists(documentPath) && !fs.DeleteFile(documentPath)) return -1;
  ProfileFile file(fs, documentPath);
  DocumentWriter w(file);
  const TVOProjectDef& def = *ProjectDef;

  w.Section("Document");
  w.Integer("MIDP", MIDP);
  w.Text("Title", Title);
  w.Text("Description", Description);
  w.Text("Pwd", def.Pwd);
  w.Text("ID", ID);
  w.Text("JavaPackage", def.JavaPackage);
  w.Text("MidletVendor", MidletVendor);
  w.Integer("Encrypt", def.Encrypt);
  w.Integer("Items", static_cast<std::int32_t>(ItemList.size()));
  w.Integer("Images", static_cast<std::int32_t>(ImageList.size()));
  w.Integer("Chapters", static_cast<std::int32_t>(ChapterList.size()));
  w.Integer("Descriptors", static_cast<std::int32_t>(Jad->Attributes.size()));
  w.Text("IdColors", SchemeId(0));
  w.Text("IdStrings", SchemeId(1));
  w.Text("IdIcons", SchemeId(2));
  if (fs.FileExists(OwnLogo)) w.Text("OwnLogo", FileNamePart(OwnLogo));
  if (fs.FileExists(OwnIcon)) w.Text("OwnIcon", FileNamePart(OwnIcon));

  w.Section("Prez");
  w.Integer("ViewChp", ViewChp);
  w.Integer("SplitMain", SplitMain);
  w.Integer("SplitLeft", SplitLeft);

  w.Section("Preferences");
  w.Integer("JarSize", JarSize);
  w.Integer("MarqOn", def.MarqOn);
  w.Integer("FontSize", def.FontSize);
  w.Integer("HLiteMode", def.HLiteMode);
  w.Integer("FullScreen", def.GetFullScreen());
  w.Integer("StartDlg", def.StartDlg);
  w.Integer("CloseDlg", def.CloseDlg);
  w.Integer("ExitDlg", def.ExitDlg);
  w.Integer("LogoMoves", def.LogoMoves);
  w.Integer("CustomList", def.CustomList ? kOn : kOff);
  w.Text("MsgStart", def.Messages[0]);
  w.Text("MsgClose", def.Messages[1]);
  w.Text("MsgExit", def.Messages[2]);

  for (std::size_t n = 0; n < Jad->Attributes.size(); ++n) {
    w.Section(Numbered("Descriptor_", n));
    w.Text("Id", Jad->Attributes[n]->Name);
    w.Text("Value", Jad->Attributes[n]->Value);
  }

  for (std::size_t n = 0; n < ChapterList.size(); ++n) {
    const TOVChapter& chapter = *ChapterList[n];
    w.Section(Numbered("Chapter_", n));
    w.Text("Id", chapter.ID);
    w.Integer("ItemIdx", chapter.ItemIdx);
    w.Integer("ItemCount", chapter.ItemCount);
    w.Text("Title", chapter.Title);
  }

  for (std::size_t n = 0; n < ItemList.size(); ++n) {
    const TOVItem& item = *ItemList[n];
    // An item of another kind uses up its number but has no section.
    if (item.mType != kSourceFile && item.mType != kSourceUrl) continue;
    w.Section(Numbered("Item_", n));
    w.Text("Id", item.ID);
    w.Integer("mType", item.mType);
    w.Integer("Type", item.Type);
    if (item.mType == kSourceFile) {
      w.Text("Title", item.Title);
      w.Text("SrcTxtFile", item.SrcTxtFile);
      w.Text("ResTxtFile", FileNamePart(item.ResTxtFile));
      w.Text("ImgID", item.ImgID);
      w.Integer("TabSeparator", item.TabSeparator);
      w.Integer("HighLite", item.HighLite);
      w.Integer("CinV", item.CinV);
      w.Text("ChpId", item.ChpID);
      if (item.SheetIdx >= 0) {
        w.Integer("SheetIdx", item.SheetIdx);
        w.Text("SheetTitle", item.SheetTitle);
      }
    } else {
      w.Integer("HighLite", item.HighLite);
      w.Text("Title", item.Title);
      w.Text("TxtUrl", item.TxtUrl);
      w.Text("ImgId", item.ImgID);
      w.Text("ChpId", item.ChpID);
      if (item.Type == kItemTable) {
        w.Integer("TabSeparator", item.TabSeparator);
        w.Text("Header", item.Header);
        w.Integer("CinV", item.CinV);
      }
    }
    if (item.SplitPos >= 0) w.Integer("SplitPos", item.SplitPos);
    if (!item.ColWidths.empty()) w.Text("ColWidths", item.ColWidths);
    if (item.mType == kSourceFile && item.Clipboard) w.Integer("Clipboard", kOn);
  }

  for (std::size_t n = 0; n < ImageList.size(); ++n) {
    const TOVImgItem& image = *ImageList[n];
    if (image.mType != kSourceFile && image.mType != kSourceUrl) continue;
    w.Section(Numbered("Image_", n));
    w.Integer("mType", image.mType);
    w.Text("Caption", image.Caption);
    w.Text("ID", image.ID);
    if (image.mType == kSourceUrl) {
      w.Text("ImgUrl", image.ImgUrl);
      continue;
    }
    w.Integer("SrcType", image.SrcType);
    w.Integer("ResType", image.ResType);
    w.Text("SrcImgFile", image.SrcImgFile);
    w.Integer("Mono", image.Mono);
    w.Integer("Quality", image.Quality);
    w.Text("ResImgFile", FileNamePart(image.ResImgFile));
    w.Text("ResPngFile", FileNamePart(image.ResPngFile));
    if (image.Clipboard) w.Integer("Clipboard", kOn);
  }

  return w.Ok() && file.Save() ? 0 : -1;
}

}  // namespace ov::project
