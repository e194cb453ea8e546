#include "projector/bridge/url_loader.h"

#include <cstdio>
#include <memory>

namespace kestrel {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

HostUrlLoader::HostUrlLoader(std::string unpackFolder, HttpFetch fetch)
    : unpackFolder_(std::move(unpackFolder)), fetch_(std::move(fetch)) {}

std::optional<std::string> HostUrlLoader::Load(std::string_view url, const std::string* postData) {
    if (IsHttpUrl(url)) {
        if (!fetch_) return std::nullopt;
        if (!postData) return fetch_(std::string(url), nullptr);
        PostData split = SplitPostData(*postData);
        return fetch_(std::string(url), &split);
    }
    return ReadWholeFile(LocalPathForUrl(url, unpackFolder_));
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::string content;
    char buffer[65536];
    for (;;) {
        size_t read = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, read);
        if (read < sizeof buffer) break;
    }
    if (std::ferror(file.get())) return std::nullopt;
    return content;
}

}  // namespace kestrel
