#include "app/QuarantineBrowser.h"

namespace qm::app {

namespace {

const char* KindLabel(removal::EntryKind kind) {
    switch (kind) {
        case removal::EntryKind::File:
            return "File";
        case removal::EntryKind::Folder:
            return "Folder";
        case removal::EntryKind::Cookie:
            return "Cookie";
        case removal::EntryKind::Registry:
            return "Registry";
    }
    return "";
}

}  // namespace

std::string DescribeEntry(const removal::QuarantineEntry& entry) {
    std::string line = std::string(KindLabel(entry.kind)) + "  " + entry.original;
    if (entry.value) line += "  value " + (entry.value->empty() ? "(Default)" : *entry.value);
    line += "  (" + entry.time + ")";
    if (entry.restored) line += "  - restored";
    return line;
}

std::vector<ui::QuarantineItem> QuarantineBrowser::Items() {
    std::vector<ui::QuarantineItem> items;
    for (const auto& entry : quarantine_.ReadManifest().entries)
        items.push_back({entry.name, DescribeEntry(entry), entry.restored});
    return items;
}

std::string QuarantineBrowser::Restore(const std::string& name) {
    // A restore puts files back while a scan or a removal could be looking at them: it waits
    // for no other work, it is refused while some runs.
    std::string message = "Please wait until the running scan or removal has finished.";
    work_.Run(LongWork::Kind::Foreground, [&] { message = quarantine_.Restore(name).message; });
    return message;
}

}  // namespace qm::app
