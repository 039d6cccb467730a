#pragma once
// What the core asks of the person in front of the screen: message boxes, file and folder
// choices, and a moment for pending window events. The window, the console front end and the
// tests each answer these in their own way.

#include <optional>
#include <string>

namespace qm::ui {

enum class MessageButtons { Ok, YesNo, AbortRetryIgnore };
enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class MessageAnswer { Ok, Yes, No, Abort, Retry, Ignore };

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) = 0;
};

class Pickers {
  public:
    virtual ~Pickers() = default;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<std::string> ChooseFile() = 0;
    virtual std::optional<std::string> ChooseFolder() = 0;
};

// The scan report's viewer (`frmReport`): shows the text, returns when the user closes it.
class ReportViewer {
  public:
    virtual ~ReportViewer() = default;
    virtual void ShowReport(const std::string& caption, const std::string& text) = 0;
};

// "Let pending user-interface events run": a message pump in the window, nothing in the
// console, a scripted hook in tests. Long loops call it after every item; this is how Pause
// and Stop reach a running scan.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void LetEventsRun() = 0;
};

}  // namespace qm::ui
