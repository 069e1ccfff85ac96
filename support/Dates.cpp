#include "support/Dates.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "support/Errors.h"

namespace ov {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
// Days from 1 January 1970 back to 30 December 1899.
constexpr std::int64_t kUnixEpochDay = 25569;
// Day numbers of 1 January 0001 and of 1 January 10000.
constexpr double kFirstDay = -693593.0;
constexpr double kEndDay = 2958466.0;

bool IsLeap(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool ValidDate(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool ValidTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

// Proleptic Gregorian calendar, days relative to 1 January 1970.
std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

std::string TwoDigits(int value) {
  std::string text = std::to_string(value);
  return text.size() < 2 ? "0" + text : text;
}

// 15 significant digits in fixed notation, trailing zeros and a bare separator dropped.
// Built from to_chars so the host locale plays no part.
std::string FixedGeneral15(double value, char decimalSeparator) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  if (error != std::errc()) return std::string();
  const std::string scientific(buffer, end);  // [-]d.ddddddddddddde[+-]xx

  const std::size_t ePos = scientific.find('e');
  const bool negative = scientific.front() == '-';
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
    if (scientific[i] != '.') digits.push_back(scientific[i]);
  }
  const int exponent = std::atoi(scientific.c_str() + ePos + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  if (digits == "0") return "0";

  std::string integral;
  std::string fraction;
  if (exponent >= 0) {
    const std::size_t integralDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integralDigits) {
      integral = digits + std::string(integralDigits - digits.size(), '0');
    } else {
      integral = digits.substr(0, integralDigits);
      fraction = digits.substr(integralDigits);
    }
  } else {
    integral = "0";
    fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  std::string text = negative ? "-" + integral : integral;
  if (!fraction.empty()) text += decimalSeparator + fraction;
  return text;
}

}  // namespace

double DayNumber(const platform::LocalTime& time) {
  if (time.year < 1 || time.year > 9999 || !ValidDate(time.year, time.month, time.day) ||
      !ValidTime(time.hour, time.minute, time.second, time.millisecond)) {
    throw OvError("Invalid date or time");
  }
  const double date = static_cast<double>(DaysFromCivil(time.year, time.month, time.day) + kUnixEpochDay);
  const std::int64_t ms =
      time.hour * 3600000LL + time.minute * 60000LL + time.second * 1000LL + time.millisecond;
  const double fraction = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  // Before 30 December 1899 the time of day still counts forward from midnight.
  return date >= 0 ? date + fraction : date - fraction;
}

platform::LocalTime FromDayNumber(double dayNumber) {
  if (!std::isfinite(dayNumber) || dayNumber <= kFirstDay - 1.0 || dayNumber >= kEndDay) {
    throw OvError("Invalid day number");
  }
  std::int64_t day = static_cast<std::int64_t>(std::trunc(dayNumber));
  std::int64_t ms = std::llround(std::fabs(dayNumber - static_cast<double>(day)) * kMsPerDay);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++day;
  }
  platform::LocalTime time;
  CivilFromDays(day - kUnixEpochDay, time.year, time.month, time.day);
  if (time.year < 1 || time.year > 9999) throw OvError("Invalid day number");
  time.hour = static_cast<int>(ms / 3600000);
  time.minute = static_cast<int>(ms / 60000 % 60);
  time.second = static_cast<int>(ms / 1000 % 60);
  time.millisecond = static_cast<int>(ms % 1000);
  return time;
}

std::optional<std::uint32_t> DosDateTime(const platform::LocalTime& time) {
  if (time.year < 1980 || time.year > 2107 || !ValidDate(time.year, time.month, time.day) ||
      !ValidTime(time.hour, time.minute, time.second, time.millisecond)) {
    return std::nullopt;
  }
  const std::uint32_t date = static_cast<std::uint32_t>((time.year - 1980) << 9 | time.month << 5 | time.day);
  const std::uint32_t clock =
      static_cast<std::uint32_t>(time.hour << 11 | time.minute << 5 | time.second / 2);
  return date << 16 | clock;
}

std::optional<platform::LocalTime> FromDosDateTime(std::uint32_t dosDateTime) {
  platform::LocalTime time;
  time.year = static_cast<int>(dosDateTime >> 25) + 1980;
  time.month = static_cast<int>(dosDateTime >> 21 & 0x0F);
  time.day = static_cast<int>(dosDateTime >> 16 & 0x1F);
  time.hour = static_cast<int>(dosDateTime >> 11 & 0x1F);
  time.minute = static_cast<int>(dosDateTime >> 5 & 0x3F);
  time.second = static_cast<int>(dosDateTime & 0x1F) * 2;
  time.millisecond = 0;
  if (!ValidDate(time.year, time.month, time.day) || !ValidTime(time.hour, time.minute, time.second, 0)) {
    return std::nullopt;
  }
  return time;
}

std::string DateStamp(double dayNumber) {
  platform::LocalTime time;
  try {
    time = FromDayNumber(dayNumber);
  } catch (const OvError&) {
    return std::string();
  }
  std::string year = std::to_string(time.year);
  // Years of fewer than four digits are taken as this century's.
  if (year.size() < 4) year = "20" + year;
  return year + TwoDigits(time.month) + TwoDigits(time.day);
}

std::string TimeToken(platform::System& system) { return TimeToken(system.Now(), system.DecimalSeparator()); }

std::string TimeToken(const platform::LocalTime& time, char decimalSeparator) {
  std::string text = FixedGeneral15(DayNumber(time), decimalSeparator);
  const char replaced = text.find('.') != std::string::npos ? '.' : ',';
  for (char& c : text) {
    if (c == replaced) c = '_';
  }
  if (text.size() < 16) text.append(16 - text.size(), '2');
  return text;
}

}  // namespace ov
