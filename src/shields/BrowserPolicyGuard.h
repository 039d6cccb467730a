#pragma once
// The browser policy guard, part of the home-page shield: on the same tick and under the same
// settings ("Ask me" / "Silently restore"), and while `chkBrowserPolicies` is ticked, it
// compares the browsers' policy keys with the state the user accepted. The first look accepts
// what is there, so a domain's policies on an enterprise machine are never touched; a change
// after that is asked about or put back. Putting back never loses anything: every value it
// removes or overwrites is first backed up into the quarantine.
//
// A tick costs next to nothing while nothing changes: the keys are read again only when the
// registry says something below them changed (WatchedPolicies), and the accepted state is kept
// in memory, read again from its file only then or while a difference stands.

#include <optional>
#include <string>
#include <vector>

#include "removal/QuarantineStore.h"
#include "shields/BrowserPolicies.h"
#include "work/Context.h"

namespace qm::shields {

class BrowserPolicyGuard {
  public:
    BrowserPolicyGuard(const work::Context& context, removal::QuarantineStore& quarantine,
                       const std::string& dataFolder)
        : context_(context),
          quarantine_(quarantine),
          stored_(context.platform.files, dataFolder),
          policies_(context.platform.registry) {}

    // One comparison, with the background timers already paused by the caller.
    void Check();
    // The registry's state now becomes the accepted one (the console's `browsers accept`).
    bool AcceptCurrent();
    // The accepted state as its file holds it; nothing before the first look.
    std::optional<PolicyState> Accepted() const { return stored_.Load(); }

  private:
    bool Enabled() const;
    // The file again, which the console's `browsers accept` may have rewritten; a file that went
    // missing is written again from memory.
    void LoadAccepted();
    void Accept(const PolicyState& state);
    // Puts each change back; false when a value could not be (a key this account may not
    // change), which is then told once.
    bool PutBack(const std::vector<PolicyChange>& changes);
    bool PutBackOne(const PolicyChange& change);
    std::string Describe(const std::vector<PolicyChange>& changes) const;

    work::Context context_;
    removal::QuarantineStore& quarantine_;
    AcceptedPolicies stored_;
    WatchedPolicies policies_;
    std::optional<PolicyState> accepted_;  // nothing before the first look
    // The registry's state when a change could not be put back: not retried, nor told again,
    // until the registry changes once more.
    std::optional<PolicyState> refused_;
    // The last look left nothing to do (no difference, or one accepted, refused or told): the
    // next is needed only when the registry changes. Otherwise (a question not answered, a
    // change just put back) every tick looks again.
    bool settled_ = false;
};

}  // namespace qm::shields
