#pragma once
// The two reads the program makes of its servers: the whole answer as text, the window's
// events let run after every block, and the same with the length so far in a status box.

#include <functional>
#include <optional>
#include <string>

#include "platform/Http.h"
#include "ui/Interaction.h"

namespace qm::update {

// Blocks of this size: the window stays responsive however slowly the answer comes.
inline constexpr std::size_t kHttpBlockBytes = 256;

// The body, or nothing when the request failed. Nothing is reported: the window treats a
// failed request as empty text, so to its user an unreachable server looks like one with
// nothing new.
// `keepGoing`, when set, is asked after each block and while waiting; false gives the request
// up.
std::optional<std::string> HttpGetText(platform::Http& http, ui::EventPump& pump,
                                       const std::string& url,
                                       const std::function<bool()>& keepGoing = {});
// The same, setting `status` (the progress window's status text) to "Downloaded N bytes."
// after each block.
std::optional<std::string> HttpGetTextWithProgress(platform::Http& http, ui::EventPump& pump,
                                                   const std::string& url, std::string& status,
                                                   const std::function<bool()>& keepGoing = {});

}  // namespace qm::update
