// One windowless plug-in instance: the movie it plays and the drawable the
// host gave it. Every NPP_ call for an instance lands here.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/npapi/npapi_abi.h"
#include "player/shell/shell_movie.h"

namespace kestrel::shell {

class ShellInstance {
public:
    ShellInstance(NPP npp, std::vector<std::pair<std::string, std::string>> parameters);

    NPError setWindow(const NPWindow* window);
    NPError newStream(NPStream* stream, uint16_t* streamType);
    int32_t writeReady(NPStream* stream);
    int32_t write(NPStream* stream, int32_t offset, int32_t length, const void* buffer);
    NPError destroyStream(NPStream* stream, NPReason reason);
    int16_t handleEvent(const NPEvent& event);

private:
    void paint(HDC dc);
    void requestRepaint();

    NPP npp_;  // not owned: the host's instance structure, valid until NPP_Destroy
    std::vector<std::pair<std::string, std::string>> parameters_;
    std::unique_ptr<ShellMovie> movie_;
    NPWindow window_{};
    bool hasWindow_ = false;
    NPStream* movieStream_ = nullptr;  // not owned: the host's, between NewStream and DestroyStream
};

// The browser's function table as NP_Initialize received it (copied).
const NPNetscapeFuncs& BrowserFunctions();
void SetBrowserFunctions(const NPNetscapeFuncs* functions);

}  // namespace kestrel::shell
