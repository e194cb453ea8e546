#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/net/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string decoded = kestrel::Base64Decode(bytes);
    if (decoded.size() > size / 4 * 3 + 2) __builtin_trap();
    // Encoding any bytes and decoding them again gives them back.
    if (kestrel::Base64Decode(kestrel::Base64Encode(bytes)) != bytes) __builtin_trap();
    return 0;
}
