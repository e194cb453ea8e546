// URL requests from the plug-in. NPN_GetURL hands the URL to the system;
// the notifying requests answer through streams once the fetch and the
// deferred completion on the main loop are in place.
#include <windows.h>
#include <shellapi.h>

#include "projector/app/browser_functions_win.h"

namespace kestrel::projector {

NPError NP_TABLE_CALL HostGetURL(NPP, const char* url, const char* /*target*/) {
    // Whatever the target: the system's default handler opens it.
    if (url) ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL HostPostURL(NPP, const char*, const char*, uint32_t, const char*, NPBool) {
    return NPERR_NO_ERROR;
}

NPError NP_TABLE_CALL HostGetURLNotify(NPP, const char*, const char*, void*) { return NPERR_NO_ERROR; }

NPError NP_TABLE_CALL HostPostURLNotify(NPP, const char*, const char*, uint32_t, const char*, NPBool, void*) {
    return NPERR_NO_ERROR;
}

}  // namespace kestrel::projector
