#include "common/unpack_folder.h"

#include <cstdio>

#include "common/file_system.h"

namespace kestrel {

namespace {

// Enough for two projectors per millisecond many times over; beyond it the
// temporary folder is in a state no retry will fix.
constexpr int kMaxAttempts = 1000;

}  // namespace

std::string UnpackFolderName(uint32_t tickCount, int attempt) {
    char name[48];
    // The tick count is shown as a signed 32-bit number: above 0x7FFFFFFF it
    // is negative.
    int32_t signedTicks = static_cast<int32_t>(tickCount);
    if (attempt == 0) {
        std::snprintf(name, sizeof name, "lkskso_%d", static_cast<int>(signedTicks));
    } else {
        std::snprintf(name, sizeof name, "lkskso_%d_%d", static_cast<int>(signedTicks), attempt);
    }
    return name;
}

std::string CreateUnpackFolder(const std::string& tempFolder, uint32_t tickCount) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        std::string path = JoinPath(tempFolder, UnpackFolderName(tickCount, attempt));
        MakeDirectoryResult result = MakeDirectory(path);
        if (result == MakeDirectoryResult::Created) return path;
        // Returned uncreated: the missing folder shows up as missing settings.
        if (result == MakeDirectoryResult::Failed) return path;
    }
    return JoinPath(tempFolder, UnpackFolderName(tickCount, kMaxAttempts));
}

}  // namespace kestrel
