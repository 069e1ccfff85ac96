#include "project/JavaApp.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "project/Paths.h"
#include "support/Dates.h"
#include "support/FolderTree.h"
#include "support/Folders.h"
#include "support/Text.h"

namespace ov::project {
namespace {

constexpr const char* kJadTemplates[] = {
    "MIDlet-1|9|9",
    "MIDlet-Name|1|1",
    "MIDlet-Version|1|1",
    "MIDlet-Vendor|1|1",
    "MicroEdition-Profile|9|9",
    "MicroEdition-Configuration|9|9",
    "MIDlet-Jar-URL|1|2",
    "MIDlet-Jar-Size|1|2",
    "MIDlet-Description|0|0",
    "MIDlet-Icon|0|0",
    "MIDlet-Info-URL|0|0",
    "MIDlet-Data-Size|0|0",
    "MIDlet-Install-Notify|0|0",
    "MIDlet-Delete-Notify|0|0",
    "MIDlet-Delete-Confirm|0|0",
    "MIDlet-Permissions|0|0",
    "MIDlet-Permissions-Opt|0|0",
};

}  // namespace

TVOProjectDef::TVOProjectDef(std::vector<std::unique_ptr<TOVItem>>& itemList, std::int32_t midp,
                             std::string javaPackage, std::string title)
    : Title(std::move(title)), ItemList(itemList), MIDP(midp), JavaPackage(std::move(javaPackage)) {}

void TVOProjectDef::SetMIDP(std::int32_t value) { MIDP = (value == kMidp10 || value == kMidp20) ? value : kMidp20; }

void TVOProjectDef::SetFullScreen(std::int32_t value) { FullScreen = MIDP == kMidp10 ? 0 : value; }

std::int32_t TVOProjectDef::GetFullScreen() const { return MIDP == kMidp10 ? 0 : FullScreen; }

void TVOProjectDef::SetFontSize(std::int32_t value) { FontSize = value != 0 ? 8 : 0; }

TOVChapter::TOVChapter(platform::System& system) : ID("CHP_" + TimeToken(system)) {}

TOVItem::TOVItem(platform::System& system, std::int32_t type, std::string workFolder)
    : mType(type), WorkFolder(std::move(workFolder)), ID("D_" + TimeToken(system)) {}

TOVImgItem::TOVImgItem(platform::System& system, std::int32_t type, std::string workFolder)
    : ID("IMG_" + TimeToken(system)), mType(type), WorkFolder(std::move(workFolder)) {}

void TOVImgItem::SetTypes(std::int32_t midp, std::int32_t srcType, std::int32_t resType) {
  if (midp == kMidp10) {
    SrcType = srcType;
    ResType = kImagePng;
  } else if (midp == kMidp20) {
    SrcType = srcType;
    ResType = resType;
  }
}

void TOVImgItem::SetQuality(std::int32_t value) { Quality = std::clamp(value, 0, 100); }

TOVJadItem::TOVJadItem(const std::string& templateText, std::int32_t order)
    : Order(order), Name(Trim(NthField(templateText, "|", 1))) {
  const auto code1 = ParseInt32(Trim(NthField(templateText, "|", 2)));
  const auto code2 = ParseInt32(Trim(NthField(templateText, "|", 3)));
  if (code1) Code1 = *code1;
  if (code2) Code2 = *code2;
  if (!code1 || !code2 || Code1 < 0 || Code2 < 0) Status = -12;
}

TOVJad::TOVJad(platform::System& system) : ID("JAD_" + TimeToken(system)) {
  for (const char* text : kJadTemplates) {
    auto item = std::make_unique<TOVJadItem>(text, 1);
    if (item->Status == 0) Attributes.push_back(std::move(item));
  }
}

std::int32_t TOVJad::AddAttribute(const std::string& name) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) return -3;
  for (const auto& attribute : Attributes) {
    if (attribute->Name == trimmed) return -4;
  }
  try {
    auto item = std::make_unique<TOVJadItem>(trimmed + "|0|0", static_cast<std::int32_t>(Attributes.size()));
    if (item->Status != 0) return -66;
    Attributes.push_back(std::move(item));
    return 0;
  } catch (const std::exception&) {
    return -22;
  }
}

TOVJavaApp::TOVJavaApp(platform::Machine& machine, const std::string& fileName, std::string midletVendor,
                       std::string javaPackage, const std::string& workFolderBase)
    : ID("OVID_" + TimeToken(machine.system)),
      Jad(std::make_unique<TOVJad>(machine.system)),
      WorkFolder(workFolderBase + TimeToken(machine.system)),
      MidletVendor(std::move(midletVendor)),
      ProjectDef(std::make_unique<TVOProjectDef>(ItemList, kMidp20, std::move(javaPackage), Title)),
      machine_(machine) {
  // A folder that cannot be made shows up as failed writes into it later.
  ForceFolder(machine_.files, WorkFolder);

  if (machine_.files.FileExists(fileName)) {
    if (IsBundlePath(fileName)) BundlePath = fileName;
    ProjectFolder = FolderPart(fileName);
    BaseName = FileNamePart(fileName);
    const auto dot = BaseName.find('.');
    if (dot != std::string::npos && dot != 0) BaseName.resize(dot);
  } else {
    ProjectFolder = WorkFolder + "\\";
    auto chapter = std::make_unique<TOVChapter>(machine_.system);
    chapter->Title = Title;
    ChapterList.push_back(std::move(chapter));
  }
}

TOVJavaApp::~TOVJavaApp() {
  ChapterList.clear();
  ItemList.clear();
  ImageList.clear();
  ProjectDef.reset();
  if (FolderExists(machine_.files, WorkFolder)) DeleteFolderTreeRecursive(machine_.files, WorkFolder, true);
}

std::string TOVJavaApp::SchemeId(std::int32_t index) const {
  switch (index) {
    case 0:
      return IdColors;
    case 1:
      return IdStrings;
    case 2:
      return IdIcons;
    default:
      return {};
  }
}

}  // namespace ov::project
