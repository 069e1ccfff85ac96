// OrnivaleSetup.exe: the wizard on the real machine.
// The system headers first: the common controls' header needs them.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "platform/win32/Win32Machine.h"
#include "ui/win32/WizardWindow.h"
#include "wizard/Texts.h"
#include "wizard/TfrmInst.h"

namespace {

// The controller hears the window's events only while both exist.
class Attachment {
 public:
  Attachment(ov::ui::WizardWindow& window, ov::wizard::ViewEvents& events) : window_(window) {
    window_.Attach(&events);
  }
  ~Attachment() { window_.Attach(nullptr); }
  Attachment(const Attachment&) = delete;
  Attachment& operator=(const Attachment&) = delete;

 private:
  ov::ui::WizardWindow& window_;
};

int RunSetup(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);

  // COM for this thread, and the queue that brings the jobs' end handlers back to it.
  ov::win32::Win32Machine machine;
  // Before this copy's own window exists, so only another copy is found.
  const ov::platform::WindowHandle otherInstaller =
      ov::wizard::FindOtherInstaller(machine.machine().messages);

  ov::ui::WizardWindow window(instance, machine.machine().shell,
                              std::string(ov::wizard::texts::kApplicationTitle));
  ov::wizard::TfrmInst form(machine.machine(), window, otherInstaller);
  const Attachment attachment(window, form);
  form.FormCreate();
  window.Show();
  return window.RunMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return RunSetup(instance);
  } catch (const std::exception& failure) {
    const std::string text = std::string("Setup cannot start: ") + failure.what();
    ::MessageBoxA(nullptr, text.c_str(), "Ornivale Installer", MB_OK | MB_ICONERROR);
    return 1;
  }
}
