#pragma once
// A file system and a registry that pass every change through one tap before making it. The tap runs
// on the thread that makes the change (the job's), so a test can act at an exact step of a job, and
// its verdict can make that one change fail: a refused write, or a write cut short as on a full disk.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace ov::reliability {

enum class Verdict { Pass, Fail, FailPartway };

enum class FileOp {
  OpenRead,
  OpenWrite,  // write or read-write access
  Write,      // one write through an open handle
  SetTime,
  SetAttributes,
  CreateDirectory,
  RemoveDirectory,
  DeleteFile,
  CopyFile,  // path is the target
  MoveFile,  // path is the target
};

inline const char* Name(FileOp op) {
  switch (op) {
    case FileOp::OpenRead: return "open-read";
    case FileOp::OpenWrite: return "open-write";
    case FileOp::Write: return "write";
    case FileOp::SetTime: return "set-time";
    case FileOp::SetAttributes: return "set-attributes";
    case FileOp::CreateDirectory: return "create-folder";
    case FileOp::RemoveDirectory: return "remove-folder";
    case FileOp::DeleteFile: return "delete";
    case FileOp::CopyFile: return "copy-onto";
    case FileOp::MoveFile: return "move-onto";
  }
  return "?";
}

// Everything that changes the disk, and opening for reading (a step boundary the tests act at).
inline bool Changes(FileOp op) { return op != FileOp::OpenRead; }

class TappedFileSystem final : public platform::FileSystem {
 public:
  using Tap = std::function<Verdict(FileOp op, const std::string& path)>;
  explicit TappedFileSystem(platform::FileSystem& inner) : inner_(inner) {}
  // Set while no job runs.
  Tap tap;

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return inner_.DirectoryExists(path); }
  std::uint32_t GetAttributes(const std::string& path) override { return inner_.GetAttributes(path); }
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
    return Allow(FileOp::SetAttributes, path) && inner_.SetAttributes(path, attributes);
  }
  bool CreateDirectory(const std::string& path) override {
    return Allow(FileOp::CreateDirectory, path) && inner_.CreateDirectory(path);
  }
  bool RemoveDirectory(const std::string& path) override {
    return Allow(FileOp::RemoveDirectory, path) && inner_.RemoveDirectory(path);
  }
  bool DeleteFile(const std::string& path) override {
    return Allow(FileOp::DeleteFile, path) && inner_.DeleteFile(path);
  }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    return Allow(FileOp::CopyFile, to) && inner_.CopyFile(from, to, failIfExists);
  }
  bool MoveFileReplacing(const std::string& from, const std::string& to) override {
    return Allow(FileOp::MoveFile, to) && inner_.MoveFileReplacing(from, to);
  }
  std::vector<platform::FindEntry> Find(const std::string& pattern) override { return inner_.Find(pattern); }
  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileShare share, platform::FileCreate create) override {
    const bool writing = access != platform::FileAccess::Read;
    if (!Allow(writing ? FileOp::OpenWrite : FileOp::OpenRead, path)) return nullptr;
    std::unique_ptr<platform::File> file = inner_.Open(path, access, share, create);
    if (!file || !writing) return file;
    return std::make_unique<TappedFile>(std::move(file), *this, path);
  }
  std::optional<std::uint32_t> LastWriteDosTime(const std::string& path) override {
    return inner_.LastWriteDosTime(path);
  }
  std::uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  platform::DiskSpace FreeSpace(const std::string& root) override { return inner_.FreeSpace(root); }

 private:
  class TappedFile final : public platform::File {
   public:
    TappedFile(std::unique_ptr<platform::File> inner, TappedFileSystem& owner, std::string path)
        : inner_(std::move(inner)), owner_(owner), path_(std::move(path)) {}
    bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override {
      return inner_->Read(buffer, count, got);
    }
    bool Write(const void* data, std::uint32_t count) override {
      switch (owner_.Judge(FileOp::Write, path_)) {
        case Verdict::Pass: return inner_->Write(data, count);
        case Verdict::FailPartway: inner_->Write(data, count / 2); return false;
        case Verdict::Fail: break;
      }
      return false;
    }
    bool Seek(std::int64_t position) override { return inner_->Seek(position); }
    std::int64_t Position() override { return inner_->Position(); }
    std::int64_t Size() override { return inner_->Size(); }
    bool SetLastWriteDosTime(std::uint32_t dosDateTime) override {
      return owner_.Allow(FileOp::SetTime, path_) && inner_->SetLastWriteDosTime(dosDateTime);
    }

   private:
    std::unique_ptr<platform::File> inner_;
    TappedFileSystem& owner_;
    std::string path_;
  };

  Verdict Judge(FileOp op, const std::string& path) { return tap ? tap(op, path) : Verdict::Pass; }
  bool Allow(FileOp op, const std::string& path) { return Judge(op, path) == Verdict::Pass; }

  platform::FileSystem& inner_;
};

enum class RegOp { Create, OpenForWrite, SetString, SetDword, DeleteKey };

inline const char* Name(RegOp op) {
  switch (op) {
    case RegOp::Create: return "create";
    case RegOp::OpenForWrite: return "open";
    case RegOp::SetString: return "set-string";
    case RegOp::SetDword: return "set-dword";
    case RegOp::DeleteKey: return "delete";
  }
  return "?";
}

// One registry change as the tap sees it; value is empty for key operations and "" is also the
// default value's name, so `op` tells them apart.
struct RegChange {
  RegOp op;
  platform::RegRoot root;
  std::string key;
  std::string value;
};

inline bool operator==(const RegChange& a, const RegChange& b) {
  return a.op == b.op && a.root == b.root && a.key == b.key && a.value == b.value;
}

inline std::ostream& operator<<(std::ostream& out, const RegChange& c) {
  out << Name(c.op) << " " << (c.root == platform::RegRoot::ClassesRoot ? "HKCR" : "HKLM") << "\\" << c.key;
  if (c.op == RegOp::SetString || c.op == RegOp::SetDword)
    out << " [" << (c.value.empty() ? "@" : c.value) << "]";
  return out;
}

class TappedRegistry final : public platform::Registry {
 public:
  using Tap = std::function<Verdict(const RegChange& change)>;
  explicit TappedRegistry(platform::Registry& inner) : inner_(inner) {}
  // Set while no job runs.
  Tap tap;

  std::unique_ptr<platform::RegistryKey> Open(platform::RegRoot root, const std::string& path,
                                              platform::RegAccess access) override {
    if (access == platform::RegAccess::All && !Allow({RegOp::OpenForWrite, root, path, ""})) return nullptr;
    return Wrap(inner_.Open(root, path, access), root, path);
  }
  std::unique_ptr<platform::RegistryKey> Create(platform::RegRoot root, const std::string& path) override {
    if (!Allow({RegOp::Create, root, path, ""})) return nullptr;
    return Wrap(inner_.Create(root, path), root, path);
  }
  bool DeleteKey(platform::RegRoot root, const std::string& path) override {
    return Allow({RegOp::DeleteKey, root, path, ""}) && inner_.DeleteKey(root, path);
  }

 private:
  class Key final : public platform::RegistryKey {
   public:
    Key(std::unique_ptr<platform::RegistryKey> inner, TappedRegistry& owner, platform::RegRoot root,
        std::string path)
        : inner_(std::move(inner)), owner_(owner), root_(root), path_(std::move(path)) {}
    bool SetString(const std::string& name, const std::string& text) override {
      return owner_.Allow({RegOp::SetString, root_, path_, name}) && inner_->SetString(name, text);
    }
    bool SetDword(const std::string& name, std::uint32_t number) override {
      return owner_.Allow({RegOp::SetDword, root_, path_, name}) && inner_->SetDword(name, number);
    }
    std::optional<platform::RegValue> Value(const std::string& name) override { return inner_->Value(name); }
    std::vector<std::string> SubKeyNames() override { return inner_->SubKeyNames(); }

   private:
    std::unique_ptr<platform::RegistryKey> inner_;
    TappedRegistry& owner_;
    platform::RegRoot root_;
    std::string path_;
  };

  bool Allow(const RegChange& change) { return !tap || tap(change) == Verdict::Pass; }
  std::unique_ptr<platform::RegistryKey> Wrap(std::unique_ptr<platform::RegistryKey> key,
                                              platform::RegRoot root, const std::string& path) {
    if (!key) return nullptr;
    return std::make_unique<Key>(std::move(key), *this, root, path);
  }

  platform::Registry& inner_;
};

}  // namespace ov::reliability
