#pragma once
// The Home page: signature count, version, definitions date, removed items and the last-scan
// stamps, refreshed at start-up and after every scan.

#include "definitions/DefinitionStore.h"
#include "i18n/MessageCatalogue.h"
#include "platform/VersionInfo.h"
#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"

namespace qm::app {

void ShowStatusPage(ui::FrmMain& form, const defs::DefinitionStore& store,
                    const settings::ProgramSettings& settings,
                    const i18n::MessageCatalogue& messages, const platform::ProductInfo& product);

}  // namespace qm::app
