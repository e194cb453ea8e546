#include "player/shell/shell_instance_win.h"

#include <cstring>

#include "player/shell/movie_painter_win.h"

namespace kestrel::shell {
namespace {

NPNetscapeFuncs g_browser{};

// Far more than any single write needs; the host trims to what it has.
constexpr int32_t kWriteReadyBytes = 1 << 20;

}  // namespace

const NPNetscapeFuncs& BrowserFunctions() { return g_browser; }

void SetBrowserFunctions(const NPNetscapeFuncs* functions) {
    std::memset(&g_browser, 0, sizeof g_browser);
    if (!functions) return;
    // An older browser hands a shorter table: copy only what it has.
    const size_t size = functions->size < sizeof g_browser ? functions->size : sizeof g_browser;
    std::memcpy(&g_browser, functions, size);
}

ShellInstance::ShellInstance(NPP npp, std::vector<std::pair<std::string, std::string>> parameters)
    : npp_(npp),
      parameters_(std::move(parameters)),
      movie_(CreateShellMovie(ParseShellParameters(parameters_))) {}

NPError ShellInstance::setWindow(const NPWindow* window) {
    if (!window) return NPERR_INVALID_PARAM;
    window_ = *window;
    hasWindow_ = true;
    return NPERR_NO_ERROR;
}

NPError ShellInstance::newStream(NPStream* stream, uint16_t* streamType) {
    if (!stream || !streamType) return NPERR_INVALID_PARAM;
    // The first stream is the movie; later ones (URL requests) are not ours to show.
    if (!movieStream_) movieStream_ = stream;
    *streamType = NP_NORMAL;
    return NPERR_NO_ERROR;
}

int32_t ShellInstance::writeReady(NPStream* /*stream*/) { return kWriteReadyBytes; }

int32_t ShellInstance::write(NPStream* stream, int32_t /*offset*/, int32_t length, const void* buffer) {
    if (length < 0 || (!buffer && length > 0)) return -1;
    if (stream == movieStream_ && length > 0) movie_->receive(static_cast<const uint8_t*>(buffer), size_t(length));
    return length;
}

NPError ShellInstance::destroyStream(NPStream* stream, NPReason reason) {
    if (stream == movieStream_) {
        movie_->finish(reason == NPRES_DONE);
        movieStream_ = nullptr;
        requestRepaint();
    }
    return NPERR_NO_ERROR;
}

int16_t ShellInstance::handleEvent(const NPEvent& event) {
    switch (event.event) {
    case WM_PAINT:
        if (hasWindow_ && window_.type == NPWindowTypeDrawable && window_.window) {
            paint(static_cast<HDC>(window_.window));
            return 1;
        }
        return 0;
    case WM_TIMER:
        if (movie_->tick()) requestRepaint();
        return 1;
    default:
        return 0;
    }
}

void ShellInstance::paint(HDC dc) {
    PaintMovie(dc, static_cast<int>(window_.width), static_cast<int>(window_.height), *movie_);
}

void ShellInstance::requestRepaint() {
    if (!hasWindow_ || !g_browser.invalidaterect) return;
    NPRect all{0, 0, static_cast<uint16_t>(window_.height), static_cast<uint16_t>(window_.width)};
    g_browser.invalidaterect(npp_, &all);
}

}  // namespace kestrel::shell
