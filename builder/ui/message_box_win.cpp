#include <cstdarg>

#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/message_box.h"
#include "builder/ui/text_format.h"

namespace kestrel {

int ShowMessage(HWND owner, UINT flags, const std::string& caption, const std::string& text) {
    if (!owner) return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
    int answer;
    {
        DisabledThreadWindows disabled(owner, false);
        answer = MessageBoxA(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
    }
    // The owner was disabled when the box went away, so nothing took the
    // activation back.
    if (IsWindowVisible(owner)) SetActiveWindow(owner);
    return answer;
}

int ShowError(HWND owner, const std::string& caption, const std::string& text) {
    return ShowMessage(owner, MB_OK | MB_ICONERROR, caption, text);
}

int ShowInformation(HWND owner, const std::string& caption, const std::string& text) {
    return ShowMessage(owner, MB_OK | MB_ICONINFORMATION, caption, text);
}

namespace {

int ShowResourceMessageV(HWND owner, UINT flags, int captionId, int formatId, va_list arguments) {
    std::string caption = LoadResourceString(captionId);
    if (caption.empty()) caption = kErrorCaption;
    const std::string format = LoadResourceString(formatId);
    const std::string text =
        format.empty() ? kErrorCaption : FormatTextV(format.c_str(), arguments);
    return ShowMessage(owner, flags, caption, text);
}

}  // namespace

int ShowResourceMessage(HWND owner, UINT flags, int captionId, int formatId, ...) {
    va_list arguments;
    va_start(arguments, formatId);
    const int answer = ShowResourceMessageV(owner, flags, captionId, formatId, arguments);
    va_end(arguments);
    return answer;
}

int ShowResourceError(HWND owner, int captionId, int formatId, ...) {
    va_list arguments;
    va_start(arguments, formatId);
    const int answer =
        ShowResourceMessageV(owner, MB_OK | MB_ICONERROR, captionId, formatId, arguments);
    va_end(arguments);
    return answer;
}

int ShowSystemError(HWND owner, DWORD code, bool systemText) {
    std::string text;
    if (systemText) {
        char* message = nullptr;
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
        if (length && message) text.assign(message, length);
        if (message) LocalFree(message);
    }
    if (text.empty()) text = FormatText("Type: %lu", static_cast<unsigned long>(code));
    return ShowError(owner, FormatText("Err: %lu", static_cast<unsigned long>(code)), text);
}

}  // namespace kestrel
