#include "platform/emulated/Clock.h"

namespace ov::emulated {

using namespace std::chrono;

platform::LocalTime Clock::Now() const {
  {
    std::lock_guard lock(mutex_);
    if (fixed_) return *fixed_;
  }
  return FromTimePoint(system_clock::now());
}

void Clock::Set(const platform::LocalTime& time) {
  std::lock_guard lock(mutex_);
  fixed_ = time;
}

system_clock::time_point ToTimePoint(const platform::LocalTime& time) {
  const sys_days day = year{time.year} / month{static_cast<unsigned>(time.month)} /
                       std::chrono::day{static_cast<unsigned>(time.day)};
  return day + hours{time.hour} + minutes{time.minute} + seconds{time.second} +
         milliseconds{time.millisecond};
}

platform::LocalTime FromTimePoint(system_clock::time_point point) {
  const auto ms = time_point_cast<milliseconds>(point);
  const sys_days day = floor<days>(ms);
  const year_month_day date{day};
  const hh_mm_ss<milliseconds> clock{ms - day};
  platform::LocalTime time;
  time.year = static_cast<int>(date.year());
  time.month = static_cast<int>(static_cast<unsigned>(date.month()));
  time.day = static_cast<int>(static_cast<unsigned>(date.day()));
  time.hour = static_cast<int>(clock.hours().count());
  time.minute = static_cast<int>(clock.minutes().count());
  time.second = static_cast<int>(clock.seconds().count());
  time.millisecond = static_cast<int>(clock.subseconds().count());
  return time;
}

std::optional<platform::LocalTime> DecodeDosDateTime(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t time = dosDateTime & 0xFFFF;
  platform::LocalTime t;
  t.year = 1980 + static_cast<int>(date >> 9);
  t.month = static_cast<int>((date >> 5) & 0x0F);
  t.day = static_cast<int>(date & 0x1F);
  t.hour = static_cast<int>(time >> 11);
  t.minute = static_cast<int>((time >> 5) & 0x3F);
  t.second = static_cast<int>((time & 0x1F) * 2);
  const year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                           day{static_cast<unsigned>(t.day)}};
  if (!ymd.ok() || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

std::optional<std::uint32_t> EncodeDosDateTime(const platform::LocalTime& t) {
  if (t.year < 1980 || t.year > 2107) return std::nullopt;
  const std::uint32_t date = (static_cast<std::uint32_t>(t.year - 1980) << 9) |
                             (static_cast<std::uint32_t>(t.month) << 5) | static_cast<std::uint32_t>(t.day);
  const std::uint32_t time = (static_cast<std::uint32_t>(t.hour) << 11) |
                             (static_cast<std::uint32_t>(t.minute) << 5) |
                             static_cast<std::uint32_t>(t.second / 2);
  return (date << 16) | time;
}

}  // namespace ov::emulated
