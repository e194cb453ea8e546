// Reads arbitrary bytes as the start of a movie file.
#include <cstdint>
#include <cstdlib>

#include "builder/swf_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    SwfHeader header;
    bool read = ReadSwfHeaderFromMemory(data, size, &header);
    // A header is at least the 8 fixed bytes and a 4-byte body after a
    // one-byte rectangle; failures say why.
    if (read && (size < 12 || header.error != SwfHeaderError::None)) std::abort();
    if (!read && header.error != SwfHeaderError::BadSignature) std::abort();
    return 0;
}
