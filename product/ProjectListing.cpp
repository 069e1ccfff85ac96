#include "product/ProjectListing.h"

#include <exception>

#include "project/JavaApp.h"
#include "project/Paths.h"

namespace ov::product {
namespace {

constexpr const char* kLineEnd = "\r\n";

std::string SourceOf(std::int32_t kind, const std::string& file, const std::string& url) {
  return kind == project::kSourceUrl ? url : file;
}

}  // namespace

std::string Greeting() {
  return std::string("Ornivale 1.0.7.25") + kLineEnd + kLineEnd +
         "Open a project bundle (.ov5) with Ornivale to see its chapters, items and pictures." + kLineEnd;
}

std::string DescribeBundle(platform::Machine& machine, const std::string& bundlePath) {
  if (!project::IsBundlePath(bundlePath)) {
    return "\"" + bundlePath + "\" is not an Ornivale project bundle (.ov5)." + kLineEnd;
  }
  if (!machine.files.FileExists(bundlePath)) return "\"" + bundlePath + "\" does not exist." + kLineEnd;
  try {
    project::TOVJavaApp app(machine, bundlePath, project::kDefaultVendor, project::kDefaultPackage,
                            machine.system.TempPath() + "OrnivaleView");
    const std::int32_t status = app.ReadBundle(bundlePath, app.WorkFolder);
    if (status != 0) {
      return "The project bundle \"" + bundlePath + "\" cannot be read (code " + std::to_string(status) +
             ")." + kLineEnd;
    }
    std::string text = "Project: " + app.Title + kLineEnd + "Bundle: " + bundlePath + kLineEnd;
    text += "Chapters: " + std::to_string(app.ChapterList.size()) + kLineEnd;
    for (const auto& chapter : app.ChapterList) text += "  " + chapter->Title + kLineEnd;
    text += "Items: " + std::to_string(app.ItemList.size()) + kLineEnd;
    for (const auto& item : app.ItemList) {
      text +=
          "  " + item->Title + "  <-  " + SourceOf(item->mType, item->SrcTxtFile, item->TxtUrl) + kLineEnd;
    }
    text += "Images: " + std::to_string(app.ImageList.size()) + kLineEnd;
    for (const auto& image : app.ImageList) {
      const std::string& name = image->Caption.empty() ? image->ID : image->Caption;
      text += "  " + name + "  <-  " + SourceOf(image->mType, image->SrcImgFile, image->ImgUrl) + kLineEnd;
    }
    return text;
  } catch (const std::exception& failure) {
    return "The project bundle \"" + bundlePath + "\" cannot be read: " + failure.what() + kLineEnd;
  }
}

}  // namespace ov::product
