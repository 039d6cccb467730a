#pragma once
// The window's answers to what the core asks of the user: message boxes, the file-open
// dialog, a folder picker, and the message pump that lets pending events run.

#include <cstdint>
#include <functional>

#include "platform/win32/WinApi.h"
#include "ui/Interaction.h"

namespace qm::ui::win32 {

class Win32Prompts final : public Prompts {
  public:
    explicit Win32Prompts(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    MessageAnswer ShowMessage(const std::string& text, const std::string& title,
                              MessageButtons buttons, MessageIcon icon) override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;

  private:
    std::function<HWND()> owner_;
};

class Win32Pickers final : public Pickers {
  public:
    explicit Win32Pickers(std::function<HWND()> owner) : owner_(std::move(owner)) {}
    std::optional<std::string> ChooseFile() override;
    std::optional<std::string> ChooseFolder() override;

  private:
    std::function<HWND()> owner_;
};

// Pumps the thread's message queue. A scan asks after every item; asking the system that
// often would dominate the scan, so the queue is looked at once every few milliseconds, which
// still lets a click on Stop land well within a tenth of a second.
class Win32EventPump final : public EventPump {
  public:
    static constexpr std::uint64_t kDefaultIntervalMs = 15;

    Win32EventPump(std::function<HWND()> dialog, std::function<void()> beforePump)
        : dialog_(std::move(dialog)), beforePump_(std::move(beforePump)) {}
    void LetEventsRun() override;
    void WaitForEvents() override;
    bool Quitting() const override { return quit_; }
    // Pumps now, whatever the interval.
    void PumpNow();
    void SetIntervalMs(std::uint64_t ms) { intervalMs_ = ms; }
    bool QuitReceived() const { return quit_; }

  private:
    std::function<HWND()> dialog_;
    std::function<void()> beforePump_;
    std::uint64_t intervalMs_ = kDefaultIntervalMs;
    std::uint64_t lastPump_ = 0;
    bool quit_ = false;
};

}  // namespace qm::ui::win32
