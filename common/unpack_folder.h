// The projector's per-run folder in the system temporary folder.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel {

// "lkskso_%d" with the tick count as a signed 32-bit number; attempt 0 is the
// plain name, attempt n > 0 appends "_n".
std::string UnpackFolderName(uint32_t tickCount, int attempt = 0);

// Creates a fresh unpack folder in `tempFolder` and returns its full path.
// When the name is taken (another projector started in the same
// millisecond), the next attempt's name is tried, so two runs never share a
// folder. If creating fails for another reason that name is returned
// uncreated; unpacking then finds no settings (code 4).
std::string CreateUnpackFolder(const std::string& tempFolder, uint32_t tickCount);

}  // namespace kestrel
