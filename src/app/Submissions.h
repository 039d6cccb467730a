#pragma once
// The reports the program sends its maker: a false positive (the checked results' locations
// and the user's explanation), a file name for research, and the anonymous list of running
// programs. Each is one request to the submission server; the window waits for its answer.

#include <functional>
#include <string>

#include "ui/FrmMain.h"
#include "work/Context.h"

namespace qm::app {

struct SubmissionServices {
    work::Context context;
    std::function<std::string()> serverAddress;  // the base: "http://www.<host>"
    std::function<void()> excludeChecked;        // the Exclude command, with its question
};

class Submissions {
  public:
    Submissions(ui::FrmMain& form, SubmissionServices services)
        : form_(form), services_(std::move(services)) {}

    // `cmdFalsePos`: the locations confirmed, the details asked for, the report sent; after
    // a report the server took, the offer to exclude them.
    void ReportFalsePositive();
    // Browse (`Command2`): the chosen file's name into `txtFilename`.
    void BrowseForFile();
    // `cmdSubmit`, or Enter in `txtFilename`: the name sent, the outcome in `Label26`.
    void SubmitFilename();
    // The running programs' names, when there are any; the answer is not looked at.
    void SendAnonymousData();

    // The requests themselves, for the console as well: the server's answer, nothing when
    // it could not be reached. `locations` holds each location followed by CR LF.
    std::optional<std::string> SendFalsePositive(const std::string& locations,
                                                 const std::string& details);
    std::optional<std::string> SendName(const std::string& name);
    // Whether an answer says the report was taken.
    static bool FalsePositiveTaken(const std::string& answer);
    static bool NameTaken(const std::string& answer);

  private:
    std::string Message(const char* key) const {
        return services_.context.messages.getMessages(key);
    }
    std::optional<std::string> Get(const std::string& pathAndQuery);

    ui::FrmMain& form_;
    SubmissionServices services_;
};

}  // namespace qm::app
