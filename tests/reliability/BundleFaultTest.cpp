// The bundle rewrite fault matrix: a sample of the demo package, opened and pointed at other source
// files as the relocation does, then stored again with SaveProject while one of the changes the store
// makes to the disk fails (a refused change, or a write cut short as on a full disk). Whatever fails,
// the bundle is the old one byte for byte, or, when SaveProject reports success, the complete new one;
// nothing of the store's work is left beside it and no handle stays open.
//
// Samples: the two smallest of the demo package, one with file pictures, one of pasted content.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/Files.h"
#include "tests/reliability/InstallRig.h"
#include "tests/reliability/Tally.h"

namespace ov::reliability {
namespace {

constexpr const char* kProjects = "C:\\Ornivale\\Projects";

// Temporary files are numbered across the whole program: the same step gets another number each run.
std::string WithoutTemporaryNumber(const std::string& path) {
  const std::size_t at = path.rfind(".tmp");
  if (at == std::string::npos || at + 4 == path.size() ||
      path.find_first_not_of("0123456789", at + 4) != std::string::npos) {
    return path;
  }
  return path.substr(0, at) + ".tmp#";
}

struct Store {
  bool opened = false;
  std::int32_t status = 0;
  std::vector<std::pair<FileOp, std::string>> changes;  // every change the store tried
};

// Opens the sample at path, points its file sources into another folder, and stores it while the
// change numbered `failing` (counted from 0, none when negative) meets the verdict.
Store OpenChangeAndStore(InstallRig& rig, const std::string& path, int failing, Verdict verdict) {
  Store store;
  project::TOVJavaApp app(rig.machine(), path, project::kDefaultVendor, project::kDefaultPackage,
                          "C:\\Ornivale");
  store.opened = app.ReadBundle(path, app.WorkFolder) == 0;
  if (!store.opened) return store;
  const std::string content = "C:\\Ornivale\\SampleContent\\";
  for (const auto& item : app.ItemList) {
    if (item->mType == project::kSourceFile && !item->Clipboard)
      item->SrcTxtFile = content + project::FileNamePart(item->SrcTxtFile);
  }
  for (const auto& image : app.ImageList) {
    if (image->mType == project::kSourceFile && !image->Clipboard)
      image->SrcImgFile = content + project::FileNamePart(image->SrcImgFile);
  }
  rig.tappedFiles().tap = [&store, failing, verdict](FileOp op, const std::string& changed) {
    if (!Changes(op)) return Verdict::Pass;
    store.changes.emplace_back(op, WithoutTemporaryNumber(changed));
    return static_cast<int>(store.changes.size()) - 1 == failing ? verdict : Verdict::Pass;
  };
  store.status = app.SaveProject(path);
  rig.tappedFiles().tap = nullptr;
  return store;
}

std::vector<std::string> FolderListing(platform::FileSystem& fs, const std::string& folder) {
  std::vector<std::string> names;
  for (const platform::FindEntry& entry : fs.Find(folder + "\\*")) {
    if (entry.name != "." && entry.name != "..") names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Sample {
  std::string name;
  std::string bytes;                                    // as shipped
  std::string stored;                                   // after a store that nothing disturbed
  std::vector<std::pair<FileOp, std::string>> changes;  // that store's changes, in order
};

Sample Measure(const package::PackMember& member) {
  Sample sample{member.Entry.Name, member.Data, {}, {}};
  InstallRig rig;
  const std::string path = std::string(kProjects) + "\\" + member.Entry.Name;
  rig.Put(path, member.Data);
  Store clean = OpenChangeAndStore(rig, path, -1, Verdict::Pass);
  if (clean.opened && clean.status == 0) sample.stored = ReadWholeFile(rig.fs(), path).value_or("");
  sample.changes = std::move(clean.changes);
  return sample;
}

// The two smallest samples, one with file pictures and one of pasted content.
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> measured;
    for (const char* name : {"Poems.ov5", "PhraseBook.ov5", "CityGuide.ov5", "Newsletter.ov5"}) {
      for (const auto& member : DemoPackage().members) {
        if (member.Entry.Folder == "\\Projects" && member.Entry.Name == name)
          measured.push_back(Measure(member));
      }
    }
    return measured;
  }();
  return samples;
}

struct BundleFaultCase {
  std::size_t sample;
  int change;
  Verdict verdict;
  std::string name;
};

void PrintTo(const BundleFaultCase& c, std::ostream* out) { *out << c.name; }

std::vector<BundleFaultCase> Cases() {
  std::vector<BundleFaultCase> cases;
  for (std::size_t s = 0; s < Samples().size(); ++s) {
    const Sample& sample = Samples()[s];
    std::string base = sample.name.substr(0, sample.name.find('.'));
    for (std::size_t n = 0; n < sample.changes.size(); ++n) {
      const FileOp op = sample.changes[n].first;
      std::string name = base + "_" + std::to_string(n) + "_" + Name(op);
      std::replace(name.begin(), name.end(), '-', '_');
      cases.push_back({s, static_cast<int>(n), Verdict::Fail, name + "_Refused"});
      if (op == FileOp::Write)
        cases.push_back({s, static_cast<int>(n), Verdict::FailPartway, name + "_CutShort"});
    }
  }
  return cases;
}

TEST(BundleStoreTest, ACleanStoreWritesANewBundle) {
  ASSERT_EQ(Samples().size(), 4u);
  for (const Sample& sample : Samples()) {
    EXPECT_FALSE(sample.stored.empty()) << sample.name;
    EXPECT_NE(sample.stored, sample.bytes) << sample.name << ": the sources were changed";
    EXPECT_FALSE(sample.changes.empty()) << sample.name;
  }
}

class BundleFaultTest : public ::testing::TestWithParam<BundleFaultCase> {
 protected:
  InstallRig rig_;
};

TEST_P(BundleFaultTest, OldBundleStaysUntilTheNewOneIsComplete) {
  const BundleFaultCase& c = GetParam();
  const Sample& sample = Samples()[c.sample];
  const std::string path = std::string(kProjects) + "\\" + sample.name;
  rig_.Put(path, sample.bytes);
  const std::vector<std::string> before = FolderListing(rig_.fs(), kProjects);

  const Store store = OpenChangeAndStore(rig_, path, c.change, c.verdict);
  ASSERT_TRUE(store.opened) << "the sample did not open";
  const auto& failed = sample.changes[static_cast<std::size_t>(c.change)];
  ASSERT_GT(store.changes.size(), static_cast<std::size_t>(c.change)) << "the store took another way";
  ASSERT_EQ(store.changes[static_cast<std::size_t>(c.change)], failed);

  const std::optional<std::string> bundle = ReadWholeFile(rig_.fs(), path);
  std::string outcome;
  if (store.status != 0) {
    EXPECT_EQ(bundle, sample.bytes) << "a failed store must leave the old bundle; failed "
                                    << Name(failed.first) << " " << failed.second;
    outcome = "store failed, old bundle kept";
  } else {
    EXPECT_EQ(bundle, sample.stored) << "a store that reports success leaves the whole new bundle; failed "
                                     << Name(failed.first) << " " << failed.second;
    outcome = "store done, new bundle complete";
  }
  // What the store made beside the bundle is gone, unless removing that very file was what failed.
  std::vector<std::string> after = FolderListing(rig_.fs(), kProjects);
  if (failed.first == FileOp::DeleteFile) {
    after.erase(std::remove(after.begin(), after.end(), project::FileNamePart(failed.second)), after.end());
  }
  EXPECT_EQ(after, before) << "failed " << Name(failed.first) << " " << failed.second;
  EXPECT_EQ(rig_.emulated().OpenFileCount(), 0u);
  Tally("bundle rewrite faults", std::string(c.verdict == Verdict::Fail ? "refused " : "cut short ") +
                                     Name(failed.first) + ": " + outcome);
}

INSTANTIATE_TEST_SUITE_P(DemoSamples, BundleFaultTest, ::testing::ValuesIn(Cases()),
                         [](const auto& tested) { return tested.param.name; });

}  // namespace
}  // namespace ov::reliability
