#pragma once
// The setup wizard: five pages, the wizard state code, the install and rollback jobs and
// everything the user sees of them. It drives its window only through View.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/InstallThread.h"
#include "javatools/JavaTools.h"
#include "platform/Machine.h"
#include "platform/WorkerThread.h"
#include "wizard/View.h"

namespace ov::wizard {

// Wizard state codes besides the job's own (100, 150, 200, 300, 350).
namespace state {
constexpr std::int32_t kBeforeInstall = 50;
constexpr std::int32_t kShortcuts = 400;
constexpr std::int32_t kFinished = 500;
constexpr std::int32_t kClosing = 600;
constexpr std::int32_t kExtractError = 650;
constexpr std::int32_t kRollingBack = 799;
}  // namespace state

// The finish text's code when the job succeeded but left no product executable.
constexpr std::int32_t kExecutableMissing = -312;

// Another copy of the setup program; looked up before this copy's window exists.
platform::WindowHandle FindOtherInstaller(platform::Messages& messages);

class TfrmInst : public ViewEvents {
 public:
  // `otherInstallerWnd` is what FindOtherInstaller gave at program start.
  TfrmInst(platform::Machine& machine, View& view, platform::WindowHandle otherInstallerWnd);
  ~TfrmInst() override;
  TfrmInst(const TfrmInst&) = delete;
  TfrmInst& operator=(const TfrmInst&) = delete;

  // Runs once the window exists, before it is shown.
  void FormCreate();

  void FormShow() override;
  bool FormCloseQuery() override;
  void btnNavClick(Control sender) override;
  void cbEULAClick() override;
  void edtTargetChange() override;
  void btnBrowseClick() override;
  void btnCancelClick() override;
  bool HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

  std::int32_t StateCode() const { return stateCode_; }
  std::int32_t TotalBytes() const { return totalBytes_; }
  int PageIndex() const { return pageIndex_; }
  const std::string& TargetDir() const { return targetDir_; }
  engine::TOVInstallThread* InstallJob() const { return installJob_; }
  engine::TOVInstallThread* RollbackJob() const { return rollbackJob_; }
  const javatools::TSunJDK* SelectedJDK() const { return selectedJDK_; }
  const javatools::TMobileWTK* SelectedWTK() const { return selectedWTK_; }

 private:
  void SetTexts();
  void LoadEula();
  bool IsInstalled();
  void pcMainChange();
  void PreparePage(int tag);
  void Refuse();
  void PrepareFinishPage();
  bool CanLeavePage();
  bool CheckTargetFolder(std::string& reason);
  void StartInstall();
  void FinishAction();

  void WMState(std::int32_t code);
  void WMFileCopied(std::uintptr_t bytesWritten, std::intptr_t index);
  void WMSampleProgress(std::uintptr_t count, std::intptr_t index);
  void WMExtractError(std::int32_t status);
  void WMJobEnded(std::int32_t mode, std::int32_t status);
  void InstallTerminated(platform::WorkerThread& sender);
  void StartRollback();
  void RollbackTerminated(platform::WorkerThread& sender);
  void UpdateJavaNote();
  void CreateShortcuts(const std::string& exe);

  std::unique_ptr<engine::TOVInstallThread> NewJob(std::int32_t mode);
  std::string ProductExe(const std::string& folder) const;

  platform::Machine& machine_;
  View& view_;

  bool firstShow_ = true;
  bool alreadyInstalled_ = false;
  int pageIndex_ = 0;
  int activePage_ = 0;  // the page container's active page; PageIndex may run past it
  std::vector<std::unique_ptr<javatools::TSunJDK>> jdkList_;
  std::vector<std::unique_ptr<javatools::TMobileWTK>> wtkList_;
  javatools::TSunJDK* selectedJDK_ = nullptr;
  javatools::TMobileWTK* selectedWTK_ = nullptr;
  platform::WindowHandle productWnd_ = 0;
  platform::WindowHandle otherInstallerWnd_ = 0;
  std::int32_t stateCode_ = state::kBeforeInstall;
  std::int32_t totalBytes_ = 0;
  std::string targetDir_;
  std::vector<std::string> createdFolders_;
  std::vector<std::string> createdFiles_;
  engine::TOVInstallThread* installJob_ = nullptr;
  engine::TOVInstallThread* rollbackJob_ = nullptr;
  // Every job made, kept until the wizard goes; declared last so the jobs stop before the
  // lists and tool records they point at are freed.
  std::vector<std::unique_ptr<engine::TOVInstallThread>> jobs_;
};

}  // namespace ov::wizard
