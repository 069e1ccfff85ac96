#include "platform/emulated/EmulatedFile.h"

#include <system_error>

namespace ov::emulated {

namespace fs = std::filesystem;

EmulatedFile::EmulatedFile(std::shared_ptr<FileSystemState> state, std::uint64_t handle, WindowsPath path,
                           fs::path host, std::fstream stream, unsigned access, bool created)
    : state_(std::move(state)),
      handle_(handle),
      path_(std::move(path)),
      host_(std::move(host)),
      stream_(std::move(stream)),
      access_(access),
      changed_(created) {}

EmulatedFile::~EmulatedFile() {
  std::lock_guard lock(state_->mutex);
  stream_.close();
  std::error_code ec;
  if (setTime_) {
    fs::last_write_time(host_, *setTime_, ec);
  } else if (changed_) {
    fs::last_write_time(host_, ToFileTime(state_->clock->Now()), ec);
  }
  state_->RemoveHandle(handle_);
}

bool EmulatedFile::Read(void* buffer, std::uint32_t count, std::uint32_t& got) {
  got = 0;
  if ((access_ & open::kRead) == 0) return false;
  std::lock_guard lock(state_->mutex);
  stream_.clear();
  stream_.seekg(position_);
  if (!stream_) return false;
  stream_.read(static_cast<char*>(buffer), count);
  got = static_cast<std::uint32_t>(stream_.gcount());
  position_ += got;
  if (stream_.bad()) return false;
  stream_.clear();
  return true;
}

bool EmulatedFile::Write(const void* data, std::uint32_t count) {
  if ((access_ & open::kWrite) == 0) return false;
  std::lock_guard lock(state_->mutex);
  if (state_->WritesFail(path_)) return false;
  const auto granted = static_cast<std::uint32_t>(state_->TakeWriteBudget(path_.drive, count));
  stream_.clear();
  stream_.seekp(position_);
  stream_.write(static_cast<const char*>(data), granted);
  stream_.flush();
  if (!stream_) return false;
  position_ += granted;
  if (granted > 0) {
    changed_ = true;
    // A changed file is marked for the next backup, as Windows does.
    state_->StoreAttributes(host_, state_->AttributesOf(host_, false) | platform::attr::kArchive);
  }
  return granted == count;
}

bool EmulatedFile::Seek(std::int64_t position) {
  if (position < 0) return false;
  position_ = position;
  return true;
}

std::int64_t EmulatedFile::Position() { return position_; }

std::int64_t EmulatedFile::Size() {
  std::lock_guard lock(state_->mutex);
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(host_, ec);
  return ec ? -1 : static_cast<std::int64_t>(size);
}

bool EmulatedFile::SetLastWriteDosTime(std::uint32_t dosDateTime) {
  if ((access_ & open::kWrite) == 0) return false;
  const auto time = DecodeDosDateTime(dosDateTime);
  if (!time) return false;
  std::lock_guard lock(state_->mutex);
  std::error_code ec;
  const fs::file_time_type fileTime = ToFileTime(*time);
  fs::last_write_time(host_, fileTime, ec);
  if (ec) return false;
  setTime_ = fileTime;
  return true;
}

}  // namespace ov::emulated
