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
    // "new", "setwindow", "event", "destroy", and for streams "newstream",
    // "writeready", "write", "asfile", "destroystream", "urlnotify"
    std::string what;
    uint16_t event = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    HDC dc = nullptr;  // setwindow: the structure's device context; paint: the one drawn into
    uint32_t width = 0, height = 0;
    std::string text;  // newstream: MIME type and URL; asfile: the file name
    int32_t offset = 0,
            length = 0;  // write; writeready: its answer; destroystream: the reason in offset
    uint32_t end = 0;    // newstream, write: the stream's end
};

// What the fake paints into the device context of its last window structure.
using FakePainter = void (*)(HDC dc, uint32_t width, uint32_t height);

struct FakePlugin {
    std::vector<FakePluginCall> calls;
    FakePainter painter = nullptr;
    bool throwOnEvent = false;  // NPP_HandleEvent throws, as a faulty plug-in might

    // Streams: the answer to NPP_NewStream and the type chosen, the answers
    // of NPP_WriteReady in turn (the last repeats; none: a large number).
    NPError newStreamAnswer = NPERR_NO_ERROR;
    uint16_t streamType = NP_NORMAL;
    std::vector<int32_t> writeReadyAnswers;
    std::string received;  // every byte written, in order

    void reset() { *this = FakePlugin(); }
    std::vector<FakePluginCall> events(uint16_t event) const;
    std::vector<FakePluginCall> callsOf(const std::string& what) const;
};

// The one fake: plug-in entries are plain functions.
FakePlugin& TheFakePlugin();
NPPluginFuncs FakePluginFunctions();

}  // namespace kestrel::projector::test
