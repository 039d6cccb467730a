// The memory phase against real running programs: a copy of a harmless program started under
// a threat's name is found and stopped; one whose file names "Microsoft Corporation" and one
// that is excluded keep running.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "DiskScan.h"
#include "TempFolder.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/WinApi.h"

namespace qm::scan {
namespace {

std::string SleeperPath() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    return folder.substr(0, folder.rfind('\\')) + "\\qm_sleeper.exe";
}

// A version table naming Microsoft, laid out as the company reader finds it in a file.
std::string MicrosoftTable() {
    const auto wide = [](const std::string& s, bool keyForm) {
        std::string out;
        for (char c : s)
            out += keyForm ? std::string{'\0', c} : std::string{c, '\0'};
        return out;
    };
    std::string key = "\x01" + wide("CompanyName", true);
    return "\x01" + wide("StringFileInfo", true) + std::string(40, '\0') + key +
           std::string(26 - key.size(), '\0') + wide("Microsoft Corporation", false) +
           std::string(4, '\0');
}

struct Started {
    platform::win32::UniqueKernelHandle process;
    bool Running() const { return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }
};

Started Start(const std::string& exe) {
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Started started;
    if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info)) {
        started.process.reset(info.hProcess);
        ::CloseHandle(info.hThread);
    }
    return started;
}

TEST(ProcessScanOnDiskTest, ARunningThreatIsStoppedAndTheExceptionsKeepRunning) {
    wintest::TempFolder temp;
    const std::string bin = temp / "bin";
    ASSERT_TRUE(::CreateDirectoryA(bin.c_str(), nullptr));
    for (const char* name : {"qmthreat-run.exe", "qmvendor-run.exe", "qmkept-run.exe"}) {
        ASSERT_TRUE(::CopyFileA(SleeperPath().c_str(), (bin + "\\" + name).c_str(), FALSE));
    }
    // Data past the end of a program is not loaded; the company reader finds it all the same.
    std::ofstream(bin + "\\qmvendor-run.exe", std::ios::binary | std::ios::app) << MicrosoftTable();

    const std::string data = temp / "data";
    ASSERT_TRUE(::CreateDirectoryA(data.c_str(), nullptr));
    wintest::PutFile(data + "\\ExeDefinition.dat",
                     wintest::Scrambled({"qmthreat-run.exe=Threat|C:\\elsewhere",
                                         "qmvendor-run.exe=Vendor|C:\\elsewhere",
                                         "qmkept-run.exe=Kept|C:\\elsewhere"}));
    for (const char* name : {"FileDefinition.dat", "DirectoryDefinition.dat",
                             "RegistryDefinition.dat", "BlockedCookies.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }
    wintest::PutFile(data + "\\ENoSignature.dat", "QMKEPT-RUN.EXE\r\n");

    Started threat = Start(bin + "\\qmthreat-run.exe");
    Started vendor = Start(bin + "\\qmvendor-run.exe");
    Started kept = Start(bin + "\\qmkept-run.exe");
    ASSERT_TRUE(threat.process && vendor.process && kept.process);
    ::Sleep(300);  // let them appear in the process list with their modules

    wintest::DiskScan scan(data);
    scan.settings.Write(scan.machine.version.OwnProductInfo().productName, "OptionAndSettings",
                        "chkScanRegistry", "False");
    scan.app->StartScan();

    EXPECT_EQ(::WaitForSingleObject(threat.process.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(vendor.Running());
    EXPECT_TRUE(kept.Running());
    std::vector<std::string> live;
    for (const auto& row : scan.form.lvwSpywareFound.rows)
        live.push_back(row.text + "|" + row.SubItem(1));
    EXPECT_EQ(live, (std::vector<std::string>{"Running Application|QMTHREAT-RUN.EXE was stopped",
                                              "EXCLUDED|QMKEPT-RUN.EXE"}));
    for (Started* s : {&vendor, &kept})
        ::TerminateProcess(s->process.get(), 0);
    for (Started* s : {&vendor, &kept})
        ::WaitForSingleObject(s->process.get(), 5000);
}

// A trusted program and a threat of the same name, the trusted one started first: the scan
// stops the threat it judged, and the removal stops only the programs running the file it
// removes. Stopping "the first program of that name" would end the trusted one instead.
TEST(ProcessScanOnDiskTest, TheJudgedProgramIsStoppedAndNotItsTrustedNamesake) {
    wintest::TempFolder temp;
    const std::string sys = temp / "sys", win = temp / "win";
    for (const std::string& folder : {sys, win}) {
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(::CopyFileA(SleeperPath().c_str(), (folder + "\\qmhost.exe").c_str(), FALSE));
    }
    std::ofstream(sys + "\\qmhost.exe", std::ios::binary | std::ios::app) << MicrosoftTable();
    const std::string data = temp / "data";
    ASSERT_TRUE(::CreateDirectoryA(data.c_str(), nullptr));
    wintest::PutFile(data + "\\ExeDefinition.dat",
                     wintest::Scrambled({"qmhost.exe=Host Threat|" + win}));
    wintest::PutFile(data + "\\FileDefinition.dat",
                     wintest::Scrambled({"qmhost.exe=Host Threat|" + win + "|Adware"}));
    for (const char* name :
         {"DirectoryDefinition.dat", "RegistryDefinition.dat", "BlockedCookies.dat"}) {
        wintest::PutFile(data + "\\" + name, "");
    }

    Started trusted = Start(sys + "\\qmhost.exe");
    ::Sleep(100);
    Started threat = Start(win + "\\qmhost.exe");
    ASSERT_TRUE(trusted.process && threat.process);
    ::Sleep(300);
    wintest::DiskScan scan(data);
    scan.settings.Write(scan.machine.version.OwnProductInfo().productName, "OptionAndSettings",
                        "chkScanRegistry", "False");
    scan.app->StartScan();
    EXPECT_EQ(::WaitForSingleObject(threat.process.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(trusted.Running());

    // Started again, the threat is removed with its file: its program is stopped first, and the
    // trusted namesake still runs.
    threat = Start(win + "\\qmhost.exe");
    ASSERT_TRUE(threat.process);
    ::Sleep(300);
    scan.app->RemoveEverythingFound();
    EXPECT_EQ(::WaitForSingleObject(threat.process.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(::GetFileAttributesA((win + "\\qmhost.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(trusted.Running());
    ::TerminateProcess(trusted.process.get(), 0);
    ::WaitForSingleObject(trusted.process.get(), 5000);
}

TEST(ProcessScanOnDiskTest, MoreThan128ProgramsAreAllListed) {
    constexpr int kStarted = 140;
    std::vector<Started> started;
    for (int i = 0; i < kStarted; ++i)
        started.push_back(Start(SleeperPath()));
    platform::win32::Win32Processes processes;
    std::size_t sleepers = 0;
    for (int attempt = 0; attempt < 100 && sleepers < kStarted; ++attempt) {
        const auto listed = processes.List();
        ASSERT_TRUE(listed);
        sleepers = static_cast<std::size_t>(std::count_if(
            listed->begin(), listed->end(),
            [](const platform::ProcessEntry& p) { return p.baseName == "qm_sleeper.exe"; }));
        if (sleepers < kStarted) ::Sleep(100);
    }
    EXPECT_EQ(sleepers, static_cast<std::size_t>(kStarted));
    for (auto& s : started)
        ::TerminateProcess(s.process.get(), 0);
    for (auto& s : started)
        ::WaitForSingleObject(s.process.get(), 5000);
}

}  // namespace
}  // namespace qm::scan
