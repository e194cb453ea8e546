#include "builder/window_data.h"

#include <algorithm>
#include <utility>

#include "builder/change_counter.h"
#include "builder/project_paths.h"
#include "builder/swf_header.h"

namespace kestrel {

template <typename T>
void WindowData::Store(T WindowSettings::*field, T value) {
    if (settings_.*field == value) return;
    settings_.*field = std::move(value);
    ChangeCounter::Count();
}

WindowData* WindowData::AddSubWindow() {
    subWindows_.push_back(std::make_unique<WindowData>());
    subWindows_.back()->parent_ = this;
    return subWindows_.back().get();
}

bool WindowData::RemoveSubWindow(const WindowData* window) {
    auto found = std::find_if(subWindows_.begin(), subWindows_.end(),
                              [window](const auto& child) { return child.get() == window; });
    if (found == subWindows_.end()) return false;
    subWindows_.erase(found);
    return true;
}

void WindowData::RemoveAllSubWindows() {
    subWindows_.clear();
}

void WindowData::ResetToDefaults() {
    settings_ = WindowSettings{};
    extraFiles_.clear();
    subWindows_.clear();
}

bool WindowData::SetMovie(const std::string& path) {
    SwfHeader header;
    if (!ReadSwfHeader(AbsoluteForm(path), &header)) return false;
    settings_.movieWidth = header.StageWidthPixels();
    settings_.movieHeight = header.StageHeightPixels();
    if (!SamePath(path, settings_.swf)) {
        settings_.swf = path;
        ChangeCounter::Count();
    }
    ApplySizeMode();
    return true;
}

void WindowData::ApplySizeMode() {
    if (settings_.windowSize != SizeMode::SwfSize) return;
    SetWindowWidth(settings_.movieWidth);
    SetWindowHeight(settings_.movieHeight);
}

void WindowData::SetWindowName(const std::string& name) {
    settings_.windowName = name;
}

void WindowData::SetWindowTitle(const std::string& title) {
    Store(&WindowSettings::windowTitle, title);
}

void WindowData::SetWindowMask(const std::string& path) {
    if (SamePath(path, settings_.windowMask)) return;
    settings_.windowMask = path;
    ChangeCounter::Count();
}

void WindowData::SetWindowX(int32_t value) {
    Store(&WindowSettings::windowX, value);
}
void WindowData::SetWindowY(int32_t value) {
    Store(&WindowSettings::windowY, value);
}
void WindowData::SetWindowWidth(int32_t value) {
    Store(&WindowSettings::windowWidth, value);
}
void WindowData::SetWindowHeight(int32_t value) {
    Store(&WindowSettings::windowHeight, value);
}
void WindowData::SetWindowWidthPercent(int32_t value) {
    Store(&WindowSettings::windowWidthPercent, value);
}
void WindowData::SetWindowHeightPercent(int32_t value) {
    Store(&WindowSettings::windowHeightPercent, value);
}
void WindowData::SetWindowType(WindowType value) {
    Store(&WindowSettings::windowType, value);
}
void WindowData::SetWindowStyle(WindowStyle value) {
    Store(&WindowSettings::windowStyle, value);
}
void WindowData::SetWindowSize(SizeMode value) {
    Store(&WindowSettings::windowSize, value);
    ApplySizeMode();
}
void WindowData::SetWindowPosition(PositionMode value) {
    Store(&WindowSettings::windowPosition, value);
}
void WindowData::SetWindowHasMinimize(bool value) {
    Store(&WindowSettings::windowHasMinimize, value);
}
void WindowData::SetWindowHasMaximize(bool value) {
    Store(&WindowSettings::windowHasMaximize, value);
}
void WindowData::SetWindowHasClose(bool value) {
    Store(&WindowSettings::windowHasClose, value);
}
void WindowData::SetWindowIsResizable(bool value) {
    Store(&WindowSettings::windowIsResizable, value);
}
void WindowData::SetWindowIsVisible(bool value) {
    Store(&WindowSettings::windowIsVisible, value);
}
void WindowData::SetWindowHasMenu(bool value) {
    Store(&WindowSettings::windowHasMenu, value);
}
void WindowData::SetWindowFullscreen(bool value) {
    Store(&WindowSettings::windowFullscreen, value);
}
void WindowData::SetRightMouseAction(MouseAction value) {
    Store(&WindowSettings::rightMouseAction, value);
}
void WindowData::SetLeftMouseAction(MouseAction value) {
    Store(&WindowSettings::leftMouseAction, value);
}
void WindowData::SetExitOnEscape(bool value) {
    Store(&WindowSettings::exitOnEscape, value);
}
void WindowData::SetUseFlashBgcolor(bool value) {
    Store(&WindowSettings::useFlashBgcolor, value);
}
void WindowData::SetFlashBgcolor(uint32_t value) {
    Store(&WindowSettings::flashBgcolor, value);
}
void WindowData::SetFlashQuality(FlashQuality value) {
    Store(&WindowSettings::flashQuality, value);
}
void WindowData::SetFlashScale(FlashScale value) {
    Store(&WindowSettings::flashScale, value);
}
void WindowData::SetFlashShowMenu(bool value) {
    Store(&WindowSettings::flashShowMenu, value);
}
void WindowData::SetFlashLoopMovie(bool value) {
    Store(&WindowSettings::flashLoopMovie, value);
}

void WindowData::AddExtraFile(const std::string& path) {
    extraFiles_.push_back(AbsoluteForm(path));
    ChangeCounter::Count();
}

bool WindowData::RemoveExtraFile(size_t position) {
    if (position >= extraFiles_.size()) return false;
    extraFiles_.erase(extraFiles_.begin() + static_cast<std::ptrdiff_t>(position));
    ChangeCounter::Count();
    return true;
}

void WindowData::ClearExtraFiles() {
    if (extraFiles_.empty()) return;
    extraFiles_.clear();
    ChangeCounter::Count();
}

}  // namespace kestrel
