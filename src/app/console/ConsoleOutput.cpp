#include "app/console/ConsoleOutput.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "app/console/JsonWriter.h"

namespace qm::app::console {

namespace {

// "counts": the signature counts of each kind and their total.
void CountsObject(JsonWriter& j, const defs::SignatureCounts& c) {
    j.BeginObjectIn("counts");
    j.Number("cookies", c.cookies);
    j.Number("files", c.files);
    j.Number("registry", c.registry);
    j.Number("programs", c.programs);
    j.Number("total", c.Total());
    j.EndObject();
}

void ManifestEntries(JsonWriter& j, const removal::Manifest& manifest) {
    j.BeginArray("entries");
    for (const auto& e : manifest.entries) {
        j.BeginObject();
        j.Field("kind", removal::KindName(e.kind));
        j.Field("original", e.original);
        if (e.value) j.Field("value", *e.value);
        j.Field("name", e.name);
        j.Number("size", static_cast<long long>(e.size));
        j.Field("hash", e.sha256);
        j.Field("time", e.time);
        j.Boolean("restored", e.restored);
        j.EndObject();
    }
    j.EndArray();
}

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const auto& line : lines)
        out << line << kEol;
}

void TextArray(JsonWriter& j, std::string_view key, const std::vector<std::string>& texts) {
    j.BeginArray(key);
    for (const auto& text : texts)
        j.Field({}, text);  // array items have no key
    j.EndArray();
}

// One JSON object of text fields, on a line of its own.
void PrintFields(std::ostream& out,
                 std::initializer_list<std::pair<std::string_view, std::string_view>> fields) {
    JsonWriter j;
    j.BeginObject();
    for (const auto& [key, value] : fields)
        j.Field(key, value);
    j.EndObject();
    out << j.Text() << kEol;
}

}  // namespace

void PrintCounts(std::ostream& out, const defs::SignatureCounts& c, bool json) {
    if (json) {
        JsonWriter j;
        j.BeginObject();
        CountsObject(j, c);
        j.EndObject();
        out << j.Text() << kEol;
        return;
    }
    out << "Cookie signatures: " << c.cookies << kEol;
    out << "File and folder signatures: " << c.files << kEol;
    out << "Registry signatures: " << c.registry << kEol;
    out << "Program signatures: " << c.programs << kEol;
    out << "Total: " << c.Total() << kEol;
}

void PrintExclusions(std::ostream& out, const std::vector<std::string>& entries,
                     const std::string* added, bool json) {
    if (!json) {
        PrintLines(out, entries);
        return;
    }
    JsonWriter j;
    j.BeginObject();
    if (added) j.Field("added", *added);
    TextArray(j, "exclusions", entries);
    j.EndObject();
    out << j.Text() << kEol;
}

void PrintQuarantine(std::ostream& out, const std::string& folder,
                     const std::vector<std::string>& items, const removal::Manifest& manifest,
                     bool json) {
    if (!json) {
        PrintLines(out, items);
        return;
    }
    JsonWriter j;
    j.BeginObject();
    j.Field("folder", folder);
    TextArray(j, "items", items);
    ManifestEntries(j, manifest);
    j.EndObject();
    out << j.Text() << kEol;
}

void PrintRestored(std::ostream& out, const std::string& name, const std::string& message,
                   bool json) {
    if (json) {
        PrintFields(out, {{"restored", name}, {"message", message}});
    } else {
        out << message << kEol;
    }
}

void PrintReport(std::ostream& out, const std::string& path, const std::string& text, bool json) {
    if (json) {
        PrintFields(out, {{"path", path}, {"text", text}});
    } else {
        out << text;
    }
}

void PrintUpdate(std::ostream& out, const update::UpdateOutcome& outcome,
                 const defs::SignatureCounts& c, bool json) {
    if (json) {
        JsonWriter j;
        j.BeginObject();
        j.Field("status", update::StatusName(outcome.status));
        j.Number("changes", outcome.changes);
        j.Field("date", outcome.storedDate);
        if (outcome.status == update::UpdateOutcome::Status::Unverified)
            j.Field("refusal", update::VerdictName(outcome.refusal));
        CountsObject(j, c);
        j.EndObject();
        out << j.Text() << kEol;
    } else if (outcome.status == update::UpdateOutcome::Status::Updated) {
        out << "Definitions updated: " << outcome.changes << " changes, dated "
            << outcome.storedDate << ", " << c.Total() << " signatures" << kEol;
    } else {
        out << "The definitions are current (dated " << outcome.storedDate << ")" << kEol;
    }
}

}  // namespace qm::app::console
