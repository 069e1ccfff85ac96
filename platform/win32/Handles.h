#pragma once
// Owners for the system's handles: each closes what it holds when it goes away.
#include <utility>

#include "platform/win32/WindowsApi.h"

namespace ov::win32 {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const { return handle_; }
  bool Valid() const { return handle_ != Traits::Invalid(); }
  void Reset() {
    if (Valid()) Traits::Close(handle_);
    handle_ = Traits::Invalid();
  }
  // For the out-parameter of an API that opens the handle.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::FindClose(handle); }
};
// Never holds a predefined root (HKEY_LOCAL_MACHINE ...): those are not closed.
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ::RegCloseKey(handle); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ::DestroyWindow(handle); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using Window = UniqueHandle<WindowTraits>;

// One reference to a COM object.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void Reset() {
    if (ptr_) ptr_->Release();
    ptr_ = nullptr;
  }
  void** ReceiveVoid() {
    Reset();
    return reinterpret_cast<void**>(&ptr_);
  }
  T** Receive() {
    Reset();
    return &ptr_;
  }

 private:
  T* ptr_ = nullptr;
};

// An item identifier list from the shell, freed with the shell's allocator.
class ShellIdList {
 public:
  ShellIdList() = default;
  ~ShellIdList() { Reset(); }
  ShellIdList(const ShellIdList&) = delete;
  ShellIdList& operator=(const ShellIdList&) = delete;

  LPITEMIDLIST Get() const { return list_; }
  LPITEMIDLIST* Receive() {
    Reset();
    return &list_;
  }
  void Reset() {
    if (!list_) return;
    ComPtr<IMalloc> allocator;
    if (SUCCEEDED(::SHGetMalloc(allocator.Receive())) && allocator) allocator->Free(list_);
    list_ = nullptr;
  }

 private:
  LPITEMIDLIST list_ = nullptr;
};

}  // namespace ov::win32
