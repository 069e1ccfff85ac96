#pragma once
// The emulated machine with two taps for tests: one on opening files, one on posting messages.
// Both run on the thread that opens or posts (the job's), so a test can act at an exact point
// of the job: cancel while a given file is written, remove the package copy when a state is sent.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace ov::engine {

class HookedFileSystem final : public platform::FileSystem {
 public:
  explicit HookedFileSystem(platform::FileSystem& inner) : inner_(inner) {}
  // Set before the job starts. Returning false makes the open fail.
  std::function<bool(const std::string& path, platform::FileAccess access)> onOpen;

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  std::uint32_t GetAttributes(const std::string& path) override { return inner_.GetAttributes(path); }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  bool CreateDirectory(const std::string& path) override { return inner_.CreateDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return inner_.RemoveDirectory(path); }
  bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  bool MoveFileReplacing(const std::string& from, const std::string& to) override {
    return inner_.MoveFileReplacing(from, to);
  }
  std::vector<platform::FindEntry> Find(const std::string& pattern) override { return inner_.Find(pattern); }
  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileShare share, platform::FileCreate create) override {
    if (onOpen && !onOpen(path, access)) return nullptr;
    return inner_.Open(path, access, share, create);
  }
  std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) override {
    return inner_.LastWriteDosTime(path);
  }
  std::uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  platform::DiskSpace FreeSpace(const std::string& root) override { return inner_.FreeSpace(root); }

 private:
  platform::FileSystem& inner_;
};

class HookedMessages final : public platform::Messages {
 public:
  explicit HookedMessages(platform::Messages& inner) : inner_(inner) {}
  // Set before the job starts; runs before the message is queued.
  std::function<void(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)> onPost;

  platform::WindowHandle FindWindowByClass(const std::string& className) override {
    return inner_.FindWindowByClass(className);
  }
  bool Post(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) override {
    if (onPost) onPost(message, wParam, lParam);
    return inner_.Post(window, message, wParam, lParam);
  }
  bool PostTask(std::function<void()> task) override { return inner_.PostTask(std::move(task)); }

 private:
  platform::Messages& inner_;
};

}  // namespace ov::engine
