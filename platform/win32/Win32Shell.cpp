#include "platform/win32/Win32Shell.h"

#include "platform/win32/Handles.h"

namespace ov::win32 {
namespace {

// Room for a link's arguments, its longest text.
constexpr int kLinkText = 1024;

// IPersistFile takes UTF-16 names: convert with the code page the A functions use, so the
// link lands where a CreateFileA of the same text would look.
std::wstring WidePath(const std::string& path) {
  if (path.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return wide;
}

// A new shell link object with the two interfaces this program uses; false when COM refuses.
bool NewShellLink(ComPtr<IShellLinkA>& link, ComPtr<IPersistFile>& file) {
  ComPtr<IUnknown> object;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, object.ReceiveVoid())))
    return false;
  return SUCCEEDED(object->QueryInterface(IID_IShellLinkA, link.ReceiveVoid())) &&
         SUCCEEDED(object->QueryInterface(IID_IPersistFile, file.ReceiveVoid()));
}

}  // namespace

void Win32Shell::OpenDocument(platform::WindowHandle owner, const std::string& file) {
  ::ShellExecuteA(reinterpret_cast<HWND>(owner), "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::NotifyAssociationsChanged() {
  ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool Win32Shell::SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) {
  const std::wstring widePath = WidePath(linkFile);
  if (widePath.empty()) return false;
  ComPtr<IShellLinkA> shellLink;
  ComPtr<IPersistFile> file;
  if (!NewShellLink(shellLink, file)) return false;
  if (FAILED(shellLink->SetPath(link.target.c_str())) ||
      FAILED(shellLink->SetArguments(link.arguments.c_str())) ||
      FAILED(shellLink->SetWorkingDirectory(link.workingDirectory.c_str())))
    return false;
  return SUCCEEDED(file->Save(widePath.c_str(), FALSE));
}

std::optional<platform::ShellLink> Win32Shell::LoadShellLink(const std::string& linkFile) {
  const std::wstring widePath = WidePath(linkFile);
  if (widePath.empty()) return std::nullopt;
  ComPtr<IShellLinkA> shellLink;
  ComPtr<IPersistFile> file;
  if (!NewShellLink(shellLink, file) || FAILED(file->Load(widePath.c_str(), STGM_READ))) return std::nullopt;
  char text[kLinkText] = {};
  platform::ShellLink link;
  // S_FALSE (no path) leaves the buffer empty.
  if (FAILED(shellLink->GetPath(text, MAX_PATH, nullptr, 0))) return std::nullopt;
  link.target = text;
  text[0] = '\0';
  if (FAILED(shellLink->GetArguments(text, kLinkText))) return std::nullopt;
  link.arguments = text;
  text[0] = '\0';
  if (FAILED(shellLink->GetWorkingDirectory(text, MAX_PATH))) return std::nullopt;
  link.workingDirectory = text;
  return link;
}

}  // namespace ov::win32
