#include "projector/app/message_box_win.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace kestrel::projector {

std::string LoadResourceString(UINT id, const char* fallback) {
    // LoadStringA copies at most the buffer's size; grow until it is not full.
    std::vector<char> buffer(256);
    for (;;) {
        const int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer.data(),
                                       static_cast<int>(buffer.size()));
        if (length <= 0) return fallback;
        if (static_cast<size_t>(length) < buffer.size() - 1)
            return std::string(buffer.data(), size_t(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string FormatText(const char* format, ...) {
    std::vector<char> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int length = std::vsnprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (length < 0) return std::string();
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), size_t(length));
        buffer.resize(buffer.size() * 2);
    }
}

void ShowErrorBox(const std::string& caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace kestrel::projector
