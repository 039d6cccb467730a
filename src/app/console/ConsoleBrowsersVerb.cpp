// browsers: the browsers' policies the guard watches, the state the user accepted, and what
// each browser profile opens; `browsers accept` takes the policies there now as accepted.

#include "app/console/ConsoleOutput.h"
#include "app/console/ConsoleVerbs.h"
#include "app/console/JsonWriter.h"
#include "shields/BrowserProfiles.h"

namespace qm::app::console {

namespace {

void PolicyLines(std::ostream& out, const shields::PolicyState& state) {
    if (state.empty()) out << "  (none)" << kEol;
    for (const auto& [location, data] : state) {
        out << "  " << shields::BrowserOf(location) << ": " << shields::KeyNameOf(location) << kEol
            << "    " << shields::ValueNameOf(location) << " = " << shields::DataText(data) << kEol;
    }
}

void PolicyArray(JsonWriter& j, std::string_view key, const shields::PolicyState& state) {
    j.BeginArray(key);
    for (const auto& [location, data] : state) {
        j.BeginObject();
        j.Field("browser", shields::BrowserOf(location));
        j.Field("key", shields::KeyNameOf(location));
        j.Field("value", shields::ValueNameOf(location));
        j.Number("type", data.type);
        j.Field("data", shields::DataText(data));
        j.EndObject();
    }
    j.EndArray();
}

void PrintBrowsers(std::ostream& out, const shields::PolicyState& current,
                   const std::optional<shields::PolicyState>& accepted,
                   const std::vector<shields::BrowserProfile>& profiles, bool json) {
    if (!json) {
        out << "Browser policies now:" << kEol;
        PolicyLines(out, current);
        out << "Accepted browser policies:" << kEol;
        if (accepted) {
            PolicyLines(out, *accepted);
        } else {
            out << "  (not yet looked at)" << kEol;
        }
        out << "Browser profiles:" << kEol;
        if (profiles.empty()) out << "  (none)" << kEol;
        for (const auto& profile : profiles) {
            for (const std::string& line : shields::BrowserProfileLines(profile))
                out << "  " << line << kEol;
        }
        return;
    }
    JsonWriter j;
    j.BeginObject();
    PolicyArray(j, "policies", current);
    j.Boolean("accepted", accepted.has_value());
    if (accepted) PolicyArray(j, "acceptedPolicies", *accepted);
    j.BeginArray("profiles");
    for (const auto& p : profiles) {
        j.BeginObject();
        j.Field("browser", p.browser);
        j.Field("profile", p.profile);
        j.Field("path", p.profilePath);
        j.Boolean("readable", p.readable);
        j.Field("homePage", p.homePage);
        j.BeginArray("startPages");
        for (const std::string& page : p.startPages)
            j.Field({}, page);  // array items have no key
        j.EndArray();
        j.Field("startup", p.startupChoice);
        j.Field("searchEngine", p.searchEngineName);
        j.Field("searchUrl", p.searchEngineUrl);
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    out << j.Text() << kEol;
}

}  // namespace

int Verbs::Browsers() {
    const auto& cmd = arguments_.command;
    shields::BrowserPolicyGuard& guard = app_.BrowserPolicies();
    if (cmd.size() == 2 && cmd[1] == "accept") {
        if (!guard.AcceptCurrent()) return Fail("the accepted browser policies could not be saved");
        env_.out << "The browsers' policies as they are now are accepted." << kEol;
        return kExitClean;
    }
    if (cmd.size() != 1) return Fail("browsers takes: nothing, or accept");
    PrintBrowsers(env_.out, shields::ReadPolicyState(env_.platform.registry), guard.Accepted(),
                  shields::ReadBrowserProfiles(env_.platform), arguments_.json);
    return kExitClean;
}

}  // namespace qm::app::console
