#include <windows.h>

#include <cstdlib>
#include <ctime>

#include "builder/project_paths.h"
#include "builder/registry_key_store_win.h"
#include "builder/ui/about_dialog.h"
#include "builder/ui/application.h"
#include "builder/ui/busy_cursor.h"
#include "builder/ui/controls.h"
#include "builder/ui/file_association.h"
#include "builder/ui/main_window.h"
#include "builder/ui/message_box.h"
#include "builder/ui/message_loop.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/update_prompt.h"
#include "common/file_system.h"
#include "common/win_handles.h"

namespace kestrel {
namespace {

constexpr char kDefaultWindowClass[] = "LK_DEFAULT_WINDOW_CLASSNAME";

void RegisterDefaultWindowClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandle(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kDefaultWindowClass;
    RegisterClassA(&windowClass);
}

std::string UserTempFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH) return ".";
    std::string folder(buffer, length);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string ProjectFromCommandLine(const char* commandLine) {
    if (!commandLine) return {};
    std::string text = commandLine;
    size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) return {};
    if (text[at] == '"') {
        const size_t end = text.find('"', at + 1);
        return text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    }
    const size_t end = text.find_last_not_of(" \t");
    return text.substr(at, end - at + 1);
}

Application::Application(ApplicationOptions options) : options_(std::move(options)) {}

Application::~Application() = default;

bool Application::OnInit() {
    BusyCursor busy;
    tempFolder_ = JoinPath(options_.tempParent.empty() ? UserTempFolder() : options_.tempParent,
                           kTempFolderName);
    if (MakeDirectory(tempFolder_) == MakeDirectoryResult::Failed) {
        ShowResourceError(nullptr, IDS_ERROR, IDS_CANNOT_CREATE_TEMP,
                          static_cast<int>(GetLastError()));
    }
    if (auto key =
            RegistryKeyStore::Open(options_.preferencesKey, RegistryKeyStore::Access::Read)) {
        LoadPreferences(preferences_, *key,
                        [](const std::string& path) { return PathExists(path); });
    }
    RegisterProjectFileType(options_.classesKey, ProgramPath(), ProgramFolder());
    return true;
}

bool Application::Run() {
    Splash splash;
    splash.Open();

    ComApartment com;
    InitialiseCommonControls();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    RegisterDefaultWindowClass();

    if (preferences_.checkForUpdates) RunAutomaticUpdateCheck(options_.preferencesKey);

    FileDialogs* dialogs = options_.dialogs;
    if (!dialogs) {
        systemDialogs_ = CreateSystemFileDialogs();
        dialogs = systemDialogs_.get();
    }
    MainWindowServices services;
    services.preferences = &preferences_;
    services.dialogs = dialogs;
    services.tempFolder = tempFolder_;
    services.preferencesKey = options_.preferencesKey;
    MainWindow window(services);
    if (!window.Create()) return false;
    AcceleratorHook accelerators(
        window.Handle(),
        LoadAcceleratorsA(GetModuleHandle(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS)));
    splash.Destroy();

    ShowWindow(window.Handle(), SW_SHOW);
    if (options_.projectToOpen.empty() || !window.OpenProjectFile(options_.projectToOpen)) {
        window.RunStart();
    }
    RunMessageLoop();
    return true;
}

bool Application::OnExit() {
    auto key = RegistryKeyStore::Open(options_.preferencesKey, RegistryKeyStore::Access::Write);
    return key && SavePreferences(preferences_, *key);
}

}  // namespace kestrel
