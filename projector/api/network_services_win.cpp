#include "projector/api/desktop_services_win.h"

// After <windows.h>, which it needs.
#include <shellapi.h>

#include "common/net/url_fetcher.h"

namespace kestrel {

bool NetworkServicesWin::IsOnline() {
    return TestConnection() == Connectivity::Online;
}

bool NetworkServicesWin::OpenAddress(const std::string& address) {
    // The default verb of the address's kind: the user's browser for web pages.
    HINSTANCE result =
        ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace kestrel
