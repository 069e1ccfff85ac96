#pragma once
// Small value types shared by every platform interface.
#include <cstdint>

namespace ov::platform {

// A window handle as the message API sees it; 0 means "no window".
using WindowHandle = std::uintptr_t;

// File attribute bits, as the file system reports them.
namespace attr {
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kVolumeLabel = 0x08;
constexpr std::uint32_t kDirectory = 0x10;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
constexpr std::uint32_t kCompressed = 0x800;
constexpr std::uint32_t kInvalid = 0xFFFFFFFF;
}  // namespace attr

// Drive types, as GetDriveType reports them.
namespace drive {
constexpr std::uint32_t kUnknown = 0;
constexpr std::uint32_t kNoRootDir = 1;
constexpr std::uint32_t kRemovable = 2;
constexpr std::uint32_t kFixed = 3;
constexpr std::uint32_t kRemote = 4;
constexpr std::uint32_t kCdRom = 5;
constexpr std::uint32_t kRamDisk = 6;
}  // namespace drive

// Local date and time to the millisecond, as GetLocalTime gives it.
struct LocalTime {
  int year = 1980;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

}  // namespace ov::platform
