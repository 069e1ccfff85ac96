#include "bench/CountingFileSystem.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace ov::bench {

namespace {

std::string UpperKey(const std::string& path) {
  std::string key = path;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return key;
}

class CountingFile final : public platform::File {
 public:
  CountingFile(CountingFileSystem& owner, std::size_t index, std::unique_ptr<platform::File> inner)
      : owner_(owner), index_(index), inner_(std::move(inner)) {}

  bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override {
    const bool ok = inner_->Read(buffer, count, got);
    owner_.CountRead(index_, got);
    return ok;
  }
  bool Write(const void* data, std::uint32_t count) override {
    const bool ok = inner_->Write(data, count);
    owner_.CountWrite(index_, count, ok);
    return ok;
  }
  bool Seek(std::int64_t position) override { return inner_->Seek(position); }
  std::int64_t Position() override { return inner_->Position(); }
  std::int64_t Size() override { return inner_->Size(); }
  bool SetLastWriteDosTime(std::uint32_t dosDateTime) override {
    const bool ok = inner_->SetLastWriteDosTime(dosDateTime);
    if (ok) owner_.CountDating(index_);
    return ok;
  }

 private:
  CountingFileSystem& owner_;
  const std::size_t index_;
  const std::unique_ptr<platform::File> inner_;
};

}  // namespace

Resident ResidentNow() {
  std::ifstream statm("/proc/self/statm");
  std::uint64_t size = 0, resident = 0, shared = 0;
  statm >> size >> resident >> shared;
  const std::uint64_t pageKiB = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) / 1024;
  return {resident * pageKiB, (resident - std::min(resident, shared)) * pageKiB};
}

std::vector<FileTally> CountingFileSystem::Tallies() const {
  std::lock_guard lock(mutex_);
  return tallies_;
}

FileTally CountingFileSystem::TallyOf(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = index_.find(UpperKey(path));
  return it == index_.end() ? FileTally{path} : tallies_[it->second];
}

std::uint64_t CountingFileSystem::PeakAnonymousKiB() const {
  std::lock_guard lock(mutex_);
  return peakAnonymousKiB_;
}

std::size_t CountingFileSystem::IndexOf(const std::string& path) {
  const auto [it, added] = index_.try_emplace(UpperKey(path), tallies_.size());
  if (added) tallies_.push_back(FileTally{path});
  return it->second;
}

bool CountingFileSystem::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  const bool ok = inner_.CopyFile(from, to, failIfExists);
  std::lock_guard lock(mutex_);
  if (ok) ++tallies_[IndexOf(to)].replacements;
  return ok;
}

bool CountingFileSystem::MoveFileReplacing(const std::string& from, const std::string& to) {
  const bool ok = inner_.MoveFileReplacing(from, to);
  std::lock_guard lock(mutex_);
  if (ok) ++tallies_[IndexOf(to)].replacements;
  return ok;
}

std::unique_ptr<platform::File> CountingFileSystem::Open(const std::string& path, platform::FileAccess access,
                                                         platform::FileShare share, platform::FileCreate create) {
  std::unique_ptr<platform::File> file = inner_.Open(path, access, share, create);
  if (!file) return nullptr;
  std::size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    index = IndexOf(path);
    FileTally& tally = tallies_[index];
    if (create == platform::FileCreate::CreateAlways) {
      ++tally.createOpens;
    } else if (access != platform::FileAccess::Read) {
      ++tally.writeOpens;
    }
  }
  return std::make_unique<CountingFile>(*this, index, std::move(file));
}

void CountingFileSystem::CountWrite(std::size_t index, std::uint32_t bytes, bool ok) {
  // The writer's buffer is still held here: the moment its memory is at its largest.
  const Resident resident = ResidentNow();
  std::lock_guard lock(mutex_);
  FileTally& tally = tallies_[index];
  ++tally.writeCalls;
  if (ok) tally.bytesWritten += bytes;
  peakAnonymousKiB_ = std::max(peakAnonymousKiB_, resident.anonymousKiB);
}

void CountingFileSystem::CountRead(std::size_t index, std::uint32_t bytes) {
  std::lock_guard lock(mutex_);
  tallies_[index].bytesRead += bytes;
}

void CountingFileSystem::CountDating(std::size_t index) {
  std::lock_guard lock(mutex_);
  ++tallies_[index].datings;
}

}  // namespace ov::bench
