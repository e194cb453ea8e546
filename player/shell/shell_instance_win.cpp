#include "player/shell/shell_instance_win.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/win_handles.h"
#include "player/core/stage_mapping.h"
#include "player/runtime/movie_url.h"
#include "player/shell/browser_table.h"
#include "player/shell/scriptable_object.h"

namespace kestrel::shell {
namespace {

// Far more than any single write needs; the host trims to what it has.
constexpr int32_t kWriteReadyBytes = 1 << 20;
// The heartbeat never sleeps longer than this, so intervals and late frames stay on time.
constexpr UINT kLongestBeatMs = 50;
constexpr UINT kShortestBeatMs = 10;
// The host's keep-alive tick (event 275, first parameter 1).
constexpr WPARAM kHostTickParameter = 1;

// Test hook beside NPFP_TRACE_FILE: NPFP_FRAME_LIMIT=N plays frames 1 to N only, then
// quits the way fscommand("quit") does, so a test run ends after exactly N frames.
int FrameLimitFromEnvironment() {
    const char* text = std::getenv("NPFP_FRAME_LIMIT");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long frames = std::strtol(text, &end, 10);
    return *end == '\0' && frames > 0 && frames <= 1000000 ? static_cast<int>(frames) : 0;
}

void* Tag(uintptr_t kind) {
    return reinterpret_cast<void*>(kind);
}

}  // namespace

ShellInstance::CallScope::~CallScope() {
    if (--instance_.callDepth_ == 0 && instance_.destroyPending_) delete &instance_;
}

ShellInstance::ShellInstance(NPP npp, std::vector<std::pair<std::string, std::string>> parameters)
    : npp_(npp),
      options_(player::parseDisplayOptions(parameters)),
      external_(npp),
      network_(npp, &ShellInstance::WakeSoon, this) {
    player_.setExternalHost(&external_);
    player_.setNetworkHost(&network_);
    player_.setFrameLimit(FrameLimitFromEnvironment());
    player_.stageSettings().applyDisplayOptions(options_);
    player_.stageSettings().screenWidth = GetSystemMetrics(SM_CXSCREEN);
    player_.stageSettings().screenHeight = GetSystemMetrics(SM_CYSCREEN);
    placeholder_.create(this, timerInterval());
    lastTickMs_ = GetTickCount();
}

ShellInstance::~ShellInstance() {
    placeholder_.destroy();
    player_.setExternalHost(nullptr);
    player_.setNetworkHost(nullptr);
    if (scriptable_) {
        reinterpret_cast<ScriptableObject*>(scriptable_)->owner = nullptr;
        if (npp_ && Browser().releaseobject) Browser().releaseobject(scriptable_);
        scriptable_ = nullptr;
    }
}

void ShellInstance::Destroy(ShellInstance* instance) {
    if (!instance) return;
    // From here on nothing may reach the browser with the host's NPP.
    instance->external_.detach();
    instance->network_.detach();
    instance->placeholder_.destroy();
    if (instance->scriptable_) {
        reinterpret_cast<ScriptableObject*>(instance->scriptable_)->owner = nullptr;
        if (Browser().releaseobject) Browser().releaseobject(instance->scriptable_);
        instance->scriptable_ = nullptr;
    }
    instance->npp_ = nullptr;
    if (instance->callDepth_ > 0)
        instance->destroyPending_ = true;
    else
        delete instance;
}

void ShellInstance::WakeSoon(void* context) {
    static_cast<ShellInstance*>(context)->placeholder_.postWake();
}

UINT ShellInstance::timerInterval() const {
    const double frame = player_.frameIntervalMs();
    return std::clamp(static_cast<UINT>(frame > 0 ? frame : kLongestBeatMs), kShortestBeatMs,
                      kLongestBeatMs);
}

// --- window ---------------------------------------------------------------------

NPError ShellInstance::setWindow(const NPWindow* window) {
    if (!window) return NPERR_INVALID_PARAM;
    window_ = *window;
    hasWindow_ = true;
    // A resize under noScale runs the movie's onResize listeners. No repaint is asked for
    // here: hosts pass the window structure again before they paint.
    player_.setDisplayArea(static_cast<int>(window_.width), static_cast<int>(window_.height));
    return NPERR_NO_ERROR;
}

// --- streams ----------------------------------------------------------------------

NPError ShellInstance::newStream(NPStream* stream, uint16_t* streamType) {
    if (!stream || !streamType) return NPERR_INVALID_PARAM;
    *streamType = NP_NORMAL;
    if (stream->notifyData && network_.ownsRequest(stream->notifyData)) {
        stream->pdata = Tag(static_cast<uintptr_t>(StreamKind::Request));
    } else if (!movieStreamSeen_ && player_.status() == runtime::LoadStatus::Waiting) {
        // The first stream that answers no request of ours is the movie.
        movieStreamSeen_ = true;
        if (stream->url) player_.stageSettings().movieUrl = runtime::MovieUrlFrom(stream->url);
        stream->pdata = Tag(static_cast<uintptr_t>(StreamKind::Movie));
    } else {
        stream->pdata = Tag(static_cast<uintptr_t>(StreamKind::Ignored));
    }
    return NPERR_NO_ERROR;
}

int32_t ShellInstance::writeReady(NPStream* /*stream*/) {
    return kWriteReadyBytes;
}

int32_t ShellInstance::write(NPStream* stream, int32_t /*offset*/, int32_t length,
                             const void* buffer) {
    if (!stream || length < 0 || (!buffer && length > 0)) return -1;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    switch (static_cast<StreamKind>(reinterpret_cast<uintptr_t>(stream->pdata))) {
        case StreamKind::Movie:
            // A movie too large for the player fails here; the host then ends the stream.
            return player_.appendStreamBytes(bytes, static_cast<size_t>(length)) ? length : -1;
        case StreamKind::Request:
            return network_.receive(stream->notifyData, bytes, static_cast<size_t>(length)) ? length
                                                                                            : -1;
        case StreamKind::Ignored:
            break;
    }
    return length;
}

NPError ShellInstance::destroyStream(NPStream* stream, NPReason reason) {
    if (!stream) return NPERR_INVALID_PARAM;
    switch (static_cast<StreamKind>(reinterpret_cast<uintptr_t>(stream->pdata))) {
        case StreamKind::Movie:
            // The movie is complete: frame 1 and its actions run before we return, so
            // the callbacks it registers are there when the host talks to it next.
            if (reason == NPRES_DONE && player_.completeStream()) movieLoaded();
            break;
        case StreamKind::Request:
            network_.streamEnded(stream->notifyData, reason);
            break;
        case StreamKind::Ignored:
            break;
    }
    stream->pdata = nullptr;
    return NPERR_NO_ERROR;
}

void ShellInstance::streamAsFile(NPStream* stream, const char* fileName) {
    if (!stream ||
        static_cast<StreamKind>(reinterpret_cast<uintptr_t>(stream->pdata)) != StreamKind::Movie)
        return;
    if (player_.status() != runtime::LoadStatus::Waiting) return;
    // Normally every byte came through write(); a host that only names the file
    // gets it read here.
    if (fileName && player_.stage() == nullptr) {
        if (std::FILE* file = std::fopen(fileName, "rb")) {
            uint8_t chunk[65536];
            size_t count;
            bool ok = true;
            while (ok && (count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
                ok = player_.appendStreamBytes(chunk, count);
            std::fclose(file);
        }
    }
    if (player_.completeStream()) movieLoaded();
}

void ShellInstance::movieLoaded() {
    lastTickMs_ = GetTickCount();
    placeholder_.setInterval(timerInterval());
    requestRepaint();
    quitWhenDone();
}

void ShellInstance::urlNotify(void* notifyData, NPReason reason) {
    network_.urlNotified(notifyData, reason);
}

// --- time -------------------------------------------------------------------------

void ShellInstance::advanceClock() {
    // The movie's clock follows real time, whoever ticks us (our timer or the host).
    const DWORD now = GetTickCount();
    const double elapsed = static_cast<double>(now - lastTickMs_);
    lastTickMs_ = now;
    bool changed = network_.deliverCompleted(player_);
    changed = player_.tick(elapsed) > 0 || changed;
    if (changed) requestRepaint();
    quitWhenDone();
}

void ShellInstance::heartbeat() {
    CallScope scope(*this);
    advanceClock();
    placeholder_.postHeartbeat();
}

void ShellInstance::wake() {
    CallScope scope(*this);
    if (network_.deliverCompleted(player_)) requestRepaint();
}

// --- events -----------------------------------------------------------------------

int16_t ShellInstance::handleEvent(const NPEvent& event) {
    switch (event.event) {
        case WM_PAINT:
            if (hasWindow_ && window_.type == NPWindowTypeDrawable && window_.window) {
                paint(static_cast<HDC>(window_.window));
                return 1;
            }
            return 0;
        case WM_TIMER:
            if (event.wParam == kHostTickParameter) advanceClock();
            return 1;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            mouseEvent(event.event, event.lParam);
            return 1;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            keyEvent(event.event, event.wParam);
            return 1;
        default:
            return 0;
    }
}

void ShellInstance::paint(HDC dc) {
    const int width = static_cast<int>(window_.width), height = static_cast<int>(window_.height);
    if (width <= 0 || height <= 0) return;
    player::RenderList list;
    player_.buildRenderList(list);
    if (player_.stage()) {
        // Scripts may have changed the scale mode, alignment or quality since the start.
        RenderOptions options = options_;
        const runtime::StageSettings& settings = player_.stageSettings();
        options.scale = settings.scaleMode;
        options.align = settings.align;
        options.quality = settings.quality;
        painter_.Paint(dc, width, height, list, options);
        return;
    }
    // No movie (yet): an opaque instance shows its background, a transparent one nothing.
    if (options_.transparent) return;
    const player::Rgba color =
        options_.background ? *options_.background : player::Rgba{255, 255, 255, 255};
    GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(color.r, color.g, color.b)));
    if (!brush) return;
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, brush.get());
}

void ShellInstance::mouseEvent(UINT message, LPARAM position) {
    const player::MovieDefinition* movie = player_.movie();
    if (!movie || !hasWindow_) return;
    // Client coordinates of the host window; our area starts at the window structure's x, y.
    const double x = static_cast<short>(LOWORD(position)) - window_.x;
    const double y = static_cast<short>(HIWORD(position)) - window_.y;
    const player::StageMapping mapping = player_.stageMapping(window_.width, window_.height);
    const player::Point at = mapping.windowToStage(x, y);
    if (message == WM_MOUSEMOVE) player_.mouseMove(at.x, at.y);
    if (message == WM_LBUTTONDOWN) player_.mouseDown(at.x, at.y);
    if (message == WM_LBUTTONUP) player_.mouseUp(at.x, at.y);
    requestRepaint();
}

void ShellInstance::keyEvent(UINT message, WPARAM key) {
    // Flash's key codes are the Windows virtual-key codes.
    const int keyCode = static_cast<int>(key & 0xFF);
    BYTE state[256] = {};
    GetKeyboardState(state);
    WORD character = 0;
    const int translated =
        ToAscii(static_cast<UINT>(keyCode), MapVirtualKeyA(static_cast<UINT>(keyCode), 0), state,
                &character, 0);
    const int charCode = translated == 1 ? (character & 0xFF) : 0;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        player_.keyDown(keyCode, charCode);
    else
        player_.keyUp(keyCode, charCode);
    requestRepaint();
    quitWhenDone();
}

void ShellInstance::requestRepaint() {
    if (!npp_ || !hasWindow_ || !Browser().invalidaterect) return;
    NPRect all{0, 0, static_cast<uint16_t>(std::min<uint32_t>(window_.height, 0xFFFF)),
               static_cast<uint16_t>(std::min<uint32_t>(window_.width, 0xFFFF))};
    Browser().invalidaterect(npp_, &all);
}

// --- scripting --------------------------------------------------------------------

NPObject* ShellInstance::scriptableObject() {
    if (!npp_) return nullptr;
    if (!scriptable_) {
        ScriptableObject* object = CreateScriptableObject(npp_, this);
        if (!object) return nullptr;
        scriptable_ = &object->header;
    }
    // The caller gets its own reference.
    return Browser().retainobject ? Browser().retainobject(scriptable_) : nullptr;
}

std::string ShellInstance::nameOf(NPIdentifier identifier) const {
    const NPNetscapeFuncs& browser = Browser();
    if (!browser.utf8fromidentifier) return {};
    NPUTF8* name = browser.utf8fromidentifier(identifier);
    if (!name) return {};
    std::string text = name;
    if (browser.memfree) browser.memfree(name);
    return text;
}

bool ShellInstance::hasCallback(NPIdentifier identifier) {
    const std::string name = nameOf(identifier);
    if (name.empty()) return false;
    for (const std::string& callback : player_.registeredCallbacks())
        if (callback == name) return true;
    return false;
}

bool ShellInstance::invoke(NPIdentifier identifier, const NPVariant* args, uint32_t count,
                           NPVariant* result) {
    if (!npp_ || !result) return false;
    const std::string name = nameOf(identifier);
    if (name.empty()) return false;
    const bool called = external_.callIn(player_, name, args, count, result);
    if (called) requestRepaint();
    quitWhenDone();
    return called;
}

void ShellInstance::quitWhenDone() {
    if (quitSent_ || !npp_ || !(player_.quitRequested() || player_.frameLimitReached())) return;
    quitSent_ = true;
    external_.fsCommand("quit", "");
}

void ShutdownShell() {
    PlaceholderWindow::UnregisterClassOnce();
    SetBrowserFunctions(nullptr);
}

}  // namespace kestrel::shell
