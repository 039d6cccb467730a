#pragma once
// What the console lends the program in place of the person at the screen: message boxes
// become lines on standard error, the pickers answer with the path named on the command line,
// and there are no pending events to let run.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/console/ConsoleOutput.h"
#include "ui/Interaction.h"

namespace qm::app::console {

// Questions are answered No (Abort, Cancel), so nothing the console does is ever confirmed by
// default. What was shown is kept: a run tells its outcome from the messages it raised.
class ConsolePrompts final : public ui::Prompts {
  public:
    explicit ConsolePrompts(std::ostream& err) : err_(err) {}
    ui::MessageAnswer ShowMessage(const std::string& message, const std::string&,
                                  ui::MessageButtons buttons, ui::MessageIcon) override {
        shown.push_back(message);
        err_ << message << kEol;
        switch (buttons) {
            case ui::MessageButtons::YesNo:
                return ui::MessageAnswer::No;
            case ui::MessageButtons::AbortRetryIgnore:
                return ui::MessageAnswer::Abort;
            case ui::MessageButtons::OkCancel:
                return ui::MessageAnswer::Cancel;
            case ui::MessageButtons::Ok:
                break;
        }
        return ui::MessageAnswer::Ok;
    }
    std::vector<std::string> shown;

  private:
    std::ostream& err_;
};

// The file or folder named on the command line stands for the user's choice in the picker.
class ArgumentPickers final : public ui::Pickers {
  public:
    std::optional<std::string> file;
    std::optional<std::string> folder;
    std::optional<std::string> ChooseFile() override { return file; }
    std::optional<std::string> ChooseFolder() override { return folder; }
};

class NoEvents final : public ui::EventPump {
  public:
    void LetEventsRun() override {}
};

}  // namespace qm::app::console
