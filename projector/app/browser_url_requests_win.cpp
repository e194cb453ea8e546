// URL requests from the plug-in. NPN_GetURL hands the URL to the system;
// the notifying requests answer through streams once the fetch and the
// deferred completion on the main loop are in place. Each entry runs under
// GuardedCall; the fallback is NPERR_GENERIC_ERROR.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "common/callback_guard.h"
#include "projector/app/browser_functions_win.h"
#include "projector/app/plugin_url_request_win.h"

namespace kestrel::projector {

NPError NP_TABLE_CALL HostGetURL(NPP, const char* url, const char* /*target*/) {
    if (!url) return NPERR_INVALID_URL;
    // Whatever the target: the system's default handler opens it.
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR, [url] {
        ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL);
        return NPERR_NO_ERROR;
    });
}

// A post without notification has nowhere to deliver its answer in a
// projector (no page to load it into): it is refused, not silently dropped.
NPError NP_TABLE_CALL HostPostURL(NPP, const char*, const char*, uint32_t, const char*, NPBool) {
    return NPERR_GENERIC_ERROR;
}

NPError NP_TABLE_CALL HostGetURLNotify(NPP npp, const char* url, const char* /*target*/,
                                       void* notifyData) {
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR,
                                [&] { return StartUrlRequest(npp, url, nullptr, 0, notifyData); });
}

NPError NP_TABLE_CALL HostPostURLNotify(NPP npp, const char* url, const char* /*target*/,
                                        uint32_t length, const char* buffer, NPBool /*isFile*/,
                                        void* notifyData) {
    // A post without data still posts (an empty body).
    return GuardedCall<NPError>(NPERR_GENERIC_ERROR, [&] {
        return StartUrlRequest(npp, url, buffer ? buffer : "", buffer ? length : 0, notifyData);
    });
}

}  // namespace kestrel::projector
