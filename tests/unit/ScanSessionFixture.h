#pragma once
// The scan session's tests share one program on the fake machine, with drive C ticked, and
// the helpers that set options, read stamps and record the screen during a scan.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/ScanSession.h"
#include "support/FakeApplication.h"
#include "support/FakePlatform.h"

namespace qm::test {

inline constexpr const char* kProduct = "Quillmarsh";

// What the screen looked like at one moment inside a scan.
struct Snapshot {
    bool cmdResults, cmdSettings, cmdScanNow, cmdScan, cmdLog, cmdUpdate, cmdStatus;
    bool cmdPause, cmdStop;
    bool tmrMemoryInspected, tmrCheckHomePage, tmrScheduler, tmrTimeOut;
    bool scanPageVisible;
    ui::MousePointer pointer;
};

class ScanSessionTest : public ::testing::Test {
  protected:
    FakeApplication fake;
    FakeMachine& m = fake.m;
    ui::FrmMain& form = fake.form;
    scan::ScanSession& session = fake.session;
    app::Application& app = fake.app;

    void SetUp() override { form.lvwHardDrives.Add("C").checked = true; }

    void SetOption(const std::string& key, const std::string& value) {
        m.settings.Write(kProduct, "OptionAndSettings", key, value);
    }
    std::string Stored(const std::string& section, const std::string& key) {
        return m.settings.Read(kProduct, section, key, "<unset>");
    }
    std::string DataPath(const std::string& name) const {
        return std::string(FakeMachine::kDataFolder) + "\\" + name;
    }
    // Selects the kind; File and Folder Scans get a chosen file or folder.
    void Select(ui::ScanKind kind) {
        form.SelectScanKind(kind);
        m.pickers.file = "C:\\Downloads\\setup.exe";
        m.pickers.folder = "C:\\Downloads";
    }
    Snapshot Snap() const {
        return Snapshot{form.cmdResults.enabled,
                        form.cmdSettings.enabled,
                        form.cmdScanNow.enabled,
                        form.cmdScan.enabled,
                        form.cmdLog.enabled,
                        form.cmdUpdate.enabled,
                        form.cmdStatus.enabled,
                        form.cmdPause.enabled,
                        form.cmdStop.enabled,
                        form.tmrMemoryInspected.enabled,
                        form.tmrCheckHomePage.enabled,
                        form.tmrScheduler.enabled,
                        form.tmrTimeOut.enabled,
                        form.frmScan.visible,
                        form.mousePointer};
    }
    // Records the screen at every event pause of the scan.
    std::vector<Snapshot> RecordDuringScan() {
        std::vector<Snapshot> snaps;
        m.pump.onEvents = [&](long long) { snaps.push_back(Snap()); };
        app.StartScan();
        m.pump.onEvents = nullptr;
        return snaps;
    }
    void PutFileDefinitions(int count) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) {
            lines.push_back("f" + std::to_string(i) + ".exe=Threat " + std::to_string(i) +
                            "|[progfil]Vendor|Adware");
        }
        m.PutDefinitionFile("FileDefinition.dat", lines);
    }
};

inline const char* KindName(ui::ScanKind kind) {
    switch (kind) {
        case ui::ScanKind::Smart:
            return "Smart";
        case ui::ScanKind::FullSystem:
            return "FullSystem";
        case ui::ScanKind::File:
            return "File";
        case ui::ScanKind::Folder:
            return "Folder";
    }
    return "?";
}

inline std::string KindParamName(const ::testing::TestParamInfo<ui::ScanKind>& p) {
    return KindName(p.param);
}

}  // namespace qm::test
