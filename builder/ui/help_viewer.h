// The Help command: shows the builder's help.
#pragma once

#include <windows.h>

namespace kestrel {

// Opens the help found beside the program: the compiled help in the HTML Help
// viewer, else the HTML pages in the default browser, else an error box owned
// by `owner`. True when the help was shown.
bool OpenHelp(HWND owner);

}  // namespace kestrel
