#pragma once
// Where a Folder Scan's time goes, shared by the native and the Windows benchmark.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FolderScanWorkload.h"
#include "definitions/DefinitionSet.h"
#include "definitions/PathTokens.h"
#include "platform/FileSystem.h"
#include "platform/ShellFolders.h"
#include "scan/CandidateMatch.h"
#include "scan/StatusWordFilter.h"
#include "text/Text.h"

namespace qm::bench {

namespace breakdown {
using Clock = std::chrono::steady_clock;
inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}  // namespace breakdown

// Where a scan's time goes: the steps the walk takes for every entry, each timed alone over the
// whole tree with the session's loaded definitions (median of `rounds`). They are the public
// pieces the scan is built from, called as the walk calls them; the scan's own median is the
// reference; what the steps leave of it is the listing and the walk's own bookkeeping, to be
// compared with the bare walk.
inline void PrintBreakdown(platform::FileSystem& files, platform::ShellFolders& shell,
                           const defs::DefinitionSet& definitions, const std::string& root,
                           int rounds, double scanSeconds, double bareSeconds) {
    struct Entry {
        std::string folder;  // the listed folder, ending with "\\"
        std::string name;
        bool isFolder;
    };
    std::vector<Entry> entries;
    std::vector<std::string> folders = {root + "\\"};
    for (std::size_t i = 0; i < folders.size(); ++i) {
        for (auto& e : files.ListFolder(folders[i])) {
            const bool isFolder = e.attributes == platform::attr::kDirectory;
            if (isFolder) folders.push_back(folders[i] + e.name + "\\");
            entries.push_back({folders[i], std::move(e.name), isFolder});
        }
    }
    const std::string systemFolderLower = text::Lower(defs::SystemFolderPath(shell));
    std::size_t sink = 0;  // keeps every result alive, so no step is optimised away
    const auto timed = [&](const std::function<void()>& step) {
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round) {
            const auto start = breakdown::Clock::now();
            step();
            times.push_back(breakdown::Seconds(start));
        }
        return breakdown::Median(times);
    };

    const double textSeconds = timed([&] {
        for (const auto& e : entries)
            sink += ("Scanning: " + e.folder + "\r\n" + e.name).size();
    });
    // The status line is refreshed (and filtered) on every 25th entry.
    const double filterSeconds = timed([&] {
        for (std::size_t i = 0; i < entries.size(); i += 25) {
            sink +=
                scan::StatusWordFilter("Scanning: " + entries[i].folder + "\r\n" + entries[i].name)
                    .size();
        }
    });
    const double fileSeconds = timed([&] {
        for (const auto& e : entries) {
            if (e.isFolder) continue;
            const scan::PathFacts facts = scan::FactsOf(e.folder + e.name);
            sink += scan::FindFileMatch(definitions, facts, systemFolderLower).hit.has_value();
        }
    });
    const double folderSeconds = timed([&] {
        for (const auto& e : entries) {
            if (!e.isFolder) continue;
            const std::string path = e.folder + e.name;
            const std::string folder = text::Lower(text::TrimView(path));
            const std::string drive =
                text::Lower(std::string_view(path).substr(0, path.find('\\')));
            sink += scan::FindFolderMatch(definitions, folder, drive, systemFolderLower)
                        .hit.has_value();
        }
    });

    const double files_ = FolderScanWorkload::kFiles, folders_ = FolderScanWorkload::kFolders;
    const auto share = [&](double seconds) { return 100.0 * seconds / scanSeconds; };
    std::printf("Where the scan's time goes (each step alone over the tree, median of %d):\n",
                rounds);
    std::printf("  file checks (FactsOf + FindFileMatch):  %.3f s, %5.1f%%, %.2f us a file\n",
                fileSeconds, share(fileSeconds), fileSeconds * 1e6 / files_);
    std::printf("  folder checks (FindFolderMatch):        %.3f s, %5.1f%%, %.2f us a folder\n",
                folderSeconds, share(folderSeconds), folderSeconds * 1e6 / folders_);
    std::printf("  status text for every entry:            %.3f s, %5.1f%%\n", textSeconds,
                share(textSeconds));
    std::printf("  status word filter on every 25th entry: %.3f s, %5.1f%%\n", filterSeconds,
                share(filterSeconds));
    const double rest = scanSeconds - fileSeconds - folderSeconds - textSeconds - filterSeconds;
    std::printf(
        "  the rest (listing, walk, counters):     %.3f s, %5.1f%%, the bare walk %.3f s (%zu)\n",
        rest, share(rest), bareSeconds, sink % 10);
}

}  // namespace qm::bench
