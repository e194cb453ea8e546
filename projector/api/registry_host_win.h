// The "Registry." family's calls over the Win32 registry (ANSI names).
#pragma once

#include "projector/api/registry_host.h"

namespace kestrel::projector {

class SystemRegistry : public RegistryHost {
  public:
    std::unique_ptr<RegistryKeyHandle> CreateKey(RegistryRoot root,
                                                 const std::string& path) override;
};

}  // namespace kestrel::projector
