#pragma once
// The install job, and the rollback job that undoes a cancelled install: one job object on a
// worker thread of its own, reporting to the wizard's window by posted messages only.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "javatools/JavaTools.h"
#include "package/PackItem.h"
#include "platform/Machine.h"
#include "platform/WorkerThread.h"
#include "project/SampleRelocation.h"

namespace ov::engine {

// Window messages posted to NotifyWnd.
constexpr std::uint32_t WM_OV_FILE_COPIED = 5030;      // (bytes written so far, index in Items)
constexpr std::uint32_t WM_OV_STATE = 5031;            // (0, or PackSize for 150 and 300; state)
constexpr std::uint32_t WM_OV_JOB_FREED = 5033;        // (0, 0) from the destructor
constexpr std::uint32_t WM_OV_EXTRACT_ERROR = 5034;    // (status, index in Items); the job then parks
constexpr std::uint32_t WM_OV_JOB_ENDED = 5035;        // (Mode, Status), posted by the wizard's end handler
constexpr std::uint32_t WM_OV_SAMPLE_PROGRESS = 5040;  // (sample count, index about to be processed)

constexpr std::int32_t kModeInstall = 100, kModeRollback = 200, kModeCancelled = 210;

// States carried by WM_OV_STATE, in the order an install sends them: 100, 150, 100, 200, 350, 300.
constexpr std::int32_t kStateCopying = 100, kStateExtracting = 150, kStateCopyingFiles = 200,
                       kStateRegistering = 300, kStateRelocating = 350;

class TOVInstallThread final : public platform::WorkerThread, private project::RelocationJob {
 public:
  // The job is created paused (createSuspended is always true for the wizard); Resume() starts it.
  TOVInstallThread(platform::Machine& machine, bool createSuspended, std::int32_t mode,
                   platform::WindowHandle notifyWnd, std::vector<std::string>* folders,
                   std::vector<std::string>* files);
  // Stops the thread, deletes the package copy and posts WM_OV_JOB_FREED.
  ~TOVInstallThread() override;

  void SetJdk(const javatools::TSunJDK* jdk);
  void SetWtk(const javatools::TMobileWTK* wtk);
  // A copy taken under the lock the relocation writes it under.
  std::string CurrentSample() const;

  // Mode and Cancelled are written by the wizard only while the job is suspended.
  std::atomic<std::int32_t> Mode;
  std::atomic<std::int32_t> Status{0};
  std::string PackFile;
  std::string TargetDir;  // set by the wizard before the start
  const javatools::TSunJDK* Jdk = nullptr;
  const javatools::TMobileWTK* Wtk = nullptr;
  std::vector<std::string> CatalogueLines;
  // Complete before the state 200; an entry's Name is final before its WM_OV_FILE_COPIED.
  std::vector<std::unique_ptr<package::TPackItem>> Items;
  platform::WindowHandle NotifyWnd;
  std::atomic<std::int32_t> PackSize{0};  // set before the state 150
  std::atomic<bool> Cancelled{false};
  std::string WindowsDir;
  std::vector<std::string>* Folders;  // owned by the wizard; the install only appends
  std::vector<std::string>* Files;

 private:
  void Execute() override;
  void Install();
  void Rollback();
  void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void PostState(std::int32_t state, std::uintptr_t wParam = 0);
  void DeletePackCopy();

  // Extraction.
  void CopyPackage();
  void ExtractPackage(const std::string& packFile, const std::string& installFolder);
  // Writes entry i; Status ends as 0, or as the code of the step that failed.
  void ExtractItem(platform::File& pack, std::int64_t packLength, package::TPackItem& item,
                   std::int64_t& total);
  // Through the handle that wrote the file, before it closes: no second open.
  void SetFileDate(platform::File& file, std::int32_t date);

  // Sample relocation.
  void RelocateSamples();
  void SetCurrentSample(const std::string& path) override;
  void PostSampleProgress(std::int32_t count, std::int32_t index) override;
  bool IsCancelled() const override;
  void Checkpoint() override;
  bool IsShipped(const std::string& path) const override;

  // Registration and its removal.
  void WriteSettings();
  void RegisterFileTypes();
  void WriteUninstallEntry();
  void RemoveRegistration();
  // The install log and the removal of copied files.
  void WriteInstallLog(const std::string& targetDir);
  void RemoveCopiedFiles();

  platform::Machine& machine_;
  mutable std::mutex sampleMutex_;
  std::string currentSample_;
};

}  // namespace ov::engine
