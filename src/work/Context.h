#pragma once
// What the program lends every subsystem it puts together: the machine, the person in front of
// the screen (message boxes, pickers, pending events), the settings store, the message
// catalogue and the product's own facts. A subsystem's services hold this once and add only
// what is its own, so that a new lending reaches every subsystem in one place.

#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "ui/Interaction.h"

namespace qm::work {

struct Context {
    platform::Platform& platform;
    ui::Prompts& prompts;
    ui::Pickers& pickers;
    ui::EventPump& pump;
    settings::SettingsStore& settingsStore;
    i18n::MessageCatalogue& messages;
    platform::ProductInfo product;

    // The settings under the product's own name, where every option and stamp is kept.
    settings::ProgramSettings Settings() const {
        return settings::ProgramSettings(settingsStore, product.productName);
    }
};

}  // namespace qm::work
