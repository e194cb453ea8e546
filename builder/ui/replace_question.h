// "The item ... already exists. Replace it?": the question the export asks
// before it replaces an output.
#pragma once

#include <windows.h>

#include <string>

#include "builder/export/export_command.h"

namespace kestrel {

// Control ids inside the question.
inline constexpr int kReplaceApplyToAllId = 2002;
inline constexpr int kReplaceDontReplaceId = 2000;
inline constexpr int kReplaceStopId = 2001;
inline constexpr int kReplaceReplaceId = IDOK;

// Modal, owned by `owner` (so a second export cannot start inside the
// first). `severalItems` adds "Apply To All" and "Stop".
ReplaceAnswer AskReplace(HWND owner, const std::string& fileName, const std::string& folder,
                         bool severalItems);

}  // namespace kestrel
