// The system calls behind OpenHelp, behind an interface so tests can take
// every path without a help window, a browser or a message box appearing.
#pragma once

#include <windows.h>

#include <string>

namespace kestrel {

class HelpDisplay {
  public:
    virtual ~HelpDisplay() = default;
    // Shows the compiled help file; false when the viewer could not.
    virtual bool ShowCompiledHelp(HWND owner, const std::string& chmPath) = 0;
    // Opens a page in the default browser; false when the shell could not.
    virtual bool ShowPage(HWND owner, const std::string& pagePath) = 0;
    // The error box, titled "Error".
    virtual void ShowError(HWND owner, const std::string& text) = 0;
};

// The real viewer, browser and message box.
HelpDisplay& SystemHelpDisplay();

// OpenHelp with the program folder and the display given: tries each help
// source in turn and shows the error box when none could be shown.
bool OpenHelpFrom(HWND owner, const std::string& programFolder, HelpDisplay& display);

}  // namespace kestrel
