#include "projector/app/projector_window_win.h"

#include <cstdio>

#include "common/callback_guard.h"
#include "common/file_system.h"
#include "projector/api/dialog_services_win.h"
#include "projector/app/application_win.h"
#include "projector/app/main_loop_win.h"
#include "projector/app/mask_window_win.h"
#include "projector/app/modal_window_win.h"
#include "projector/app/resources/resource_ids.h"
#include "projector/app/transparent_surface_win.h"

namespace kestrel::projector {
namespace {

constexpr DWORD kStyleNormal = WS_CAPTION | WS_SYSMENU;               // 0x00C80000
constexpr DWORD kStyleModal = WS_CAPTION | WS_SYSMENU | DS_SYSMODAL;  // 0x00C80002
constexpr DWORD kStyleNoBorder = WS_POPUP;                            // 0x80000000
constexpr DWORD kStyleTransparent = WS_POPUP | WS_SYSMENU;            // 0x80080000
// Full screen: exactly visible plus system menu, no caption and no frame.
constexpr LONG_PTR kStyleFullScreen = WS_VISIBLE | WS_SYSMENU;  // 0x10080000

bool IsMouseMessage(UINT message) {
    // Up to the middle button's release: its double-click is no mouse message here.
    return message == WM_SETCURSOR || (message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP) ||
           message == WM_MOUSEWHEEL || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE;
}

const char* QualityWord(FlashQuality quality) {
    switch (quality) {
        case FlashQuality::Low:
            return "low";
        case FlashQuality::AutoLow:
            return "autolow";
        case FlashQuality::AutoHigh:
            return "autohigh";
        case FlashQuality::Medium:
            return "medium";
        case FlashQuality::High:
            return "high";
        case FlashQuality::Best:
            return "best";
    }
    return "high";
}

const char* ScaleWord(FlashScale scale) {
    switch (scale) {
        case FlashScale::ShowAll:
            return "showall";
        case FlashScale::NoBorder:
            return "noborder";
        case FlashScale::ExactFit:
            return "exactfit";
    }
    return "showall";
}

}  // namespace

ProjectorWindow::ProjectorWindow(Application& application, WindowDefinition& definition,
                                 bool isMain)
    : application_(application), definition_(definition), isMain_(isMain) {}

ProjectorWindow::~ProjectorWindow() {
    // Normally destroyed already; this only makes sure no handle outlives the object.
    if (destroyed_) return;
    destroyed_ = true;
    restoreWindowProcedure();
    instance_.reset();
    window_.reset();
}

WindowStyleBits StyleBitsFor(const WindowDefinition& definition) {
    WindowStyleBits bits{kStyleNormal, 0};
    switch (definition.style) {
        case WindowStyle::Normal:
            bits.style = kStyleNormal;
            break;
        case WindowStyle::Modal:
            bits.style = kStyleModal;
            break;
        case WindowStyle::Tool:
            bits.exStyle = WS_EX_TOOLWINDOW;
            break;
        case WindowStyle::NoBorder:
            bits.style = kStyleNoBorder;
            break;
    }
    if (definition.hasMaximize) bits.style |= WS_MAXIMIZEBOX;
    if (definition.hasMinimize) bits.style |= WS_MINIMIZEBOX;
    if (definition.resizable) bits.style |= WS_THICKFRAME;
    if (definition.type == WindowType::Transparent) {
        bits.style = kStyleTransparent;
        bits.exStyle |= WS_EX_LAYERED;
    }
    return bits;
}

bool ProjectorWindow::create() {
    const WindowStyleBits bits = StyleBitsFor(definition_);
    const DWORD style = bits.style;
    const DWORD exStyle = bits.exStyle;
    const bool transparent = definition_.type == WindowType::Transparent;

    // Every window gets a menu bar, which starts empty; a layered window has no frame to show one.
    definition_.hasMenu = true;
    HINSTANCE module = GetModuleHandleA(nullptr);
    OwnedMenu bar(transparent ? nullptr : LoadMenuA(module, MAKEINTRESOURCEA(IDM_PROJECTOR_BAR)));

    RECT outer{0, 0, definition_.width, definition_.height};
    // A bar that wraps is counted once the window exists (fitClientArea).
    AdjustWindowRectEx(&outer, style, static_cast<bool>(bar), exStyle);

    ProjectorWindow* main = application_.mainWindow();
    HWND owner = main ? main->handle() : nullptr;
    window_.reset(CreateWindowExA(exStyle, kProjectorWindowClass, definition_.title.c_str(), style,
                                  CW_USEDEFAULT, 0, outer.right - outer.left,
                                  outer.bottom - outer.top, owner, bar.get(), module, nullptr));
    if (!window_) return false;
    menuBar_ = bar.release();  // the window destroys its bar
    if (!definition_.hasClose)
        DeleteMenu(GetSystemMenu(window_.get(), FALSE), SC_CLOSE, MF_BYCOMMAND);
    if (menuBar_) {
        RemoveMenu(menuBar_, 0, MF_BYCOMMAND);
        DrawMenuBar(window_.get());
    }
    return attachMovie();
}

bool ProjectorWindow::attachMovie() {
    HINSTANCE module = GetModuleHandleA(nullptr);
    SetClassLongPtrA(
        window_.get(), GCLP_HICON,
        reinterpret_cast<LONG_PTR>(LoadIconA(module, MAKEINTRESOURCEA(IDI_PROJECTOR))));
    SetWindowTextA(window_.get(), definition_.title.c_str());

    int width = definition_.width;
    int height = definition_.height;
    applySizeAndPosition(&width, &height);
    shapeWindow(width, height);

    if (definition_.type == WindowType::Transparent)
        surface_ = std::make_unique<TransparentSurface>(window_.get(), width, height,
                                                        application_.updateLayeredWindow());
    else
        surface_ = std::make_unique<OpaqueSurface>(window_.get(), width, height);

    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A dialog keeps its dialog procedure, which calls handleMessage().
    if (!modal_)
        previousProcedure_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window_.get(), GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(&ProjectorWindow::WindowProcedure)));

    surface_->create();
    instance_ = std::make_unique<PluginInstance>(application_.pluginFunctions(), *surface_);
    if (!scripting_) scripting_ = std::make_unique<WindowScripting>(application_, *this);
    instance_->setScriptHost(scripting_.get());
    setMovieParameters();
    if (definition_.fullScreen) setFullScreen(true);
    return true;
}

void ProjectorWindow::shapeWindow(int, int) {}

void ProjectorWindow::fitClientArea() {
    // Twice: a bar can wrap onto another line when the width changes.
    for (int pass = 0; pass < 2; ++pass) {
        RECT client{}, outer{};
        if (!GetClientRect(window_.get(), &client) || !GetWindowRect(window_.get(), &outer)) return;
        const int missingWidth = definition_.width - client.right;
        const int missingHeight = definition_.height - client.bottom;
        if (missingWidth == 0 && missingHeight == 0) break;
        SetWindowPos(window_.get(), nullptr, 0, 0, outer.right - outer.left + missingWidth,
                     outer.bottom - outer.top + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT outer{};
    if (!window_.get() || !GetWindowRect(window_.get(), &outer)) return;
    fitted_ = true;
    fittedOuter_ = {outer.right - outer.left, outer.bottom - outer.top};
}

bool ProjectorWindow::refitClientArea(WPARAM sizeType) {
    if (!fitted_ || fullScreen_ || sizeType != SIZE_RESTORED) return false;
    RECT outer{}, client{};
    if (!GetWindowRect(window_.get(), &outer) || !GetClientRect(window_.get(), &client))
        return false;
    if (outer.right - outer.left != fittedOuter_.cx ||
        outer.bottom - outer.top != fittedOuter_.cy) {
        fitted_ = false;  // resized by the user or the movie: the size is theirs now
        return false;
    }
    if (client.right == definition_.width && client.bottom == definition_.height) return false;
    fitClientArea();
    return true;
}

void ProjectorWindow::applySizeAndPosition(int* width, int* height) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (definition_.sizeMode == WindowSizeMode::ScreenPercent) {
        const int percentWidth = static_cast<int>(definition_.widthPercent * 0.01 * screenWidth);
        const int percentHeight = static_cast<int>(definition_.heightPercent * 0.01 * screenHeight);
        if (percentWidth != definition_.width || percentHeight != definition_.height)
            SetWindowPos(window_.get(), nullptr, 0, 0, percentWidth, percentHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        *width = percentWidth;
        *height = percentHeight;
    } else if (definition_.type != WindowType::Mask) {
        // Mask windows are exactly their size; a modal template measured in
        // dialog units can be a few pixels off.
        fitClientArea();
    }

    if (definition_.positionMode == WindowPositionMode::Custom) {
        SetWindowPos(window_.get(), nullptr, definition_.x, definition_.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        RECT outer;
        GetWindowRect(window_.get(), &outer);
        const int left = screenWidth / 2 - (outer.right - outer.left) / 2;
        const int top = screenHeight / 2 - (outer.bottom - outer.top) / 2;
        SetWindowPos(window_.get(), nullptr, left, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ProjectorWindow::setMovieParameters() {
    if (PathExists(definition_.moviePath) && !IsDirectory(definition_.moviePath))
        instance_->setParameter("src", definition_.moviePath);
    if (definition_.type == WindowType::Transparent)
        instance_->setParameter("wmode", "transparent");
    if (definition_.useBackgroundColor) {
        const uint32_t color = definition_.backgroundColor;
        char text[8];
        std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF,
                      (color >> 16) & 0xFF);
        instance_->setParameter("bgcolor", text);
    }
    instance_->setParameter("quality", QualityWord(definition_.quality));
    instance_->setParameter("menu", definition_.showFlashMenu ? "true" : "false");
    instance_->setParameter("scale", ScaleWord(definition_.scale));
}

bool ProjectorWindow::startMovie() {
    if (!instance_) return false;
    const bool started = instance_->start();
    if (instance_->isStarted()) instance_->repaintAll();
    // Sent whether or not the movie started: its callbacks are in place now.
    if (scripting_) scripting_->CallMovie("apiInitFinished", {});
    return started;
}

void ProjectorWindow::show(int command) {
    if (window_.get()) ShowWindow(window_.get(), command);
}

void ProjectorWindow::setFullScreen(bool on) {
    if (!window_.get()) return;
    if (on) {
        // A second "on" keeps what the first one saved.
        if (!fullScreen_) {
            GetWindowRect(window_.get(), &savedOuter_);
            savedStyle_ = GetWindowLongPtrA(window_.get(), GWL_STYLE);
            savedExStyle_ = GetWindowLongPtrA(window_.get(), GWL_EXSTYLE);
        }
        fullScreen_ = true;
        SetWindowLongPtrA(window_.get(), GWL_STYLE, kStyleFullScreen);
        RECT desktop{};
        GetWindowRect(GetDesktopWindow(), &desktop);
        SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, desktop.right - desktop.left,
                     desktop.bottom - desktop.top, SWP_FRAMECHANGED);
        return;
    }
    // Nothing was saved for a window that never went full screen.
    if (!fullScreen_) return;
    fullScreen_ = false;
    SetWindowLongPtrA(window_.get(), GWL_STYLE, savedStyle_);
    SetWindowLongPtrA(window_.get(), GWL_EXSTYLE, savedExStyle_);
    SetWindowPos(window_.get(), HWND_NOTOPMOST, savedOuter_.left, savedOuter_.top,
                 savedOuter_.right - savedOuter_.left, savedOuter_.bottom - savedOuter_.top,
                 SWP_FRAMECHANGED);
}

void ProjectorWindow::close() {
    restoreWindowProcedure();
    destroySystemWindow();
}

void ProjectorWindow::destroySystemWindow() {
    if (window_.get() && !destroyed_) {
        instance_.reset();
        window_.reset();  // WM_DESTROY ends in handleDestruction()
    }
    if (!destroyed_) handleDestruction();
}

void ProjectorWindow::restoreWindowProcedure() {
    if (window_.get() && previousProcedure_) {
        SetWindowLongPtrA(window_.get(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(previousProcedure_));
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
        previousProcedure_ = nullptr;
    }
}

void ProjectorWindow::handleDestruction() {
    if (destroyed_) return;
    destroyed_ = true;
    restoreWindowProcedure();
    instance_.reset();
    surface_.reset();
    window_.release();                   // the system window is gone already
    application_.windowDestroyed(this);  // may end the main loop; must be last
}

LRESULT ProjectorWindow::callPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    if (modal_) {
        unhandled_ = true;  // the dialog manager does the default processing
        return 0;
    }
    return previousProcedure_
               ? CallWindowProcA(previousProcedure_, window_.get(), message, wParam, lParam)
               : DefWindowProcA(window_.get(), message, wParam, lParam);
}

void ProjectorWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_.get(), &ps);
    if (dc && surface_) surface_->copyToWindow(dc, ps.rcPaint);
    EndPaint(window_.get(), &ps);
}

bool ProjectorWindow::handleKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (GetFocus() != window_.get()) return false;
    if (wParam == VK_ESCAPE && definition_.exitOnEscape) {
        QuitMainLoop();
        *result = 0;
        return true;
    }
    if (instance_) instance_->deliverEvent(message, wParam, lParam);
    return false;
}

void ProjectorWindow::handleSize(WPARAM sizeType, LPARAM size) {
    const int width = LOWORD(size), height = HIWORD(size);
    if (scripting_) {
        if (sizeType == SIZE_MINIMIZED)
            scripting_->CallMovie("onWindowMinimize", {});
        else if (sizeType == SIZE_MAXIMIZED)
            scripting_->CallMovie("onWindowMaximize", {});
        else if (sizeType == SIZE_RESTORED)
            scripting_->CallMovie("onWindowRestore", {});
        scripting_->CallMovieWithNumbers("onWindowResize", {width, height});
    }
    // The movie call may have closed the window. A minimised window keeps its
    // surface: the restore that follows brings the real size back.
    if (instance_ && sizeType != SIZE_MINIMIZED) instance_->resize(width, height);
}

void ProjectorWindow::handleMove(LPARAM position) {
    if (!scripting_) return;
    // Signed: a window partly off the left or top edge has a negative corner.
    scripting_->CallMovieWithNumbers("onWindowPosition", {static_cast<short>(LOWORD(position)),
                                                          static_cast<short>(HIWORD(position))});
}

bool ProjectorWindow::pointInMovie() const {
    if (!surface_) return false;
    POINT cursor;
    if (!GetCursorPos(&cursor) || !ScreenToClient(window_.get(), &cursor)) return false;
    const NPWindow& area = *surface_->windowStructure();
    return cursor.x >= area.x && cursor.y >= area.y &&
           cursor.x < area.x + static_cast<LONG>(area.width) &&
           cursor.y < area.y + static_cast<LONG>(area.height);
}

// Answers true with `result` when the message needs no default processing.
bool ProjectorWindow::handleMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // A window without the focus takes only presses, which activate it.
    if (GetFocus() != window_.get() && message != WM_LBUTTONDOWN && message != WM_RBUTTONDOWN)
        return false;

    if (GetCapture() == window_.get()) {
        if (message == WM_LBUTTONUP) ReleaseCapture();
        if ((message == WM_MOUSEMOVE || message == WM_LBUTTONUP) && instance_)
            instance_->deliverEvent(message, wParam, lParam);
        return false;
    }
    if (!pointInMovie()) return false;

    switch (message) {
        case WM_LBUTTONDOWN: {
            const bool drag = definition_.leftMouseAction == MouseAction::Drag ||
                              (scripting_ && scripting_->windowApi().dragging());
            if (drag) {
                // As if the caption were grabbed: the system's move loop runs
                // until the button is released. It takes screen coordinates.
                HWND window = window_.get();
                POINT start{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                ClientToScreen(window, &start);
                SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(start.x, start.y));
                if (!IsWindow(window)) {
                    *result = 0;  // closed while it moved: this object may be gone
                    return true;
                }
            } else {
                SetCapture(window_.get());
            }
            if (instance_) instance_->deliverEvent(message, wParam, lParam);
            return false;
        }
        case WM_RBUTTONDOWN:
            // "custom_menu" shows the window's context menu; "drag" and "ignore" do nothing.
            if (definition_.rightMouseAction == MouseAction::Flash && instance_) {
                instance_->deliverEvent(message, wParam, lParam);
            } else if (definition_.rightMouseAction == MouseAction::CustomMenu && scripting_) {
                POINT cursor{};
                GetCursorPos(&cursor);
                scripting_->menus().ShowContextMenu(cursor);  // `this` may be gone afterwards
            }
            *result = 0;
            return true;
        default:
            if (instance_) instance_->deliverEvent(message, wParam, lParam);
            if (message == WM_SETCURSOR) {
                *result = 1;
                return true;
            }
            return false;
    }
}

LRESULT ProjectorWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: {
            const WNDPROC previous = previousProcedure_;
            HWND window = window_.get();
            const bool modal = modal_;
            handleDestruction();  // `this` may be released after the current message
            if (modal) {
                unhandled_ = true;
                return 0;
            }
            return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                            : DefWindowProcA(window, message, wParam, lParam);
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            if (refitClientArea(wParam)) return 0;
            handleSize(wParam, lParam);
            return callPrevious(message, wParam, lParam);
        case WM_MOVE:
            handleMove(lParam);
            return callPrevious(message, wParam, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ACTIVATEAPP:
        case WM_MOUSEACTIVATE:
            if (instance_) instance_->deliverEvent(message, wParam, lParam);
            return callPrevious(message, wParam, lParam);
        case WM_PAINT:
            paint();
            return 1;
        case WM_CLOSE:
            // A dialog of the API may be running on behalf of this window's movie.
            if (DeferCloseWhileDialogOpen(window_.get())) return 0;
            close();
            return 0;
        case WM_COMMAND:
            // A menu item (no control, not an accelerator): the window reads only the
            // low 16 bits, and the item may belong to another window's movie.
            if (HIWORD(wParam) == 0 && lParam == 0) {
                application_.menuCommands().Choose(LOWORD(wParam));
                return 0;
            }
            return callPrevious(message, wParam, lParam);
        default:
            break;
    }
    if (message >= WM_KEYFIRST && message <= WM_KEYFIRST + 7) {
        LRESULT result = 0;
        if (handleKey(message, wParam, lParam, &result)) return result;
    }
    if (IsMouseMessage(message)) {
        LRESULT result = 0;
        if (handleMouse(message, wParam, lParam, &result)) return result;
    }
    return callPrevious(message, wParam, lParam);
}

LRESULT CALLBACK ProjectorWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    auto* self = reinterpret_cast<ProjectorWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->window_.get() != window)
        return DefWindowProcA(window, message, wParam, lParam);
    return GuardedCall<LRESULT>(0, [&] { return self->handleMessage(message, wParam, lParam); });
}

std::unique_ptr<ProjectorWindow> MakeProjectorWindow(Application& application,
                                                     WindowDefinition& definition, bool isMain) {
    switch (definition.type) {
        case WindowType::Standard:
        case WindowType::Transparent:
            if (definition.style == WindowStyle::Modal)
                return std::make_unique<ModalWindow>(application, definition, isMain);
            return std::make_unique<ProjectorWindow>(application, definition, isMain);
        case WindowType::Mask:  // ignores the style
            return std::make_unique<MaskWindow>(application, definition, isMain);
    }
    return nullptr;
}

}  // namespace kestrel::projector
