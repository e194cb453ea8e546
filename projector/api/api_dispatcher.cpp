#include "projector/api/api_dispatcher.h"

namespace kestrel {

const char* const kApiFamilyPrefixes[kApiFamilyCount] = {
    "Application.", "Api.",  "AppleScript.", "Clipboard.", "Dialogs.", "DLL.",
    "FileSystem.",  "Menu.", "Network.",     "Registry.",  "System.",  "Window.",
};

ApiDispatcher::ApiDispatcher() {
    for (auto& family : families_) family = std::make_unique<EmptyApiFamily>();
}

void ApiDispatcher::Install(ApiFamilyId id, std::unique_ptr<ApiFamily> family) {
    if (!family) family = std::make_unique<EmptyApiFamily>();
    families_[static_cast<std::size_t>(id)] = std::move(family);
}

ApiResult ApiDispatcher::Dispatch(std::string_view name, const ApiArguments& arguments) {
    for (std::size_t i = 0; i < kApiFamilyCount; ++i) {
        std::string_view prefix = kApiFamilyPrefixes[i];
        if (name.substr(0, prefix.size()) == prefix)
            return families_[i]->Call(name.substr(prefix.size()), arguments);
    }
    return std::nullopt;
}

}  // namespace kestrel
