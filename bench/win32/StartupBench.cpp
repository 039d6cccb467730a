// Quillmarsh.exe from its start to its main window shown, with 200,000 definition lines
// installed against an empty data folder; the splash's 150 ms are in both.
//   qm_startup_bench.exe [--rounds N] [--lines N]
// Prints the median of each and their ratio (target: at most 1.5).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "platform/win32/Handle.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32Registry.h"
#include "ui/win32/MainWindowIds.h"

namespace qm::bench {
namespace {

std::string ProgramPath() {
    std::string path = QM_PROGRAM_PATH;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

// The definitions split across the five files as a real set is.
void PutDefinitions(const wintest::TempFolder& data, int lines) {
    const struct {
        const char* name;
        int share;  // per cent of the lines
        const char* format;
    } files[] = {
        {"FileDefinition.dat", 60, "qmbench%d.exe=Bench Threat %d|[progfil]Bench Vendor|Adware"},
        {"DirectoryDefinition.dat", 10, "Bench Folder %d=Bench Threat %d|[progfil]|Adware"},
        {"RegistryDefinition.dat", 20, "1^Software\\QmBench%d^=Bench Registry %d|Adware"},
        {"ExeDefinition.dat", 5, "qmbenchexe%d.exe=Bench Program %d"},
        {"BlockedCookies.dat", 5, "bench%d.example%d"},
    };
    for (const auto& f : files) {
        std::vector<std::string> content;
        const int count = lines / 100 * f.share;
        content.reserve(static_cast<std::size_t>(count));
        char line[256];
        for (int i = 0; i < count; ++i) {
            std::snprintf(line, sizeof line, f.format, i, i);
            content.emplace_back(line);
        }
        PutDefinitionFile(data / f.name, content);
    }
}

struct Window {
    DWORD process;
    HWND found = nullptr;
};

HWND VisibleMainWindow(DWORD process) {
    Window search{process};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Window*>(context);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s.process || !::IsWindowVisible(window) ||
                !::GetDlgItem(window, IDC_cmdScanNow)) {
                return TRUE;
            }
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One start: seconds until the main window shows, then the window closed as its user closes
// it. Negative when the program did not come up within a minute.
double TimeOneStart(const std::string& dataFolder) {
    std::string line = "\"" + ProgramPath() + "\" --data-folder \"" + dataFolder + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto begin = Clock::now();
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return -1;
    }
    platform::win32::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    HWND window = nullptr;
    while (!(window = VisibleMainWindow(started.dwProcessId))) {
        if (Seconds(begin) > 60) {
            ::TerminateProcess(process.get(), 1);
            return -1;
        }
        ::Sleep(1);
    }
    const double seconds = Seconds(begin);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
    }
    return seconds;
}

int Run(int rounds, int lines) {
    // Nothing of the first run may wait for an answer, and the window starts as its user left
    // it: normal, not in the tray.
    platform::win32::RegistrySettingsStore settings;
    for (const auto& [key, value] : {std::pair{"Language", "English"}, std::pair{"showHelp", "0"},
                                     std::pair{"Minimized", "No"}, std::pair{"Max", "0"}}) {
        settings.Write("Quillmarsh", "Settings", key, value);
    }
    platform::win32::Win32Registry().WriteString(
        platform::root::kLocalMachine, "SOFTWARE\\Quillmarsh Software\\Quillmarsh\\Settings",
        "FirstTime", "Yes");
    wintest::TempFolder empty, full;
    PutDefinitions(full, lines);
    std::vector<double> emptyTimes, fullTimes;
    TimeOneStart(empty.path());  // the first start of a program under Wine loads its libraries
    for (int round = 0; round < rounds; ++round) {
        const double e = TimeOneStart(empty.path());
        const double f = TimeOneStart(full.path());
        if (e < 0 || f < 0) {
            std::fprintf(stderr, "the program did not show its window\n");
            return 1;
        }
        emptyTimes.push_back(e);
        fullTimes.push_back(f);
    }
    const double e = Median(emptyTimes), f = Median(fullTimes);
    std::printf(
        "start to main window, median of %d: empty data folder %.3f s, %d definition "
        "lines %.3f s: %.2fx (target <= 1.5x)\n",
        rounds, e, lines, f, f / e);
    return 0;
}

}  // namespace
}  // namespace qm::bench

int main(int argc, char** argv) {
    int rounds = 5, lines = 200000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--lines") == 0) lines = std::atoi(argv[i + 1]);
    }
    return qm::bench::Run(rounds > 0 ? rounds : 5, lines > 0 ? lines : 200000);
}
