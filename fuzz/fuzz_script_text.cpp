#include <cstddef>
#include <cstdint>
#include <string_view>

#include "projector/bridge/script_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    kestrel::ParsedScript parsed = kestrel::ParseScript(text);
    // Every argument must be a view into the script text.
    for (std::string_view argument : parsed.call.arguments) {
        if (argument.data() < text.data() ||
            argument.data() + argument.size() > text.data() + text.size())
            __builtin_trap();
    }
    if (parsed.kind == kestrel::ParsedScript::Kind::ReturnedString &&
        parsed.returnedText.size() > size)
        __builtin_trap();
    return 0;
}
