#pragma once
// Pointing the shipped sample projects at the installed sample content.
#include <cstdint>
#include <string>

#include "platform/Machine.h"

namespace ov::project {

// What the relocation needs of the job that runs it.
class RelocationJob {
 public:
  virtual ~RelocationJob() = default;
  // Safe hand-over to the UI thread.
  virtual void SetCurrentSample(const std::string& path) = 0;
  // WM_OV_SAMPLE_PROGRESS: count of listed files, index of the one about to be processed.
  virtual void PostSampleProgress(std::int32_t count, std::int32_t index) = 0;
  virtual bool IsCancelled() const = 0;
  // Pause point, before each sample.
  virtual void Checkpoint() = 0;
  // Whether the file in the projects folder is one the install wrote; any other (a project of the
  // user's own in a folder that existed before) is announced but left as it is.
  virtual bool IsShipped(const std::string& path) const {
    static_cast<void>(path);
    return true;
  }
};

// Relocates every plain bundle directly in the projects folder: 0, or -11 when listing or the
// "\tmpfiles" work folder failed.
std::int32_t RelocateSamples(platform::Machine& machine, const std::string& targetDir,
                             const std::string& projectsFolder, const std::string& contentFolder,
                             RelocationJob& job);

// Opens one bundle, points its file sources into the content folder and stores it again:
// 0, -1 (no such ".ov5" file), the document's load status, or -2124 on any other failure.
std::int32_t RelocateProject(platform::Machine& machine, const std::string& targetDir,
                             const std::string& bundlePath, const std::string& contentFolder);

}  // namespace ov::project
