#include "tests/projector/app/fake_plugin_win.h"

namespace kestrel::projector::test {
namespace {

NPWindow g_window{};  // the fake's copy, as a player keeps it

NPError NP_TABLE_CALL FakeNew(NPMIMEType, NPP, uint16_t, int16_t, char**, char**, NPSavedData*) {
    TheFakePlugin().calls.push_back({"new"});
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL FakeDestroy(NPP, NPSavedData**) {
    TheFakePlugin().calls.push_back({"destroy"});
    g_window = NPWindow{};
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL FakeSetWindow(NPP, NPWindow* window) {
    g_window = *window;
    FakePluginCall call{"setwindow"};
    call.dc = static_cast<HDC>(window->window);
    call.width = window->width;
    call.height = window->height;
    TheFakePlugin().calls.push_back(call);
    return NPERR_NO_ERROR;
}

int16_t NP_TABLE_CALL FakeHandleEvent(NPP, void* event) {
    const auto* windowsEvent = static_cast<const NPEvent*>(event);
    FakePluginCall call{"event", windowsEvent->event, windowsEvent->wParam,
                        static_cast<intptr_t>(windowsEvent->lParam)};
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

}  // namespace

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
    return functions;
}

}  // namespace kestrel::projector::test
