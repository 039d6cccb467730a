#pragma once
// Dates as the system reads and writes them in the user's formats. A date is a number of days
// since 30 December 1899, the time of day its fraction (the system's own date value).

#include <optional>
#include <string>

namespace qm::platform {

class Dates {
  public:
    virtual ~Dates() = default;
    // The date the text names, as the system's date parser reads it; nothing when it names
    // none ("13/45/2026 25:00 PM", markup, empty text).
    virtual std::optional<double> Parse(const std::string& text) = 0;
    // The date in the system's general form; a date at midnight is written without its time.
    virtual std::string Format(double date) = 0;
};

}  // namespace qm::platform
