#pragma once
// The local date and time: as the system writes it for people, and as numbers for the
// schedule.

#include <string>

namespace qm::platform {

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int dayOfWeek = 6;  // 0 Sunday to 6 Saturday
    int hour = 0, minute = 0, second = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // The current date and time in the system's general form, e.g. "12/8/2026 8:46:21 PM".
    virtual std::string NowText() = 0;
    // The current local time. Asked a hundred times a second by the schedule: it must be cheap.
    virtual LocalTime Now() = 0;
    // The current time in UTC: what signed answers are dated in, whatever the user's zone.
    virtual LocalTime UniversalNow() = 0;
    // Milliseconds since some fixed moment, never going back (the clock's changes and the
    // daylight-saving shifts do not move it): for deadlines.
    virtual unsigned long long Milliseconds() = 0;
};

// The system's date value of a local time: days since 30 December 1899, the time of day as
// the fraction.
double DateValueOf(const LocalTime& time);
// Days from 1 January 1970 to a civil date (proleptic Gregorian), and back.
long long DaysFromCivil(long long year, unsigned month, unsigned day);
void CivilFromDays(long long days, long long& year, unsigned& month, unsigned& day);
// A date value's day 0, 30 December 1899, is 25,569 days before 1 January 1970.
inline constexpr long long kDateValueOfUnixEpoch = 25569;

}  // namespace qm::platform
