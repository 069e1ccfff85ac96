#pragma once
// Day numbers (days since 30 December 1899, fraction = time of day), MS-DOS dates, stamps.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/System.h"
#include "platform/Types.h"

namespace ov {

// Whole days plus the time of day as a fraction (subtracted before 1899, as OLE dates count).
// Raises OvError for a field out of range (years 1..9999).
double DayNumber(const platform::LocalTime& time);
// Rounded to the millisecond. Raises OvError for NaN, infinity or a day outside years 1..9999.
platform::LocalTime FromDayNumber(double dayNumber);

// MS-DOS date and time: date in the high 16 bits, time in the low 16; years from 1980,
// seconds in units of two. Nullopt for a time outside 1980..2107.
std::optional<std::uint32_t> DosDateTime(const platform::LocalTime& time);
// Nullopt for a value that is not a valid date and time.
std::optional<platform::LocalTime> FromDosDateTime(std::uint32_t dosDateTime);

// yyyymmdd, "" on any error.
std::string DateStamp(double dayNumber);

// The current local time as a day number with 15 significant digits, the decimal separator
// turned into "_", padded with "2" to 16 characters.
std::string TimeToken(platform::System& system);
// The same for a given time and decimal separator. Both raise OvError for an invalid time.
std::string TimeToken(const platform::LocalTime& time, char decimalSeparator);

}  // namespace ov
