#include "player/shell/network_bridge.h"

#include "common/ascii_case.h"
#include "player/shell/browser_table.h"

namespace kestrel::shell {
namespace {}  // namespace

std::string NetworkBridge::PostBuffer(const runtime::UrlRequest& request) {
    std::string buffer;
    bool hasLength = false;
    for (const auto& [name, value] : request.headers) {
        buffer += name + ": " + value + "\r\n";
        hasLength = hasLength || name == "Content-Length";
    }
    if (!hasLength) buffer += "Content-Length: " + std::to_string(request.body.size()) + "\r\n";
    return buffer + "\r\n" + request.body;
}

bool NetworkBridge::requestUrl(const runtime::UrlRequest& request) {
    const NPNetscapeFuncs& browser = Browser();
    if (!npp_ || request.id == 0 || request.id >= 0x80000000u) return false;
    // Registered first: the browser may answer before its call returns.
    pending_[request.id] = Pending{};
    NPError error = NPERR_GENERIC_ERROR;
    if (request.post) {
        const std::string buffer = PostBuffer(request);
        if (browser.posturlnotify)
            error = browser.posturlnotify(npp_, request.url.c_str(), nullptr,
                                          static_cast<uint32_t>(buffer.size()), buffer.c_str(),
                                          false, NotifyDataOf(request.id));
    } else if (browser.geturlnotify) {
        error = browser.geturlnotify(npp_, request.url.c_str(), nullptr, NotifyDataOf(request.id));
    }
    if (error != NPERR_NO_ERROR) {
        pending_.erase(request.id);
        // Anything already queued for it stays: the movie then sees it once.
        return false;
    }
    return true;
}

void NetworkBridge::navigate(const std::string& url, const std::string& target, bool post,
                             const std::string& body) {
    const NPNetscapeFuncs& browser = Browser();
    if (!npp_) return;
    if (AsciiStartsWithIgnoringCase(url, "javascript:")) {
        // A script for the page: ask for it with notification so the browser evaluates
        // it as a request instead of handing it to the system as a document to open.
        if (!browser.geturlnotify) return;
        const uint32_t id = nextNavigationId_++;
        if (nextNavigationId_ == 0) nextNavigationId_ = 0x80000000u;
        Pending navigation;
        navigation.forMovie = false;
        pending_[id] = navigation;
        if (browser.geturlnotify(npp_, url.c_str(), target.c_str(), NotifyDataOf(id)) !=
            NPERR_NO_ERROR)
            pending_.erase(id);
        return;
    }
    const char* window = target.empty() ? nullptr : target.c_str();
    if (post && browser.posturl) {
        runtime::UrlRequest request;
        request.body = body;
        request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
        const std::string buffer = PostBuffer(request);
        browser.posturl(npp_, url.c_str(), window, static_cast<uint32_t>(buffer.size()),
                        buffer.c_str(), false);
    } else if (browser.geturl) {
        browser.geturl(npp_, url.c_str(), window);
    }
}

bool NetworkBridge::ownsRequest(void* notifyData) const {
    return pending_.count(IdOf(notifyData)) != 0;
}

bool NetworkBridge::receive(void* notifyData, const uint8_t* data, size_t size) {
    auto it = pending_.find(IdOf(notifyData));
    if (it == pending_.end() || it->second.failed) return false;
    if (size > kMaxResponseBytes - it->second.data.size()) {
        it->second.failed = true;
        it->second.data.clear();
        return false;
    }
    if (it->second.forMovie) it->second.data.append(reinterpret_cast<const char*>(data), size);
    return true;
}

void NetworkBridge::streamEnded(void* notifyData, NPReason reason) {
    auto it = pending_.find(IdOf(notifyData));
    if (it != pending_.end() && reason != NPRES_DONE) it->second.failed = true;
}

void NetworkBridge::urlNotified(void* notifyData, NPReason reason) {
    auto it = pending_.find(IdOf(notifyData));
    if (it == pending_.end()) return;
    const uint32_t id = it->first;
    Pending request = std::move(it->second);
    pending_.erase(it);
    if (!request.forMovie) return;
    completed_.push_back(
        Completed{id, reason == NPRES_DONE && !request.failed, std::move(request.data)});
    if (wake_) wake_(wakeContext_);
}

bool NetworkBridge::deliverCompleted(runtime::MoviePlayer& player) {
    bool any = false;
    // The movie may start new requests from its handlers; those queue behind.
    while (!completed_.empty()) {
        Completed done = std::move(completed_.front());
        completed_.pop_front();
        if (done.success)
            player.completeUrlRequest(done.id, done.data);
        else
            player.failUrlRequest(done.id);
        any = true;
    }
    return any;
}

}  // namespace kestrel::shell
