// The one project the builder edits: the main window with its sub-windows,
// and the output settings of the exports. The panels change it through
// these operations, which count real changes (ChangeCounter); the project
// file and the undo snapshots serialise it; the exports read it.
#pragma once

#include <iterator>
#include <string>

#include "builder/window_data.h"

namespace kestrel {

enum class ExportTarget { MacPpc, MacIntel, MacUniversal, Windows, Linux };
inline constexpr ExportTarget kExportTargets[] = {ExportTarget::MacPpc, ExportTarget::MacIntel,
                                                  ExportTarget::MacUniversal, ExportTarget::Windows,
                                                  ExportTarget::Linux};

// Field names follow the attribute names of the project file.
struct ProjectSettings {
    std::string outputFolder;
    std::string outputMacAppiconPath;  // .icns for the Mac outputs
    std::string outputMacppcFilename;
    std::string outputMacintelFilename;
    std::string outputMacuniversalFilename;
    bool outputMacAppicon = false;
    bool outputMacppc = false;
    bool outputMacintel = false;
    bool outputMacuniversal = false;
    std::string outputWinAppiconPath;  // .ico for the Windows output
    std::string outputWinFilename;
    bool outputWinAppicon = false;
    bool outputWin = false;
    std::string outputLinuxAppiconPath;  // changes only by reset and loading
    std::string outputLinuxFilename;
    bool outputLinuxAppicon = false;
    bool outputLinux = false;
    bool outputDefaultFilenames = true;  // derive the five names from the project name
    std::string projectName = "Untitled";
};

class Project {
  public:
    Project() { Reset(); }
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    // A new project: a visible "MainWindow", no sub-windows, no current
    // window, outputs to the desktop, default file names. Counts no change.
    void Reset();

    const ProjectSettings& Settings() const { return settings_; }
    WindowData& MainWindow() { return mainWindow_; }
    const WindowData& MainWindow() const { return mainWindow_; }
    // The window the settings panels show: none, the main window or one of
    // its direct sub-windows.
    WindowData* CurrentWindow() const { return currentWindow_; }

    // Stored as given when the absolute form names another folder or file.
    void SetOutputFolder(const std::string& path);
    void SetMacIconPath(const std::string& path);
    void SetWindowsIconPath(const std::string& path);
    void SetUseMacIcon(bool value);
    void SetUseWindowsIcon(bool value);
    void SetUseLinuxIcon(bool value);
    void SetOutputEnabled(ExportTarget target, bool value);
    void SetOutputFileName(ExportTarget target, const std::string& name);
    // When (now) on, derives the default file names.
    void SetDefaultFileNames(bool value);
    // Counts no change; derives the default file names when they are on.
    void SetProjectName(const std::string& name);

    bool OutputEnabled(ExportTarget target) const;
    const std::string& OutputFileName(ExportTarget target) const;
    // The absolute output folder joined with the target's file name.
    std::string OutputPath(ExportTarget target) const;

    // Whether an existing output may be replaced, during one export only:
    // neither saved nor part of snapshots.
    void SetExportPermission(ExportTarget target, bool allowed);
    bool ExportPermission(ExportTarget target) const;

    // 0 for the main window, i for its i-th direct sub-window, -1 otherwise.
    int WindowIndexOf(const WindowData* window) const;
    // The window of that index, or none.
    WindowData* WindowAt(int index) const;
    // Makes the main window or one of its direct sub-windows current; any
    // other window leaves none current and answers false.
    bool SelectWindow(WindowData* window);
    bool SelectWindowByIndex(int index);
    // Refused for none and for the main window; otherwise destroys a direct
    // sub-window of the main window, leaves none current and answers true
    // (also when the window was not found).
    bool RemoveSubWindow(WindowData* window);
    void RemoveAllSubWindows();

  private:
    friend struct ProjectFileAccess;  // the project file reader stores values directly

    void DeriveDefaultFileNames();

    ProjectSettings settings_;
    WindowData mainWindow_;
    WindowData* currentWindow_ = nullptr;  // not owned: inside mainWindow_
    bool exportPermissions_[std::size(kExportTargets)] = {};
};

}  // namespace kestrel
