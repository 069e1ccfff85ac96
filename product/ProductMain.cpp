// ornivale.exe: the product's main window, as far as the setup needs it. Started with a project
// bundle (the ".ov5" association), it lists what the bundle holds.
// The system headers first: the common controls' header needs them.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

#include "platform/win32/Win32Machine.h"
#include "product/ProjectListing.h"
#include "ui/win32/Gdi.h"
#include "ui/win32/Wide.h"

namespace {

constexpr wchar_t kMainClass[] = L"TVelOVMainMDIFrm";
constexpr wchar_t kTitle[] = L"Ornivale";
constexpr int kListingId = 100;

struct ArgvFree {
  void operator()(LPWSTR* argv) const { ::LocalFree(argv); }
};

// The first argument, as the core's text; empty when there is none.
std::string BundleArgument() {
  int count = 0;
  const std::unique_ptr<LPWSTR, ArgvFree> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
  if (!argv || count < 2) return {};
  return ov::ui::FromWide(argv.get()[1]);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      ::MoveWindow(::GetDlgItem(window, kListingId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_CTLCOLORSTATIC:
      // Read-only, but as easy to read as a document.
      ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    case WM_SETFOCUS:
      ::SetFocus(::GetDlgItem(window, kListingId));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

int RunProduct(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  ov::win32::Win32Machine machine;

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
  windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kMainClass;
  if (!::RegisterClassExW(&windowClass)) return 1;

  ov::ui::OwnedWindow main(::CreateWindowExW(0, kMainClass, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                             CW_USEDEFAULT, 720, 480, nullptr, nullptr, instance, nullptr));
  if (!main.Get()) return 1;
  const HWND listing =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                            ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                        0, 0, 0, 0, main.Get(), reinterpret_cast<HMENU>(kListingId), instance, nullptr);
  ::SendMessageW(listing, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  ::SendMessageW(listing, EM_SETLIMITTEXT, 0, 0);
  ::ShowWindow(main.Get(), SW_SHOWNORMAL);
  ::UpdateWindow(main.Get());

  const std::string bundle = BundleArgument();
  const std::string text =
      bundle.empty() ? ov::product::Greeting() : ov::product::DescribeBundle(machine.machine(), bundle);
  ::SetWindowTextW(listing, ov::ui::ToWide(text).c_str());

  MSG message = {};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  main.Release();  // destroyed by now
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return RunProduct(instance);
  } catch (const std::exception&) {
    return 1;
  }
}
