#include "update/HttpText.h"

namespace qm::update {

std::optional<std::string> HttpGetText(platform::Http& http, ui::EventPump& pump,
                                       const std::string& url,
                                       const std::function<bool()>& keepGoing) {
    const auto letEventsRun = [&] { pump.LetEventsRun(); };
    return http.Get(url, kHttpBlockBytes,
                    {[&](std::size_t) { letEventsRun(); }, letEventsRun, keepGoing});
}

std::optional<std::string> HttpGetTextWithProgress(platform::Http& http, ui::EventPump& pump,
                                                   const std::string& url, std::string& status,
                                                   const std::function<bool()>& keepGoing) {
    return http.Get(url, kHttpBlockBytes,
                    {[&](std::size_t soFar) {
                         status = "Downloaded " + std::to_string(soFar) + " bytes.";
                         pump.LetEventsRun();
                     },
                     [&] { pump.LetEventsRun(); }, keepGoing});
}

}  // namespace qm::update
