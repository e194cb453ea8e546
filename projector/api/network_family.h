// The "Network." family: whether the machine is on line, and opening a web
// address in the user's browser ("HTTP.openURL"). "FTP." has no methods.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/api_family.h"

namespace kestrel {

class NetworkServices {
  public:
    virtual ~NetworkServices() = default;
    // The URL fetcher's connection test, with short time-outs.
    virtual bool IsOnline() = 0;
    // Opens the address with the shell's default verb; true when the shell did.
    virtual bool OpenAddress(const std::string& address) = 0;
};

class NetworkFamily : public ApiFamily {
  public:
    explicit NetworkFamily(NetworkServices& network) : network_(network) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    NetworkServices& network_;
};

}  // namespace kestrel
