// A plug-in function table for host tests: records what the host calls and
// draws a fixed picture when asked to paint, keeping its own copy of the
// window structure as a real player does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/npapi/npapi_abi.h"

namespace kestrel::projector::test {

struct FakePluginCall {
    std::string what;  // "new", "setwindow", "event", "destroy"
    uint16_t event = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    HDC dc = nullptr;  // setwindow: the structure's device context; paint: the one drawn into
    uint32_t width = 0, height = 0;
};

// What the fake paints into the device context of its last window structure.
using FakePainter = void (*)(HDC dc, uint32_t width, uint32_t height);

struct FakePlugin {
    std::vector<FakePluginCall> calls;
    FakePainter painter = nullptr;

    void reset() { *this = FakePlugin(); }
    std::vector<FakePluginCall> events(uint16_t event) const;
};

// The one fake: plug-in entries are plain functions.
FakePlugin& TheFakePlugin();
NPPluginFuncs FakePluginFunctions();

}  // namespace kestrel::projector::test
