#pragma once
// What the wizard needs of its window. The controller never touches a control itself: the real
// window and the scripted test view both implement this.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Types.h"

namespace ov::wizard {

// The controls the controller talks to; frmInst is the window itself (its text is the caption).
enum class Control {
  frmInst,
  btnNext,
  btnBack,
  btnCancel,
  btnBrowse,
  lblWelcome,
  lblIntro,
  lblOPTIONS,
  lblFolder,
  edtTarget,
  cbEULA,
  lblWait,
  gbProgress,
  pbarInstall,
  lblFile,
  lblFinal,
  gbNOTE,
  lblNote,
  lblJDKUrl,
  lblWTKUrl,
  cboxStart,
  lblCopy,
  lblURL,
  lblMCC,
  mmEULA,
};

enum class BoxKind { Error, Information, Confirmation };
enum class BoxButtons { Ok, YesNoCancel };

// Dialog result codes of a message box.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// RGB colour as the window API packs it (red in the low byte).
constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return red | (green << 8) | (static_cast<std::uint32_t>(blue) << 16);
}

class View {
 public:
  virtual ~View() = default;

  // The window's handle, created on first use; jobs post their notifications to it.
  virtual platform::WindowHandle Handle() = 0;

  // Setting the text of edtTarget runs the controller's edtTargetChange.
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string GetText(Control control) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetFontColor(Control label, std::uint32_t rgb) = 0;

  // Loads the button's glyph from a bitmap resource; false when it cannot be loaded.
  virtual bool LoadGlyph(Control button, const std::string& bitmapName) = 0;
  virtual void RemoveGlyph(Control button) = 0;
  virtual void Repaint(Control control) = 0;

  // Setting the state runs the box's click handler (cbEULAClick for cbEULA).
  virtual void SetChecked(Control checkBox, bool checked) = 0;
  virtual bool IsChecked(Control checkBox) = 0;

  // Moves page `index` (0..4) into the visible area, the banner on top of it.
  virtual void ShowPage(int index) = 0;
  virtual void SetProgress(int position) = 0;
  // Replaces the memo's lines with the text (lines end with CR LF).
  virtual void SetMemoText(Control memo, const std::string& text) = 0;
  // Clicking the link label opens the URL with the shell's "open" verb.
  virtual void SetLink(Control link, const std::string& caption, const std::string& url,
                       const std::string& hint) = 0;

  // The folder-selection dialog; nullopt when the user chose none.
  virtual std::optional<std::string> BrowseForFolder(const std::string& title) = 0;
  // A modal message box; the button pressed as kIdOk / kIdCancel / kIdYes / kIdNo.
  virtual int ShowMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) = 0;

  // Closes the window; like every attempt to close, it asks FormCloseQuery first.
  virtual void Close() = 0;
  // Posts a message to the window's own queue, handled after the current handler returns.
  virtual bool PostToOwnWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// What the window reports back to the controller.
class ViewEvents {
 public:
  virtual ~ViewEvents() = default;
  virtual void FormShow() = 0;
  // True when the window may close.
  virtual bool FormCloseQuery() = 0;
  virtual void btnNavClick(Control sender) = 0;
  virtual void cbEULAClick() = 0;
  virtual void edtTargetChange() = 0;
  virtual void btnBrowseClick() = 0;
  virtual void btnCancelClick() = 0;
  // A message posted to the window; false when it is not one of the wizard's.
  virtual bool HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace ov::wizard
