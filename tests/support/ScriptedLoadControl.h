#pragma once
// A LoadControl for loader tests: counts the event pauses a loop takes and can raise the stop
// flag once a given number of them have run (a Stop click arriving during a long load).

#include <functional>

#include "definitions/LoadControl.h"

namespace qm::test {

class ScriptedLoadControl final : public defs::LoadControl {
  public:
    bool stop = false;
    long long events = 0;
    long long stopAfterEvents = -1;  // < 0: never
    // What the user does while the events of the given pause run.
    std::function<void(long long)> onEvents;

    bool StopRequested() const override { return stop; }
    void LetEventsRun() override {
        ++events;
        if (stopAfterEvents >= 0 && events >= stopAfterEvents) stop = true;
        if (onEvents) onEvents(events);
    }
};

}  // namespace qm::test
