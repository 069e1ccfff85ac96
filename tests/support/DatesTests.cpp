#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "support/Dates.h"
#include "support/Errors.h"

namespace ov {
namespace {

using platform::LocalTime;

LocalTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  return LocalTime{year, month, day, hour, minute, second, ms};
}

std::string Show(const LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond);
  return text;
}

TEST(DayNumber, CountsDaysSinceThirtiethDecember1899) {
  struct Case {
    LocalTime time;
    double expected;
  };
  const Case cases[] = {
      {At(1899, 12, 30), 0.0},
      {At(1899, 12, 31), 1.0},
      {At(1900, 1, 1), 2.0},
      {At(1900, 3, 1), 61.0},  // 1900 is no leap year
      {At(2008, 3, 15), 39522.0},
      {At(2008, 3, 15, 12), 39522.5},
      {At(2008, 3, 15, 6), 39522.25},
      {At(2000, 2, 29, 18), 36585.75},
      {At(1899, 12, 29, 6), -1.25},  // before the epoch the time still
                                     // counts forward
      {At(1, 1, 1), -693593.0},
      {At(9999, 12, 31), 2958465.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.time));
    EXPECT_EQ(DayNumber(c.time), c.expected);
  }
}

TEST(DayNumber, RejectsFieldsOutOfRange) {
  const LocalTime bad[] = {At(2009, 2, 29),
                           At(2008, 13, 1),
                           At(2008, 0, 1),
                           At(2008, 4, 31),
                           At(0, 1, 1),
                           At(10000, 1, 1),
                           At(2008, 1, 1, 24),
                           At(2008, 1, 1, 0, 60),
                           At(2008, 1, 1, 0, 0, 60),
                           At(2008, 1, 1, 0, 0, 0, 1000),
                           At(2008, 1, 1, -1)};
  for (const LocalTime& t : bad) {
    SCOPED_TRACE(Show(t));
    EXPECT_THROW(DayNumber(t), OvError);
  }
}

TEST(FromDayNumber, InvertsDayNumberToTheMillisecond) {
  const LocalTime times[] = {At(2008, 3, 15, 12, 34, 56, 789),
                             At(1899, 12, 30),
                             At(1899, 12, 29, 6),
                             At(1600, 2, 29, 23, 59, 59, 999),
                             At(2000, 2, 29),
                             At(2107, 12, 31, 23, 59, 58),
                             At(1, 1, 1, 0, 0, 0, 1),
                             At(9999, 12, 31, 23, 59, 59, 999)};
  for (const LocalTime& t : times) {
    SCOPED_TRACE(Show(t));
    EXPECT_EQ(Show(FromDayNumber(DayNumber(t))), Show(t));
  }
}

TEST(FromDayNumber, RoundsUpIntoTheNextDay) {
  EXPECT_EQ(Show(FromDayNumber(39522.9999999999)), "2008-03-16 00:00:00.000");
}

TEST(FromDayNumber, RejectsWhatIsNoDate) {
  const double bad[] = {std::nan(""),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity(),
                        2958466.0,
                        -693594.0,
                        1e300,
                        -1e300};
  for (double d : bad) {
    SCOPED_TRACE(d);
    EXPECT_THROW(FromDayNumber(d), OvError);
  }
}

TEST(DateStamp, YearMonthDayOrEmpty) {
  struct Case {
    double dayNumber;
    std::string expected;
  };
  const Case cases[] = {
      {39522.0, "20080315"},
      {39522.75, "20080315"},
      {DayNumber(At(2009, 1, 1)), "20090101"},
      {DayNumber(At(1999, 12, 31, 23, 59, 59, 999)), "19991231"},
      {DayNumber(At(999, 7, 4)),
       "20999"
       "0704"},  // fewer than four digits: "20" in front
      {DayNumber(At(5, 1, 2)),
       "205"
       "0102"},
      {std::nan(""), ""},
      {std::numeric_limits<double>::infinity(), ""},
      {1e12, ""},
      {-1e12, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dayNumber);
    EXPECT_EQ(DateStamp(c.dayNumber), c.expected);
  }
}

TEST(TimeToken, FifteenDigitsSeparatorUnderscoredPaddedWithTwos) {
  struct Case {
    LocalTime time;
    char separator;
    std::string expected;
  };
  const Case cases[] = {
      {At(2008, 3, 15, 12), '.', "39522_5222222222"},
      {At(2008, 3, 15, 12), ',', "39522_5222222222"},
      {At(2008, 3, 15, 12, 34, 56, 789), '.', "39522_5242683912"},
      {At(2008, 3, 15, 12, 34, 56, 789), ',', "39522_5242683912"},
      {At(2008, 12, 15, 14, 21, 30, 189), '.', "39797_5982660764"},
      {At(2008, 12, 15, 14, 21, 30, 189), ',', "39797_5982660764"},
      {At(2008, 3, 15), '.', "3952222222222222"},  // midnight: no separator at all
      {At(2008, 3, 15, 6), '.', "39522_2522222222"},
      {At(2008, 3, 15, 0, 0, 0, 1), '.', "39522_0000000116"},  // leading zeros of the fraction stay
      {At(1900, 1, 1, 0, 0, 1), '.', "2_00001157407407"},      // 15 significant digits, not 15 places
      {At(1899, 12, 30, 12), '.', "0_52222222222222"},
      {At(1899, 12, 29, 6), '.', "-1_2522222222222"},
      {At(2008, 3, 15, 12), ';', "39522;5222222222"},  // only "." or "," becomes "_"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.time) + " separator " + c.separator);
    EXPECT_EQ(TimeToken(c.time, c.separator), c.expected);
  }
}

TEST(TimeToken, SameMillisecondSameToken) {
  const LocalTime t = At(2010, 6, 1, 9, 8, 7, 6);
  EXPECT_EQ(TimeToken(t, '.'), TimeToken(t, '.'));
  LocalTime next = t;
  next.millisecond += 1;
  EXPECT_NE(TimeToken(t, '.'), TimeToken(next, '.'));
}

TEST(DosDateTime, PacksDateHighTimeLowInTwoSecondUnits) {
  struct Case {
    LocalTime time;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {At(1980, 1, 1), 0x00210000u},
      {At(2008, 3, 15, 12, 34, 56), (28u << 25 | 3u << 21 | 15u << 16) | (12u << 11 | 34u << 5 | 28u)},
      {At(2008, 3, 15, 12, 34, 57, 999), (28u << 25 | 3u << 21 | 15u << 16) | (12u << 11 | 34u << 5 | 28u)},
      {At(2107, 12, 31, 23, 59, 59), 0xFF9FBF7Du},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Show(c.time));
    EXPECT_EQ(DosDateTime(c.time), c.expected);
  }
}

TEST(DosDateTime, NothingOutside1980To2107OrInvalid) {
  const LocalTime bad[] = {At(1979, 12, 31, 23, 59, 58), At(2108, 1, 1), At(2009, 2, 29), At(2008, 1, 1, 24)};
  for (const LocalTime& t : bad) {
    SCOPED_TRACE(Show(t));
    EXPECT_EQ(DosDateTime(t), std::nullopt);
  }
}

TEST(FromDosDateTime, UnpacksValidValuesOnly) {
  const LocalTime times[] = {At(1980, 1, 1), At(2008, 3, 15, 12, 34, 56), At(2107, 12, 31, 23, 59, 58),
                             At(2000, 2, 29, 0, 0, 2)};
  for (const LocalTime& t : times) {
    SCOPED_TRACE(Show(t));
    const std::optional<std::uint32_t> packed = DosDateTime(t);
    ASSERT_TRUE(packed);
    const std::optional<LocalTime> back = FromDosDateTime(*packed);
    ASSERT_TRUE(back);
    EXPECT_EQ(Show(*back), Show(t));
  }
  const std::uint32_t bad[] = {
      0x00000000u,                         // month 0, day 0
      0x00200000u,                         // day 0
      0x01A10000u,                         // month 13
      (29u << 25 | 2u << 21 | 29u << 16),  // 29 February 2009
      0x00210000u | 24u << 11,             // hour 24
      0x00210000u | 60u << 5,              // minute 60
      0x00210000u | 30u,                   // second 60
  };
  for (std::uint32_t v : bad) {
    SCOPED_TRACE(v);
    EXPECT_EQ(FromDosDateTime(v), std::nullopt);
  }
}

}  // namespace
}  // namespace ov
