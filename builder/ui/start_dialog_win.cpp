#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/start_dialog.h"

namespace kestrel {
namespace {

constexpr int kRecentColumnWidth = 600;

class StartDialog : public Dialog {
  public:
    explicit StartDialog(const StartDialogArgs& args) : args_(args) {}

  protected:
    bool OnInit() override {
        fromMovie_.Bind(Handle(), IDC_START_FROM_SWF);
        empty_.Bind(Handle(), IDC_START_EMPTY);
        open_.Bind(Handle(), IDC_START_OPEN);
        recent_.Bind(Handle(), IDC_START_RECENT_LIST);
        browse_.Bind(Handle(), IDC_START_BROWSE);
        ListView_SetExtendedListViewStyle(recent_.Handle(), LVS_EX_FULLROWSELECT);
        recent_.AddColumn(kRecentColumnWidth, "");
        if (args_.recentProjects) {
            for (const std::string& path : args_.recentProjects->Shown()) recent_.AddItem(path);
        }
        if (recent_.Count() > 0) recent_.Select(0);
        switch (args_.preferences->startCommand) {
            case StartCommand::NewFromMovie:
                fromMovie_.SetChecked(true);
                break;
            case StartCommand::NewProject:
                empty_.SetChecked(true);
                break;
            case StartCommand::OpenProject:
                open_.SetChecked(true);
                break;
        }
        UpdateOpenControls();
        return true;
    }

    bool OnCommand(int id, int code, HWND control) override {
        switch (id) {
            case IDC_START_FROM_SWF:
            case IDC_START_EMPTY:
            case IDC_START_OPEN:
                UpdateOpenControls();
                return true;
            case IDC_START_BROWSE:
                Browse();
                return true;
            case IDOK:
                Accept();
                return true;
            case IDCANCEL:
                EndModal(IDCANCEL);
                return true;
            default:
                return false;
        }
    }

    bool OnNotify(int id, NMHDR* header, LRESULT* result) override {
        // A double click on a recent project opens it, like OK.
        if (id == IDC_START_RECENT_LIST && header->code == NM_DBLCLK && open_.Checked()) {
            Accept();
            return true;
        }
        return false;
    }

  private:
    void UpdateOpenControls() {
        const bool opening = open_.Checked();
        recent_.Enable(opening);
        browse_.Enable(opening);
    }

    void Accept() {
        Preferences& preferences = *args_.preferences;
        if (fromMovie_.Checked()) {
            preferences.startCommand = StartCommand::NewFromMovie;
            FileDialogArgs request;
            request.owner = Handle();
            request.title = LoadResourceString(IDS_CHOOSE_SWF);
            request.filter = FileFilter({"*.swf"}, true);
            std::string path;
            if (args_.dialogs->OpenFile(request, &path) && args_.useMovie) args_.useMovie(path);
            EndModal(IDOK);
        } else if (empty_.Checked()) {
            preferences.startCommand = StartCommand::NewProject;
            EndModal(IDOK);
        } else if (open_.Checked()) {
            preferences.startCommand = StartCommand::OpenProject;
            const int selected = recent_.SelectedIndex();
            if (selected < 0) return;
            if (args_.openProject(recent_.ItemText(selected))) EndModal(IDOK);
        }
    }

    void Browse() {
        FileDialogArgs request;
        request.owner = Handle();
        request.filter = FileFilter({"*.kstl"}, true);
        std::string path;
        if (!args_.dialogs->OpenFile(request, &path)) return;
        if (args_.openProject(path)) {
            args_.preferences->startCommand = StartCommand::OpenProject;
            EndModal(IDOK);
        }
    }

    const StartDialogArgs& args_;
    RadioButton fromMovie_;
    RadioButton empty_;
    RadioButton open_;
    ListView recent_;
    PushButton browse_;
};

}  // namespace

INT_PTR RunStartDialog(const StartDialogArgs& args) {
    StartDialog dialog(args);
    return dialog.RunModal(IDD_START, args.owner);
}

}  // namespace kestrel
