#pragma once
// Steps of a sequence that must run to its end (the start-up, loading the settings into the
// controls): whatever goes wrong in one step is dropped there and the next step runs. What the
// step had not yet changed keeps the value it had.

namespace qm::app {

template <typename Step>
void Skipping(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace qm::app
