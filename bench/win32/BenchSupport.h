#pragma once
// What the Windows benchmarks share: a scan session's stand-ins for the person at the screen,
// definition files written as the program stores them, timing and memory figures.

// clang-format off
#include "platform/win32/WinApi.h"
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "app/Application.h"
#include "definitions/LineScramble.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "ui/Interaction.h"

namespace qm::bench {

using Clock = std::chrono::steady_clock;

// Message boxes become lines on standard error and are answered as the console answers them,
// so a scan that asks anything shows it rather than waiting.
class EchoPrompts final : public ui::Prompts {
  public:
    ui::MessageAnswer ShowMessage(const std::string& text, const std::string&,
                                  ui::MessageButtons buttons, ui::MessageIcon) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++shown;
        return buttons == ui::MessageButtons::YesNo ? ui::MessageAnswer::No : ui::MessageAnswer::Ok;
    }
    int shown = 0;
};

// The folder a Folder Scan is given; nothing else is ever chosen.
class ChosenFolder final : public ui::Pickers {
  public:
    std::optional<std::string> folder;
    std::optional<std::string> ChooseFile() override { return std::nullopt; }
    std::optional<std::string> ChooseFolder() override { return folder; }
};

// No window: nothing waits for events.
class NoEvents final : public ui::EventPump {
  public:
    void LetEventsRun() override {}
};

// The program as the front ends build it, with the person in front of the screen replaced by
// the stand-ins above, and the definitions installed and counted as start-up does.
struct BenchApplication {
    BenchApplication(platform::Platform& on, settings::SettingsStore& settings,
                     const std::string& data)
        : app(app::FrontEnd{on, settings, prompts, pickers, pump}, app::StartOptions{data, {}}),
          form(app.Form()),
          session(app.Session()),
          product(app.Product()) {
        app.Store().InstallAndCount();
        app.Store().LoadExclusions(session);
    }

    EchoPrompts prompts;
    ChosenFolder pickers;
    NoEvents pump;
    app::Application app;
    ui::FrmMain& form;
    scan::ScanSession& session;
    const platform::ProductInfo& product;
};

// Writes a definition file as the program stores it: every line scrambled, CR LF line ends.
inline void PutDefinitionFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines)
        bytes += defs::EncodeLine(line) + "\r\n";
    wintest::PutFile(path, bytes);
}

inline bool MakeFolder(const std::string& path) {
    if (::CreateDirectoryA(path.c_str(), nullptr)) return true;
    std::fprintf(stderr, "cannot create %s: error %lu\n", path.c_str(), ::GetLastError());
    return false;
}

inline double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double MiB(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

inline PROCESS_MEMORY_COUNTERS MemoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace qm::bench
