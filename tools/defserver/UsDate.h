#pragma once
// Dates as the definition server reads and writes them: United States form on the wire
// ("12/8/2026 8:46:21 PM", a date alone meaning midnight), a sortable form in its database
// ("2026-12-08 20:46:21").

#include <optional>
#include <string>
#include <string_view>

namespace qm::defserver {

// The sortable form of a United States date, with or without its time; nothing for a text
// that names no date.
std::optional<std::string> SortableFromUs(std::string_view us);
// "M/D/YYYY h:mm:ss AM" from the sortable form.
std::string UsFromSortable(const std::string& sortable);
// Now, in the sortable form, in the machine's local time.
std::string SortableNow();

}  // namespace qm::defserver
