// Asking the update server for the latest released version. The portable
// part: the request address and the answer's parsing; the fetch itself is
// update_fetch_win.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "builder/registry_store.h"

namespace kestrel {

struct Version {
    int32_t major = 0;
    int32_t minor = 0;
};

inline constexpr Version kRunningVersion{1, 1};
// The caller's product number; the query adds kProductCodeOffset.
inline constexpr int kProductNumber = 2199;
inline constexpr int kProductCodeOffset = 5762;

// The update server. A string value of this name under the preferences key
// overrides it, so a test can point the builder at a server of its own.
inline constexpr char kUpdateServerAddress[] = "https://updates.larkspur.example";
inline constexpr char kUpdateServerValueName[] = "update_server";
inline constexpr char kUpdateQueryPath[] = "/swupdate/swvers.php?pcd=";
// An answer is "major.minor"; anything longer than this is not one.
inline constexpr std::size_t kMaxUpdateAnswerBytes = 256;
// Only this status is an answer: an error page is not "no updates".
inline constexpr int kHttpStatusOk = 200;

// The override from the store when it is a non-empty text, else the constant.
std::string UpdateServerAddress(RegistryStore& store);
// The server address (without a trailing "/") with the query path and the
// product code in decimal.
std::string UpdateQueryAddress(const std::string& server, int productNumber);

// The body up to its first zero byte, split at "." (empty pieces skipped);
// the first two pieces read like C atol. None when there are fewer than two
// pieces or the body is over kMaxUpdateAnswerBytes.
std::optional<Version> ParseUpdateAnswer(const char* body, std::size_t size);

bool IsNewer(Version latest, Version current);

// What a check found: the manual check shows a box for each, the automatic
// one only for NewerAvailable.
enum class UpdateOutcome { Failed, UpToDate, NewerAvailable };
UpdateOutcome ClassifyUpdate(const std::optional<Version>& latest,
                             Version current = kRunningVersion);

}  // namespace kestrel
