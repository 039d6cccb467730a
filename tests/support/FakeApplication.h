#pragma once
// The program as the front ends build it, on the fake machine.

#include <string>

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

}  // namespace qm::test
