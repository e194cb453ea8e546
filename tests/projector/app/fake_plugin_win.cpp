#include "tests/projector/app/fake_plugin_win.h"

#include <stdexcept>

namespace kestrel::projector::test {
namespace {

NPWindow g_window{};  // the fake's copy, as a player keeps it

FakePluginCall Named(const char* what) {
    FakePluginCall call;
    call.what = what;
    return call;
}

NPError NP_TABLE_CALL FakeNew(NPMIMEType, NPP, uint16_t, int16_t, char**, char**, NPSavedData*) {
    TheFakePlugin().calls.push_back(Named("new"));
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL FakeDestroy(NPP, NPSavedData**) {
    TheFakePlugin().calls.push_back(Named("destroy"));
    g_window = NPWindow{};
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL FakeSetWindow(NPP, NPWindow* window) {
    g_window = *window;
    FakePluginCall call = Named("setwindow");
    call.dc = static_cast<HDC>(window->window);
    call.width = window->width;
    call.height = window->height;
    TheFakePlugin().calls.push_back(call);
    return NPERR_NO_ERROR;
}

int16_t NP_TABLE_CALL FakeHandleEvent(NPP, void* event) {
    if (TheFakePlugin().throwOnEvent) throw std::runtime_error("fake plug-in fault");
    const auto* windowsEvent = static_cast<const NPEvent*>(event);
    FakePluginCall call = Named("event");
    call.event = windowsEvent->event;
    call.wParam = windowsEvent->wParam;
    call.lParam = static_cast<intptr_t>(windowsEvent->lParam);
    if (windowsEvent->event == WM_PAINT) {
        call.dc = static_cast<HDC>(g_window.window);
        if (TheFakePlugin().painter && call.dc) {
            TheFakePlugin().painter(call.dc, g_window.width, g_window.height);
            GdiFlush();
        }
    }
    TheFakePlugin().calls.push_back(call);
    return 1;
}

NPError NP_TABLE_CALL FakeNewStream(NPP, NPMIMEType type, NPStream* stream, NPBool,
                                    uint16_t* streamType) {
    FakePluginCall call = Named("newstream");
    call.text = std::string(type) + " " + stream->url;
    call.end = stream->end;
    TheFakePlugin().calls.push_back(call);
    *streamType = TheFakePlugin().streamType;
    return TheFakePlugin().newStreamAnswer;
}

int32_t NP_TABLE_CALL FakeWriteReady(NPP, NPStream*) {
    std::vector<int32_t>& answers = TheFakePlugin().writeReadyAnswers;
    int32_t answer = 0x0FFFFFFF;
    if (!answers.empty()) {
        answer = answers.front();
        if (answers.size() > 1) answers.erase(answers.begin());
    }
    FakePluginCall call = Named("writeready");
    call.length = answer;
    TheFakePlugin().calls.push_back(call);
    return answer;
}

int32_t NP_TABLE_CALL FakeWrite(NPP, NPStream* stream, int32_t offset, int32_t length,
                                void* buffer) {
    FakePluginCall call = Named("write");
    call.offset = offset;
    call.length = length;
    call.end = stream->end;
    TheFakePlugin().calls.push_back(call);
    TheFakePlugin().received.append(static_cast<const char*>(buffer), static_cast<size_t>(length));
    return length;
}

void NP_TABLE_CALL FakeStreamAsFile(NPP, NPStream*, const char* fileName) {
    FakePluginCall call = Named("asfile");
    call.text = fileName ? fileName : "(null)";
    TheFakePlugin().calls.push_back(call);
}

void NP_TABLE_CALL FakeUrlNotify(NPP, const char* url, NPReason reason, void*) {
    FakePluginCall call = Named("urlnotify");
    call.text = url ? url : "(null)";
    call.offset = reason;
    TheFakePlugin().calls.push_back(call);
}

NPError NP_TABLE_CALL FakeDestroyStream(NPP, NPStream*, NPReason reason) {
    FakePluginCall call = Named("destroystream");
    call.offset = reason;
    TheFakePlugin().calls.push_back(call);
    return NPERR_NO_ERROR;
}

}  // namespace

std::vector<FakePluginCall> FakePlugin::callsOf(const std::string& what) const {
    std::vector<FakePluginCall> found;
    for (const FakePluginCall& call : calls)
        if (call.what == what) found.push_back(call);
    return found;
}

std::vector<FakePluginCall> FakePlugin::events(uint16_t event) const {
    std::vector<FakePluginCall> found;
    for (const FakePluginCall& call : calls)
        if (call.what == "event" && call.event == event) found.push_back(call);
    return found;
}

FakePlugin& TheFakePlugin() {
    static FakePlugin plugin;
    return plugin;
}

NPPluginFuncs FakePluginFunctions() {
    NPPluginFuncs functions{};
    functions.size = sizeof functions;
    functions.newp = FakeNew;
    functions.destroy = FakeDestroy;
    functions.setwindow = FakeSetWindow;
    functions.event = FakeHandleEvent;
    functions.newstream = FakeNewStream;
    functions.writeready = FakeWriteReady;
    functions.write = FakeWrite;
    functions.asfile = FakeStreamAsFile;
    functions.destroystream = FakeDestroyStream;
    functions.urlnotify = FakeUrlNotify;
    return functions;
}

}  // namespace kestrel::projector::test
