// The movie's URL requests as NPAPI requests with notification. Each request is
// known by its notify data (its id); the browser answers with a stream that we
// collect, and NPP_URLNotify ends it. Completions are queued and handed to the
// movie later, from the message loop: a movie that sets onLoad after calling
// load() must still see its data, even when the browser answers inside the call.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>

#include "common/npapi/npapi_abi.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/network_host.h"

namespace kestrel::shell {

class NetworkBridge : public runtime::NetworkHost {
  public:
    // Responses larger than this fail instead of exhausting memory.
    static constexpr size_t kMaxResponseBytes = 256u << 20;

    // npp is not owned; detach() before it goes. `wake` asks the owner to call
    // deliverCompleted() soon (from the message loop).
    NetworkBridge(NPP npp, void (*wake)(void* context), void* context)
        : npp_(npp), wake_(wake), wakeContext_(context) {}
    void detach() { npp_ = nullptr; }

    bool requestUrl(const runtime::UrlRequest& request) override;
    void navigate(const std::string& url, const std::string& target, bool post,
                  const std::string& body) override;

    // Stream plumbing: true when the notify data belongs to one of our requests.
    bool ownsRequest(void* notifyData) const;
    // Bytes of a request's stream; false when the request failed (too large).
    bool receive(void* notifyData, const uint8_t* data, size_t size);
    void streamEnded(void* notifyData, NPReason reason);
    void urlNotified(void* notifyData, NPReason reason);

    // Hands every finished request to the movie. Returns true when any was delivered.
    bool deliverCompleted(runtime::MoviePlayer& player);

    // The text posted for a request: header lines, an empty line, the body.
    static std::string PostBuffer(const runtime::UrlRequest& request);

  private:
    struct Pending {
        std::string data;
        bool failed = false;
        bool forMovie = true;  // false: a navigation whose answer nobody reads
    };
    struct Completed {
        uint32_t id;
        bool success;
        std::string data;
    };
    static void* NotifyDataOf(uint32_t id) {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(id));
    }
    static uint32_t IdOf(void* notifyData) {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(notifyData));
    }

    NPP npp_;  // not owned
    void (*wake_)(void*);
    void* wakeContext_;
    std::map<uint32_t, Pending> pending_;
    std::deque<Completed> completed_;
    // Ids for navigations, apart from the movie's own request ids.
    uint32_t nextNavigationId_ = 0x80000000u;
};

}  // namespace kestrel::shell
