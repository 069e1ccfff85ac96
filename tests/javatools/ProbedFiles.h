#pragma once
// A file system that forwards to another, except that one folder reads as missing while its
// files stay reachable (a folder whose own attributes cannot be queried), and that queries of
// paths under a prefix raise, as a broken platform call would.
#include <stdexcept>
#include <string>

#include "platform/FileSystem.h"

namespace ov::javatools::testing {

class ProbedFiles final : public platform::FileSystem {
 public:
  explicit ProbedFiles(platform::FileSystem& inner) : inner_(inner) {}

  std::string unreadableFolder;  // DirectoryExists says no for exactly this path
  std::string raisingPrefix;     // every query of a path starting with it raises

  bool FileExists(const std::string& path) override { return Checked(path).FileExists(path); }
  bool DirectoryExists(const std::string& path) override {
    return path != unreadableFolder && Checked(path).DirectoryExists(path);
  }
  std::uint32_t GetAttributes(const std::string& path) override { return Checked(path).GetAttributes(path); }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return Checked(path).SetAttributes(path, attributes);
  }
  bool CreateDirectory(const std::string& path) override { return Checked(path).CreateDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return Checked(path).RemoveDirectory(path); }
  bool DeleteFile(const std::string& path) override { return Checked(path).DeleteFile(path); }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    return Checked(from).CopyFile(from, to, failIfExists);
  }
  bool MoveFileReplacing(const std::string& from, const std::string& to) override {
    return Checked(from).MoveFileReplacing(from, to);
  }
  std::vector<platform::FindEntry> Find(const std::string& pattern) override {
    return Checked(pattern).Find(pattern);
  }
  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileShare share, platform::FileCreate create) override {
    return Checked(path).Open(path, access, share, create);
  }
  std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) override {
    return Checked(path).LastWriteDosTime(path);
  }
  std::uint32_t DriveType(const std::string& root) override { return Checked(root).DriveType(root); }
  platform::DiskSpace FreeSpace(const std::string& root) override { return Checked(root).FreeSpace(root); }

 private:
  platform::FileSystem& Checked(const std::string& path) {
    if (!raisingPrefix.empty() && path.rfind(raisingPrefix, 0) == 0) throw std::runtime_error("I/O error");
    return inner_;
  }

  platform::FileSystem& inner_;
};

}  // namespace ov::javatools::testing
