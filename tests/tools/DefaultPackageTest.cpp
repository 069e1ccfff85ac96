// The default package as the build made it: sound, in the shipped order, and installed by the
// install job on an emulated machine with its samples relocated.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/ProfileFile.h"
#include "tests/engine/JobFixture.h"
#include "tests/tools/ShippedFolders.h"
#include "tools/ovpack/Commands.h"

namespace ov::engine {
namespace {

const std::vector<std::string>& kFolderOrder = testing_tools::kShippedFolderOrder;

std::string PackageBytes() {
  std::ifstream in(OV_DEFAULT_PACKAGE, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(DefaultPackageTest, IsSoundAndListsItsFoldersInTheShippedOrder) {
  std::ostringstream out, err;
  EXPECT_EQ(ovpack::Run({"verify", OV_DEFAULT_PACKAGE}, out, err), 0) << err.str();

  std::ostringstream listing;
  ASSERT_EQ(ovpack::Run({"list", OV_DEFAULT_PACKAGE}, listing, err), 0) << err.str();
  std::istringstream lines(listing.str());
  std::string line;
  std::vector<std::string> folders;
  int entries = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] != '\\') continue;  // the identifier, offset and count lines
    ++entries;
    const std::string folder = line.substr(0, line.find("  "));
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
  }
  EXPECT_EQ(entries, 207);
  EXPECT_EQ(folders, kFolderOrder);

  // Line 1 as the shipped package has it: the magic and an identifier formed like a project's ID.
  const std::string bytes = PackageBytes();
  const std::string first = bytes.substr(0, bytes.find("\r\n"));
  EXPECT_EQ(first.size(), 37u) << first;
  EXPECT_EQ(first.rfind("OrnivalePackage:OVID_", 0), 0u) << first;
  EXPECT_EQ(bytes.find("\r\n", 39), 47u);  // eight digits of catalogue offset
}

class DefaultPackageInstallTest : public JobFixture {};

TEST_F(DefaultPackageInstallTest, InstallsIntoANewFolderAndRelocatesTheSamples) {
  const std::string package = PackageBytes();
  ASSERT_GT(package.size(), 25'000'000u);
  SetPackage(package);
  emulated().SetWindowsDirectory("C:\\windows");
  TOVInstallThread& job = Start();
  ASSERT_TRUE(emulated().PumpUntil([this] { return ended_; }, std::chrono::seconds(120)));
  EXPECT_EQ(received_.back(), JobEnded(100, 0));

  std::vector<std::string> expectedFolders;
  for (const std::string& folder : kFolderOrder)
    expectedFolders.push_back(kTarget + (folder == "\\" ? "" : folder));
  EXPECT_EQ(folders_, expectedFolders);
  EXPECT_EQ(files_list_.size(), 207u);
  const ProfileFile log(fs(), "C:\\windows\\OVinstall.log");
  EXPECT_EQ(log.ReadInteger("Document", "Folders", 0), 14);
  EXPECT_EQ(log.ReadInteger("Document", "Files", 0), 206);

  // Every file source that is not pasted now lies in the installed sample content.
  int relocated = 0;
  for (const auto& item : job.Items) {
    if (item->Folder != "\\Projects") continue;
    const std::string& path = item->Name;
    const std::string shipped =
        package.substr(static_cast<std::size_t>(item->Offset), static_cast<std::size_t>(item->Size));
    if (project::FileNamePart(path) == "Newsletter.ov5") {
      EXPECT_EQ(Contents(path), shipped) << "a sample of pasted and web content is not stored again";
      continue;
    }
    EXPECT_NE(Contents(path), shipped) << path;
    project::TOVJavaApp app(emulated().machine(), path, project::kDefaultVendor, project::kDefaultPackage,
                            "C:\\Check");
    ASSERT_EQ(app.ReadBundle(path, app.WorkFolder), 0) << path;
    const std::string content = std::string(kTarget) + "\\SampleContent\\";
    for (const auto& source : app.ItemList) {
      if (source->mType != project::kSourceFile || source->Clipboard) continue;
      EXPECT_EQ(project::FolderPart(source->SrcTxtFile), content) << path;
      EXPECT_TRUE(fs().FileExists(source->SrcTxtFile)) << source->SrcTxtFile;
      ++relocated;
    }
    for (const auto& image : app.ImageList) {
      if (image->mType != project::kSourceFile || image->Clipboard) continue;
      EXPECT_EQ(project::FolderPart(image->SrcImgFile), content) << path;
      EXPECT_TRUE(fs().FileExists(image->SrcImgFile)) << image->SrcImgFile;
      ++relocated;
    }
  }
  EXPECT_GT(relocated, 20);
  // Nothing of the relocation's work is left beside or in the install folder.
  const std::vector<platform::FindEntry> beside = fs().Find("C:\\Ornivale*");
  ASSERT_EQ(beside.size(), 1u);
  EXPECT_FALSE(fs().DirectoryExists("C:\\Ornivale\\tmpfiles"));
}

}  // namespace
}  // namespace ov::engine
