#include "scan/ProcessControl.h"

#include "definitions/LineScramble.h"
#include "text/Text.h"

namespace qm::scan {

namespace {

// How long a terminated program is given to end: termination is asynchronous, and a program
// counts as stopped only once it has ended.
constexpr std::uint32_t kEndWaitMilliseconds = 2000;
// A refused termination is tried again this often, each after a moment's wait.
constexpr int kStopAttempts = 10;

bool EndProcess(platform::Processes& processes, std::uint32_t id) {
    for (int attempt = 0; attempt < kStopAttempts; ++attempt) {
        if (processes.Kill(id, 0)) return processes.WaitForExit(id, kEndWaitMilliseconds);
        if (processes.WaitForExit(id, 1)) return true;
    }
    return false;
}

}  // namespace

std::string ResolveSystem32Path(std::string_view path, std::string_view systemDirectory) {
    const std::string upper = text::Upper(text::TrimView(path));
    constexpr std::string_view kSystem32 = "SYSTEM32\\";
    const auto at = upper.rfind(kSystem32);
    if (at == std::string::npos) return std::string(path);
    return std::string(systemDirectory) + "\\" + upper.substr(at + kSystem32.size());
}

std::string ComparableImagePath(std::string_view path, std::string_view systemDirectory) {
    return text::Upper(ResolveSystem32Path(text::Upper(text::TrimView(path)), systemDirectory));
}

bool StopJudgedProcess(platform::Processes& processes, const JudgedProcess& judged,
                       std::string_view systemDirectory) {
    const auto file = processes.ExecutablePath(judged.id);
    // Not to be opened: either it has ended, or it is a program this account may not touch.
    if (!file) return processes.WaitForExit(judged.id, 0);
    // The identifier now names another program: the judged one has ended.
    if (ComparableImagePath(*file, systemDirectory) != judged.path) return true;
    return EndProcess(processes, judged.id);
}

bool StopProcessesRunning(platform::Processes& processes, std::string_view path,
                          std::string_view systemDirectory) {
    const auto listed = processes.List();
    if (!listed) return true;
    const std::string target = ComparableImagePath(path, systemDirectory);
    bool allEnded = true;
    for (const auto& process : *listed) {
        const auto file = processes.ExecutablePath(process.id);
        if (!file || ComparableImagePath(*file, systemDirectory) != target) continue;
        allEnded =
            StopJudgedProcess(processes, {process.id, target, process.baseName}, systemDirectory) &&
            allEnded;
    }
    return allEnded;
}
std::string ListRunningProcessNames(platform::Processes& processes) {
    static constexpr std::string_view kLeftOut[] = {
        "System",      "System Idle Process", "winlogon.exe", "services.exe",
        "svchost.exe", "explorer.exe",        "firefox.exe",  "iexplore.exe"};
    std::string names;
    const auto listed = processes.List();
    if (!listed) return names;
    for (const auto& process : *listed) {
        bool leftOut = false;
        for (auto name : kLeftOut)
            leftOut = leftOut || process.baseName == name;
        if (!leftOut) names += defs::EncodeLine(process.baseName) + "|";
    }
    if (!names.empty()) names.pop_back();
    return names;
}

}  // namespace qm::scan
