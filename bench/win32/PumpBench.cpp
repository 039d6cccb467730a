// How much the window's message pump costs a scan: the same Full System Scan of a large
// definition set (its definition load is the long loop) with the real pump and with none. Run under
// Wine in a virtual display:
//   xvfb-run -a wine64 qm_pump_bench.exe

// clang-format off
#include "platform/win32/WinApi.h"
// clang-format on

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "definitions/LineScramble.h"
#include "ui/win32/MainWindowIds.h"
#include "ui/win32/Program.h"

namespace {

constexpr unsigned kNever = 0xFFFFFFFFu;

void PutScrambled(const std::string& path, int records) {
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        bytes += qm::defs::EncodeLine("bench" + std::to_string(i) + ".exe=Bench Threat " +
                                      std::to_string(i) + "|[progfil]Bench Vendor " +
                                      std::to_string(i) + "|Adware") +
                 "\r\n";
    }
    qm::wintest::PutFile(path, bytes);
}

double ScanSeconds(const qm::wintest::TempFolder& data, unsigned pumpIntervalMs) {
    qm::ui::win32::Program program(::GetModuleHandleA(nullptr), {data.path()});
    if (!program.Start(SW_SHOW)) return -1;
    program.SetPumpIntervalMs(pumpIntervalMs);
    HWND w = program.Window();
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_optScan1, BN_CLICKED), 0);
    const auto start = std::chrono::steady_clock::now();
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_cmdScanNow, BN_CLICKED), 0);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    qm::wintest::TempFolder data;
    PutScrambled(data / "FileDefinition.dat", 100000);
    PutScrambled(data / "DirectoryDefinition.dat", 50000);
    for (const char* name : {"RegistryDefinition.dat", "ExeDefinition.dat", "BlockedCookies.dat"}) {
        PutScrambled(data / name, 10);
    }
    std::vector<double> none, real;
    for (int round = 0; round < 3; ++round) {
        none.push_back(ScanSeconds(data, kNever));
        real.push_back(ScanSeconds(data, 15));
        std::printf("round %d: no pump %.3f s, real pump %.3f s\n", round, none.back(),
                    real.back());
        std::fflush(stdout);
    }
    const double n = Median(none), r = Median(real);
    std::printf("Full System Scan, 150,000 definitions (median of 3):\n");
    std::printf("  no pump:              %.3f s\n", n);
    std::printf("  real pump (15 ms):    %.3f s  ratio %.2f\n", r, r / n);
    return 0;
}
