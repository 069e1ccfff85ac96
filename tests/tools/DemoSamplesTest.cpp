#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/emulated/EmulatedMachine.h"
#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/Text.h"
#include "tests/tools/DemoTreeFixture.h"
#include "tests/tools/FormatChecks.h"

namespace ov::demotree {
namespace {

using project::TOVJavaApp;

class DemoSamplesTest : public DemoTreeFixture {
 protected:
  void SetUp() override { machine_ = std::make_unique<emulated::EmulatedMachine>(Scratch() / "machine"); }
  void TearDown() override {
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(Scratch() / "machine", ignored);
  }

  // The bundle put on the emulated machine, as an install would leave it.
  std::string Place(const TreeFile& bundle) {
    const std::string path = "C:\\Setup\\Projects\\" + bundle.Name;
    std::filesystem::create_directories(machine_->HostPath("C:\\") / "Setup" / "Projects");
    std::ofstream(machine_->HostPath("C:\\Setup\\Projects") / bundle.Name, std::ios::binary) << bundle.Data;
    return path;
  }

  bool InSampleContent(const std::string& name) const {
    return std::any_of(Tree().begin(), Tree().end(), [&](const TreeFile& file) {
      return file.Folder == "\\SampleContent" && EqualsNoCase(file.Name, name);
    });
  }

  // The IDs the scheme files of "\Schemas" give themselves ("ID=" in section [Scheme]).
  static std::set<std::string> SchemeIds() {
    std::set<std::string> ids;
    const auto take = [&](const std::string& text) {
      const std::size_t at = text.find("\r\nID=");
      if (text.rfind("[Scheme]\r\n", 0) == 0 && at != std::string::npos) {
        ids.insert(text.substr(at + 5, text.find("\r\n", at + 5) - at - 5));
      }
    };
    for (const TreeFile& file : Tree()) {
      if (file.Folder != "\\Schemas") continue;
      std::vector<checks::ZipEntry> entries;
      if (checks::CheckZip(file.Data, entries).empty()) {
        for (const checks::ZipEntry& entry : entries) {
          if (entry.Name == "scheme.ini") take(entry.Data);
        }
      } else {
        take(file.Data);
      }
    }
    return ids;
  }

  std::unique_ptr<emulated::EmulatedMachine> machine_;
};

// Whether a source path lies on another machine: a full path outside the place it is read on.
bool Foreign(const std::string& path) {
  return path.size() > 3 && path[1] == ':' && path[2] == '\\' && path.rfind("C:\\Setup", 0) != 0 &&
         !project::FolderPart(path).empty();
}

TEST_F(DemoSamplesTest, BundlesLoadAndTheirSourcesLieOnAnotherMachine) {
  const std::set<std::string> schemes = SchemeIds();
  EXPECT_EQ(schemes.size(), 24u);
  int bundles = 0, fileSources = 0;
  std::vector<std::string> withoutFileSources;
  for (const TreeFile& bundle : Tree()) {
    if (bundle.Folder != "\\Projects") continue;
    ++bundles;
    const std::string path = Place(bundle);
    platform::Machine& m = machine_->machine();
    TOVJavaApp app(m, path, project::kDefaultVendor, project::kDefaultPackage, "C:\\Setup");
    bool whole = false;
    ASSERT_EQ(app.ReadBundle(path, app.WorkFolder, &whole), 0) << bundle.Name;
    EXPECT_TRUE(whole) << bundle.Name;
    EXPECT_FALSE(app.Title.empty()) << bundle.Name;
    ASSERT_FALSE(app.ItemList.empty()) << bundle.Name;
    for (int kind = 0; kind < 3; ++kind)
      EXPECT_TRUE(schemes.count(app.SchemeId(kind))) << bundle.Name << kind;

    // The chapters cover the items one after the other, and the items name their chapter and image.
    std::int32_t next = 0;
    std::set<std::string> imageIds;
    for (const auto& image : app.ImageList) imageIds.insert(image->ID);
    for (const auto& chapter : app.ChapterList) {
      EXPECT_EQ(chapter->ItemIdx, next) << bundle.Name << " " << chapter->Title;
      EXPECT_GT(chapter->ItemCount, 0) << bundle.Name << " " << chapter->Title;
      for (std::int32_t i = chapter->ItemIdx; i < chapter->ItemIdx + chapter->ItemCount; ++i) {
        ASSERT_LT(static_cast<std::size_t>(i), app.ItemList.size()) << bundle.Name;
        EXPECT_EQ(app.ItemList[static_cast<std::size_t>(i)]->ChpID, chapter->ID) << bundle.Name;
      }
      next += chapter->ItemCount;
    }
    EXPECT_EQ(static_cast<std::size_t>(next), app.ItemList.size()) << bundle.Name;

    int own = 0;
    for (const auto& item : app.ItemList) {
      if (!item->ImgID.empty()) {
        EXPECT_TRUE(imageIds.count(item->ImgID)) << bundle.Name << " " << item->Title;
      }
      if (item->mType == project::kSourceUrl) {
        EXPECT_EQ(item->TxtUrl.rfind("http://", 0), 0u) << bundle.Name;
        continue;
      }
      EXPECT_TRUE(m.files.FileExists(item->ResTxtFile)) << bundle.Name << " " << item->Title;
      if (item->Clipboard) {
        EXPECT_TRUE(m.files.FileExists(item->SrcTxtFile)) << bundle.Name << " " << item->Title;
        continue;
      }
      ++own;
      EXPECT_TRUE(Foreign(item->SrcTxtFile)) << item->SrcTxtFile;
      EXPECT_TRUE(InSampleContent(project::FileNamePart(item->SrcTxtFile))) << item->SrcTxtFile;
    }
    for (const auto& image : app.ImageList) {
      if (image->mType == project::kSourceUrl) continue;
      EXPECT_TRUE(m.files.FileExists(image->ResImgFile) && m.files.FileExists(image->ResPngFile))
          << bundle.Name;
      if (image->Clipboard) continue;
      ++own;
      EXPECT_TRUE(Foreign(image->SrcImgFile)) << image->SrcImgFile;
      EXPECT_TRUE(InSampleContent(project::FileNamePart(image->SrcImgFile))) << image->SrcImgFile;
    }
    fileSources += own;
    if (own == 0) withoutFileSources.push_back(bundle.Name);

    // The document remembers the size of the application built from it.
    const std::string base = bundle.Name.substr(0, bundle.Name.size() - 4);
    EXPECT_EQ(static_cast<std::size_t>(app.JarSize),
              File("\\Projects\\Compiled\\" + base, base + ".jar").Data.size())
        << bundle.Name;
  }
  EXPECT_EQ(bundles, 9);
  EXPECT_GT(fileSources, 20);
  // One sample has only pasted and web content, so the install leaves it as shipped.
  EXPECT_EQ(withoutFileSources, std::vector<std::string>{"Newsletter.ov5"});
}

}  // namespace
}  // namespace ov::demotree
