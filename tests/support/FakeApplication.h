#pragma once
// The program as the front ends build it, on the fake machine.

#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "support/FakePlatform.h"

namespace qm::test {

struct FakeApplication {
    FakeMachine m;
    app::Application app{app::FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump},
                         app::StartOptions{std::string(FakeMachine::kDataFolder), {}}};
    ui::FrmMain& form = app.Form();
    scan::ScanSession& session = app.Session();

    // What start-up does for the definitions, without the rest of start-up: downloaded
    // copies installed, signatures counted, exclusions read.
    void LoadDefinitionState() {
        app.Store().InstallAndCount();
        app.Store().LoadExclusions(session);
    }
};

// The window's single-instance test, answered by `anotherRunning` (given the test's number,
// from 1), and recorded in `events` with whatever else a test records there.
class FakeStartUpWindows final : public ui::StartUpWindows {
  public:
    std::vector<std::string> events;
    std::function<bool(int)> anotherRunning = [](int) { return false; };

    bool AnotherInstanceRunning() override {
        events.push_back("instance test");
        return anotherRunning(++tests_);
    }

  private:
    int tests_ = 0;
};

// The program as the window builds it: with the first run's windows and the instance test.
struct FakeWindowApplication {
    FakeMachine m;
    FakeStartUpWindows windows;
    app::Application app{app::FrontEnd{m.platform, m.settings, m.prompts, m.pickers, m.pump,
                                       nullptr, nullptr, nullptr, nullptr, &windows},
                         app::StartOptions{std::string(FakeMachine::kDataFolder), {}}};
    ui::FrmMain& form = app.Form();
};

}  // namespace qm::test
