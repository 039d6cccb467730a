#pragma once
// The language window: the translation file's languages to choose from, a download of a newer
// file, and the file opened for translating.

#include <string>

#include "ui/Controls.h"

namespace qm::ui {

struct FrmLanguage {
    FrmLanguage() {
        Combo1Prompt = "Choose Language Here";
        Command1.caption = "Check for language updates";
        Command2.caption = "OK";
        Command3.caption = "Translate this program";
    }
    std::string caption;
    bool visible = false;
    bool modal = false;        // the first run's: loading goes on when it closes
    std::string Combo1Prompt;  // the entry that chooses nothing
    ComboBox Combo1;           // the prompt first, then the languages in file order
    Button Command1, Command2, Command3;
};

}  // namespace qm::ui
