#include "shields/HomePageShield.h"

namespace qm::shields {

namespace {
constexpr const char* kBlank = "about:blank";
}

bool HomePageShield::CountTick() {
    if (++ticks_ <= 2) return false;
    ticks_ = 0;
    return true;
}

std::string HomePageShield::ReadCurrentPage() {
    const platform::RegistryRead read = services_.context.platform.registry.ReadValue(
        platform::root::kCurrentUser, kBrowserMainKey, kStartPageValue);
    // A missing key or value, or one that holds no text, reads as a blank page.
    if (read.status != platform::RegistryRead::Status::Ok) return kBlank;
    if (read.type != platform::RegistryValueType::String &&
        read.type != platform::RegistryValueType::ExpandString) {
        return kBlank;
    }
    return read.text;
}

std::string HomePageShield::AlertMessage() const {
    return services_.context.product.productName +
           " has detected that your Homepage has been changed.\r\n\r\nClick YES to keep your "
           "homepage as:\r\n" +
           savedPage_ + "\r\n\r\nClick No to change your homepage to:\r\n" + currentPage_;
}

void HomePageShield::Check() {
    settings::ProgramSettings& s = settings_;
    using settings::section::kOptions;
    form_.tmrCheckHomePage.enabled = false;
    if (!s.ReadFlag(kOptions, "optIEHomePageSheildOn", true)) return;
    currentPage_ = ReadCurrentPage();
    savedPage_ = s.Read(kOptions, "Homepage", "");
    if (savedPage_.empty()) {
        // The first look: the page the browser has now is the user's own.
        savedPage_ = currentPage_;
        s.Write(kOptions, "Homepage", savedPage_);
    }
    if (savedPage_ == currentPage_) return;
    if (s.ReadFlag(kOptions, "optAlwaysnotifybeforerestoring", true)) {
        alert_.caption = services_.context.product.productName;
        alert_.lblFrmHomePageProductName.caption = services_.context.product.productName;
        alert_.lblHomePageInfo.caption = AlertMessage();
        alert_.withdrawn = false;
        const ui::MessageAnswer answer =
            services_.alertView
                ? services_.alertView->AskHomePage(alert_)
                : services_.context.prompts.ShowMessage(
                      alert_.lblHomePageInfo.caption, services_.context.product.productName,
                      ui::MessageButtons::YesNo, ui::MessageIcon::Question);
        // A question that could not be asked decides nothing: the next tick asks again.
        if (answer == ui::MessageAnswer::Yes) {
            RestoreHomePage();
        } else if (answer == ui::MessageAnswer::No) {
            AcceptHomePage();
        }
    } else if (s.ReadFlag(kOptions, "optRestoredefaultwithoutnotification", false)) {
        RestoreHomePage();
    }
    // With neither choice the difference stays and is found again at the next tick.
}

void HomePageShield::RestoreHomePage() {
    settings_.Write(settings::section::kOptions, "Homepage", savedPage_);
    platform::Registry& registry = services_.context.platform.registry;
    if (!registry.KeyOpens(platform::root::kCurrentUser, kBrowserMainKey,
                           platform::RegistryAccess::Change)) {
        return;  // no browser key: nothing is created, the next tick finds the same
    }
    registry.WriteString(platform::root::kCurrentUser, kBrowserMainKey, kStartPageValue,
                         savedPage_);
}

void HomePageShield::AcceptHomePage() {
    savedPage_ = currentPage_;
    settings_.Write(settings::section::kOptions, "Homepage", currentPage_);
}

}  // namespace qm::shields
