#include "projector/app/window_scripting_win.h"

#include "projector/api/file_system_family.h"
#include "projector/api/menu_family.h"
#include "projector/api/registry_family.h"
#include "projector/app/application_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/projector_window_win.h"
#include "projector/app/resources/resource_ids.h"

namespace kestrel::projector {
namespace {

// A window with a menu bar fills the main window's, or its own while there is
// no main window; a window without one offers no menus.
HWND BarWindowOf(Application& application, ProjectorWindow& window) {
    if (!window.handle() || !GetMenu(window.handle())) return nullptr;
    ProjectorWindow* main = application.mainWindow();
    return main && main->handle() ? main->handle() : window.handle();
}

// The context menu starts as one empty submenu.
HMENU LoadContextMenu(const WindowDefinition& definition) {
    if (definition.rightMouseAction != MouseAction::CustomMenu) return nullptr;
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_PROJECTOR_CONTEXT));
    if (HMENU first = menu ? GetSubMenu(menu, 0) : nullptr) SystemMenuWin(first).RemoveAllEntries();
    return menu;
}

ScriptHost* ScriptHostOf(NPP npp) {
    PluginInstance* instance = PluginInstance::FromNpp(npp);
    return instance ? instance->scriptHost() : nullptr;
}

}  // namespace

// --- SystemWindowApi ------------------------------------------------------------

HWND SystemWindowApi::handle() const {
    return window_.handle();
}

WindowRect SystemWindowApi::OuterRect() const {
    RECT rect{};
    if (!handle() || !GetWindowRect(handle(), &rect)) return {};
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void SystemWindowApi::MoveTo(int left, int top) {
    SetWindowPos(handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SystemWindowApi::ResizeTo(int width, int height) {
    SetWindowPos(handle(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SystemWindowApi::MoveToAndRepaint(int left, int top) {
    WindowRect rect = OuterRect();
    MoveWindow(handle(), left, top, rect.width, rect.height, TRUE);
}

void SystemWindowApi::Close() {
    // The movie asks from inside a plug-in call: ending the instance now would
    // pull it out from under that call, so the close request waits for the loop.
    if (handle()) PostMessageA(handle(), WM_CLOSE, 0, 0);
}

void SystemWindowApi::SetFullScreen(bool on) {
    window_.setFullScreen(on);
}

void SystemWindowApi::Maximize() {
    ShowWindow(handle(), SW_MAXIMIZE);
}
void SystemWindowApi::Minimize() {
    ShowWindow(handle(), SW_MINIMIZE);
}
void SystemWindowApi::Restore() {
    ShowWindow(handle(), SW_RESTORE);
}
bool SystemWindowApi::IsMaximized() const {
    return handle() && IsZoomed(handle());
}
bool SystemWindowApi::IsMinimized() const {
    return handle() && IsIconic(handle());
}
bool SystemWindowApi::IsVisible() const {
    return handle() && IsWindowVisible(handle());
}
// In its current size and position: a maximised window stays maximised.
void SystemWindowApi::Show(bool visible) {
    window_.show(visible ? SW_SHOW : SW_HIDE);
}

void SystemWindowApi::BringToFront() {
    BringWindowToTop(handle());
}

void SystemWindowApi::SendToBack() {
    SetWindowPos(handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::string SystemWindowApi::Title() const {
    char buffer[256] = {};
    if (handle()) GetWindowTextA(handle(), buffer, sizeof buffer);
    return buffer;
}

void SystemWindowApi::SetTitle(const std::string& title) {
    SetWindowTextA(handle(), title.c_str());
}

// --- ApplicationWindows ---------------------------------------------------------

ProjectorWindowApi* ApplicationWindows::FindOpenWindow(std::string_view name) {
    ProjectorWindow* window = application_.find(std::string(name));
    if (!window || !window->scripting()) return nullptr;
    return &window->scripting()->windowApi();
}

bool ApplicationWindows::OpenWindow(std::string_view name) {
    WindowDefinition& main = application_.mainDefinition();
    WindowDefinition* definition = nullptr;
    if (main.name == name) {
        definition = &main;
    } else {
        for (WindowDefinition& additional : main.additionalWindows) {
            if (additional.name == name) {
                definition = &additional;
                break;
            }
        }
    }
    if (!definition) return false;
    // Shown in its current size and position.
    return application_.open(*definition, false, SW_SHOW);
}

std::vector<std::string> ApplicationWindows::WindowDefinitionNames() const {
    const WindowDefinition& main = application_.mainDefinition();
    std::vector<std::string> names{main.name};
    for (const WindowDefinition& additional : main.additionalWindows)
        names.push_back(additional.name);
    return names;
}

int ApplicationWindows::PrimaryScreenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN);
}
int ApplicationWindows::PrimaryScreenHeight() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

// --- WindowScripting --------------------------------------------------------------

WindowScripting::WindowScripting(Application& application, ProjectorWindow& window)
    : window_(window),
      windows_(application),
      windowApi_(window),
      urls_(application.unpackFolder(), MakeSystemHttpFetch()),
      fileSystem_(application.unpackFolder()),
      menus_(window.handle(), BarWindowOf(application, window),
             LoadContextMenu(window.definition())),
      desktop_(window),
      api_(windows_, *this, urls_) {
    ApiDispatcher& dispatcher = api_.Dispatcher();
    dispatcher.Install(ApiFamilyId::FileSystem, std::make_unique<FileSystemFamily>(fileSystem_));
    dispatcher.Install(ApiFamilyId::Registry, std::make_unique<RegistryFamily>(registry_));
    desktop_.InstallInto(dispatcher);
    SetScriptHostLookup(ScriptHostOf);
    api_.Dispatcher().Install(
        ApiFamilyId::Menu, std::make_unique<MenuFamily>(menus_, application.menuCommands(), *this));
}

std::optional<std::string> WindowScripting::CallHost(std::string_view name,
                                                     const std::string_view* arguments,
                                                     std::size_t count) {
    return api_.HostCall(name, arguments, count);
}

std::string WindowScripting::MovieLocation() const {
    PluginInstance* instance = window_.pluginInstance();
    return instance ? instance->movieLocation() : "empty";
}

bool WindowScripting::CallMovie(std::string_view name, const std::vector<std::string>& texts) {
    PluginInstance* instance = window_.pluginInstance();
    if (!instance) return false;
    return CallMovieWithTexts(instance->scriptableObject(), name, texts);
}

bool WindowScripting::CallMovieWithNumbers(std::string_view name,
                                           const std::vector<int32_t>& numbers) {
    PluginInstance* instance = window_.pluginInstance();
    if (!instance) return false;
    std::vector<NPVariant> arguments(numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) {
        arguments[i].type = NPVariantType_Int32;
        arguments[i].value.intValue = numbers[i];
    }
    return kestrel::CallMovie(instance->scriptableObject(), name, arguments.data(),
                              static_cast<uint32_t>(arguments.size()))
        .has_value();
}

}  // namespace kestrel::projector
