#include "app/console/ConsoleScanOutput.h"

#include "app/console/ConsoleOutput.h"
#include "app/console/JsonWriter.h"

namespace qm::app {

using console::kEol;

void PrintScanText(std::ostream& out, const ScanPrintout& p) {
    out << "Scan: " << p.kind << kEol;
    out << "Status: " << p.status << kEol;
    out << "Started: " << p.started << kEol;
    out << "Finished: " << p.finished << kEol;
    out << "Found:" << kEol;
    for (const auto& row : p.live.rows) {
        out << "  " << row.text << "  " << row.SubItem(1) << kEol;
    }
    out << "Results (File | Location | Type | Risk | Details):" << kEol;
    for (const auto& row : p.results.rows) {
        out << "  [" << (row.checked ? 'x' : ' ') << "] " << row.text << " | " << row.SubItem(1)
            << " | " << row.SubItem(2) << " | " << row.SubItem(3) << " | " << row.SubItem(4)
            << kEol;
    }
    out << "Processes inspected: " << p.processes << kEol;
    out << "Registry entries inspected: " << p.registry << kEol;
    out << "Files and folders inspected: " << p.files << kEol;
    out << "Items found: " << p.found << kEol;
    out << "Traces found: " << p.traces << kEol;
    if (p.skipped > 0) out << "Files and folders that could not be scanned: " << p.skipped << kEol;
    if (!p.removal) return;
    const removal::RemovalReport& r = *p.removal;
    out << "Removed:" << kEol;
    for (const auto& item : r.removed)
        out << "  " << item.kind << " | " << item.location << " | " << item.threat << kEol;
    out << "Could not be removed:" << kEol;
    for (const auto& path : r.failed)
        out << "  " << path << kEol;
    out << "Deleted when Windows restarts:" << kEol;
    for (const auto& path : r.scheduledAtRestart)
        out << "  " << path << kEol;
    out << "Restore point: " << (r.restorePoint ? "made" : "none");
    if (!r.restorePointFailure.empty()) out << " (" << r.restorePointFailure << ")";
    out << kEol;
    out << "Items removed in all: " << r.removedTotal << kEol;
}

void PrintScanJson(std::ostream& out, const ScanPrintout& p) {
    JsonWriter j;
    j.BeginObject();
    j.Field("kind", p.kind);
    j.Field("status", p.status);
    j.Field("started", p.started);
    j.Field("finished", p.finished);
    j.BeginObjectIn("counters");
    j.Field("processes", p.processes);
    j.Field("registry", p.registry);
    j.Field("files", p.files);
    j.Field("found", p.found);
    j.Field("traces", p.traces);
    j.Number("skipped", p.skipped);
    j.EndObject();
    j.BeginArray("live");
    for (const auto& row : p.live.rows) {
        j.BeginObject();
        j.Field("name", row.text);
        j.Field("details", row.SubItem(1));
        j.Number("icon", row.icon);
        j.EndObject();
    }
    j.EndArray();
    j.BeginArray("results");
    for (const auto& row : p.results.rows) {
        j.BeginObject();
        j.Field("name", row.text);
        j.Field("location", row.SubItem(1));
        j.Field("type", row.SubItem(2));
        j.Field("risk", row.SubItem(3));
        j.Field("details", row.SubItem(4));
        j.Number("icon", row.icon);
        j.Boolean("checked", row.checked);
        j.EndObject();
    }
    j.EndArray();
    j.BeginObjectIn("worklists");
    j.BeginArray("files");
    for (const auto& row : p.fileWork.rows) {
        j.BeginObject();
        j.Field("path", row.text);
        j.Field("threat", row.SubItem(1));
        j.EndObject();
    }
    j.EndArray();
    j.BeginArray("registry");
    for (const auto& row : p.registryWork.rows) {
        j.BeginObject();
        j.Field("root", row.text);
        j.Field("key", row.SubItem(1));
        j.Field("value", row.SubItem(2));
        j.Field("threat", row.SubItem(3));
        j.EndObject();
    }
    j.EndArray();
    j.BeginArray("cookies");
    for (const auto& row : p.cookieWork.rows) {
        j.BeginObject();
        j.Field("path", row.text);
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    if (p.removal) {
        const removal::RemovalReport& r = *p.removal;
        j.BeginObjectIn("removal");
        j.BeginArray("removed");
        for (const auto& item : r.removed) {
            j.BeginObject();
            j.Field("kind", item.kind);
            j.Field("location", item.location);
            j.Field("threat", item.threat);
            j.EndObject();
        }
        j.EndArray();
        j.BeginArray("failed");
        for (const auto& path : r.failed)
            j.Field({}, path);
        j.EndArray();
        j.BeginArray("scheduledAtRestart");
        for (const auto& path : r.scheduledAtRestart)
            j.Field({}, path);
        j.EndArray();
        j.Boolean("restorePoint", r.restorePoint);
        if (!r.restorePointFailure.empty()) j.Field("restorePointFailure", r.restorePointFailure);
        j.Number("removedTotal", r.removedTotal);
        j.EndObject();
    }
    j.EndObject();
    out << j.Text() << kEol;
}

}  // namespace qm::app
