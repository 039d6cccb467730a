#pragma once
// The home-page shield: the browser's start page compared every five seconds with the one the
// program keeps as the user's own, and on a change either the user asked or the saved page
// written back, as the settings say.

#include <string>

#include "settings/SettingsStore.h"
#include "ui/FrmMain.h"
#include "ui/ShieldAlerts.h"
#include "work/Context.h"

namespace qm::shields {

inline constexpr const char* kBrowserMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char* kStartPageValue = "Start Page";

struct HomePageServices {
    work::Context context;
    ui::HomePageAlertView* alertView;  // without one the question is a message box
};

class HomePageShield {
  public:
    HomePageShield(ui::FrmMain& form, HomePageServices services)
        : form_(form),
          services_(std::move(services)),
          settings_(services_.context.Settings()),
          alert_(form.frmHomePageChangedAlert) {}

    // Counts a tick of `tmrCheckHomePage`; true on every third, when the memory shield's
    // check runs too.
    bool CountTick();
    // One comparison, with the background timers already paused by the caller.
    void Check();
    // The program is ending: an alert waiting for its answer closes unanswered.
    void Withdraw() { alert_.withdrawn = true; }
    // The saved page stored again and written back into the browser's key, which is opened
    // and never created.
    void RestoreHomePage();
    // The browser's current page becomes the saved one.
    void AcceptHomePage();

    const ui::FrmHomePageChangedAlert& Alert() const { return alert_; }

  private:
    std::string ReadCurrentPage();
    std::string AlertMessage() const;

    ui::FrmMain& form_;
    HomePageServices services_;
    settings::ProgramSettings settings_;
    ui::FrmHomePageChangedAlert& alert_;
    int ticks_ = 0;
    std::string currentPage_;
    std::string savedPage_;
};

}  // namespace qm::shields
