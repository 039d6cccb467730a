#include "shields/BrowserPolicyGuard.h"

#include "i18n/MessageCatalogue.h"
#include "removal/RegistryRemoval.h"

namespace qm::shields {

namespace {

// The alert lists this many changes; the rest are counted.
constexpr std::size_t kChangesListed = 12;

}  // namespace

bool BrowserPolicyGuard::Enabled() const {
    const settings::ProgramSettings s = context_.Settings();
    using settings::section::kOptions;
    return s.ReadFlag(kOptions, "optIEHomePageSheildOn", true) &&
           s.ReadCheck(kOptions, "chkBrowserPolicies", 1) == 1;
}

bool BrowserPolicyGuard::AcceptCurrent() {
    refused_.reset();
    settled_ = false;
    accepted_ = ReadPolicyState(context_.platform.registry);
    return stored_.Save(*accepted_);
}

void BrowserPolicyGuard::Accept(const PolicyState& state) {
    accepted_ = state;
    stored_.Save(state);
    settled_ = true;
}

void BrowserPolicyGuard::LoadAccepted() {
    if (auto stored = stored_.Load()) {
        accepted_ = std::move(stored);
    } else if (accepted_) {
        stored_.Save(*accepted_);
    }
}

std::string BrowserPolicyGuard::Describe(const std::vector<PolicyChange>& changes) const {
    std::string text;
    for (std::size_t i = 0; i < changes.size() && i < kChangesListed; ++i) {
        const PolicyChange& c = changes[i];
        text += BrowserOf(c.location) + ": " + KeyNameOf(c.location) + "\r\n    " +
                ValueNameOf(c.location) + " = " +
                (c.current ? DataText(*c.current) : std::string("(removed)")) + "\r\n";
    }
    if (changes.size() > kChangesListed)
        text += "... (" + std::to_string(changes.size() - kChangesListed) + " more)\r\n";
    return text;
}

void BrowserPolicyGuard::Check() {
    if (!Enabled()) return;
    if (!policies_.Refresh() && settled_) return;
    const PolicyState current = policies_.State();
    LoadAccepted();
    if (!accepted_) {
        // The first look: whatever is there now (a domain's policies) is the user's own.
        Accept(current);
        return;
    }
    const std::vector<PolicyChange> changes = Differences(*accepted_, current);
    settled_ = changes.empty() || (refused_ && *refused_ == current);
    if (settled_) return;
    refused_.reset();
    const settings::ProgramSettings s = context_.Settings();
    using settings::section::kOptions;
    if (s.ReadFlag(kOptions, "optAlwaysnotifybeforerestoring", true)) {
        const std::string text = i18n::WithItem(
            context_.messages.getMessages("MSG_BROWSER_POLICIES_CHANGED"), Describe(changes));
        const ui::MessageAnswer answer =
            context_.prompts.ShowMessage(text, context_.product.productName,
                                         ui::MessageButtons::YesNo, ui::MessageIcon::Question);
        // A question that could not be asked decides nothing: the next tick asks again.
        if (answer == ui::MessageAnswer::No) {
            Accept(current);
            return;
        }
        if (answer != ui::MessageAnswer::Yes) return;
    } else if (!s.ReadFlag(kOptions, "optRestoredefaultwithoutnotification", false)) {
        return;  // with neither choice the difference stays
    }
    const bool putBack = PutBack(changes);
    // The guard's own writes are read now, not left to the watches: the next tick compares
    // what is there (and ends the matter when all went back).
    policies_.ReadAll();
    if (putBack) return;
    refused_ = policies_.State();
    const std::string text = i18n::WithItem(
        context_.messages.getMessages("MSG_BROWSER_POLICIES_DENIED"), Describe(changes));
    context_.prompts.ShowMessage(text, context_.product.productName, ui::MessageButtons::Ok,
                                 ui::MessageIcon::Exclamation);
}

bool BrowserPolicyGuard::PutBack(const std::vector<PolicyChange>& changes) {
    // The log records the backups as the removal run's are.
    const bool wasLogging = quarantine_.logging;
    quarantine_.logging = true;
    bool all = true;
    for (const PolicyChange& change : changes)
        all = PutBackOne(change) && all;
    quarantine_.logging = wasLogging;
    return all;
}

bool BrowserPolicyGuard::PutBackOne(const PolicyChange& change) {
    platform::Registry& registry = context_.platform.registry;
    const PolicyLocation& at = change.location;
    // The registry is addressed in the code page: a name beyond ASCII might name another value,
    // so it is left alone and told as not put back.
    const auto key = AsciiName(at.keyPath), value = AsciiName(at.valueName);
    if (!key || !value) return false;
    if (change.current) {
        // The value there now goes into the quarantine before it goes from the key.
        removal::RegistryRemoval removal(registry, quarantine_);
        if (!removal.DeleteValue(at.root, *key, *value)) return false;
    }
    if (!change.accepted) return true;
    PolicyState one;
    one[at] = *change.accepted;
    const auto file = FormatPolicyState(one);
    return file && registry.ImportRegistryFile(*file) == platform::ImportResult::Imported;
}

}  // namespace qm::shields
