#pragma once
// What the core asks of the person in front of the screen: message boxes, file and folder
// choices, and a moment for pending window events. The window, the console front end and the
// tests each answer these in their own way.

#include <optional>
#include <string>
#include <vector>

namespace qm::ui {

enum class MessageButtons { Ok, YesNo, AbortRetryIgnore, OkCancel };
enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class MessageAnswer { Ok, Yes, No, Abort, Retry, Ignore, Cancel };

class Prompts {
  public:
    virtual ~Prompts() = default;
    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) = 0;
    // An input box: the text typed (starting as `initial`), or nothing when cancelled. A front
    // end without one cancels.
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& initial) {
        (void)prompt, (void)title, (void)initial;
        return std::nullopt;
    }
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

// One item of the quarantine as its viewer lists it.
struct QuarantineItem {
    std::string name;         // its name in the quarantine, which Restore takes
    std::string description;  // one line for the user: what it is, where it came from, when
    bool restored = false;    // put back once already
};

// What the quarantine's viewer may ask for.
class QuarantineActions {
  public:
    virtual ~QuarantineActions() = default;
    // Every item in the quarantine, in the order they went in; empty when there are none.
    virtual std::vector<QuarantineItem> Items() = 0;
    // Puts the item back where it came from; one sentence for the user says how it went.
    virtual std::string Restore(const std::string& name) = 0;
    // The quarantine folder in the file manager.
    virtual void OpenFolder() = 0;
};

// The quarantine's viewer: lists the items and restores the one the user picks; returns when
// the user closes it.
class QuarantineViewer {
  public:
    virtual ~QuarantineViewer() = default;
    virtual void ShowQuarantine(const std::string& caption, QuarantineActions& actions) = 0;
};

// What only the window's start-up has: the test for a copy of the program already running in
// this session. The console has none.
class StartUpWindows {
  public:
    virtual ~StartUpWindows() = default;
    // True when another copy runs in this session; asking again gives the same answer.
    virtual bool AnotherInstanceRunning() = 0;
};

// "Let pending user-interface events run": a message pump in the window, nothing in the
// console, a scripted hook in tests. Long loops call it after every item; this is how Pause
// and Stop reach a running scan.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void LetEventsRun() = 0;
    // Waits until something happens, then lets it run: the loop that waits for the user's
    // answer to a modeless window, without spinning.
    virtual void WaitForEvents() { LetEventsRun(); }
    // True once the program has been told to end: no answer is coming any more.
    virtual bool Quitting() const { return false; }
};

}  // namespace qm::ui
