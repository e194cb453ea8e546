#include "builder/export/stub_resource_win.h"

namespace kestrel {

bool LoadStubResource(HMODULE module, std::vector<uint8_t>* stub) {
    HRSRC found = FindResourceExA(module, kStubResourceType, MAKEINTRESOURCEA(kStubResourceId),
                                  kStubResourceLanguage);
    // A builder whose resource was written under another language still
    // carries one stub.
    if (!found) found = FindResourceA(module, MAKEINTRESOURCEA(kStubResourceId), kStubResourceType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const uint8_t* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size == 0) return false;
    stub->assign(bytes, bytes + size);
    return true;
}

}  // namespace kestrel
