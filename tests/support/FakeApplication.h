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

// The window's start-up parts: what the language window offered and what the user picks,
// and the single-instance test, answered by `anotherRunning` (given the test's number, from 1).
class FakeStartUpWindows final : public ui::StartUpWindows {
  public:
    std::vector<std::string> events;  // "language", "instance test" in the order they came
    std::string pick;                 // empty: the language shown when the window opened
    std::function<bool(int)> anotherRunning = [](int) { return false; };

    std::string ChooseLanguage(const std::vector<std::string>& languages,
                               const std::string& current) override {
        events.push_back("language");
        offered = languages;
        return pick.empty() ? current : pick;
    }
    bool AnotherInstanceRunning() override {
        events.push_back("instance test");
        return anotherRunning(++tests_);
    }
    std::vector<std::string> offered;

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
