#pragma once
// Dates as the definition server writes and reads them: United States form ("12/2/2026 8:00:00
// AM", a date at midnight without its time), whatever the user's own date formats are. The
// installed date is stored in the same form, so it goes back to the server as it came.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Dates.h"

namespace qm::update {

// The date a United States date text names: month/day/year, optionally followed by a time
// with or without AM or PM. Nothing when the text is no such date (a day-first "16.3.2006",
// "13/45/2026", markup).
std::optional<double> ParseServerDate(std::string_view text);
// The date in United States form; a date at midnight is written without its time.
std::string FormatServerDate(double date);
// The same with the time always written ("3/16/2006 12:00:00 AM").
std::string FormatServerDateWithTime(double date);

// The text as the program stores it: the text itself when it is already in the form the
// program writes, else that form of the date it names; nothing when it names none.
std::optional<std::string> StoredFormOf(std::string_view text);

// The installed definitions' date as "date.dat" holds it. The program stores the server's form;
// a file written by an earlier version in the user's own form is read with the system's parser.
// Nothing when neither reads it.
std::optional<double> ReadStoredDate(platform::Dates& dates, const std::string& text);

// How far ahead of the machine's clock a server date may be: a date further ahead would hold
// back every later update until it came.
inline constexpr double kServerDateLeadDays = 2.0;

}  // namespace qm::update
