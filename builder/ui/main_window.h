// The builder's main window: menu, toolbar, the "Windows" and "Output" tabs
// and the status line; it owns the project, its undo history and the
// settings pages, and runs every command of the menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "builder/preferences.h"
#include "builder/project.h"
#include "builder/project_editor.h"
#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/file_dialogs.h"
#include "builder/ui/main_pages.h"
#include "builder/ui/page_host.h"

namespace kestrel {

struct MainWindowServices {
    Preferences* preferences = nullptr;  // not owned: the application's record
    FileDialogs* dialogs = nullptr;      // not owned
    // The run's temporary folder: undo snapshots and export work folders.
    std::string tempFolder;
    // Where the update server override is read.
    std::string preferencesKey = kPreferencesKey;
    // The projector stub the export copies. Default: the builder's own
    // resource, else "skylet.exe" in the program's folder.
    std::function<bool(std::vector<uint8_t>*)> loadStub;
    // Ends the message loop after Exit. Default: the quit message.
    std::function<void()> quit;
};

class MainWindow : public Dialog, public PageHost {
  public:
    explicit MainWindow(MainWindowServices services);
    ~MainWindow() override;

    // Creates the window from its template, hidden; false with the system's
    // last error.
    bool Create();

    // The commands; each is also reachable by its menu id.
    void NewProject();
    // Asks for a file and opens it (after the save-changes prompt).
    void OpenProject();
    // Opens `path` without the prompt; error boxes on failure, and the
    // project, its path and the title then stay as they were.
    bool OpenProjectFile(const std::string& path);
    bool Save();
    bool SaveAs();
    void Export();
    // After the prompt: keeps the window places and ends the message loop.
    // False when the user cancelled.
    bool Exit();
    void Undo();
    void Redo();
    void ShowPreferences();
    // The start dialog; the main and settings windows are hidden meanwhile.
    INT_PTR RunStart();

    const std::string& ProjectPath() const { return projectPath_; }
    MainPages* Pages() const { return pages_.get(); }
    const UndoStack& History() const { return editor_.History(); }

    // PageHost
    Project& CurrentProject() override { return project_; }
    ProjectEditor& Editor() override { return editor_; }
    EditResult PerformEdit(const std::function<void(Project&)>& change) override;
    void EditDone(EditResult result) override;
    void SetCurrentWindow(WindowData* window) override;
    void RefreshAllPages() override;
    void AddRecentMovie(const std::string& path) override;
    FileDialogs& Dialogs() override { return *services_.dialogs; }
    Preferences& UserPreferences() override { return *services_.preferences; }
    void SetStatusText(const std::string& text) override;
    HWND MainWindowHandle() const override { return Handle(); }

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
    bool OnSize(int width, int height) override;
    bool OnClose() override;

  private:
    // The save-changes prompt; false when the command must not go on.
    bool ConfirmDiscard();
    void ResetProject();
    void UpdateTitle();
    void UpdateUndoItems();
    void AttachRecentMenus();
    void RebuildRecentMenus();
    bool WriteProject(const std::string& path);
    void OpenRecentProject(int command);
    void UseRecentMovie(int command);
    void SelectSettingsTab(int index);
    void RestorePlaces();
    void KeepPlaces();
    bool LoadStub(std::vector<uint8_t>* stub) const;

    MainWindowServices services_;
    Project project_;
    ProjectEditor editor_;
    std::unique_ptr<MainPages> pages_;
    Toolbar toolbar_;
    TabControl tabs_;  // the pages own what is shown in it
    StaticText status_;
    HMENU recentProjectsMenu_ = nullptr;  // belongs to the window's menu bar
    HMENU recentMoviesMenu_ = nullptr;    // belongs to the window's menu bar
    std::string projectPath_;
    // The client size and control places of the template: the resize rule
    // computes from these, never from the current places.
    SIZE initialClient_{};
    RECT initialTabs_{};
    RECT initialStatus_{};
    bool laidOut_ = false;
    bool exporting_ = false;
};

}  // namespace kestrel
