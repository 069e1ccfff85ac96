#include "wizard/TfrmInst.h"

#include <exception>
#include <string_view>

#include "support/Folders.h"
#include "support/Text.h"
#include "wizard/FolderCheck.h"
#include "wizard/Shortcuts.h"
#include "wizard/Texts.h"

namespace ov::wizard {

using texts::Str;

namespace {

constexpr int kPageCount = 5;
constexpr int kTagNext = 100;
constexpr int kTagBack = 200;
constexpr int kWelcomePage = 100;
constexpr int kLicencePage = 200;
constexpr int kFolderPage = 300;
constexpr int kProgressPage = 400;
constexpr int kFinishPage = 500;
constexpr int kFolderPageIndex = 2;

constexpr std::uint32_t kRed = Rgb(255, 0, 0);

// A step whose failure the wizard ignores: the handler goes on with the next one.
template <typename Step>
void Ignoring(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

struct PhaseCaption {
  std::int32_t code;
  std::string_view caption;
};

constexpr PhaseCaption kPhaseCaptions[] = {
    {100, texts::kExtractingCaption}, {150, texts::kFoldersCaption},
    {200, texts::kCopyingCaption},    {300, texts::kRegistryCaption},
    {350, texts::kSamplesCaption},    {state::kShortcuts, texts::kShortcutsCaption},
};

}  // namespace

platform::WindowHandle FindOtherInstaller(platform::Messages& messages) {
  return messages.FindWindowByClass(Str(texts::kWizardClass));
}

TfrmInst::TfrmInst(platform::Machine& machine, View& view, platform::WindowHandle otherInstallerWnd)
    : machine_(machine), view_(view), otherInstallerWnd_(otherInstallerWnd) {}

TfrmInst::~TfrmInst() = default;

void TfrmInst::FormCreate() {
  Ignoring([&] { productWnd_ = machine_.messages.FindWindowByClass(Str(texts::kProductWindowClass)); });
  alreadyInstalled_ = IsInstalled();
  Ignoring([&] { view_.Handle(); });  // the jobs post to it
  Ignoring([&] { SetTexts(); });
  Ignoring([&] { javatools::CollectJDKs(machine_, jdkList_, selectedJDK_); });
  Ignoring([&] { javatools::CollectWTKs(machine_, wtkList_, selectedWTK_); });
  Ignoring([&] {
    const std::string programFiles = SpecialFolderPath(machine_.system, csidl::kProgramFiles, view_.Handle());
    view_.SetText(Control::edtTarget, FolderExists(machine_.files, programFiles)
                                          ? programFiles + Str(texts::kTargetSubfolder)
                                          : Str(texts::kDefaultTarget));
  });
  Ignoring([&] { view_.SetText(Control::lblMCC, Str(texts::kTagline)); });
}

void TfrmInst::SetTexts() {
  view_.SetText(Control::lblWelcome, Str(texts::kWelcome));
  view_.SetText(Control::lblFolder, Str(texts::kSelectFolder));
  view_.SetText(Control::btnBrowse, Str(texts::kBrowse));
  view_.SetText(Control::lblWait, Str(texts::kWait));
  view_.SetText(Control::btnBack, Str(texts::kBack));
  view_.SetText(Control::btnNext, Str(texts::kNext));
  view_.SetText(Control::lblCopy, Str(texts::kMakerNotice));
  view_.SetLink(Control::lblURL, Str(texts::kMakerUrl), Str(texts::kMakerUrl), "");
  view_.SetText(Control::lblIntro, texts::Intro());
  view_.SetText(Control::lblOPTIONS, Str(texts::kOptions));
  view_.SetText(Control::btnCancel, Str(texts::kExit));
  view_.SetText(Control::cbEULA, Str(texts::kAcceptEula));
  view_.SetText(Control::cboxStart, Str(texts::kRunNow));
  view_.SetText(Control::gbNOTE, Str(texts::kNoteCaption));
  view_.SetText(Control::lblNote, Str(texts::kNote));
  const std::string jdkUrl = Str(texts::kJavaDownloadHost) + Str(texts::kJdkDownloadPath);
  const std::string wtkUrl = Str(texts::kJavaDownloadHost) + Str(texts::kWtkDownloadPath);
  view_.SetLink(Control::lblJDKUrl, Str(texts::kJdkLink), jdkUrl, texts::DownloadHint(jdkUrl));
  view_.SetLink(Control::lblWTKUrl, Str(texts::kWtkLink), wtkUrl, texts::DownloadHint(wtkUrl));
  LoadEula();
}

void TfrmInst::LoadEula() {
  Ignoring([&] {
    const auto eula = machine_.resources.Find(Str(texts::kEulaResource), platform::ResourceType::RcData);
    if (eula && !eula->empty()) view_.SetMemoText(Control::mmEULA, std::string(*eula));
  });
}

bool TfrmInst::IsInstalled() {
  try {
    return machine_.registry.Open(platform::RegRoot::LocalMachine, Str(texts::kUninstallKey),
                                  platform::RegAccess::Read) != nullptr;
  } catch (const std::exception&) {
    return false;
  }
}

void TfrmInst::FormShow() {
  if (!firstShow_) return;
  firstShow_ = false;
  Ignoring([&] { pcMainChange(); });
}

void TfrmInst::pcMainChange() {
  view_.SetText(Control::frmInst, Str(texts::kWindowCaption));
  view_.ShowPage(activePage_);
  PreparePage((activePage_ + 1) * 100);
}

void TfrmInst::PreparePage(int tag) {
  if (otherInstallerWnd_ != 0) {
    stateCode_ = state::kClosing;
    Ignoring([&] { view_.Close(); });
    return;
  }
  Ignoring([&] { productWnd_ = machine_.messages.FindWindowByClass(Str(texts::kProductWindowClass)); });
  if (productWnd_ != 0 || alreadyInstalled_) {
    Refuse();
    return;
  }
  Ignoring([&] {
    view_.SetVisible(Control::btnBack, tag > kWelcomePage);
    switch (tag) {
      case kLicencePage:
        view_.RemoveGlyph(Control::btnNext);
        view_.SetChecked(Control::cbEULA, false);  // accepted again on every visit
        view_.SetEnabled(Control::btnNext, false);
        view_.SetText(Control::btnNext, Str(texts::kNext));
        break;
      case kFolderPage:
        view_.SetText(Control::btnNext, Str(texts::kInstall));
        if (view_.LoadGlyph(Control::btnNext, Str(texts::kTickBitmap))) {
          view_.Repaint(Control::btnNext);
        } else {
          view_.SetText(Control::btnNext, Str(texts::kInstall));
        }
        break;
      case kProgressPage:
        view_.SetEnabled(Control::btnNext, false);
        view_.RemoveGlyph(Control::btnNext);
        view_.SetEnabled(Control::btnBack, false);
        StartInstall();
        break;
      case kFinishPage:
        PrepareFinishPage();
        break;
      default:
        view_.SetEnabled(Control::btnNext, pageIndex_ < kPageCount - 1);
        view_.SetText(Control::btnNext, Str(texts::kNext));
        break;
    }
  });
}

void TfrmInst::Refuse() {
  Ignoring([&] {
    view_.ShowMessageBox(Str(alreadyInstalled_ ? texts::kAlreadyInstalled : texts::kAlreadyRunning),
                         BoxKind::Error, BoxButtons::Ok);
  });
  Ignoring([&] {
    view_.SetText(Control::lblWelcome, Str(texts::kCannotProceed));
    view_.SetFontColor(Control::lblWelcome, kRed);
    view_.SetVisible(Control::lblIntro, false);
  });
  stateCode_ = state::kClosing;
  Ignoring([&] {
    view_.SetEnabled(Control::btnNext, false);
    view_.SetEnabled(Control::btnBack, false);
    view_.SetVisible(Control::btnNext, false);
    view_.SetVisible(Control::btnBack, false);
    view_.SetEnabled(Control::btnCancel, true);
    view_.SetText(Control::btnCancel, Str(texts::kClose));
  });
}

void TfrmInst::PrepareFinishPage() {
  UpdateJavaNote();
  view_.SetEnabled(Control::btnNext, false);
  view_.SetEnabled(Control::btnBack, false);
  view_.RemoveGlyph(Control::btnNext);
  view_.SetVisible(Control::btnNext, false);
  view_.SetVisible(Control::btnBack, false);
  view_.SetEnabled(Control::btnCancel, true);
  view_.SetText(Control::btnCancel, Str(texts::kFinish));
  view_.SetVisible(Control::cboxStart,
                   machine_.files.FileExists(ProductExe(view_.GetText(Control::edtTarget))));
}

void TfrmInst::UpdateJavaNote() {
  view_.SetVisible(Control::lblJDKUrl, selectedJDK_ == nullptr);
  view_.SetVisible(Control::lblWTKUrl, selectedWTK_ == nullptr);
  view_.SetVisible(Control::gbNOTE, selectedJDK_ == nullptr || selectedWTK_ == nullptr);
}

void TfrmInst::btnNavClick(Control sender) {
  const int tag = sender == Control::btnNext ? kTagNext : sender == Control::btnBack ? kTagBack : 0;
  if (tag == 0) return;
  Ignoring([&] {
    if (tag == kTagNext && !CanLeavePage()) return;
    pageIndex_ += tag == kTagNext ? 1 : -1;
    if (pageIndex_ >= 0 && pageIndex_ < kPageCount) activePage_ = pageIndex_;
    view_.SetEnabled(Control::btnBack, pageIndex_ > 0);
    view_.SetEnabled(Control::btnNext, pageIndex_ < kPageCount - 1);
    pcMainChange();
  });
}

bool TfrmInst::CanLeavePage() {
  if (pageIndex_ != kFolderPageIndex) return true;
  std::string reason;
  if (CheckTargetFolder(reason)) return true;
  view_.ShowMessageBox(texts::FolderErrorBox(Trim(view_.GetText(Control::edtTarget)), reason), BoxKind::Error,
                       BoxButtons::Ok);
  return false;
}

bool TfrmInst::CheckTargetFolder(std::string& reason) {
  return wizard::CheckTargetFolder(machine_.files, view_.GetText(Control::edtTarget), reason);
}

void TfrmInst::cbEULAClick() {
  Ignoring([&] { view_.SetEnabled(Control::btnNext, view_.IsChecked(Control::cbEULA)); });
}

void TfrmInst::edtTargetChange() {
  Ignoring([&] { view_.SetEnabled(Control::btnNext, !Trim(view_.GetText(Control::edtTarget)).empty()); });
}

void TfrmInst::btnBrowseClick() {
  Ignoring([&] {
    const auto chosen = view_.BrowseForFolder(Str(texts::kSelectFolder));
    if (chosen && FolderExists(machine_.files, *chosen)) {
      view_.SetText(Control::edtTarget, *chosen + Str(texts::kTargetSubfolder));
    }
  });
}

std::unique_ptr<engine::TOVInstallThread> TfrmInst::NewJob(std::int32_t mode) {
  return std::make_unique<engine::TOVInstallThread>(machine_, true, mode, view_.Handle(), &createdFolders_,
                                                    &createdFiles_);
}

void TfrmInst::StartInstall() {
  Ignoring([&] { view_.SetText(Control::gbProgress, Str(texts::kStartCaption)); });
  Ignoring([&] {
    jobs_.push_back(NewJob(engine::kModeInstall));
    installJob_ = jobs_.back().get();
    targetDir_ = CollapseBackslashes(Trim(view_.GetText(Control::edtTarget)));
    if (RightChars(targetDir_, 1) == "\\") targetDir_.pop_back();
    installJob_->TargetDir = targetDir_;
    installJob_->SetJdk(selectedJDK_);
    installJob_->SetWtk(selectedWTK_);
    installJob_->SetEndHandler([this](platform::WorkerThread& sender) { InstallTerminated(sender); });
    installJob_->Resume();
  });
}

void TfrmInst::btnCancelClick() {
  bool suspended = false;
  if (installJob_ != nullptr) Ignoring([&] { suspended = installJob_->Suspend(); });
  Ignoring([&] {
    switch (stateCode_) {
      case state::kBeforeInstall:
      case 100:
      case 150:
      case 200:
      case 300:
      case 350:
      case state::kShortcuts: {
        const int answer =
            view_.ShowMessageBox(Str(texts::kAbortQuestion), BoxKind::Confirmation, BoxButtons::YesNoCancel);
        if (answer != kIdYes) {
          if (suspended) installJob_->Resume();
          return;
        }
        if (stateCode_ == state::kBeforeInstall) {
          stateCode_ = state::kClosing;
          view_.Close();
          return;
        }
        view_.ShowMessageBox(Str(texts::kCancelled), BoxKind::Information, BoxButtons::Ok);
        if (suspended && installJob_ != nullptr) {
          // Written while the job sits paused; it reads them once it goes on.
          installJob_->Mode = engine::kModeCancelled;
          installJob_->Cancelled = true;
          try {
            installJob_->Resume();
          } catch (const std::exception&) {
            installJob_ = nullptr;
          }
        } else {
          stateCode_ = state::kClosing;
          view_.Close();
        }
        return;
      }
      case state::kFinished:
        FinishAction();
        view_.Close();
        return;
      case state::kClosing:
      case state::kExtractError:
        view_.Close();
        return;
      default:
        return;  // the rollback runs: the window stays
    }
  });
}

void TfrmInst::FinishAction() {
  const std::string exe = ProductExe(view_.GetText(Control::edtTarget));
  if (machine_.files.FileExists(exe) && view_.IsChecked(Control::cboxStart)) {
    machine_.shell.OpenDocument(view_.Handle(), exe);
  }
}

bool TfrmInst::FormCloseQuery() {
  if (stateCode_ == state::kFinished || stateCode_ == state::kClosing || stateCode_ == state::kExtractError) {
    return true;
  }
  btnCancelClick();
  return false;
}

bool TfrmInst::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case engine::WM_OV_FILE_COPIED:
      WMFileCopied(wParam, lParam);
      return true;
    case engine::WM_OV_STATE:
      WMState(static_cast<std::int32_t>(lParam));
      return true;
    case engine::WM_OV_JOB_FREED:
      return true;
    case engine::WM_OV_EXTRACT_ERROR:
      WMExtractError(static_cast<std::int32_t>(wParam));
      return true;
    case engine::WM_OV_JOB_ENDED:
      WMJobEnded(static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
      return true;
    case engine::WM_OV_SAMPLE_PROGRESS:
      WMSampleProgress(wParam, lParam);
      return true;
    default:
      return false;
  }
}

void TfrmInst::WMState(std::int32_t code) {
  stateCode_ = code;
  for (const PhaseCaption& phase : kPhaseCaptions) {
    if (phase.code != code) continue;
    Ignoring([&] { view_.SetText(Control::gbProgress, Str(phase.caption)); });
    Ignoring([&] { view_.SetText(Control::lblFile, ""); });
  }
  if (code == 150 && installJob_ != nullptr) totalBytes_ = installJob_->PackSize;
}

void TfrmInst::WMFileCopied(std::uintptr_t bytesWritten, std::intptr_t index) {
  if (bytesWritten > 100 && totalBytes_ > 100) {
    Ignoring([&] {
      view_.SetProgress(static_cast<int>(bytesWritten / static_cast<std::uintptr_t>(totalBytes_ / 100)));
      view_.Repaint(Control::pbarInstall);
    });
  }
  std::string name;
  if (installJob_ != nullptr) {
    Ignoring([&] {
      const auto& items = installJob_->Items;
      if (index >= 0 && static_cast<std::size_t>(index) < items.size() && items[index]) {
        name = items[index]->Name;
      }
    });
  }
  Ignoring([&] { view_.SetText(Control::lblFile, name); });
}

void TfrmInst::WMSampleProgress(std::uintptr_t count, std::intptr_t index) {
  if (count != 0) {
    Ignoring([&] {
      view_.SetProgress(static_cast<int>(100 / count * static_cast<std::uintptr_t>(index + 1)));
      view_.Repaint(Control::pbarInstall);
    });
  }
  std::string sample;
  if (installJob_ != nullptr) Ignoring([&] { sample = installJob_->CurrentSample(); });
  Ignoring([&] { view_.SetText(Control::lblFile, sample); });
}

void TfrmInst::WMExtractError(std::int32_t status) {
  stateCode_ = state::kExtractError;
  Ignoring([&] { view_.ShowMessageBox(texts::ExtractError(status), BoxKind::Error, BoxButtons::Ok); });
}

void TfrmInst::InstallTerminated(platform::WorkerThread& sender) {
  auto* job = dynamic_cast<engine::TOVInstallThread*>(&sender);
  if (job == nullptr) return;
  bool posted = false;
  Ignoring([&] {
    posted = view_.PostToOwnWindow(engine::WM_OV_JOB_ENDED, static_cast<std::uintptr_t>(job->Mode.load()),
                                   job->Status.load());
  });
  if (!posted) {
    stateCode_ = state::kClosing;
    Ignoring([&] { view_.SetText(Control::lblFinal, Str(texts::kUserCancelled)); });
  }
}

void TfrmInst::WMJobEnded(std::int32_t mode, std::int32_t status) {
  // A cancel confirmed after the job's end was announced but before it arrived here: the user was
  // promised a cleanup, so the install is rolled back like any other cancelled one.
  if (mode == engine::kModeInstall && installJob_ != nullptr && installJob_->Cancelled) {
    mode = engine::kModeCancelled;
  }
  if (mode == engine::kModeInstall) {
    stateCode_ = state::kFinished;
    if (status != 0) {
      Ignoring([&] { view_.SetText(Control::lblFinal, texts::FinishedWithCode(status)); });
    } else {
      const std::string exe = ProductExe(targetDir_);
      if (machine_.files.FileExists(exe)) {
        Ignoring([&] { view_.PostToOwnWindow(engine::WM_OV_STATE, 0, state::kShortcuts); });
        CreateShortcuts(exe);
        Ignoring([&] { view_.SetText(Control::lblFinal, Str(texts::kFinished)); });
      } else {
        Ignoring([&] { view_.SetText(Control::lblFinal, texts::FinishedWithCode(kExecutableMissing)); });
      }
    }
    btnNavClick(Control::btnNext);
  } else if (mode == engine::kModeCancelled) {
    stateCode_ = state::kRollingBack;
    Ignoring([&] { StartRollback(); });
  } else {
    stateCode_ = state::kClosing;
    Ignoring([&] { view_.SetText(Control::lblFinal, Str(texts::kUserCancelled)); });
  }
}

void TfrmInst::StartRollback() {
  jobs_.push_back(NewJob(engine::kModeRollback));
  rollbackJob_ = jobs_.back().get();
  rollbackJob_->TargetDir = targetDir_;
  rollbackJob_->SetEndHandler([this](platform::WorkerThread& sender) { RollbackTerminated(sender); });
  rollbackJob_->Resume();
}

void TfrmInst::RollbackTerminated(platform::WorkerThread& sender) {
  auto* job = dynamic_cast<engine::TOVInstallThread*>(&sender);
  if (job == nullptr) return;
  const std::int32_t mode = job->Mode;
  stateCode_ = state::kClosing;
  if (mode == engine::kModeRollback) {
    Ignoring([&] { view_.SetText(Control::lblFinal, Str(texts::kUserCancelled)); });
    btnNavClick(Control::btnNext);
  } else {
    Ignoring([&] { view_.Close(); });
  }
}

void TfrmInst::CreateShortcuts(const std::string& exe) {
  bool done = false;
  Ignoring([&] { done = wizard::CreateShortcuts(machine_, exe, view_.Handle()); });
  if (done) Ignoring([&] { view_.PostToOwnWindow(engine::WM_OV_STATE, 0, state::kFinished); });
}

std::string TfrmInst::ProductExe(const std::string& folder) const { return folder + Str(texts::kProductExe); }

}  // namespace ov::wizard
