// AMF0 as a remoting server or another movie might send it: read values until a fault,
// write what was read back (cycles through references included) and read that again;
// the same bytes also as a remoting response.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "player/avm1/vm.h"
#include "player/runtime/amf0.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kestrel::runtime::Amf0Reader;
    using kestrel::runtime::Amf0Writer;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kestrel::avm1::Vm vm;
    Amf0Reader in(vm, bytes);
    Amf0Writer out(vm);
    while (!in.atEnd()) {
        auto value = in.Read();
        if (!value) break;
        out.Write(*value);
    }
    Amf0Reader again(vm, out.bytes());
    while (!again.atEnd() && again.Read()) {
    }
    (void)kestrel::runtime::DecodeRemotingResponse(vm, bytes);
    return 0;
}
