#pragma once
// A file system that passes every call through and tallies, per file, how often it was opened for
// writing, written, read and replaced, and the memory resident at each write.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace ov::bench {

struct FileTally {
  std::string path;                // as first seen
  int createOpens = 0;             // CreateAlways
  int writeOpens = 0;              // an existing file opened with write access (e.g. to date it)
  int writeCalls = 0;              // File::Write calls
  std::uint64_t bytesWritten = 0;
  std::uint64_t bytesRead = 0;
  int replacements = 0;            // the target of CopyFile or MoveFileReplacing
  int datings = 0;                 // SetLastWriteDosTime calls that succeeded
};

// Resident memory in KiB, from /proc/self/statm: all of it, and the part not backed by a file.
struct Resident {
  std::uint64_t totalKiB = 0;
  std::uint64_t anonymousKiB = 0;
};
Resident ResidentNow();

class CountingFileSystem final : public platform::FileSystem {
 public:
  explicit CountingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

  // Every file touched, in the order of first touch.
  std::vector<FileTally> Tallies() const;
  // The tally of one path (compared without regard to case); an empty one for a file never touched.
  FileTally TallyOf(const std::string& path) const;
  // The largest anonymous resident memory seen just before a write.
  std::uint64_t PeakAnonymousKiB() const;

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  std::uint32_t GetAttributes(const std::string& path) override { return inner_.GetAttributes(path); }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  bool CreateDirectory(const std::string& path) override { return inner_.CreateDirectory(path); }
  bool RemoveDirectory(const std::string& path) override { return inner_.RemoveDirectory(path); }
  bool DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  bool MoveFileReplacing(const std::string& from, const std::string& to) override;
  std::vector<platform::FindEntry> Find(const std::string& pattern) override { return inner_.Find(pattern); }
  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileShare share, platform::FileCreate create) override;
  std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) override {
    return inner_.LastWriteDosTime(path);
  }
  std::uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  platform::DiskSpace FreeSpace(const std::string& root) override { return inner_.FreeSpace(root); }

  // For the file handles it hands out.
  void CountWrite(std::size_t index, std::uint32_t bytes, bool ok);
  void CountRead(std::size_t index, std::uint32_t bytes);
  void CountDating(std::size_t index);

 private:
  // The tally of a path (compared without regard to case), created on first use; the lock is held.
  std::size_t IndexOf(const std::string& path);

  platform::FileSystem& inner_;
  mutable std::mutex mutex_;
  std::map<std::string, std::size_t> index_;
  std::vector<FileTally> tallies_;
  std::uint64_t peakAnonymousKiB_ = 0;
};

}  // namespace ov::bench
