// Runs the update query over the URL fetcher, synchronously.
#pragma once

#include <optional>
#include <string>

#include "builder/update_check.h"

namespace kestrel {

// The latest version the server at `queryAddress` names; none when the
// fetch fails (a failed fetch is what being off line looks like), the status
// is not 200, or the body is not an answer.
std::optional<Version> FetchLatestVersion(const std::string& queryAddress);

// The whole query: the address from the preferences key (or the built-in
// server), then the fetch.
std::optional<Version> RunUpdateQuery(RegistryStore& preferencesKey,
                                      int productNumber = kProductNumber);

}  // namespace kestrel
