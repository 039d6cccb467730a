#pragma once
// The questions and pickers the program opens, counted while they are open. A message box or
// a file dialog runs its own message loop, in which the window's timers still tick: the
// background timers (the shields, the schedule, the automatic update) must not start work
// inside such a loop, so they ask whether one is open.

#include <optional>
#include <string>

#include "ui/Interaction.h"

namespace qm::app {

// Counts the modal interactions under way; one Scope per interaction.
class ModalCount {
  public:
    bool Open() const { return open_ > 0; }

    class Scope {
      public:
        explicit Scope(ModalCount& count) : count_(count) { ++count_.open_; }
        ~Scope() { --count_.open_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ModalCount& count_;
    };

  private:
    int open_ = 0;
};

class ModalPrompts final : public ui::Prompts {
  public:
    ModalPrompts(ui::Prompts& inner, ModalCount& count) : inner_(inner), count_(count) {}
    ui::MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                                  ui::MessageButtons buttons, ui::MessageIcon icon) override {
        const ModalCount::Scope open(count_);
        return inner_.ShowMessage(text, title, buttons, icon);
    }
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override {
        const ModalCount::Scope open(count_);
        return inner_.AskText(prompt, title, initial);
    }

  private:
    ui::Prompts& inner_;
    ModalCount& count_;
};

class ModalPickers final : public ui::Pickers {
  public:
    ModalPickers(ui::Pickers& inner, ModalCount& count) : inner_(inner), count_(count) {}
    std::optional<std::string> ChooseFile() override {
        const ModalCount::Scope open(count_);
        return inner_.ChooseFile();
    }
    std::optional<std::string> ChooseFolder() override {
        const ModalCount::Scope open(count_);
        return inner_.ChooseFolder();
    }

  private:
    ui::Pickers& inner_;
    ModalCount& count_;
};

}  // namespace qm::app
