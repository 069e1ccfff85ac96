#include "platform/win32/Win32Machine.h"

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Messages.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Resources.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/WindowsApi.h"

namespace ov::win32 {
namespace {

// COM for the UI thread (the folder dialog and, when no link thread can start, the shell's link object),
// balanced on the same thread.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace

struct Win32Machine::Impl {
  ComApartment com;
  Win32FileSystem files;
  Win32Registry registry;
  Win32System system;
  Win32Shell shell;
  Win32Messages messages;
  Win32Resources resources;
  platform::Machine machine{files, registry, system, shell, messages, resources};
};

Win32Machine::Win32Machine() : impl_(std::make_unique<Impl>()) {}

Win32Machine::~Win32Machine() = default;

platform::Machine& Win32Machine::machine() { return impl_->machine; }

}  // namespace ov::win32
