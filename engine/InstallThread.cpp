#include "engine/InstallThread.h"

#include <algorithm>
#include <exception>

#include "support/Text.h"

namespace ov::engine {

TOVInstallThread::TOVInstallThread(platform::Machine& machine, bool createSuspended, std::int32_t mode,
                                   platform::WindowHandle notifyWnd, std::vector<std::string>* folders,
                                   std::vector<std::string>* files)
    : platform::WorkerThread(machine.messages),
      Mode(mode),
      NotifyWnd(notifyWnd),
      WindowsDir(machine.system.WindowsDirectory()),
      Folders(folders),
      Files(files),
      machine_(machine) {
  if (!createSuspended) Resume();
}

TOVInstallThread::~TOVInstallThread() {
  StopThread();
  DeletePackCopy();
  while (!Items.empty()) Items.pop_back();
  Post(WM_OV_JOB_FREED, 0, 0);
}

void TOVInstallThread::SetJdk(const javatools::TSunJDK* jdk) { Jdk = jdk; }

void TOVInstallThread::SetWtk(const javatools::TMobileWTK* wtk) { Wtk = wtk; }

std::string TOVInstallThread::CurrentSample() const {
  std::lock_guard lock(sampleMutex_);
  return currentSample_;
}

void TOVInstallThread::Execute() {
  switch (Mode) {
    case kModeInstall:
      Install();
      break;
    case kModeRollback:
      Rollback();
      break;
    default:
      break;
  }
}

void TOVInstallThread::Install() {
  PostState(kStateCopying);
  CopyPackage();
  Checkpoint();
  if (Cancelled) return;  // the copy stays until the job is destroyed
  {
    // However the block is left, the copy goes (a parked job never leaves it).
    struct PackCopyRemover {
      TOVInstallThread& job;
      ~PackCopyRemover() { job.DeletePackCopy(); }
    } remover{*this};
    if (!machine_.files.FileExists(PackFile)) {
      Status = -111;
      return;
    }
    if (PackSize < 1000) {
      Status = -119;
      return;
    }
    if (TargetDir.empty()) {
      Status = -112;
      return;
    }
    PostState(kStateExtracting, static_cast<std::uintptr_t>(PackSize.load()));
    ExtractPackage(PackFile, TargetDir);  // returns only when done or cancelled; a failure parks
    PostState(kStateRelocating);
    RelocateSamples();
  }
  Checkpoint();
  if (Cancelled) return;

  PostState(kStateRegistering, static_cast<std::uintptr_t>(PackSize.load()));
  // A step that fails skips the ones after it; the install still counts as done.
  try {
    Checkpoint();
    WriteSettings();
    Checkpoint();
    RegisterFileTypes();
    Checkpoint();
    WriteUninstallEntry();
    Checkpoint();
    WriteInstallLog(TargetDir);
  } catch (const std::exception&) {
  }
}

void TOVInstallThread::Rollback() {
  try {
    if (Folders != nullptr && Files != nullptr) RemoveCopiedFiles();
    RemoveRegistration();
  } catch (const std::exception&) {
  }
}

void TOVInstallThread::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  // Nobody waits for a post, and a failed one is of no consequence to the job.
  machine_.messages.Post(NotifyWnd, message, wParam, lParam);
}

void TOVInstallThread::PostState(std::int32_t state, std::uintptr_t wParam) {
  Post(WM_OV_STATE, wParam, state);
}

void TOVInstallThread::DeletePackCopy() {
  if (!PackFile.empty() && machine_.files.FileExists(PackFile)) machine_.files.DeleteFile(PackFile);
}

void TOVInstallThread::RelocateSamples() {
  try {
    project::RelocateSamples(machine_, TargetDir, TargetDir + "\\Projects", TargetDir + "\\SampleContent",
                             *this);
  } catch (const std::exception&) {
    // A sample that cannot be relocated stays as shipped; the install goes on.
  }
}

void TOVInstallThread::SetCurrentSample(const std::string& path) {
  std::lock_guard lock(sampleMutex_);
  currentSample_ = path;
}

void TOVInstallThread::PostSampleProgress(std::int32_t count, std::int32_t index) {
  Post(WM_OV_SAMPLE_PROGRESS, static_cast<std::uintptr_t>(count), index);
}

bool TOVInstallThread::IsCancelled() const { return Cancelled; }

void TOVInstallThread::Checkpoint() { platform::WorkerThread::Checkpoint(); }

bool TOVInstallThread::IsShipped(const std::string& path) const {
  // Files is appended on this thread only, and not while the relocation runs.
  return Files != nullptr && std::any_of(Files->begin(), Files->end(),
                                         [&](const std::string& file) { return EqualsNoCase(file, path); });
}

}  // namespace ov::engine
