#include <utility>

#include "builder/export/export_command.h"
#include "builder/export/mask_conversion.h"
#include "builder/export/output_files.h"
#include "builder/export/stub_resource_win.h"
#include "builder/project_paths.h"
#include "builder/recent_menu_win.h"
#include "builder/ui/about_dialog.h"
#include "builder/ui/busy_cursor.h"
#include "builder/ui/help_viewer.h"
#include "builder/ui/main_window.h"
#include "builder/ui/main_window_text.h"
#include "builder/ui/message_box.h"
#include "builder/ui/preferences_dialog.h"
#include "builder/ui/replace_question.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/start_dialog.h"
#include "common/file_system.h"

namespace kestrel {
namespace {

constexpr int kToolbarImages = 5;

// The Mac bundles' fixed resources that ship beside the program.
constexpr char kMacResourcesFolder[] = "pr_tmp";
constexpr char kMacLanguageFolder[] = "English.lproj";

LayoutRect ToLayout(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
RECT FromLayout(const LayoutRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Moves `rect` (screen) so that it lies on the nearest monitor's work area,
// as far as it fits: a place kept from another screen layout must not hide
// the window.
RECT OnScreen(RECT rect) {
    HMONITOR monitor = MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return rect;
    const RECT area = info.rcWork;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (rect.right > area.right) rect.left = area.right - width;
    if (rect.bottom > area.bottom) rect.top = area.bottom - height;
    if (rect.left < area.left) rect.left = area.left;
    if (rect.top < area.top) rect.top = area.top;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

// The normal place of a window, also while it is minimised or maximised.
RECT NormalPlace(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) return placement.rcNormalPosition;
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void PlaceWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height) {
    RECT current{};
    GetWindowRect(window, &current);
    // Stored sizes smaller than the window's own layout are not used: the
    // window never lays out smaller than its template.
    const LONG useWidth =
        width >= current.right - current.left ? width : current.right - current.left;
    const LONG useHeight =
        height >= current.bottom - current.top ? height : current.bottom - current.top;
    const RECT wanted = OnScreen({x, y, x + useWidth, y + useHeight});
    SetWindowPos(window, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                 wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)), editor_(project_, services_.tempFolder) {
    if (!services_.quit) services_.quit = [] { PostQuitMessage(0); };
}

MainWindow::~MainWindow() {
    // The pages' windows go with ours; their objects must not outlive it.
    if (Handle()) DestroyWindow(Handle());
    pages_.reset();
}

bool MainWindow::Create() {
    return CreateModeless(IDD_MAIN_WINDOW, nullptr, ID_MAIN_WINDOW);
}

bool MainWindow::OnInit() {
    HICON icon = LoadIconA(GetModuleHandle(nullptr), MAKEINTRESOURCEA(IDI_KESTREL));
    SetClassLongPtrA(Handle(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    UpdateTitle();

    toolbar_.CreateWithButtons(Handle(), IDC_TOOLBAR, IDB_TOOLBAR, kToolbarImages,
                               {{ID_FILE_NEW, 0},
                                {ID_FILE_OPEN, 1},
                                {ID_FILE_SAVE, 2},
                                {0, 0},
                                {ID_FILE_EXPORT, 3},
                                {0, 0},
                                {ID_HELP_CONTENTS, 4}});
    tabs_.Bind(Handle(), IDC_MAIN_TABS);
    status_.Bind(Handle(), IDC_STATUS_LINE);
    pages_ = CreateMainPages(*this, Handle(), tabs_.Handle());

    RECT client{};
    GetClientRect(Handle(), &client);
    initialClient_ = {client.right, client.bottom};
    initialTabs_ = tabs_.Rect();
    initialStatus_ = status_.Rect();
    laidOut_ = true;

    AttachRecentMenus();
    ResetProject();
    RestorePlaces();
    if (pages_) pages_->ShowSettingsWindow(true);
    return true;
}

void MainWindow::AttachRecentMenus() {
    HMENU file = GetSubMenu(GetMenu(Handle()), 0);
    const auto attach = [file](int position, int id) -> HMENU {
        HMENU submenu = CreatePopupMenu();
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_SUBMENU | MIIM_ID;
        item.hSubMenu = submenu;
        item.wID = static_cast<UINT>(id);
        if (!SetMenuItemInfoA(file, static_cast<UINT>(position), TRUE, &item)) {
            DestroyMenu(submenu);
            return nullptr;
        }
        return submenu;  // the bar owns it from now on
    };
    recentProjectsMenu_ = attach(FILE_MENU_RECENT_PROJECTS_POSITION, ID_RECENT_PROJECTS_MENU);
    recentMoviesMenu_ = attach(FILE_MENU_RECENT_SWFS_POSITION, ID_RECENT_SWFS_MENU);
    RebuildRecentMenus();
}

void MainWindow::RebuildRecentMenus() {
    Preferences& preferences = *services_.preferences;
    if (recentProjectsMenu_) {
        RebuildRecentMenu(recentProjectsMenu_, preferences.recentProjects,
                          kRecentProjectsCommandBase);
    }
    if (recentMoviesMenu_) {
        RebuildRecentMenu(recentMoviesMenu_, preferences.recentMovies, kRecentMoviesCommandBase);
    }
}

void MainWindow::RestorePlaces() {
    const Preferences& preferences = *services_.preferences;
    PlaceWindow(Handle(), preferences.mainWindowX, preferences.mainWindowY,
                preferences.mainWindowWidth, preferences.mainWindowHeight);
    if (HWND settings = pages_ ? pages_->SettingsWindow() : nullptr) {
        PlaceWindow(settings, preferences.settingsWindowX, preferences.settingsWindowY,
                    preferences.settingsWindowWidth, preferences.settingsWindowHeight);
    }
}

void MainWindow::KeepPlaces() {
    Preferences& preferences = *services_.preferences;
    const RECT main = NormalPlace(Handle());
    preferences.mainWindowX = main.left;
    preferences.mainWindowY = main.top;
    preferences.mainWindowWidth = main.right - main.left;
    preferences.mainWindowHeight = main.bottom - main.top;
    if (HWND settings = pages_ ? pages_->SettingsWindow() : nullptr) {
        const RECT place = NormalPlace(settings);
        preferences.settingsWindowX = place.left;
        preferences.settingsWindowY = place.top;
        preferences.settingsWindowWidth = place.right - place.left;
        preferences.settingsWindowHeight = place.bottom - place.top;
        preferences.settingsWindowVisible = IsWindowVisible(settings) != FALSE;
    }
}

void MainWindow::UpdateTitle() {
    SetWindowTextA(Handle(),
                   MainWindowTitle(projectPath_, services_.preferences->displayFullPath).c_str());
}

void MainWindow::UpdateUndoItems() {
    HMENU bar = GetMenu(Handle());
    EnableMenuItem(bar, ID_EDIT_UNDO,
                   MF_BYCOMMAND | (editor_.History().CanUndo() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(bar, ID_EDIT_REDO,
                   MF_BYCOMMAND | (editor_.History().CanRedo() ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::ResetProject() {
    editor_.NewProject();
    // The settings pages show the main window of a new project.
    project_.SelectWindow(&project_.MainWindow());
    projectPath_.clear();
    UpdateTitle();
    UpdateUndoItems();
    if (pages_) {
        pages_->SelectMainTab(0);
        pages_->RefreshAll();
    }
}

bool MainWindow::ConfirmDiscard() {
    if (pages_) pages_->ApplyPendingEdits();
    if (!editor_.History().HasUnsavedChanges()) return true;
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    const int answer = ShowResourceMessage(Handle(), MB_YESNOCANCEL | MB_ICONWARNING,
                                           IDS_SAVE_CHANGES_CAPTION, IDS_SAVE_CHANGES);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) return Save();
    return true;
}

void MainWindow::NewProject() {
    if (!ConfirmDiscard()) return;
    ResetProject();
    RunStart();
}

void MainWindow::OpenProject() {
    if (!ConfirmDiscard()) return;
    FileDialogArgs request;
    request.owner = Handle();
    request.filter = FileFilter({}, true);
    std::string path;
    if (services_.dialogs->OpenFile(request, &path)) OpenProjectFile(path);
}

bool MainWindow::OpenProjectFile(const std::string& path) {
    if (path.empty() || !PathExists(path) || IsDirectory(path)) {
        ShowResourceError(Handle(), IDS_ERROR, IDS_INVALID_PROJECT);
        return false;
    }
    ProjectFileError error;
    {
        BusyCursor busy;
        error = editor_.OpenProject(path);
    }
    if (error != ProjectFileError::None) {
        ShowResourceError(Handle(), IDS_ERROR, static_cast<int>(error));
        return false;
    }
    projectPath_ = AbsoluteForm(path);
    project_.SelectWindow(&project_.MainWindow());
    services_.preferences->recentProjects.Add(projectPath_);
    RebuildRecentMenus();
    UpdateTitle();
    UpdateUndoItems();
    RefreshAllPages();
    return true;
}

bool MainWindow::WriteProject(const std::string& path) {
    ProjectFileError error;
    {
        BusyCursor busy;
        error = editor_.SaveProject(path);
    }
    if (error != ProjectFileError::None) {
        ShowResourceError(Handle(), IDS_ERROR, static_cast<int>(error));
        return false;
    }
    projectPath_ = AbsoluteForm(path);
    // The default output names follow the project's name.
    project_.SetProjectName(BaseNameWithoutExtension(projectPath_));
    services_.preferences->recentProjects.Add(projectPath_);
    RebuildRecentMenus();
    UpdateTitle();
    UpdateUndoItems();
    RefreshAllPages();
    return true;
}

bool MainWindow::Save() {
    if (pages_) pages_->ApplyPendingEdits();
    if (!projectPath_.empty() && PathExists(projectPath_)) return WriteProject(projectPath_);
    return SaveAs();
}

bool MainWindow::SaveAs() {
    if (pages_) pages_->ApplyPendingEdits();
    FileDialogArgs request;
    request.owner = Handle();
    request.filter = FileFilter({}, true);
    if (projectPath_.empty()) {
        request.initialName = "Untitled.kstl";
    } else {
        const size_t slash = projectPath_.find_last_of("\\/");
        request.initialName =
            slash == std::string::npos ? projectPath_ : projectPath_.substr(slash + 1);
    }
    request.defaultExtension = "kstl";
    std::string path;
    if (!services_.dialogs->SaveFile(request, &path)) return false;
    return WriteProject(path);
}

bool MainWindow::LoadStub(std::vector<uint8_t>* stub) const {
    if (services_.loadStub) return services_.loadStub(stub);
    if (LoadStubResource(nullptr, stub) && !stub->empty()) return true;
    return ReadWholeFile(JoinPath(ProgramFolder(), "skylet.exe"), stub) && !stub->empty();
}

void MainWindow::Export() {
    // The replace question runs a message loop: a second Export from the
    // keyboard must not start inside the first.
    if (exporting_) return;
    exporting_ = true;
    struct Finish {
        MainWindow& window;
        std::string workFolder;
        ~Finish() {
            if (!workFolder.empty()) RemovePath(workFolder);
            window.SetStatusText("");
            window.exporting_ = false;
        }
    } finish{*this, {}};
    if (pages_) pages_->ApplyPendingEdits();

    ExportContext context;
    if (!LoadStub(&context.stub)) {
        ShowResourceError(Handle(), IDS_ERROR, IDS_EXPORT_FAILED);
        return;
    }
    // A fresh folder of this run for the build's own files: the program's
    // folder may not be writable, and two builders must not share one.
    MakeDirectory(services_.tempFolder);
    finish.workFolder = MakeWorkFolder(services_.tempFolder);
    context.macResourcesFolder = finish.workFolder;
    const std::string shipped =
        JoinPath(JoinPath(ProgramFolder(), kMacResourcesFolder), kMacLanguageFolder);
    if (!finish.workFolder.empty() && IsDirectory(shipped)) {
        std::string failed;
        CopyIntoFolder(shipped, finish.workFolder, &failed);
    }
    context.convertMask = ConvertMaskImage;
    context.alwaysOverwrite = services_.preferences->alwaysOverwrite;
    int enabledOutputs = 0;
    for (ExportTarget target : kExportTargets) enabledOutputs += project_.OutputEnabled(target);
    // With no output chosen the export would build nothing; "finished" would mislead.
    if (enabledOutputs == 0) {
        ShowResourceMessage(Handle(), MB_OK | MB_ICONINFORMATION, IDS_EXPORTING,
                            IDS_EXPORT_NOTHING);
        return;
    }
    const bool severalItems = enabledOutputs > 1;
    context.askReplace = [this, severalItems](const std::string& name, const std::string& folder) {
        return AskReplace(Handle(), name, folder, severalItems);
    };
    context.status = [this](const std::string& text) { SetStatusText(text); };
    context.warn = [this](const std::string& text) {
        ShowMessage(Handle(), MB_OK | MB_ICONWARNING, LoadResourceString(IDS_EXPORTING), text);
    };

    ExportResult result;
    {
        BusyCursor busy;
        result = RunExport(project_, context);
    }
    switch (result.outcome) {
        case ExportOutcome::Finished:
            ShowResourceMessage(Handle(), MB_OK | MB_ICONINFORMATION, IDS_EXPORTING,
                                IDS_EXPORT_FINISHED);
            break;
        case ExportOutcome::Failed: {
            // The fixed text alone would not say which file is at fault.
            std::string text = LoadResourceString(IDS_EXPORT_FAILED);
            if (!result.message.empty()) text += "\n\n" + result.message;
            ShowError(Handle(), LoadResourceString(IDS_ERROR), text);
            break;
        }
        case ExportOutcome::Stopped:
            break;
    }
}

bool MainWindow::Exit() {
    if (!ConfirmDiscard()) return false;
    KeepPlaces();
    services_.quit();
    return true;
}

void MainWindow::Undo() {
    if (editor_.Undo()) RefreshAllPages();
    UpdateUndoItems();
}

void MainWindow::Redo() {
    if (editor_.Redo()) RefreshAllPages();
    UpdateUndoItems();
}

void MainWindow::ShowPreferences() {
    if (!RunPreferencesDialog(Handle(), *services_.preferences, services_.preferencesKey)) return;
    RebuildRecentMenus();
    UpdateTitle();
}

INT_PTR MainWindow::RunStart() {
    HWND settings = pages_ ? pages_->SettingsWindow() : nullptr;
    ShowWindow(Handle(), SW_HIDE);
    if (settings) ShowWindow(settings, SW_HIDE);
    StartDialogArgs args;
    args.owner = Handle();
    args.preferences = services_.preferences;
    args.recentProjects = &services_.preferences->recentProjects;
    args.dialogs = services_.dialogs;
    args.openProject = [this](const std::string& path) { return OpenProjectFile(path); };
    args.useMovie = [this](const std::string& path) {
        const bool read = project_.MainWindow().SetMovie(path);
        RefreshAllPages();
        return read;
    };
    const INT_PTR result = RunStartDialog(args);
    ShowWindow(Handle(), SW_SHOW);
    if (settings) ShowWindow(settings, SW_SHOW);
    RefreshAllPages();
    SetForegroundWindow(Handle());
    return result;
}

void MainWindow::OpenRecentProject(int command) {
    const std::string* entry =
        services_.preferences->recentProjects.EntryForCommand(command, kRecentProjectsCommandBase);
    if (!entry) return;
    const std::string path = *entry;  // the list changes when the file opens
    if (!ConfirmDiscard()) return;
    OpenProjectFile(path);
}

void MainWindow::UseRecentMovie(int command) {
    const std::string* entry =
        services_.preferences->recentMovies.EntryForCommand(command, kRecentMoviesCommandBase);
    if (!entry) return;
    const std::string path = *entry;
    // The movie goes to the window the pages show, as if chosen there.
    WindowData* window = project_.CurrentWindow();
    const int index = window ? project_.WindowIndexOf(window) : 0;
    const EditResult result = PerformEdit([index, &path](Project& project) {
        if (WindowData* target = project.WindowAt(index)) target->SetMovie(path);
    });
    if (result != EditResult::Unchanged) AddRecentMovie(path);
    RefreshAllPages();
}

void MainWindow::SelectSettingsTab(int index) {
    if (!pages_) return;
    pages_->SelectSettingsTab(index);
    // Choosing a settings tab from the menu brings back a closed settings window.
    pages_->ShowSettingsWindow(true);
}

EditResult MainWindow::PerformEdit(const std::function<void(Project&)>& change) {
    const EditResult result = editor_.Edit(change);
    EditDone(result);
    return result;
}

void MainWindow::EditDone(EditResult result) {
    UpdateUndoItems();
}

void MainWindow::SetCurrentWindow(WindowData* window) {
    project_.SelectWindow(window);
    RefreshAllPages();
}

void MainWindow::RefreshAllPages() {
    if (pages_) pages_->RefreshAll();
    UpdateUndoItems();
}

void MainWindow::AddRecentMovie(const std::string& path) {
    services_.preferences->recentMovies.Add(path);
    RebuildRecentMenus();
}

void MainWindow::SetStatusText(const std::string& text) {
    status_.SetText(text);
    UpdateWindow(status_.Handle());
}

bool MainWindow::OnCommand(int id, int code, HWND control) {
    switch (id) {
        case ID_FILE_NEW:
            NewProject();
            return true;
        case ID_FILE_OPEN:
            OpenProject();
            return true;
        case ID_FILE_SAVE:
            Save();
            return true;
        case ID_FILE_SAVE_AS:
            SaveAs();
            return true;
        case ID_FILE_EXPORT:
            Export();
            return true;
        case ID_FILE_EXIT:
            Exit();
            return true;
        case ID_EDIT_UNDO:
            Undo();
            return true;
        case ID_EDIT_REDO:
            Redo();
            return true;
        case ID_EDIT_PREFERENCES:
            ShowPreferences();
            return true;
        case ID_SETTINGS_TAB_SETUP:
        case ID_SETTINGS_TAB_WINDOW:
        case ID_SETTINGS_TAB_INPUT:
        case ID_SETTINGS_TAB_FLASH:
            SelectSettingsTab(id - ID_SETTINGS_TAB_SETUP);
            return true;
        case ID_HELP_CONTENTS:
            OpenHelp(Handle());
            return true;
        case ID_HELP_ABOUT:
            ShowAbout(Handle());
            return true;
        default:
            break;
    }
    if (id >= kRecentProjectsCommandBase && id < kRecentMoviesCommandBase) {
        OpenRecentProject(id);
        return true;
    }
    if (id >= kRecentMoviesCommandBase && id < kRecentMoviesCommandBase + kRecentListMaximumLimit) {
        UseRecentMovie(id);
        return true;
    }
    return false;
}

bool MainWindow::OnNotify(int id, NMHDR* header, LRESULT* result) {
    if (id == IDC_MAIN_TABS && header->code == TCN_SELCHANGE) {
        if (pages_) pages_->ShowSelectedMainTab();
        return true;
    }
    if (header->code == TTN_GETDISPINFOA) {
        // The toolbar's tooltips are the strings numbered like their commands.
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
        tip->hinst = GetModuleHandle(nullptr);
        tip->lpszText = MAKEINTRESOURCEA(header->idFrom);
        return true;
    }
    return false;
}

bool MainWindow::OnSize(int width, int height) {
    if (!laidOut_ || IsIconic(Handle())) return false;
    SendMessageA(toolbar_.Handle(), TB_AUTOSIZE, 0, 0);
    const LayoutDeltas deltas = GrowthBeyond(initialClient_.cx, initialClient_.cy, width, height);
    tabs_.SetRect(FromLayout(Grown(ToLayout(initialTabs_), deltas)));
    status_.SetRect(FromLayout(MovedDown(ToLayout(initialStatus_), deltas)));
    if (pages_) pages_->Layout(deltas.width, deltas.height);
    // The window clips its children: they are repainted with it.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

bool MainWindow::OnClose() {
    Exit();
    return true;
}

}  // namespace kestrel
