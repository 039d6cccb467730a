#pragma once
// A scan session on the real Win32 platform, with the person in front of the screen replaced
// by fixed answers: message boxes answer OK, the pickers answer what the test set, and no
// window events are waiting.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "definitions/LineScramble.h"
#include "platform/win32/Win32Platform.h"
#include "settings/SettingsStore.h"

namespace qm::wintest {

struct QuietPrompts final : ui::Prompts {
    ui::MessageAnswer ShowMessage(const std::string&, const std::string&, ui::MessageButtons,
                                  ui::MessageIcon) override {
        return ui::MessageAnswer::Ok;
    }
};

struct ChosenPickers final : ui::Pickers {
    std::optional<std::string> file;
    std::optional<std::string> folder;
    std::optional<std::string> ChooseFile() override { return file; }
    std::optional<std::string> ChooseFolder() override { return folder; }
};

struct NoEvents final : ui::EventPump {
    void LetEventsRun() override {}
};

// Definition lines as a definition file holds them: scrambled, CR LF after each.
inline std::string Scrambled(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines)
        bytes += defs::EncodeLine(l) + "\r\n";
    return bytes;
}

// The program on the real Win32 platform, as the front ends build it.
struct DiskScan {
    explicit DiskScan(const std::string& dataFolder)
        : app(std::make_unique<app::Application>(
              app::FrontEnd{machine.platform, settings, prompts, pickers, pump},
              app::StartOptions{dataFolder, {}})),
          form(app->Form()) {
        LoadDefinitionState();
    }
    // What start-up does for the definitions: downloaded copies installed, counted, and the
    // exclusions read.
    void LoadDefinitionState() {
        app->Store().InstallAndCount();
        app->Store().LoadExclusions(app->Session());
    }

    platform::win32::Win32Platform machine;
    settings::MemorySettingsStore settings;
    QuietPrompts prompts;
    ChosenPickers pickers;
    NoEvents pump;
    std::unique_ptr<app::Application> app;
    ui::FrmMain& form;
};

}  // namespace qm::wintest
