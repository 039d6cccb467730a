#include "update/HttpText.h"

namespace qm::update {

std::optional<std::string> HttpGetText(platform::Http& http, ui::EventPump& pump,
                                       const std::string& url) {
    const auto letEventsRun = [&] { pump.LetEventsRun(); };
    return http.Get(url, kHttpBlockBytes, {[&](std::size_t) { letEventsRun(); }, letEventsRun});
}

std::optional<std::string> HttpGetTextWithProgress(platform::Http& http, ui::EventPump& pump,
                                                   const std::string& url, std::string& status) {
    return http.Get(url, kHttpBlockBytes,
                    {[&](std::size_t soFar) {
                         status = "Downloaded " + std::to_string(soFar) + " bytes.";
                         pump.LetEventsRun();
                     },
                     [&] { pump.LetEventsRun(); }});
}

}  // namespace qm::update
