#pragma once
// What the window's quarantine viewer shows and does: the manifest's entries as lines for the
// user, and a restore that waits for no other work to be running.

#include <string>
#include <vector>

#include "i18n/MessageCatalogue.h"
#include "removal/QuarantineStore.h"
#include "ui/Interaction.h"
#include "work/LongWork.h"

namespace qm::app {

class QuarantineBrowser final : public ui::QuarantineActions {
  public:
    QuarantineBrowser(removal::QuarantineStore& quarantine, work::LongWork& work,
                      const i18n::MessageCatalogue& messages)
        : quarantine_(quarantine), work_(work), messages_(messages) {}

    std::vector<ui::QuarantineItem> Items() override;
    std::string Restore(const std::string& name) override;
    void OpenFolder() override { quarantine_.ViewQuarantine(); }

  private:
    removal::QuarantineStore& quarantine_;
    work::LongWork& work_;
    const i18n::MessageCatalogue& messages_;
};

// "File  C:\Tools\bar.exe  (12/8/2026 8:46:21 PM)"; a registry value also names the value.
std::string DescribeEntry(const removal::QuarantineEntry& entry);

}  // namespace qm::app
