#include "scan/ProcessControl.h"

#include "definitions/LineScramble.h"
#include "definitions/Text.h"

namespace qm::scan {

namespace {

std::string Reduced(std::string_view name) {
    if (name.size() >= 16) return text::Upper(name.substr(0, 15));
    return text::Upper(name.substr(0, name.find('.')));
}

}  // namespace

std::string ResolveSystem32Path(std::string_view path, std::string_view systemDirectory) {
    const std::string upper = text::Upper(text::TrimView(path));
    constexpr std::string_view kSystem32 = "SYSTEM32\\";
    const auto at = upper.rfind(kSystem32);
    if (at == std::string::npos) return std::string(path);
    return std::string(systemDirectory) + "\\" + upper.substr(at + kSystem32.size());
}

bool StopProcessByName(platform::Processes& processes, std::string_view exeName) {
    std::string shortForm = text::Upper(exeName);
    if (shortForm.size() >= 4 && shortForm.substr(shortForm.size() - 4) == ".EXE") {
        shortForm.resize(shortForm.size() - 4);
    }
    if (shortForm.size() >= 7) shortForm.resize(6);
    shortForm += "~1";
    const std::string target = Reduced(exeName);

    const auto listed = processes.List();
    if (!listed) return true;
    for (const auto& process : *listed) {
        std::string_view name = process.baseName;
        name = name.substr(0, name.find('\0'));
        const auto slash = name.rfind('\\');
        if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
        const std::string reduced = Reduced(name);
        if (reduced != target && reduced != shortForm) continue;
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (processes.Kill(process.id, 0)) return true;
            if (processes.WaitForExit(process.id, 1)) return true;
        }
        return false;
    }
    return true;
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
