#pragma once
// A window's timers follow their models: each model timer is a system timer of the window,
// numbered by its place in the list, set or killed when its model changes.

#include <functional>
#include <vector>

#include "platform/win32/WinApi.h"
#include "ui/Controls.h"
#include "ui/MainWindowCommands.h"

namespace qm::ui::win32 {

class TimerSync {
  public:
    explicit TimerSync(std::vector<Timer*> timers)
        : timers_(std::move(timers)), applied_(timers_.size()) {}

    void Apply(HWND window) {
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            const Timer& want = *timers_[i];
            Timer& had = applied_[i];
            if (want.enabled == had.enabled && want.interval == had.interval) continue;
            if (want.enabled && want.interval > 0) {
                ::SetTimer(window, IdOf(i), static_cast<UINT>(want.interval), nullptr);
            } else {
                ::KillTimer(window, IdOf(i));
            }
            had = want;
        }
    }
    // The model of a WM_TIMER's timer, or null for a timer of someone else's.
    Timer* Find(WPARAM id) const {
        const std::size_t index = id - IdOf(0);
        return index < timers_.size() ? timers_[index] : nullptr;
    }

    // A WM_TIMER: the tick to the program, then `syncAll` when the tick changed something.
    void Dispatch(WPARAM id, TimerCommands& commands, const std::function<void()>& syncAll) {
        if (Timer* timer = Find(id); timer && commands.TimerTick(*timer)) syncAll();
    }

  private:
    static UINT_PTR IdOf(std::size_t index) { return 1 + index; }

    std::vector<Timer*> timers_;
    std::vector<Timer> applied_;
};

}  // namespace qm::ui::win32
