#include "app/QuarantineBrowser.h"

namespace qm::app {

std::string DescribeEntry(const removal::QuarantineEntry& entry) {
    // The manifest's kind name, capitalised: "File", "Folder", "Cookie", "Registry".
    std::string line = removal::KindName(entry.kind);
    line[0] = static_cast<char>(line[0] - 'a' + 'A');
    line += "  " + entry.original;
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
    std::string message = messages_.getMessages("MSG_RESTORE_WAIT");
    work_.Run(work::LongWork::Kind::Foreground,
              [&] { message = quarantine_.Restore(name).message; });
    return message;
}

}  // namespace qm::app
