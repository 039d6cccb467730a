#include "app/Submissions.h"

#include "definitions/LineScramble.h"
#include "scan/ProcessControl.h"
#include "text/Text.h"
#include "update/HttpText.h"
#include "update/QueryEncoding.h"

namespace qm::app {

std::optional<std::string> Submissions::Get(const std::string& pathAndQuery) {
    return update::HttpGetText(services_.context.platform.http, services_.context.pump,
                               services_.serverAddress() + pathAndQuery);
}

void Submissions::ReportFalsePositive() {
    const ui::ListView& results = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved;
    std::string locations;
    for (const ui::ListItem& row : results.rows) {
        if (row.checked) locations += row.SubItem(1) + "\r\n";
    }
    const std::string& title = services_.context.product.productName;
    if (services_.context.prompts.ShowMessage(Message("MSG_FALSE_POS") + "\r\n\r\n" + locations,
                                              title, ui::MessageButtons::OkCancel,
                                              ui::MessageIcon::Question) != ui::MessageAnswer::Ok) {
        return;
    }
    const auto details = services_.context.prompts.AskText(Message("MSG_FALSE_POS2"), title, "");
    if (!details || text::Trim(*details).empty()) {
        services_.context.prompts.ShowMessage(Message("MSG_FALSE_POS3"), title,
                                              ui::MessageButtons::Ok, ui::MessageIcon::Exclamation);
        return;
    }
    const std::string said = SendFalsePositive(locations, *details).value_or("");
    if (FalsePositiveTaken(said)) {
        if (services_.context.prompts.ShowMessage(
                Message("MSG_FALSE_POS4"), title, ui::MessageButtons::YesNo,
                ui::MessageIcon::Question) == ui::MessageAnswer::Yes) {
            services_.excludeChecked();
        }
        return;
    }
    services_.context.prompts.ShowMessage(Message("MSG_FALSE_POS5") + "\r\n\r\n" + said, title,
                                          ui::MessageButtons::Ok, ui::MessageIcon::Exclamation);
}

void Submissions::BrowseForFile() {
    const auto chosen = services_.context.pickers.ChooseFile();
    if (!chosen) return;
    form_.txtFilename.text = text::FileNameOf(*chosen);
}

void Submissions::SubmitFilename() {
    const std::string name = form_.txtFilename.text;
    if (NameTaken(SendName(name).value_or(""))) {
        form_.Label26.caption =
            Message("MSG_RESULTS") + " " + name + " " + Message("MSG_RESULTS_THANK");
    } else {
        form_.Label26.caption = Message("MSG_RESULTS") + " " + Message("MSG_PROBLEM") + " " + name +
                                ".  " + Message("MSG_PROBLEM2");
    }
    form_.txtFilename.text.clear();
}

std::optional<std::string> Submissions::SendFalsePositive(const std::string& locations,
                                                          const std::string& details) {
    // Each location followed by "|", as the server splits them; every value encoded whole.
    const std::string files = text::ReplaceAllNoCase(locations, "\r\n", "|");
    return Get("/asp/submitFP.asp?files=" + update::QueryValue(files) +
               "&details=" + update::QueryValue(details));
}

std::optional<std::string> Submissions::SendName(const std::string& name) {
    return Get("/asp/getData.asp?data=" + update::QueryValue(defs::EncodeLine(name) + "|"));
}

bool Submissions::FalsePositiveTaken(const std::string& answer) {
    return text::ContainsNoCase(answer, "OK");
}

bool Submissions::NameTaken(const std::string& answer) {
    return text::ContainsNoCase(answer, "Skipped") || text::ContainsNoCase(answer, "Added");
}

void Submissions::SendAnonymousData() {
    const std::string list = scan::ListRunningProcessNames(services_.context.platform.processes);
    if (list.empty()) return;
    Get("/asp/getData.asp?data=" + update::QueryValue(list));
}

}  // namespace qm::app
