// Compiles arbitrary text as a movie description.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/swfwriter/description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    std::optional<swf::Bytes> bytes = swf::CompileDescription(text, error);
    if (!bytes && error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
}
