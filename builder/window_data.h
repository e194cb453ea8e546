// One projector window of the project being edited: which movie it shows,
// how the window looks and behaves, how the movie is displayed, which extra
// files travel with it, and its own sub-windows. The settings are those of
// the projector's window definition, in the same units and words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/window_definition.h"

namespace kestrel {

using SizeMode = WindowSizeMode;
using PositionMode = WindowPositionMode;

// Field names follow the attribute names of the project file; every field
// holds its default for a new window.
struct WindowSettings {
    std::string swf;  // empty until a readable movie was set
    std::string windowName;
    std::string windowTitle = "Window";
    std::string windowMask;  // mask image for windows of type mask; may be empty
    int32_t windowX = 20;
    int32_t windowY = 60;
    int32_t windowWidth = 320;
    int32_t windowHeight = 240;
    int32_t windowWidthPercent = 100;
    int32_t windowHeightPercent = 100;
    WindowType windowType = WindowType::Standard;
    WindowStyle windowStyle = WindowStyle::Normal;
    SizeMode windowSize = SizeMode::SwfSize;
    PositionMode windowPosition = PositionMode::Custom;
    bool windowHasMinimize = true;
    bool windowHasMaximize = true;
    bool windowHasClose = true;
    bool windowIsResizable = false;
    bool windowIsVisible = false;  // only the main window is made visible by a project reset
    bool windowHasMenu = false;
    bool windowFullscreen = false;
    MouseAction rightMouseAction = MouseAction::Flash;
    MouseAction leftMouseAction = MouseAction::Flash;
    bool exitOnEscape = true;
    bool useFlashBgcolor = false;
    uint32_t flashBgcolor = 0;  // Windows colour value: red in the low byte
    FlashQuality flashQuality = FlashQuality::High;
    FlashScale flashScale = FlashScale::ShowAll;
    bool flashShowMenu = true;
    bool flashLoopMovie = false;  // no panel sets it; carried through files only
    // The movie's stage size from its header (twips / 20); never saved.
    int32_t movieWidth = 100;
    int32_t movieHeight = 100;
};

struct ProjectFileAccess;

class WindowData {
  public:
    WindowData() = default;
    WindowData(const WindowData&) = delete;
    WindowData& operator=(const WindowData&) = delete;

    const WindowSettings& Settings() const { return settings_; }
    // The owning window; none for the main window.
    WindowData* Parent() const { return parent_; }
    // Absolute paths in list order; an entry naming a folder stands for it whole.
    const std::vector<std::string>& ExtraFiles() const { return extraFiles_; }
    const std::vector<std::unique_ptr<WindowData>>& SubWindows() const { return subWindows_; }

    // A new window with defaults, appended to this window's sub-windows.
    WindowData* AddSubWindow();
    // Destroys a direct sub-window with everything it owns; false when it is
    // not one of them.
    bool RemoveSubWindow(const WindowData* window);
    void RemoveAllSubWindows();
    // Back to the defaults of a new window, sub-windows and extra files gone;
    // counts no change.
    void ResetToDefaults();

    // Reads the movie's header. When it cannot be read answers false and
    // changes nothing; otherwise remembers the stage size, stores the path
    // when it names another file and re-applies the size mode.
    bool SetMovie(const std::string& path);
    // Stores without counting a change.
    void SetWindowName(const std::string& name);
    void SetWindowTitle(const std::string& title);
    // Stored as given when its absolute form names another file.
    void SetWindowMask(const std::string& path);
    void SetWindowX(int32_t value);
    void SetWindowY(int32_t value);
    void SetWindowWidth(int32_t value);
    void SetWindowHeight(int32_t value);
    void SetWindowWidthPercent(int32_t value);
    void SetWindowHeightPercent(int32_t value);
    void SetWindowType(WindowType value);
    void SetWindowStyle(WindowStyle value);
    // In swf_size mode the window then takes the movie's size.
    void SetWindowSize(SizeMode value);
    void SetWindowPosition(PositionMode value);
    void SetWindowHasMinimize(bool value);
    void SetWindowHasMaximize(bool value);
    void SetWindowHasClose(bool value);
    void SetWindowIsResizable(bool value);
    void SetWindowIsVisible(bool value);
    void SetWindowHasMenu(bool value);
    void SetWindowFullscreen(bool value);
    void SetRightMouseAction(MouseAction value);
    void SetLeftMouseAction(MouseAction value);
    void SetExitOnEscape(bool value);
    void SetUseFlashBgcolor(bool value);
    void SetFlashBgcolor(uint32_t value);
    void SetFlashQuality(FlashQuality value);
    void SetFlashScale(FlashScale value);
    void SetFlashShowMenu(bool value);
    void SetFlashLoopMovie(bool value);

    // Appends the absolute form; duplicates are allowed.
    void AddExtraFile(const std::string& path);
    // False when `position` is out of range.
    bool RemoveExtraFile(size_t position);
    void ClearExtraFiles();

  private:
    friend class Project;             // reset stores without counting
    friend struct ProjectFileAccess;  // the project file reader stores values directly

    // Stores `value` and counts a change when it differs.
    template <typename T>
    void Store(T WindowSettings::*field, T value);
    void ApplySizeMode();

    WindowSettings settings_;
    WindowData* parent_ = nullptr;  // not owned
    std::vector<std::string> extraFiles_;
    std::vector<std::unique_ptr<WindowData>> subWindows_;
};

}  // namespace kestrel
