// The product stub's listing of a project bundle, on the emulated machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "platform/emulated/EmulatedMachine.h"
#include "product/ProjectListing.h"
#include "project/JavaApp.h"

namespace ov::product {
namespace {

class ProductListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    hostRoot_ = std::filesystem::temp_directory_path() / ("ov-listing-" + std::to_string(random()));
    emulated_ = std::make_unique<emulated::EmulatedMachine>(hostRoot_);
    emulated_->SetClock({2009, 3, 2, 10, 0, 0, 0});
    emulated_->SetTempPath("C:\\temp");
    for (const char* folder : {"C:\\temp", "C:\\out", "C:\\work"}) ASSERT_TRUE(fs().CreateDirectory(folder));
  }
  void TearDown() override {
    emulated_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(hostRoot_, ignored);
  }

  platform::Machine& machine() { return emulated_->machine(); }
  platform::FileSystem& fs() { return machine().files; }

  void Write(const std::string& path, const std::string& data) {
    auto file = fs().Open(path, platform::FileAccess::Write, platform::FileShare::None,
                          platform::FileCreate::CreateAlways);
    ASSERT_TRUE(file) << path;
    ASSERT_TRUE(file->Write(data.data(), static_cast<std::uint32_t>(data.size())));
  }

  // A sample as the shipped ones are: sources on another machine, one of each kind of entry.
  void SaveSample(const std::string& bundle) {
    project::TOVJavaApp app(machine(), "", project::kDefaultVendor, project::kDefaultPackage, "C:\\work\\");
    app.Title = "City guide";
    app.ChapterList[0]->Title = "Sights";
    auto text = std::make_unique<project::TOVItem>(machine().system, project::kSourceFile, app.WorkFolder);
    text->Title = "Old town";
    text->SrcTxtFile = "D:\\Samples\\SampleContent\\oldtown.txt";
    text->ResTxtFile = app.WorkFolder + "\\oldtown.txt";
    Write(text->ResTxtFile, "stones");
    app.ItemList.push_back(std::move(text));
    auto table = std::make_unique<project::TOVItem>(machine().system, project::kSourceUrl, app.WorkFolder);
    table->Title = "Timetable";
    table->TxtUrl = "http://www.velmorra.example/times.csv";
    app.ItemList.push_back(std::move(table));
    auto picture =
        std::make_unique<project::TOVImgItem>(machine().system, project::kSourceFile, app.WorkFolder);
    picture->ID = "IMG_1";
    picture->Caption = "Bridge";
    picture->SrcImgFile = "D:\\Samples\\SampleContent\\PNGs\\bridge.png";
    picture->ResImgFile = app.WorkFolder + "\\bridge.png";
    picture->ResPngFile = picture->ResImgFile;
    Write(picture->ResImgFile, "PNG");
    app.ImageList.push_back(std::move(picture));
    auto unnamed =
        std::make_unique<project::TOVImgItem>(machine().system, project::kSourceUrl, app.WorkFolder);
    unnamed->ID = "IMG_2";
    unnamed->ImgUrl = "http://www.velmorra.example/map.png";
    app.ImageList.push_back(std::move(unnamed));
    ASSERT_EQ(app.SaveProject(bundle), 0);
  }

  std::size_t EntriesIn(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : fs().Find(folder + "\\*")) count += entry.name != "." && entry.name != "..";
    return count;
  }

 private:
  std::filesystem::path hostRoot_;
  std::unique_ptr<emulated::EmulatedMachine> emulated_;
};

TEST_F(ProductListingTest, ListsTitleChaptersItemsAndImagesWithTheirSources) {
  SaveSample("C:\\out\\guide.ov5");
  EXPECT_EQ(DescribeBundle(machine(), "C:\\out\\guide.ov5"),
            "Project: City guide\r\n"
            "Bundle: C:\\out\\guide.ov5\r\n"
            "Chapters: 1\r\n"
            "  Sights\r\n"
            "Items: 2\r\n"
            "  Old town  <-  D:\\Samples\\SampleContent\\oldtown.txt\r\n"
            "  Timetable  <-  http://www.velmorra.example/times.csv\r\n"
            "Images: 2\r\n"
            "  Bridge  <-  D:\\Samples\\SampleContent\\PNGs\\bridge.png\r\n"
            "  IMG_2  <-  http://www.velmorra.example/map.png\r\n");
  // The bundle was unpacked into a working folder below the temporary folder, and that is gone.
  EXPECT_EQ(EntriesIn("C:\\temp"), 0u);
}

TEST_F(ProductListingTest, SaysWhyABundleCannotBeShown) {
  Write("C:\\out\\broken.ov5", "not a bundle at all");
  Write("C:\\out\\notes.txt", "text");
  // Which code the model gives a damaged bundle is the model's business; the listing names it.
  const struct {
    const char* path;
    const char* start;
  } cases[] = {
      {"C:\\out\\broken.ov5", "The project bundle \"C:\\out\\broken.ov5\" cannot be read (code -"},
      {"C:\\out\\missing.ov5", "\"C:\\out\\missing.ov5\" does not exist.\r\n"},
      {"C:\\out\\notes.txt", "\"C:\\out\\notes.txt\" is not an Ornivale project bundle (.ov5).\r\n"},
  };
  for (const auto& c : cases) {
    const std::string listing = DescribeBundle(machine(), c.path);
    EXPECT_EQ(listing.substr(0, std::string(c.start).size()), c.start) << listing;
  }
  EXPECT_EQ(EntriesIn("C:\\temp"), 0u);
}

}  // namespace
}  // namespace ov::product
