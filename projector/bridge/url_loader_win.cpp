#include "common/net/url_fetcher.h"
#include "projector/bridge/url_loader.h"

namespace kestrel {

HttpFetch MakeSystemHttpFetch() {
    return [](const std::string& url, const PostData* postData) -> std::optional<std::string> {
        UrlFetcher fetcher(url, postData ? UrlFetcher::Method::Post : UrlFetcher::Method::Get);
        if (postData) {
            for (const auto& [name, value] : postData->headers) fetcher.AddHeader(name, value);
            fetcher.SetBody(postData->body.data(), postData->body.size());
        }
        if (!fetcher.Run()) return std::nullopt;
        const auto& response = fetcher.Response();
        return std::string(response.begin(), response.end());
    };
}

}  // namespace kestrel
