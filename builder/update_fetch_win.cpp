#include "builder/update_fetch_win.h"

#include "common/net/url_fetcher.h"

namespace kestrel {

std::optional<Version> FetchLatestVersion(const std::string& queryAddress) {
    UrlFetcher fetcher(queryAddress, UrlFetcher::Method::Get);
    fetcher.SetMaxResponseSize(kMaxUpdateAnswerBytes);
    if (!fetcher.Run() || fetcher.StatusCode() != kHttpStatusOk) return {};
    return ParseUpdateAnswer(fetcher.Response().data(), fetcher.Response().size());
}

std::optional<Version> RunUpdateQuery(RegistryStore& preferencesKey, int productNumber) {
    return FetchLatestVersion(
        UpdateQueryAddress(UpdateServerAddress(preferencesKey), productNumber));
}

}  // namespace kestrel
