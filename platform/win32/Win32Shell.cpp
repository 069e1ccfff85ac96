#include "platform/win32/Win32Shell.h"

#include <exception>
#include <functional>
#include <system_error>
#include <thread>

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

struct EventTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using Event = UniqueHandle<EventTraits>;

// COM for a thread of link work, balanced on the same thread.
class LinkApartment {
  static constexpr DWORD kApartment = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE;

 public:
  LinkApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, kApartment))) {}
  ~LinkApartment() {
    if (initialised_) ::CoUninitialize();
  }
  LinkApartment(const LinkApartment&) = delete;
  LinkApartment& operator=(const LinkApartment&) = delete;

 private:
  bool initialised_;
};

// Runs `work` on a thread of its own and waits for it, answering meanwhile the messages sent to
// this thread's windows (posted messages and input wait for the message loop). Without a thread
// or an event to wait on, the work runs here, in this thread's apartment.
void RunLinkWork(const std::function<void()>& work) {
  const Event done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread worker;
  if (done.Valid()) {
    try {
      worker = std::thread([&work, event = done.Get()] {
        {
          const LinkApartment apartment;
          try {
            work();
          } catch (const std::exception&) {
            // The link is not made or not read; the caller sees its empty result.
          }
        }
        ::SetEvent(event);
      });
    } catch (const std::system_error&) {
      // No thread to be had: the work runs here.
    }
  }
  if (!worker.joinable()) {
    work();
    return;
  }
  // Should the wait itself fail, the join still waits for the work.
  HANDLE event = done.Get();
  while (::MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0 + 1) {
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  worker.join();
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
  bool saved = false;
  RunLinkWork([&] {
    ComPtr<IShellLinkA> shellLink;
    ComPtr<IPersistFile> file;
    if (!NewShellLink(shellLink, file)) return;
    if (FAILED(shellLink->SetPath(link.target.c_str())) ||
        FAILED(shellLink->SetArguments(link.arguments.c_str())) ||
        FAILED(shellLink->SetWorkingDirectory(link.workingDirectory.c_str())))
      return;
    saved = SUCCEEDED(file->Save(widePath.c_str(), FALSE));
  });
  return saved;
}

std::optional<platform::ShellLink> Win32Shell::LoadShellLink(const std::string& linkFile) {
  const std::wstring widePath = WidePath(linkFile);
  if (widePath.empty()) return std::nullopt;
  std::optional<platform::ShellLink> loaded;
  RunLinkWork([&] {
    ComPtr<IShellLinkA> shellLink;
    ComPtr<IPersistFile> file;
    if (!NewShellLink(shellLink, file) || FAILED(file->Load(widePath.c_str(), STGM_READ))) return;
    char text[kLinkText] = {};
    platform::ShellLink link;
    // S_FALSE (no path) leaves the buffer empty.
    if (FAILED(shellLink->GetPath(text, MAX_PATH, nullptr, 0))) return;
    link.target = text;
    text[0] = '\0';
    if (FAILED(shellLink->GetArguments(text, kLinkText))) return;
    link.arguments = text;
    text[0] = '\0';
    if (FAILED(shellLink->GetWorkingDirectory(text, MAX_PATH))) return;
    link.workingDirectory = text;
    loaded = std::move(link);
  });
  return loaded;
}

}  // namespace ov::win32
