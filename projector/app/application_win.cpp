#include "projector/app/application_win.h"

#include <algorithm>

#include "common/binary_file.h"
#include "common/file_system.h"
#include "common/settings_reader.h"
#include "common/unpack_folder.h"
#include "projector/app/browser_functions_win.h"
#include "projector/app/main_loop_win.h"
#include "projector/app/message_box_win.h"
#include "projector/app/resources/resource_ids.h"
#include "projector/bridge/identifier_table.h"

namespace kestrel::projector {
namespace {

constexpr char kPluginFileName[] = "npfp.dll";

std::string TemporaryFolder() {
    char buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH) return std::string();
    return std::string(buffer, length);
}

std::string ExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

Application::Application() = default;

Application::~Application() {
    shutDown();
}

int Application::run() {
    SetMainThread();
    unpackFolder_ = CreateUnpackFolder(TemporaryFolder(), GetTickCount());
    reader_ = std::make_unique<PayloadReader>(unpackFolder_);

    if (!load()) {
        const std::string text =
            failureText_.empty()
                ? FormatText(LoadResourceString(IDS_INIT_FAILED, "Error").c_str(), failureCode_)
                : failureText_;
        ShowErrorBox(LoadResourceString(IDS_ERROR_CAPTION, "Error"), text);
        // Unlike a normal end this leaves nothing behind either.
        shutDown();
        return -1;
    }
    RunMainLoop();
    shutDown();
    return 0;
}

bool Application::load() {
    PayloadError error = reader_->open(ExecutablePath());
    if (error == PayloadError::None) error = reader_->scan();
    std::string settingsPath;
    if (error == PayloadError::None) error = reader_->settingsPath(&settingsPath);
    if (error != PayloadError::None) {
        failureCode_ = static_cast<int>(error);
        return false;
    }

    // Numbered from 0x0FEEBBCF in this order; never interned.
    kestrel::RegisterMovieCallNames();

    if (PathExists(settingsPath)) {
        SettingsResult settings = ReadSettingsDocument(settingsPath, unpackFolder_);
        RemoveFile(settingsPath);
        if (settings.error != SettingsError::None) {
            ShowErrorBox("error",
                         FormatText("invalid settings: %d", static_cast<int>(settings.error)));
            return false;
        }
        mainDefinition_ = std::move(settings.mainWindow);
    }
    return start();
}

bool Application::start() {
    if (!writePluginLibrary()) return false;
    // "failed to initialize: 0" would not tell which step failed; the loader's text does.
    if (!plugin_.load(pluginPath_, BrowserFunctionTable(), &failureText_)) return false;

    if (!registerWindowClass()) return false;
    if (!StartWorkerThread()) return false;
    LARGE_INTEGER frequency;
    if (QueryPerformanceFrequency(&frequency)) counterFrequency_ = frequency.QuadPart;
    lookUpSystemFunctions();

    if (!open(mainDefinition_, true, mainDefinition_.visible ? SW_SHOWNORMAL : SW_HIDE))
        return false;
    // A modal main window has been closed already: the program ends.
    if (!mainWindow_) return true;

    for (WindowDefinition& definition : mainDefinition_.additionalWindows) {
        if (definition.visible) open(definition, false, SW_SHOWNORMAL);
    }
    return true;
}

bool Application::writePluginLibrary() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(IDR_PLUGIN_LIBRARY), RT_PLUGIN_LIBRARY);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!bytes || size == 0) return false;

    pluginPath_ = JoinPath(unpackFolder_, kPluginFileName);
    BinaryFile file;
    if (!file.open(pluginPath_, BinaryFile::Mode::WriteTruncate)) return false;
    const bool written = file.write(bytes, size);
    if (!file.close() || !written) {
        RemoveFile(pluginPath_);  // never leave a half-written library to load
        return false;
    }
    return true;
}

bool Application::registerWindowClass() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;  // 0x23
    windowClass.lpfnWndProc = DefWindowProcA;                // each window installs its own
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_PROJECTOR));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = "";
    windowClass.lpszClassName = kProjectorWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

void Application::lookUpSystemFunctions() {
    user32_.reset(LoadLibraryA("user32.dll"));
    if (!user32_) return;
    updateLayeredWindow_ = reinterpret_cast<UpdateLayeredWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32_.get(), "UpdateLayeredWindow")));
}

bool Application::open(WindowDefinition& definition, bool isMain, int showCommand) {
    std::unique_ptr<ProjectorWindow> created = MakeProjectorWindow(*this, definition, isMain);
    if (!created) return false;
    ProjectorWindow* window = created.get();
    openingWindows_.push_back(std::move(created));
    // A modal window runs its whole dialog here and is adopted from inside it.
    const bool made = window->create();
    auto opening = std::find_if(openingWindows_.begin(), openingWindows_.end(),
                                [window](const auto& entry) { return entry.get() == window; });
    if (opening == openingWindows_.end()) {
        // Adopted and, for a modal window, already ended: free it once the
        // procedures on the stack have returned.
        RunAtTopLevel(&Application::ReleaseClosedWindowsTask, this);
        return made;
    }
    created = std::move(*opening);
    openingWindows_.erase(opening);
    if (!made) return false;
    listAndStart(std::move(created));
    window->show(showCommand);
    return true;
}

void Application::adoptOpening(ProjectorWindow* window) {
    auto opening = std::find_if(openingWindows_.begin(), openingWindows_.end(),
                                [window](const auto& entry) { return entry.get() == window; });
    if (opening == openingWindows_.end()) return;
    std::unique_ptr<ProjectorWindow> adopted = std::move(*opening);
    openingWindows_.erase(opening);
    listAndStart(std::move(adopted));
}

void Application::listAndStart(std::unique_ptr<ProjectorWindow> window) {
    ProjectorWindow* opened = window.get();
    openWindows_.push_back(std::move(window));
    if (opened->isMain()) mainWindow_ = opened;
    // A movie that fails to stream still leaves its window open.
    opened->startMovie();
}

ProjectorWindow* Application::find(const std::string& name) const {
    for (const auto& window : openWindows_)
        if (window->definition().name == name) return window.get();
    return nullptr;
}

void Application::windowDestroyed(ProjectorWindow* window) {
    if (window == mainWindow_) {
        mainWindow_ = nullptr;
        QuitMainLoop();
    }
    auto found = std::find_if(openWindows_.begin(), openWindows_.end(),
                              [window](const auto& open) { return open.get() == window; });
    if (found == openWindows_.end()) return;
    // The window's procedure is still running (perhaps below a modal loop):
    // free the object once the main loop has it back.
    closedWindows_.push_back(std::move(*found));
    openWindows_.erase(found);
    RunAtTopLevel(&Application::ReleaseClosedWindowsTask, this);
}

void Application::ReleaseClosedWindowsTask(void* application) {
    static_cast<Application*>(application)->releaseClosedWindows();
}

void Application::releaseClosedWindows() {
    closedWindows_.erase(
        std::remove_if(closedWindows_.begin(), closedWindows_.end(),
                       [](const auto& window) { return !window->runningDialog(); }),
        closedWindows_.end());
}

void Application::shutDown() {
    // Windows first, in the order they were opened; each ends its instance.
    std::vector<std::unique_ptr<ProjectorWindow>> windows = std::move(openWindows_);
    openWindows_.clear();
    for (auto& window : windows) window->destroySystemWindow();
    windows.clear();
    closedWindows_.clear();
    mainWindow_ = nullptr;

    plugin_.unload();
    if (!pluginPath_.empty()) RemoveFile(pluginPath_);
    pluginPath_.clear();
    if (reader_) reader_->cleanUp();
    reader_.reset();  // closes the executable
    if (!unpackFolder_.empty()) RemoveDirectoryTree(unpackFolder_);
    unpackFolder_.clear();
    user32_.reset();
    updateLayeredWindow_ = nullptr;
}

}  // namespace kestrel::projector
