#pragma once
// The user's side of the exclusion list: the results page's Exclude button and the
// Quarantine menu's "View Exclusions".

#include <string>

#include "definitions/DefinitionStore.h"
#include "i18n/MessageCatalogue.h"
#include "platform/Platform.h"
#include "ui/FrmMain.h"
#include "ui/Interaction.h"

namespace qm::app {

class ExclusionCommands {
  public:
    ExclusionCommands(ui::FrmMain& form, defs::DefinitionStore& store, platform::Platform& platform,
                      ui::Prompts& prompts, const i18n::MessageCatalogue& messages,
                      std::string productName, defs::LoadControl& events)
        : form_(form),
          store_(store),
          platform_(platform),
          prompts_(prompts),
          messages_(messages),
          productName_(std::move(productName)),
          events_(events) {}

    // After confirmation the checked results become exclusions and leave every list, so the
    // next scan passes them over and nothing offers them for removal.
    void ExcludeCheckedResults();
    // The file in Notepad, or a word that there is none.
    void ViewExclusions();

  private:
    std::string Message(const char* key) const { return messages_.getMessages(key); }

    ui::FrmMain& form_;
    defs::DefinitionStore& store_;
    platform::Platform& platform_;
    ui::Prompts& prompts_;
    const i18n::MessageCatalogue& messages_;
    std::string productName_;
    defs::LoadControl& events_;
};

}  // namespace qm::app
