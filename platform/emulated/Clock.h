#pragma once
// The emulated machine's local clock. It runs in UTC (the host's time read as local time)
// until a test sets it; then it stands still at that time.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/Types.h"

namespace ov::emulated {

class Clock {
 public:
  platform::LocalTime Now() const;
  void Set(const platform::LocalTime& time);

 private:
  mutable std::mutex mutex_;
  std::optional<platform::LocalTime> fixed_;
};

// Local time fields read as UTC, and back; the emulated machine has no time zone.
std::chrono::system_clock::time_point ToTimePoint(const platform::LocalTime& time);
platform::LocalTime FromTimePoint(std::chrono::system_clock::time_point point);

// MS-DOS date and time (date high, time low) to local time fields; nullopt when invalid.
std::optional<platform::LocalTime> DecodeDosDateTime(std::uint32_t dosDateTime);
// Nullopt outside 1980..2107; seconds are rounded down to even.
std::optional<std::uint32_t> EncodeDosDateTime(const platform::LocalTime& time);

}  // namespace ov::emulated
