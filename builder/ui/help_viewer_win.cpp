#include "builder/ui/help_viewer_win.h"

#include <shellapi.h>

#include "builder/help_location.h"
#include "builder/project_paths.h"
#include "builder/ui/help_viewer.h"

namespace kestrel {

namespace {

// From htmlhelp.h, which MinGW does not ship; the viewer is loaded at run time
// so the builder still starts where HTML Help is missing.
constexpr UINT kHhDisplayTopic = 0x0000;
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The HTML Help library, loaded on first use and deliberately never freed: the
// help window it opens runs on its code after the call returns, up to the end
// of the process, and freeing it at exit could pull the code from under it.
HtmlHelpFunction HtmlHelpEntry() {
    static const HMODULE library = LoadLibraryA("hhctrl.ocx");
    static const HtmlHelpFunction entry =
        library ? reinterpret_cast<HtmlHelpFunction>(
                      reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")))
                : nullptr;
    return entry;
}

class SystemDisplay : public HelpDisplay {
  public:
    bool ShowCompiledHelp(HWND owner, const std::string& chmPath) override {
        HtmlHelpFunction htmlHelp = HtmlHelpEntry();
        return htmlHelp && htmlHelp(owner, chmPath.c_str(), kHhDisplayTopic, 0) != nullptr;
    }

    bool ShowPage(HWND owner, const std::string& pagePath) override {
        // ShellExecute answers a value above 32 on success.
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(owner, "open", pagePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return result > 32;
    }

    void ShowError(HWND owner, const std::string& text) override {
        MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
};

}  // namespace

HelpDisplay& SystemHelpDisplay() {
    static SystemDisplay display;
    return display;
}

bool OpenHelpFrom(HWND owner, const std::string& programFolder, HelpDisplay& display) {
    const std::vector<HelpSource> sources = HelpSources(programFolder);
    for (const HelpSource& source : sources) {
        const bool shown = source.kind == HelpKind::CompiledHelp
                               ? display.ShowCompiledHelp(owner, source.path)
                               : display.ShowPage(owner, source.path);
        if (shown) return true;
    }
    display.ShowError(owner, sources.empty() ? kHelpMissingText : kHelpNotShownText);
    return false;
}

bool OpenHelp(HWND owner) {
    return OpenHelpFrom(owner, ProgramFolder(), SystemHelpDisplay());
}

}  // namespace kestrel
