#include "projector/app/plugin_url_request_win.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "projector/app/main_loop_win.h"
#include "projector/app/plugin_instance_win.h"
#include "projector/app/plugin_stream_win.h"
#include "projector/bridge/script_bridge.h"

namespace kestrel::projector {
namespace {

constexpr char kRequestMimeType[] = "text/hxml";
constexpr char kJavascriptScheme[] = "javascript:";

struct UrlRequest {
    PluginInstance* instance;  // not owned; checked before completion
    void*
        instanceData;  // the plug-in's data of that instance, to tell a new one at the same address
    void* notifyData;
    std::string url;
    std::unique_ptr<PluginStream> stream;
    bool accepted = false;
    std::optional<std::string> fetched;
};

bool StillSameInstance(const UrlRequest& request) {
    return PluginInstance::IsLive(request.instance) &&
           request.instance->npp()->pdata == request.instanceData;
}

void Notify(PluginInstance& instance, const std::string& url, bool delivered, void* notifyData) {
    if (instance.plugin().urlnotify)
        instance.plugin().urlnotify(instance.npp(), url.c_str(),
                                    delivered ? NPRES_DONE : NPRES_NETWORK_ERR, notifyData);
}

void CompleteUrlRequest(void* argument) {
    std::unique_ptr<UrlRequest> request(static_cast<UrlRequest*>(argument));
    if (!StillSameInstance(*request)) {
        // The instance ended meanwhile and took its streams with it: nothing
        // may be called for it, not even the stream's close.
        request->stream->abandon();
        return;
    }
    bool delivered = false;
    if (request->accepted && request->fetched) {
        delivered = request->stream->deliverData(
            reinterpret_cast<const uint8_t*>(request->fetched->data()), request->fetched->size());
    }
    Notify(*request->instance, request->url, delivered, request->notifyData);
    request->stream->close(NPRES_DONE);
}

void AnswerJavascriptRequest(PluginInstance& instance, const std::string& url, void* notifyData) {
    char text[64];
    std::snprintf(text, sizeof text, "file://%llX__flashplugin_unique__",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(&instance)));
    PluginStream stream(instance, url, kRequestMimeType, notifyData);
    bool delivered = false;
    if (stream.open()) {
        std::string answer = text;
        delivered =
            stream.deliverData(reinterpret_cast<const uint8_t*>(answer.data()), answer.size());
    }
    Notify(instance, url, delivered, notifyData);
    stream.close(NPRES_DONE);
}

}  // namespace

NPError StartUrlRequest(NPP npp, const char* url, const char* postData, uint32_t postLength,
                        void* notifyData) {
    PluginInstance* instance = PluginInstance::FromNpp(npp);
    if (!instance) return NPERR_INVALID_INSTANCE_ERROR;
    if (!url) return NPERR_INVALID_URL;
    std::string address = url;
    if (address.compare(0, sizeof kJavascriptScheme - 1, kJavascriptScheme) == 0) {
        AnswerJavascriptRequest(*instance, address, notifyData);
        return NPERR_NO_ERROR;
    }

    auto request = std::make_unique<UrlRequest>();
    request->instance = instance;
    request->instanceData = npp->pdata;
    request->notifyData = notifyData;
    request->url = address;
    request->stream =
        std::make_unique<PluginStream>(*instance, address, kRequestMimeType, notifyData);
    request->accepted = request->stream->open();
    ScriptHost* host = instance->scriptHost();
    if (request->accepted && host) {
        std::string_view target = address;
        if (postData) {
            std::string_view data(postLength ? postData : "", postLength);
            host->CallHost(":postData", &data, 1);
            request->fetched = host->CallHost(":post", &target, 1);
        } else {
            request->fetched = host->CallHost(":getURL", &target, 1);
        }
    }
    // A refused stream completes the same way, with a network error.
    UrlRequest* pending = request.release();
    if (!PostToMainThread(CompleteUrlRequest, pending)) CompleteUrlRequest(pending);
    return NPERR_NO_ERROR;
}

}  // namespace kestrel::projector
