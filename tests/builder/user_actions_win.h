// What a user does to another program's windows, done through messages that
// the system carries between processes: click, type, pick from a list, and
// answer the system's open and save dialogs by typing a path.
#pragma once

#include <windows.h>

#include <string>

namespace kestrel::uitest {

// The control with this id at any depth under `root`; null when none. With
// `visibleOnly`, hidden controls (and those of hidden pages) are skipped.
HWND FindControl(HWND root, int controlId, bool visibleOnly = true);

// Clicks a button without waiting for what the click starts (a modal dialog
// would otherwise hold the caller until it closes).
void PostClick(HWND button);

// Types `text` into an edit box over what it holds, key by key, then tells
// its dialog that the box lost the focus, as moving on to the next box does.
void TypeIntoEditBox(HWND edit, const std::string& text);

// Picks the item at `index` of a drop-down list as a click on it would.
void PickComboItem(HWND combo, int index);

// The visible system open or save dialog of the process; null after the
// timeout.
HWND WaitForFileDialog(DWORD processId, DWORD timeoutMs);

// Types `path` into the dialog's file-name box and presses Open or Save;
// true once the dialog has closed.
bool AnswerFileDialog(HWND dialog, const std::string& path, DWORD timeoutMs);

// Sends the key press to a window (the tab strips move their selection with
// the arrow keys).
void PressKey(HWND window, WPARAM key);

}  // namespace kestrel::uitest
