// The Network, Clipboard and Application families' calls into Windows.
#pragma once

#include <windows.h>

#include <functional>

#include "projector/api/application_family.h"
#include "projector/api/clipboard_family.h"
#include "projector/api/network_family.h"

namespace kestrel {

// The calling projector window's handle (null once it is gone).
using OwnerWindow = std::function<HWND()>;

class NetworkServicesWin : public NetworkServices {
  public:
    bool IsOnline() override;
    bool OpenAddress(const std::string& address) override;
};

class ClipboardServicesWin : public ClipboardServices {
  public:
    explicit ClipboardServicesWin(OwnerWindow owner) : owner_(std::move(owner)) {}
    bool SetText(const std::string& text) override;
    std::optional<std::string> Text() override;

  private:
    OwnerWindow owner_;
};

class ApplicationServicesWin : public ApplicationServices {
  public:
    std::string ProgramPath() override;
    void Quit() override;
};

}  // namespace kestrel
