// The projector stub the builder carries: resource "SKRW" 220, US English,
// the skylet executable byte for byte.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kestrel {

inline constexpr WORD kStubResourceId = 220;
inline constexpr char kStubResourceType[] = "SKRW";
inline constexpr WORD kStubResourceLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Copies the stub out of `module` (the builder's own: null); false when the
// module carries none.
bool LoadStubResource(HMODULE module, std::vector<uint8_t>* stub);

}  // namespace kestrel
