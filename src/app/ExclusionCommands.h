#pragma once
// The user's side of the exclusion list: the results page's Exclude button and the
// Quarantine menu's "View Exclusions".

#include <string>

#include "definitions/DefinitionStore.h"
#include "ui/FrmMain.h"
#include "work/Context.h"

namespace qm::app {

class ExclusionCommands {
  public:
    ExclusionCommands(ui::FrmMain& form, defs::DefinitionStore& store, work::Context context,
                      defs::LoadControl& events)
        : form_(form), store_(store), context_(std::move(context)), events_(events) {}

    // After confirmation the checked results become exclusions and leave every list, so the
    // next scan passes them over and nothing offers them for removal.
    void ExcludeCheckedResults();
    // The file in Notepad, or a word that there is none.
    void ViewExclusions();

  private:
    std::string Message(const char* key) const { return context_.messages.getMessages(key); }

    ui::FrmMain& form_;
    defs::DefinitionStore& store_;
    work::Context context_;
    defs::LoadControl& events_;
};

}  // namespace qm::app
