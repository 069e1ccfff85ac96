#include "project/SampleRelocation.h"

#include <exception>
#include <vector>

#include "project/JavaApp.h"
#include "project/Paths.h"
#include "support/FolderTree.h"
#include "support/Folders.h"

namespace ov::project {
namespace {

constexpr std::int32_t kPhaseFailed = -11;
constexpr std::int32_t kSampleFailed = -2124;

// Plain files only: no folder, and no hidden, system, read-only or any further attribute.
bool IsPlainFile(const platform::FindEntry& entry) {
  return (entry.attributes & ~(platform::attr::kArchive | platform::attr::kNormal)) == 0;
}

// Points the source path at the file of the same name in the content folder, when there is one.
void PointInto(platform::FileSystem& fs, const std::string& contentFolder, std::string& source) {
  const std::string candidate = contentFolder + "\\" + FileNamePart(source);
  if (fs.FileExists(candidate)) source = candidate;
}

void RemoveWorkFolder(platform::FileSystem& fs, const std::string& folder) {
  if (!fs.DirectoryExists(folder)) return;
  DeleteFolderTree(fs, folder, true);
  fs.RemoveDirectory(folder);
}

}  // namespace

std::int32_t RelocateSamples(platform::Machine& machine, const std::string& targetDir,
                             const std::string& projectsFolder, const std::string& contentFolder,
                             RelocationJob& job) {
  platform::FileSystem& fs = machine.files;
  if (!FolderExists(fs, projectsFolder)) return 0;

  std::vector<std::string> names;
  for (const platform::FindEntry& entry : fs.Find(projectsFolder + "\\*")) {
    if (IsPlainFile(entry)) names.push_back(entry.name);
  }

  const std::string tmp = targetDir + "\\tmpfiles";
  if (fs.DirectoryExists(tmp)) fs.RemoveDirectory(tmp);
  if (!ForceFolder(fs, tmp)) return kPhaseFailed;

  const auto count = static_cast<std::int32_t>(names.size());
  for (std::int32_t i = 0; i < count; ++i) {
    job.Checkpoint();
    const std::string sample = projectsFolder + "\\" + names[static_cast<std::size_t>(i)];
    job.SetCurrentSample(sample);
    job.PostSampleProgress(count, i);
    try {
      if (job.IsShipped(sample)) RelocateProject(machine, targetDir, sample, contentFolder);
    } catch (const std::exception&) {
      // One sample that cannot be relocated keeps its bundle; the others go on.
    }
    // The sample in hand is always finished; "\tmpfiles" goes also on a cancel so a rollback can
    // remove the install folder.
    if (job.IsCancelled()) break;
  }

  RemoveWorkFolder(fs, tmp);
  return fs.DirectoryExists(tmp) ? kPhaseFailed : 0;
}

std::int32_t RelocateProject(platform::Machine& machine, const std::string& targetDir,
                             const std::string& bundlePath, const std::string& contentFolder) {
  platform::FileSystem& fs = machine.files;
  if (!fs.FileExists(bundlePath) || !IsBundlePath(bundlePath)) return -1;
  try {
    TOVJavaApp app(machine, bundlePath, kDefaultVendor, kDefaultPackage, targetDir);
    bool allUnpacked = false;
    app.ReadBundle(bundlePath, app.WorkFolder, &allUnpacked);
    if (app.LoadStatus != 0) return app.LoadStatus;
    // Storing a sample that did not unpack whole would drop what is missing from its bundle.
    if (!allUnpacked) return kSampleFailed;

    bool changed = false;
    for (const auto& item : app.ItemList) {
      if (item->mType != kSourceFile || item->Clipboard) continue;
      PointInto(fs, contentFolder, item->SrcTxtFile);
      changed = true;
    }
    for (const auto& image : app.ImageList) {
      if (image->mType != kSourceFile || image->Clipboard) continue;
      PointInto(fs, contentFolder, image->SrcImgFile);
      changed = true;
    }
    if (changed && app.SaveProject(bundlePath) != 0) return kSampleFailed;
    return 0;
  } catch (const std::exception&) {
    return kSampleFailed;
  }
}

}  // namespace ov::project
