// The builder's message boxes: task-modal, with the owner's thread windows
// disabled while they are up (and exactly those enabled again).
#pragma once

#include <windows.h>

#include <string>

namespace kestrel {

inline constexpr char kErrorCaption[] = "Error";

// MessageBox with MB_TASKMODAL added; answers the pressed button.
int ShowMessage(HWND owner, UINT flags, const std::string& caption, const std::string& text);
int ShowError(HWND owner, const std::string& caption, const std::string& text);
int ShowInformation(HWND owner, const std::string& caption, const std::string& text);
// Caption and format from the string table; a missing caption string shows
// "Error", a missing format string the text "Error". The format is the
// program's own; user text goes in as an argument.
int ShowResourceMessage(HWND owner, UINT flags, int captionId, int formatId, ...);
int ShowResourceError(HWND owner, int captionId, int formatId, ...);
// Caption "Err: <code>"; the system's text for the code, or "Type: <code>".
int ShowSystemError(HWND owner, DWORD code, bool systemText);

}  // namespace kestrel
