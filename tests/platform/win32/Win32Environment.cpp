#include "tests/platform/win32/Win32Environment.h"

#include <atomic>
#include <stdexcept>

namespace ov::win32 {
namespace {

constexpr char kFolderRoot[] = "C:\\ovcontract";
constexpr char kKeyRoot[] = "SOFTWARE\\OvContract";

// Distinct per environment, also across test programs sharing one prefix.
std::string UniqueName() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(++counter);
}

void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  {
    FindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find.Valid()) {
      do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          DeleteFolderTree(path);
        else
          ::DeleteFileA(path.c_str());
      } while (::FindNextFileA(find.Get(), &data));
    }
  }
  ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  ::RemoveDirectoryA(folder.c_str());
}

bool KeyExists(HKEY root, const std::string& path) {
  RegKey key;
  return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
  {
    RegKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
      DWORD length = sizeof name;
      // Always index 0: each deletion moves the next subkey there.
      if (::RegEnumKeyExA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      const std::string child = path + "\\" + std::string(name, length);
      DeleteKeyTree(root, child);
      if (KeyExists(root, child)) break;  // undeletable: stop rather than loop
    }
  }
  ::RegDeleteKeyA(root, path.c_str());
}

}  // namespace

Win32Environment::Win32Environment() : classesSoftwareExisted_(KeyExists(HKEY_CLASSES_ROOT, "SOFTWARE")) {}

Win32Environment::~Win32Environment() {
  windows_.clear();
  for (const std::string& className : classes_)
    ::UnregisterClassA(className.c_str(), ::GetModuleHandleA(nullptr));
  if (!scratchFolder_.empty()) {
    DeleteFolderTree(scratchFolder_);
    ::RemoveDirectoryA(kFolderRoot);  // only when no other run still uses it
  }
  if (!scratchKey_.empty()) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT}) {
      DeleteKeyTree(root, scratchKey_);
      ::RegDeleteKeyA(root, kKeyRoot);  // fails while other runs' keys are there
    }
    if (!classesSoftwareExisted_) ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "SOFTWARE");
  }
}

std::string Win32Environment::ScratchFolder() {
  if (scratchFolder_.empty()) {
    const std::string folder = std::string(kFolderRoot) + "\\" + UniqueName();
    ::CreateDirectoryA(kFolderRoot, nullptr);
    DeleteFolderTree(folder);
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) throw std::runtime_error("cannot create " + folder);
    scratchFolder_ = folder;
  }
  return scratchFolder_;
}

std::string Win32Environment::ScratchKey() {
  if (scratchKey_.empty()) {
    scratchKey_ = std::string(kKeyRoot) + "\\" + UniqueName();
    // Left over from a run that died: start empty.
    DeleteKeyTree(HKEY_LOCAL_MACHINE, scratchKey_);
    DeleteKeyTree(HKEY_CLASSES_ROOT, scratchKey_);
  }
  return scratchKey_;
}

platform::WindowHandle Win32Environment::CreateWindow(const std::string& className,
                                                      contract::WindowProc proc) {
  const HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = &Win32Environment::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className.c_str();
  if (!::RegisterClassA(&windowClass)) {
    if (::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return 0;
  } else {
    classes_.push_back(className);
  }
  // A hidden top-level window, so FindWindow sees it as it would the program's own.
  Window window(::CreateWindowExA(0, className.c_str(), "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, instance, nullptr));
  if (!window.Valid()) return 0;
  procs_.push_back(std::make_unique<contract::WindowProc>(std::move(proc)));
  ::SetWindowLongPtrA(window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procs_.back().get()));
  const auto handle = reinterpret_cast<platform::WindowHandle>(window.Get());
  windows_.push_back(std::move(window));
  return handle;
}

LRESULT CALLBACK Win32Environment::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The test's procedure sees the program's own messages; the system's go to the default handling.
  auto* proc = reinterpret_cast<contract::WindowProc*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (proc && message >= WM_USER) return (*proc)(message, wParam, lParam);
  return ::DefWindowProcA(window, message, wParam, lParam);
}

bool Win32Environment::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    MSG message;
    if (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
      continue;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return condition();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
}

bool Win32Environment::UnderWine() const {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace ov::win32

namespace ov::contract {

std::unique_ptr<ContractEnvironment> MakeContractEnvironment() {
  return std::make_unique<win32::Win32Environment>();
}

}  // namespace ov::contract
