#include "update/HttpText.h"

namespace qm::update {

std::string HttpGetText(platform::Http& http, ui::EventPump& pump, const std::string& url) {
    return http.Get(url, kHttpBlockBytes, [&](std::size_t) { pump.LetEventsRun(); })
        .value_or(std::string());
}

std::string HttpGetTextWithProgress(platform::Http& http, ui::EventPump& pump,
                                    const std::string& url, std::string& status) {
    return http
        .Get(url, kHttpBlockBytes,
             [&](std::size_t soFar) {
                 status = "Downloaded " + std::to_string(soFar) + " bytes.";
                 pump.LetEventsRun();
             })
        .value_or(std::string());
}

}  // namespace qm::update
