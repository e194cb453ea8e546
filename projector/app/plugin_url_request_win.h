// The plug-in's notifying URL requests (NPN_GetURLNotify, NPN_PostURLNotify).
// Every request answers through a "text/hxml" stream and NPP_URLNotify:
// "javascript:" addresses at once with the instance's unique file name,
// everything else fetched through the window's host callback and completed
// on the main loop, after the plug-in's call has returned.
#pragma once

#include <cstdint>

#include "common/npapi/npapi_abi.h"

namespace kestrel::projector {

// `postData` is null for a GET. Answers NPERR_NO_ERROR for every request of a
// live instance.
NPError StartUrlRequest(NPP npp, const char* url, const char* postData, uint32_t postLength,
                        void* notifyData);

}  // namespace kestrel::projector
