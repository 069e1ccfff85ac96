#include "project/SampleRelocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "project/JavaApp.h"
#include "tests/project/ProjectFixture.h"

namespace ov::project {
namespace {

using testing::BundleBytes;

const std::string kTarget = "C:\\Apps\\Ornivale";
const std::string kProjects = kTarget + "\\Projects";
const std::string kContent = kTarget + "\\SampleContent";

// Records what the relocation asks of its job, in order.
class FakeJob : public RelocationJob {
 public:
  explicit FakeJob(int cancelAfter = -1) : cancelAfter_(cancelAfter) {}
  void SetCurrentSample(const std::string& path) override { events.push_back("sample " + path); }
  void PostSampleProgress(std::int32_t count, std::int32_t index) override {
    events.push_back("progress " + std::to_string(count) + " " + std::to_string(index));
    ++announced_;
  }
  bool IsCancelled() const override { return cancelAfter_ >= 0 && announced_ >= cancelAfter_; }
  void Checkpoint() override { events.push_back("checkpoint"); }

  std::vector<std::string> events;

 private:
  int cancelAfter_;
  int announced_ = 0;
};

struct Source {
  std::string path;  // the item's or image's source on the machine the sample was made on
  bool image = false;
};

class RelocationTest : public testing::ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    MakeFolder(kProjects + "\\Compiled");
    MakeFolder(kContent);
    MakeFolder("C:\\authoring");
    WriteFile(kContent + "\\intro.doc", "intro");
    WriteFile(kContent + "\\logo.bmp", "bmp");
    WriteFile(kContent + "\\table.xls", "xls");
  }

  // A sample as the product stores it, with file items and images taken from the given sources.
  void MakeSample(const std::string& bundle, const std::vector<Source>& sources) {
    TOVJavaApp app(machine(), "", kDefaultVendor, kDefaultPackage, "C:\\authoring\\");
    int n = 0;
    for (const Source& source : sources) {
      const std::string resource = app.WorkFolder + "\\res" + std::to_string(n++) + ".bin";
      WriteFile(resource, "resource");
      if (source.image) {
        auto image = std::make_unique<TOVImgItem>(machine().system, kSourceFile, app.WorkFolder);
        image->SrcImgFile = source.path;
        image->ResImgFile = resource;
        app.ImageList.push_back(std::move(image));
      } else {
        auto item = std::make_unique<TOVItem>(machine().system, kSourceFile, app.WorkFolder);
        item->SrcTxtFile = source.path;
        item->ResTxtFile = resource;
        app.ItemList.push_back(std::move(item));
      }
    }
    ASSERT_EQ(app.SaveProject(bundle), 0) << bundle;
  }

  // The sources of a stored sample, items first.
  std::vector<std::string> SourcesOf(const std::string& bundle) {
    auto app = Open(bundle, "C:\\authoring\\");
    EXPECT_EQ(app->ReadBundle(bundle, app->WorkFolder), 0) << bundle;
    std::vector<std::string> sources;
    for (const auto& item : app->ItemList) sources.push_back(item->SrcTxtFile);
    for (const auto& image : app->ImageList) sources.push_back(image->SrcImgFile);
    return sources;
  }

  std::map<std::string, std::string> Snapshot(const std::vector<std::string>& paths) {
    std::map<std::string, std::string> bytes;
    for (const std::string& path : paths) bytes[path] = Contents(path).value_or("<none>");
    return bytes;
  }

  // Neither working folders beside the install folder nor "\tmpfiles" remain.
  void ExpectNoScratchLeft() {
    EXPECT_EQ(Names("C:\\Apps"), std::vector<std::string>{"Ornivale"});
    EXPECT_FALSE(fs().DirectoryExists(kTarget + "\\tmpfiles"));
  }

  // Announced samples in order, from the recorded events.
  static std::vector<std::string> Announced(const FakeJob& job) {
    std::vector<std::string> samples;
    for (const std::string& e : job.events) {
      if (e.rfind("sample ", 0) == 0) samples.push_back(e.substr(7));
    }
    return samples;
  }

  // A bundle with only a clipboard item, a URL item and a URL image, whose document a save would
  // change (FontSize 16 is written back as 8).
  void MakeClipboardOnlySample(const std::string& bundle, const std::string& baseName) {
    const std::string doc =
        "[Document]\r\nItems=2\r\nImages=1\r\n[Preferences]\r\nFontSize=16\r\n"
        "[Item_0]\r\nmType=100\r\nClipboard=100\r\nResTxtFile=r.txt\r\nSrcTxtFile=D:\\Made\\clip.txt\r\n"
        "[Item_1]\r\nmType=200\r\nTxtUrl=http://example.com/\r\n"
        "[Image_0]\r\nmType=200\r\nImgUrl=http://example.com/i.png\r\n";
    WriteFile(bundle, BundleBytes("OVID_7", {{baseName + ".mjp", doc}, {"r.txt", "res"}, {"clip.txt", "clip"}}));
  }
};

TEST_F(RelocationTest, RelocatesEveryListedSampleInOrder) {
  const std::string alpha = kProjects + "\\alpha.ov5";
  const std::string beta = kProjects + "\\beta.ov5";
  const std::string gamma = kProjects + "\\gamma.ov5";
  MakeSample(alpha, {{"D:\\Made\\Intro.DOC"}, {"D:\\Made\\missing.doc"}, {"D:\\Made\\pics\\Logo.BMP", true}});
  MakeClipboardOnlySample(beta, "beta");
  MakeSample(gamma, {{"E:\\Other\\Table.xls"}});
  // Not listed: read-only, hidden, in a subfolder.
  MakeSample(kProjects + "\\locked.ov5", {{"D:\\Made\\intro.doc"}});
  ASSERT_TRUE(fs().SetAttributes(kProjects + "\\locked.ov5", platform::attr::kReadOnly));
  MakeSample(kProjects + "\\hidden.ov5", {{"D:\\Made\\intro.doc"}});
  ASSERT_TRUE(fs().SetAttributes(kProjects + "\\hidden.ov5", platform::attr::kHidden | platform::attr::kArchive));
  MakeSample(kProjects + "\\Compiled\\inner.ov5", {{"D:\\Made\\intro.doc"}});
  const std::vector<std::string> untouched = {beta, kProjects + "\\locked.ov5", kProjects + "\\hidden.ov5",
                                              kProjects + "\\Compiled\\inner.ov5"};
  const auto before = Snapshot(untouched);
  const std::string alphaId = Open(alpha)->ID;

  FakeJob job;
  EXPECT_EQ(RelocateSamples(machine(), kTarget, kProjects, kContent, job), 0);

  const std::vector<std::string> announced = Announced(job);
  ASSERT_EQ(announced.size(), 3u);
  std::vector<std::string> expectedEvents;
  for (std::size_t i = 0; i < 3; ++i) {
    expectedEvents.insert(expectedEvents.end(),
                          {"checkpoint", "sample " + announced[i], "progress 3 " + std::to_string(i)});
  }
  EXPECT_EQ(job.events, expectedEvents);
  // Each listed sample once, in the order the file system gives them.
  EXPECT_TRUE(std::is_permutation(announced.begin(), announced.end(),
                                  std::vector<std::string>{alpha, beta, gamma}.begin()));

  // Sources whose name is in the sample content move there, matched without regard to case.
  EXPECT_EQ(SourcesOf(alpha), (std::vector<std::string>{kContent + "\\Intro.DOC", "D:\\Made\\missing.doc",
                                                         kContent + "\\Logo.BMP"}));
  EXPECT_EQ(SourcesOf(gamma), std::vector<std::string>{kContent + "\\Table.xls"});
  EXPECT_EQ(Open(alpha)->ID, alphaId);
  EXPECT_EQ(Snapshot(untouched), before);
  EXPECT_EQ(Names(kProjects), (std::vector<std::string>{"Compiled", "alpha.ov5", "beta.ov5", "gamma.ov5",
                                                        "hidden.ov5", "locked.ov5"}));
  ExpectNoScratchLeft();
}

TEST_F(RelocationTest, CancelStopsAfterTheSampleInHand) {
  for (const char* name : {"a", "b", "c"}) MakeSample(kProjects + "\\" + name + ".ov5", {{"D:\\Made\\intro.doc"}});
  struct Case {
    int cancelAfter;
    std::size_t processed;
  };
  for (const Case& c : std::vector<Case>{{0, 1}, {1, 1}, {2, 2}}) {
    const auto before = Snapshot({kProjects + "\\a.ov5", kProjects + "\\b.ov5", kProjects + "\\c.ov5"});
    FakeJob job(c.cancelAfter);
    RelocateSamples(machine(), kTarget, kProjects, kContent, job);
    const std::vector<std::string> announced = Announced(job);
    ASSERT_EQ(announced.size(), c.processed) << "cancel after " << c.cancelAfter;
    for (const auto& [path, bytes] : before) {
      const bool processed = std::find(announced.begin(), announced.end(), path) != announced.end();
      EXPECT_EQ(SourcesOf(path)[0], processed ? kContent + "\\intro.doc" : "D:\\Made\\intro.doc") << path;
    }
    ExpectNoScratchLeft();
    // Start the next case from unrelocated samples.
    for (const char* name : {"a", "b", "c"}) MakeSample(kProjects + "\\" + name + ".ov5", {{"D:\\Made\\intro.doc"}});
  }
}

TEST_F(RelocationTest, MissingOrEmptyProjectsFolderAnnouncesNothing) {
  FakeJob missing;
  EXPECT_EQ(RelocateSamples(machine(), kTarget, kTarget + "\\NoProjects", kContent, missing), 0);
  EXPECT_TRUE(missing.events.empty());
  ExpectNoScratchLeft();

  MakeFolder(kTarget + "\\tmpfiles");
  FakeJob empty;
  EXPECT_EQ(RelocateSamples(machine(), kTarget, kProjects + "\\Compiled", kContent, empty), 0);
  EXPECT_TRUE(empty.events.empty());
  ExpectNoScratchLeft();
}

TEST_F(RelocationTest, OtherFilesAreCountedAndLeftAlone) {
  MakeSample(kProjects + "\\a.ov5", {{"D:\\Made\\intro.doc"}});
  WriteFile(kProjects + "\\readme.txt", "hello");
  FakeJob job;
  RelocateSamples(machine(), kTarget, kProjects, kContent, job);
  EXPECT_EQ(std::count(job.events.begin(), job.events.end(), "progress 2 0") +
                std::count(job.events.begin(), job.events.end(), "progress 2 1"),
            2);
  EXPECT_EQ(Contents(kProjects + "\\readme.txt"), "hello");
  EXPECT_EQ(SourcesOf(kProjects + "\\a.ov5")[0], kContent + "\\intro.doc");
}

TEST_F(RelocationTest, RelocateProjectResults) {
  WriteFile(kProjects + "\\notes.txt", "x");
  MakeClipboardOnlySample(kProjects + "\\clip.ov5", "clip");
  MakeSample(kProjects + "\\renamed.ov5", {{"D:\\Made\\intro.doc"}});
  ASSERT_TRUE(fs().MoveFileReplacing(kProjects + "\\renamed.ov5", kProjects + "\\other.ov5"));
  // A member that cannot be unpacked: storing the sample again would lose it.
  WriteFile(kProjects + "\\broken.ov5",
            BundleBytes("OVID_8",
                        {{"broken.mjp",
                          "[Document]\r\nItems=1\r\n[Item_0]\r\nmType=100\r\nSrcTxtFile=D:\\Made\\intro.doc\r\n"
                          "ResTxtFile=r.txt\r\n"}},
                        {"r.txt,99,50000"}));
  struct Case {
    std::string path;
    std::int32_t status;
  };
  const std::vector<Case> cases = {{kProjects + "\\none.ov5", -1},
                                   {kProjects + "\\notes.txt", -1},
                                   {kProjects + "\\clip.ov5", 0},
                                   {kProjects + "\\other.ov5", 0},
                                   {kProjects + "\\broken.ov5", -2124}};
  for (const Case& c : cases) {
    const auto before = Contents(c.path);
    EXPECT_EQ(RelocateProject(machine(), kTarget, c.path, kContent), c.status) << c.path;
    EXPECT_EQ(Contents(c.path), before) << c.path;
  }
  ExpectNoScratchLeft();
}

}  // namespace
}  // namespace ov::project
