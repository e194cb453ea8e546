#include <cstring>

#include "common/win_handles.h"
#include "projector/api/desktop_services_win.h"

namespace kestrel {
namespace {

// The clipboard, open for one call. Another program may hold it for a moment
// (one that has just changed or read it), so opening tries a few times.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(owner) != FALSE;
            if (!open_) Sleep(10);
        }
    }
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_ = false;
};

}  // namespace

bool ClipboardServicesWin::SetText(const std::string& text) {
    OpenClipboardScope clipboard(owner_ ? owner_() : nullptr);
    if (!clipboard.IsOpen()) return false;
    EmptyClipboard();
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!block.get()) return false;
    void* bytes = GlobalLock(block.get());
    if (!bytes) return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block.get());
    if (!SetClipboardData(CF_TEXT, block.get())) return false;
    block.release();  // the clipboard owns it now
    return true;
}

std::optional<std::string> ClipboardServicesWin::Text() {
    OpenClipboardScope clipboard(owner_ ? owner_() : nullptr);
    if (!clipboard.IsOpen()) return std::nullopt;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return std::nullopt;
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (!bytes) return std::nullopt;
    // Never read past the block, even without a terminating zero.
    const SIZE_T size = GlobalSize(data);
    std::string text(bytes, strnlen(bytes, size));
    GlobalUnlock(data);
    return text;
}

}  // namespace kestrel
