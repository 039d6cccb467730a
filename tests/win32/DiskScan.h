#pragma once
// A scan session on the real Win32 platform, with the person in front of the screen replaced
// by fixed answers: message boxes answer OK, the pickers answer what the test set, and no
// window events are waiting.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/SettingsStore.h"
#include "definitions/LineScramble.h"
#include "i18n/MessageCatalogue.h"
#include "platform/win32/Win32Platform.h"
#include "scan/ScanSession.h"

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

struct DiskScan {
    explicit DiskScan(const std::string& dataFolder) {
        i18n::LoadDefaultMessages(messages);
        session = std::make_unique<scan::ScanSession>(
            form,
            scan::ScanServices{machine.platform, prompts, pickers, pump, settings, messages,
                               machine.version.OwnProductInfo()},
            dataFolder);
        session->SetSignatureCounts(session->Files().CountDefinitions());
        session->LoadExclusions();
    }

    platform::win32::Win32Platform machine;
    app::MemorySettingsStore settings;
    i18n::MessageCatalogue messages;
    QuietPrompts prompts;
    ChosenPickers pickers;
    NoEvents pump;
    ui::FrmMain form;
    std::unique_ptr<scan::ScanSession> session;
};

}  // namespace qm::wintest
