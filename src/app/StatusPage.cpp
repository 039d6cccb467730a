#include "app/StatusPage.h"

#include "text/Text.h"

namespace qm::app {

void ShowStatusPage(ui::FrmMain& form, const defs::DefinitionStore& store,
                    const settings::ProgramSettings& settings,
                    const i18n::MessageCatalogue& messages, const platform::ProductInfo& product) {
    using settings::section::kSettings;
    form.lblDefCount.caption = text::FormatWithDigitGrouping(store.Counts().Total());
    form.lblVersion.caption = std::to_string(product.major) + "." + std::to_string(product.minor);
    // An incomplete set keeps telling the user to run Live Update rather than showing the
    // default date of definitions that are not there.
    form.lblDefVersion.caption = store.Files().AllRequiredPresent()
                                     ? store.Files().ReadDefinitionDate() + " PST"
                                     : messages.getMessages("MSG_MISSINGFILES");
    form.lblDefRemoved.caption = settings.Read(kSettings, "lblDefRemoved", "0");
    form.lblLastScan.caption = settings.Read(kSettings, "lblLastScan", "Never");
    form.lblLastFullScan.caption = settings.Read(kSettings, "lblLastFullScan", "Never");
}

}  // namespace qm::app
