#include "ui/Captions.h"

#include "text/Text.h"

namespace qm::ui {

namespace {

// The captions of one window, named as the translation file names them.
class WindowCaptions {
  public:
    WindowCaptions(std::string form, const CaptionVisitor& visit)
        : form_(text::Upper(form) + "_"), visit_(visit) {}

    template <typename Captioned>
    void Control(const char* name, Captioned& control) {
        visit_(form_ + text::Upper(name), control.caption);
    }
    void Text(const char* name, std::string& caption) {
        visit_(form_ + text::Upper(name), caption);
    }
    template <typename Captioned>
    void Indexed(const char* name, std::size_t index, Captioned& control) {
        visit_(form_ + text::Upper(name) + std::to_string(index), control.caption);
    }
    template <std::size_t N>
    void Menu(const char* name, std::array<std::string, N>& entries) {
        for (std::size_t i = 0; i < N; ++i) {
            if (entries[i] != "-")
                visit_(form_ + text::Upper(name) + std::to_string(i), entries[i]);
        }
    }
    void Columns(const char* name, ListView& list) {
        for (std::size_t i = 0; i < list.columns.size(); ++i)
            visit_(form_ + text::Upper(name) + "_COL" + std::to_string(i + 1), list.columns[i]);
    }
    void Window(std::string& caption) { visit_(form_ + "CAPTION", caption); }

  private:
    std::string form_;
    const CaptionVisitor& visit_;
};

// How the main window's control list names each caption, by the rule its row gives.
class MainWindowCaptionRules {
  public:
    MainWindowCaptionRules(WindowCaptions& w, FrmMain& form) : w_(w), form_(form) {}

    template <typename Captioned>
    void Named(const char* name, Captioned& control, std::size_t) {
        w_.Control(name, control);
    }
    template <typename Captioned>
    void Indexed(const char* name, Captioned& control, std::size_t index) {
        w_.Indexed(name, index, control);
    }
    void Columns(const char* name, ListView& list, std::size_t) { w_.Columns(name, list); }
    // The tab strip's tabs are the captions of the options page's frames.
    void Tabs(const char* name, int&, std::size_t) {
        for (std::size_t i = 0; i < form_.frmView.size(); ++i) {
            w_.Text((std::string(name) + "_TABS" + std::to_string(i + 1)).c_str(),
                    form_.frmView[i].caption);
        }
    }
    template <typename Control>
    void Unnamed(const char*, Control&, std::size_t) {}

  private:
    WindowCaptions& w_;
    FrmMain& form_;
};

void MainWindowCaptions(FrmMain& f, const CaptionVisitor& visit) {
    WindowCaptions w("FrmMain", visit);
    MainWindowCaptionRules rules(w, f);
#define QM_CONTROL(id, member, kind, page, caption) rules.caption(#member, f.member, 0);
#define QM_CONTROL_AT(id, member, index, kind, page, caption) \
    rules.caption(#member, f.member[index], index);
#include "ui/MainWindowControlList.h"
#undef QM_CONTROL
#undef QM_CONTROL_AT
    w.Menu("mnuFileItem", f.mnuFileItem);
    w.Menu("mnuQuarItem", f.mnuQuarItem);
    w.Menu("mnuSettingsItem", f.mnuSettingsItem);
    w.Menu("mnuLanguageItem", f.mnuLanguageItem);
    w.Menu("mnuHelpItem", f.mnuHelpItem);
    w.Menu("mnuAboutItem", f.mnuAboutItem);
    w.Window(f.caption);
}

}  // namespace

void VisitCaptions(FrmMain& f, const CaptionVisitor& visit) {
    MainWindowCaptions(f, visit);
    {
        WindowCaptions w("frmDelete", visit);
        w.Control("lblAdvice", f.frmDelete.lblAdvice);
        w.Control("lblSafeMode", f.frmDelete.lblSafeMode);
        w.Control("lblRestart", f.frmDelete.lblRestart);
        w.Control("cmdOk", f.frmDelete.cmdOk);
        w.Control("cmdCopyList", f.frmDelete.cmdCopyList);
        w.Window(f.frmDelete.caption);
    }
    {
        WindowCaptions w("frmDownload", visit);
        w.Control("Command1", f.frmDownload.Command1);
        w.Window(f.frmDownload.caption);
    }
    {
        WindowCaptions w("frmSignatureUpdated", visit);
        w.Control("cmdUpdateSuccesfullOK", f.frmSignatureUpdated.cmdUpdateSuccesfullOK);
    }
    {
        WindowCaptions w("frmSpywareFoundAlert", visit);
        w.Control("cmdYes", f.frmSpywareFoundAlert.cmdYes);
        w.Control("cmdNO", f.frmSpywareFoundAlert.cmdNO);
    }
    {
        WindowCaptions w("frmHomePageChangedAlert", visit);
        w.Control("cmdYes", f.frmHomePageChangedAlert.cmdYes);
        w.Control("cmdNO", f.frmHomePageChangedAlert.cmdNO);
    }
    {
        WindowCaptions w("frmMenuPopUp", visit);
        w.Control("mnuMaxmimaize", f.frmMenuPopUp.mnuMaxmimaize);
        w.Control("mnuClose", f.frmMenuPopUp.mnuClose);
        w.Control("lblMenuClose", f.frmMenuPopUp.lblMenuClose);
    }
    {
        WindowCaptions w("frmAbout", visit);
        w.Control("cmdOK", f.frmAbout.cmdOK);
    }
    {
        WindowCaptions w("frmLanguage", visit);
        w.Text("Combo1", f.frmLanguage.Combo1Prompt);
        w.Control("Command1", f.frmLanguage.Command1);
        w.Control("Command2", f.frmLanguage.Command2);
        w.Control("Command3", f.frmLanguage.Command3);
        w.Window(f.frmLanguage.caption);
    }
    {
        WindowCaptions w("frmReport", visit);
        w.Control("cmdClose", f.frmReport.cmdClose);
    }
}

}  // namespace qm::ui
