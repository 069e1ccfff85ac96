#include "tools/demotree/Artwork.h"

#include "project/JavaApp.h"
#include "support/Errors.h"
#include "tools/demotree/Zip.h"

namespace ov::demotree {

namespace {

struct Theme {
  const char* Name;
  Rgb First, Second, Accent;
};

constexpr Theme kThemes[] = {
    {"sky", {86, 150, 214}, {120, 168, 84}, {255, 224, 96}},
    {"sea", {24, 96, 160}, {222, 204, 160}, {250, 250, 240}},
    {"meadow", {150, 200, 240}, {72, 140, 52}, {250, 240, 120}},
    {"stone", {132, 128, 120}, {88, 84, 80}, {196, 190, 180}},
    {"sand", {236, 206, 150}, {196, 150, 90}, {255, 250, 230}},
    {"night", {16, 20, 56}, {36, 40, 60}, {240, 240, 200}},
    {"autumn", {200, 110, 40}, {120, 60, 30}, {250, 200, 80}},
    {"ice", {200, 226, 246}, {236, 244, 252}, {120, 170, 220}},
    {"forest", {40, 90, 50}, {24, 56, 30}, {180, 210, 120}},
    {"ruby", {150, 20, 36}, {90, 10, 20}, {250, 190, 190}},
};

struct Kind {
  const char* Name;
  int Width, Height;
  Pattern Shape;
};

constexpr Kind kKinds[] = {
    {"background", 176, 208, Pattern::kLandscape},
    {"splash", 240, 320, Pattern::kLandscape},
    {"banner", 176, 40, Pattern::kWaves},
    {"button", 64, 24, Pattern::kFrame},
    {"icon", 32, 32, Pattern::kBadge},
    {"tile", 64, 64, Pattern::kTiles},
    {"photo", 320, 240, Pattern::kSpeckle},
    {"frame", 176, 208, Pattern::kFrame},
    {"thumbnail", 48, 48, Pattern::kBadge},
    {"panorama", 480, 160, Pattern::kWaves},
};

Look LookOf(const Theme& theme, Pattern pattern, std::uint32_t seed) {
  return {pattern, theme.First, theme.Second, theme.Accent, seed};
}

std::string Png(const Theme& theme, Pattern pattern, int width, int height, std::uint32_t seed) {
  return EncodePng(Paint(width, height, LookOf(theme, pattern, seed)));
}

struct SkinPlan {
  const char* Name;
  int Theme;           // index into kThemes
  int Width, Height;   // the desktop picture
  int PanelW, PanelH;  // the page picture
};

// Classic carries full-size pictures and is the largest file of the tree.
constexpr SkinPlan kSkins[] = {
    {"Classic", 3, 1024, 768, 600, 525}, {"Ocean", 1, 400, 300, 320, 240},
    {"Graphite", 3, 400, 300, 320, 240}, {"Meadow", 2, 400, 300, 320, 240},
    {"Sunset", 6, 400, 300, 320, 240},   {"Ice", 7, 400, 300, 320, 240},
    {"Ruby", 9, 400, 300, 320, 240},     {"Sand", 4, 400, 300, 320, 240},
    {"Night", 5, 400, 300, 320, 240},    {"Forest", 8, 400, 300, 320, 240},
};

std::string SkinIni(const SkinPlan& skin) {
  const Theme& t = kThemes[skin.Theme];
  const auto colour = [](Rgb c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
  };
  return "[Skin]\r\nName=" + std::string(skin.Name) +
         "\r\nVersion=1.0\r\nAuthor=Velmorra srl\r\n"
         "\r\n[Colours]\r\nWindow=" +
         colour(t.Second) + "\r\nText=" + colour(t.Accent) + "\r\nCaption=" + colour(t.First) +
         "\r\n\r\n[Pictures]\r\nDesktop=desktop.png\r\nPage=page.png\r\nCaption=caption.png\r\n"
         "Button=button_normal.png\r\nButtonHot=button_hot.png\r\nButtonDown=button_down.png\r\n"
         "ButtonDisabled=button_disabled.png\r\nCheck=check_on.png\r\nUncheck=check_off.png\r\n"
         "Corner=corner.png\r\nEdge=edge.png\r\n";
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

std::string SourcePicture::FileBytes() const {
  return Format == project::kImageBmp ? EncodeBmp(Image) : EncodePng(Image);
}

std::vector<SourcePicture> SourcePictures() {
  struct Plan {
    const char* Name;
    int Theme;
    Pattern Shape;
  };
  constexpr Plan kPlans[] = {
      {"harbour.bmp", 1, Pattern::kLandscape}, {"cathedral.bmp", 3, Pattern::kTiles},
      {"market.png", 4, Pattern::kSpeckle},    {"lemon_tart.png", 4, Pattern::kBadge},
      {"risotto.bmp", 6, Pattern::kBadge},     {"coast_train.png", 0, Pattern::kLandscape},
      {"heron.bmp", 7, Pattern::kLandscape},   {"kingfisher.png", 8, Pattern::kSpeckle},
      {"lamp.png", 9, Pattern::kBadge},        {"stand_map.bmp", 7, Pattern::kTiles},
  };
  std::vector<SourcePicture> pictures;
  std::uint32_t seed = 11;
  for (const Plan& plan : kPlans) {
    const std::string name = plan.Name;
    const bool bmp = name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0;
    pictures.push_back({name, Paint(320, 240, LookOf(kThemes[plan.Theme], plan.Shape, seed += 7)),
                        bmp ? project::kImageBmp : project::kImagePng});
  }
  return pictures;
}

const SourcePicture& PictureNamed(const std::vector<SourcePicture>& pictures, const std::string& name) {
  for (const SourcePicture& picture : pictures) {
    if (picture.Name == name) return picture;
  }
  throw OvError("no sample picture " + name);
}

std::vector<NamedFile> PictureCollection() {
  std::vector<NamedFile> files;
  std::uint32_t seed = 1;
  for (const Theme& theme : kThemes) {
    for (const Kind& kind : kKinds) {
      files.push_back({std::string(theme.Name) + "_" + kind.Name + ".png",
                       Png(theme, kind.Shape, kind.Width, kind.Height, seed++)});
    }
  }
  return files;
}

std::vector<NamedFile> Skins(std::uint32_t dosDateTime) {
  std::vector<NamedFile> files;
  for (const SkinPlan& skin : kSkins) {
    const Theme& t = kThemes[skin.Theme];
    const auto seed = static_cast<std::uint32_t>(skin.Width + skin.Theme);
    std::vector<ZipMember> members = {
        {"skin.ini", SkinIni(skin)},
        {"desktop.png", Png(t, Pattern::kLandscape, skin.Width, skin.Height, seed)},
        {"page.png", Png(t, Pattern::kSpeckle, skin.PanelW, skin.PanelH, seed + 1)},
        {"caption.png", Png(t, Pattern::kWaves, 640, 28, seed + 2)},
        {"corner.png", Png(t, Pattern::kFrame, 16, 16, seed + 3)},
        {"edge.png", Png(t, Pattern::kTiles, 8, 64, seed + 4)},
    };
    const char* const kButtons[] = {"button_normal", "button_hot", "button_down", "button_disabled"};
    for (int i = 0; i < 4; ++i) {
      members.push_back({std::string(kButtons[i]) + ".png",
                         Png(t, Pattern::kFrame, 96, 28, seed + 5 + static_cast<std::uint32_t>(i))});
    }
    members.push_back({"check_on.png", Png(t, Pattern::kBadge, 16, 16, seed + 9)});
    members.push_back({"check_off.png", Png(t, Pattern::kFrame, 16, 16, seed + 10)});
    files.push_back({std::string(skin.Name) + ".skin", StoredZip(members, dosDateTime)});
  }
  return files;
}

std::vector<NamedFile> IconSchemes(std::uint32_t dosDateTime) {
  const char* const kSets[] = {"Round", "Square", "Outline", "Bold", "Soft", "Mono"};
  const char* const kIcons[] = {"back",  "next", "home", "menu", "exit", "search", "image", "text",
                                "table", "link", "info", "help", "ok",   "cancel", "up",    "down"};
  constexpr Pattern kShapes[] = {Pattern::kBadge, Pattern::kFrame,   Pattern::kTiles,
                                 Pattern::kBadge, Pattern::kSpeckle, Pattern::kFrame};
  std::vector<NamedFile> files;
  for (int set = 0; set < 6; ++set) {
    const Theme& t = kThemes[(set * 3 + 1) % 10];
    std::string ini = "[Scheme]\r\nID=ICO_" + Upper(kSets[set]) + "\r\nKind=Icons\r\nName=" + kSets[set] +
                      "\r\n\r\n[Icons]\r\n";
    std::vector<ZipMember> members = {{"scheme.ini", ""}};
    std::uint32_t seed = 300 + static_cast<std::uint32_t>(set) * 40;
    for (const char* icon : kIcons) {
      for (int size : {16, 32}) {
        const std::string name = std::string(icon) + "_" + std::to_string(size) + ".png";
        members.push_back({name, Png(t, kShapes[set], size, size, seed++)});
        ini += std::string(icon) + std::to_string(size) + "=" + name + "\r\n";
      }
    }
    members.front().Data = ini;
    files.push_back({"IconSet_" + std::string(kSets[set]) + ".icz", StoredZip(members, dosDateTime)});
  }
  return files;
}

std::string SampleIcon(int variant) {
  return Png(kThemes[variant % 10], Pattern::kBadge, 24, 24, 500 + static_cast<std::uint32_t>(variant));
}

std::string SampleLogo(int variant) {
  return Png(kThemes[variant % 10], Pattern::kWaves, 176, 40, 600 + static_cast<std::uint32_t>(variant));
}

}  // namespace ov::demotree
