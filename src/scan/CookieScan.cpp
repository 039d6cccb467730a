// The cookie phase: every file of the user's cookie folder whose recorded site is on the
// blocked-cookie list is a tracking cookie.

#include "scan/CookieScan.h"

#include "definitions/DefinitionFiles.h"
#include "definitions/LineScramble.h"
#include "definitions/Records.h"
#include "scan/ScanSession.h"
#include "text/Text.h"
#include "text/TextFile.h"

namespace qm::scan {

namespace {

// The cookies folder (CSIDL_COOKIES).
constexpr int kCookiesFolder = 33;

}  // namespace

std::string CookieSiteKey(std::string_view fileNameOrPath) {
    const std::string_view name = text::FileNameView(fileNameOrPath);
    const auto at = name.find('@');
    if (at == std::string_view::npos) return {};
    const std::string_view rest = name.substr(at + 1);
    auto end = rest.find('(');
    if (end == std::string_view::npos) end = rest.find('[');
    if (end == std::string_view::npos) end = rest.rfind('.');
    return std::string(rest.substr(0, end));
}

namespace {

// Cookie stores since Internet Explorer 9 (and Wine's) name their files at random
// ("6NKYYPU4.txt"): each record is the cookie's name, its value, then "host/path" on its own
// line. The site is the host of the first record.
std::string RecordedHostOfUnnamedCookie(platform::FileSystem& files, const std::string& path) {
    auto reader = text::LineReader::Open(files, path);
    if (!reader) return "False";
    std::string line;
    for (int index = 0; index < 3; ++index) {
        if (!reader->Next(line)) return "False";
    }
    const std::string_view host = text::TrimView(line);
    const auto slash = host.find('/');
    if (slash == std::string_view::npos || slash == 0) return "False";
    return std::string(host.substr(0, slash));
}

}  // namespace

std::string CookieHost(platform::FileSystem& files, const std::string& path) {
    const std::string key = CookieSiteKey(path);
    if (key.empty()) return RecordedHostOfUnnamedCookie(files, path);
    auto reader = text::LineReader::Open(files, path);
    if (!reader) return "False";
    std::string line;
    while (reader->Next(line)) {
        std::size_t start = 0;
        for (;;) {
            const auto comma = line.find(',', start);
            const std::string_view field = std::string_view(line).substr(
                start, comma == std::string::npos ? std::string::npos : comma - start);
            const auto at = field.find(key);
            if (at != std::string_view::npos) {
                const auto slash = field.find('/', at);
                if (slash != std::string_view::npos) {
                    return std::string(field.substr(at, slash - at));
                }
            }
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    return "False";
}

std::string ComparableHost(std::string_view host) {
    std::string h(host);
    const auto dot = h.rfind('.');
    if (dot != std::string::npos) h.erase(dot);
    if (h.size() >= 4 && text::EqualsNoCase(std::string_view(h).substr(0, 4), "www.")) {
        h.erase(0, 4);
    }
    return h;
}

void ScanSession::ScanCookies() {
    platform::FileSystem& files = services_.platform.files;
    const auto folder = services_.platform.shell.SpecialFolder(kCookiesFolder);
    if (!folder || folder->empty()) return;
    // The blocked list; the empty text after its last line names no site.
    std::vector<std::string> blocked;
    ForEachSignature(defs::file::kCookies, [&](const std::string& line) {
        for (auto piece : text::Split(line, '|')) {
            if (!piece.empty()) blocked.emplace_back(piece);
        }
    });
    std::vector<platform::DirEntry> cookies = files.ListFolder(*folder);
    std::erase_if(cookies, [](const platform::DirEntry& e) {
        return (e.attributes & platform::attr::kDirectory) != 0;
    });
    const double total = static_cast<double>(cookies.size());
    long long done = 0;
    for (const auto& cookie : cookies) {
        if (stopRequested_) return;
        ++counters_.cookiesInspected;
        ++done;
        // The phase bar shows the share of the folder done; the processes counter is left
        // for the process phase.
        ProgressUpdateLazy([&] { return phaseLabel_ + "\r\n" + cookie.name; },
                           Percent(static_cast<double>(done), total), -1);
        const std::string path = *folder + "\\" + cookie.name;
        const std::string host = ComparableHost(CookieHost(files, path));
        if (host.empty() || !defs::MatchBlockedCookie(blocked, host)) {
            LetEventsRun();
            continue;
        }
        if (Exclusions().IsExcluded(path)) {
            ReportExcluded(path);
            continue;
        }
        form_.lvwSpywareFound.Add("Cookie", ui::detection::kCookie).SetSubItem(1, cookie.name);
        // Outside a scan (the shields) a hit is only shown.
        if (form_.cmdScan.enabled) return;
        form_.lvwCookiesToDelete.Add(path);
        ui::ListItem& result = form_.lvwPicRemoveListOfSpywareFoundAndToBeRemoved.Add(
            "Cookie: " + cookie.name, ui::detection::kCookie);
        result.SetSubItem(1, path);
        result.SetSubItem(2, "Tracking Cookie");
        ++counters_.filesInspected;
        ++counters_.itemsFound;
        LetEventsRun();
    }
}

}  // namespace qm::scan
