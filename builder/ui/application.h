// The builder from process start to end: on-init (temporary folder,
// preferences, file association), run (splash, update check, main window,
// start dialog, message loop) and on-exit (preferences saved).
#pragma once

#include <memory>
#include <string>

#include "builder/preferences.h"
#include "builder/ui/file_dialogs.h"

namespace kestrel {

struct ApplicationOptions {
    // HKCU subkeys of the preferences and of the file types.
    std::string preferencesKey = kPreferencesKey;
    std::string classesKey = "Software\\Classes";
    // Parent of the run's "_kestrel" folder; empty: the user's temporary folder.
    std::string tempParent;
    // A project to open instead of asking with the start dialog.
    std::string projectToOpen;
    // The dialogs; none: the system's.
    FileDialogs* dialogs = nullptr;  // not owned
};

inline constexpr char kTempFolderName[] = "_kestrel";

class Application {
  public:
    explicit Application(ApplicationOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Each answers true to go on.
    bool OnInit();
    bool Run();
    bool OnExit();

    Preferences& UserPreferences() { return preferences_; }
    const std::string& TempFolder() const { return tempFolder_; }

  private:
    ApplicationOptions options_;
    Preferences preferences_;
    std::string tempFolder_;
    std::unique_ptr<FileDialogs> systemDialogs_;
};

// The project path the shell passes (the first argument), or empty.
std::string ProjectFromCommandLine(const char* commandLine);

}  // namespace kestrel
