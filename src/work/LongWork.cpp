#include "work/LongWork.h"

#include "work/BackgroundTimers.h"

namespace qm::work {

void LongWork::Enter(Kind kind) {
    busy_ = true;
    SetBackgroundTimers(form_, settings_, false);
    if (kind == Kind::Foreground) form_.SetWorkControlsEnabled(true);
}

void LongWork::Leave(Kind kind) {
    if (kind == Kind::Foreground) form_.SetWorkControlsEnabled(false);
    SetBackgroundTimers(form_, settings_, true);
    busy_ = false;
}

LongWork::Outcome LongWork::Run(Kind kind, const std::function<void()>& work) {
    if (busy_) return Outcome::Refused;
    Enter(kind);
    Outcome outcome = Outcome::Done;
    try {
        work();
    } catch (...) {
        outcome = Outcome::Failed;
    }
    Leave(kind);
    return outcome;
}

}  // namespace qm::work
