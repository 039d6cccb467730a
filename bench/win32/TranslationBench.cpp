// Applying a language from a 2,000-item translation file to the main window, against setting
// the same captions directly; both drawn into the real window under Wine. Run in a display:
//   xvfb-run -a wine64 qm_translation_bench.exe [--rounds N]
// Each round applies the first language over the second's captions, then sets the second's
// directly over the first's, so both change every caption (target: at most 2x).

// clang-format off
#include "platform/win32/WinApi.h"
// clang-format on

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "app/Application.h"
#include "ui/Captions.h"
#include "ui/win32/Program.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Two languages, each with an item for every caption of the windows, the catalogue's keys and
// filler items up to `items` lines.
std::string TranslationFile(qm::ui::FrmMain& form, const qm::i18n::MessageCatalogue& messages,
                            int items, std::map<std::string, std::string> (&direct)[2]) {
    std::vector<std::string> names;
    qm::ui::VisitCaptions(form,
                          [&](const std::string& item, std::string&) { names.push_back(item); });
    for (const auto& slot : messages.Slots())
        if (slot.inUse) names.push_back(slot.key);
    std::string file = "\xEF\xBB\xBF<XML_DIZ_INFO>\r\n";
    for (int language = 0; language < 2; ++language) {
        const std::string tag = language == 0 ? "Bench One" : "Bench Two";
        file += "<LANGUAGE_GROUP>\r\n\t<LANGUAGE_NAME>" + tag +
                "</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>\r\n";
        for (int i = 0; i < items; ++i) {
            const std::string name = i < static_cast<int>(names.size())
                                         ? names[static_cast<std::size_t>(i)]
                                         : "FILLER_ITEM_" + std::to_string(i);
            const std::string text = tag + " " + std::to_string(i);
            file += "\t\t<" + name + ">" + text + "</" + name + ">\r\n";
            direct[language][name] = text;
        }
        file += "\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n";
    }
    return file + "</XML_DIZ_INFO>\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 20;
    if (argc == 3 && std::strcmp(argv[1], "--rounds") == 0)
        rounds = std::max(1, std::atoi(argv[2]));
    qm::wintest::TempFolder data;
    qm::ui::win32::Program program(::GetModuleHandleA(nullptr), {data.path()});
    if (!program.Start(SW_SHOW)) return 1;
    qm::app::Application& app = program.Application();
    qm::ui::FrmMain& form = app.Form();
    std::map<std::string, std::string> direct[2];
    const std::string path = app.Translation().FilePath();
    qm::wintest::PutFile(path, TranslationFile(form, app.Messages(), 2000, direct));

    // The second language's captions in place before the first round.
    qm::ui::VisitCaptions(
        form, [&](const std::string& item, std::string& caption) { caption = direct[1].at(item); });
    program.SyncWindows();
    double translated = 0, set = 0;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        app.Translation().ChangeLanguage(form, "Bench One");
        program.SyncWindows();
        translated += Since(start);

        start = Clock::now();
        qm::ui::VisitCaptions(form, [&](const std::string& item, std::string& caption) {
            caption = direct[1].at(item);
        });
        program.SyncWindows();
        set += Since(start);
    }
    ::DeleteFileA(path.c_str());
    std::printf(
        "2,000-item language applied to the windows: %.2f ms a round; the same captions "
        "set directly: %.2f ms; %.2fx (target <= 2x)\n",
        translated / rounds * 1000, set / rounds * 1000, translated / set);
    return 0;
}
