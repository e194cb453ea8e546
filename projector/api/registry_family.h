// The "Registry." family: numbered keys below "SOFTWARE\" of the current user
// or the local machine, and their string, integer, boolean and real values.
// The keys belong to the window's API object; those still open are closed
// when it goes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/registry_host.h"

namespace kestrel {

class RegistryFamily : public ApiFamily {
  public:
    explicit RegistryFamily(RegistryHost& host) : host_(host) {}  // not owned

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    static std::vector<std::string> MethodNames();

  private:
    RegistryHost& host_;
    // Entries are never removed; a closed key (null) fails every call.
    std::map<std::int32_t, std::unique_ptr<RegistryKeyHandle>> keys_;
};

}  // namespace kestrel
