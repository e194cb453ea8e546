// The projector's own message boxes: no owner, error icon, task-modal.
#pragma once

#include <windows.h>

#include <string>

namespace kestrel::projector {

// A string of the executable's string table, or `fallback` when it has none.
std::string LoadResourceString(UINT id, const char* fallback);

// printf-style text into a buffer that grows until the text fits.
std::string FormatText(const char* format, ...);

void ShowErrorBox(const std::string& caption, const std::string& text);

}  // namespace kestrel::projector
