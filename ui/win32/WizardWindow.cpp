#include "ui/win32/WizardWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "engine/InstallThread.h"
#include "ui/win32/Wide.h"
#include "wizard/Texts.h"

namespace ov::ui {
namespace {

using wizard::Control;

constexpr wchar_t kApplicationClass[] = L"TOrnivaleSetupApplication";
constexpr wchar_t kIconName[] = L"MAINICON";
constexpr wchar_t kLogoName[] = L"OVLOGO";

constexpr DWORD kWizardStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
constexpr DWORD kWizardExStyle = WS_EX_CONTROLPARENT;

// The window's own messages, above the range the install job uses.
constexpr UINT kFormShow = WM_APP + 1;
constexpr UINT kDestroy = WM_APP + 2;
constexpr UINT kActivatePopup = WM_APP + 3;
constexpr UINT kFirstJobMessage = engine::WM_OV_FILE_COPIED;
constexpr UINT kLastJobMessage = engine::WM_OV_SAMPLE_PROGRESS;

constexpr int kFirstControlId = 100;
constexpr int kLogoId = 99;
constexpr int kGlyphGap = 4;  // between a button's glyph and its text

// Nothing may unwind through the system's message dispatch.
template <typename Action>
void Guarded(Action&& action) {
  try {
    action();
  } catch (...) {
  }
}

struct ControlStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ControlStyle StyleFor(Kind kind) {
  switch (kind) {
    case Kind::Label:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0};
    case Kind::WrapLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX, 0};
    case Kind::PathLabel:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0};
    case Kind::TaglineLabel:
      return {WC_STATICW, SS_RIGHT | SS_NOPREFIX | SS_ENDELLIPSIS, 0};
    case Kind::Link:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY | SS_ENDELLIPSIS, 0};
    case Kind::Button:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::DefaultButton:
      return {WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case Kind::CheckBox:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case Kind::GroupBox:
      return {WC_BUTTONW, BS_GROUPBOX, 0};
    case Kind::Edit:
      return {WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Memo:
      return {WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case Kind::Progress:
      return {PROGRESS_CLASSW, 0, 0};
  }
  return {WC_STATICW, 0, 0};
}

bool IsPushButton(HWND window) {
  const LRESULT code = ::SendMessageW(window, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

COLORREF AreaColor(Area area) {
  switch (area) {
    case Area::Banner:
      return kBannerColor;
    case Area::ButtonBar:
      return ::GetSysColor(COLOR_BTNFACE);
    case Area::Note:
      return kNoteColor;
    case Area::Memo:
      return kMemoColor;
    case Area::Page:
      break;
  }
  return kPageColor;
}

// A memory device context with one bitmap selected into it.
class BitmapCanvas {
 public:
  BitmapCanvas(HDC screen, HBITMAP bitmap) : dc_(::CreateCompatibleDC(screen)) {
    if (dc_) old_ = ::SelectObject(dc_, bitmap);
  }
  ~BitmapCanvas() {
    if (!dc_) return;
    ::SelectObject(dc_, old_);
    ::DeleteDC(dc_);
  }
  BitmapCanvas(const BitmapCanvas&) = delete;
  BitmapCanvas& operator=(const BitmapCanvas&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// The glyph followed by a gap in the button's face colour, so that the caption does not touch it.
Bitmap PaddedGlyph(HBITMAP glyph, int gap) {
  BITMAP size = {};
  if (!::GetObjectW(glyph, sizeof size, &size)) return Bitmap();
  const WindowDC screen(nullptr);
  if (!screen.Get()) return Bitmap();
  Bitmap padded(::CreateCompatibleBitmap(screen.Get(), size.bmWidth + gap, size.bmHeight));
  if (padded) {
    const BitmapCanvas from(screen.Get(), glyph);
    const BitmapCanvas to(screen.Get(), padded.Get());
    RECT all = {0, 0, size.bmWidth + gap, size.bmHeight};
    ::FillRect(to.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::BitBlt(to.Get(), 0, 0, size.bmWidth, size.bmHeight, from.Get(), 0, 0, SRCCOPY);
  }
  return padded;
}

struct PidlFree {
  void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

void RegisterClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, kIconName);
  windowClass.hIconSm =
      static_cast<HICON>(::LoadImageW(instance, kIconName, IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                      ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = name;
  if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw std::runtime_error("cannot register a window class");
  }
}

}  // namespace

WizardWindow::WizardWindow(HINSTANCE instance, platform::Shell& shell, const std::string& applicationTitle)
    : instance_(instance), shell_(shell), title_(ToWide(applicationTitle)) {
  const std::wstring wizardClass = ToWide(wizard::texts::kWizardClass);
  RegisterClassOnce(instance_, kApplicationClass, &WizardWindow::ApplicationProc);
  RegisterClassOnce(instance_, wizardClass.c_str(), &WizardWindow::WizardProc);

  if (const WindowDC screen(nullptr); screen.Get()) dpi_ = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);

  // The task bar shows this window's title; the wizard, owned by it, gets no button of its own.
  // Each window procedure takes its handle into its owner when the window is created.
  if (!::CreateWindowExW(0, kApplicationClass, title_.c_str(),
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                         nullptr, nullptr, instance_, this)) {
    throw std::runtime_error("cannot create the application window");
  }

  RECT frame = {0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&frame, kWizardStyle, FALSE, kWizardExStyle);
  const std::wstring caption = ToWide(wizard::texts::kWindowCaption);
  if (!::CreateWindowExW(kWizardExStyle, wizardClass.c_str(), caption.c_str(), kWizardStyle, 0, 0,
                         frame.right - frame.left, frame.bottom - frame.top, application_.Get(), nullptr,
                         instance_, this)) {
    throw std::runtime_error("cannot create the wizard window");
  }
  // The frame is the system's to draw: correct the window size so that the client area is exact.
  RECT client;
  ::GetClientRect(wizard_.Get(), &client);
  ::SetWindowPos(wizard_.Get(), nullptr, 0, 0, frame.right - frame.left + Scale(kClientWidth) - client.right,
                 frame.bottom - frame.top + Scale(kClientHeight) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  pageBrush_.Reset(::CreateSolidBrush(kPageColor));
  bannerBrush_.Reset(::CreateSolidBrush(kBannerColor));
  noteBrush_.Reset(::CreateSolidBrush(kNoteColor));
  memoBrush_.Reset(::CreateSolidBrush(kMemoColor));
  logo_.Reset(static_cast<HBITMAP>(::LoadImageW(instance_, kLogoName, IMAGE_BITMAP, 0, 0, 0)));
  CreateFonts();
  CreateControls();
}

WizardWindow::~WizardWindow() {
  events_ = nullptr;
  tooltip_.Reset();
  wizard_.Reset();
  application_.Reset();
}

int WizardWindow::Scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

RECT WizardWindow::ScaledRect(const ControlLayout& layout) const {
  return {Scale(layout.x), Scale(layout.y), Scale(layout.x + layout.width), Scale(layout.y + layout.height)};
}

void WizardWindow::CreateFonts() {
  const auto make = [this](const wchar_t* face, int points, LONG weight, bool underline) {
    LOGFONTW font = {};
    font.lfHeight = -::MulDiv(points, dpi_, 72);
    font.lfWeight = weight;
    font.lfUnderline = underline ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    ::lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
  };
  normalFont_.Reset(make(L"MS Sans Serif", 8, FW_NORMAL, false));
  headingFont_.Reset(make(L"Arial", 12, FW_BOLD, false));
  taglineFont_.Reset(make(L"Georgia", 12, FW_BOLD, false));
  linkFont_.Reset(make(L"MS Sans Serif", 8, FW_NORMAL, true));
}

HFONT WizardWindow::FontFor(FontKind kind) const {
  HFONT font = nullptr;
  switch (kind) {
    case FontKind::Normal:
      font = normalFont_.Get();
      break;
    case FontKind::Heading:
      font = headingFont_.Get();
      break;
    case FontKind::Tagline:
      font = taglineFont_.Get();
      break;
    case FontKind::Link:
      font = linkFont_.Get();
      break;
  }
  return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void WizardWindow::CreateControls() {
  HWND parent = wizard_.Get();
  // The bitmap keeps its size at any resolution: centred in the banner's height.
  BITMAP logoSize = {};
  if (logo_) ::GetObjectW(logo_.Get(), sizeof logoSize, &logoSize);
  const int logoY = std::max(0, (Scale(kBannerHeight) - static_cast<int>(logoSize.bmHeight)) / 2);
  logoControl_ = ::CreateWindowExW(0, WC_STATICW, nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, Scale(kLogoX),
                                   logoY, 0, 0, parent, reinterpret_cast<HMENU>(kLogoId), instance_, nullptr);
  if (logoControl_ && logo_) {
    ::SendMessageW(logoControl_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.Get()));
  }

  int id = kFirstControlId;
  for (const ControlLayout& layout : WizardLayout()) {
    const ControlStyle style = StyleFor(layout.kind);
    Item& item = items_[layout.control];
    item.layout = &layout;
    item.id = layout.control == Control::btnCancel ? IDCANCEL : id++;
    const RECT rect = ScaledRect(layout);
    item.window = ::CreateWindowExW(
        style.exStyle, style.className, L"", WS_CHILD | style.style | (OnPage(item) ? WS_VISIBLE : 0),
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)), instance_, nullptr);
    if (!item.window) throw std::runtime_error("cannot create a control of the wizard");
    ::SendMessageW(item.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(layout.font)), FALSE);
  }

  // The state the window starts in, before the controller sets its texts.
  ::SendMessageW(ItemOf(Control::pbarInstall).window, PBM_SETRANGE32, 0, 100);
  ::SendMessageW(ItemOf(Control::mmEULA).window, EM_SETLIMITTEXT, 0, 0);
  ::SetWindowTextW(ItemOf(Control::mmEULA).window, L"Ornivale licence agreement");
  ::SetWindowTextW(ItemOf(Control::lblFile).window, L".../...");
  ::SendMessageW(ItemOf(Control::cboxStart).window, BM_SETCHECK, BST_CHECKED, 0);

  tooltip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance_, nullptr));
}

WizardWindow::Item& WizardWindow::ItemOf(Control control) {
  const auto found = items_.find(control);
  if (found == items_.end()) throw std::invalid_argument("the window has no such control");
  return found->second;
}

WizardWindow::Item* WizardWindow::ItemOf(HWND window) {
  for (auto& [control, item] : items_) {
    if (item.window == window) return &item;
  }
  return nullptr;
}

WizardWindow::Item* WizardWindow::ItemById(int id) {
  for (auto& [control, item] : items_) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

bool WizardWindow::OnPage(const Item& item) const {
  return item.layout->page == kAllPages || item.layout->page == page_;
}

bool WizardWindow::Usable(Control control) {
  const HWND window = ItemOf(control).window;
  return ::IsWindowVisible(window) && ::IsWindowEnabled(window);
}

void WizardWindow::ApplyVisibility(Item& item) {
  // The note's text and links sit inside its group: hiding the group hides them too.
  const bool inHiddenGroup = item.layout->area == Area::Note && item.layout->control != Control::gbNOTE &&
                             !ItemOf(Control::gbNOTE).visible;
  const bool show = item.visible && OnPage(item) && !inHiddenGroup;
  const bool shown = (::GetWindowLongW(item.window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown == show) return;
  ::ShowWindow(item.window, show ? SW_SHOWNA : SW_HIDE);
  if (item.layout->kind == Kind::GroupBox) {
    // The group's background is the window's to paint, and the controls inside it with it.
    const RECT rect = ScaledRect(*item.layout);
    ::RedrawWindow(wizard_.Get(), &rect, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  } else if (show) {
    ::UpdateWindow(item.window);
  }
}

void WizardWindow::UpdateDefaultButton() {
  // Enter clicks Next; on the pages without it, the remaining button.
  const bool nextShown = ::IsWindowVisible(ItemOf(Control::btnNext).window) != FALSE;
  ::SendMessageW(ItemOf(Control::btnNext).window, BM_SETSTYLE, nextShown ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                 TRUE);
  ::SendMessageW(ItemOf(Control::btnCancel).window, BM_SETSTYLE, nextShown ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON,
                 TRUE);
}

void WizardWindow::EnsureFocus() {
  HWND wizard = wizard_.Get();
  if (::GetActiveWindow() != wizard) return;
  const HWND focus = ::GetFocus();
  if (focus && ::IsChild(wizard, focus) && ::IsWindowVisible(focus) && ::IsWindowEnabled(focus)) return;
  HWND target = Usable(Control::btnNext) ? ItemOf(Control::btnNext).window
                                         : ::GetNextDlgTabItem(wizard, nullptr, FALSE);
  if (target) ::SetFocus(target);
}

void WizardWindow::FitLinkToText(Item& item) {
  // Only the text itself is the link: the hand cursor and the click end where it ends.
  const std::wstring text = WindowTextOf(item.window);
  SIZE extent = {};
  {
    const WindowDC dc(item.window);
    if (!dc.Get()) return;
    const HGDIOBJ old = ::SelectObject(dc.Get(), FontFor(item.layout->font));
    ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc.Get(), old);
  }
  const RECT rect = ScaledRect(*item.layout);
  const int width = std::min<int>(extent.cx + Scale(2), rect.right - rect.left);
  ::SetWindowPos(item.window, nullptr, 0, 0, width, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WizardWindow::Show() {
  HWND wizard = wizard_.Get();
  RECT window;
  ::GetWindowRect(wizard, &window);
  RECT work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  ::SetWindowPos(wizard, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Zero-sized: the application window is only ever seen as the task-bar button.
  ::SetWindowPos(application_.Get(), nullptr, x + width / 2, y + height / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::ShowWindow(wizard, SW_SHOWNORMAL);
  ::UpdateWindow(wizard);
  ::SetForegroundWindow(wizard);
}

int WizardWindow::RunMessageLoop() {
  MSG message = {};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    HWND wizard = wizard_.Get();
    if (wizard && ::IsDialogMessageW(wizard, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

// --- View ---

platform::WindowHandle WizardWindow::Handle() {
  return reinterpret_cast<platform::WindowHandle>(wizard_.Get());
}

void WizardWindow::SetText(Control control, const std::string& text) {
  const std::wstring wide = ToWide(text);
  if (control == Control::frmInst) {
    ::SetWindowTextW(wizard_.Get(), wide.c_str());
    return;
  }
  Item& item = ItemOf(control);
  if (control == Control::edtTarget) {
    // The change handler runs once, here, whether or not the control reports the change.
    settingText_ = true;
    ::SetWindowTextW(item.window, wide.c_str());
    settingText_ = false;
    if (events_) events_->edtTargetChange();
    return;
  }
  ::SetWindowTextW(item.window, wide.c_str());
  if (item.layout->kind == Kind::Link) FitLinkToText(item);
  ::UpdateWindow(item.window);
}

std::string WizardWindow::GetText(Control control) {
  if (control == Control::frmInst) return FromWide(WindowTextOf(wizard_.Get()));
  return FromWide(WindowTextOf(ItemOf(control).window));
}

void WizardWindow::SetEnabled(Control control, bool enabled) {
  if (control == Control::frmInst) return;
  const HWND window = ItemOf(control).window;
  ::EnableWindow(window, enabled ? TRUE : FALSE);
  ::UpdateWindow(window);
  EnsureFocus();
}

void WizardWindow::SetVisible(Control control, bool visible) {
  if (control == Control::frmInst) return;
  Item& item = ItemOf(control);
  item.visible = visible;
  ApplyVisibility(item);
  if (control == Control::gbNOTE) {
    for (auto& [member, memberItem] : items_) {
      if (memberItem.layout->area == Area::Note) ApplyVisibility(memberItem);
    }
  }
  if (control == Control::btnNext) UpdateDefaultButton();
  EnsureFocus();
}

void WizardWindow::SetFontColor(Control label, std::uint32_t rgb) {
  Item& item = ItemOf(label);
  item.textColor = static_cast<COLORREF>(rgb);
  ::RedrawWindow(item.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool WizardWindow::LoadGlyph(Control button, const std::string& bitmapName) {
  Item& item = ItemOf(button);
  // The tick's grey background becomes the button's face colour.
  const Bitmap tick(static_cast<HBITMAP>(
      ::LoadImageW(instance_, ToWide(bitmapName).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
  if (!tick) return false;
  Bitmap glyph = PaddedGlyph(tick.Get(), Scale(kGlyphGap));
  if (!glyph) return false;
  ::SendMessageW(item.window, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph.Get()));
  item.glyph = std::move(glyph);
  ::UpdateWindow(item.window);
  return true;
}

void WizardWindow::RemoveGlyph(Control button) {
  Item& item = ItemOf(button);
  ::SendMessageW(item.window, BM_SETIMAGE, IMAGE_BITMAP, 0);
  item.glyph.Reset();
  ::UpdateWindow(item.window);
}

void WizardWindow::Repaint(Control control) {
  HWND window = control == Control::frmInst ? wizard_.Get() : ItemOf(control).window;
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WizardWindow::SetChecked(Control checkBox, bool checked) {
  const HWND window = ItemOf(checkBox).window;
  ::SendMessageW(window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  ::UpdateWindow(window);
  if (checkBox == Control::cbEULA && events_) events_->cbEULAClick();
}

bool WizardWindow::IsChecked(Control checkBox) {
  return ::SendMessageW(ItemOf(checkBox).window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void WizardWindow::ShowPage(int index) {
  page_ = index;
  for (auto& [control, item] : items_) ApplyVisibility(item);
  UpdateDefaultButton();
  // Painted at once: a running job's notifications would keep the paint messages waiting.
  ::RedrawWindow(wizard_.Get(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EnsureFocus();
}

void WizardWindow::SetProgress(int position) {
  ::SendMessageW(ItemOf(Control::pbarInstall).window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void WizardWindow::SetMemoText(Control memo, const std::string& text) {
  const HWND window = ItemOf(memo).window;
  ::SetWindowTextW(window, ToWide(text).c_str());
  ::UpdateWindow(window);
}

void WizardWindow::SetLink(Control link, const std::string& caption, const std::string& url,
                           const std::string& hint) {
  Item& item = ItemOf(link);
  item.url = url;
  SetText(link, caption);
  if (!tooltip_.Get()) return;
  std::wstring tip = ToWide(hint);
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = wizard_.Get();
  tool.uId = reinterpret_cast<UINT_PTR>(item.window);
  tool.lpszText = tip.data();
  if (tip.empty()) {
    if (item.hasTip) ::SendMessageW(tooltip_.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    item.hasTip = false;
  } else if (item.hasTip) {
    ::SendMessageW(tooltip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  } else {
    item.hasTip = ::SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
  }
}

std::optional<std::string> WizardWindow::BrowseForFolder(const std::string& title) {
  const std::wstring wideTitle = ToWide(title);
  BROWSEINFOW info = {};
  info.hwndOwner = wizard_.Get();
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  const ModalScope modal(*this);
  const std::unique_ptr<ITEMIDLIST, PidlFree> chosen(::SHBrowseForFolderW(&info));
  if (!chosen) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(chosen.get(), path)) return std::nullopt;
  return FromWide(path);
}

int WizardWindow::ShowMessageBox(const std::string& text, wizard::BoxKind kind, wizard::BoxButtons buttons) {
  UINT flags = buttons == wizard::BoxButtons::YesNoCancel ? MB_YESNOCANCEL : MB_OK;
  switch (kind) {
    case wizard::BoxKind::Error:
      flags |= MB_ICONERROR;
      break;
    case wizard::BoxKind::Information:
      flags |= MB_ICONINFORMATION;
      break;
    case wizard::BoxKind::Confirmation:
      flags |= MB_ICONQUESTION;
      break;
  }
  const ModalScope modal(*this);
  return ::MessageBoxW(wizard_.Get(), ToWide(text).c_str(), title_.c_str(), flags | MB_APPLMODAL);
}

void WizardWindow::Close() {
  if (events_ && !events_->FormCloseQuery()) return;
  // Gone from the screen now; destroyed once the handler that closed it has returned.
  ::ShowWindow(wizard_.Get(), SW_HIDE);
  ::PostMessageW(wizard_.Get(), kDestroy, 0, 0);
}

bool WizardWindow::PostToOwnWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return ::PostMessageW(wizard_.Get(), message, wParam, lParam) != FALSE;
}

// --- painting and messages ---

WizardWindow::ModalScope::~ModalScope() {
  if (--window_.modalDepth_ > 0) return;
  std::vector<Deferred> waiting;
  waiting.swap(window_.deferred_);
  if (!window_.wizard_.Get()) return;
  for (const Deferred& message : waiting) {
    ::PostMessageW(window_.wizard_.Get(), message.message, message.wParam, message.lParam);
  }
}

void WizardWindow::PaintBackground(HDC dc) {
  RECT client;
  ::GetClientRect(wizard_.Get(), &client);
  ::FillRect(dc, &client, pageBrush_.Get());
  RECT banner = {0, 0, client.right, Scale(kBannerHeight)};
  ::FillRect(dc, &banner, bannerBrush_.Get());
  RECT bar = {0, Scale(kButtonBarTop), client.right, client.bottom};
  ::FillRect(dc, &bar, ::GetSysColorBrush(COLOR_BTNFACE));
  ::DrawEdge(dc, &bar, EDGE_ETCHED, BF_TOP);
  const Item& note = ItemOf(Control::gbNOTE);
  if (note.visible && OnPage(note)) {
    const RECT rect = ScaledRect(*note.layout);
    ::FillRect(dc, &rect, noteBrush_.Get());
  }
}

HBRUSH WizardWindow::ColorControl(HDC dc, HWND control) {
  Area area = Area::Banner;
  COLORREF text = kWhite;
  if (const Item* item = ItemOf(control)) {
    area = item->layout->area;
    text = item->textColor.value_or(item->layout->textColor);
  } else if (control != logoControl_) {
    area = Area::Page;
    text = kBlack;
  }
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, AreaColor(area));
  switch (area) {
    case Area::Banner:
      return bannerBrush_.Get();
    case Area::ButtonBar:
      return ::GetSysColorBrush(COLOR_BTNFACE);
    case Area::Note:
      return noteBrush_.Get();
    case Area::Memo:
      return memoBrush_.Get();
    case Area::Page:
      break;
  }
  return pageBrush_.Get();
}

void WizardWindow::OnCommand(int id, int code) {
  Item* item = ItemById(id);
  if (!item || !events_) return;
  const Control control = item->layout->control;
  switch (item->layout->kind) {
    case Kind::Edit:
      if (code == EN_CHANGE && !settingText_) Guarded([&] { events_->edtTargetChange(); });
      return;
    case Kind::Link:
      if (code == STN_CLICKED && !item->url.empty()) {
        Guarded([&] { shell_.OpenDocument(Handle(), item->url); });
      }
      return;
    case Kind::Button:
    case Kind::DefaultButton:
    case Kind::CheckBox:
      break;
    default:
      return;
  }
  // Enter and Escape reach here too: a hidden or disabled button does nothing.
  if (code != BN_CLICKED || !Usable(control)) return;
  Guarded([&] {
    switch (control) {
      case Control::btnNext:
      case Control::btnBack:
        events_->btnNavClick(control);
        break;
      case Control::btnCancel:
        events_->btnCancelClick();
        break;
      case Control::btnBrowse:
        events_->btnBrowseClick();
        break;
      case Control::cbEULA:
        events_->cbEULAClick();
        break;
      default:
        break;
    }
  });
}

void WizardWindow::Destroy() {
  if (wizard_.Get()) ::DestroyWindow(wizard_.Get());
}

LRESULT WizardWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND wizard = wizard_.Get();
  if (message >= kFirstJobMessage && message <= kLastJobMessage) {
    if (modalDepth_ > 0) {
      deferred_.push_back({message, wParam, lParam});
    } else if (events_) {
      Guarded([&] { events_->HandleMessage(message, wParam, lParam); });
    }
    return 0;
  }
  switch (message) {
    case WM_ERASEBKGND:
      PaintBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      ::BeginPaint(wizard, &paint);
      ::EndPaint(wizard, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(
          ColorControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (const Item* item = ItemOf(reinterpret_cast<HWND>(wParam));
          item && item->layout->kind == Kind::Link) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
        return TRUE;
      }
      break;
    case DM_GETDEFID: {
      // Enter clicks the focused push button, else Next, else the remaining button.
      const HWND focus = ::GetFocus();
      if (const Item* item = ItemOf(focus); item && IsPushButton(focus))
        return MAKELRESULT(item->id, DC_HASDEFID);
      const Control target = Usable(Control::btnNext) ? Control::btnNext : Control::btnCancel;
      return MAKELRESULT(ItemOf(target).id, DC_HASDEFID);
    }
    case WM_NEXTDLGCTL: {
      // Tab and Shift+Tab: IsDialogMessage asks the window to move the focus.
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : ::GetNextDlgTabItem(wizard, ::GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (target) {
        ::SetFocus(target);
        if (::SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
          ::SendMessageW(target, EM_SETSEL, 0, -1);
      }
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        lastFocus_ = ::IsChild(wizard, focus) ? focus : nullptr;
      } else if (lastFocus_ && ::IsChild(wizard, lastFocus_) && ::IsWindowVisible(lastFocus_) &&
                 ::IsWindowEnabled(lastFocus_)) {
        ::SetFocus(lastFocus_);
      } else {
        EnsureFocus();
      }
      return 0;
    case WM_SHOWWINDOW:
      if (wParam && !shown_) {
        shown_ = true;
        ::PostMessageW(wizard, kFormShow, 0, 0);
      }
      break;
    case kFormShow:
      if (events_) Guarded([&] { events_->FormShow(); });
      return 0;
    case WM_CLOSE:
      // The close box, Alt+F4 and the task bar: the controller decides.
      {
        bool allowed = true;
        if (events_) {
          allowed = false;
          Guarded([&] { allowed = events_->FormCloseQuery(); });
        }
        if (allowed) Destroy();
      }
      return 0;
    case kDestroy:
      Destroy();
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      // The system destroys the owned tooltip with the window.
      tooltip_.Release();
      wizard_.Release();
      ::SetWindowLongPtrW(wizard, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(wizard, message, wParam, lParam);
}

LRESULT CALLBACK WizardWindow::WizardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WizardWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->wizard_.Reset(window);
  }
  auto* self = reinterpret_cast<WizardWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT CALLBACK WizardWindow::ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<WizardWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->application_.Reset(window);
  }
  auto* self = reinterpret_cast<WizardWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ACTIVATE:
      // Activated from the task bar: hand the activation on to the wizard or its open box.
      if (LOWORD(wParam) != WA_INACTIVE) ::PostMessageW(window, kActivatePopup, 0, 0);
      return 0;
    case kActivatePopup: {
      const HWND popup = ::GetLastActivePopup(window);
      if (::GetActiveWindow() == window && popup && popup != window && ::IsWindowVisible(popup) &&
          ::IsWindowEnabled(popup)) {
        ::SetActiveWindow(popup);
      }
      return 0;
    }
    case WM_CLOSE:
      // From the task bar; not while the wizard waits for one of its boxes.
      if (self && self->wizard_.Get() && ::IsWindowEnabled(self->wizard_.Get())) {
        ::SendMessageW(self->wizard_.Get(), WM_CLOSE, 0, 0);
      }
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (self) self->application_.Release();
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ov::ui
