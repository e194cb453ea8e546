// Opens the builder's help for the user.
#pragma once

#include <windows.h>

namespace kestrel {

// Opens the help; shows an error box owned by `owner` when there is none.
// True when the help was opened.
bool OpenHelp(HWND owner);

}  // namespace kestrel
