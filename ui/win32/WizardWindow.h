#pragma once
// The wizard's window on standard Win32 controls. It shows what the controller tells it and
// reports the user's actions back; the logic stays in the controller.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/win32/WindowsApi.h"
#include "ui/win32/Gdi.h"
#include "ui/win32/Layout.h"
#include "wizard/View.h"

namespace ov::ui {

class WizardWindow final : public wizard::View {
 public:
  // Creates the application's task-bar window (titled `applicationTitle`) and the hidden
  // wizard window of class "TfrmInst" with all its controls, page 1 in front.
  // Throws std::runtime_error when a window cannot be made.
  WizardWindow(HINSTANCE instance, platform::Shell& shell, const std::string& applicationTitle);
  ~WizardWindow() override;
  WizardWindow(const WizardWindow&) = delete;
  WizardWindow& operator=(const WizardWindow&) = delete;

  // Where the user's actions go; nullptr detaches.
  void Attach(wizard::ViewEvents* events) { events_ = events; }

  // Shows the window centred on the screen.
  void Show();
  // Runs until the wizard window is gone; the program's exit code.
  int RunMessageLoop();

  // --- View ---
  platform::WindowHandle Handle() override;
  void SetText(wizard::Control control, const std::string& text) override;
  std::string GetText(wizard::Control control) override;
  void SetEnabled(wizard::Control control, bool enabled) override;
  void SetVisible(wizard::Control control, bool visible) override;
  void SetFontColor(wizard::Control label, std::uint32_t rgb) override;
  bool LoadGlyph(wizard::Control button, const std::string& bitmapName) override;
  void RemoveGlyph(wizard::Control button) override;
  void Repaint(wizard::Control control) override;
  void SetChecked(wizard::Control checkBox, bool checked) override;
  bool IsChecked(wizard::Control checkBox) override;
  void ShowPage(int index) override;
  void SetProgress(int position) override;
  void SetMemoText(wizard::Control memo, const std::string& text) override;
  void SetLink(wizard::Control link, const std::string& caption, const std::string& url,
               const std::string& hint) override;
  std::optional<std::string> BrowseForFolder(const std::string& title) override;
  int ShowMessageBox(const std::string& text, wizard::BoxKind kind, wizard::BoxButtons buttons) override;
  void Close() override;
  bool PostToOwnWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  struct Item {
    HWND window = nullptr;
    const ControlLayout* layout = nullptr;
    int id = 0;
    bool visible = true;  // as the controller set it; the page decides the rest
    std::optional<COLORREF> textColor;
    std::string url;
    bool hasTip = false;
    Bitmap glyph;  // the button shows it while it is set
  };

  // While a modal box or dialog runs, the messages to the window wait for it: they are handled
  // after the handler that opened it, as PostToOwnWindow promises.
  class ModalScope {
   public:
    explicit ModalScope(WizardWindow& window) : window_(window) { ++window_.modalDepth_; }
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

   private:
    WizardWindow& window_;
  };
  struct Deferred {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  static LRESULT CALLBACK WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateFonts();
  void CreateControls();
  int Scale(int pixels) const;
  RECT ScaledRect(const ControlLayout& layout) const;
  Item& ItemOf(wizard::Control control);
  Item* ItemOf(HWND window);
  Item* ItemById(int id);
  HFONT FontFor(FontKind kind) const;

  bool OnPage(const Item& item) const;
  bool Usable(wizard::Control control);
  void ApplyVisibility(Item& item);
  void UpdateDefaultButton();
  void EnsureFocus();
  void FitLinkToText(Item& item);
  void PaintBackground(HDC dc);
  HBRUSH ColorControl(HDC dc, HWND control);
  void OnCommand(int id, int code);
  void Destroy();

  HINSTANCE instance_;
  platform::Shell& shell_;
  std::wstring title_;  // of the application and of the message boxes
  wizard::ViewEvents* events_ = nullptr;
  int dpi_ = 96;
  int page_ = 0;
  bool shown_ = false;
  bool settingText_ = false;
  HWND lastFocus_ = nullptr;
  int modalDepth_ = 0;
  std::vector<Deferred> deferred_;

  // GDI objects outlive the windows that draw with them.
  Font normalFont_, headingFont_, taglineFont_, linkFont_;
  Brush pageBrush_, bannerBrush_, noteBrush_, memoBrush_;
  Bitmap logo_;

  OwnedWindow application_;
  OwnedWindow wizard_;
  OwnedWindow tooltip_;
  HWND logoControl_ = nullptr;
  std::map<wizard::Control, Item> items_;
};

}  // namespace ov::ui
