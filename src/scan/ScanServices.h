#pragma once

#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "ui/Interaction.h"

namespace qm::scan {

// Everything a scan reaches outside its own window model.
struct ScanServices {
    platform::Platform& platform;
    ui::Prompts& prompts;
    ui::Pickers& pickers;
    ui::EventPump& pump;
    settings::SettingsStore& settingsStore;
    i18n::MessageCatalogue& messages;
    platform::ProductInfo product;
};

}  // namespace qm::scan
